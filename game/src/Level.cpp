// The level loader. A level file is text: a set header whose first byte is the
// number of levels, then per level a header (width and height as raw bytes)
// and one row line per row, top row first. Missing bytes read as floor or zero.
#include "World.h"

#include "Files.h"
#include "Text.h"

#include <cstring>

using namespace world;

namespace {

// Byte K of a line, 0 when the line is shorter.
uint8_t ByteAt(const std::string &Line, std::size_t K)
{
  return K < Line.size() ? static_cast<uint8_t>(Line[K]) : 0;
}

void AddObject(uint8_t Kind, double X, double Y, double Size, int32_t OnTarget)
{
  TGameObject O;
  std::memset(&O, 0, sizeof O);
  O.Kind = Kind;
  O.Box = TBox{X, Y, 0.0, Size, Size, Size};
  O.SavedPos = TPoint3{X, Y, 0.0};
  O.OnTarget = OnTarget;
  Objects.push_back(O);
}

void PlacePlayer(int32_t C, int32_t R)
{
  std::memset(&Player, 0, sizeof Player);
  const double X = C + 0.15, Y = R + 0.15;
  Player.Box = TBox{X, Y, 0.0, 0.7, 0.7, 0.7};
  Player.PrevPos = TPoint3{X, Y, 0.0};
  Player.Direction = 0;
  Player.Step = 0.1f;
}

void BuildCell(uint8_t Ch, int32_t C, int32_t R)
{
  switch (Ch) {
  case '0': AddObject(okInert, C + 0.05, R + 0.05, 0.9, 0); break;
  case '1': AddObject(okWall, C + 0.05, R + 0.05, 0.9, 0); break;
  case '2': AddObject(okBox, C + 0.05, R + 0.05, 0.9, 0); break;
  case '3': AddObject(okTarget, C, R, 1.0, 0); break;
  case '4':
    AddObject(okTarget, C, R, 1.0, 0);
    AddObject(okBox, C + 0.05, R + 0.05, 0.9, 1);
    break;
  case '5': AddObject(okWater, C, R, 1.0, 0); break;
  case '9': PlacePlayer(C, R); break;
  default: break; // plain floor
  }
}

} // namespace

bool GameLoadMap(const char *FileName, int32_t *LevelIndexVar)
{
  int32_t Unused = 0;
  int32_t &Index = LevelIndexVar ? *LevelIndexVar : Unused;

  ReleaseObjects();
  // Only the bytes the loader looks at are kept: one of the set header, two of
  // a level header, Width of a row.
  TInputFile File(FileName ? FileName : "");
  TTextLines Lines(File);
  LevelCount = ByteAt(Lines.ReadLine(1), 0);
  if (Index > LevelCount) {
    GameState = 1;
    Index = 0;
    return false;
  }

  for (int32_t L = 0; L < Index; ++L) {
    const int32_t Height = ByteAt(Lines.ReadLine(2), 1);
    for (int32_t N = 0; N < Height; ++N) Lines.ReadLine(0);
  }

  const std::string Header = Lines.ReadLine(2);
  if (Header.empty()) return false;
  FieldSize.Width = ByteAt(Header, 0);
  FieldSize.Height = ByteAt(Header, 1);

  Objects.reserve(static_cast<std::size_t>(FieldSize.Width) * FieldSize.Height);
  for (int32_t N = 0; N < FieldSize.Height; ++N) {
    const std::string Row = Lines.ReadLine(static_cast<std::size_t>(FieldSize.Width));
    const int32_t R = FieldSize.Height - 1 - N;
    for (int32_t C = 0; C < FieldSize.Width; ++C) BuildCell(ByteAt(Row, C), C, R);
  }
  ReindexObjects();
  return true;
}
