// Writes the game's sound effects: each one synthesised from tones, glides and filtered noise, shaped to
// its moment in the game, and saved as 16-bit mono PCM at 22050 Hz under OUTDIR/Graphic/.
// The output is the same on every run (the noise comes from a fixed-seed generator of our own).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 6.283185307179586;
// Partials above this are left out, so that nothing folds back below the Nyquist limit.
constexpr double kHighestPartial = 10000.0;

using Signal = std::vector<double>;

size_t Frames(double seconds) {
  return static_cast<size_t>(std::lround(seconds * kRate));
}

// Small fixed-seed noise source (xorshift32): white noise in -1..1.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
  }
  double Range(double lo, double hi) { return lo + (hi - lo) * (Next() + 1.0) * 0.5; }

 private:
  uint32_t state_;
};

// Loudness over a note: linear attack, exponential decay (tau seconds; 0 = held), and a raised-cosine
// release over the last `release` seconds so that the note never ends on a step.
struct Envelope {
  double attack = 0.005;
  double tau = 0.0;
  double release = 0.01;
  double At(double t, double length) const {
    double a = attack > 0 && t < attack ? t / attack : 1.0;
    if (tau > 0 && t > attack) a *= std::exp(-(t - attack) / tau);
    const double left = length - t;
    if (release > 0 && left < release) a *= 0.5 - 0.5 * std::cos(M_PI * std::max(0.0, left) / release);
    return a;
  }
};

// A pitched note made of partials (frequency ratio, level), gliding from f0 to f1 over `glide` seconds
// along an exponential path, with optional vibrato and tremolo.
struct Tone {
  double start = 0, length = 0.1;
  double f0 = 440, f1 = 0, glide = 0;
  double amp = 1.0;
  Envelope env;
  std::vector<std::pair<double, double>> partials = {{1.0, 1.0}};
  double vibratoHz = 0, vibratoDepth = 0;  // depth as a fraction of the frequency
  double tremoloHz = 0, tremoloDepth = 0;
};

void Add(Signal& s, const Tone& tone) {
  const size_t begin = Frames(tone.start);
  const size_t n = Frames(tone.length);
  if (s.size() < begin + n) s.resize(begin + n, 0.0);
  std::vector<double> phase(tone.partials.size(), 0.0);
  const double f1 = tone.f1 > 0 ? tone.f1 : tone.f0;
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double g = tone.glide > 0 ? std::min(t / tone.glide, 1.0) : 1.0;
    double f = tone.f0 * std::pow(f1 / tone.f0, g);
    if (tone.vibratoHz > 0) f *= 1.0 + tone.vibratoDepth * std::sin(kTwoPi * tone.vibratoHz * t);
    double v = 0;
    for (size_t p = 0; p < tone.partials.size(); ++p) {
      const double pf = f * tone.partials[p].first;
      phase[p] += kTwoPi * pf / kRate;
      if (pf < kHighestPartial) v += tone.partials[p].second * std::sin(phase[p]);
    }
    double a = tone.amp * tone.env.At(t, tone.length);
    if (tone.tremoloHz > 0)
      a *= 1.0 - tone.tremoloDepth * (0.5 + 0.5 * std::sin(kTwoPi * tone.tremoloHz * t));
    s[begin + i] += a * v;
  }
}

// Filtered noise: a state-variable band-pass (or low-pass) whose centre moves over the sound.
struct Hiss {
  double start = 0, length = 0.1;
  double amp = 1.0;
  Envelope env;
  std::function<double(double)> centre = [](double) { return 1000.0; };  // Hz at time t
  double q = 0.7;
  bool lowPass = true;
  uint32_t seed = 1;
};

void Add(Signal& s, const Hiss& hiss) {
  const size_t begin = Frames(hiss.start);
  const size_t n = Frames(hiss.length);
  if (s.size() < begin + n) s.resize(begin + n, 0.0);
  Noise noise(hiss.seed);
  double low = 0, band = 0;
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double fc = std::min(hiss.centre(t), kRate * 0.2);
    const double k = 2.0 * std::sin(M_PI * fc / kRate);
    const double x = noise.Next();
    low += k * band;
    const double high = x - low - band / hiss.q;
    band += k * high;
    s[begin + i] += hiss.amp * hiss.env.At(t, hiss.length) * (hiss.lowPass ? low : band);
  }
}

