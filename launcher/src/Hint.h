// Hint.h -- help when stuck. H asks the solver for the next push from where
// the player stands; it searches on a worker thread, on a copy of the level
// read from the rules, and the frames go on meanwhile. The answer shows the
// box outlined and an arrow where it goes, or says there is no solution from
// here, or that none was found in time. Shift+H plays that push through the
// rules at the game's pace, as a click's push is played; a key stops it. A
// step (a move, undo, restart, another level) drops the hint and cancels a
// search under way. After each push, boxes that can no longer reach a mark
// are tinted (unless config.ini's DeadBoxes is 0).
#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "Solver.h"
#include "graph.h"

inline constexpr unsigned VK_HINT = 0x48;  // H; with Shift: show me
inline constexpr auto HintWithin = std::chrono::milliseconds(1000);

// The level in play on whole cells, as the rules have it now.
solver::Board BoardFromRules();

// The first push of a solution: the walk to the box, then that push.
struct TNextPush {
  int32_t BoxX = -1, BoxY = -1;  // the box's cell, before the push
  int32_t Dx = 0, Dy = 0;        // the way it goes
  std::string Moves;             // the walk's moves, the push last ("urrU")
};
// None (BoxX < 0) when Moves holds no push or runs off the board.
TNextPush FirstPush(const solver::Board &Board, const std::string &Moves);

// Once a rule frame, after the mouse is read: the hint keys, a search's
// answer, a step that drops the hint, and the dead-box check after a push.
void HintRuleFrame();
// A drawn play frame: the hint's box and arrow, and the dead boxes, into Marks.
void AddHintMarks(TCellMarks &Marks);
// No hint, no search, nothing found dead: as at program start.
void ForgetHints();
