// The desktop platform on SDL2 and OpenGL. The game draws a picture of its own size: straight into a window
// of that size, or into an off-screen framebuffer that Present scales to fit a larger window and full
// screen with one blit, aspect kept, black bars (the desktop's own mode: the display is never switched).
// Where the X server's GL can copy a part of the back buffer into the window, the window is never swapped:
// the back buffer keeps the picture from frame to frame, a frame draws only what changed and only that
// part is copied (scaled first when the picture goes through the off-screen framebuffer).
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
#include <cstdlib>
#include <cstring>
#include <map>
#include <numeric>
#include <string>

#include "runtime/platform/InputEvents.h"
#include "runtime/platform/PadInput.h"
#include "runtime/platform/PictureFit.h"
#include "runtime/platform/Platform.h"
#include "runtime/platform/SdlKeyMap.h"
// Last: the SDL calls below go through the library loaded when the platform is made.
#include "runtime/platform/SdlCalls.h"

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

// GLX entry points for showing part of the back buffer, looked up at run time (the program does not link
// against GLX; under another window system they stay null).
struct SubBufferCopy {
  using GetDisplay = void* (*)();
  using GetDrawable = unsigned long (*)();
  using QueryExtensions = const char* (*)(void*, int);
  using CopySubBuffer = void (*)(void*, unsigned long, int, int, int, int);
  using QueryDrawable = void (*)(void*, unsigned long, int, unsigned int*);
  using DefaultScreen = int (*)(void*);
  GetDisplay getDisplay = nullptr;
  GetDrawable getDrawable = nullptr;
  QueryDrawable queryDrawable = nullptr;
  CopySubBuffer copy = nullptr;

  // True when the current context's X screen offers the copy.
  bool Load() {
    copy = nullptr;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return false;
    getDisplay = reinterpret_cast<GetDisplay>(SDL_GL_GetProcAddress("glXGetCurrentDisplay"));
    getDrawable = reinterpret_cast<GetDrawable>(SDL_GL_GetProcAddress("glXGetCurrentDrawable"));
    auto query = reinterpret_cast<QueryExtensions>(SDL_GL_GetProcAddress("glXQueryExtensionsString"));
    auto screenOf = reinterpret_cast<DefaultScreen>(dlsym(RTLD_DEFAULT, "XDefaultScreen"));
    if (!getDisplay || !getDrawable || !query) return false;
    void* display = getDisplay();
    if (!display || !getDrawable()) return false;
    const char* extensions = query(display, screenOf ? screenOf(display) : 0);
    if (!ListsExtension(extensions, "GLX_MESA_copy_sub_buffer")) return false;
    queryDrawable = reinterpret_cast<QueryDrawable>(SDL_GL_GetProcAddress("glXQueryDrawable"));
    copy = reinterpret_cast<CopySubBuffer>(SDL_GL_GetProcAddress("glXCopySubBufferMESA"));
    return copy != nullptr && queryDrawable != nullptr;
  }

  // Shows rectangles of the back buffer (GL rows, from the bottom) in the window. They are cut to the
  // window's size as the X server has it now: a window made smaller a moment ago may already have a
  // smaller back buffer, and a copy from beyond it is an error that ends the program.
  void Show(const std::vector<PictureRect>& rects) const {
    void* display = getDisplay();
    const unsigned long drawable = getDrawable();
    unsigned int width = 0, height = 0;
    queryDrawable(display, drawable, kGlxWidth, &width);
    queryDrawable(display, drawable, kGlxHeight, &height);
    for (const PictureRect& r : rects) {
      const int x0 = std::max(r.x0, 0), y0 = std::max(r.y0, 0);
      const int x1 = std::min(r.x1, static_cast<int>(width)), y1 = std::min(r.y1, static_cast<int>(height));
      if (x1 > x0 && y1 > y0) copy(display, drawable, x0, y0, x1 - x0, y1 - y0);
    }
  }

  static constexpr int kGlxWidth = 0x801D, kGlxHeight = 0x801E;
};

