// MousePlay.h -- play with the mouse. The cell under the pointer is lit; a
// click on a floor cell the player can reach walks there; a click on a box
// chooses it (outlined, the cells it can be pushed to marked) and a click on
// a cell then pushes it there. A walk or push is played as held keys, one
// rule frame at a time at the game's pace, and is one step for undo; a
// movement key, a click or Escape stops it at the next cell. A right click or
// Escape lets the chosen box go.
#pragma once
#include <cstdint>

// The keys a walk holds this rule frame, as the movement and turn keys with
// arrows stepping sideways. It turns the view only to line up a push into water.
struct TWalkKeys {
  bool Up = false, Down = false, Left = false, Right = false, PageUp = false, PageDown = false;
};

// Once a rule frame, first: clicks, the right button, and Escape while a walk
// runs or a box is chosen (then it does not open the menu).
void ReadPlayMouse();
// Where the movement keys are read (no turn under way): true, with the keys
// to hold, while a walk or push is under way; the movement keys are then not read.
bool WalkKeys(TWalkKeys &Keys);
// A drawn play frame, between DrawObjects and DrawPlayer: the marks on the level.
void DrawPlayMouseMarks();

bool WalkUnderWay();
void ForgetMousePlay();  // no choice, no walk: as at program start
