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

TEST(Export, ARowOfNothingButFloorIsKept) {
  // Alone, the last row would be a blank line, which ends the board.
  const Imported First = Import("3#|#@$.#|\n");
  ASSERT_EQ(First.Set.Levels.size(), 1u) << First.All;
  ASSERT_EQ(First.Set.Levels[0].Rows.size(), 3u);
  const std::string Text = ExportCommon(First.Set);
  EXPECT_NE(Text.find("\n###|#@$.#|-\n"), std::string::npos) << Text;
  const Imported Back = Import(Text);
  ASSERT_EQ(Back.Set.Levels.size(), 1u) << Back.All;
  EXPECT_EQ(Back.Set.Levels[0].Rows, First.Set.Levels[0].Rows);
}

TEST(Export, AColumnOfNothingButFloorIsKept) {
  const Imported First = Import("####-\n#@$.#-\n#####\n");
  ASSERT_EQ(First.Set.Levels.size(), 1u) << First.All;
  ASSERT_EQ(First.Set.Levels[0].Width, 6);
  const Imported Back = Import(ExportCommon(First.Set));
  ASSERT_EQ(Back.Set.Levels.size(), 1u) << Back.All;
  EXPECT_EQ(Back.Set.Levels[0].Rows, First.Set.Levels[0].Rows);
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

TEST(Import, DamagedRowsRefuseTheirLevelAndNameTheRow) {
  const Imported Bottom = Import("; Lost wall\n#######\n#@$.  #\n######X\n");
  EXPECT_TRUE(Bottom.Set.Levels.empty()) << Bottom.All;
  EXPECT_TRUE(Bottom.Says("pack.txt:4: level 1: left out: unknown character 'X' at column 7")) << Bottom.All;

  // A damaged row in the middle neither splits the level nor ends it.
  const Imported Middle = Import("#####\n#@$.#\n#?  #\n#####\n\n#####\n#@$.#\n#####\n");
  ASSERT_EQ(Middle.Set.Levels.size(), 1u) << Middle.All;
  EXPECT_EQ(Middle.Set.Levels[0].Line, 6);
  EXPECT_TRUE(Middle.Says("pack.txt:3: level 1: left out: unknown character '?' at column 2")) << Middle.All;
  EXPECT_FALSE(Middle.Says("level 3")) << Middle.All;

  // A byte order mark before the first row is no damage to it.
  const Imported Marked = Import("\xEF\xBB\xBF#####\n#@$.#\n#####\n");
  ASSERT_EQ(Marked.Set.Levels.size(), 1u) << Marked.All;
  EXPECT_EQ(Marked.Set.Levels[0].Height, 3);
  EXPECT_TRUE(Marked.Found.empty()) << Marked.All;

  const Imported Control = Import("#####\n#@$.\x01#\n#####\n");
  EXPECT_TRUE(Control.Says("pack.txt:2: level 1: left out: unknown character (byte 1) at column 5")) << Control.All;

  // Text around boards stays text.
  const Imported Words = Import("Copyright 2001 by Someone\n2 boxes, hard\n#####\n#@$.#\n#####\nEasy one\n");
  EXPECT_EQ(Words.Set.Levels.size(), 1u) << Words.All;
  EXPECT_TRUE(Words.Found.empty()) << Words.All;
}

TEST(Import, TabsAdvanceToTheNextEighthColumnAndTrailingBlanksAreDropped) {
  const Imported Trailing = Import("#####\t\n#@$.#\t \n#####  \r\n");
  ASSERT_EQ(Trailing.Set.Levels.size(), 1u) << Trailing.All;
  EXPECT_EQ(Trailing.Set.Levels[0].Width, 5);
  EXPECT_TRUE(Trailing.Found.empty()) << Trailing.All;

  const Imported Inside = Import("\t#########\n\t#@$.\t#\n\t#########\n");
  ASSERT_EQ(Inside.Set.Levels.size(), 1u) << Inside.All;
  EXPECT_EQ(Inside.Set.Levels[0].Rows[0], "        111111111");
  EXPECT_EQ(Inside.Set.Levels[0].Rows[1], "        1923    1");
}

TEST(Import, RunLengthsStopAtTheLargestLevel) {
  std::string Wide;
  for (int I = 0; I < 2000; ++I) Wide += "4000#\n";
  const Imported W = Import(Wide);
  EXPECT_TRUE(W.Set.Levels.empty());
  EXPECT_TRUE(W.Says("pack.txt:1: level 1: left out: 4000 columns: a level holds at most 255")) << W.All;

  std::string Tall;
  for (int I = 0; I < 300; ++I) Tall += "255#|";
  const Imported T = Import(Tall + "#\n#\n");
  EXPECT_TRUE(T.Says("pack.txt:1: level 1: left out: 302 rows: a level holds at most 255")) << T.All;
  EXPECT_FALSE(T.Says("level 2")) << T.All;

  // Exactly the largest level fits.
  std::string Largest = "255#\n#@$.250 #\n";
  for (int I = 0; I < 252; ++I) Largest += "#253 #\n";
  const Imported L = Import(Largest + "255#\n");
  ASSERT_EQ(L.Set.Levels.size(), 1u) << L.All.substr(0, 300);
  EXPECT_EQ(L.Set.Levels[0].Width, 255);
  EXPECT_EQ(L.Set.Levels[0].Height, 255);
}

TEST(Import, CountsLevelsLeftOutNotMessages) {
  int LeftOut = -1;
  Problems Found;
  // Level 2 gets two errors; level 3 a warning only.
  const LevelSet Set = ImportCommon(
      "#####\n#@$.#\n#####\n\n#####\n#   #\n#####\n\n####\n#@$.\n####\n\n#####\n#@$.#\n", "pack.txt", Found, LeftOut);
  EXPECT_EQ(Set.Levels.size(), 3u);
  EXPECT_EQ(LeftOut, 1);

  // A flood of refused levels is counted in full, though only the first messages are kept.
  std::string Flood;
  for (int I = 0; I < 5000; ++I) Flood += "#\n\n";
  Problems Many;
  ImportCommon(Flood, "pack.txt", Many, LeftOut);
  EXPECT_EQ(LeftOut, 5000);
  ASSERT_LE(Many.size(), 1001u);
  EXPECT_NE(FormatProblem(Many.back()).find("more messages not shown"), std::string::npos);
}

TEST(Import, APlayerOnAGoalStartsOnTheNearestFloorItCanWalkTo) {
  const Imported Moved = Import("; Step aside\n#######\n#+ $  #\n#######\n");
  ASSERT_EQ(Moved.Set.Levels.size(), 1u) << Moved.All;
  EXPECT_EQ(Moved.Set.Levels[0].Rows[1], "1392  1");
  EXPECT_TRUE(Moved.Says("pack.txt:2: warning: level 1: the player stands on a goal at row 2, column 2")) << Moved.All;
  EXPECT_TRUE(Moved.Says("starts at row 2, column 3 instead")) << Moved.All;

  // Two floor cells two steps away: the upper one wins; goals are walked over, boxes are not.
  const Imported Tie = Import(
      "#######\n"
      "###. ##\n"
      "###+###\n"
      "## .###\n"
      "#$$$###\n"
      "#######\n");
  ASSERT_EQ(Tie.Set.Levels.size(), 1u) << Tie.All;
  EXPECT_EQ(Tie.Set.Levels[0].Rows[1], "1113911");
  EXPECT_EQ(Tie.Set.Levels[0].Rows[2], "1113111");
  EXPECT_EQ(Tie.Set.Levels[0].Rows[3], "11 3111");

  // Boxed in on its goal, the player has nowhere else to start.
  const Imported Stuck = Import("######\n#.+.$#\n##$$##\n######\n");
  EXPECT_TRUE(Stuck.Set.Levels.empty());
  EXPECT_TRUE(Stuck.Says("level 1: left out: a player standing on a goal ('+') cannot be expressed")) << Stuck.All;

  // A second start is named, not lost with the goal under it.
  const Imported Two = Import("#######\n#+ @$.#\n#######\n");
  EXPECT_TRUE(Two.Set.Levels.empty());
  EXPECT_TRUE(Two.Says("left out: 2 player starts")) << Two.All;
}

TEST(Import, TheLeadingCommentBlockDescribesTheSet) {
  const Imported R = Import(Collection);
  EXPECT_EQ(R.Set.Headers.size(), 2u);
  EXPECT_EQ(R.Set.Headers[0].Key + ": " + R.Set.Headers[0].Value, "Set: A little collection");
  EXPECT_EQ(R.Set.Headers[1].Key + ": " + R.Set.Headers[1].Value, "Note: for testing");
  EXPECT_EQ(R.Set.Levels[0].HeaderValue("Title"), "Warm-up");

  const Imported Credited = Import(
      "; Author: Someone\tKind\n;\n; Licence: CC BY 4.0\nTitle: Tiny Tour\n\n"
      "; One\n#####\n#@$.#\n#####\nAuthor: Guest\n");
  std::string Headers;
  for (const auto &H : Credited.Set.Headers) Headers += H.Key + ": " + H.Value + "\n";
  EXPECT_EQ(Headers, "Set: Tiny Tour\nAuthor: Someone Kind\nNote: Licence: CC BY 4.0\n");
  ASSERT_EQ(Credited.Set.Levels.size(), 1u);
  EXPECT_EQ(Credited.Set.Levels[0].HeaderValue("Title"), "One");
  EXPECT_EQ(Credited.Set.Levels[0].HeaderValue("Author"), "Guest");

  // Exported and imported again, the set keeps what it says about itself.
  const Imported Again = Import(ExportCommon(Credited.Set));
  ASSERT_EQ(Again.Set.Levels.size(), 1u) << Again.All;
  std::string HeadersAgain;
  for (const auto &H : Again.Set.Headers) HeadersAgain += H.Key + ": " + H.Value + "\n";
  EXPECT_EQ(HeadersAgain, Headers);
  EXPECT_EQ(Again.Set.Levels[0].HeaderValue("Title"), "One");
}

TEST(Import, TabsCannotWidenARowPastTheLargestLevel) {
  // 40 tabs are 320 columns: refused by measure, like a long run.
  const Imported R = Import("#" + std::string(40, '\t') + "#\n#@$.#\n#####\n");
  EXPECT_TRUE(R.Says("pack.txt:1: level 1: left out: 321 columns: a level holds at most 255")) << R.All;
  // Each row of a run-length line starts at column 1.
  const Imported Bars = Import("#####|#@$.\t#|#\t#|#####\n");
  ASSERT_EQ(Bars.Set.Levels.size(), 1u) << Bars.All;
  EXPECT_EQ(Bars.Set.Levels[0].Rows[1], "1923    1");
  EXPECT_EQ(Bars.Set.Levels[0].Rows[2], "1       1");
}
