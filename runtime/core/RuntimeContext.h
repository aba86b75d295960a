// The one record of the runtime: everything the runtime keeps for the program's life, nested by concern.
// Only runtime code touches it; the game calls the flat runtime operations.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/Settings.h"

namespace plat {
class Platform;
}
class OpenGLVezovede;
using Renderer2D = OpenGLVezovede;
struct SoundDevice;
class ReplayPlayer;
class ReplayRecorder;

// Written by the program entry before RuntimeInit.
struct StartSettings {
  int screenWidth = 640;   // window or display width; SetScreenMode overwrites it
  int screenHeight = 480;  // height; SetScreenMode overwrites it
  int fullScreen = 1;      // nonzero: RuntimeInit switches to full screen
  int frameRate = 60;      // frames per second given to window creation
  int multisample = 0;     // multisampled pixel format (unused by the game)
  int exclusiveMouse = 1;  // mouse taken exclusively, system pointer hidden
  int debugLog = 0;        // end records in the log, no auto-pause, window raised every frame
};

// How this run was launched (command line of the program); none of it changes a plain start.
struct LaunchOptions {
  bool windowed = false;       // --windowed: a window instead of full screen
  bool fullScreen = false;     // --fullscreen: full screen whatever the settings file says
  bool headless = false;       // --headless: no window, no GL, no sound output, virtual clock
  std::string dataDir;         // --data DIR: the program's folder
  bool haveSeed = false;       // --seed N given
  int32_t seed = 0;            // the seed of --seed N
  long long frameLimit = -1;   // --frames N: end after the N-th ShowFrame (-1: no limit)
  std::string recordPath;      // --record FILE
  std::string playPath;        // --play FILE
  std::string dumpPath;        // --dump FILE
  std::string screenshotPath;  // --screenshot FILE: the last picture drawn, saved at program end
};

struct ErrorState {
  double errorCode = 0;      // code of the last reported error; 0 for a normal end
  double errorLine = 0;      // current line when the error was reported
  double currentLine = 0;    // source line being executed (debug builds only)
  double currentModule = 0;  // source module being executed (debug builds only)
  std::string cause;         // one line naming what failed, for standard error
  bool stopping = false;     // StopProgram is under way
  bool endFailed = false;    // a file asked for at the end (state dump, screenshot) could not be written
};

struct FrameClock {
  double currentFrameMs = 0;  // clock at the start of the current ShowFrame
  long long frames = 0;       // ShowFrame calls so far
};

// One numbered file channel (0..7).
struct FileChannel {
  std::FILE* handle = nullptr;  // null while closed
  uint32_t size = 0;            // file size when opened for reading; 0 when opened for writing
  int32_t position = 0;         // bytes requested by reads so far
  bool writing = false;         // opened with mode 0
  std::string path;             // the file as the game named it (separators turned)
  std::string tempPath;         // writing: the file being written, moved over `path` on close
  int openError = 0;            // errno of a FileOpen that failed here, named when the channel is used
  int lastDirection = 0;        // 1 read, 2 write: the buffered file needs a seek when this changes
};

// Files written as one save (BeginWriteGroup .. CommitWriteGroup): every one of them is whole on disk
// before any of them replaces its old version.
struct WriteGroup {
  bool open = false;
  std::string folder;  // the folder of its files, where its commit record is written
  std::vector<std::pair<std::string, std::string>> files;  // written temporary file, the file it replaces
};

// The media and music archive records.
struct ArchiveRecord {
  bool usable = false;            // cleared when the archive cannot be used, until the next SetArchive
  std::string archivePath;        // the archive file
  std::string extractedPath;      // temporary file of the last successful lookup, or empty
  bool read = false;              // the archive file has been read into `contents` (once per SetArchive)
  std::vector<uint8_t> contents;  // the whole archive file, read at its first use
};

// ISAAC generator state.
struct RandomState {
  uint32_t mm[256] = {};
  uint32_t randrsl[256] = {};
  uint32_t aa = 0, bb = 0, cc = 0;
  int unread = 0;  // results not yet read; set to 256 at seeding, not consulted by RandomInt
};

