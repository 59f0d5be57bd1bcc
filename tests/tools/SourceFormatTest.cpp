// The readable source form: what it accepts, what it refuses and where, and
// that source and level file turn into each other byte for byte.
#include <gtest/gtest.h>

#include "LevelSet.h"

using namespace levels;

namespace {

const char Sample[] =
    "Set: Sample\n"
    "Author: Someone\n"
    "\n"
    "Title: Corridor\n"
    "Author: Someone\n"
    "Recording: sample-01\n"
    "Solution: rRR\n"
    "#######\n"
    "#@ $ .#\n"
    "#######\n"
    "\n"
    "Title: Pond\n"
    "Note:\n"
    "--#######\n"
    "###  ~ .#\n"
    "#@ $ $ %#\n"
    "#_  -  ##\n"
    "#########\n";

std::string Messages(const Problems &List) {
  std::string S;
  for (const auto &P : List) S += FormatProblem(P) + "\n";
  return S;
}

Problems ParseErrors(const std::string &Text) {
  Problems Out;
  ParseSource(Text, "set.txt", Out);
  return Out;
}

}  // namespace

TEST(SourceFormat, ReadsHeadersRowsAndCells) {
  Problems Found;
  const LevelSet Set = ParseSource(Sample, "set.txt", Found);
  ASSERT_TRUE(Found.empty()) << Messages(Found);
  ASSERT_EQ(Set.Headers.size(), 2u);
  EXPECT_EQ(Set.Headers[0].Key, "Set");
  ASSERT_EQ(Set.Levels.size(), 2u);
  const Level &A = Set.Levels[0];
  EXPECT_EQ(A.Width, 7);
  EXPECT_EQ(A.Height, 3);
  EXPECT_EQ(A.Line, 4);
  EXPECT_EQ(A.HeaderValue("Solution"), "rRR");
  EXPECT_EQ(A.HeaderValue("Recording"), "sample-01");
  EXPECT_EQ(A.Rows[1], "19 2 31");
  const Level &B = Set.Levels[1];
  EXPECT_EQ(B.Rows[1], "111  5 31");
  EXPECT_EQ(B.Rows[2], "19 2 2 01");
  EXPECT_EQ(B.Rows[3], "1_  -  11");
  EXPECT_EQ(B.HeaderValue("Note"), "");
  const Counts C = CountCells(B);
  EXPECT_EQ(C.Boxes, 2);
  EXPECT_EQ(C.Destinations, 1);
  EXPECT_EQ(C.Water, 1);
  EXPECT_EQ(C.Players, 1);
}

TEST(SourceFormat, PackAndUnpackAreExactBothWays) {
  Problems Found;
  const LevelSet Set = ParseSource(Sample, "set.txt", Found);
  const std::string Bytes = WriteLevelFile(Set, "set.lvl", Found);
  ASSERT_TRUE(Found.empty()) << Messages(Found);
  EXPECT_EQ(static_cast<unsigned char>(Bytes[0]), 2);
  EXPECT_EQ(Bytes.substr(1, Bytes.find('\n') - 1), "Set: Sample\tAuthor: Someone");

  const LevelSet Back = ReadLevelFile(Bytes, "set.lvl", Found);
  ASSERT_TRUE(Found.empty()) << Messages(Found);
  EXPECT_EQ(WriteSource(Back), Sample);
  EXPECT_EQ(WriteLevelFile(ParseSource(WriteSource(Back), "again.txt", Found), "again.lvl", Found), Bytes);
  EXPECT_TRUE(Found.empty()) << Messages(Found);
}

TEST(SourceFormat, SetWithoutSetHeadersOrLevels) {
  for (const std::string &Text : {std::string(""), std::string("Set: Empty\n"),
                                 std::string("Title: Lone\n#####\n#@$.#\n#####\n")}) {
    Problems Found;
    const LevelSet Set = ParseSource(Text, "set.txt", Found);
    ASSERT_TRUE(Found.empty()) << Messages(Found);
    const std::string Bytes = WriteLevelFile(Set, "set.lvl", Found);
    EXPECT_EQ(WriteSource(ReadLevelFile(Bytes, "set.lvl", Found)), Text);
    EXPECT_TRUE(Found.empty()) << Messages(Found);
  }
}

