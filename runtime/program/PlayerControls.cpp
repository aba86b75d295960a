// The player's settings during a run and the runtime's hotkeys (see PlayerControls.h).
#include "runtime/program/PlayerControls.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/ImageWrite.h"
#include "runtime/platform/Platform.h"
#include "runtime/program/Runtime.h"
#include "runtime/sound/Sound.h"

namespace {

// How long a notice stays in the title and the sound level over the window.
constexpr double kNoticeMs = 2000.0;
// A new window size is written once it has stayed for this long (a drag resizes many times).
constexpr double kResizeSettleMs = 500.0;

void Notice(const std::string& text) {
  PlayerControls& c = Rt().controls;
  c.notice = text;
  c.noticeUntilMs = ReadClockMs() + kNoticeMs;
  RefreshCaption();
}

void Save() {
  PlayerControls& c = Rt().controls;
  if (!c.active) return;
  c.resized = false;
  std::string error;
  if (SaveSettings(c.path, c.settings, error)) return;
  // The game plays on; the player hears of it once.
  if (!c.saveFailed)
    std::fprintf(stderr, "brillora: cannot write the settings %s: %s\n", c.path.c_str(), error.c_str());
  c.saveFailed = true;
}

void ShowLevel() {
  RuntimeContext& rt = Rt();
  const PlayerSettings& s = rt.controls.settings;
  Notice(s.muted ? "sound off" : "volume " + std::to_string(s.volume) + "%");
  rt.platform->ShowSoundLevel(s.volume, s.muted, rt.controls.noticeUntilMs);
}

void ChangeVolume(int steps) {
  PlayerSettings& s = Rt().controls.settings;
  s.volume = std::clamp(s.volume + steps * kVolumeStep, 0, 100);
  // Turning the volume up is also the way out of mute.
  if (steps > 0) s.muted = false;
  SetSoundLevel(s.volume, s.muted);
  ShowLevel();
  Save();
}

void SwitchMute() {
  PlayerSettings& s = Rt().controls.settings;
  s.muted = !s.muted;
  SetSoundLevel(s.volume, s.muted);
  ShowLevel();
  Save();
}

void TakeScreenshot() {
  RuntimeContext& rt = Rt();
  std::vector<uint8_t> rgba;
  if (!rt.platform->ReadPicture(rgba)) return;
  const std::string folder = ScreenshotFolder();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::string path = ReserveScreenshotFile(folder);
  std::string why = std::strerror(errno);
  if (!path.empty() &&
      WritePngFile(path, rt.platform->PictureWidth(), rt.platform->PictureHeight(), rgba, &why)) {
    std::printf("brillora: screenshot saved as %s\n", path.c_str());
    std::fflush(stdout);
    Notice("screenshot " + std::filesystem::path(path).filename().string());
    return;
  }
  if (!path.empty()) ::unlink(path.c_str());
  std::fprintf(stderr, "brillora: cannot save a screenshot in %s: %s\n", folder.c_str(), why.c_str());
  Notice("no screenshot: " + why);
}

}  // namespace

void LoadPlayerSettings() {
  RuntimeContext& rt = Rt();
  PlayerControls& c = rt.controls;
  c = PlayerControls{};
  const LaunchOptions& o = rt.options;
  if (!o.headless) {
    c.path = SettingsPath();
    c.active = !c.path.empty();
  }
  if (c.active) {
    std::vector<std::string> warnings;
    c.settings = LoadSettings(c.path, warnings);
    for (const std::string& w : warnings)
      std::fprintf(stderr, "brillora: settings %s: %s; skipped\n", c.path.c_str(), w.c_str());
  }
  const bool windowed = o.windowed || (!o.fullScreen && c.settings.fullScreen == 0);
  if (windowed) rt.settings.fullScreen = 0;
  rt.playerWindowed = windowed;
}

void PreferPlayerWindowSize() {
  RuntimeContext& rt = Rt();
  const PlayerSettings& s = rt.controls.settings;
  if (rt.controls.active && s.windowWidth > 0) rt.platform->PreferWindowSize(s.windowWidth, s.windowHeight);
}

void ApplyPlayerKeyBindings() {
  RuntimeContext& rt = Rt();
  rt.platform->SetKeyBindings(rt.controls.active ? rt.controls.settings.KeyTable()
                                                 : PlayerSettings().KeyTable());
}

void ApplyPlayerSoundLevel() {
  const PlayerSettings& s = Rt().controls.settings;
  SetSoundLevel(s.volume, s.muted);
}

void HandlePlayerEvents(const plat::WindowEvents& ev) {
  RuntimeContext& rt = Rt();
  PlayerControls& c = rt.controls;
  if (ev.volumeSteps != 0) ChangeVolume(ev.volumeSteps);
  if (ev.muteSwitches % 2 != 0) SwitchMute();
  c.screenshotsWanted += ev.screenshots;
  const double now = ReadClockMs();
  int w = 0, h = 0;
  if (ev.windowResized && rt.platform->WindowedSize(w, h)) {
    c.settings.windowWidth = w;
    c.settings.windowHeight = h;
    c.resized = true;
    c.resizedMs = now;
  }
  if (c.resized && now - c.resizedMs >= kResizeSettleMs) Save();
  if (!c.notice.empty() && now > c.noticeUntilMs) {
    c.notice.clear();
    RefreshCaption();
  }
}

void PlayerChoseWindowMode(bool fullScreen) {
  PlayerControls& c = Rt().controls;
  c.settings.fullScreen = fullScreen ? 1 : 0;
  Save();
}

void TakeWantedScreenshots() {
  PlayerControls& c = Rt().controls;
  if (c.screenshotsWanted <= 0) return;
  c.screenshotsWanted = 0;  // several presses within one frame make one picture
  TakeScreenshot();
}

void RefreshCaption() {
  RuntimeContext& rt = Rt();
  if (!rt.platform) return;
  std::string caption = rt.title;
  if (!rt.controls.notice.empty()) caption += " - " + rt.controls.notice;
  if (rt.paused) caption += " <pause>";
  rt.platform->SetCaption(caption);
}

void FlushPlayerSettings() {
  if (Rt().controls.resized) Save();
}

std::string ScreenshotFolder() {
  const char* homeEnv = std::getenv("HOME");
  const std::string home = homeEnv ? homeEnv : "";
  std::string pictures;
  if (FILE* pipe = ::popen("xdg-user-dir PICTURES 2>/dev/null", "r")) {
    char buf[4096];
    while (std::fgets(buf, sizeof buf, pipe)) pictures += buf;
    ::pclose(pipe);
  }
  while (!pictures.empty() && (pictures.back() == '\n' || pictures.back() == '/')) pictures.pop_back();
  // The tool answers with the home folder itself when no pictures folder is set up.
  if (pictures.empty() || pictures[0] != '/' || pictures == home)
    pictures = (home.empty() ? "." : home) + "/Pictures";
  return pictures + "/Brillora";
}

std::string ReserveScreenshotFile(const std::string& folder) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[64];
  std::strftime(stamp, sizeof stamp, "brillora-%Y-%m-%d-%H-%M-%S", &local);
  for (int n = 1; n < 1000; ++n) {
    std::string path = folder;
    path.append("/").append(stamp);
    if (n > 1) path.append("-").append(std::to_string(n));
    path.append(".png");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) return "";
  }
  errno = EEXIST;
  return "";
}
