// Start-up, the frame loop and shutdown: the runtime's spine around the game main.
#include "runtime/program/Runtime.h"

#include <unistd.h>

#include <cctype>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "runtime/core/Archive.h"
#include "runtime/core/Errors.h"
#include "runtime/core/FileChannels.h"
#include "runtime/core/Input.h"
#include "runtime/core/NumberTrunc.h"
#include "runtime/core/Options.h"
#include "runtime/core/Random.h"
#include "runtime/core/RecordsFolder.h"
#include "runtime/core/Replay.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/Fonts.h"
#include "runtime/gfx2d/Image.h"
#include "runtime/gfx2d/ImageWrite.h"
#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/platform/Platform.h"
#include "runtime/program/PlayerControls.h"
#include "runtime/sound/Sound.h"

namespace {

// Missed frame periods that PresentFrame steps over one by one; beyond this it counts them at once.
constexpr double kMaxSteppedPeriods = 1000.0;

// A failure to bring the runtime up ends the run before the game starts; StopProgram names the cause.
[[noreturn]] void StartFailure(const std::string& message) {
  Rt().error.cause = message;
  Rt().error.errorCode = 1;
  StopProgram();
}

std::string Absolute(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  auto p = std::filesystem::absolute(path, ec);
  return ec ? path : p.string();
}

// The program file itself; empty when it cannot be told.
std::filesystem::path ProgramFile() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}

// The game's folder. An installed program finds its data at a fixed place relative to itself
// (GAME_DATA_FROM_PROGRAM, "../share/brillora" beside "bin/"), so that a moved install still works;
// anywhere else (the build folder, a copy of the game folder) the data lies beside the program.
std::string ProgramFolder() {
  const std::filesystem::path exe = ProgramFile();
  if (exe.empty()) return ".";
  const std::filesystem::path own = exe.parent_path();
#ifdef GAME_DATA_FROM_PROGRAM
  std::error_code ec;
  const std::filesystem::path installed = (own / GAME_DATA_FROM_PROGRAM).lexically_normal();
  if (std::filesystem::is_directory(installed, ec)) return installed.string();
#endif
  return own.string();
}

bool CreateRenderWindow(int width, int height, int fps) {
  RuntimeContext& rt = Rt();
  Renderer2D& r = *rt.renderer;
  r.framePeriodMs = fps > 0 ? 1000.0 / fps : 2.0;
  if (!rt.platform->OpenWindow(width, height, "Quillon")) return false;
  r.width = width;
  r.height = height;
  r.fullScreenActive = false;
  r.nextFrameMs = ReadClockMs();
  // The drawing backend is chosen once, here: OpenGL with a window, nothing at all without one.
  if (rt.platform->HasGl()) {
    rt.platform->BindPicture();
    std::unique_ptr<DrawBackend> gl = CreateGlBackend(*rt.platform);
    if (!gl) {
      std::fprintf(stderr, "brillora: the OpenGL driver cannot run the game's shaders\n");
      return false;
    }
    r.UseBackend(std::move(gl));
  } else {
    r.UseBackend(CreateNullBackend());
  }
  r.initialised = true;
  return true;
}

void EnterWindowed() {
  RuntimeContext& rt = Rt();
  rt.platform->SetFullScreen(false);
  rt.renderer->fullScreenActive = false;
  rt.renderer->ResetView2D(0, 0, 0, 0);
}

bool EnterFullScreen() {
  RuntimeContext& rt = Rt();
  if (!rt.platform->SetFullScreen(true)) {
    AppendErrorLog("No Fullscreen Mode available");
    EnterWindowed();
    return false;
  }
  rt.renderer->fullScreenActive = true;
  rt.renderer->ResetView2D(0, 0, 0, 0);
  return true;
}