Envelope Env(double attack, double tau, double release) {
  return Envelope{attack, tau, release};
}

double Note(int semitonesFromA4) {
  return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}
// A few notes by name (A4 = 440 Hz).
const double kC4 = Note(-9), kG3 = Note(-14), kC5 = Note(3), kE5 = Note(7), kG5 = Note(10), kA5 = Note(12),
             kC6 = Note(15), kE6 = Note(19), kG6 = Note(22), kC7 = Note(27);

// Soft square-ish and bell-like timbres.
const std::vector<std::pair<double, double>> kReed = {{1, 1}, {2, 0.3}, {3, 0.25}, {4, 0.1}, {5, 0.08}};
const std::vector<std::pair<double, double>> kBell = {{1, 1}, {2.0, 0.45}, {3.01, 0.22}, {4.2, 0.12}};
const std::vector<std::pair<double, double>> kMetal = {{1, 1}, {1.48, 0.6}, {2.31, 0.3}, {3.7, 0.12}};

// --- the sounds -------------------------------------------------------------------------------------

Signal Move() {  // a soft short footstep
  Signal s;
  Add(s, Hiss{0, 0.09, 0.9, Env(0.002, 0.018, 0.02), [](double) { return 900.0; }, 0.7, true, 11});
  Add(s, Tone{0, 0.09, 140, 85, 0.05, 0.7, Env(0.002, 0.025, 0.02), {{1, 1}}});
  return s;
}

Signal Suck() {  // a gem taken: a bright rising sweep with sparkles on top
  Signal s;
  Add(s, Tone{0, 0.38, 700, 2600, 0.3, 0.6, Env(0.005, 0.16, 0.05), {{1, 1}, {2, 0.3}, {3, 0.12}}});
  Noise pick(21);
  for (int i = 0; i < 8; ++i) {
    const double at = 0.03 + 0.04 * i + pick.Range(0, 0.015);
    Add(s, Tone{at, 0.05, pick.Range(3000, 6000), 0, 0, 0.25, Env(0.001, 0.012, 0.01), {{1, 1}}});
  }
  return s;
}

Signal Key() {  // a key or a fruit: a two-note chime
  Signal s;
  Add(s, Tone{0, 0.45, kC6, 0, 0, 0.6, Env(0.002, 0.16, 0.06), kBell});
  Add(s, Tone{0.13, 0.5, kG6, 0, 0, 0.6, Env(0.002, 0.18, 0.08), kBell});
  return s;
}

Signal Open() {  // the exit opens: a rising fanfare arpeggio
  Signal s;
  const double notes[] = {kC5, kE5, kG5, kC6};
  for (int i = 0; i < 4; ++i) {
    const bool last = i == 3;
    Add(s, Tone{0.09 * i, last ? 0.55 : 0.25, notes[i], 0, 0, 0.5, Env(0.008, last ? 0.3 : 0.2, 0.06), kReed,
                last ? 5.5 : 0, last ? 0.004 : 0});
  }
  return s;
}

Signal Exit() {  // the level is won: a happy jingle ending on a held chord
  Signal s;
  const std::pair<double, double> melody[] = {{0.00, kC5}, {0.12, kE5}, {0.24, kG5}, {0.36, kC6},
                                              {0.60, kG5}, {0.72, kC6}, {0.84, kE6}};
  for (const auto& [at, f] : melody) {
    Add(s, Tone{at, at == 0.36 ? 0.24 : 0.13, f, 0, 0, 0.45, Env(0.006, 0.2, 0.03), kReed});
  }
  for (double f : {kC6, kE6, kG6}) {
    Add(s, Tone{0.96, 0.79, f, 0, 0, 0.3, Env(0.01, 0.45, 0.2), kReed, 5.5, 0.004});
  }
  // A bass underneath: C, G, C.
  const std::pair<double, double> bass[] = {{0.0, kC4}, {0.36, kG3}, {0.96, kC4}};
  for (const auto& [at, f] : bass) {
    Add(s, Tone{at, at == 0.96 ? 0.79 : 0.36, f, 0, 0, 0.4, Env(0.01, 0.3, 0.08), {{1, 1}, {2, 0.35}}});
  }
  return s;
}

