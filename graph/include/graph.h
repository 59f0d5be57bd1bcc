// graph.h -- the renderer's whole contract: the flat C entry points of
// GRAPH_ENTRY_POINTS, which draw the scene, the menu, the settings page and the
// pointer with OpenGL on the engine's window, and what a player sees beside
// them: the play screen's overlay and the level chooser. The program calls them
// every frame with what it reads from the rules library. Arrays pass as their
// first element and highest index (-1 when empty).
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
struct TMousePos { int32_t x, y; };  // pixels from the window's outer top-left corner, in every mode

// Menu items and settings-page results.
enum { miNewGame = 0, miContinue = 1, miSave = 2, miLoad = 3, miSettings = 4, miExit = 5,
       srApply = 6, srBack = 7 };
// What SetHighlight names. On the settings page: its six rows in order, then
// srApply and srBack, then the two volume rows. hlPointer: no highlight of the
// keys, the pointer's shows.
enum { hlMode = 0, hlFreq = 1, hlFullScreen = 2, hlMap = 3, hlCubes = 4, hlKeys3D = 5, hlSoundVolume = 8,
       hlMusicVolume = 9, hlPointer = -1 };

// The sound's two volumes, each 0 (off) to 10, as the settings page shows and edits them.
struct TVolumes {
  int32_t Sound, Music;
};
static_assert(sizeof(TVolumes) == 8, "TVolumes layout");

// What shows over a frame besides the scene or page. Texts may be null: not shown.
struct TOverlay {
  const char *SetName;     // the map set in play
  const char *LevelName;   // "Level 3: First push"; null: no play HUD this frame
  int32_t Moves, Pushes;   // cells walked, cells a box was pushed
  int32_t Seconds;         // time on the level
  float Overview;          // 0: the camera behind the player .. 1: the whole level in view
  const char *Message;     // a short confirmation, "Saved"
  const char *Card;        // the level-complete card
  float MessageAlpha, CardAlpha;  // 0..1: they fade in and out
};

// The page of a set whose last level was just solved: what this run of the set took.
struct TSetFinished {
  const char *SetName;                       // may be null
  int32_t Levels;                            // levels the player solved in this run of the set
  int32_t Moves, Pushes, Seconds;            // their sums
};

// What a play frame marks on the level for the mouse. A cell is (x, y) as
// the rules count them: column, and row line upwards from 0.
struct TCellMarks {
  int32_t HoverX, HoverY;  // the cell under the pointer, lit; -1: none
  int32_t BoxX, BoxY;      // the chosen box's cell, outlined; -1: none
  int32_t Width, Height;   // of Marks and Dead
  const uint8_t *Marks;    // Width x Height, cell (x, y) at y * Width + x; non-zero: marked; null: none
  int32_t HintX, HintY;    // the box a hint pushes next, outlined; -1: none
  int32_t HintDx, HintDy;  // the way it goes, one cell: an arrow on its top points there
  const uint8_t *Dead;     // like Marks: non-zero where a box can no longer reach a mark, tinted; null: none
};

// One level of the chooser.
struct TChooserItem {
  const char *Title;                          // "3  First push"
  int32_t BestMoves, BestPushes, BestSeconds;  // -1: no best (never solved, or only from an old save)
  uint8_t Solved;                             // 0 or 1
  uint8_t Hinted;                             // 1: some solution of it used hints (the bests never do)
  uint8_t Pad[2];
};
enum { chNone = -1, chBack = -2, chPreviousPage = -3, chNextPage = -4, ChooserPage = 10 /* levels a page */ };

// The GL context. Init makes a 3.3 core context on Engine's window, makes it
// current and stores it in Engine->GLContext. It stays current until it is
// released, once: by DeInit, or before that by the engine's Close when the
// window goes, which makes no context current and deletes it. So the renderer
// draws only while its context is the current one; after Close every entry
// point leaves GL and the window alone, and DeInit frees only the renderer's
// own memory. DeInit clears Engine->GLContext either way. Engine must outlive
// DeInit; Init may follow DeInit, or an Init that failed, on the same window or
// a new one.

