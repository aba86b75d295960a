// Tests that open a window with OpenGL in their own process, under the leak checker of the sanitizer build.
#pragma once

namespace testing_support {

// The GL driver is unloaded before the leak check runs, so what it still holds at exit would look lost
// and nameless; keeping every library loaded once the window is up keeps that memory reachable. (Linking
// this also tells the leak checker that the desktop bus library keeps one buffer to the end on purpose.)
void KeepLibrariesLoaded();

}  // namespace testing_support