// Alt+Enter or F11: full screen and a window change places at once, whatever screen is showing; the
// choice holds for the rest of the run.
void SwitchFullScreen() {
  RuntimeContext& rt = Rt();
  if (!rt.renderer) return;
  if (rt.renderer->fullScreenActive) {
    EnterWindowed();
    rt.playerWindowed = true;
  } else {
    rt.playerWindowed = !EnterFullScreen();
  }
  PlayerChoseWindowMode(!rt.playerWindowed);
}

// The game's icon lies in the game's folder (beside the program in the build folder) under the
// program's own name ("brillora.png"), the same picture the desktop's menu entry shows.
void SetWindowIcon() {
  RuntimeContext& rt = Rt();
  const std::filesystem::path exe = ProgramFile();
  if (exe.empty()) return;
  const std::filesystem::path folder = ProgramFolder();
  const std::string path = (folder / (exe.filename().string() + ".png")).string();
  std::error_code ec;
  RgbaImage icon;
  if (!std::filesystem::is_regular_file(path, ec) || !DecodeImageFile(path, kNoColourKey, icon)) return;
  rt.platform->SetIcon(icon.width, icon.height, icon.pixels);
}

}  // namespace

int RunProgram(const std::vector<std::string>& args, const std::string& title, void (*gameMain)()) {
  ResetRuntimeContext();
  RuntimeContext& rt = Rt();
  std::string error;
  switch (ParseLaunchOptions(args, rt.options, error)) {
    case OptionsResult::kHelp:
      std::fputs(UsageText().c_str(), stdout);
      return 0;
    case OptionsResult::kVersion:
      std::fputs(VersionText(title).c_str(), stdout);
      return 0;
    case OptionsResult::kError:
      std::fprintf(stderr, "brillora: %s\n", error.c_str());
      return 2;
    case OptionsResult::kRun:
      break;
  }
  LaunchOptions& o = rt.options;
  // Files named on the command line are relative to where the program was started.
  o.recordPath = Absolute(o.recordPath);
  o.playPath = Absolute(o.playPath);
  o.dumpPath = Absolute(o.dumpPath);
  o.screenshotPath = Absolute(o.screenshotPath);
  if (!o.playPath.empty()) {
    auto player = std::make_unique<ReplayPlayer>();
    if (!player->Load(o.playPath, error)) {
      std::fprintf(stderr, "brillora: %s\n", error.c_str());
      return 2;
    }
    rt.input.player = std::move(player);
  }
  if (!o.dataDir.empty() && !std::filesystem::is_directory(o.dataDir)) {
    std::fprintf(stderr, "brillora: --data: no such folder \"%s\"\n", o.dataDir.c_str());
    return 2;
  }

  rt.settings = StartSettings{};
  // Full screen or a window: the command line, else the player's choice of the last run.
  LoadPlayerSettings();
  try {
    RuntimeInit(title);
    rt.error = ErrorState{};
    gameMain();
    StopProgram();
  } catch (const ProgramExit& e) {
    return e.status;
  }
}

