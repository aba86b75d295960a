// The player's settings during a run and the runtime's own hotkeys: the volume and mute keys, the
// screenshot key, the window mode and size remembered in the settings file. None of it reaches the game
// or a recording. Runs without a window (--headless) neither read nor write the settings file.
#pragma once

#include <string>

namespace plat {
struct WindowEvents;
}

// Before the window opens: reads the settings file (each bad line one warning on standard error) and
// decides full screen or a window; the command line wins over the file.
void LoadPlayerSettings();
// Once the platform exists: the window size asked for, then (after the window opened) the key bindings.
void PreferPlayerWindowSize();
void ApplyPlayerKeyBindings();
// Once the sound device exists: the remembered volume and mute.
void ApplyPlayerSoundLevel();

// The hotkeys and the window's size changes of one pump of window events.
void HandlePlayerEvents(const plat::WindowEvents& events);
// The player switched between full screen and a window (Alt+Enter, F11): remembered.
void PlayerChoseWindowMode(bool fullScreen);
// Called with the finished frame, just before it is shown: takes the screenshots asked for.
void TakeWantedScreenshots();
// The window's title: the game's title, the notice of the moment, the pause marker.
void RefreshCaption();
// At the end of the run: writes what still waits to be written.
void FlushPlayerSettings();

// The folder screenshots go into: the user's pictures folder ("xdg-user-dir PICTURES", else ~/Pictures)
// and "Brillora" in it.
std::string ScreenshotFolder();
// A file name in `folder` made from the local date and time that no file has yet; the file is created
// empty so that no one else takes the name. "" when no file can be created there (errno tells why).
std::string ReserveScreenshotFile(const std::string& folder);