class SdlPlatform final : public Platform {
 public:
  SdlPlatform() { LoadSdlLibrary(loadError_); }
  ~SdlPlatform() override {
    CloseAudio();
    CloseWindow();
    ClosePads();
    if (videoUp_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool Headless() const override { return false; }
  bool HasGl() const override { return context_ != nullptr; }

  bool OpenWindow(int width, int height, const std::string& caption) override {
    if (!loadError_.empty()) {
      windowError_ = loadError_;
      return false;
    }
    if (!videoUp_ && !StartVideo()) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    // Nothing is drawn with depth or stencil: the window has neither.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    ChooseWindowedSize(width, height);
    if (preferredW_ >= width / 2 && preferredH_ >= height / 2 && FitsDesktop(preferredW_, preferredH_)) {
      windowedW_ = preferredW_;
      windowedH_ = preferredH_;
    }
    window_ =
        SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowedW_,
                         windowedH_, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window_) {
      windowError_ = std::string("cannot open a window: ") + SDL_GetError();
      return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (!context_ || SDL_GL_MakeCurrent(window_, context_) != 0) {
      windowError_ = std::string("no OpenGL context: ") + SDL_GetError();
      CloseWindow();
      return false;
    }
    SDL_GL_SetSwapInterval(0);  // the runtime keeps the frame schedule itself
    // Sleeps to a frame's deadline wake within a microsecond of it rather than the default 50.
    prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
    if (!fbo_.Load()) {
      windowError_ = "OpenGL offers no framebuffer objects";
      CloseWindow();
      return false;
    }
    // The off-screen picture is made when a window of another size first needs it: a window at 1x is
    // drawn into straight and never does.
    pictureW_ = width;
    pictureH_ = height;
    pictureRefused_ = false;
    // For comparing: BRILLORA_WHOLE_FRAMES=1 draws every frame in full and swaps the window.
    const char* whole = std::getenv("BRILLORA_WHOLE_FRAMES");
    wholeFrames_ = whole && *whole && std::strcmp(whole, "0") != 0;
    partShown_ = !wholeFrames_ && subBuffer_.Load();
    ChooseTarget();
    pictureStale_ = windowStale_ = true;
    return true;
  }

  std::string WindowError() const override { return windowError_; }

  void PreferWindowSize(int width, int height) override {
    preferredW_ = width;
    preferredH_ = height;
  }

  bool WindowedSize(int& width, int& height) const override {
    if (!window_) return false;
    width = windowedW_;
    height = windowedH_;
    return true;
  }

  void SetIcon(int width, int height, const std::vector<uint8_t>& rgba) override {
    if (!window_ || width <= 0 || height <= 0 || rgba.size() < static_cast<size_t>(width) * height * 4)
      return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba.data()), width, height,
                                                           32, width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
  }

  void SetCaption(const std::string& caption) override {
    if (window_) SDL_SetWindowTitle(window_, caption.c_str());
  }

  bool SetFullScreen(bool on) override {
    if (!window_) return false;
    if (on == fullScreen_) return true;
    // The window's size changes: the frame is drawn into the off-screen picture, and shown whole.
    DrawIntoPicture();
    windowStale_ = pictureStale_ = true;
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
    UpdateSystemPointer();
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
      partShown_ = false;
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
    overlayShown_ = DrawSoundLevel(winW, winH);
    SDL_GL_SwapWindow(window_);
    presentedW_ = winW;
    presentedH_ = winH;
    // A swap may leave anything in the back buffer; the off-screen picture stays as it is.
    pictureStale_ = direct_;
    windowStale_ = false;
    ChooseTarget();
  }

  bool KeepsPicture() const override {
    if (!context_ || pictureStale_ || wholeFrames_) return false;
    // Straight into the window, the back buffer is the picture: kept only where it is never swapped, and
    // not when the sound level was drawn over it.
    return !direct_ || (partShown_ && !overlayShown_);
  }

  void PresentChanged(const PictureChange& change) override {
    if (!context_) return;
    if (!partShown_) {
      // Every present swaps; only a frame equal to the one shown, in a window that still shows it, is
      // left out.
      if (change.whole || !change.parts.empty() || windowStale_ || pictureStale_ || overlayShown_ ||
          OverlayDue())
        Present();
      return;
    }
    int winW = 0, winH = 0;
    SDL_GL_GetDrawableSize(window_, &winW, &winH);
    // A window of another size is swapped whole. Its GL drawable takes in the new size only when it is
    // made current afresh; a copy placed by the old height would land in the wrong rows.
    if (winW != presentedW_ || winH != presentedH_) {
      Present();
      SDL_GL_MakeCurrent(window_, nullptr);
      SDL_GL_MakeCurrent(window_, context_);
      ChooseTarget();
      pictureStale_ = windowStale_ = true;
      return;
    }
    if (direct_ && (winW != pictureW_ || winH != pictureH_)) DrawIntoPicture();
    bool whole = change.whole || windowStale_ || pictureStale_ || overlayShown_ || OverlayDue();
    if (!whole && change.parts.empty()) return;  // the window shows this very picture already
    std::vector<PictureRect> shown;              // window rectangles, GL rows from the bottom
    if (!whole) whole = !PartsInWindow(change.parts, winW, winH, shown);
    if (!direct_) {
      if (whole) {
        ShowPictureScaled(winW, winH);
      } else {
        ShowPartsScaled(winW, winH);
      }
    }
    overlayShown_ = DrawSoundLevel(winW, winH);
    if (whole) shown.assign(1, PictureRect{0, 0, winW, winH});
    subBuffer_.Show(shown);
    // The back buffer keeps what was drawn; only the sound level, drawn over the picture, spoils it.
    windowStale_ = pictureStale_ = false;
    ChooseTarget();
  }

  WindowEvents PumpEvents() override {
    TakeWaitingEvents();
    const WindowEvents ev = windowEvents_;
    windowEvents_ = WindowEvents{};
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
    TakeWaitingEvents();
    input_.TakeKeys(state);
  }

  void ReadMouse(int& dx, int& dy, bool& left, bool& right) override {
    // The pointer is read by its position (PointerPosition); there is no motion of its own.
    dx = dy = 0;
    TakeWaitingEvents();
    MovePointerByPads();
    input_.TakeButtons(left, right);
  }

  bool PointerPosition(int& x, int& y) override {
    double wx = 0, wy = 0;
    if (!window_ || !input_.Pointer(wx, wy)) return false;
    WindowToPicture(WindowFit(), pictureW_, pictureH_, wx, wy, x, y);
    return true;
  }

  void PlacePointer(int x, int y) override {
    if (!window_) return;
    // Motion still waiting was made before the move and must not undo it.
    TakeWaitingEvents();
    int wx = 0, wy = 0;
    PictureToWindow(WindowFit(), pictureW_, pictureH_, x, y, wx, wy);
    SDL_WarpMouseInWindow(window_, wx, wy);
    input_.PointerAt(wx, wy);
    UpdateSystemPointer();
  }

  void SetGameDrawsPointer(bool on) override {
    gameDrawsPointer_ = on;
    for (auto& [id, pad] : pads_) {
      pad->input.Advance(SDL_GetTicks());
      pad->input.SetPointerMode(on);
    }
    UpdateSystemPointer();
  }

  void SetKeyBindings(const KeyBindings& bindings) override { input_.SetBindings(bindings); }

  void ShowSoundLevel(int percent, bool muted, double untilMs) override {
    levelPercent_ = std::clamp(percent, 0, 100);
    levelMuted_ = muted;
    levelUntilMs_ = untilMs;
  }

  bool OpenAudio(int rate, AudioPull pull) override {
    CloseAudio();
    if (!loadError_.empty()) return false;
    QuietSoundLibrary();
    if (!audioUp_ && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
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
    // The library's sound layer itself stays up until the process ends: ending it joins the library's
    // thread that watches for sound devices, which without a sound server sleeps in steps of 100 ms and
    // would hold up every quit of the game by as much. A reopened device finds the layer started.
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
    if (!context_ || !direct_ || !MakePicture()) return;
    windowStale_ = pictureStale_ = true;
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
    // Where the GL cannot make the picture, the frame still goes straight into the window's corner.
    const bool direct = (winW == pictureW_ && winH == pictureH_) || !MakePicture();
    // The other target does not hold the picture, and the window's size changed.
    if (direct != direct_) pictureStale_ = windowStale_ = true;
    direct_ = direct;
    BindPicture();
    glViewport(0, 0, pictureW_, pictureH_);
  }

  // The picture scaled into the window with its aspect kept (whole-number scales stay crisp), black bars
  // around it: one blit, and clears of the bars only.
  void ShowPictureScaled(int winW, int winH) {
    const PictureFit fit = FitPicture(winW, winH, pictureW_, pictureH_);
    const bool whole = std::fabs(fit.scale - std::round(fit.scale)) < 1e-9;
    const int outW = fit.w, outH = fit.h, outX = fit.x, outY = fit.y;
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

  // The window rectangles (GL rows, from the bottom) that show the changed picture parts, and the blits
  // that bring them there from the off-screen picture. A scaled part is widened to whole steps of the
  // scale (p picture pixels to w window pixels), so that a part is scaled exactly as in the whole blit,
  // and the blit reaches a step further for smooth scaling, whose pixels mix their neighbours. False when
  // the picture is not scaled by the same ratio both ways: then only the whole blit is exact.
  bool PartsInWindow(const std::vector<PictureRect>& parts, int winW, int winH,
                     std::vector<PictureRect>& shown) {
    shown.clear();
    scaledParts_.clear();
    for (const PictureRect& part : parts) {
      // Picture rows from the bottom, as GL counts them.
      const PictureRect p{std::max(part.x0, 0), std::max(pictureH_ - part.y1, 0),
                          std::min(part.x1, pictureW_), std::min(pictureH_ - part.y0, pictureH_)};
      if (p.Empty()) continue;
      if (direct_) {
        shown.push_back(p);
        continue;
      }
      const PictureFit fit = FitPicture(winW, winH, pictureW_, pictureH_);
      if (fit.w <= 0 || fit.h <= 0 ||
          static_cast<int64_t>(fit.w) * pictureH_ != static_cast<int64_t>(fit.h) * pictureW_)
        return false;
      const int gx = std::gcd(fit.w, pictureW_), gy = std::gcd(fit.h, pictureH_);
      const int px = pictureW_ / gx, wx = fit.w / gx, py = pictureH_ / gy, wy = fit.h / gy;
      const int margin = px == 1 && py == 1 ? 0 : 1;  // whole-number scales are not smoothed
      const int sx0 = p.x0 / px, sx1 = (p.x1 + px - 1) / px, sy0 = p.y0 / py, sy1 = (p.y1 + py - 1) / py;
      shown.push_back({fit.x + sx0 * wx, fit.y + sy0 * wy, fit.x + sx1 * wx, fit.y + sy1 * wy});
      const int bx0 = std::max(sx0 - margin, 0), bx1 = std::min(sx1 + margin, gx);
      const int by0 = std::max(sy0 - margin, 0), by1 = std::min(sy1 + margin, gy);
      scaledParts_.push_back({{bx0 * px, by0 * py, bx1 * px, by1 * py},
                              {fit.x + bx0 * wx, fit.y + by0 * wy, fit.x + bx1 * wx, fit.y + by1 * wy}});
    }
    return true;
  }

  // The blits PartsInWindow chose, from the off-screen picture into the window's back buffer.
  void ShowPartsScaled(int winW, int winH) {
    const PictureFit fit = FitPicture(winW, winH, pictureW_, pictureH_);
    const bool wholeScale = std::fabs(fit.scale - std::round(fit.scale)) < 1e-9;
    fbo_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    fbo_.bindFramebuffer(GL_READ_FRAMEBUFFER, pictureFbo_);
    glViewport(0, 0, winW, winH);
    for (const auto& [from, to] : scaledParts_)
      fbo_.blitFramebuffer(from.x0, from.y0, from.x1, from.y1, to.x0, to.y0, to.x1, to.y1,
                           GL_COLOR_BUFFER_BIT, wholeScale ? GL_NEAREST : GL_LINEAR);
  }

  // Back to a bordered window of the size it opened with, in the middle of the display.
  void LeaveFullScreen() {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowSize(window_, windowedW_, windowedH_);
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

  // --- Display, window size, input events and the system pointer ---

  // Room kept for the title bar when the window's size is chosen (side frames are thin or none).
  static constexpr int kFrameReserveW = 0, kFrameReserveH = 48;

  // Starts SDL's video on a real display. Without an explicit SDL_VIDEODRIVER only an X11 or a Wayland
  // display will do: SDL would otherwise fall back to drawing off-screen, and the game would run unseen.
  bool StartVideo() {
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    const bool ownChoice = chosen && *chosen;
    if (!ownChoice) {
      const char* x11 = std::getenv("DISPLAY");
      const char* wayland = std::getenv("WAYLAND_DISPLAY");
      if (!(x11 && *x11) && !(wayland && *wayland)) {
        windowError_ =
            "no display: neither DISPLAY nor WAYLAND_DISPLAY is set; use --headless to run without one";
        return false;
      }
      // Only the kinds of display named in the environment are tried.
      std::string drivers = x11 && *x11 ? "x11" : "";
      if (wayland && *wayland) drivers += drivers.empty() ? "wayland" : ",wayland";
      SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      if (ownChoice) {
        windowError_ = std::string("no video with SDL_VIDEODRIVER=") + chosen + ": " + SDL_GetError();
      } else {
        windowError_ = "no display: cannot reach " + DisplayNames() + " (" + SDL_GetError() +
                       "); use --headless to run without one";
      }
      return false;
    }
    videoUp_ = true;
    StartPads();
    return true;
  }

  static std::string DisplayNames() {
    std::string names;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
      const char* value = std::getenv(name);
      if (!value || !*value) continue;
      if (!names.empty()) names += " or ";
      names += std::string(name) + "=\"" + value + "\"";
    }
    return names;
  }

  bool FitsDesktop(int w, int h) const {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return true;
    return w <= usable.w - kFrameReserveW && h <= usable.h - kFrameReserveH;
  }

  // The player resized the window (full screen and its borderless cover do not count).
  void TakeWindowedSize() {
    if (!window_ || fullScreen_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_BORDERLESS)) return;
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (w <= 0 || h <= 0 || (w == windowedW_ && h == windowedH_)) return;
    windowedW_ = w;
    windowedH_ = h;
    windowEvents_.windowResized = true;
  }

  // The window opens at the largest whole multiple of the picture that fits the desktop's usable area,
  // so the pixels stay crisp and the picture is not tiny on a large screen.
  void ChooseWindowedSize(int width, int height) {
    SDL_Rect usable{};
    int scale = 1;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
      scale = WholeWindowScale(usable.w, usable.h, width, height, kFrameReserveW, kFrameReserveH);
    windowedW_ = width * scale;
    windowedH_ = height * scale;
  }

  // Takes every event waiting: window events are kept for the next PumpEvents, keys, buttons and the
  // pointer go into the input state that the next frame poll reads.
  void TakeWaitingEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) TakeEvent(e);
    if (input_.TakeModeSwitch()) windowEvents_.switchFullScreen = !windowEvents_.switchFullScreen;
    int actions[kKeyActionCount] = {};
    input_.TakeActions(actions);
    windowEvents_.volumeSteps +=
        actions[static_cast<int>(KeyAction::kVolumeUp)] - actions[static_cast<int>(KeyAction::kVolumeDown)];
    windowEvents_.muteSwitches += actions[static_cast<int>(KeyAction::kMute)];
    windowEvents_.screenshots += actions[static_cast<int>(KeyAction::kScreenshot)];
    UpdateSystemPointer();
  }

