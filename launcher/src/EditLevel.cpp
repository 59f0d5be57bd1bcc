// EditLevel.cpp -- the editor's level: painting, history, checks and saving.
#include "EditLevel.h"

#include "Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

using namespace levels;

namespace {

constexpr char CellFloor = '-';
constexpr size_t MaxHistory = 500;  // steps of undo; a full 255 x 255 level is 64 KiB each

// The cell a tool leaves where it paints: a box and a mark share a cell.
char Painted(char Was, TEditTool Tool)
{
  switch (Tool) {
  case TEditTool::Wall: return CellWall;
  case TEditTool::Floor: return CellFloor;
  case TEditTool::Water: return CellWater;
  case TEditTool::Inert: return CellInert;
  case TEditTool::Player: return CellPlayer;
  case TEditTool::Mark: return Was == CellBox || Was == CellBoxOnGoal ? CellBoxOnGoal : CellGoal;
  case TEditTool::Box: return Was == CellGoal || Was == CellBoxOnGoal ? CellBoxOnGoal : CellBox;
  }
  return Was;
}

// Walls keep the player in when no walk from its start reaches the level's edge.
bool PlayerEnclosed(const Level &L)
{
  int32_t Start = -1;
  for (int32_t Y = 0; Y < L.Height; ++Y)
    for (int32_t X = 0; X < L.Width; ++X)
      if (L.Rows[size_t(Y)][size_t(X)] == CellPlayer) Start = Y * L.Width + X;
  if (Start < 0) return false;
  std::vector<char> Seen(size_t(L.Width) * size_t(L.Height), 0);
  std::vector<int32_t> Todo{Start};
  Seen[size_t(Start)] = 1;
  while (!Todo.empty()) {
    const int32_t P = Todo.back();
    Todo.pop_back();
    const int32_t X = P % L.Width, Y = P / L.Width;
    if (X == 0 || Y == 0 || X == L.Width - 1 || Y == L.Height - 1) return false;
    for (const int32_t Q : {P - 1, P + 1, P - L.Width, P + L.Width}) {
      if (Seen[size_t(Q)] || L.Rows[size_t(Q / L.Width)][size_t(Q % L.Width)] == CellWall) continue;
      Seen[size_t(Q)] = 1;
      Todo.push_back(Q);
    }
  }
  return true;
}

std::string FirstError(const Problems &Found)
{
  for (const Problem &P : Found)
    if (P.Kind == Problem::Error) return P.Text;
  return "";
}

// The map list names the set already when a line's file name (before "=", comments dropped) is its file.
bool ListNames(const std::string &List, const std::string &File)
{
  size_t At = 0;
  while (At < List.size()) {
    const size_t End = std::min(List.find('\n', At), List.size());
    std::string Line = List.substr(At, End - At);
    Line = Line.substr(0, Line.find(';'));
    Line = Line.substr(0, Line.find('='));
    const auto Blank = [](unsigned char C) { return C <= 32; };
    while (!Line.empty() && Blank(static_cast<unsigned char>(Line.back()))) Line.pop_back();
    const auto First = std::find_if_not(Line.begin(), Line.end(), Blank);
    if (std::string(First, Line.end()) == File) return true;
    At = End + 1;
  }
  return false;
}

std::string WriteError(const std::string &File, int Error) { return File + " could not be written (error " + std::to_string(Error) + ")"; }

}  // namespace

const char *ToolName(TEditTool Tool)
{
  static constexpr const char *Names[EditToolCount] = {"wall", "floor", "mark", "box", "water", "inert block", "player"};
  return Names[static_cast<size_t>(Tool)];
}

TEditLevel TEditLevel::Room(int32_t Width, int32_t Height)
{
  TEditLevel Room;
  levels::Level &L = Room.Source;
  L.Width = std::clamp(Width, 3, MaxSide);
  L.Height = std::clamp(Height, 3, MaxSide);
  const std::string Edge(size_t(L.Width), CellWall);
  std::string Middle(size_t(L.Width), CellFloor);
  Middle.front() = Middle.back() = CellWall;
  L.Rows.assign(size_t(L.Height), Middle);
  L.Rows.front() = L.Rows.back() = Edge;
  return Room;
}

