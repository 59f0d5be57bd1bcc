// The GL context through SDL2, on the window the SDL platform made
// (NativeWindow.h says what its handles stand for).
#include "Surface.h"

#include <SDL.h>
#include <glad/gl.h>

#include "NativeWindow.h"

namespace graph {
namespace {

bool IsFullScreen(SDL_Window *W) {
  return (SDL_GetWindowFlags(W) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS)) != 0;
}

}  // namespace

bool WindowTakesGL(HWND Window, std::string &Why) {
  if (SDL_GetWindowFlags(NativeWindow(Window)) & SDL_WINDOW_OPENGL) return true;
  Why = "the window was not made for OpenGL";
  return false;
}

GLContextHandle CreateGLContext(HWND Window, std::string &Why) {
  SDL_Window *window = NativeWindow(Window);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  const SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    Why = std::string("the graphics driver gives no OpenGL 3.3 core context (") + SDL_GetError() + ")";
    return nullptr;
  }
  if (SDL_GL_MakeCurrent(window, context) != 0) {
    Why = std::string("the OpenGL context cannot be used (") + SDL_GetError() + ")";
    SDL_GL_DeleteContext(context);
    return nullptr;
  }
  return context;
}

bool IsCurrentGLContext(GLContextHandle Context) { return Context && SDL_GL_GetCurrentContext() == Context; }

void DeleteGLContext(HWND Window, GLContextHandle Context) {
  SDL_GL_MakeCurrent(NativeWindow(Window), nullptr);
  SDL_GL_DeleteContext(Context);
}

int LoadGLEntryPoints() {
  const int version = gladLoadGL(reinterpret_cast<GLADloadfunc>(SDL_GL_GetProcAddress));
  return GLAD_VERSION_MAJOR(version) * 10 + GLAD_VERSION_MINOR(version);
}

void SyncToDisplay() { SDL_GL_SetSwapInterval(1); }

void Present(HWND Window) { SDL_GL_SwapWindow(NativeWindow(Window)); }

void DrawableSize(HWND Window, int &Width, int &Height) {
  SDL_GL_GetDrawableSize(NativeWindow(Window), &Width, &Height);
  if (Width <= 0 || Height <= 0) SDL_GetWindowSize(NativeWindow(Window), &Width, &Height);
}

void ClientArea(HWND Window, int &Left, int &Top, int &Width, int &Height) {
  SDL_Window *window = NativeWindow(Window);
  Left = Top = 0;
  if (!IsFullScreen(window) && SDL_GetWindowBordersSize(window, &Top, &Left, nullptr, nullptr) != 0) Left = Top = 0;
  SDL_GetWindowSize(window, &Width, &Height);
}

uint32_t Milliseconds() { return SDL_GetTicks(); }

bool ShowErrorBox(HWND Window, const std::string &Text, std::string &Why) {
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", Text.c_str(), NativeWindow(Window)) == 0) return true;
  Why = SDL_GetError();
  return false;
}

}  // namespace graph
