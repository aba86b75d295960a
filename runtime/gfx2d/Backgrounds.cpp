// Loading a picture into a background set (being written).
#include "runtime/gfx2d/Renderer2D.h"

bool OpenGLVezovede::LoadBackgroundSet(int, const std::string&) { return false; }