TEST(SourceFormat, RefusesWhatWouldNotComeBackTheSame) {
  struct Case {
    std::string Text;
    int Line;
    std::string Says;
  } Cases[] = {
      {"Title: A\n#####\n#@$.#\n####\n", 4, "row 3 is 4 cells wide"},
      {"Title: A\n#####\n#@$.#\r\n#####\n", 3, "carriage return"},
      {"Title: A\n#####\nTitle: B\n#@$.#\n#####\n", 3, "header line after the rows"},
      {"Title: A\nSolution: rRx\n#####\n#@$.#\n#####\n", 2, "move 3 of the solution is 'x'"},
      {"Recording: a b\n#####\n#@$.#\n#####\n", 1, "recording name"},
      {"Title:A\n#####\n#@$.#\n#####\n", 1, "one space after"},
      {"Title: \n#####\n#@$.#\n#####\n", 1, "trailing space"},
      {"Title: a\tb\n#####\n#@$.#\n#####\n", 1, "tab"},
      {"Title: A\n#####\n#@$=#\n#####\n", 3, "'=' at column 4 is no cell character"},
      {"Title: A\n#####\n#@$.#\n#####\n\n\nTitle: B\n#####\n#@$.#\n#####\n", 6, "two blank lines"},
      {"Title: A\n#####\n#@$.#\n#####\n\n", 5, "blank line at the end"},
      {"\nTitle: A\n#####\n#@$.#\n#####\n", 1, "starts with a blank line"},
      {"Title: A\n#####\n#@$.#\n#####", 4, "no line end"},
      {"Title: A\n#####\n#@$.#\n#####\n\nTitle: B\n", 6, "level 2: the level has no rows"},
  };
  for (const auto &C : Cases) {
    const Problems Found = ParseErrors(C.Text);
    ASSERT_FALSE(Found.empty()) << C.Text;
    const std::string All = Messages(Found);
    EXPECT_NE(All.find("set.txt:" + std::to_string(C.Line) + ":"), std::string::npos) << All;
    EXPECT_NE(All.find(C.Says), std::string::npos) << All;
  }
}

TEST(SourceFormat, PackRefusesSizesAndCountsTheFileCannotHold) {
  const auto Refusal = [](const LevelSet &Set) {
    Problems Found;
    const std::string Bytes = WriteLevelFile(Set, "set.lvl", Found);
    EXPECT_TRUE(Bytes.empty());
    return Messages(Found);
  };
  Level L;
  L.Width = 5;
  L.Height = 3;
  L.Rows = {"11111", "19231", "11111"};
  L.Line = 7;

  LevelSet Ten;
  Ten.Levels.assign(10, L);
  EXPECT_NE(Refusal(Ten).find("10 levels cannot be stored"), std::string::npos);
  LevelSet Many;
  Many.Levels.assign(256, L);
  EXPECT_NE(Refusal(Many).find("at most 255"), std::string::npos);

  for (const int Width : {10, 13, 26}) {
    Level Wide = L;
    Wide.Width = Width;
    for (auto &Row : Wide.Rows) Row.resize(std::size_t(Width), '1');
    LevelSet One;
    One.Levels = {Wide};
    const std::string Why = Refusal(One);
    EXPECT_NE(Why.find("set.lvl:7: level 1: wide " + std::to_string(Width) + " cannot be stored"), std::string::npos) << Why;
    EXPECT_NE(Why.find("add a column of floor"), std::string::npos) << Why;
  }
  Level Tall = L;
  Tall.Height = 26;
  Tall.Rows.resize(26, "11111");
  LevelSet One;
  One.Levels = {Tall};
  EXPECT_NE(Refusal(One).find("high 26 cannot be stored"), std::string::npos);

  Level Tabbed = L;
  Tabbed.Headers = {{"Title", "a\tb"}};
  One.Levels = {Tabbed};
  EXPECT_NE(Refusal(One).find("tab"), std::string::npos);
}
