// Starting a set, walking through its levels, the screen state, save files.
#include "TestWorld.h"

#include <cstring>

namespace {

using ProgressTest = TWorldTest;

int32_t Int32At(const std::string &S, std::size_t Offset)
{
  int32_t V;
  std::memcpy(&V, S.data() + Offset, 4);
  return V;
}

TEST_F(ProgressTest, NewGameWalksThroughTheSetThenShowsTheMenu)
{
  const std::string File = WriteLevels({TLevel{{"19"}}, TLevel{{"229"}}, TLevel{{"3339"}}});
  GameNewGame(File.c_str());
  EXPECT_EQ(GameGetState(), 0);
  EXPECT_EQ(world::LevelIndex, 0);
  EXPECT_EQ(world::LevelCount, 3);
  EXPECT_EQ(world::LevelFile, File);
  EXPECT_EQ(ObjCount(), 1);
  GameNextLevel();
  EXPECT_EQ(GameGetState(), 0);
  EXPECT_EQ(ObjCount(), 2);
  GameNextLevel();
  EXPECT_EQ(ObjCount(), 3);
  GameNextLevel();
  // The set is finished: nothing is loaded and the finished level stays.
  EXPECT_EQ(world::LevelIndex, 3);
  EXPECT_EQ(GameGetState(), 1);
  EXPECT_EQ(ObjCount(), 3);
  GameSetState(0);
  EXPECT_EQ(GameGetState(), 0);
  GameNextLevel();
  EXPECT_EQ(world::LevelIndex, 4);
  EXPECT_EQ(GameGetState(), 1);
}

TEST_F(ProgressTest, LoadedLevelFacesTheView)
{
  world::RotateAngle = 45;
  world::CurrAngle = 450;
  GameNewGame(WriteLevels({TLevel{{"9"}}}).c_str());
  EXPECT_EQ(GameGetRotateAngle(), 0.0f);
  EXPECT_EQ(GameGetCurrAngle(), 0.0f);
  // A level without a start keeps the facing, and the view follows it.
  world::Player.Direction = 3;
  GameNewGame(WriteLevels({TLevel{{"1"}}}).c_str());
  EXPECT_EQ(GameGetCurrAngle(), 270.0f);
}

TEST_F(ProgressTest, EmptySetRefusesPlay)
{
  GameNewGame(WriteLevels({}, 0).c_str());
  EXPECT_EQ(GameGetState(), 1);
  EXPECT_EQ(ObjCount(), 0);
  GameSetState(0);
  EXPECT_EQ(GameGetState(), 1);
  GameSetState(2);
  EXPECT_EQ(GameGetState(), 2);
  GameSetState(1);
  EXPECT_EQ(GameGetState(), 1);
  GameSetState(77);
  EXPECT_EQ(GameGetState(), 77);
}

TEST_F(ProgressTest, SaveFileLayout)
{
  GameNewGame(WriteLevels({TLevel{{"4 9", "5 2"}}}, -1, "abcdef.lvl").c_str());
  const std::string Name = world::LevelFile;
  world::Player.Direction = 2;
  world::Player.Pad[0] = 0x55; // padding never reaches the file
  world::Objects[0].Pad1[3] = 0x66;
  world::Objects[0].Pad2 = 0x77;
  GameSave(PathOf("game.sav").c_str());
  const std::string S = ReadFile("game.sav");
  const std::size_t N = Name.size();
  ASSERT_EQ(S.size(), 96 + N + 88 * 4 + 12);
  TPlayer P;
  std::memcpy(&P, S.data(), 80);
  EXPECT_EQ(P.Box.x, 2.15);
  EXPECT_EQ(P.Direction, 2);
  EXPECT_EQ(P.Step, 0.1f);
  EXPECT_EQ(S[73], 0);
  EXPECT_EQ(Int32At(S, 80), 3);
  EXPECT_EQ(Int32At(S, 84), 2);
  EXPECT_EQ(Int32At(S, 88), static_cast<int32_t>(N));
  EXPECT_EQ(S.substr(92, N), Name);
  EXPECT_EQ(Int32At(S, 92 + N), 4);
  for (int I = 0; I < 4; ++I) {
    const std::size_t At = 96 + N + 88 * I;
    TGameObject O;
    std::memcpy(&O, S.data() + At, 88);
    EXPECT_EQ(O.Kind, Obj(I).Kind);
    EXPECT_EQ(O.Box.x, Obj(I).Box.x);
    EXPECT_EQ(O.OnTarget, Obj(I).OnTarget);
    for (int K = 1; K < 8; ++K) EXPECT_EQ(S[At + K], 0);
    EXPECT_EQ(Int32At(S, At + 84), 0);
  }
  // After the objects: the tag, the level's index in its set and the set's level count.
  const std::size_t Trailer = 96 + N + 88 * 4;
  EXPECT_EQ(S.substr(Trailer, 4), "LEVL");
  EXPECT_EQ(Int32At(S, Trailer + 4), 0);
  EXPECT_EQ(Int32At(S, Trailer + 8), 1);
}

TEST_F(ProgressTest, TenCharacterNamePlacesTheObjects)
{
  world::LevelFile = "0123456789";
  world::Objects.resize(1);
  world::Objects[0].Kind = okWall;
  GameSave(PathOf("ten.sav").c_str());
  const std::string S = ReadFile("ten.sav");
  EXPECT_EQ(Int32At(S, 102), 1);
  EXPECT_EQ(S[106], okWall);
}

TEST_F(ProgressTest, SaveAndLoadRoundTrip)
{
  Play({"  3 ", "  2 ", "1 9 ", "5  2"});
  Frames(4, 1.0f);
  GameRotate(1);
  for (int I = 0; I < 30; ++I) GameProcessRotate();
  world::CurrAngle = 450;
  const TPlayer P = GameGetPlayer();
  const TFieldSize Size = GameGetFieldSize();
  const std::string File = world::LevelFile;
  const std::vector<TGameObject> Objects = world::Objects;
  world::LevelIndex = 7;
  GameSave(PathOf("Round.Sav").c_str());

  GameNewGame(WriteLevels({TLevel{{"1"}}}, -1, "other.lvl").c_str());
  world::GameState = 1;
  world::RotateAngle = 33;
  world::LevelIndex = 7;
  GameLoad(PathOf("ROUND.sav").c_str()); // names ignore case
  EXPECT_EQ(std::memcmp(&world::Player, &P, sizeof P), 0);
  EXPECT_EQ(GameGetFieldSize().Width, Size.Width);
  EXPECT_EQ(GameGetFieldSize().Height, Size.Height);
  EXPECT_EQ(world::LevelFile, File);
  ASSERT_EQ(world::Objects.size(), Objects.size());
  EXPECT_EQ(std::memcmp(world::Objects.data(), Objects.data(), 88 * Objects.size()), 0);
  EXPECT_EQ(GameGetState(), 0);
  EXPECT_EQ(GameGetRotateAngle(), 0.0f);
  EXPECT_EQ(GameGetCurrAngle(), 90.0f); // the view faces the saved direction
  EXPECT_EQ(world::LevelIndex, 7);
}

TEST_F(ProgressTest, WorldWithoutObjectsSavesShortAndLoadsToTheMenu)
{
  world::LevelFile = "abc";
  GameSave(PathOf("empty.sav").c_str());
  EXPECT_EQ(ReadFile("empty.sav").size(), 96u + 3 + 12);
  world::Objects.resize(2);
  world::GameState = 0;
  GameLoad(PathOf("empty.sav").c_str());
  EXPECT_EQ(ObjCount(), 0);
  EXPECT_EQ(GameGetState(), 1);
}

TEST_F(ProgressTest, SaveReplacesTheFileWhole)
{
  WriteFile("old.sav", std::string(5000, 'x'));
  world::LevelFile = "L";
  GameSave(PathOf("OLD.SAV").c_str());
  EXPECT_EQ(ReadFile("old.sav").size(), 97u + 12);
  // No temporary file is left behind, and no second file appears.
  int Entries = 0;
  for (const auto &E : std::filesystem::directory_iterator(Dir)) {
    (void)E;
    ++Entries;
  }
  EXPECT_EQ(Entries, 1);
}

TEST_F(ProgressTest, NegativeNameLengthReadsNoName)
{
  std::string S(80, '\0');
  const int32_t Fields[] = {4, 5, -3, 0};
  S.append(reinterpret_cast<const char *>(Fields), sizeof Fields);
  world::LevelFile = "before";
  GameLoad(WriteFile("neg.sav", S).c_str());
  EXPECT_EQ(world::LevelFile, "");
  EXPECT_EQ(GameGetFieldSize().Width, 4);
  EXPECT_EQ(GameGetState(), 1);
}

TEST_F(ProgressTest, LoadedGameGoesOnWithTheNextLevelOfItsSet)
{
  const std::string Set = WriteLevels({TLevel{{"19"}}, TLevel{{"229"}}});
  GameNewGame(Set.c_str());
  GameSave(PathOf("Temp.Dat").c_str());
  GameNewGame(WriteLevels({TLevel{{"3"}}, TLevel{{"3"}}}, -1, "x.lvl").c_str());
  GameLoad(PathOf("Temp.DAT").c_str());
  GameNextLevel();
  EXPECT_EQ(world::LevelIndex, 1);
  EXPECT_EQ(ObjCount(), 2);
}

// A save made on the third level of a set, loaded into a fresh world: solving
// it leads to the fourth level, not to the second.
TEST_F(ProgressTest, LoadedGameRemembersItsLevel)
{
  const std::string Set = WriteLevels({TLevel{{"9"}}, TLevel{{"91"}}, TLevel{{"911"}}, TLevel{{"9111"}}});
  GameNewGame(Set.c_str());
  GameNextLevel();
  GameNextLevel();
  ASSERT_EQ(ObjCount(), 2);
  GameSave(PathOf("level3.sav").c_str());

  GameDeInit();
  world::LevelIndex = 0;
  world::LevelCount = 0;
  GameInit();
  GameLoad(PathOf("level3.sav").c_str());
  EXPECT_EQ(world::LevelIndex, 2);
  EXPECT_EQ(world::LevelCount, 4);
  GameNextLevel();
  EXPECT_EQ(world::LevelIndex, 3);
  EXPECT_EQ(GameGetState(), 0);
  EXPECT_EQ(ObjCount(), 3);
}

// The program writes the level's counters after the level's place; the rules
// read the place and pass over what follows it.
TEST_F(ProgressTest, WhatFollowsTheLevelsPlaceIsLeftToTheProgram)
{
  const std::string Set = WriteLevels({TLevel{{"9"}}, TLevel{{"91"}}, TLevel{{"911"}}});
  GameNewGame(Set.c_str());
  GameNextLevel();
  GameSave(PathOf("game.sav").c_str());
  const std::string Saved = ReadFile("game.sav");
  WriteFile("game.sav", Saved + "PLAY" + std::string(16, '\x07'));
  GameNewGame(Set.c_str());
  GameLoad(PathOf("game.sav").c_str());
  EXPECT_EQ(world::LevelIndex, 1);
  EXPECT_EQ(ObjCount(), 1);
  GameSave(PathOf("again.sav").c_str());
  EXPECT_EQ(ReadFile("again.sav"), Saved);
}

// Saves written before the level was remembered end with the objects; they load
// as they always did, the level index staying as it was. So does a save whose
// ending is damaged: the game in it is whole, only its level is not known.
TEST_F(ProgressTest, SaveWithoutItsLevelKeepsTheLevelInMemory)
{
  GameNewGame(WriteLevels({TLevel{{"9"}}, TLevel{{"91"}}, TLevel{{"911"}}}).c_str());
  GameNextLevel();
  GameSave(PathOf("full.sav").c_str());
  const std::string Full = ReadFile("full.sav");
  const std::size_t Objects = Full.size() - 12;
  std::string BadTag = Full;
  BadTag[Objects] = 'X';
  std::string BadCount = Full.substr(0, Objects + 8);
  BadCount += std::string("\x00\x01\x00\x00", 4); // 256 levels: more than a level file holds
  std::string NegativeIndex = Full.substr(0, Objects + 4);
  NegativeIndex += std::string("\xff\xff\xff\xff\x03\x00\x00\x00", 8);
  const std::vector<std::string> Cases = {Full.substr(0, Objects), Full.substr(0, Objects + 3),
                                          Full.substr(0, Objects + 11), BadTag, BadCount, NegativeIndex};
  for (const std::string &Bytes : Cases) {
    world::LevelIndex = 0;
    world::LevelCount = 3;
    world::Objects.clear();
    GameLoad(WriteFile("old.sav", Bytes).c_str());
    EXPECT_EQ(world::LevelIndex, 0) << Bytes.size();
    EXPECT_EQ(world::LevelCount, 3) << Bytes.size();
    EXPECT_EQ(ObjCount(), 1) << Bytes.size();
    EXPECT_EQ(GameGetState(), 0) << Bytes.size();
  }
}

} // namespace
