// The browser platform: the page's canvas with a WebGL 1 context, the browser's keyboard, mouse, focus and
// visibility events, Web Audio, and the page's clock. The game's frame loop blocks; its waits (the frame
// wait and SleepMs) hand control back to the browser through Asyncify and resume at the next animation
// frame, so the game keeps its own 26 frames per second on top of the display's rate.
//
// The canvas always holds exactly the game's picture (640 x 480); the page scales it with CSS (whole
// multiples where they fit, nearest-pixel filtering), and pointer positions come back through that scale.
//
// A page opened with "?unpaced=1" runs on a virtual clock like the headless platform (the waits move the
// clock on instead of waiting, sound is pulled and dropped), still drawing every frame: a recorded game
// plays back as fast as the machine allows and ends in the same state as on the desktop.
#include <emscripten.h>
#include <emscripten/html5.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/platform/InputEvents.h"
#include "runtime/platform/Platform.h"
#include "runtime/platform/WebKeyMap.h"

#define GL_GLEXT_PROTOTYPES 0
#include <GLES2/gl2.h>

#ifdef BRILLORA_WEB_NO_ASYNCIFY
// A build that cannot wait (made only to measure what waiting costs): every wait returns at once, so only
// unpaced runs work.
void brillora_wait_animation_frame() {}
#define emscripten_sleep(ms) ((void)(ms))
#else
// Waits for the browser's next animation frame, or 100 ms at most (a hidden page gets no animation
// frames, and the game must still see that it was hidden). Asyncify suspends the game meanwhile.
EM_ASYNC_JS(void, brillora_wait_animation_frame, (), {
  await new Promise(function(resolve) {
    var timer = setTimeout(resolve, 100);
    requestAnimationFrame(function() {
      clearTimeout(timer);
      resolve();
    });
  });
});
#endif

namespace plat {
namespace {

// The browser's file system starts with a file-creation mask that takes every permission away (0777),
// so a record file saved with the mask applied could not even be read back. Files are made as on a
// desktop instead, before anything runs.
const struct UsualFileMask {
  UsualFileMask() { ::umask(022); }
} kUsualFileMask;

constexpr const char* kCanvas = "#canvas";
// Sound is queued this far ahead of the page's audio clock (a frame and a half of the game plus the
// browser's own scheduling slack).
constexpr double kAudioLeadMs = 100.0;
// The longest stretch an unpaced run keeps the page busy before it lets the browser breathe.
constexpr double kUnpacedSliceMs = 50.0;

class WebPlatform final : public Platform {
 public:
  WebPlatform() {
    unpaced_ = EM_ASM_INT({ return Module.brilloraUnpaced ? 1 : 0; }) != 0;
  }
  ~WebPlatform() override { CloseWindow(); }

  bool Headless() const override { return false; }
  bool HasGl() const override { return context_ > 0; }

  bool OpenWindow(int width, int height, const std::string& caption) override {
    width_ = width;
    height_ = height;
    emscripten_set_canvas_element_size(kCanvas, width, height);
    EmscriptenWebGLContextAttributes attrs;
    emscripten_webgl_init_context_attributes(&attrs);
    attrs.alpha = false;
    attrs.depth = false;
    attrs.stencil = false;
    attrs.antialias = false;
    attrs.premultipliedAlpha = false;
    // The game draws into a picture of its own and the canvas changes only when a frame is shown.
    attrs.preserveDrawingBuffer = false;
    attrs.majorVersion = 1;
    attrs.minorVersion = 0;
    context_ = emscripten_webgl_create_context(kCanvas, &attrs);
    if (context_ <= 0) {
      error_ = "this browser cannot give the game a WebGL canvas";
      context_ = 0;
      return false;
    }
    emscripten_webgl_make_context_current(context_);
    if (!CreatePicture()) {
      error_ = "this browser's WebGL cannot hold the game's picture";
      emscripten_webgl_destroy_context(context_);
      context_ = 0;
      return false;
    }
    SetCaption(caption);
    InstallCallbacks();
    EM_ASM({
      if (Module.brilloraFitCanvas) Module.brilloraFitCanvas();
    });
    return true;
  }
  std::string WindowError() const override { return error_; }

