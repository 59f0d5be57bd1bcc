// The level loader: builds the world from one level of a level file, read as
// LevelFile.h describes. Missing bytes read as floor or zero.
#include "World.h"

#include "Files.h"
#include "LevelFile.h"
#include "Text.h"

#include <cstring>

using namespace world;

namespace {

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
  TLevelFileReader Reader(Lines);
  LevelCount = Reader.ReadCount().value_or(0);
  if (Index > LevelCount) {
    GameState = 1;
    Index = 0;
    return false;
  }

  for (int32_t L = 0; L < Index; ++L) Reader.SkipLevel();

  const std::optional<TLevelHeader> Header = Reader.ReadHeader();
  if (!Header) return false;
  FieldSize.Width = Header->Width;
  FieldSize.Height = Header->Height;

  Objects.reserve(static_cast<std::size_t>(FieldSize.Width) * FieldSize.Height);
  for (int32_t N = 0; N < FieldSize.Height; ++N) {
    const std::string Row = Reader.ReadRow(static_cast<std::size_t>(FieldSize.Width));
    const int32_t R = FieldSize.Height - 1 - N;
    for (int32_t C = 0; C < FieldSize.Width; ++C) BuildCell(LevelByteAt(Row, C), C, R);
  }
  ReindexObjects();
  return true;
}
