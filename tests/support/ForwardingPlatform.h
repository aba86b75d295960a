// A platform that passes every call through to another one; test stand-ins derive from it and change only
// what they script.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/platform/Platform.h"

namespace testing_support {

class ForwardingPlatform : public plat::Platform {
 public:
  explicit ForwardingPlatform(std::unique_ptr<plat::Platform> inner) : inner_(std::move(inner)) {}

  bool Headless() const override { return inner_->Headless(); }
  bool HasGl() const override { return inner_->HasGl(); }
  bool OpenWindow(int w, int h, const std::string& c) override { return inner_->OpenWindow(w, h, c); }
  std::string WindowError() const override { return inner_->WindowError(); }
  void PreferWindowSize(int w, int h) override { inner_->PreferWindowSize(w, h); }
  bool WindowedSize(int& w, int& h) const override { return inner_->WindowedSize(w, h); }
  void SetIcon(int w, int h, const std::vector<uint8_t>& rgba) override { inner_->SetIcon(w, h, rgba); }
  void SetCaption(const std::string& c) override { inner_->SetCaption(c); }
  bool SetFullScreen(bool on) override { return inner_->SetFullScreen(on); }
  bool FullScreen() const override { return inner_->FullScreen(); }
  void ShowWindow(bool v) override { inner_->ShowWindow(v); }
  void CloseWindow() override { inner_->CloseWindow(); }
  int PictureWidth() const override { return inner_->PictureWidth(); }
  int PictureHeight() const override { return inner_->PictureHeight(); }
  void BindPicture() override { inner_->BindPicture(); }
  void Present() override { inner_->Present(); }
  plat::WindowEvents PumpEvents() override { return inner_->PumpEvents(); }
  double NowMs() override { return inner_->NowMs(); }
  void SleepMs(double ms) override { inner_->SleepMs(ms); }
  void IdleToward(double deadlineMs) override { inner_->IdleToward(deadlineMs); }
  void ReadKeyboard(uint8_t state[256]) override { inner_->ReadKeyboard(state); }
  void ReadMouse(int& dx, int& dy, bool& left, bool& right) override {
    inner_->ReadMouse(dx, dy, left, right);
  }
  bool PointerPosition(int& x, int& y) override { return inner_->PointerPosition(x, y); }
  void PlacePointer(int x, int y) override { inner_->PlacePointer(x, y); }
  void SetGameDrawsPointer(bool on) override { inner_->SetGameDrawsPointer(on); }
  void SetKeyBindings(const plat::KeyBindings& b) override { inner_->SetKeyBindings(b); }
  void ShowSoundLevel(int percent, bool muted, double untilMs) override {
    inner_->ShowSoundLevel(percent, muted, untilMs);
  }
  bool OpenAudio(int rate, plat::AudioPull pull) override { return inner_->OpenAudio(rate, std::move(pull)); }
  int AudioRate() const override { return inner_->AudioRate(); }
  void LockAudio() override { inner_->LockAudio(); }
  void UnlockAudio() override { inner_->UnlockAudio(); }
  void CloseAudio() override { inner_->CloseAudio(); }
  bool ReadPicture(std::vector<uint8_t>& rgba) override { return inner_->ReadPicture(rgba); }
  void* GlProcAddress(const char* name) override { return inner_->GlProcAddress(name); }

 protected:
  plat::Platform& Inner() { return *inner_; }
  // Stand-ins that count presents take the whole-picture Present by default; one that passes frames on
  // as the game draws them overrides KeepsPicture and PresentChanged with these.
  bool InnerKeepsPicture() const { return inner_->KeepsPicture(); }

 private:
  std::unique_ptr<plat::Platform> inner_;
};

}  // namespace testing_support
