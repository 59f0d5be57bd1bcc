// Importing the genre's plain-text collections and exporting level files to it.
#include <gtest/gtest.h>

#include "Common.h"
#include "LevelSet.h"

using namespace levels;

namespace {

struct Imported {
  LevelSet Set;
  Problems Found;
  std::string All;
  bool Says(const std::string &Text) const { return All.find(Text) != std::string::npos; }
};

Imported Import(const std::string &Text) {
  Imported R;
  R.Set = ImportCommon(Text, "pack.txt", R.Found);
  for (const auto &P : R.Found) R.All += FormatProblem(P) + "\n";
  return R;
}

// A collection the way they are passed around: comment titles before and
// after boards, Title:/Author: lines, run-length rows, '-' and '_' floor, CR LF.
const char Collection[] =
    "; A little collection\r\n"
    "; for testing\r\n"
    "\r\n"
    "; Warm-up\r\n"
    "#####\r\n"
    "#@$.#\r\n"
    "#####\r\n"
    "\r\n"
    "  #####\n"
    "###-_-#\n"
    "#.@$--#\n"
    "#######\n"
    "; Second\n"
    "\n"
    "7#|#.$@--#|7#\n"
    "Title: Packed\n"
    "Author: Somebody Else\n"
    "\n"
    "; Player on goal\n"
    "#####\n"
    "#+$ #\n"
    "#####\n"
    "\n"
    "; Broken run\n"
    "5#|#@$.#|5\n"
    "\n"
    "; Nobody home\n"
    "#####\n"
    "# $.#\n"
    "#####\n"
    "\n"
    "; Too few boxes\n"
    "######\n"
    "#@$..#\n"
    "######\n"
    "\n"
    "; Wide\n"
    "300#\n"
    "#@$.295 #\n"
    "300#\n"
    "\n"
    "; Lake\n"
    "#######\n"
    "#@$~$.#\n"
    "#######\n";

}  // namespace

TEST(Import, ConvertsARealLookingCollectionAndRefusesWithReasons) {
  const Imported R = Import(Collection);
  ASSERT_EQ(R.Set.Levels.size(), 4u) << R.All;
  const auto &L = R.Set.Levels;
  EXPECT_EQ(L[0].HeaderValue("Title"), "Warm-up");
  EXPECT_EQ(L[0].Rows[1], "19231");
  EXPECT_EQ(L[1].HeaderValue("Title"), "Second");
  EXPECT_EQ(L[1].Rows[0], "  11111");
  EXPECT_EQ(L[1].Rows[1], "111   1");
  EXPECT_EQ(L[1].Rows[2], "1392  1");
  EXPECT_EQ(L[2].HeaderValue("Title"), "Packed");
  EXPECT_EQ(L[2].HeaderValue("Author"), "Somebody Else");
  EXPECT_EQ(L[2].Width, 7);
  EXPECT_EQ(L[2].Height, 3);
  EXPECT_EQ(L[2].Rows[1], "1329  1");
  EXPECT_EQ(L[3].HeaderValue("Title"), "Lake");
  EXPECT_EQ(L[3].Rows[1], "1925231");

  EXPECT_TRUE(R.Says("pack.txt:20: level 4: left out: a player standing on a goal ('+') cannot be expressed")) << R.All;
  EXPECT_TRUE(R.Says("pack.txt:25: level 5: left out: bad run-length row on line 25: the line ends in a run length"))
      << R.All;
  EXPECT_TRUE(R.Says("pack.txt:28: level 6: left out: no player start")) << R.All;
  EXPECT_TRUE(R.Says("level 7: left out: 1 boxes for 2 destinations")) << R.All;
  EXPECT_TRUE(R.Says("level 8: left out: 300 columns: a level holds at most 255")) << R.All;
}

TEST(Import, BrokenRunLengths) {
  for (const char *Row : {"#@$.0#", "#@$.5", "#@$.3|#", "#@$.99999#"}) {
    const Imported R = Import(std::string("#####\n") + Row + "\n#####\n");
    EXPECT_TRUE(R.Set.Levels.empty()) << Row;
    EXPECT_TRUE(R.Says("pack.txt:2: level 1: left out: bad run-length row on line 2")) << R.All;
  }
}

