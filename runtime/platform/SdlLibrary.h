// The SDL library is loaded by the desktop platform when it is created, not with the program: a run
// without a window (--headless) never maps it, nor the display, sound and input libraries it brings
// along, which would cost more start-up time than the whole run. The functions the platform calls are
// looked up once and reached through SdlCalls.h.
#pragma once

#include <SDL2/SDL.h>

#include <string>

// Every SDL function the platform calls.
#define BRILLORA_SDL_FUNCTIONS(X)       \
  X(SDL_CloseAudioDevice)               \
  X(SDL_CreateRGBSurfaceWithFormatFrom) \
  X(SDL_CreateWindow)                   \
  X(SDL_DestroyWindow)                  \
  X(SDL_FreeSurface)                    \
  X(SDL_GL_CreateContext)               \
  X(SDL_GL_DeleteContext)               \
  X(SDL_GL_GetDrawableSize)             \
  X(SDL_GL_GetProcAddress)              \
  X(SDL_GL_MakeCurrent)                 \
  X(SDL_GL_SetAttribute)                \
  X(SDL_GL_SetSwapInterval)             \
  X(SDL_GL_SwapWindow)                  \
  X(SDL_GameControllerClose)            \
  X(SDL_GameControllerOpen)             \
  X(SDL_GetDisplayBounds)               \
  X(SDL_GetCurrentVideoDriver)          \
  X(SDL_GetDisplayUsableBounds)         \
  X(SDL_GetError)                       \
  X(SDL_GetTicks)                       \
  X(SDL_GetWindowDisplayIndex)          \
  X(SDL_GetWindowFlags)                 \
  X(SDL_GetWindowID)                    \
  X(SDL_GetWindowSize)                  \
  X(SDL_HideWindow)                     \
  X(SDL_InitSubSystem)                  \
  X(SDL_IsGameController)               \
  X(SDL_JoystickGetDeviceInstanceID)    \
  X(SDL_LockAudioDevice)                \
  X(SDL_NumJoysticks)                   \
  X(SDL_OpenAudioDevice)                \
  X(SDL_PauseAudioDevice)               \
  X(SDL_PollEvent)                      \
  X(SDL_QuitSubSystem)                  \
  X(SDL_SetHint)                        \
  X(SDL_SetWindowBordered)              \
  X(SDL_SetWindowFullscreen)            \
  X(SDL_SetWindowIcon)                  \
  X(SDL_SetWindowPosition)              \
  X(SDL_SetWindowSize)                  \
  X(SDL_SetWindowTitle)                 \
  X(SDL_ShowCursor)                     \
  X(SDL_ShowWindow)                     \
  X(SDL_UnlockAudioDevice)              \
  X(SDL_WarpMouseInWindow)              \
  X(SDL_memset)

namespace plat {

struct SdlLibrary {
#define BRILLORA_SDL_MEMBER(name) decltype(&::name) name = nullptr;
  BRILLORA_SDL_FUNCTIONS(BRILLORA_SDL_MEMBER)
#undef BRILLORA_SDL_MEMBER
};

// Loads the library and looks up every function, once per process; later calls answer at once. False
// with `error` saying why when the library or one of its functions is missing.
bool LoadSdlLibrary(std::string& error);
// The looked-up functions; every one is null until LoadSdlLibrary succeeded.
const SdlLibrary& Sdl();

}  // namespace plat
