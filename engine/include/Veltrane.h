// Veltrane.h -- the engine window: the program's one top-level window, its
// non-blocking message pump with frame timing, the frames-per-second count,
// full-screen display modes, and the release of the renderer's GL context.
//
// The renderer receives this object, so its fields form a fixed layout, in this
// order: the slot where the documented object layout keeps its class reference
// (always null here: the class has no virtual functions), two pointer-sized
// handles, then seven 32-bit fields. The asserts below hold it to that; on
// 32-bit Windows it is the documented 40 bytes, so that a renderer built for
// that layout finds every field where it looks, and on x86-64 it is 56.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include "winapi.h"

class TVeltraneEngine {
public:
  const void *ClassReference = nullptr;   // neither read nor written
  HWND Handle = nullptr;       // the window Create made
  HGLRC GLContext = nullptr;   // the renderer's, set by its Init and cleared by its DeInit; Close makes
                               // none current and deletes a non-null one, keeping the value (graph.h)
  uint32_t Frames = 0;         // frames since the last timer tick
  int32_t Time = 0;            // smoothed milliseconds since construction
  uint32_t Delta = 0;          // ms from the previous smoothed time to this frame's first reading
  uint32_t StartTick = 0;      // tick count at construction
  uint32_t LastTime = 0;       // the previous Time
  uint32_t FPS = 0;            // frames counted during the last timer period
  uint32_t Reserved = 0;       // neither read nor written by the program

  static TVeltraneEngine *Create(WNDPROC WndProc); // registers the class, makes and shows the window
  bool ProcessMessage();       // counts the frame, times it, dispatches at most one message
  void UpdateFPS();            // FPS := Frames; Frames := 0
  void Close();                // releases the GL context, restores the display, destroys the window
  HDC DeviceContext() const;
  void SetCaption(const char *Text) const;
  int32_t Left() const;        // outer window rectangle, frame included
  int32_t Top() const;
  int32_t Width() const;
  int32_t Height() const;
  void SetWidth(int32_t NewWidth) const;
  void SetHeight(int32_t NewHeight) const;
  void SetStyle(DWORD Style) const;
  void CentreOnScreen() const; // centred on the display's work area; one larger keeps its top-left corner on it
  void Show() const;
  void Hide() const;
  void Maximize() const;
  bool SetDisplayMode(int32_t Width, int32_t Height, int32_t Bits, int32_t Frequency) const;
  void RestoreDisplayMode() const;
};

static_assert(std::is_standard_layout_v<TVeltraneEngine>);
static_assert(offsetof(TVeltraneEngine, Handle) == sizeof(void *));
static_assert(offsetof(TVeltraneEngine, GLContext) == 2 * sizeof(void *));
static_assert(offsetof(TVeltraneEngine, Frames) == 3 * sizeof(void *));
static_assert(offsetof(TVeltraneEngine, Time) == 3 * sizeof(void *) + 4);
static_assert(offsetof(TVeltraneEngine, Delta) == 3 * sizeof(void *) + 8);
static_assert(offsetof(TVeltraneEngine, StartTick) == 3 * sizeof(void *) + 12);
static_assert(offsetof(TVeltraneEngine, LastTime) == 3 * sizeof(void *) + 16);
static_assert(offsetof(TVeltraneEngine, FPS) == 3 * sizeof(void *) + 20);
static_assert(offsetof(TVeltraneEngine, Reserved) == 3 * sizeof(void *) + 24);
static_assert(sizeof(void *) != 4 || sizeof(TVeltraneEngine) == 40, "the documented 32-bit layout");
