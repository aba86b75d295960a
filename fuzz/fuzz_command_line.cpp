// The command line and the number texts on hostile bytes. The input is split at zero bytes into
// arguments.
//
// Properties: whole numbers (--seed, --frames, replay lines) agree with a plain digit-by-digit reference
// over every range the program uses; the game's text-to-number conversion agrees bit for bit with the C
// library reading the same longest decimal prefix in the C locale; numbers printed by the game read back
// within their 10 significant digits; a command line that parses is rebuilt from its options and parses
// to the same options; one that does not parse says why.
#include <locale.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "runtime/core/Options.h"
#include "runtime/core/RtString.h"
#include "runtime/core/WholeNumber.h"

namespace {

// The text as a whole number, digit by digit: digits only after an optional sign; false when it is not
// one. The value is read once for every range; a magnitude far outside all of them stays outside.
FUZZ_UNTRACED bool ReferenceWholeNumber(std::string_view text, __int128& out) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  __int128 value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
    if (value > (__int128{1} << 64)) value = __int128{1} << 64;  // far outside every range: stays outside
  }
  out = negative ? -value : value;
  return true;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The longest decimal prefix after white space, read by the C library in the C locale. Traced for the
// fuzzer, unlike the reader above: the game reads the digits through the standard library, which is not
// instrumented, so the branches here are what show the fuzzer the shapes of a number (point, exponent).
double ReferenceTextToNumber(const char* text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const char* start = p;
  if (*p == '+' || *p == '-') ++p;
  bool digits = false;
  while (IsDigit(*p)) ++p, digits = true;
  if (*p == '.') {
    ++p;
    while (IsDigit(*p)) ++p, digits = true;
  }
  if (!digits) return 0;
  if (*p == 'e' || *p == 'E') {
    const char* e = p + 1;
    if (*e == '+' || *e == '-') ++e;
    if (IsDigit(*e)) {
      while (IsDigit(*e)) ++e;
      p = e;
    }
  }
  static const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  // One buffer for every run: its room is kept, so that a long prefix is not a new block each time.
  static std::string prefix;
  prefix.assign(start, p);
  return ::strtod_l(prefix.c_str(), nullptr, c);
}

void CheckNumberTexts(const std::string& text) {
  constexpr long long kRanges[][2] = {
      {INT32_MIN, INT32_MAX}, {0, LLONG_MAX}, {1, 1000000000LL}, {0, 255}, {LLONG_MIN, LLONG_MAX}};
  __int128 reference = 0;
  const bool whole = ReferenceWholeNumber(text, reference);
  for (const auto& range : kRanges) {
    long long got = 7;
    const bool ok = ParseWholeNumber(text, range[0], range[1], got);
    FUZZ_CHECK(ok == (whole && reference >= range[0] && reference <= range[1]));
    FUZZ_CHECK(!ok || got == reference);
  }

  const double value = TextToNumber(text.c_str());
  const double expected = ReferenceTextToNumber(text.c_str());
  FUZZ_CHECK(std::memcmp(&value, &expected, sizeof value) == 0);

  // The game's number printing (NumberToText) into one string for every run: its block is kept, so that
  // printing is not a fresh 512-byte block for each argument.
  static RtString printed;
  printed = value;
  const std::string_view shown(printed.TextView(), static_cast<size_t>(printed.Length()));
  FUZZ_CHECK(!shown.empty() && shown.back() != '.' && shown != "-0");
  // Near the top of the range the rounded text may read back as infinity.
  if (std::fabs(value) < 1e300) {
    const double back = TextToNumber(printed);
    FUZZ_CHECK(std::fabs(back - value) <= std::fabs(value) * 1e-9);
  }
}

// The input split at zero bytes, after the program's name.
FUZZ_UNTRACED std::vector<std::string> Arguments(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  const char* const end = text + size;
  auto next_zero = [end](const char* from) {
    if (from == end) return end;
    const void* zero = std::memchr(from, 0, static_cast<size_t>(end - from));
    return zero != nullptr ? static_cast<const char*>(zero) : end;
  };
  size_t count = 2;
  for (const char* p = text; (p = next_zero(p)) != end; ++p) ++count;
  std::vector<std::string> args;
  args.reserve(count);
  args.emplace_back("brillora");
  for (;;) {
    const char* stop = next_zero(text);
    args.emplace_back(text, stop);
    if (stop == end) return args;
    text = stop + 1;
  }
}

// The arguments that give `o` again.
std::vector<std::string> Rebuilt(const LaunchOptions& o) {
  std::vector<std::string> args = {"brillora"};
  if (o.windowed) args.push_back("--windowed");
  if (o.headless) args.push_back("--headless");
  const std::pair<const char*, const std::string*> paths[] = {{"--data", &o.dataDir},
                                                              {"--record", &o.recordPath},
                                                              {"--play", &o.playPath},
                                                              {"--dump", &o.dumpPath},
                                                              {"--screenshot", &o.screenshotPath}};
  for (const auto& [option, value] : paths) {
    if (!value->empty()) args.insert(args.end(), {option, *value});
  }
  if (o.haveSeed) args.insert(args.end(), {"--seed", std::to_string(o.seed)});
  if (o.frameLimit >= 0) args.insert(args.end(), {"--frames", std::to_string(o.frameLimit)});
  return args;
}

bool SameOptions(const LaunchOptions& a, const LaunchOptions& b) {
  return a.windowed == b.windowed && a.headless == b.headless && a.dataDir == b.dataDir &&
         a.haveSeed == b.haveSeed && a.seed == b.seed && a.frameLimit == b.frameLimit &&
         a.recordPath == b.recordPath && a.playPath == b.playPath && a.dumpPath == b.dumpPath &&
         a.screenshotPath == b.screenshotPath;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> args = Arguments(data, size);
  for (size_t i = 1; i < args.size(); ++i) CheckNumberTexts(args[i]);

  LaunchOptions options;
  std::string error;
  const OptionsResult result = ParseLaunchOptions(args, options, error);
  if (result == OptionsResult::kError) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  // Help and the version end the parse where they stand: the program prints them and runs nothing, so the
  // options read so far are never used.
  if (result == OptionsResult::kHelp || result == OptionsResult::kVersion) return 0;
  FUZZ_CHECK(options.frameLimit >= -1);
  FUZZ_CHECK(options.recordPath.empty() || options.recordPath != options.playPath);
  LaunchOptions again;
  FUZZ_CHECK(ParseLaunchOptions(Rebuilt(options), again, error) == OptionsResult::kRun);
  FUZZ_CHECK(SameOptions(options, again));
  return 0;
}
