// SaveTrailer.h -- the program's reading of a save file's bytes: where the
// rules' part ends, and what the "LEVL" and "PLAY" blocks after it say.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "game.h"

// The bytes of a save file as the rules wrote it: 80 of player, width,
// height, the name's length and bytes, the object count, 88 per object, then
// "LEVL", the level's index and the set's level count. The program adds
// "PLAY", the moves and pushes (32-bit) and the clock in ms (64-bit).
struct TSaveLayout {
  size_t ObjectsAt = 0;
  int32_t Count = 0;
  size_t End() const { return ObjectsAt + size_t(Count) * sizeof(TGameObject); }
};

inline constexpr size_t PlaceBytes = 12, CountersBytes = 20;

// Where the objects lie; false when the bytes end before the ones they declare.
bool ReadSaveLayout(const std::string &Bytes, TSaveLayout &Layout);

// What the program reads of a save besides the world.
struct TSavedGame {
  std::string LevelFile;
  int32_t Index = -1;     // in its set; -1 when the file does not say
  bool Counted = false;   // the counters below are the file's
  int32_t Moves = 0, Pushes = 0;
  uint64_t PlayedMs = 0;
};

// Any bytes: what a whole, sensible trailer says, else what can be known
// without it. Never reads outside Bytes.
TSavedGame ReadSavedGameBytes(const std::string &Bytes);
