// The level loader: cell coordinates, object order and shapes, the player's
// start, and files that break the layout.
#include "TestWorld.h"

namespace {

using LevelTest = TWorldTest;

TEST_F(LevelTest, CellsTakeCoordinatesFromColumnAndRowLine)
{
  int32_t Index = 0;
  ASSERT_TRUE(GameLoadMap(WriteLevels({TLevel{{"1", "2", "0"}}}).c_str(), &Index));
  const TFieldSize Size = GameGetFieldSize();
  EXPECT_EQ(Size.Width, 1);
  EXPECT_EQ(Size.Height, 3);
  ASSERT_EQ(ObjCount(), 3);
  // The first row line is the top row (y = 2), the last one y = 0.
  EXPECT_EQ(Obj(0).Kind, okWall);
  EXPECT_DOUBLE_EQ(Obj(0).Box.y, 2.05);
  EXPECT_EQ(Obj(1).Kind, okBox);
  EXPECT_DOUBLE_EQ(Obj(1).Box.y, 1.05);
  EXPECT_EQ(Obj(2).Kind, okInert);
  EXPECT_DOUBLE_EQ(Obj(2).Box.y, 0.05);
}

TEST_F(LevelTest, EveryCellCharacterBuildsItsObjectsInOrder)
{
  int32_t Index = 0;
  ASSERT_TRUE(GameLoadMap(WriteLevels({TLevel{{"012345 .6789xy"}}}).c_str(), &Index));
  // '0' '1' '2' '3', then '4' as a destination and a box on it, then '5'.
  const uint8_t Kinds[] = {okInert, okWall, okBox, okTarget, okTarget, okBox, okWater};
  const double Xs[] = {0.05, 1.05, 2.05, 3, 4, 4.05, 5};
  const double Sizes[] = {0.9, 0.9, 0.9, 1.0, 1.0, 0.9, 1.0};
  ASSERT_EQ(ObjCount(), 7);
  for (int I = 0; I < 7; ++I) {
    SCOPED_TRACE(I);
    const TGameObject &O = Obj(I);
    EXPECT_EQ(O.Kind, Kinds[I]);
    EXPECT_EQ(O.Box.x, Xs[I]);
    EXPECT_EQ(O.Box.y, Sizes[I] == 1.0 ? 0.0 : 0.05);
    EXPECT_EQ(O.Box.z, 0.0);
    EXPECT_EQ(O.Box.sx, Sizes[I]);
    EXPECT_EQ(O.Box.sy, Sizes[I]);
    EXPECT_EQ(O.Box.sz, Sizes[I]);
    EXPECT_EQ(O.SavedPos.x, O.Box.x);
    EXPECT_EQ(O.SavedPos.y, O.Box.y);
    EXPECT_EQ(O.SavedPos.z, 0.0);
    EXPECT_EQ(O.OnTarget, I == 5 ? 1 : 0);
    for (uint8_t Pad : O.Pad1) EXPECT_EQ(Pad, 0);
    EXPECT_EQ(O.Pad2, 0);
  }
  // The '9' at column 11 is the player's start. (The row is 14 wide: a width
  // of 13 would be a CR byte, which no level file can hold.)
  const TPlayer P = GameGetPlayer();
  EXPECT_EQ(P.Box.x, 11 + 0.15);
  EXPECT_EQ(P.Box.y, 0.15);
  EXPECT_EQ(P.Box.sx, 0.7);
  EXPECT_EQ(P.PrevPos.x, P.Box.x);
  EXPECT_EQ(P.Direction, 0);
  EXPECT_EQ(P.Step, 0.1f);
}

TEST_F(LevelTest, TopRowObjectsComeFirstAndTheLastStartWins)
{
  int32_t Index = 0;
  ASSERT_TRUE(GameLoadMap(WriteLevels({TLevel{{"9 2", "1 9"}}}).c_str(), &Index));
  ASSERT_EQ(ObjCount(), 2);
  EXPECT_EQ(Obj(0).Kind, okBox);
  EXPECT_EQ(Obj(0).Box.y, 1.05);
  EXPECT_EQ(Obj(1).Kind, okWall);
  EXPECT_EQ(PlayerBox().x, 2.15);
  EXPECT_EQ(PlayerBox().y, 0.15);
}

TEST_F(LevelTest, LevelWithoutStartKeepsThePlayer)
{
  world::Player.Box.x = 7.5;
  world::Player.Direction = 2;
  world::Player.Step = 0.25f;
  int32_t Index = 0;
  ASSERT_TRUE(GameLoadMap(WriteLevels({TLevel{{"11"}}}).c_str(), &Index));
  EXPECT_EQ(PlayerBox().x, 7.5);
  EXPECT_EQ(world::Player.Direction, 2);
  EXPECT_EQ(world::Player.Step, 0.25f);
}

TEST_F(LevelTest, SkipsEarlierLevelsByTheirHeights)
{
  const std::string File = WriteLevels({TLevel{{"111", "191", "111"}}, TLevel{{"2222", "9"}}, TLevel{{"5"}}});
  int32_t Index = 1;
  ASSERT_TRUE(GameLoadMap(File.c_str(), &Index));
  EXPECT_EQ(world::LevelCount, 3);
  EXPECT_EQ(GameGetFieldSize().Width, 4);
  EXPECT_EQ(GameGetFieldSize().Height, 2);
  EXPECT_EQ(ObjCount(), 4);
  Index = 2;
  ASSERT_TRUE(GameLoadMap(File.c_str(), &Index));
  ASSERT_EQ(ObjCount(), 1);
  EXPECT_EQ(Obj(0).Kind, okWater);
}

TEST_F(LevelTest, IndexBeyondTheSetShowsTheMenu)
{
  const std::string File = WriteLevels({TLevel{{"1"}}, TLevel{{"1"}}, TLevel{{"1"}}});
  world::GameState = 0;
  int32_t Index = 5;
  EXPECT_FALSE(GameLoadMap(File.c_str(), &Index));
  EXPECT_EQ(Index, 0);
  EXPECT_EQ(GameGetState(), 1);
  EXPECT_EQ(GameGetObjects().Count, 0);
  EXPECT_EQ(GameGetObjects().Items, nullptr);

  // An index equal to the count finds the empty line at the end and keeps state and index.
  world::GameState = 0;
  Index = 3;
  EXPECT_FALSE(GameLoadMap(File.c_str(), &Index));
  EXPECT_EQ(Index, 3);
  EXPECT_EQ(GameGetState(), 0);
}

TEST_F(LevelTest, EmptySetLoadsNothing)
{
  int32_t Index = 0;
  EXPECT_FALSE(GameLoadMap(WriteLevels({}, 0).c_str(), &Index));
  EXPECT_EQ(world::LevelCount, 0);
  EXPECT_EQ(ObjCount(), 0);
}

TEST_F(LevelTest, ShortAndLongRowsReadAsFloorAndAreCut)
{
  int32_t Index = 0;
  ASSERT_TRUE(GameLoadMap(WriteLevels({TLevel{{"1", "", "2111"}, 3}}).c_str(), &Index));
  ASSERT_EQ(ObjCount(), 4);
  EXPECT_EQ(Obj(0).Box.x, 0.05);
  EXPECT_EQ(Obj(0).Box.y, 2.05);
  EXPECT_EQ(Obj(1).Kind, okBox);
  EXPECT_EQ(Obj(3).Box.x, 2.05); // the fourth character lies beyond the width
}

TEST_F(LevelTest, BrokenLayoutsReadMissingBytesAsZero)
{
  int32_t Index = 0;
  // A one-byte header gives height 0: an empty level that still loads.
  ASSERT_TRUE(GameLoadMap(WriteFile("one.txt", "\x01\n\x05\n11111\n").c_str(), &Index));
  EXPECT_EQ(GameGetFieldSize().Width, 5);
  EXPECT_EQ(GameGetFieldSize().Height, 0);
  EXPECT_EQ(ObjCount(), 0);

  // The rows declared by the header run past the end of the file.
  ASSERT_TRUE(GameLoadMap(WriteFile("short.txt", std::string("\x01\n\x02\x09\n12")).c_str(), &Index));
  EXPECT_EQ(GameGetFieldSize().Height, 9);
  ASSERT_EQ(ObjCount(), 2);
  EXPECT_EQ(Obj(0).Box.y, 8.05);

  // Skipping levels past the end of the file, and an empty file.
  Index = 2;
  EXPECT_FALSE(GameLoadMap(WriteFile("skip.txt", "\x05\n\x01\xff\n1\n").c_str(), &Index));
  EXPECT_EQ(world::LevelCount, 5);
  Index = 0;
  EXPECT_FALSE(GameLoadMap(WriteFile("empty.txt", "").c_str(), &Index));
  EXPECT_EQ(world::LevelCount, 0);
}

TEST_F(LevelTest, CarriageReturnsAndEndOfTextMark)
{
  int32_t Index = 0;
  // CR LF line ends, a stray CR inside a row, and byte 26 ending the text.
  const std::string Bytes = std::string("\x01\r\n\x03\x02\r\n1\r23\r\n9\x1a") + "222\n";
  ASSERT_TRUE(GameLoadMap(WriteFile("crlf.txt", Bytes).c_str(), &Index));
  ASSERT_EQ(ObjCount(), 3);
  EXPECT_EQ(Obj(1).Kind, okBox);
  EXPECT_EQ(Obj(1).Box.x, 1.05);
  EXPECT_EQ(Obj(2).Kind, okTarget);
  EXPECT_EQ(PlayerBox().x, 0.15);
}

TEST_F(LevelTest, FileNamesIgnoreCase)
{
  WriteLevels({TLevel{{"19"}}}, -1, "Maps.LVL");
  int32_t Index = 0;
  EXPECT_TRUE(GameLoadMap(PathOf("mAPS.lvl").c_str(), &Index));
  EXPECT_EQ(ObjCount(), 1);
}

TEST_F(LevelTest, NullIndexLoadsTheFirstLevel)
{
  EXPECT_TRUE(GameLoadMap(WriteLevels({TLevel{{"1"}}}).c_str(), nullptr));
  EXPECT_EQ(ObjCount(), 1);
}

} // namespace
