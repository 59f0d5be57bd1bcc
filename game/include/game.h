/* game.h -- the rules library's whole contract.
 *
 * One world lives inside the library: the level in play, the player, the view
 * angles and the screen state. The program drives it frame by frame through
 * the flat C entry points of GAME_ENTRY_POINTS; nothing else is exported.
 *
 * Units: one cell is 1.0; x grows with a level row's column, y upwards through
 * the rows (the last row line is y = 0), z is height. Positions are doubles,
 * angles (degrees), amounts and Step are 32-bit floats. Strings are
 * NUL-terminated 8-bit strings; the library copies what it keeps.
 *
 * A file that cannot be read or written ends the process: the fatal handler,
 * if the program installed one, then the report on stderr, then the error
 * number as exit status.
 */
#ifndef KESTROVE_GAME_H
#define KESTROVE_GAME_H

#include <stdbool.h>
#include <stdint.h>
#include <stdlib.h>

/* On Windows the library's export list names the entry points. */
#if defined(GAME_BUILD) && !defined(_WIN32)
#define GAME_API __attribute__((visibility("default")))
#else
#define GAME_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct { double x, y, z, sx, sy, sz; } TBox;        /* 48 bytes: min corner, extents */
typedef struct { double x, y, z; } TPoint3;                  /* 24 bytes */
typedef struct {
  uint8_t Kind; uint8_t Pad1[7]; TBox Box; TPoint3 SavedPos;
  int32_t OnTarget; int32_t Pad2;
} TGameObject;                                               /* 88 bytes */
typedef struct {
  TBox Box; TPoint3 PrevPos; uint8_t Direction; uint8_t Pad[3];
  float Step;
} TPlayer;                                                   /* 80 bytes */
typedef struct { int32_t Width, Height; } TFieldSize;
typedef struct { TGameObject *Items; int32_t Count; } TObjArray; /* a view of the library's own array */
typedef struct { char *FileName; char *Title; } TMapDescr;
typedef struct { TMapDescr *Items; int32_t Count; } TMaps;   /* all malloc'd; free with FreeMaps */
typedef void (*TGameFatalHandler)(int32_t Code, const char *Text); /* exit status, report */

enum { okInert = 0, okWall = 1, okBox = 2, okTarget = 3, okWater = 5 };

/* GameState values. */
enum { gsPlay = 0, gsMenu = 1, gsSettings = 2 };

/* The entry points, one per line: name, result, parameters, argument names and
 * what the call promises. This list is the only place they are written down:
 * the declarations below, the library's export list, its export check and the
 * launcher tests' call log are all made from it. */
#define GAME_ENTRY_POINTS(X) \
  X(GameInit, void, (void), (), \
    "installs the player rule, zeroes the angles, empties the objects") \
  X(GameDeInit, void, (void), (), \
    "empties the objects") \
  X(GameLoadMaps, void, (const char *FileName, TMaps *Maps), (FileName, Maps), \
    "replaces Maps by the sets the map list names") \
  X(GameLoadMap, bool, (const char *FileName, int32_t *LevelIndex), (FileName, LevelIndex), \
    "builds one level; true when built") \
  X(GameNewGame, void, (const char *LevelFile), (LevelFile), \
    "starts a set at its first level") \
  X(GameNextLevel, void, (void), (), \
    "next level of the set, or the menu after the last") \
  X(GameGetState, uint8_t, (void), (), \
    "0 play, 1 menu, 2 settings, or what was set") \
  X(GameSetState, void, (uint8_t State), (State), \
    "sets the state; play is refused while no level is loaded") \
  X(GameSave, void, (const char *FileName), (FileName), \
    "writes the world to a save file") \
  X(GameLoad, void, (const char *FileName), (FileName), \
    "replaces the world by a save file") \
  X(GameMovePlayer, void, (float Amount), (Amount), \
    "moves along the facing by Amount * Step, untested") \
  X(GameMovePlayerX, void, (float Amount), (Amount), \
    "moves sideways by Amount * Step, untested") \
  X(GameProcessPlayer, void, (void), (), \
    "settles the move against every object, pushes boxes") \
  X(GameRotate, void, (int32_t Quarters), (Quarters), \
    "starts a view turn and turns the facing at once") \
  X(GameGetRotateAngle, float, (void), (), \
    "degrees of the turn still to cover") \
  X(GameRoundCurrAngle, void, (void), (), \
    "snaps the view angle to whole degrees") \
  X(GameGetCurrAngle, float, (void), (), \
    "the view angle now drawn") \
  X(GameProcessRotate, void, (void), (), \
    "one frame of the view turn's easing") \
  X(GameGetPlayer, TPlayer, (void), (), \
    "a copy of the player") \
  X(GameGetObjects, TObjArray, (void), (), \
    "the library's own objects, valid until the next rebuild") \
  X(GameGetFieldSize, TFieldSize, (void), (), \
    "a copy of the level's size in cells") \
  X(GameSetFatalHandler, void, (TGameFatalHandler Handler), (Handler), \
    "runs before a file error ends the process; null: none") \
  X(GameSetView, void, (float CurrAngle, float RotateAngle), (CurrAngle, RotateAngle), \
    "puts back a view a load cannot carry: the angle and the turn still to cover")

#define GAME_DECLARE_ENTRY_POINT(Name, Result, Params, Args, Contract) GAME_API Result Name Params;
GAME_ENTRY_POINTS(GAME_DECLARE_ENTRY_POINT)
#undef GAME_DECLARE_ENTRY_POINT

/* Frees every entry of a map list that GameLoadMaps filled, and empties it. */
static inline void FreeMaps(TMaps *Maps)
{
  int32_t i;
  if (!Maps) return;
  for (i = 0; i < Maps->Count; ++i) {
    free(Maps->Items[i].FileName);
    free(Maps->Items[i].Title);
  }
  free(Maps->Items);
  Maps->Items = NULL;
  Maps->Count = 0;
}

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
#include <cstddef>
static_assert(sizeof(TBox) == 48, "TBox is 48 bytes");
static_assert(sizeof(TPoint3) == 24, "TPoint3 is 24 bytes");
static_assert(sizeof(TGameObject) == 88, "TGameObject is 88 bytes");
static_assert(offsetof(TGameObject, Box) == 8 && offsetof(TGameObject, SavedPos) == 56 &&
              offsetof(TGameObject, OnTarget) == 80, "TGameObject layout");
static_assert(sizeof(TPlayer) == 80, "TPlayer is 80 bytes");
static_assert(offsetof(TPlayer, PrevPos) == 48 && offsetof(TPlayer, Direction) == 72 &&
              offsetof(TPlayer, Step) == 76, "TPlayer layout");
static_assert(sizeof(TFieldSize) == 8, "TFieldSize is 8 bytes");
#endif

#endif
