// The map list: one map set per line that is not blank or a comment.
#include "TestWorld.h"

namespace {

using MapsTest = TWorldTest;

TEST_F(MapsTest, EachLineGivesOneSetInFileOrder)
{
  const std::string File = WriteFile("maps.ini",
                                     "; bundled sets\r\n"
                                     "Easy.lvl = First Steps\r\n"
                                     "\r\n"
                                     "  hard.LVL=Hard = Harder ; comment\n"
                                     "=Untitled\n"
                                     "plain.lvl\n"
                                     "Easy.lvl=Again");
  TMaps Maps{};
  GameLoadMaps(File.c_str(), &Maps);
  ASSERT_EQ(Maps.Count, 5);
  const char *Expected[5][2] = {{"Easy.lvl", "First Steps"}, {"hard.LVL", "Hard = Harder"},
                                {"", "Untitled"}, {"plain.lvl", ""}, {"Easy.lvl", "Again"}};
  for (int I = 0; I < 5; ++I) {
    EXPECT_STREQ(Maps.Items[I].FileName, Expected[I][0]);
    EXPECT_STREQ(Maps.Items[I].Title, Expected[I][1]);
  }
  // A second load replaces the list instead of adding to it.
  GameLoadMaps(File.c_str(), &Maps);
  EXPECT_EQ(Maps.Count, 5);
  FreeMaps(&Maps);
  EXPECT_EQ(Maps.Count, 0);
  EXPECT_EQ(Maps.Items, nullptr);
}

TEST_F(MapsTest, CommentsAndBlanksOnlyGiveAnEmptyList)
{
  TMaps Maps{};
  GameLoadMaps(WriteFile("maps.ini", "a=b\n").c_str(), &Maps);
  ASSERT_EQ(Maps.Count, 1);
  GameLoadMaps(WriteFile("maps.ini", "; nothing\n\n   \t\n;x=y\n").c_str(), &Maps);
  EXPECT_EQ(Maps.Count, 0);
  EXPECT_EQ(Maps.Items, nullptr);
  GameLoadMaps(WriteFile("none.ini", "").c_str(), &Maps);
  EXPECT_EQ(Maps.Count, 0);
}

TEST_F(MapsTest, ListNameIgnoresCase)
{
  WriteFile("Maps.INI", "x.lvl=X\n");
  TMaps Maps{};
  GameLoadMaps(PathOf("maps.ini").c_str(), &Maps);
  EXPECT_EQ(Maps.Count, 1);
  FreeMaps(&Maps);
}

} // namespace
