// Keeping the GL driver's memory reachable at exit (see GlLeakCheck.h).
#include "tests/support/GlLeakCheck.h"

#include <dlfcn.h>
#include <link.h>

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}

namespace testing_support {

void KeepLibrariesLoaded() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        if (info->dlpi_name && *info->dlpi_name)
          dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}

}  // namespace testing_support
