// The program every batched draw runs: the vertex corner moved into the view, the texel (when the draw
// is textured) times the draw's colour, and fragments at or below the alpha reference dropped. Two ways
// to say it to the GL: GLSL shaders (GL 2.0, GLES 2 and the browser), or the older assembly programs
// where a desktop GL offers them, which the GL turns into the same fragment code without starting its
// GLSL compiler (on a software GL that compiler and its built-in library are megabytes of memory and
// milliseconds of start-up for a program of five lines).
#pragma once

#include <memory>

#include "runtime/platform/Platform.h"

// The vertex attributes of the batch: corner position and texture coordinate.
enum BatchAttribute : unsigned { kAttribPosition = 0, kAttribTexCoord = 1 };

// Looks the GL entry point `name` up through the platform into `f`; false where the GL lacks it.
template <typename F>
bool LookUpGl(plat::Platform& platform, const char* name, F& f) {
  f = reinterpret_cast<F>(platform.GlProcAddress(name));
  return f != nullptr;
}

class GlPrograms {
 public:
  virtual ~GlPrograms() = default;
  // Makes the programs current (and sampler unit 0 theirs); the values below are then sent afresh.
  virtual void Use() = 0;
  virtual void SetTextured(bool textured) = 0;
  virtual void SetColour(const float colour[4]) = 0;
  // Fragments whose alpha is at or below `reference` are dropped.
  virtual void SetAlphaReference(float reference) = 0;
  // Clip position = corner * (sx, sy) + (tx, ty).
  virtual void SetView(float sx, float sy, float tx, float ty) = 0;
  // "glsl" or "assembly", for messages and tests.
  virtual const char* Kind() const = 0;
};

// The programs for the current GL context: assembly programs on a desktop GL that lists both program
// extensions, else GLSL shaders; with `glslOnly` GLSL shaders in any case. Null when neither builds.
std::unique_ptr<GlPrograms> CreateGlPrograms(plat::Platform& platform, bool glslOnly);