Signal Boxes() {  // a gem box opens: a wooden clunk and a spill of coins
  Signal s;
  Add(s, Hiss{0, 0.12, 1.2, Env(0.001, 0.03, 0.03), [](double) { return 800.0; }, 0.8, true, 31});
  Add(s, Tone{0, 0.16, 180, 150, 0.08, 0.7, Env(0.001, 0.05, 0.04), {{1, 1}, {1.83, 0.4}}});
  Noise pick(37);
  for (double at : {0.08, 0.14, 0.19, 0.27, 0.36}) {
    Add(s, Tone{at, 0.2, pick.Range(2800, 4200), 0, 0, 0.3, Env(0.001, 0.07, 0.05), kMetal});
  }
  return s;
}

Signal Click() {  // a menu click
  Signal s;
  Add(s, Tone{0, 0.035, 2200, 0, 0, 0.8, Env(0.0005, 0.005, 0.008), {{1, 1}, {1.7, 0.3}}});
  Add(s, Hiss{0, 0.02, 0.6, Env(0.0005, 0.003, 0.006), [](double) { return 4000.0; }, 1.0, false, 41});
  return s;
}

Signal Explos() {  // an explosion: a thump under a noise burst that darkens as it dies away
  Signal s;
  Add(s, Hiss{0, 1.3, 1.6, Env(0.004, 0.32, 0.3),
              [](double t) { return 300.0 + 2700.0 * std::exp(-t / 0.2); }, 0.7, true, 53});
  Add(s, Tone{0, 0.6, 75, 38, 0.4, 0.9, Env(0.003, 0.18, 0.1), {{1, 1}, {2, 0.2}}});
  Noise pick(59);
  for (int i = 0; i < 10; ++i) {
    const double at = pick.Range(0.05, 0.7);
    Add(s, Hiss{at, 0.03, 0.5, Env(0.001, 0.006, 0.01), [](double) { return 2500.0; }, 1.0, false,
                static_cast<uint32_t>(60 + i)});
  }
  return s;
}

Signal Crown() {  // a fruit appears: a high shimmer that swells and fades
  Signal s;
  const double partials[] = {kC7, kC7 * 1.26, kC7 * 1.5, kC7 * 1.68, kC7 * 2.0};
  Noise pick(71);
  for (double f : partials) {
    Add(s,
        Tone{0, 0.7, f, f * 1.03, 0.7, 0.22, Env(0.12, 0.3, 0.15), {{1, 1}}, 0, 0, pick.Range(11, 18), 0.6});
  }
  return s;
}

Signal Baddy() {  // a baddie eats a fruit: two low gulps
  Signal s;
  Add(s, Tone{0, 0.2, 320, 90, 0.17, 0.8, Env(0.004, 0.08, 0.04), {{1, 1}, {2, 0.4}, {3, 0.15}}});
  Add(s, Tone{0.18, 0.2, 230, 70, 0.16, 0.55, Env(0.004, 0.07, 0.05), {{1, 1}, {2, 0.4}, {3, 0.15}}});
  Add(s, Hiss{0, 0.35, 0.3, Env(0.01, 0.12, 0.05), [](double) { return 400.0; }, 0.7, true, 83});
  return s;
}

Signal Time() {  // the clock runs out: one short wooden tick
  Signal s;
  Add(s, Tone{0, 0.07, 1600, 0, 0, 0.8, Env(0.0008, 0.012, 0.015), {{1, 1}, {2.7, 0.5}, {4.1, 0.2}}});
  return s;
}

Signal Wobble() {  // the menu box moves: a short springy wobble
  Signal s;
  Add(s, Tone{0, 0.28, 420, 0, 0, 0.7, Env(0.005, 0.11, 0.05), {{1, 1}, {2, 0.3}}, 18, 0.12});
  return s;
}

Signal NoLevel() {  // a level step is refused: a low, rough buzz
  Signal s;
  std::vector<std::pair<double, double>> saw;
  for (int k = 1; k <= 40; ++k) saw.push_back({k, 1.0 / k});
  Add(s, Tone{0, 0.33, 110, 0, 0, 0.5, Env(0.005, 0, 0.05), saw});
  Add(s, Tone{0, 0.33, 116.5, 0, 0, 0.4, Env(0.005, 0, 0.05), saw});
  return s;
}

