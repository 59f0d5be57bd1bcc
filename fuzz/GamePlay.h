// GamePlay.h -- what the game fuzz targets do with a world once it is loaded:
// play it for a few frames and check that a save brings it back unchanged.
#pragma once
#include "Check.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// A file name of this process for Suffix ("lvl", "sav", ...), in /tmp.
const std::string &TempName(const std::string &Suffix);

// A few frames of input: each byte picks moves and turns, as the keys would.
// Each frame settles both the plain way and the way play does; they must agree.
void Play(const uint8_t *Data, std::size_t Size);

// Saves the world and loads it back; everything saved must come back.
void SaveAndLoadBack();

} // namespace fuzz
