// A stand-in for the devices and the window in headless runs: window events at chosen moments of the
// virtual clock, and keyboard and mouse input handed to the frames one poll at a time.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ForwardingPlatform.h"

namespace testing_support {

// What the devices report at one poll of ShowFrame.
struct FakePoll {
  std::vector<int> keys;  // scan codes held
  int dx = 0, dy = 0;     // mouse motion since the poll before
  bool left = false, right = false;
  bool pointer = false;  // a system pointer is seen, over picture pixel (x, y)
  int x = 0, y = 0;
};

// Wraps the headless platform; everything not scripted here is passed through to it.
class FakePlatform final : public ForwardingPlatform {
 public:
  explicit FakePlatform(std::unique_ptr<plat::Platform> inner) : ForwardingPlatform(std::move(inner)) {}

  // Hands `events` to the first window-event pump at or after virtual time `atMs`; one entry per pump,
  // in the order given.
  void EventAt(double atMs, plat::WindowEvents events) { timed_.emplace_back(atMs, events); }
  // The next polls see these, one each; after them nothing is held and the mouse stands still.
  void QueuePolls(std::vector<FakePoll> polls) { polls_.insert(polls_.end(), polls.begin(), polls.end()); }

  const std::vector<std::string>& Captions() const { return captions_; }
  // Where the runtime placed the system pointer, in order.
  const std::vector<std::pair<int, int>>& Placements() const { return placements_; }
  // What the runtime said at each poll about the game drawing its own pointer.
  const std::vector<bool>& GameDrawsPointer() const { return gameDrawsPointer_; }
  int Presents() const { return presents_; }
  int Pumps() const { return pumps_; }

  void SetCaption(const std::string& c) override {
    captions_.push_back(c);
    Inner().SetCaption(c);
  }
  void Present() override {
    ++presents_;
    Inner().Present();
  }
  plat::WindowEvents PumpEvents() override;
  void ReadKeyboard(uint8_t state[256]) override;
  void ReadMouse(int& dx, int& dy, bool& left, bool& right) override;
  bool PointerPosition(int& x, int& y) override;
  void PlacePointer(int x, int y) override;
  void SetGameDrawsPointer(bool on) override { gameDrawsPointer_.push_back(on); }

 private:
  std::deque<std::pair<double, plat::WindowEvents>> timed_;
  std::deque<FakePoll> polls_;
  FakePoll current_;  // the poll being read (keyboard first, then the mouse)
  std::vector<std::string> captions_;
  std::vector<std::pair<int, int>> placements_;
  std::vector<bool> gameDrawsPointer_;
  int presents_ = 0;
  int pumps_ = 0;
};

// Puts a FakePlatform around the running platform (call from inside a run) and returns it; the runtime
// owns it until the program ends.
FakePlatform& InstallFakePlatform();

}  // namespace testing_support
