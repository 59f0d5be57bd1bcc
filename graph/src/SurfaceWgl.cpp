// The GL context through WGL, on the engine's own window: a plain context
// first, because wglCreateContextAttribsARB is only reached through one, then
// the 3.3 core context the renderer draws with.
#include "Surface.h"

#include <glad/gl.h>

namespace graph {
namespace {

constexpr int WglContextMajorVersion = 0x2091, WglContextMinorVersion = 0x2092,
              WglContextProfileMask = 0x9126, WglContextCoreProfileBit = 0x1;
using CreateContextAttribsFunction = HGLRC(WINAPI *)(HDC, HGLRC, const int *);
using SwapIntervalFunction = BOOL(WINAPI *)(int);

// The window's device context; the class keeps one per window (CS_OWNDC), so
// it is never released.
HDC WindowDc(HWND Window) { return GetDC(Window); }

bool ChoosePixelFormatOnce(HDC Dc) {
  if (GetPixelFormat(Dc) != 0) return true;  // a window's format is set once for its life
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 24;
  pfd.cStencilBits = 8;
  pfd.iLayerType = PFD_MAIN_PLANE;
  const int format = ChoosePixelFormat(Dc, &pfd);
  return format != 0 && SetPixelFormat(Dc, format, &pfd);
}

template <typename Function>
Function WglFunction(const char *Name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(wglGetProcAddress(Name)));
}

}  // namespace

bool WindowTakesGL(HWND Window, std::string &Why) {
  if (IsWindow(Window)) return true;
  Why = "there is no window to draw in";
  return false;
}

GLContextHandle CreateGLContext(HWND Window, std::string &Why) {
  const HDC dc = WindowDc(Window);
  if (!dc || !ChoosePixelFormatOnce(dc)) {
    Why = "the window offers no OpenGL pixel format";
    return nullptr;
  }
  const HGLRC plain = wglCreateContext(dc);
  if (!plain || !wglMakeCurrent(dc, plain)) {
    if (plain) wglDeleteContext(plain);
    Why = "the graphics driver gives no OpenGL context";
    return nullptr;
  }
  const auto createAttribs = WglFunction<CreateContextAttribsFunction>("wglCreateContextAttribsARB");
  const int attributes[] = {WglContextMajorVersion, 3, WglContextMinorVersion, 3,
                            WglContextProfileMask, WglContextCoreProfileBit, 0};
  const HGLRC core = createAttribs ? createAttribs(dc, nullptr, attributes) : nullptr;
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(plain);
  if (!core || !wglMakeCurrent(dc, core)) {
    if (core) wglDeleteContext(core);
    Why = "the graphics driver gives no OpenGL 3.3 core context";
    return nullptr;
  }
  return core;
}

bool IsCurrentGLContext(GLContextHandle Context) {
  return Context && wglGetCurrentContext() == static_cast<HGLRC>(Context);
}

void DeleteGLContext(HWND, GLContextHandle Context) {
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(static_cast<HGLRC>(Context));
}

int LoadGLEntryPoints() {
  const int version = gladLoaderLoadGL();
  return GLAD_VERSION_MAJOR(version) * 10 + GLAD_VERSION_MINOR(version);
}

void SyncToDisplay() {
  if (const auto swapInterval = WglFunction<SwapIntervalFunction>("wglSwapIntervalEXT")) swapInterval(1);
}

void Present(HWND Window) { SwapBuffers(WindowDc(Window)); }

void DrawableSize(HWND Window, int &Width, int &Height) {
  RECT client{};
  GetClientRect(Window, &client);
  Width = client.right - client.left;
  Height = client.bottom - client.top;
}

void ClientArea(HWND Window, int &Left, int &Top, int &Width, int &Height) {
  RECT outer{};
  GetWindowRect(Window, &outer);
  POINT origin{0, 0};
  ClientToScreen(Window, &origin);
  Left = origin.x - outer.left;
  Top = origin.y - outer.top;
  DrawableSize(Window, Width, Height);
}

uint32_t Milliseconds() { return GetTickCount(); }

bool ShowErrorBox(HWND Window, const std::string &Text, std::string &Why) {
  if (MessageBoxA(Window, Text.c_str(), "Error", MB_OK | MB_ICONERROR) != 0) return true;
  Why = "error " + std::to_string(GetLastError());
  return false;
}

}  // namespace graph
