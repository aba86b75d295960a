// The program's command line: a few options for windowed play, headless runs, replays and state dumps.
#include "runtime/core/Options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "runtime/core/WholeNumber.h"

std::string UsageText() {
  return "usage: brillora [options]\n"
         "  --windowed       play in a window instead of full screen\n"
         "  --fullscreen     play in full screen whatever the settings file says\n"
         "  --data DIR       use DIR as the game's folder (levels, records, media)\n"
         "  --headless       no window, no OpenGL, no sound output; a virtual clock\n"
         "  --seed N         seed the random generator with N\n"
         "  --frames N       end the program after N frames\n"
         "  --record FILE    record the input of this run into FILE\n"
         "  --play FILE      play the input recorded in FILE back\n"
         "  --dump FILE      write the game state as JSON to FILE when the program ends\n"
         "  --screenshot FILE  save the last picture drawn as a PNG when the program ends\n"
         "  --version        show the program's name and version\n"
         "  --help           show this text\n";
}

std::string VersionText(const std::string& name) {
  return name + " " + BRILLORA_VERSION + "\n";
}

OptionsResult ParseLaunchOptions(const std::vector<std::string>& args, LaunchOptions& o, std::string& error) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      // An empty value would read as the option not given: --play "" would quietly play live.
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = a + " needs a value (try --help)";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string v;
    long long n = 0;
    if (a == "--help" || a == "-h") return OptionsResult::kHelp;
    if (a == "--version") return OptionsResult::kVersion;
    if (a == "--windowed") {
      o.windowed = true;
    } else if (a == "--fullscreen") {
      o.fullScreen = true;
    } else if (a == "--headless") {
      o.headless = true;
    } else if (a == "--data") {
      if (!value(o.dataDir)) return OptionsResult::kError;
    } else if (a == "--seed") {
      if (!value(v)) return OptionsResult::kError;
      if (!ParseWholeNumber(v, INT32_MIN, INT32_MAX, n)) {
        error = "--seed takes a signed 32-bit whole number, not \"" + v + "\"";
        return OptionsResult::kError;
      }
      o.haveSeed = true;
      o.seed = static_cast<int32_t>(n);
    } else if (a == "--frames") {
      if (!value(v)) return OptionsResult::kError;
      if (!ParseWholeNumber(v, 0, LLONG_MAX, n)) {
        error = "--frames takes a whole number of frames, not \"" + v + "\"";
        return OptionsResult::kError;
      }
      o.frameLimit = n;
    } else if (a == "--record") {
      if (!value(o.recordPath)) return OptionsResult::kError;
    } else if (a == "--play") {
      if (!value(o.playPath)) return OptionsResult::kError;
    } else if (a == "--dump") {
      if (!value(o.dumpPath)) return OptionsResult::kError;
    } else if (a == "--screenshot") {
      if (!value(o.screenshotPath)) return OptionsResult::kError;
    } else {
      error = "unknown option \"" + a + "\" (try --help)";
      return OptionsResult::kError;
    }
  }
  if (!o.recordPath.empty() && !o.playPath.empty() && o.recordPath == o.playPath) {
    error = "--record and --play name the same file";
    return OptionsResult::kError;
  }
  if (o.windowed && o.fullScreen) {
    error = "--windowed and --fullscreen exclude each other";
    return OptionsResult::kError;
  }
  if (o.headless && !o.screenshotPath.empty()) {
    error = "--screenshot needs a window; a --headless run draws no picture";
    return OptionsResult::kError;
  }
  return OptionsResult::kRun;
}