// Each entry point: its name, result, parameters, argument names, and one line
// of what the call promises. This list is the only place they are written
// down: the declarations below, the library's export list and its export check
// are made from it.
#define GRAPH_ENTRY_POINTS(X) \
  X(Init, bool, (TVeltraneEngine *Engine, int32_t ScreenBits, const char *Floor, const char *Box, \
                 const char *Wall, const char *Dest, const char *Water, const char *Menu, const char *MenuBack), \
    (Engine, ScreenBits, Floor, Box, Wall, Dest, Water, Menu, MenuBack), \
    "makes the GL context (Engine->GLContext); false, undone, when it cannot draw") \
  X(DeInit, void, (void), (), \
    "releases all Init made; Init may follow again") \
  X(InitCubes, void, (void), (), \
    "turns the cube effect on for this pass; before Init, no GL yet") \
  X(DeInitCubes, void, (void), (), \
    "turns it off; safe without InitCubes") \
  X(ProcessCubes, void, (void), (), \
    "lit cubes drifting behind a play frame") \
  X(StartDraw, void, (void), (), \
    "first call of every frame") \
  X(EndDraw, void, (const TMousePos *MousePos), (MousePos), \
    "draws the pointer at MousePos and presents the frame") \
  X(ProcessMenu, int32_t, (const TMousePos *MousePos), (MousePos), \
    "draws the menu; 0..5 under the pointer, else -1") \
  X(SetVolumes, void, (TVolumes *Volumes), (Volumes), \
    "the next ProcessSettings shows and edits *Volumes (0..10) as its two volume rows; Volumes must live " \
    "until it returns; without this call the page has no volume rows") \
  X(ProcessSettings, int32_t, \
    (const TMousePos *MousePos, uint8_t LeftButton, TSettings *EditSettings, const TDisplayMode *Modes, \
     int32_t ModesHigh, const int32_t *Freqs, int32_t FreqsHigh, const TMapDescr *Maps, int32_t MapsHigh), \
    (MousePos, LeftButton, EditSettings, Modes, ModesHigh, Freqs, FreqsHigh, Maps, MapsHigh), \
    "draws and edits the settings, one change per press of the (level-triggered) button; " \
    "6 apply, 7 back, else -1") \
  X(MoveToPlayer, void, (uint8_t Direction, const TPlayer *Player, float Angle), (Direction, Player, Angle), \
    "camera behind the player, turned by Angle (degrees)") \
  X(DrawFloor, void, (int32_t Width, int32_t Height), (Width, Height), \
    "the floor of Width x Height cells") \
  X(DrawObjects, void, (const TGameObject *Objects, int32_t High), (Objects, High), \
    "the objects as they stand now (copied)") \
  X(DrawPlayer, void, (const TPlayer *Player), (Player), \
    "the player; completes the scene") \
  X(DrawOverlay, void, (const TOverlay *Overlay), (Overlay), \
    "once a frame, before EndDraw, which draws it over the frame; Overview reaches the camera " \
    "from the next MoveToPlayer on") \
  X(ProcessChooser, int32_t, \
    (const TMousePos *MousePos, const char *SetName, const TChooserItem *Items, int32_t High, int32_t First), \
    (MousePos, SetName, Items, High, First), \
    "draws a page of the levels from First on, and which page of how many; the index of the level " \
    "under the pointer, or chBack, chPreviousPage, chNextPage, chNone") \
  X(SetHighlight, void, (int32_t Item), (Item), \
    "the next ProcessMenu, ProcessSettings or ProcessChooser shows Item (a menu item, a settings " \
    "control, a level) highlighted in place of what is under the pointer, and answers as before") \
  X(DrawSetFinished, void, (const TSetFinished *Finished), (Finished), \
    "draws the page of a finished set, its totals and how to go on, in place of the menu") \
  X(PickCell, bool, (const TMousePos *MousePos, int32_t *CellX, int32_t *CellY), (MousePos, CellX, CellY), \
    "the level's cell under the pointer as the last play frame showed it (a box or wall top, else the floor); " \
    "false off the level") \
  X(DrawCellMarks, void, (const TCellMarks *Marks), (Marks), \
    "between DrawObjects and DrawPlayer: lights, outlines, marks and tints those cells in this frame") \
  X(DrawEditorPanel, void, (const char *const *Lines, int32_t Count), (Lines, Count), \
    "the level editor's panel over this frame: Count lines of text, the first a heading; null lines are blank")

#define GRAPH_DECLARE_ENTRY_POINT(Name, Result, Params, Args, Contract) GRAPH_API Result Name Params;
GRAPH_ENTRY_POINTS(GRAPH_DECLARE_ENTRY_POINT)
#undef GRAPH_DECLARE_ENTRY_POINT

}  // extern "C"

static_assert(sizeof(TSettings) == 20);
static_assert(offsetof(TSettings, Mode) == 4 && offsetof(TSettings, Freq) == 8 &&
              offsetof(TSettings, Map) == 12 && offsetof(TSettings, Cubes) == 16 &&
              offsetof(TSettings, Keys3D) == 17);
static_assert(sizeof(TDisplayMode) == 12);
static_assert(sizeof(TMousePos) == 8 && offsetof(TMousePos, y) == 4);
static_assert(sizeof(TOverlay) == 4 * sizeof(void *) + 24 && offsetof(TOverlay, Message) == 2 * sizeof(void *) + 16 &&
              offsetof(TOverlay, CardAlpha) == 4 * sizeof(void *) + 20);
static_assert(sizeof(TCellMarks) == 40 + 2 * sizeof(void *) && offsetof(TCellMarks, Width) == 16 &&
              offsetof(TCellMarks, Marks) == 24 && offsetof(TCellMarks, HintX) == 24 + sizeof(void *) &&
              offsetof(TCellMarks, Dead) == 40 + sizeof(void *));
static_assert(sizeof(TSetFinished) == sizeof(void *) + 16 && offsetof(TSetFinished, Seconds) == sizeof(void *) + 12);
static_assert(sizeof(TChooserItem) == sizeof(void *) + 16 && offsetof(TChooserItem, Solved) == sizeof(void *) + 12 &&
              offsetof(TChooserItem, Hinted) == sizeof(void *) + 13);