void RuntimeInit(const std::string& title) {
  RuntimeContext& rt = Rt();
  rt.shutdown = ShutdownRuntime;
  rt.autoPause = true;
#ifdef __EMSCRIPTEN__
  rt.platform = rt.options.headless ? plat::CreateHeadlessPlatform() : plat::CreateWebPlatform();
#else
  rt.platform = rt.options.headless ? plat::CreateHeadlessPlatform() : plat::CreateSdlPlatform();
#endif
  rt.renderer = new Renderer2D();
  PreferPlayerWindowSize();
  if (!CreateRenderWindow(rt.settings.screenWidth, rt.settings.screenHeight, rt.settings.frameRate))
    StartFailure(rt.platform->WindowError());
  ApplyPlayerKeyBindings();
  rt.platform->SetCaption(title);
  SetWindowIcon();
  rt.title = title;
  std::remove(ErrorLogPath().c_str());

  // The seed: a replay's own, --seed, or the clock.
  int32_t seed = 0;
  if (rt.input.player) {
    seed = rt.input.player->seed();
  } else if (rt.options.haveSeed) {
    seed = rt.options.seed;
  } else {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    seed = static_cast<int32_t>(static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count() & 0xFFFFFFFFu));
  }
  SeedRandom(seed);
  if (!rt.options.recordPath.empty()) {
    auto recorder = std::make_unique<ReplayRecorder>();
    if (!recorder->Open(rt.options.recordPath, seed))
      StartFailure("cannot write the replay " + rt.options.recordPath);
    rt.input.recorder = std::move(recorder);
  }

  if (rt.settings.fullScreen == 0)
    EnterWindowed();
  else
    EnterFullScreen();

  SoundStartup();
  ApplyPlayerSoundLevel();
  rt.currentFont = 0;

  // Every relative path of the game (levels, records, media) is relative to the program's folder.
  const std::string folder = rt.options.dataDir.empty() ? ProgramFolder() : rt.options.dataDir;
  if (::chdir(folder.c_str()) != 0) StartFailure("cannot enter the game's folder " + folder);
  // The records are the player's own: they live in the user's data folder, named after the program.
  std::string game = title;
  for (char& c : game) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  ChooseRecordsFolder(game);
  SetArchive(std::filesystem::current_path().string(), std::filesystem::current_path().string());

  ClearBackBuffer();
  rt.clock.currentFrameMs = ReadClockMs();
  PresentFrame();
  rt.renderer->ResetView2D(0, 0, 0, 0);

  LoadFont("", 0);
  LoadFont("smalfont.bmp", 0);
  double cw = 0, ch = 0;
  GetFontSize(cw, ch);
  PrintText("Loading...", (rt.renderer->width - 10 * cw) * 0.5, (rt.renderer->height - ch) * 0.5);
  ShowFrame();

  rt.paused = false;
  rt.clock.currentFrameMs = ReadClockMs();
  std::fputs("Init OK\n", stdout);
  std::fflush(stdout);
}

double ReadClockMs() {
  RuntimeContext& rt = Rt();
  return rt.platform ? rt.platform->NowMs() : 0.0;
}

void PumpMessages() {
  RuntimeContext& rt = Rt();
  if (!rt.platform) return;
  const plat::WindowEvents ev = rt.platform->PumpEvents();
  if (ev.closeRequested) EndProgram();
  if (ev.switchFullScreen) SwitchFullScreen();
  HandlePlayerEvents(ev);
  if (rt.settings.debugLog || !rt.autoPause) return;
  if (ev.focusLost) {
    rt.paused = true;
    RefreshCaption();
  } else if (ev.focusGained) {
    rt.paused = false;
    RefreshCaption();
  }
}

double PresentFrame() {
  RuntimeContext& rt = Rt();
  Renderer2D& r = *rt.renderer;
  // Only what differs from the frame before is drawn where the window's target still holds that frame,
  // and a frame equal to it draws and presents nothing; the frame schedule below is the same either way.
  const plat::PictureChange change = r.EndFrame(rt.platform->KeepsPicture());
  TakeWantedScreenshots();
  rt.platform->PresentChanged(change);
  // The next frame starts black; a background that covers the whole screen paints every pixel anyway.
  if (!r.BackgroundCoversScreen()) r.ClearBuffers();
  const double t0 = ReadClockMs();
  // Wait for the frame's deadline on the monotonic clock: the platform sleeps up to it in one piece.
  double t = t0;
  while (t <= r.nextFrameMs) {
    rt.platform->IdleToward(r.nextFrameMs);
    t = ReadClockMs();
  }
  // Window events are handled once a frame, as late as possible, so the next frame's input is fresh.
  PumpMessages();
  r.nextFrameMs += r.framePeriodMs;
  // A late frame skips whole periods instead of hurrying to catch up; the schedule keeps its phase.
  if (r.framePeriodMs > 0 && r.nextFrameMs < t) {
    // Far behind (a long pause, or a limit of millions of frames per second), the missed periods are
    // counted at once rather than added one by one.
    const double behind = (t - r.nextFrameMs) / r.framePeriodMs;
    if (behind > kMaxSteppedPeriods) r.nextFrameMs += std::floor(behind) * r.framePeriodMs;
    while (r.nextFrameMs < t) {
      const double next = r.nextFrameMs + r.framePeriodMs;
      // A period below the clock's resolution no longer moves the schedule: show the next frame at once.
      if (next <= r.nextFrameMs) {
        r.nextFrameMs = t;
        break;
      }
      r.nextFrameMs = next;
    }
  }
  return t - t0 + 1;
}

