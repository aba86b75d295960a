// brillora_soak: plays the real game headless with random input until a wall-clock deadline, then ends
// it through the window's close request, the way a player closing the window would.
//   brillora_soak --data DIR [--seconds N] [--seed N] [--windowed] [--screenshot FILE]
// --windowed plays in a window (on a display) instead of headless; --screenshot saves the last picture.
// The input is random but lives like a player's: keys held for a few frames, the mouse moved and clicked
// on the name entry (now and then straight to OK, so that the screen is left again), Escape now and then
// to leave a level, and never a key that quits (F12, Alt+F4, Return on GOHOME), so that the run only
// ends at the deadline. scripts/soak.sh watches the process's memory and open files meanwhile.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "game/GameMain.h"
#include "game/GameState.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/program/Runtime.h"
#include "tests/support/ForwardingPlatform.h"

namespace {

constexpr uint8_t kUp = 200, kDown = 208, kLeft = 203, kRight = 205, kReturn = 28, kSpace = 57, kEscape = 1;
constexpr uint8_t kF1 = 59;
// Frames at the start with no input: Escape still ends the program until the game takes it over.
constexpr long long kQuietFrames = 40;

struct Visits {
  long long frames = 0;
  long long nameEntries = 0;
  long long scoreTables = 0;
  long long games = 0;
  std::set<int> levels;
};

class RandomPlayer final : public testing_support::ForwardingPlatform {
 public:
  RandomPlayer(std::unique_ptr<plat::Platform> inner, uint32_t seed, double seconds, Visits& visits)
      : ForwardingPlatform(std::move(inner)),
        random_(seed),
        deadline_(std::chrono::steady_clock::now() +
                  std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                      std::chrono::duration<double>(seconds))),
        visits_(visits) {}

  // The close request comes right after a frame's input is read, before that frame is shown, so that the
  // picture still holds it (for --screenshot); a few seconds late in any case (a paused game reads none).
  plat::WindowEvents PumpEvents() override {
    plat::WindowEvents events = Inner().PumpEvents();
    const auto now = std::chrono::steady_clock::now();
    if (closing_ || now >= deadline_ + std::chrono::seconds(5)) events.closeRequested = true;
    return events;
  }

  void ReadKeyboard(uint8_t state[256]) override {
    Inner().ReadKeyboard(state);
    ++visits_.frames;
    if (std::chrono::steady_clock::now() >= deadline_) closing_ = true;
    if (visits_.frames < kQuietFrames) return;
    const GameState& g = G();
    // The title menu's box animates every frame; nothing else moves it.
    const bool onTitle = g.MenuCursor.frame != lastBoxFrame_;
    lastBoxFrame_ = g.MenuCursor.frame;
    if (held_ == 0) ChooseAction();
    --held_;
    // Return on GOHOME saves and quits: the box is at or on its way to that line.
    if (key_ == kReturn && g.MenuCursor.y > 196) return;
    if (key_ != 0) state[key_] = 0x80;
    if (key_ == kReturn && onTitle && g.MenuCursor.state == 0 && !returnCounted_) {
      returnCounted_ = true;
      if (g.MenuCursor.y == 128) ++visits_.nameEntries;
      if (g.MenuCursor.y == 160) ++visits_.scoreTables;
      if (g.MenuCursor.y == 192) {
        ++visits_.games;
        visits_.levels.insert(static_cast<int>(g.LevelNumber));
      }
    }
  }

  void ReadMouse(int& dx, int& dy, bool& left, bool& right) override {
    Inner().ReadMouse(dx, dy, left, right);
    if (visits_.frames < kQuietFrames) return;
    if (Pick(150) == 0) {
      // Straight to OK on the name entry.
      dx = 500 - Rt().input.mouseX;
      dy = 200 - Rt().input.mouseY;
    } else {
      dx = static_cast<int>(Pick(49)) - 24;
      dy = static_cast<int>(Pick(49)) - 24;
    }
    left = mouseHeld_;
    right = false;
  }

 private:
  uint32_t Pick(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(random_); }

  void ChooseAction() {
    static const uint8_t kKeys[] = {0,     0,      0,      kUp,    kUp,     kDown,   kDown,  kLeft, kLeft,
                                    kLeft, kRight, kRight, kRight, kReturn, kReturn, kSpace, kSpace};
    const uint32_t roll = Pick(1000);
    if (roll < 4) {
      key_ = static_cast<uint8_t>(kF1 + Pick(4));  // take a stored name
    } else if (roll < 14) {
      key_ = kEscape;  // leaves a level
    } else {
      key_ = kKeys[Pick(sizeof kKeys)];
    }
    held_ = 1 + static_cast<int>(Pick(10));
    mouseHeld_ = Pick(6) == 0;
    returnCounted_ = false;
  }

  std::mt19937 random_;
  std::chrono::steady_clock::time_point deadline_;
  Visits& visits_;
  uint8_t key_ = 0;
  int held_ = 0;
  bool mouseHeld_ = false;
  bool returnCounted_ = false;
  bool closing_ = false;
  double lastBoxFrame_ = -1;
};

uint32_t gSeed = 1;
double gSeconds = 60;
Visits gVisits;

void SoakMain() {
  Rt().platform = std::make_unique<RandomPlayer>(std::move(Rt().platform), gSeed, gSeconds, gVisits);
  GameMain();
}

int Usage() {
  std::fprintf(stderr,
               "usage: brillora_soak --data DIR [--seconds N] [--seed N] [--windowed] [--screenshot FILE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string data;
  std::vector<std::string> args = {"brillora", "--headless"};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--windowed") {
      args[1] = "--windowed";
      continue;
    }
    if (i + 1 >= argc) return Usage();
    const std::string v = argv[++i];
    if (a == "--data") {
      data = v;
    } else if (a == "--seconds") {
      gSeconds = std::atof(v.c_str());
    } else if (a == "--seed") {
      gSeed = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 10));
    } else if (a == "--screenshot") {
      args.insert(args.end(), {"--screenshot", v});
    } else {
      return Usage();
    }
  }
  if (data.empty() || !(gSeconds > 0)) return Usage();
  args.insert(args.end(), {"--data", data, "--seed", std::to_string(gSeed)});
  const int status = RunProgram(args, "Brillora", SoakMain);
  std::string levels;
  for (int level : gVisits.levels) {
    if (!levels.empty()) levels += ',';
    levels += std::to_string(level);
  }
  std::printf("soak: %lld frames, %lld games (levels %s), %lld name entries, %lld score tables, status %d\n",
              gVisits.frames, gVisits.games, levels.empty() ? "none" : levels.c_str(), gVisits.nameEntries,
              gVisits.scoreTables, status);
  return status;
}
