// A stand-in for the devices and the window in headless runs: window events at chosen moments of the
// virtual clock, and keyboard and mouse input handed to the frames one poll at a time.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/platform/Platform.h"

namespace testing_support {

// What the devices report at one poll of ShowFrame.
struct FakePoll {
  std::vector<int> keys;  // scan codes held
  int dx = 0, dy = 0;     // mouse motion since the poll before
  bool left = false, right = false;
};

// Wraps the headless platform; everything not scripted here is passed through to it.
class FakePlatform final : public plat::Platform {
 public:
  explicit FakePlatform(std::unique_ptr<plat::Platform> inner) : inner_(std::move(inner)) {}

  // Hands `events` to the first window-event pump at or after virtual time `atMs`; one entry per pump,
  // in the order given.
  void EventAt(double atMs, plat::WindowEvents events) { timed_.emplace_back(atMs, events); }
  // The next polls see these, one each; after them nothing is held and the mouse stands still.
  void QueuePolls(std::vector<FakePoll> polls) { polls_.insert(polls_.end(), polls.begin(), polls.end()); }

  const std::vector<std::string>& Captions() const { return captions_; }
  int Presents() const { return presents_; }
  int Pumps() const { return pumps_; }

  bool Headless() const override { return inner_->Headless(); }
  bool HasGl() const override { return inner_->HasGl(); }
  bool OpenWindow(int w, int h, const std::string& c) override { return inner_->OpenWindow(w, h, c); }
  void SetCaption(const std::string& c) override {
    captions_.push_back(c);
    inner_->SetCaption(c);
  }
  bool SetFullScreen(bool on) override { return inner_->SetFullScreen(on); }
  bool FullScreen() const override { return inner_->FullScreen(); }
  void ShowWindow(bool v) override { inner_->ShowWindow(v); }
  void CloseWindow() override { inner_->CloseWindow(); }
  int PictureWidth() const override { return inner_->PictureWidth(); }
  int PictureHeight() const override { return inner_->PictureHeight(); }
  void BindPicture() override { inner_->BindPicture(); }
  void Present() override {
    ++presents_;
    inner_->Present();
  }
  plat::WindowEvents PumpEvents() override;
  double NowMs() override { return inner_->NowMs(); }
  void SleepMs(double ms) override { inner_->SleepMs(ms); }
  void IdleToward(double deadlineMs) override { inner_->IdleToward(deadlineMs); }
  void ReadKeyboard(uint8_t state[256]) override;
  void ReadMouse(int& dx, int& dy, bool& left, bool& right) override;
  void SetRelativeMouse(bool on) override { inner_->SetRelativeMouse(on); }
  bool OpenAudio(int rate, plat::AudioPull pull) override { return inner_->OpenAudio(rate, std::move(pull)); }
  int AudioRate() const override { return inner_->AudioRate(); }
  void LockAudio() override { inner_->LockAudio(); }
  void UnlockAudio() override { inner_->UnlockAudio(); }
  void CloseAudio() override { inner_->CloseAudio(); }
  bool ReadPicture(std::vector<uint8_t>& rgba) override { return inner_->ReadPicture(rgba); }

 private:
  std::unique_ptr<plat::Platform> inner_;
  std::deque<std::pair<double, plat::WindowEvents>> timed_;
  std::deque<FakePoll> polls_;
  FakePoll current_;  // the poll being read (keyboard first, then the mouse)
  std::vector<std::string> captions_;
  int presents_ = 0;
  int pumps_ = 0;
};

// Puts a FakePlatform around the running platform (call from inside a run) and returns it; the runtime
// owns it until the program ends.
FakePlatform& InstallFakePlatform();

}  // namespace testing_support