TEditLevel TEditLevel::FromLevel(const levels::Level &From)
{
  TEditLevel Edited;
  Edited.Source = From;
  Edited.Source.Line = 0;
  // A solution and its recording belong to the level as it was, not as it will be edited.
  std::erase_if(Edited.Source.Headers, [](const Header &H) { return H.Key == "Solution" || H.Key == "Recording"; });
  return Edited;
}

char TEditLevel::CellAt(int32_t X, int32_t Y) const
{
  return Inside(X, Y) ? Source.Rows[size_t(Height() - 1 - Y)][size_t(X)] : CellFloor;
}

char &TEditLevel::Cell(int32_t X, int32_t Y) { return Source.Rows[size_t(Height() - 1 - Y)][size_t(X)]; }

void TEditLevel::Remember()
{
  Future.clear();
  if (InStroke && StrokeRemembered) return;
  StrokeRemembered = InStroke;
  Past.push_back(Source);
  if (Past.size() > MaxHistory) Past.erase(Past.begin());
}

void TEditLevel::BeginStroke()
{
  InStroke = true;
  StrokeRemembered = false;
}

void TEditLevel::EndStroke() { InStroke = StrokeRemembered = false; }

bool TEditLevel::Paint(int32_t X, int32_t Y, TEditTool Tool)
{
  if (!Inside(X, Y)) return false;
  const char Now = Painted(CellAt(X, Y), Tool);
  if (Now == CellAt(X, Y)) return false;
  Remember();
  if (Tool == TEditTool::Player)  // one start: the old one goes
    for (std::string &Row : Source.Rows) std::replace(Row.begin(), Row.end(), CellPlayer, CellFloor);
  Cell(X, Y) = Now;
  ++Changes;
  return true;
}

bool TEditLevel::PaintLine(int32_t FromX, int32_t FromY, int32_t ToX, int32_t ToY, TEditTool Tool)
{
  const int32_t Dx = std::abs(ToX - FromX), Dy = -std::abs(ToY - FromY);
  const int32_t Sx = FromX < ToX ? 1 : -1, Sy = FromY < ToY ? 1 : -1;
  int32_t Error = Dx + Dy, X = FromX, Y = FromY;
  bool Any = false;
  for (;;) {
    Any = Paint(X, Y, Tool) || Any;
    if (X == ToX && Y == ToY) return Any;
    const int32_t Twice = 2 * Error;
    if (Twice >= Dy) {
      Error += Dy;
      X += Sx;
    }
    if (Twice <= Dx) {
      Error += Dx;
      Y += Sy;
    }
  }
}

bool TEditLevel::Grow(TSide Side)
{
  const bool Across = Side == TSide::Left || Side == TSide::Right;
  if ((Across ? Width() : Height()) >= MaxSide) return false;
  Remember();
  if (Across) {
    for (std::string &Row : Source.Rows) Row.insert(Side == TSide::Left ? Row.begin() : Row.end(), CellFloor);
    ++Source.Width;
  } else {
    const std::string Row(size_t(Width()), CellFloor);
    Source.Rows.insert(Side == TSide::Top ? Source.Rows.begin() : Source.Rows.end(), Row);
    ++Source.Height;
  }
  ++Changes;
  return true;
}

bool TEditLevel::Shrink(TSide Side)
{
  const bool Across = Side == TSide::Left || Side == TSide::Right;
  if ((Across ? Width() : Height()) <= 1) return false;
  Remember();
  if (Across) {
    for (std::string &Row : Source.Rows) Row.erase(Side == TSide::Left ? Row.begin() : Row.end() - 1);
    --Source.Width;
  } else {
    Source.Rows.erase(Side == TSide::Top ? Source.Rows.begin() : Source.Rows.end() - 1);
    --Source.Height;
  }
  ++Changes;
  return true;
}

bool TEditLevel::Undo()
{
  if (Past.empty()) return false;
  Future.push_back(Source);
  Restore(Past.back());
  Past.pop_back();
  return true;
}

bool TEditLevel::Redo()
{
  if (Future.empty()) return false;
  Past.push_back(Source);
  Restore(Future.back());
  Future.pop_back();
  return true;
}

