// Generate.h -- random levels that are solvable by construction: boxes start
// on their destinations and are pulled away by a player walking backwards, so
// playing the pulls forwards solves the level. Water is made the same way: a
// box appears beside the player and the cell beyond it turns to water, which
// forwards is that box filling the water.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "LevelSet.h"

namespace levels {

struct LevelClass {
  std::string Name;
  int Width, Height;  // walls round the edge included
  int Boxes;          // boxes that end on destinations
  int Waters;         // extra boxes, each of which fills one water
  int Pulls;          // pulls walked backwards from the solved position
};

// The classes the benchmark and the `generate` command know by name.
const std::vector<LevelClass> &LevelClasses();
const LevelClass *FindLevelClass(const std::string &Name);

// Count levels of the class from Seed; the same arguments give the same set on
// every platform. Each level passes CheckLevel.
LevelSet GenerateLevels(const LevelClass &Class, int Count, uint64_t Seed);

}  // namespace levels
