// LauncherFixture.h -- each launcher test runs in a fresh directory of its own,
// with its own config.ini, map list and level files, against the recording
// window system and the recording renderer. Calls into the rules library join
// the renderer's log (GameSpy.cpp); Timeline() merges that log with the window
// system's log in the order the calls were made.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Kestrove.h"
#include "RecordingGraph.h"
#include "RecordingPlatform.h"

namespace fs = std::filesystem;

// A level set file: the level count byte, then per level a width/height line and its rows.
std::string LevelSet(const std::vector<std::vector<std::string>> &Levels);

// The texts of floats as both logs write them.
std::string FloatText(float Value);

class LauncherTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  void Write(const std::string &Name, const std::string &Content) const;
  std::string Read(const std::string &Name) const;
  bool Exists(const std::string &Name) const { return fs::exists(Dir / Name); }

  // A config.ini of the given lines, with "Maps=maps.ini" first unless NoMaps,
  // and "Pace=0" and "MaxFPS=0" last unless the lines set them.
  void WriteConfig(const std::vector<std::string> &Lines, bool NoMaps = false) const;
  // The usual world: maps.ini names two sets; a.lvl has a level to walk in and
  // a solved one, b.lvl one solved level.
  void WriteStandardWorld() const;

  // Both logs merged in call order, keeping only the names given (all when empty).
  std::vector<std::string> Timeline(const std::set<std::string> &Names = {}) const;
  // Only the recording renderer's and the rules library's entries, so named.
  std::vector<std::string> Calls(const std::set<std::string> &Names = {}) const;
  void ClearLogs();

  // A pass set up as the program would, with the logs then cleared: for frame tests.
  void BeginFramesInMenu();
  void StartPlaying();  // new game of the first set, in play
  void Frame();         // ProcessFrame once

  // Runs after every entry of the renderer's log (renderer and rules calls).
  std::function<void(const RecordingGraph::TCall &)> OnCall;
  int CountOf(const std::string &Name) const;

  fs::path Dir, OldDir;

private:
  std::vector<size_t> Marks;  // the window system's log length at each renderer-log entry
};
