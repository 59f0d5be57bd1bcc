// EditLevel.h -- the level the editor holds: its cells, painted with tools,
// with undo and redo by stroke, resized on any side; what it counts and what
// keeps the game from loading it; and its saving into the player's own set,
// a readable source and a packed level file written by the level tool's code.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "LevelSet.h"

enum class TEditTool : uint8_t { Wall, Floor, Mark, Box, Water, Inert, Player };
inline constexpr int32_t EditToolCount = 7;
const char *ToolName(TEditTool Tool);

enum class TSide : uint8_t { Left, Right, Top, Bottom };

struct TLevelCounts {
  int32_t Boxes = 0, Marks = 0, Water = 0, Players = 0;
  bool Enclosed = false;  // one player, and walls keep it in
};

class TEditLevel {
public:
  static constexpr int32_t MaxSide = 255;

  // An empty room of Width x Height with walls all round (at least 3 x 3).
  static TEditLevel Room(int32_t Width, int32_t Height);
  // A level of a set, its headers kept.
  static TEditLevel FromLevel(const levels::Level &Level);

  int32_t Width() const { return Source.Width; }
  int32_t Height() const { return Source.Height; }
  // Cells as the rules count them: x the column, y the row line upwards from 0.
  bool Inside(int32_t X, int32_t Y) const { return X >= 0 && Y >= 0 && X < Width() && Y < Height(); }
  char CellAt(int32_t X, int32_t Y) const;  // a game cell byte

  // A stroke groups paints into one undo step; a paint outside one is its own.
  void BeginStroke();
  void EndStroke();
  // False when nothing changed (outside the level, or the cell already so).
  bool Paint(int32_t X, int32_t Y, TEditTool Tool);
  // Every cell on the straight line between the two, both ends included.
  bool PaintLine(int32_t FromX, int32_t FromY, int32_t ToX, int32_t ToY, TEditTool Tool);
  // A row or column of floor added, or the outer one removed; false at the size limits.
  bool Grow(TSide Side);
  bool Shrink(TSide Side);

  bool Undo();
  bool Redo();
  bool CanUndo() const { return !Past.empty(); }
  bool CanRedo() const { return !Future.empty(); }
  // Counts each change, undo and redo included: what was worked out from the level is stale when it moved.
  uint64_t Version() const { return Changes; }

  std::string Title() const { return Source.HeaderValue("Title"); }
  std::string Author() const { return Source.HeaderValue("Author"); }
  // An empty text takes the header away. Undo leaves both as typed.
  void SetTitle(const std::string &Text) { SetHeader("Title", Text); }
  void SetAuthor(const std::string &Text) { SetHeader("Author", Text); }

  TLevelCounts Counts() const;
  // Why the game could not load or play the level, in a player's words; "" when it can.
  std::string WhyNotPlayable() const;
  const levels::Level &AsLevel() const { return Source; }

private:
  void Remember();
  void Restore(levels::Level &Into);
  char &Cell(int32_t X, int32_t Y);
  void SetHeader(const std::string &Key, const std::string &Value);

  levels::Level Source;
  std::vector<levels::Level> Past, Future;
  bool InStroke = false, StrokeRemembered = false;
  uint64_t Changes = 0;
};

// The player's own set, beside config.ini: its source and its level file.
struct TOwnSet {
  std::string Source = "my-levels.txt", Packed = "my-levels.lvl", Title = "My levels";
};

// Saves the level into the set as level Index (0-based), or as a new last
// level when Index is past the end; both files replaced by rename, the map
// list given a line for the set when it has none. "" when saved, else why
// not, and nothing written. Index gets the level's place in the set.
std::string SaveIntoSet(const TEditLevel &Level, const TOwnSet &Set, const std::string &MapListFile, int32_t &Index);

// A one-level packed file of the level, for test play; "" when written, else why not.
std::string WritePlayFile(const TEditLevel &Level, const std::string &File);
