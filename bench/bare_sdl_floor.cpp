// The floor the game's own costs are measured against: a bare SDL2 + OpenGL program that opens a window
// like the game's (640 x 480, or the desktop's size in full screen), clears it and swaps at 26 frames
// per second, waiting for each deadline with SDL_Delay. It draws nothing else and loads nothing.
// With --textured it also draws one 64 x 64 texture as one quad a frame through the fixed-function
// pipeline: the least a program can do that draws any texel, which on a software GL already starts the
// driver's fragment-code compiler (the second floor the figures are set beside).
//
//   bare_sdl_floor [--fullscreen] [--textured] [--frames N]
//
// With --frames N it ends after its N-th swap (--frames 1: exec to the first frame on screen); without it
// it runs until it is killed.
#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  bool fullScreen = false;
  bool textured = false;
  long frames = -1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--fullscreen") == 0) fullScreen = true;
    if (std::strcmp(argv[i], "--textured") == 0) textured = true;
    if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) frames = std::atol(argv[++i]);
  }
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  const Uint32 flags = SDL_WINDOW_OPENGL | (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  SDL_Window* window =
      SDL_CreateWindow("floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, flags);
  if (!window) return 1;
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) return 1;
  SDL_GL_SetSwapInterval(0);
  if (textured) {
    static unsigned texels[64 * 64];
    for (unsigned i = 0; i < 64 * 64; ++i) texels[i] = 0xFF000000u | i * 2654435761u >> 8;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glEnable(GL_TEXTURE_2D);
  }
  const double period = 1000.0 / 26.0;
  double next = static_cast<double>(SDL_GetTicks());
  for (long shown = 0; frames < 0 || shown < frames; ++shown) {
    SDL_Event e;
    while (SDL_PollEvent(&e))
      if (e.type == SDL_QUIT) frames = 0;
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window, &w, &h);
    glViewport(0, 0, w, h);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (textured) {
      glBegin(GL_QUADS);
      glTexCoord2f(0, 0);
      glVertex2f(-0.2f, -0.2f);
      glTexCoord2f(1, 0);
      glVertex2f(0.2f, -0.2f);
      glTexCoord2f(1, 1);
      glVertex2f(0.2f, 0.2f);
      glTexCoord2f(0, 1);
      glVertex2f(-0.2f, 0.2f);
      glEnd();
    }
    SDL_GL_SwapWindow(window);
    if (frames >= 0 && shown + 1 >= frames) break;
    next += period;
    const double now = static_cast<double>(SDL_GetTicks());
    if (next > now) SDL_Delay(static_cast<Uint32>(next - now));
  }
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
