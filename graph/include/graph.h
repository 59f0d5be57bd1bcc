// graph.h -- the renderer's whole contract: 13 flat C entry points that draw the
// scene, the menu, the settings page and the pointer with OpenGL on the engine's
// window. The program calls them every frame with what it reads from the rules
// library. Arrays pass as their first element and highest index (-1 when empty).
#pragma once
#include <cstddef>
#include <cstdint>
#include "Veltrane.h"
#include "game.h"

// On Windows the library's export list names the entry points.
#if defined(GRAPH_BUILD) && !defined(_WIN32)
#define GRAPH_API __attribute__((visibility("default")))
#else
#define GRAPH_API
#endif

extern "C" {

// The settings the program runs with, and the copy the settings page edits.
struct TSettings {
  uint8_t FullScreen;  // 0 window, 1 full screen
  uint8_t Pad1[3];
  int32_t Mode;        // index into the display-mode table (0..7)
  int32_t Freq;        // index into the refresh-rate table (0..10); rate 0 keeps the display's
  int32_t Map;         // index into the map list
  uint8_t Cubes;       // 0 or 1: the renderer's cube effect
  uint8_t Keys3D;      // 0 or 1: arrows turn the view (1) or step sideways (0)
  uint8_t Pad2[2];
};
struct TDisplayMode { int32_t Width, Height, Bits; };
struct TMousePos { int32_t x, y; };  // pixels; in a window from the outer top-left corner

// Menu items and settings-page results.
enum { miNewGame = 0, miContinue = 1, miSave = 2, miLoad = 3, miSettings = 4, miExit = 5,
       srApply = 6, srBack = 7 };

GRAPH_API bool Init(TVeltraneEngine *Engine, int32_t ScreenBits, const char *Floor, const char *Box,
                    const char *Wall, const char *Dest, const char *Water, const char *Menu,
                    const char *MenuBack);   // makes the GL context (Engine->GLContext); false, undone, when it cannot draw
GRAPH_API void DeInit(void);                 // releases all Init made; Init may follow again
GRAPH_API void InitCubes(void);              // turns the cube effect on for this pass; before Init, no GL yet
GRAPH_API void DeInitCubes(void);            // turns it off; safe without InitCubes
GRAPH_API void ProcessCubes(void);           // lit cubes drifting behind a play frame
GRAPH_API void StartDraw(void);              // first call of every frame
GRAPH_API void EndDraw(const TMousePos *MousePos); // draws the pointer at MousePos and presents the frame
GRAPH_API int32_t ProcessMenu(const TMousePos *MousePos); // draws the menu; 0..5 under the pointer, else -1
GRAPH_API int32_t ProcessSettings(const TMousePos *MousePos, uint8_t LeftButton, TSettings *EditSettings,
                                  const TDisplayMode *Modes, int32_t ModesHigh, const int32_t *Freqs,
                                  int32_t FreqsHigh, const TMapDescr *Maps, int32_t MapsHigh);
                                             // draws and edits the settings, one change per press of the
                                             // (level-triggered) button; 6 apply, 7 back, else -1
GRAPH_API void MoveToPlayer(uint8_t Direction, const TPlayer *Player, float Angle); // camera behind the player, turned by Angle (degrees)
GRAPH_API void DrawFloor(int32_t Width, int32_t Height);          // the floor of Width x Height cells
GRAPH_API void DrawObjects(const TGameObject *Objects, int32_t High); // the objects as they stand now (copied)
GRAPH_API void DrawPlayer(const TPlayer *Player);               // the player; completes the scene

}  // extern "C"

static_assert(sizeof(TSettings) == 20);
static_assert(offsetof(TSettings, Mode) == 4 && offsetof(TSettings, Freq) == 8 &&
              offsetof(TSettings, Map) == 12 && offsetof(TSettings, Cubes) == 16 &&
              offsetof(TSettings, Keys3D) == 17);
static_assert(sizeof(TDisplayMode) == 12);
static_assert(sizeof(TMousePos) == 8 && offsetof(TMousePos, y) == 4);
