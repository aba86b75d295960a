// The desktop platform on SDL2 and OpenGL. The game draws a picture of its own size: straight into a window
// of that size, or into an off-screen framebuffer that Present scales to fit a larger window and full
// screen with one blit, aspect kept, black bars (the desktop's own mode: the display is never switched).
#define GL_GLEXT_PROTOTYPES 0
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <sys/prctl.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "runtime/platform/Platform.h"
#include "runtime/platform/SdlKeyMap.h"

namespace plat {
namespace {

// Framebuffer entry points (core since GL 3.0, or the ARB extension).
struct FboFunctions {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
  PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

  bool Load() {
    genFramebuffers = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(SDL_GL_GetProcAddress("glGenFramebuffers"));
    deleteFramebuffers =
        reinterpret_cast<PFNGLDELETEFRAMEBUFFERSPROC>(SDL_GL_GetProcAddress("glDeleteFramebuffers"));
    bindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBindFramebuffer"));
    framebufferTexture2D =
        reinterpret_cast<PFNGLFRAMEBUFFERTEXTURE2DPROC>(SDL_GL_GetProcAddress("glFramebufferTexture2D"));
    checkFramebufferStatus =
        reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(SDL_GL_GetProcAddress("glCheckFramebufferStatus"));
    blitFramebuffer = reinterpret_cast<PFNGLBLITFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBlitFramebuffer"));
    return genFramebuffers && deleteFramebuffers && bindFramebuffer && framebufferTexture2D &&
           checkFramebufferStatus && blitFramebuffer;
  }
};

// The system sound library prints its probing errors straight to standard error while SDL looks for a
// sound device (on a machine without one: a dozen lines before the game plays silently). SDL reports a
// failure by itself, so those lines are dropped.
void DropSoundLibraryErrors(const char*, int, const char*, int, const char*, ...) {}

void QuietSoundLibrary() {
  using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(ErrorHandler);
  void* library = dlopen("libasound.so.2", RTLD_LAZY | RTLD_GLOBAL);
  if (!library) return;  // kept loaded: SDL opens the same library afterwards
  if (auto set = reinterpret_cast<SetHandler>(dlsym(library, "snd_lib_error_set_handler")))
    set(&DropSoundLibraryErrors);
}

class SdlPlatform final : public Platform {
 public:
  ~SdlPlatform() override {
    CloseAudio();
    CloseWindow();
    if (videoUp_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool Headless() const override { return false; }
  bool HasGl() const override { return context_ != nullptr; }

  bool OpenWindow(int width, int height, const std::string& caption) override {
    if (!videoUp_) {
      if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "brillora: no video: %s\n", SDL_GetError());
        return false;
      }
      videoUp_ = true;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    // Nothing is drawn with depth or stencil: the window has neither.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    window_ = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window_) {
      std::fprintf(stderr, "brillora: cannot open a window: %s\n", SDL_GetError());
      return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (!context_ || SDL_GL_MakeCurrent(window_, context_) != 0) {
      std::fprintf(stderr, "brillora: no OpenGL context: %s\n", SDL_GetError());
      CloseWindow();
      return false;
    }
    SDL_GL_SetSwapInterval(0);  // the runtime keeps the frame schedule itself
    // Sleeps to a frame's deadline wake within a microsecond of it rather than the default 50.
    prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
    if (!fbo_.Load() || !MakePicture(width, height)) {
      std::fprintf(stderr, "brillora: OpenGL offers no framebuffer objects\n");
      CloseWindow();
      return false;
    }
    ChooseTarget();
    return true;
  }

  void SetCaption(const std::string& caption) override {
    if (window_) SDL_SetWindowTitle(window_, caption.c_str());
  }

  bool SetFullScreen(bool on) override {
    if (!window_) return false;
    if (on == fullScreen_) return true;
    // The window's size changes: what this frame drew so far moves into the picture, and the rest of the
    // frame is drawn there too.
    DrawIntoPicture();
    if (on) {
      // The window first covers the display by itself, borderless: where no window manager carries out
      // the full-screen request (a bare X server), the window still fills the screen.
      SDL_Rect bounds{};
      if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &bounds) == 0) {
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, bounds.x, bounds.y);
        SDL_SetWindowSize(window_, bounds.w, bounds.h);
      }
      if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        LeaveFullScreen();
        return false;
      }
    } else {
      LeaveFullScreen();
    }
    fullScreen_ = on;
    return true;
  }
  bool FullScreen() const override { return fullScreen_; }

  void ShowWindow(bool visible) override {
    if (!window_) return;
    if (visible)
      SDL_ShowWindow(window_);
    else
      SDL_HideWindow(window_);
  }

  void CloseWindow() override {
    if (context_) {
      if (fbo_.deleteFramebuffers && pictureFbo_) fbo_.deleteFramebuffers(1, &pictureFbo_);
      if (pictureTexture_) glDeleteTextures(1, &pictureTexture_);
      pictureFbo_ = pictureTexture_ = 0;
      SDL_GL_DeleteContext(context_);
      context_ = nullptr;
    }
    if (window_) {
      SDL_DestroyWindow(window_);
      window_ = nullptr;
    }
    fullScreen_ = false;
  }

  int PictureWidth() const override { return pictureW_; }
  int PictureHeight() const override { return pictureH_; }

  void BindPicture() override {
    if (context_) fbo_.bindFramebuffer(GL_FRAMEBUFFER, direct_ ? 0 : pictureFbo_);
  }

  void Present() override {
    if (!context_) return;
    int winW = 0, winH = 0;
    SDL_GL_GetDrawableSize(window_, &winW, &winH);
    // The window changed size while the frame was drawn straight into it (resized by the user): the frame
    // lies in the bottom-left corner of the back buffer; take it into the picture and show it scaled.
    if (direct_ && (winW != pictureW_ || winH != pictureH_)) DrawIntoPicture();
    if (!direct_) ShowPictureScaled(winW, winH);
    SDL_GL_SwapWindow(window_);
    ChooseTarget();
  }

  WindowEvents PumpEvents() override {
    WindowEvents ev;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_QUIT:
          ev.closeRequested = true;
          break;
        case SDL_WINDOWEVENT:
          if (e.window.event == SDL_WINDOWEVENT_CLOSE) ev.closeRequested = true;
          if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            ev.focusGained = true;
            ev.focusLost = false;
            if (relativeMouse_) SDL_SetRelativeMouseMode(SDL_TRUE);
          }
          if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            ev.focusLost = true;
            ev.focusGained = false;
          }
          break;
        case SDL_KEYDOWN: {
          // A tap shorter than a frame still counts: the key reads as held at the next poll.
          const int code = GameScanCode(e.key.keysym.scancode);
          if (code > 0 && code < 256) tapped_[code] = 0x80;
          break;
        }
        case SDL_MOUSEBUTTONDOWN:
          // Likewise a click shorter than a frame.
          if (e.button.button == SDL_BUTTON_LEFT) clicked_[0] = true;
          if (e.button.button == SDL_BUTTON_RIGHT) clicked_[1] = true;
          break;
        case SDL_MOUSEMOTION:
          // Motion in window pixels becomes motion in picture pixels; the fractions are kept.
          motionX_ += e.motion.xrel / WindowToPixels();
          motionY_ += e.motion.yrel / WindowToPixels();
          break;
        default:
          break;
      }
    }
    return ev;
  }

  double NowMs() override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1.0e6;
  }

  void SleepMs(double ms) override {
    if (ms > 0) SleepFor(ms);
  }

  void IdleToward(double deadlineMs) override {
    // One sleep up to the deadline on the same monotonic clock: no pieces, no spinning. The wake-up is
    // as exact as the kernel's timers allow (the timer slack is cut to a microsecond at start).
    if (deadlineMs <= NowMs()) return;
    timespec until{};
    const double seconds = std::floor(deadlineMs / 1000.0);
    until.tv_sec = static_cast<time_t>(seconds);
    until.tv_nsec = std::min(999999999L, static_cast<long>((deadlineMs - seconds * 1000.0) * 1.0e6));
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
  }

  void ReadKeyboard(uint8_t state[256]) override {
    for (int i = 0; i < 256; ++i) state[i] = 0;
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    for (int sc = 0; sc < count; ++sc) {
      if (!keys[sc]) continue;
      const int code = GameScanCode(static_cast<SDL_Scancode>(sc));
      if (code > 0 && code < 256) state[code] = 0x80;
    }
    for (int i = 0; i < 256; ++i) {
      state[i] |= tapped_[i];
      tapped_[i] = 0;
    }
  }

  void ReadMouse(int& dx, int& dy, bool& left, bool& right) override {
    dx = static_cast<int>(motionX_);
    dy = static_cast<int>(motionY_);
    motionX_ -= dx;
    motionY_ -= dy;
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    left = (buttons & SDL_BUTTON(SDL_BUTTON_LEFT)) != 0 || clicked_[0];
    right = (buttons & SDL_BUTTON(SDL_BUTTON_RIGHT)) != 0 || clicked_[1];
    clicked_[0] = clicked_[1] = false;
  }

  void SetRelativeMouse(bool on) override {
    relativeMouse_ = on;
    SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
    SDL_ShowCursor(on ? SDL_DISABLE : SDL_ENABLE);
  }

  bool OpenAudio(int rate, AudioPull pull) override {
    CloseAudio();
    QuietSoundLibrary();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    audioUp_ = true;
    pull_ = std::move(pull);
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 512;
    want.callback = &SdlPlatform::AudioCallback;
    want.userdata = this;
    SDL_AudioSpec have{};
    audioDevice_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (audioDevice_ == 0) {
      pull_ = nullptr;
      return false;
    }
    rate_ = have.freq;
    SDL_PauseAudioDevice(audioDevice_, 0);
    return true;
  }
  int AudioRate() const override { return rate_; }
  void LockAudio() override {
    if (audioDevice_) SDL_LockAudioDevice(audioDevice_);
  }
  void UnlockAudio() override {
    if (audioDevice_) SDL_UnlockAudioDevice(audioDevice_);
  }
  void CloseAudio() override {
    if (audioDevice_) {
      SDL_CloseAudioDevice(audioDevice_);
      audioDevice_ = 0;
    }
    pull_ = nullptr;
    if (audioUp_) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      audioUp_ = false;
    }
  }

  bool ReadPicture(std::vector<uint8_t>& rgba) override {
    if (!context_) return false;
    const size_t row = static_cast<size_t>(pictureW_) * 4;
    rgba.assign(row * static_cast<size_t>(pictureH_), 0);
    std::vector<uint8_t> flipped(rgba.size());
    // Drawn straight into the window, the picture is the bottom-left corner of the back buffer.
    fbo_.bindFramebuffer(GL_READ_FRAMEBUFFER, direct_ ? 0 : pictureFbo_);
    if (direct_) glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, pictureW_, pictureH_, GL_RGBA, GL_UNSIGNED_BYTE, flipped.data());
    for (int y = 0; y < pictureH_; ++y)
      std::copy_n(flipped.data() + static_cast<size_t>(pictureH_ - 1 - y) * row, row,
                  rgba.data() + static_cast<size_t>(y) * row);
    BindPicture();
    return true;
  }

  void* GlProcAddress(const char* name) override { return context_ ? SDL_GL_GetProcAddress(name) : nullptr; }

 private:
  // Moves the frame drawn so far from the window into the picture, which takes the rest of the frame.
  void DrawIntoPicture() {
    if (!context_ || !direct_) return;
    fbo_.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    fbo_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, pictureFbo_);
    fbo_.blitFramebuffer(0, 0, pictureW_, pictureH_, 0, 0, pictureW_, pictureH_, GL_COLOR_BUFFER_BIT,
                         GL_NEAREST);
    direct_ = false;
    BindPicture();
  }

  // At 1x the frame is drawn straight into the window; any other size goes through the picture.
  void ChooseTarget() {
    int winW = 0, winH = 0;
    SDL_GL_GetDrawableSize(window_, &winW, &winH);
    direct_ = winW == pictureW_ && winH == pictureH_;
    BindPicture();
    glViewport(0, 0, pictureW_, pictureH_);
    // Mouse motion arrives in window units, which differ from drawable pixels on high-density screens.
    int pointW = 0, pointH = 0;
    SDL_GetWindowSize(window_, &pointW, &pointH);
    viewScale_ = std::min(static_cast<double>(pointW) / pictureW_, static_cast<double>(pointH) / pictureH_);
  }

  // The picture scaled into the window with its aspect kept (whole-number scales stay crisp), black bars
  // around it: one blit, and clears of the bars only.
  void ShowPictureScaled(int winW, int winH) {
    double scale = std::min(static_cast<double>(winW) / pictureW_, static_cast<double>(winH) / pictureH_);
    if (scale <= 0) scale = 1;
    const bool whole = std::fabs(scale - std::round(scale)) < 1e-9;
    const int outW = static_cast<int>(std::lround(pictureW_ * scale));
    const int outH = static_cast<int>(std::lround(pictureH_ * scale));
    const int outX = (winW - outW) / 2;
    const int outY = (winH - outH) / 2;
    fbo_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    fbo_.bindFramebuffer(GL_READ_FRAMEBUFFER, pictureFbo_);
    glViewport(0, 0, winW, winH);
    glClearColor(0, 0, 0, 1);
    glEnable(GL_SCISSOR_TEST);
    const int bars[4][4] = {{0, 0, outX, winH},
                            {outX + outW, 0, winW - outX - outW, winH},
                            {outX, 0, outW, outY},
                            {outX, outY + outH, outW, winH - outY - outH}};
    for (const auto& bar : bars) {
      if (bar[2] <= 0 || bar[3] <= 0) continue;
      glScissor(bar[0], bar[1], bar[2], bar[3]);
      glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    fbo_.blitFramebuffer(0, 0, pictureW_, pictureH_, outX, outY, outX + outW, outY + outH,
                         GL_COLOR_BUFFER_BIT, whole ? GL_NEAREST : GL_LINEAR);
  }

  // Back to a bordered window of the picture's size in the middle of the display.
  void LeaveFullScreen() {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowSize(window_, pictureW_, pictureH_);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }

  static void SleepFor(double ms) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ms / 1000.0);
    ts.tv_nsec = static_cast<long>((ms - static_cast<double>(ts.tv_sec) * 1000.0) * 1.0e6);
    nanosleep(&ts, nullptr);
  }

  static void AudioCallback(void* user, Uint8* stream, int len) {
    auto* self = static_cast<SdlPlatform*>(user);
    const int frames = len / 4;
    if (self->pull_)
      self->pull_(reinterpret_cast<int16_t*>(stream), frames);
    else
      SDL_memset(stream, 0, static_cast<size_t>(len));
  }

  double WindowToPixels() const { return viewScale_ > 0 ? viewScale_ : 1.0; }

  bool MakePicture(int width, int height) {
    pictureW_ = width;
    pictureH_ = height;
    glGenTextures(1, &pictureTexture_);
    glBindTexture(GL_TEXTURE_2D, pictureTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    fbo_.genFramebuffers(1, &pictureFbo_);
    fbo_.bindFramebuffer(GL_FRAMEBUFFER, pictureFbo_);
    fbo_.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pictureTexture_, 0);
    const bool ok = fbo_.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glViewport(0, 0, width, height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    return ok;
  }

  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
  FboFunctions fbo_;
  GLuint pictureFbo_ = 0, pictureTexture_ = 0;
  bool direct_ = false;  // this frame is drawn straight into the window (it has the picture's size)
  int pictureW_ = 0, pictureH_ = 0;
  double viewScale_ = 1.0;
  bool videoUp_ = false;
  bool fullScreen_ = false;
  bool relativeMouse_ = false;
  double motionX_ = 0, motionY_ = 0;
  uint8_t tapped_[256] = {};      // keys pressed since the last keyboard read
  bool clicked_[2] = {false, false};  // buttons pressed since the last mouse read
  bool audioUp_ = false;
  SDL_AudioDeviceID audioDevice_ = 0;
  int rate_ = 0;
  AudioPull pull_;
};

}  // namespace

std::unique_ptr<Platform> CreateSdlPlatform() { return std::make_unique<SdlPlatform>(); }

}  // namespace plat
