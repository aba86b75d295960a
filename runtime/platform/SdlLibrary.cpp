// Loading the SDL library at run time and looking up the functions the platform calls.
#include "runtime/platform/SdlLibrary.h"

#include <dlfcn.h>

namespace plat {
namespace {

// The library's name on every distribution that ships SDL 2.
constexpr const char* kSdlLibraryName = "libSDL2-2.0.so.0";

SdlLibrary& Table() {
  static SdlLibrary table;
  return table;
}

}  // namespace

bool LoadSdlLibrary(std::string& error) {
  static bool loaded = false;
  if (loaded) return true;
  // Kept for the whole run: SDL's own threads (sound) and exit handlers live in it.
  void* library = dlopen(kSdlLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    error = std::string("cannot load ") + kSdlLibraryName + ": " + (why ? why : "not found");
    return false;
  }
  SdlLibrary found;
  std::string missing;
#define BRILLORA_SDL_LOOK_UP(name)                                            \
  found.name = reinterpret_cast<decltype(found.name)>(dlsym(library, #name)); \
  if (!found.name) missing += missing.empty() ? #name : ", " #name;
  BRILLORA_SDL_FUNCTIONS(BRILLORA_SDL_LOOK_UP)
#undef BRILLORA_SDL_LOOK_UP
  if (!missing.empty()) {
    dlclose(library);
    error = std::string(kSdlLibraryName) + " lacks " + missing;
    return false;
  }
  Table() = found;
  loaded = true;
  return true;
}

const SdlLibrary& Sdl() {
  return Table();
}

}  // namespace plat
