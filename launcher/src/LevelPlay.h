// LevelPlay.h -- what the program keeps about the level in play beyond the
// rules: its steps for undo, redo and restart, its move and push counters and
// its clock. The frame driver calls these at fixed points of a play frame.
#pragma once
#include <cstdint>
#include <string>

#include "History.h"
#include "game.h"

// Keys no binding of the game used before.
inline constexpr unsigned VK_UNDO = 0x5A, VK_REDO = 0x59, VK_RESTART = 0x52;  // Z, Y, R (and Backspace undoes)

struct TLevelPlay {
  THistory History;
  bool StepOpen = false;   // a movement or turn key went down and not all are up yet
  int32_t Moves = 0, Pushes = 0;
  int32_t LevelIndex = 0;  // 0-based, counted as the rules count it
  bool LevelKnown = true;  // false: a save that did not say which level it holds
  uint64_t PlayedMs = 0;   // time in play on the level (or since its save's clock), not in the menu
  uint64_t ClockFrom = 0;  // PlayedMs when the clock last started: restart starts it again
  uint64_t LastFrameMs = 0;
  bool FromOldSave = false;   // continued from a save without the counters (until a restart): no best
  bool SeenUnsolved = false;  // a play frame found it unsolved: solving it is the player's doing
  bool Solved = false;     // its completion was told once
  int32_t Set = -1;        // its map set's entry in the map list; -1: none known
  bool Overview = false;   // the whole level in view while its key is held
  bool Walking = false;    // a click's walk or push is under way: it holds the step open
  uint32_t Jumps = 0;      // counts the times the world was put somewhere (undo, a level loaded)
};
extern TLevelPlay LevelPlay;

// A level was loaded or replaced: steps, counters and clock start again.
void LevelStarted(int32_t LevelIndex);

// Everything above back to its value at program start.
void ForgetLevelPlay();

// Undo, redo and restart on their key going down; a step closes when every
// movement and turn key is up. Before the movement keys are read.
void HandleStepKeys();
// Where the movement keys are read (no turn under way): a key going down
// opens a step, the world as it stands then closing the one before.
void OpenStepOnKey();
// A click's walk or push begins: the world as it stands closes the step
// before, and the walk's step stays open until CloseStepNow.
void OpenStepNow();
// It ended: it is one step; a movement key held now opens the next.
void CloseStepNow();
// After the rules settled the frame: cells walked and cells pushed.
void CountMoves(const TPlayer &Moved, const TObjArray &Objects);

// The level's clock in seconds: play time since it last started.
int32_t LevelSeconds();
// Every frame: the clock runs on in play frames only.
void TickClock(bool InPlay);

// Puts the world back as the history's present says, through a save file the
// rules read as their own; false (and the world unchanged) when that file
// cannot be written.
bool PutBackPresent();

// A save file as the program writes it: the rules' save, then the level's
// counters and clock. A failure to add those is reported; the rules' save stays.
void SaveGame(const std::string &SaveFile);
// Loads a save file and takes up its level: its counters and clock where the
// file holds them, else counted as continued from an old save; restart goes
// back to the level as its set has it wherever the file's position is one of
// that level.
void LoadGame(const std::string &SaveFile);

// The file undo writes the world to for the rules to read; removed after.
inline constexpr const char *UndoFile = "Undo.Dat";
