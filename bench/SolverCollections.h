// SolverCollections.h -- the collections the solver is measured on: the
// shipped sets and the generated classes, 50 levels each from a fixed seed.
#pragma once
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Generate.h"
#include "LevelSet.h"

struct SolverCollection {
  std::string Name;
  levels::LevelSet Set;
};

inline std::vector<SolverCollection> SolverCollections() {
  std::vector<SolverCollection> Out;
  for (const char *Name : {"intro", "classic", "water"}) {
    const auto Path = std::filesystem::path(KESTROVE_DATA_DIR) / "levels" / (std::string(Name) + ".txt");
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream Text;
    Text << In.rdbuf();
    levels::Problems Ignored;
    Out.push_back({Name, levels::ParseSource(Text.str(), Path.string(), Ignored)});
  }
  for (const auto &Class : levels::LevelClasses())
    Out.push_back({"generated " + Class.Name, levels::GenerateLevels(Class, 50, 7)});
  return Out;
}
