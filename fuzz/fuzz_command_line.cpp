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
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "runtime/core/Options.h"
#include "runtime/core/RtString.h"
#include "runtime/core/WholeNumber.h"

namespace {

// Digits only after an optional sign, value within [lo, hi].
bool ReferenceWholeNumber(const std::string& text, long long lo, long long hi, long long& out) {
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
  if (negative) value = -value;
  if (value < lo || value > hi) return false;
  out = static_cast<long long>(value);
  return true;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The longest decimal prefix after white space, read by the C library in the C locale.
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
  const std::string prefix(start, p);
  return ::strtod_l(prefix.c_str(), nullptr, c);
}

void CheckNumberTexts(const std::string& text) {
  constexpr long long kRanges[][2] = {
      {INT32_MIN, INT32_MAX}, {0, LLONG_MAX}, {1, 1000000000LL}, {0, 255}, {LLONG_MIN, LLONG_MAX}};
  for (const auto& range : kRanges) {
    long long got = 7, want = 7;
    const bool ok = ParseWholeNumber(text, range[0], range[1], got);
    FUZZ_CHECK(ok == ReferenceWholeNumber(text, range[0], range[1], want));
    FUZZ_CHECK(!ok || got == want);
  }

  const double value = TextToNumber(text.c_str());
  const double reference = ReferenceTextToNumber(text.c_str());
  FUZZ_CHECK(std::memcmp(&value, &reference, sizeof value) == 0);

  const RtString printed = NumberToText(value);
  const std::string shown(printed.TextView());
  FUZZ_CHECK(!shown.empty() && shown.back() != '.' && shown != "-0");
  // Near the top of the range the rounded text may read back as infinity.
  if (std::fabs(value) < 1e300) {
    const double back = TextToNumber(printed);
    FUZZ_CHECK(std::fabs(back - value) <= std::fabs(value) * 1e-9);
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
  std::vector<std::string> args = {"brillora"};
  std::string current;
  for (size_t i = 0; i <= size; ++i) {
    if (i == size || data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
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