  void SetCaption(const std::string& caption) override {
    EM_ASM({ document.title = UTF8ToString($0); }, caption.c_str());
  }

  bool SetFullScreen(bool on) override {
    // The page asks the browser, which grants full screen only shortly after a key or a click: at the
    // start (or without a recent gesture) the game stays in the page, as where a desktop has no full
    // screen mode. The picture's scale follows the page's new size by itself.
    const int granted = EM_ASM_INT(
        { return Module.brilloraSetFullScreen ? Module.brilloraSetFullScreen($0) : 0; }, on ? 1 : 0);
    if (on && !granted) return false;
    fullScreen_ = on;
    return true;
  }
  bool FullScreen() const override { return fullScreen_; }
  void ShowWindow(bool) override {}
  void CloseWindow() override {
    if (callbacksInstalled_) {
      emscripten_html5_remove_all_event_listeners();
      callbacksInstalled_ = false;
    }
    if (context_ > 0) {
      emscripten_webgl_destroy_context(context_);
      context_ = 0;
    }
  }
  int PictureWidth() const override { return width_; }
  int PictureHeight() const override { return height_; }
  void BindPicture() override {
    if (context_ > 0) glBindFramebuffer(GL_FRAMEBUFFER, pictureFbo_);
  }
  // Copies the picture onto the canvas, which the browser shows when the game next waits. The game goes
  // on drawing into its picture meanwhile (it may draw half the next frame before it waits), so the
  // canvas must not be its drawing target. The renderer's GL state is put back as it was.
  void Present() override {
    EM_ASM({ Module.brillora.frames++; });
    if (context_ <= 0) return;
    GLint program = 0, texture = 0, buffer = 0, viewport[4] = {};
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const bool blend = glIsEnabled(GL_BLEND);
    // The renderer's second attribute (texture coordinates) is off for the copy, which reads only one.
    GLint secondAttribute = 0, firstAttribute = 0;
    glGetVertexAttribiv(1, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &secondAttribute);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &firstAttribute);
    if (secondAttribute) glDisableVertexAttribArray(1);
    glEnableVertexAttribArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width_, height_);
    glDisable(GL_BLEND);
    glUseProgram(blitProgram_);
    glBindTexture(GL_TEXTURE_2D, pictureTexture_);
    glBindBuffer(GL_ARRAY_BUFFER, blitCorners_);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindFramebuffer(GL_FRAMEBUFFER, pictureFbo_);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    if (blend) glEnable(GL_BLEND);
    if (secondAttribute) glEnableVertexAttribArray(1);
    if (!firstAttribute) glDisableVertexAttribArray(0);
    glUseProgram(static_cast<GLuint>(program));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(buffer));
  }

  WindowEvents PumpEvents() override {
    TakeWaitingEvents();
    WindowEvents ev = events_;
    events_ = WindowEvents{};
    // Only the net change since the last pump counts: hidden and shown again in between is no change.
    const bool away = hidden_ || blurred_;
    if (away != reportedAway_) {
      (away ? ev.focusLost : ev.focusGained) = true;
      reportedAway_ = away;
    }
    return ev;
  }

  double NowMs() override { return unpaced_ ? virtualMs_ : emscripten_get_now(); }

  void SleepMs(double ms) override {
    if (ms <= 0) return;
    if (unpaced_) {
      Advance(ms);
      return;
    }
    emscripten_sleep(static_cast<unsigned>(ms));
    FeedAudio();
  }

  void IdleToward(double deadlineMs) override {
    if (unpaced_) {
      if (deadlineMs >= virtualMs_) Advance(deadlineMs - virtualMs_ + kStepPastMs);
      return;
    }
    // A frame is shown at the first animation frame on or after its time: the schedule keeps the game's
    // rate and the picture changes only when the display does.
    if (deadlineMs <= NowMs()) return;
    FeedAudio();
    brillora_wait_animation_frame();
    FeedAudio();
  }

  void ReadKeyboard(uint8_t state[256]) override {
    TakeWaitingEvents();
    input_.TakeKeys(state);
  }
  void ReadMouse(int& dx, int& dy, bool& left, bool& right) override {
    dx = dy = 0;
    TakeWaitingEvents();
    input_.TakeButtons(left, right);
  }
  bool PointerPosition(int& x, int& y) override {
    double wx = 0, wy = 0;
    if (!input_.Pointer(wx, wy)) return false;
    // The pointer is kept in picture pixels already; off the canvas it is the nearest edge pixel.
    x = std::clamp(static_cast<int>(wx), 0, width_ - 1);
    y = std::clamp(static_cast<int>(wy), 0, height_ - 1);
    return true;
  }
  // A page cannot move the system pointer; the game's own pointer is placed and follows the next motion.
  void PlacePointer(int x, int y) override { input_.PointerAt(x + 0.5, y + 0.5); }
  void SetGameDrawsPointer(bool on) override {
    EM_ASM({ Module.canvas.style.cursor = $0 ? 'none' : 'default'; }, on ? 1 : 0);
  }
  void SetKeyBindings(const KeyBindings& bindings) override { input_.SetBindings(bindings); }
  void ShowSoundLevel(int percent, bool muted, double untilMs) override {
    EM_ASM(
        {
          if (Module.brilloraShowSoundLevel) Module.brilloraShowSoundLevel($0, $1, $2);
        },
        std::clamp(percent, 0, 100), muted ? 1 : 0, std::max(0.0, untilMs - NowMs()));
  }

  bool OpenAudio(int rate, AudioPull pull) override {
    CloseAudio();
    rate_ = rate;
    pull_ = std::move(pull);
    pulledFrames_ = 0;
    audioStartMs_ = NowMs();
    if (!unpaced_) EM_ASM({ Module.brilloraAudio.open($0); }, rate);
    return true;
  }
  int AudioRate() const override { return rate_; }
  // One thread: the mixer is pulled only between the game's statements.
  void LockAudio() override {}
  void UnlockAudio() override {}
  void CloseAudio() override {
    if (pull_ && !unpaced_) EM_ASM({ Module.brilloraAudio.close(); });
    pull_ = nullptr;
  }

  bool ReadPicture(std::vector<uint8_t>& rgba) override {
    if (context_ <= 0) return false;
    const size_t row = static_cast<size_t>(width_) * 4;
    std::vector<uint8_t> flipped(row * static_cast<size_t>(height_));
    glBindFramebuffer(GL_FRAMEBUFFER, pictureFbo_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, flipped.data());
    rgba.resize(flipped.size());
    for (int y = 0; y < height_; ++y)
      std::copy_n(flipped.data() + static_cast<size_t>(height_ - 1 - y) * row, row,
                  rgba.data() + static_cast<size_t>(y) * row);
    return true;
  }

  // The records live in memory under the page's IndexedDB mount; this stores them there (the page runs
  // one store at a time and repeats it if another save came meanwhile).
  void KeepRecords() override {
    EM_ASM({
      if (Module.brilloraKeepRecords) Module.brilloraKeepRecords();
    });
  }

  void* GlProcAddress(const char* name) override {
    return context_ > 0 ? emscripten_webgl_get_proc_address(name) : nullptr;
  }

 private:
  static constexpr double kStepPastMs = 0.001;

  // The picture: a texture of the picture's size behind a framebuffer, and what copies it 1:1 onto the
  // canvas (a quad over the whole canvas sampling the nearest texel).
  bool CreatePicture() {
    glGenTextures(1, &pictureTexture_);
    glBindTexture(GL_TEXTURE_2D, pictureTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width_, height_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &pictureFbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, pictureFbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pictureTexture_, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    static const char* const kVertex =
        "attribute vec2 aPos;\n"
        "varying vec2 vUv;\n"
        "void main() { vUv = aPos * 0.5 + 0.5; gl_Position = vec4(aPos, 0.0, 1.0); }\n";
    static const char* const kFragment =
        "precision mediump float;\n"
        "uniform sampler2D uPicture;\n"
        "varying vec2 vUv;\n"
        "void main() { gl_FragColor = texture2D(uPicture, vUv); }\n";
    const GLuint vs = CompileShader(GL_VERTEX_SHADER, kVertex);
    const GLuint fs = CompileShader(GL_FRAGMENT_SHADER, kFragment);
    if (!vs || !fs) return false;
    blitProgram_ = glCreateProgram();
    glAttachShader(blitProgram_, vs);
    glAttachShader(blitProgram_, fs);
    glBindAttribLocation(blitProgram_, 0, "aPos");
    glLinkProgram(blitProgram_);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint linked = 0;
    glGetProgramiv(blitProgram_, GL_LINK_STATUS, &linked);
    if (!linked) return false;
    static const float kCorners[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
    glGenBuffers(1, &blitCorners_);
    glBindBuffer(GL_ARRAY_BUFFER, blitCorners_);
    glBufferData(GL_ARRAY_BUFFER, sizeof kCorners, kCorners, GL_STATIC_DRAW);
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glUseProgram(blitProgram_);
    glUniform1i(glGetUniformLocation(blitProgram_, "uPicture"), 0);
    glUseProgram(static_cast<GLuint>(program));
    return true;
  }

  static GLuint CompileShader(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      glDeleteShader(shader);
      return 0;
    }
    return shader;
  }

  void InstallCallbacks() {
    if (callbacksInstalled_) return;
    callbacksInstalled_ = true;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &WebPlatform::OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &WebPlatform::OnKey);
    emscripten_set_mousedown_callback(kCanvas, this, true, &WebPlatform::OnMouse);
    emscripten_set_mousemove_callback(kCanvas, this, true, &WebPlatform::OnMouse);
    emscripten_set_mouseenter_callback(kCanvas, this, true, &WebPlatform::OnMouse);
    emscripten_set_mouseleave_callback(kCanvas, this, true, &WebPlatform::OnMouse);
    // A button let go anywhere on the page ends the press.
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &WebPlatform::OnMouse);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &WebPlatform::OnFocus);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &WebPlatform::OnFocus);
    emscripten_set_visibilitychange_callback(this, true, &WebPlatform::OnVisibility);
    EmscriptenVisibilityChangeEvent v;
    if (emscripten_get_visibility_status(&v) == EMSCRIPTEN_RESULT_SUCCESS) hidden_ = v.hidden != 0;
  }

  // Browsers let a page make sound only after the player pressed a key or clicked.
  static void StartSoundOnGesture() {
    EM_ASM({ Module.brilloraAudio.resume(); });
  }

  static EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void* self) {
    auto* p = static_cast<WebPlatform*>(self);
    const int code = WebScanCode(e->code);
    if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
      StartSoundOnGesture();
      if (code != 0 && !e->repeat) p->input_.KeyDown(code, e->altKey != 0);
    } else if (code != 0) {
      p->input_.KeyUp(code);
    }
    // The game's keys are the game's: no scrolling, no help page on F1. Keys with Ctrl or the system key
    // still reach the browser (reload, close the tab, ...), and so do keys the game does not know.
    return code != 0 && !e->ctrlKey && !e->metaKey;
  }

  static EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* e, void* self) {
    auto* p = static_cast<WebPlatform*>(self);
    switch (type) {
      case EMSCRIPTEN_EVENT_MOUSEDOWN:
        StartSoundOnGesture();
        p->PointerFromEvent(*e);
        if (e->button == 0 || e->button == 2) p->input_.ButtonDown(e->button == 0 ? 0 : 1);
        return true;
      case EMSCRIPTEN_EVENT_MOUSEUP:
        if (e->button == 0 || e->button == 2) p->input_.ButtonUp(e->button == 0 ? 0 : 1);
        return false;
      case EMSCRIPTEN_EVENT_MOUSEMOVE:
        p->PointerFromEvent(*e);
        return true;
      case EMSCRIPTEN_EVENT_MOUSEENTER:
        p->input_.PointerEntered();
        return false;
      case EMSCRIPTEN_EVENT_MOUSELEAVE:
        p->input_.PointerLeft();
        return false;
      default:
        return false;
    }
  }

  // The event's place on the canvas (CSS pixels from its top-left corner) in picture pixels.
  void PointerFromEvent(const EmscriptenMouseEvent& e) {
    double cssW = 0, cssH = 0;
    if (emscripten_get_element_css_size(kCanvas, &cssW, &cssH) != EMSCRIPTEN_RESULT_SUCCESS || cssW <= 0 ||
        cssH <= 0) {
      return;
    }
    input_.PointerAt(e.targetX * width_ / cssW, e.targetY * height_ / cssH);
  }

  static EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void* self) {
    auto* p = static_cast<WebPlatform*>(self);
    p->blurred_ = type == EMSCRIPTEN_EVENT_BLUR;
    if (p->blurred_) p->input_.FocusLost();
    return false;
  }

  static EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* e, void* self) {
    auto* p = static_cast<WebPlatform*>(self);
    p->hidden_ = e->hidden != 0;
    if (p->hidden_) p->input_.FocusLost();
    return false;
  }

  // The browser delivers events between the game's waits; here they become the window's events.
  void TakeWaitingEvents() {
    if (input_.TakeModeSwitch()) events_.switchFullScreen = !events_.switchFullScreen;
    int actions[kKeyActionCount] = {};
    input_.TakeActions(actions);
    events_.volumeSteps +=
        actions[static_cast<int>(KeyAction::kVolumeUp)] - actions[static_cast<int>(KeyAction::kVolumeDown)];
    events_.muteSwitches += actions[static_cast<int>(KeyAction::kMute)];
    events_.screenshots += actions[static_cast<int>(KeyAction::kScreenshot)];
    const bool pageFull = EM_ASM_INT({ return document.fullscreenElement ? 1 : 0; }) != 0;
    // The page's own button, or Esc, may change it too; the game then switches along.
    if (pageFull != wasPageFull_ && pageFull != fullScreen_)
      events_.switchFullScreen = !events_.switchFullScreen;
    wasPageFull_ = pageFull;
  }

  // Paced: the sound the page's clock has used up since the last feed, plus the lead, is pulled from the
  // mixer and queued to play. Before the first key or click the page stays silent but the sound still
  // takes its time, as on a desktop without a sound device.
  void FeedAudio() {
    if (!pull_ || rate_ <= 0) return;
    const double dueMs = NowMs() - audioStartMs_ + kAudioLeadMs;
    const int64_t due = static_cast<int64_t>(dueMs * rate_ / 1000.0);
    if (due <= pulledFrames_) return;
    const int frames = static_cast<int>(std::min<int64_t>(due - pulledFrames_, rate_));
    // A long stall (a hidden page) skips the sound it missed instead of playing it late.
    if (due - pulledFrames_ > rate_) pulledFrames_ = due - frames;
    block_.assign(static_cast<size_t>(frames) * 2, 0);
    pull_(block_.data(), frames);
    pulledFrames_ += frames;
    EM_ASM({ Module.brilloraAudio.queue($0, $1); }, block_.data(), frames);
  }

  // Unpaced: the virtual clock moves on, and the device's share of sound is pulled and dropped.
  void Advance(double ms) {
    virtualMs_ += ms;
    if (pull_ && rate_ > 0) {
      pendingFrames_ += ms * rate_ / 1000.0;
      while (pendingFrames_ >= 1.0) {
        const int frames = pendingFrames_ >= kBlock ? kBlock : static_cast<int>(pendingFrames_);
        block_.assign(static_cast<size_t>(frames) * 2, 0);
        pull_(block_.data(), frames);
        pendingFrames_ -= frames;
      }
    }
    // Now and then the browser gets a turn, so the page shows the game and stays responsive.
    const double wall = emscripten_get_now();
    if (wall - lastYieldMs_ > kUnpacedSliceMs) {
      emscripten_sleep(0);
      lastYieldMs_ = emscripten_get_now();
    }
  }

  static constexpr int kBlock = 1024;
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context_ = 0;
  GLuint pictureTexture_ = 0, pictureFbo_ = 0, blitProgram_ = 0, blitCorners_ = 0;
  std::string error_ = "cannot open the game's canvas";
  int width_ = 640, height_ = 480;
  bool fullScreen_ = false, wasPageFull_ = false;
  bool callbacksInstalled_ = false;
  bool hidden_ = false, blurred_ = false, reportedAway_ = false;
  bool unpaced_ = false;
  double virtualMs_ = 1000.0, lastYieldMs_ = 0;
  InputEvents input_;
  WindowEvents events_;
  int rate_ = 0;
  AudioPull pull_;
  int64_t pulledFrames_ = 0;
  double audioStartMs_ = 0, pendingFrames_ = 0;
  std::vector<int16_t> block_;
};

}  // namespace

std::unique_ptr<Platform> CreateWebPlatform() {
  return std::make_unique<WebPlatform>();
}

}  // namespace plat