// Cells and size come back; title and author stay as typed, which undo does not cover.
void TEditLevel::Restore(levels::Level &Into)
{
  Into.Headers = Source.Headers;
  Source = std::move(Into);
  ++Changes;
}

void TEditLevel::SetHeader(const std::string &Key, const std::string &Value)
{
  if (Source.HeaderValue(Key) == Value) return;
  if (Value.empty()) std::erase_if(Source.Headers, [&Key](const Header &H) { return H.Key == Key; });
  else Source.SetHeader(Key, Value);
  ++Changes;
}

TLevelCounts TEditLevel::Counts() const
{
  const levels::Counts C = CountCells(Source);
  return {C.Boxes, C.Destinations, C.Water, C.Players, C.Players == 1 && PlayerEnclosed(Source)};
}

std::string TEditLevel::WhyNotPlayable() const
{
  const levels::Counts C = CountCells(Source);
  if (C.Players == 0) return "no player";
  if (C.Players > 1) return std::to_string(C.Players) + " players: a level has one";
  if (C.Destinations == 0) return "no marks";
  if (C.Boxes < C.Destinations) return "fewer boxes than marks";
  if (C.BoxesOnDestinations == C.Destinations) return "every mark holds a box already";
  if (!PlayerEnclosed(Source)) return "no wall encloses the player";
  Problems Found;
  WriteLevelFile(LevelSet{{}, {Source}}, "", Found);
  return FirstError(Found);
}

std::string WritePlayFile(const TEditLevel &Level, const std::string &File)
{
  if (std::string Why = Level.WhyNotPlayable(); !Why.empty()) return Why;
  Problems Found;
  const std::string Bytes = WriteLevelFile(LevelSet{{}, {Level.AsLevel()}}, File, Found);
  if (HasErrors(Found)) return FirstError(Found);
  const int Error = TryWriteWholeFile(File, Bytes);
  return Error ? WriteError(File, Error) : "";
}

std::string SaveIntoSet(const TEditLevel &Level, const TOwnSet &Own, const std::string &MapListFile, int32_t &Index)
{
  if (std::string Why = Level.WhyNotPlayable(); !Why.empty()) return Why;
  const std::string SourceFile = ResolveFileName(Own.Source), PackedFile = ResolveFileName(Own.Packed);
  // The levels saved before: from the source, else (the source lost) from the level file.
  LevelSet Set;
  const bool FromSource = ReadingError(SourceFile) != ENOENT;
  if (FromSource || ReadingError(PackedFile) != ENOENT) {
    const std::string &From = FromSource ? Own.Source : Own.Packed;
    Problems Found;
    std::string Bytes;
    if (ReadWholeFile(FromSource ? SourceFile : PackedFile, Bytes, Found))
      Set = FromSource ? ParseSource(Bytes, From, Found) : ReadLevelFile(Bytes, From, Found);
    if (HasErrors(Found)) return From + " cannot be read: " + FirstError(Found);
  } else {
    Set.Headers.push_back({"Set", Own.Title});
  }
  if (Index < 0 || Index >= int32_t(Set.Levels.size())) {
    Index = int32_t(Set.Levels.size());
    Set.Levels.push_back(Level.AsLevel());
  } else {
    Set.Levels[size_t(Index)] = Level.AsLevel();
  }
  Problems Found;
  const std::string Packed = WriteLevelFile(Set, Own.Packed, Found);
  if (HasErrors(Found)) return FirstError(Found);
  if (const int Error = TryWriteWholeFile(PackedFile, Packed)) return WriteError(Own.Packed, Error);
  if (const int Error = TryWriteWholeFile(SourceFile, WriteSource(Set))) return WriteError(Own.Source, Error);

  const std::string ListFile = ResolveFileName(MapListFile);
  std::string List;
  if (ReadingError(ListFile) == 0) List = ::ReadWholeFile(ListFile);
  if (ListNames(List, Own.Packed)) return "";
  if (!List.empty() && List.back() != '\n') List += "\n";
  List += Own.Packed + "=" + Own.Title + "\n";
  const int Error = TryWriteWholeFile(ListFile, List);
  return Error ? WriteError(MapListFile, Error) : "";
}
