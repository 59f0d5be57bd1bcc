// A save's bytes as the program reads them beside the rules: the level file's
// name, the level's place in its set and the counters, each only where the
// file holds it whole and sensible.
#include "SaveTrailer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

template <class T> std::string Bytes(T V) { return std::string(reinterpret_cast<const char *>(&V), sizeof V); }

// The rules' part with no objects: the player, a 3 by 1 field, the name.
std::string World(const std::string &Name, int32_t NameLength)
{
  return std::string(80, '\0') + Bytes<int32_t>(3) + Bytes<int32_t>(1) + Bytes(NameLength) + Name + Bytes<int32_t>(0);
}

std::string Place(int32_t Index, int32_t Count) { return "LEVL" + Bytes(Index) + Bytes(Count); }

std::string Counters(int32_t Moves, int32_t Pushes, int64_t Ms)
{
  return "PLAY" + Bytes(Moves) + Bytes(Pushes) + Bytes(Ms);
}

const std::string Whole = World("a.lvl", 5) + Place(2, 7);

TEST(SaveTrailer, ASaveAsTheProgramWritesItReadsWhole)
{
  const TSavedGame Saved = ReadSavedGameBytes(Whole + Counters(17, 4, 83250));
  EXPECT_EQ(Saved.LevelFile, "a.lvl");
  EXPECT_EQ(Saved.Index, 2);
  ASSERT_TRUE(Saved.Counted);
  EXPECT_EQ(Saved.Moves, 17);
  EXPECT_EQ(Saved.Pushes, 4);
  EXPECT_EQ(Saved.PlayedMs, 83250u);
}

TEST(SaveTrailer, CountersNoPlayCanReachAreNotTaken)
{
  const std::string Cut = (Whole + Counters(17, 4, 83250)).substr(0, Whole.size() + 19);
  for (const std::string &File : {Cut, Whole + Counters(-1, 4, 0), Whole + Counters(1, -4, 0),
                                  Whole + Counters(1, 4, -1), Whole + Counters(1, 4, int64_t(INT32_MAX) * 1000 + 1000)}) {
    const TSavedGame Saved = ReadSavedGameBytes(File);
    EXPECT_FALSE(Saved.Counted);
    EXPECT_EQ(Saved.Index, 2);  // the place before them stands
  }
}

TEST(SaveTrailer, APlaceTheRulesRefuseIsNotKnown)
{
  for (const std::string &End : {Place(-1, 7), Place(INT32_MAX, 7), Place(0, 256), Place(0, -1)}) {
    const TSavedGame Saved = ReadSavedGameBytes(World("a.lvl", 5) + End + Counters(1, 1, 1));
    EXPECT_EQ(Saved.Index, -1);
    EXPECT_FALSE(Saved.Counted);
    EXPECT_EQ(Saved.LevelFile, "a.lvl");
  }
  EXPECT_EQ(ReadSavedGameBytes(World("a.lvl", 5) + Place(2, 7).substr(0, 8)).Index, -1);  // cut short
  // Past the last level the index still counts on, as the rules take it.
  EXPECT_EQ(ReadSavedGameBytes(World("a.lvl", 5) + Place(7, 7)).Index, 7);
}

TEST(SaveTrailer, AFileEndingBeforeItsObjectsSaysNothing)
{
  const std::string Objects = std::string(80, '\0') + Bytes<int32_t>(3) + Bytes<int32_t>(1) + Bytes<int32_t>(0) +
                              Bytes<int32_t>(1) + Place(2, 7) + Counters(1, 1, 1);
  for (const std::string &File : {Objects, World("a.lvl", 6) + Place(2, 7), World("a.lvl", 5).substr(0, 95)}) {
    const TSavedGame Saved = ReadSavedGameBytes(File);
    EXPECT_TRUE(Saved.LevelFile.empty());
    EXPECT_EQ(Saved.Index, -1);
    EXPECT_FALSE(Saved.Counted);
  }
}

// The rules read a negative name length as no name and go on: the launcher
// must count the same level they do.
TEST(SaveTrailer, ANegativeNameLengthReadsAsNoNameAsTheRulesReadIt)
{
  const TSavedGame Saved = ReadSavedGameBytes(World("", -3) + Place(2, 7) + Counters(17, 4, 83250));
  EXPECT_EQ(Saved.LevelFile, "");
  EXPECT_EQ(Saved.Index, 2);
  EXPECT_TRUE(Saved.Counted);
  EXPECT_EQ(Saved.Moves, 17);
}

}  // namespace