void ShowFrame() {
  RuntimeContext& rt = Rt();
  if (rt.options.frameLimit >= 0 && rt.clock.frames >= rt.options.frameLimit) EndProgram();
  rt.clock.currentFrameMs = ReadClockMs();
  while (rt.paused) {
    PumpMessages();
    rt.platform->SleepMs(100);
  }
  PollInput();
  rt.clock.frames++;
  const uint8_t* keys = rt.input.keyState;
  if (rt.allowEscape && ((keys[129] & 0x80) || (keys[1] & 0x80))) EndProgram();
  if ((keys[56] & 0x80) && (keys[62] & 0x80)) EndProgram();
  // The window events of this frame were handled at the end of the last frame's wait (PresentFrame).
  PresentFrame();
  rt.renderer->PrepareNextFrame();
}

void SetFrameRateLimit(double fps) {
  Renderer2D* r = Rt().renderer;
  if (!r) return;
  const long long n = TruncToInt64OrZero(fps);
  r->framePeriodMs = n <= 0 ? 2.0 : 1000.0 / static_cast<double>(n);
}

void SleepMs(double ms) {
  const long long n = TruncToInt64OrZero(ms);
  if (n > 0 && Rt().platform) Rt().platform->SleepMs(static_cast<double>(n));
}

void SetScreenMode(double width, double height, double fullScreen) {
  RuntimeContext& rt = Rt();
  const int w = static_cast<int>(TruncToInt64OrZero(width)), h = static_cast<int>(TruncToInt64OrZero(height));
  rt.settings.screenWidth = w;
  rt.settings.screenHeight = h;
  rt.settings.fullScreen = static_cast<int>(TruncToInt64OrZero(fullScreen));
  // The picture keeps the size the window was opened with; the game only ever asks for 640 x 480.
  if (w > 0 && h > 0 && rt.platform) {
    rt.settings.screenWidth = rt.renderer->width;
    rt.settings.screenHeight = rt.renderer->height;
  }
  // The player's choice of a window (--windowed, or Alt+Enter) holds even when the game asks for full
  // screen.
  if (rt.settings.fullScreen != 0 && !rt.playerWindowed)
    EnterFullScreen();
  else
    EnterWindowed();
  for (int i = 0; i < 5; ++i) ShowFrame();
}

void AllowEscape(double flag) {
  Rt().allowEscape = flag != 0 || std::isnan(flag);
}

void SetAutoPause(double flag) {
  Rt().autoPause = flag != 0 || std::isnan(flag);
}

void ShutdownRuntime() {
  RuntimeContext& rt = Rt();
  FlushPlayerSettings();
  // The picture holds the last frame the game drew (a replay ends before that frame is presented).
  if (!rt.options.screenshotPath.empty() && rt.platform) {
    if (rt.renderer) rt.renderer->FinishDrawing();
    std::vector<uint8_t> rgba;
    std::string why = "no picture was drawn (there is none without a window)";
    if (!rt.platform->ReadPicture(rgba) ||
        !WritePngFile(rt.options.screenshotPath, rt.platform->PictureWidth(), rt.platform->PictureHeight(),
                      rgba, &why))
      ReportEndFailure("cannot save the screenshot " + rt.options.screenshotPath + ": " + why);
  }
  delete rt.renderer;  // textures, background sets
  rt.renderer = nullptr;
  if (rt.platform) rt.platform->CloseWindow();
  ShutdownInput();
  SoundShutdown();
  ReleaseArchives();
  CloseAllChannels();
  rt.platform.reset();
}