Signal Flame() {  // a name slot is taken over: a whoosh that rises and falls
  Signal s;
  Add(s,
      Hiss{0, 0.65, 3.0, Env(0.25, 0.18, 0.2),
           [](double t) { return t < 0.3 ? 300.0 + 2200.0 * t / 0.3 : 2500.0 - 1700.0 * (t - 0.3) / 0.35; },
           1.5, false, 97});
  return s;
}

Signal Doka() {  // the high scores open: a deep drum hit
  Signal s;
  Add(s, Tone{0, 0.5, 160, 45, 0.12, 1.0, Env(0.001, 0.14, 0.1), {{1, 1}, {1.5, 0.25}}});
  Add(s, Hiss{0, 0.03, 1.0, Env(0.0005, 0.005, 0.01), [](double) { return 3000.0; }, 1.0, false, 101});
  return s;
}

// --- finishing and writing -----------------------------------------------------------------------------

// Removes any DC, fades the very ends to silence and scales to the given peak.
std::vector<int16_t> Finish(Signal s, double peak) {
  double prevIn = 0, prevOut = 0;
  const double pole = 1.0 - kTwoPi * 20.0 / kRate;  // 20 Hz DC blocker
  for (double& x : s) {
    const double y = x - prevIn + pole * prevOut;
    prevIn = x;
    prevOut = y;
    x = y;
  }
  const size_t fadeIn = std::min(s.size(), Frames(0.001));
  const size_t fadeOut = std::min(s.size(), Frames(0.015));
  for (size_t i = 0; i < fadeIn; ++i) s[i] *= static_cast<double>(i) / static_cast<double>(fadeIn);
  for (size_t i = 0; i < fadeOut; ++i) {
    s[s.size() - 1 - i] *= 0.5 - 0.5 * std::cos(M_PI * static_cast<double>(i) / static_cast<double>(fadeOut));
  }
  double top = 0;
  for (double x : s) top = std::max(top, std::fabs(x));
  const double scale = top > 0 ? peak * 32767.0 / top : 0.0;
  std::vector<int16_t> out(s.size());
  for (size_t i = 0; i < s.size(); ++i) out[i] = static_cast<int16_t>(std::lround(s[i] * scale));
  return out;
}

void PutU16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v & 0xFF));
  b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void PutU32(std::vector<uint8_t>& b, uint32_t v) {
  PutU16(b, v & 0xFFFF);
  PutU16(b, v >> 16);
}
void PutId(std::vector<uint8_t>& b, const char* id) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> b;
  PutId(b, "RIFF");
  PutU32(b, 36 + dataBytes);
  PutId(b, "WAVE");
  PutId(b, "fmt ");
  PutU32(b, 16);
  PutU16(b, 1);  // PCM
  PutU16(b, 1);  // mono
  PutU32(b, kRate);
  PutU32(b, kRate * 2);  // bytes per second
  PutU16(b, 2);          // block align
  PutU16(b, 16);         // bits per sample
  PutId(b, "data");
  PutU32(b, dataBytes);
  for (int16_t v : samples) PutU16(b, static_cast<uint16_t>(v));
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

struct Effect {
  const char* name;
  Signal (*make)();
  double peak;  // loudness relative to full scale
};

const Effect kEffects[] = {
    {"Move", Move, 0.35},       {"Suck", Suck, 0.6},   {"Key", Key, 0.6},      {"Open", Open, 0.65},
    {"Exit", Exit, 0.7},        {"Boxes", Boxes, 0.6}, {"Click", Click, 0.45}, {"Explos", Explos, 0.8},
    {"Crown", Crown, 0.5},      {"Baddy", Baddy, 0.6}, {"Time", Time, 0.5},    {"Wobble", Wobble, 0.5},
    {"NoLevel", NoLevel, 0.55}, {"Flame", Flame, 0.6}, {"Doka", Doka, 0.8},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds OUTDIR\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/Graphic";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    std::fprintf(stderr, "make_sounds: cannot create %s: %s\n", folder.c_str(), ec.message().c_str());
    return 1;
  }
  for (const Effect& e : kEffects) {
    const std::string path = folder + "/" + e.name + ".wav";
    const std::vector<int16_t> samples = Finish(e.make(), e.peak);
    if (!WriteWav(path, samples)) {
      std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s: %.3f s\n", path.c_str(), static_cast<double>(samples.size()) / kRate);
  }
  return 0;
}