  void TakeEvent(const SDL_Event& e) {
    switch (e.type) {
      case SDL_QUIT:
        windowEvents_.closeRequested = true;
        break;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            windowEvents_.closeRequested = true;
            break;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            windowEvents_.focusGained = true;
            windowEvents_.focusLost = false;
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            windowEvents_.focusLost = true;
            windowEvents_.focusGained = false;
            input_.FocusLost();
            for (auto& [id, pad] : pads_) pad->input.ReleaseAll();
            break;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            TakeWindowedSize();
            windowStale_ = true;
            break;
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_SHOWN:
          case SDL_WINDOWEVENT_RESTORED:
          case SDL_WINDOWEVENT_MAXIMIZED:
            // Uncovered or shown again: the window needs its whole picture even when no frame changes.
            windowStale_ = true;
            break;
          case SDL_WINDOWEVENT_ENTER:
            input_.PointerEntered();
            break;
          case SDL_WINDOWEVENT_LEAVE:
            input_.PointerLeft();
            break;
          default:
            break;
        }
        break;
      case SDL_KEYDOWN:
        // A held key's repeats are no new presses.
        if (!e.key.repeat)
          input_.KeyDown(GameScanCode(e.key.keysym.scancode), (e.key.keysym.mod & KMOD_ALT) != 0);
        break;
      case SDL_KEYUP:
        input_.KeyUp(GameScanCode(e.key.keysym.scancode));
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        const int button = e.button.button == SDL_BUTTON_LEFT    ? 0
                           : e.button.button == SDL_BUTTON_RIGHT ? 1
                                                                 : -1;
        if (e.button.windowID == SDL_GetWindowID(window_)) input_.PointerAt(e.button.x, e.button.y);
        if (e.type == SDL_MOUSEBUTTONDOWN)
          input_.ButtonDown(button);
        else
          input_.ButtonUp(button);
        break;
      }
      case SDL_MOUSEMOTION:
        input_.PointerAt(e.motion.x, e.motion.y);
        break;
      case SDL_CONTROLLERDEVICEADDED:
        OpenPad(e.cdevice.which);
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        pads_.erase(e.cdevice.which);
        break;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP:
        PadButtonEvent(e.cbutton.which, e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN,
                       e.cbutton.timestamp);
        break;
      case SDL_CONTROLLERAXISMOTION:
        if (auto it = pads_.find(e.caxis.which); it != pads_.end()) {
          it->second->input.Advance(e.caxis.timestamp);
          if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) it->second->input.Stick(0, e.caxis.value);
          if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) it->second->input.Stick(1, e.caxis.value);
        }
        break;
      default:
        break;
    }
  }

  // --- Game controllers ---

  struct Pad {
    Pad(SDL_GameController* c, InputEvents& events) : controller(c), input(events) {}
    ~Pad() { SDL_GameControllerClose(controller); }
    Pad(const Pad&) = delete;
    Pad& operator=(const Pad&) = delete;
    SDL_GameController* controller;
    PadInput input;
  };

  // Any controller SDL's controller database knows, also those plugged in later. A machine without
  // controller support still plays with the keyboard and the mouse.
  void StartPads() {
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
    padsUp_ = true;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) OpenPad(i);
  }

  void OpenPad(int deviceIndex) {
    if (!padsUp_ || !SDL_IsGameController(deviceIndex)) return;
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (id < 0 || pads_.count(id)) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    auto pad = std::make_unique<Pad>(controller, input_);
    pad->input.SetPointerMode(gameDrawsPointer_);
    pad->input.Advance(SDL_GetTicks());
    pads_.emplace(id, std::move(pad));
  }

  void ClosePads() {
    pads_.clear();
    if (padsUp_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    padsUp_ = false;
  }

  void PadButtonEvent(SDL_JoystickID id, int button, bool down, Uint32 timestamp) {
    auto it = pads_.find(id);
    if (it == pads_.end()) return;
    PadButton b;
    switch (button) {
      case SDL_CONTROLLER_BUTTON_A:
        b = PadButton::kA;
        break;
      case SDL_CONTROLLER_BUTTON_B:
        b = PadButton::kB;
        break;
      case SDL_CONTROLLER_BUTTON_BACK:
        b = PadButton::kBack;
        break;
      case SDL_CONTROLLER_BUTTON_START:
        b = PadButton::kStart;
        break;
      case SDL_CONTROLLER_BUTTON_DPAD_UP:
        b = PadButton::kUp;
        break;
      case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        b = PadButton::kDown;
        break;
      case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        b = PadButton::kLeft;
        break;
      case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        b = PadButton::kRight;
        break;
      default:
        return;
    }
    it->second->input.Advance(timestamp);
    it->second->input.Button(b, down);
  }

  // While the game draws its own pointer, the controllers move it: the system pointer goes along, so the
  // game's pointer follows it as it follows a mouse.
  void MovePointerByPads() {
    if (!window_) return;
    double dx = 0, dy = 0;
    for (auto& [id, pad] : pads_) {
      double x = 0, y = 0;
      pad->input.Advance(SDL_GetTicks());
      pad->input.TakeMotion(x, y);
      dx += x;
      dy += y;
    }
    if (!gameDrawsPointer_ || (dx == 0 && dy == 0)) return;
    int px = pictureW_ / 2, py = pictureH_ / 2;
    PointerPosition(px, py);
    padPointerX_ = (padMoved_ && px == padPointerLastX_ && py == padPointerLastY_ ? padPointerX_ : px) + dx;
    padPointerY_ = (padMoved_ && px == padPointerLastX_ && py == padPointerLastY_ ? padPointerY_ : py) + dy;
    padPointerX_ = std::clamp(padPointerX_, 0.0, pictureW_ - 1.0);
    padPointerY_ = std::clamp(padPointerY_, 0.0, pictureH_ - 1.0);
    padPointerLastX_ = static_cast<int>(padPointerX_);
    padPointerLastY_ = static_cast<int>(padPointerY_);
    padMoved_ = true;
    PlacePointer(padPointerLastX_, padPointerLastY_);
  }

  // --- The sound level shown over the window ---

  // Ten bars in the window's top-left corner, lit up to the level (red when muted), drawn straight into
  // the window after the picture: the picture, screenshots and the game's drawing stay as they are.
  bool OverlayDue() { return levelUntilMs_ > 0 && NowMs() <= levelUntilMs_; }

  // Draws the sound level when it is due; true when it did.
  bool DrawSoundLevel(int winW, int winH) {
    if (!OverlayDue()) return false;
    const int unit = std::max(2, std::min(winW, winH) / 120);
    const int x0 = unit * 2, top = winH - unit * 2;  // GL counts rows from the bottom
    glEnable(GL_SCISSOR_TEST);
    auto box = [&](int x, int y, int w, int h, float r, float g, float b) {
      glScissor(x, top - y - h, w, h);
      glClearColor(r, g, b, 1);
      glClear(GL_COLOR_BUFFER_BIT);
    };
    box(x0, 0, unit * 31, unit * 8, 0, 0, 0);
    const int lit = (levelPercent_ + 5) / 10;
    for (int i = 0; i < 10; ++i) {
      const int h = unit * (2 + i * 5 / 10);
      const bool on = i < lit;
      const float r = levelMuted_ ? (on ? 0.8f : 0.35f) : (on ? 0.95f : 0.3f);
      const float g = levelMuted_ ? 0.1f : (on ? 0.85f : 0.3f);
      const float b = levelMuted_ ? 0.1f : (on ? 0.3f : 0.3f);
      box(x0 + unit + i * unit * 3, unit * 7 - h, unit * 2, h, r, g, b);
    }
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    return true;
  }

  // The picture's place in the window, in the window units the pointer is reported in.
  PictureFit WindowFit() const {
    int w = 0, h = 0;
    if (window_) SDL_GetWindowSize(window_, &w, &h);
    return FitPicture(w, h, pictureW_, pictureH_);
  }

  // In full screen the system pointer is never shown; in a window it is hidden only while it is over
  // the picture on a screen that draws a pointer of its own, and is free to leave the window at any time.
  void UpdateSystemPointer() {
    bool hide = false;
    if (window_) {
      double wx = 0, wy = 0;
      const bool overPicture =
          input_.PointerInside() && input_.Pointer(wx, wy) && PointOnPicture(WindowFit(), wx, wy);
      hide = fullScreen_ || (gameDrawsPointer_ && overPicture);
    }
    if (hide == pointerHidden_) return;
    pointerHidden_ = hide;
    SDL_ShowCursor(hide ? SDL_DISABLE : SDL_ENABLE);
  }

  // Makes the off-screen picture (pictureW_ x pictureH_, cleared to black) unless it exists; false where
  // the GL refuses it.
  bool MakePicture() {
    if (pictureFbo_) return true;
    if (pictureRefused_ || !context_) return false;
    glGenTextures(1, &pictureTexture_);
    glBindTexture(GL_TEXTURE_2D, pictureTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, pictureW_, pictureH_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    fbo_.genFramebuffers(1, &pictureFbo_);
    fbo_.bindFramebuffer(GL_FRAMEBUFFER, pictureFbo_);
    fbo_.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pictureTexture_, 0);
    if (fbo_.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      std::fprintf(stderr, "brillora: OpenGL refuses the off-screen picture; the window is not scaled\n");
      fbo_.bindFramebuffer(GL_FRAMEBUFFER, 0);
      fbo_.deleteFramebuffers(1, &pictureFbo_);
      glDeleteTextures(1, &pictureTexture_);
      pictureFbo_ = pictureTexture_ = 0;
      pictureRefused_ = true;
      return false;
    }
    glViewport(0, 0, pictureW_, pictureH_);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    return true;
  }

  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
  FboFunctions fbo_;
  GLuint pictureFbo_ = 0, pictureTexture_ = 0;  // the off-screen picture, made when first needed
  bool pictureRefused_ = false;                 // the GL would not make it
  bool direct_ = false;  // this frame is drawn straight into the window (it has the picture's size)
  SubBufferCopy subBuffer_;
  bool partShown_ = false;     // parts of the back buffer are copied into the window; it is never swapped
  bool wholeFrames_ = false;   // every frame drawn in full and swapped (for comparing)
  bool pictureStale_ = true;   // the target does not hold the picture presented last
  bool windowStale_ = true;    // the window needs the whole picture again
  bool overlayShown_ = false;  // the last present drew the sound level over the window
  int presentedW_ = 0, presentedH_ = 0;                           // the window's size at the last swap
  std::vector<std::pair<PictureRect, PictureRect>> scaledParts_;  // blits of changed parts: from, to
  int pictureW_ = 0, pictureH_ = 0;
  bool videoUp_ = false;
  bool fullScreen_ = false;
  std::string windowError_;
  std::string loadError_;                // why the SDL library could not be loaded; empty once it is
  int windowedW_ = 0, windowedH_ = 0;    // the window's size outside full screen
  InputEvents input_;                    // keys, buttons and pointer between two frame polls
  WindowEvents windowEvents_;            // window events taken along the way, for the next PumpEvents
  int preferredW_ = 0, preferredH_ = 0;  // the player's window size from last time (0: none)
  bool gameDrawsPointer_ = false;        // the screen shown draws a pointer of its own
  bool padsUp_ = false;                  // game controller support is running
  std::map<SDL_JoystickID, std::unique_ptr<Pad>> pads_;  // the controllers plugged in, by instance
  bool padMoved_ = false;  // the pointer's picture position below is the controllers' own last place
  double padPointerX_ = 0, padPointerY_ = 0;
  int padPointerLastX_ = -1, padPointerLastY_ = -1;
  int levelPercent_ = 0;
  bool levelMuted_ = false;
  double levelUntilMs_ = 0;
  bool pointerHidden_ = false;  // the system pointer is hidden over the window
  bool audioUp_ = false;        // the library's sound layer is started (it stays so until the process ends)
  SDL_AudioDeviceID audioDevice_ = 0;
  int rate_ = 0;
  AudioPull pull_;
};

}  // namespace

std::unique_ptr<Platform> CreateSdlPlatform() {
  return std::make_unique<SdlPlatform>();
}

}  // namespace plat