TEST(Import, PadsSizesTheFileCannotHold) {
  // 10 wide and 13 high: a column and a row of floor are added.
  std::string Text = "10#\n#@$.5 #\n";
  for (int I = 0; I < 10; ++I) Text += "#8 #\n";
  Text += "10#\n";
  const Imported R = Import(Text);
  ASSERT_EQ(R.Set.Levels.size(), 1u) << R.All;
  EXPECT_EQ(R.Set.Levels[0].Width, 11);
  EXPECT_EQ(R.Set.Levels[0].Height, 14);
  EXPECT_EQ(R.Set.Levels[0].Rows[0], "1111111111 ");
  EXPECT_EQ(R.Set.Levels[0].Rows[13], "           ");
  EXPECT_TRUE(R.Says("warning: level 1: 10 columns cannot be stored")) << R.All;
  EXPECT_TRUE(R.Says("13 rows cannot be stored")) << R.All;
  Problems Found;
  EXPECT_FALSE(WriteLevelFile(R.Set, "out.lvl", Found).empty());
}

TEST(Import, LevelCountsTheFileCannotHold) {
  std::string Ten, Many;
  for (int I = 0; I < 10; ++I) Ten += "; L" + std::to_string(I + 1) + "\n#####\n#@$.#\n#####\n\n";
  const Imported R = Import(Ten);
  EXPECT_EQ(R.Set.Levels.size(), 9u);
  EXPECT_TRUE(R.Says("level 10: left out: a set of 10 levels cannot be stored")) << R.All;

  for (int I = 0; I < 300; ++I) Many += "#####\n#@$.#\n#####\n\n";
  const Imported M = Import(Many);
  EXPECT_EQ(M.Set.Levels.size(), 255u);
  EXPECT_TRUE(M.Says("level 256: left out: a level file holds at most 255 levels")) << M.All.substr(0, 200);
  EXPECT_TRUE(M.Says("level 300: left out")) << M.All.substr(0, 200);

  const Imported None = Import("; just words\nno boards here\n");
  EXPECT_TRUE(None.Set.Levels.empty());
  EXPECT_TRUE(None.Says("pack.txt: no levels found")) << None.All;
}

TEST(Export, WritesTheCommonFormatWithWaterAsTilde) {
  LevelSet Set;
  Level L;
  L.Headers = {{"Title", "Pond"}, {"Author", "Me"}};
  L.Width = 8;
  L.Height = 4;
  L.Rows = {"11111111", "19 25431", "1 0 -_  ", "11111111"};
  Set.Levels = {L};
  Level Plain = L;
  Plain.Headers.clear();
  Set.Levels.push_back(Plain);
  const std::string Text = ExportCommon(Set);
  EXPECT_EQ(Text,
            "; Pond\n########\n#@ $~*.#\n#\n########\nAuthor: Me\n\n"
            "; Level 2\n########\n#@ $~*.#\n#\n########\n");
  // Trailing floor is trimmed, so the import pads the row back with floor.
  const Imported Back = Import(Text);
  ASSERT_EQ(Back.Set.Levels.size(), 2u) << Back.All;
  EXPECT_EQ(Back.Set.Levels[0].Rows[1], "19 25431");
  EXPECT_EQ(Back.Set.Levels[0].Rows[2], "1       ");
  EXPECT_EQ(Back.Set.Levels[0].HeaderValue("Title"), "Pond");
  EXPECT_EQ(Back.Set.Levels[0].HeaderValue("Author"), "Me");
}

TEST(Import, NoiseNeverCrashes) {
  // Arbitrary bytes, weighted towards board characters, digits and '|'.
  const std::string Alphabet = "#$.*@+ -_~|0123456789;\n\r\tTitle:";
  unsigned Seed = 777;
  for (int Round = 0; Round < 200; ++Round) {
    std::string Text;
    for (int I = 0; I < 400; ++I) {
      Seed = Seed * 1103515245u + 12345u;
      const unsigned R = Seed >> 16;
      Text += R % 8 ? Alphabet[R % Alphabet.size()] : char(R >> 3);
    }
    Problems Found;
    const LevelSet Set = ImportCommon(Text, "noise.txt", Found);
    Problems Written;
    WriteLevelFile(Set, "noise.lvl", Written);
    EXPECT_FALSE(HasErrors(Written));
    Problems Parsed;
    ParseSource(Text, "noise.txt", Parsed);
  }
}
