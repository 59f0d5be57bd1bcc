// Autopilot.h -- plays a grid solution through the real rules library and
// records the keys it held, frame by frame.
//
// A grid solution is a string in the genre's move notation: u d l r walk one
// cell (u = towards the first row line = +y, r = +x), U D L R push a box one
// cell; blanks are ignored and a decimal count repeats the next move ("3r").
// Positions are continuous, so a move is not a fixed number of frames: a push
// needs a touch first, a pushed box trails the player by 0.1, and steps of 0.1
// accumulate float error. The autopilot holds each key until the player (or
// the pushed box) has reached its cell, reading positions from the library,
// and taps the perpendicular keys to stay centred in corridors. Before a push
// into water it makes sure the player will trail the box far enough not to
// touch the water, nudging it with a view turn when float error says otherwise.
//
// Everything here drives the one world inside the rules library: one level at
// a time, on the caller's thread.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "Recording.h"
#include "Steer.h"

namespace Autopilot {

// ---- Level files ----------------------------------------------------------

// What a packed level file says about one level, read the way the rules
// library reads it (raw count and size bytes, row lines from the top).
struct TLevelInfo {
  int32_t Width = 0, Height = 0;
  int32_t Objects = 0;                 // objects the loader creates
  int32_t Boxes = 0, Targets = 0, Water = 0;
  bool HasPlayer = false;
  int32_t PlayerColumn = 0, PlayerY = 0;  // the start cell (x, y), y = 0 on the last row line
};

// Reads every level present in a packed level file. False, with a message
// naming the file, when it cannot be read or holds no set header.
bool ReadLevelFile(const std::string &FileName, std::vector<TLevelInfo> &Levels, std::string &Error);

// ---- The frame driver's play frame ----------------------------------------

// One play frame as the launcher's frame driver runs it for these held keys,
// without drawing: Escape, the turn and move calls (only while no view turn is
// under way), GameProcessRotate, the count of covered boxes and destinations,
// GameProcessPlayer. Returns true when the count shows the level complete, which
// is when the frame driver calls GameNextLevel; it does so here too when
// NextLevel is set.
bool PlayFrame(TKeys Keys, bool Keys3D, bool NextLevel);

// Counts as the frame driver does: boxes marked on a destination, destinations.
void CountCovered(int32_t &Covered, int32_t &Targets);

// Starts a game on the level file and builds the given level: GameInit,
// GameNewGame, then GameLoadMap for a later level. The library's own level
// index stays 0. False, with a message, when the level does not exist.
bool StartLevel(const std::string &LevelFile, int32_t LevelIndex, std::string &Error);

// ---- Grid solutions --------------------------------------------------------

// Parses a solution; on a bad character, false with a message naming its position.
bool ParseSolution(const std::string &Text, std::vector<TMove> &Moves, std::string &Error);

// ---- The autopilot ---------------------------------------------------------

struct TFlight {
  bool Completed = false;         // the level was completed
  TRecording Recording;           // the keys held, from the level's first frame to the completing one
  int32_t MovesPlayed = 0;        // moves of the solution played (fewer than all when it completed early)
  int32_t FailedMove = -1;        // 0-based move that could not be followed, or -1
  std::string Error;              // why not, when !Completed
};

// Plays Moves on the level now in play (see StartLevel) with Keys3D off, the
// keys chosen for the player's facing. Stops at the frame that completes the level.
TFlight Fly(const std::vector<TMove> &Moves);

// StartLevel and Fly together; the recording names LevelName (the file name as
// the recording should refer to it) and LevelIndex.
TFlight FlyLevel(const std::string &LevelFile, const std::string &LevelName, int32_t LevelIndex,
                 const std::string &Solution);

// Replays a recording on the level now in play. Returns the 1-based frame that
// completed the level, or 0 when it never did. Frames after that one are not played.
uint64_t Replay(const TRecording &Recording);

}  // namespace Autopilot
