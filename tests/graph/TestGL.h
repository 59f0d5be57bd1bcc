// TestGL.h -- the tests' own GL calls go through a glad loader, as the
// renderer's do. Its entry points can be fetched only while a context is
// current, so each test fetches them before its first GL call.
#pragma once
#include <SDL.h>
#include <glad/gl.h>

inline void UseTestGL() {
  if (!glad_glReadPixels) gladLoadGL(reinterpret_cast<GLADloadfunc>(SDL_GL_GetProcAddress));
}
