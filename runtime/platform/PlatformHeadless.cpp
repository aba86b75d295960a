// The headless platform: no window, no GL, no devices. Time is virtual: it moves only when the runtime
// sleeps or waits for the next frame, so whole games run as fast as the machine allows and always alike.
// Audio is pulled as the virtual clock advances and discarded, so sounds still take their time.
#include <mutex>
#include <vector>

#include "runtime/platform/Platform.h"

namespace plat {
namespace {

class HeadlessPlatform final : public Platform {
 public:
  bool Headless() const override { return true; }
  bool HasGl() const override { return false; }

  bool OpenWindow(int width, int height, const std::string&) override {
    width_ = width;
    height_ = height;
    return true;
  }
  void SetCaption(const std::string&) override {}
  bool SetFullScreen(bool on) override {
    fullScreen_ = on;
    return true;
  }
  bool FullScreen() const override { return fullScreen_; }
  void ShowWindow(bool) override {}
  void CloseWindow() override {}
  int PictureWidth() const override { return width_; }
  int PictureHeight() const override { return height_; }
  void BindPicture() override {}
  void Present() override {}
  WindowEvents PumpEvents() override { return {}; }

  double NowMs() override { return nowMs_; }
  void SleepMs(double ms) override {
    if (ms > 0) Advance(ms);
  }
  void IdleToward(double deadlineMs) override {
    // Step just past the deadline: the frame wait leaves once the clock is beyond it.
    if (deadlineMs >= nowMs_) Advance(deadlineMs - nowMs_ + kStepPastMs);
  }

  void ReadKeyboard(uint8_t state[256]) override {
    for (int i = 0; i < 256; ++i) state[i] = 0;
  }
  void ReadMouse(int& dx, int& dy, bool& left, bool& right) override {
    dx = dy = 0;
    left = right = false;
  }

  bool OpenAudio(int rate, AudioPull pull) override {
    std::lock_guard<std::recursive_mutex> lock(audioMutex_);
    rate_ = rate;
    pull_ = std::move(pull);
    pendingFrames_ = 0;
    return true;
  }
  int AudioRate() const override { return rate_; }
  void LockAudio() override { audioMutex_.lock(); }
  void UnlockAudio() override { audioMutex_.unlock(); }
  void CloseAudio() override {
    std::lock_guard<std::recursive_mutex> lock(audioMutex_);
    pull_ = nullptr;
  }

  bool ReadPicture(std::vector<uint8_t>&) override { return false; }

 private:
  static constexpr double kStepPastMs = 0.001;

  void Advance(double ms) {
    nowMs_ += ms;
    std::lock_guard<std::recursive_mutex> lock(audioMutex_);
    if (!pull_ || rate_ <= 0) return;
    // The device consumes rate frames per second of virtual time; pull them in blocks and drop them.
    pendingFrames_ += ms * rate_ / 1000.0;
    while (pendingFrames_ >= 1.0) {
      const int frames = pendingFrames_ >= kBlock ? kBlock : static_cast<int>(pendingFrames_);
      scratch_.assign(static_cast<size_t>(frames) * 2, 0);
      pull_(scratch_.data(), frames);
      pendingFrames_ -= frames;
    }
  }

  static constexpr int kBlock = 1024;
  int width_ = 640, height_ = 480;
  bool fullScreen_ = false;
  double nowMs_ = 1000.0;
  int rate_ = 0;
  AudioPull pull_;
  double pendingFrames_ = 0;
  std::vector<int16_t> scratch_;
  std::recursive_mutex audioMutex_;
};

}  // namespace

std::unique_ptr<Platform> CreateHeadlessPlatform() {
  return std::make_unique<HeadlessPlatform>();
}

}  // namespace plat
