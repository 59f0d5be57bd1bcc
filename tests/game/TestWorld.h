// Helpers for the rules library's tests: a private temporary directory, level
// files written from rows, and direct access to the world.
#pragma once
#include "World.h"
#include "../support/MakeTempDir.h"
#include "game.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

struct TLevel {
  std::vector<std::string> Rows;
  int Width = -1; // -1: the longest row
  int Height = -1; // -1: the number of rows
};

// The raw bytes of a level file: count byte, then per level a width/height
// header line and the rows, LF line ends.
inline std::string LevelFileBytes(const std::vector<TLevel> &Levels, int Count = -1)
{
  std::string S;
  S += static_cast<char>(Count < 0 ? Levels.size() : Count);
  S += '\n';
  for (const TLevel &L : Levels) {
    std::size_t W = 0;
    for (const std::string &R : L.Rows) W = std::max(W, R.size());
    S += static_cast<char>(L.Width < 0 ? W : L.Width);
    S += static_cast<char>(L.Height < 0 ? L.Rows.size() : L.Height);
    S += '\n';
    for (const std::string &R : L.Rows) S += R + '\n';
  }
  return S;
}

class TWorldTest : public ::testing::Test {
protected:
  std::filesystem::path Dir;

  void SetUp() override
  {
    Dir = MakeTempDir("kestrove-game-");
    ASSERT_FALSE(Dir.empty());
    world::Player = TPlayer{};
    world::FieldSize = TFieldSize{};
    world::LevelIndex = 0;
    world::LevelCount = 0;
    world::LevelFile.clear();
    world::GameState = 0;
    GameInit();
  }

  void TearDown() override
  {
    GameDeInit();
    std::error_code Ec;
    std::filesystem::remove_all(Dir, Ec);
  }

  std::string PathOf(const std::string &Name) const { return (Dir / Name).string(); }

  std::string WriteFile(const std::string &Name, const std::string &Bytes) const
  {
    const std::string P = PathOf(Name);
    std::ofstream(P, std::ios::binary) << Bytes;
    return P;
  }

  std::string ReadFile(const std::string &Name) const
  {
    std::ifstream F(PathOf(Name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(F), {});
  }

  std::string WriteLevels(const std::vector<TLevel> &Levels, int Count = -1,
                          const std::string &Name = "levels.txt") const
  {
    return WriteFile(Name, LevelFileBytes(Levels, Count));
  }

  // Starts a one-level set built from these rows.
  void Play(std::initializer_list<std::string> Rows)
  {
    GameNewGame(WriteLevels({TLevel{Rows}}).c_str());
    ASSERT_EQ(GameGetState(), 0);
  }

  static const TGameObject &Obj(int I) { return world::Objects.at(I); }
  static int ObjCount() { return static_cast<int>(world::Objects.size()); }
  static const TBox &PlayerBox() { return world::Player.Box; }

  // One frame of the launcher with an arrow key held: move, then settle.
  static void Frame(float Forward, float Sideways = 0.0f)
  {
    if (Forward != 0.0f) GameMovePlayer(Forward);
    if (Sideways != 0.0f) GameMovePlayerX(Sideways);
    GameProcessPlayer();
  }

  static void Frames(int N, float Forward, float Sideways = 0.0f)
  {
    for (int I = 0; I < N; ++I) Frame(Forward, Sideways);
  }

  static void Face(int Direction) { world::Player.Direction = static_cast<uint8_t>(Direction); }
};
