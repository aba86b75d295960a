// Placeholder until the platform implementations land.
#include "runtime/platform/Platform.h"
namespace plat {
std::unique_ptr<Platform> CreateSdlPlatform() { return nullptr; }
std::unique_ptr<Platform> CreateHeadlessPlatform() { return nullptr; }
}  // namespace plat
