// LevelSet.h -- a set of levels in memory, its readable source form and its
// packed level file, with every problem found reported as a Problem.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace levels {

// One finding about an input: where it is, and what is wrong.
struct Problem {
  enum Severity { Error, Warning };
  Severity Kind = Error;
  std::string File;
  int Line = 0;     // 1-based line of the file; 0 when not tied to a line
  int Level = -1;   // 0-based level; -1 when not tied to a level
  std::string Text;
};
using Problems = std::vector<Problem>;

// "file:line: level N: text" (N 1-based), the form every command prints.
std::string FormatProblem(const Problem &P);
bool HasErrors(const Problems &List);

// A "Key: value" line of a source header, kept verbatim.
struct Header {
  std::string Key;
  std::string Value;
};

// One level: its headers and rows in the game's own cell bytes.
struct Level {
  std::vector<Header> Headers;
  int Width = 0;
  int Height = 0;
  std::vector<std::string> Rows;  // Height rows of Width game cell bytes, first row = top
  int Line = 0;                   // where the level starts in the file it came from

  std::string HeaderValue(const std::string &Key) const;  // "" when absent
  void SetHeader(const std::string &Key, const std::string &Value);
};

struct LevelSet {
  std::vector<Header> Headers;  // set-wide "Key: value" lines
  std::vector<Level> Levels;
};

// Game cell bytes.
constexpr char CellInert = '0', CellWall = '1', CellBox = '2', CellGoal = '3',
               CellBoxOnGoal = '4', CellWater = '5', CellPlayer = '9';

// The source character of a game cell byte, or 0 when it has none.
char SourceCharOf(char Cell);
// The game cell byte of a source character, or 0 when it is not a cell character.
char CellOfSourceChar(char C);

// A count, width or height byte the game's line reading would mangle.
bool IsUnstorableByte(int Value);
std::string UnstorableReason(int Value);

struct Counts {
  int Boxes = 0, Destinations = 0, Water = 0, Players = 0, BoxesOnDestinations = 0;
};
Counts CountCells(const Level &L);

// Readable source: parses Text (named File in messages). Problems are appended;
// the set is meaningful only when no error was added.
LevelSet ParseSource(const std::string &Text, const std::string &File, Problems &Out);
std::string WriteSource(const LevelSet &Set);

// Level file: the levels hold the cells the game builds from Bytes, read by the
// game's own reader (conf's LevelFile.h); everything in the raw bytes that the
// game would misread is reported. Levels that could be read are returned even
// with errors.
LevelSet ReadLevelFile(const std::string &Bytes, const std::string &File, Problems &Out);
// Level file bytes; Out gets the reasons when the set cannot be stored.
std::string WriteLevelFile(const LevelSet &Set, const std::string &File, Problems &Out);

// The checks a shipped or imported level must pass (players, boxes against
// destinations, sizes, enclosure). Line numbers come from Level::Line.
void CheckLevel(const Level &L, int Index, const std::string &File, Problems &Out);

// Whole files, with a Problem on failure instead of an exception. Only regular
// files of at most MaxInputBytes are read: a device, a pipe or a runaway file
// would otherwise take all memory.
constexpr std::size_t MaxInputBytes = std::size_t(64) * 1024 * 1024;
bool ReadWholeFile(const std::string &Path, std::string &Bytes, Problems &Out);
bool WriteWholeFile(const std::string &Path, const std::string &Bytes, Problems &Out);

}  // namespace levels