// Keyboard and mouse as the game sees them, one snapshot per frame.
struct InputState {
  uint8_t keyState[256] = {};  // by scan code; high bit set = down
  int32_t mouseX = 100;        // the runtime's own mouse position, screen pixels
  int32_t mouseY = 100;
  bool freshPoll = false;   // set by ShowFrame; the first mouse read of a frame takes the motion
  bool leftButton = false;  // buttons as polled by ShowFrame
  bool rightButton = false;
  int pendingDx = 0, pendingDy = 0;      // device motion not yet read by the game
  bool pointerSeen = false;              // the system pointer's picture pixel was known at the frame's poll:
  int pointerX = 0, pointerY = 0;        //   the game's pointer goes there at the frame's first mouse read
  bool mouseRead = false;                // the game read the mouse since the last poll (it draws a pointer)
  int replayDx = 0, replayDy = 0;        // motion of the current replay frame
  std::unique_ptr<ReplayPlayer> player;  // --play: all input comes from the replay
  std::unique_ptr<ReplayRecorder> recorder;  // --record: input is written as it is read
  InputState();
  ~InputState();
  InputState(InputState&&) noexcept;
  InputState& operator=(InputState&&) noexcept;
};

// The player's settings and the runtime's hotkeys (volume, mute, screenshot) during a run with a window.
struct PlayerControls {
  bool active = false;        // a run with a window: the settings file is read and written
  std::string path;           // the settings file
  PlayerSettings settings;    // as read, and as changed by the player since
  bool resized = false;       // the window's new size waits to be written ...
  double resizedMs = 0;       // ... once it has stayed the same for a moment
  bool saveFailed = false;    // the file could not be written (said once)
  int screenshotsWanted = 0;  // taken when the next finished frame is shown
  std::string notice;         // shown after the title for a moment (volume, screenshot saved)
  double noticeUntilMs = 0;
};

struct RuntimeContext {
  StartSettings settings;
  LaunchOptions options;
  std::string title = "Quillon";             // window title
  std::unique_ptr<plat::Platform> platform;  // window, GL, clock, devices (SDL or headless)
  Renderer2D* renderer = nullptr;            // created by RuntimeInit, deleted by ShutdownRuntime
  SoundDevice* sound = nullptr;              // created by RuntimeInit, deleted by ShutdownRuntime
  bool autoPause = false;                    // pause while the window is inactive
  bool paused = false;                       // the window is inactive and the game stands still in ShowFrame
  bool allowEscape = true;                   // Esc ends the program inside ShowFrame
  bool playerWindowed = false;  // the player's choice of a window over full screen (--windowed, Alt+Enter)
  FrameClock clock;
  ErrorState error;
  FileChannel channels[8];
  WriteGroup writeGroup;
  std::string recordsFolder;  // where the player's records live, ending in "/"; "" is the working folder
  ArchiveRecord archives[2];  // 0: media, 1: music
  RandomState random;
  InputState input;
  PlayerControls controls;
  int currentFont = 0;             // font slot for PrintText, 0..31
  std::string privateTempDir;      // per-user folder (mode 0700) for the log and extracted files
  std::function<void()> shutdown;  // ShutdownRuntime, installed by RuntimeInit
  std::vector<std::function<void(int status)>> atEnd;  // run once when the program ends (state dump)
};

// The runtime's record. Tests make it fresh with ResetRuntimeContext. Read on every runtime call, so
// the common case (it exists) is inline.
extern RuntimeContext* gRuntimeContext;
RuntimeContext& MakeRuntimeContext();
inline RuntimeContext& Rt() {
  return gRuntimeContext ? *gRuntimeContext : MakeRuntimeContext();
}
void ResetRuntimeContext();

// The per-user private temporary folder, created with mode 0700 under $TMPDIR (or /tmp) on first use;
// it ends in "/". The runtime's log and files extracted from the archive live there. It is "" when no
// such folder can be had; nothing is written then.
const std::string& PrivateTempDir();
// Appends one line to "ErrorLog.txt" in the private temporary folder; a line that cannot be written is
// dropped (after 5 tries 100 ms apart).
void AppendErrorLog(const std::string& text);
// Path of the runtime's log file.
std::string ErrorLogPath();
