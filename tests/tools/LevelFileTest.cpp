// Reading level files as the game reads them: every byte the game would
// misread is reported with the file, the line and the level, never a crash.
#include <gtest/gtest.h>

#include "LevelSet.h"

using namespace levels;

namespace {

std::string Bytes(std::initializer_list<int> Values) {
  std::string S;
  for (const int V : Values) S += char(V);
  return S;
}

// A two-level file built by hand: 5x3 and 7x4.
std::string TwoLevels() {
  return Bytes({2}) + "\n" + Bytes({5, 3}) + "Title: A\n11111\n19231\n11111\n" + Bytes({7, 4}) +
         "\n1111111\n1 9 2 1\n1  3  1\n1111111\n";
}

struct Read {
  LevelSet Set;
  Problems Found;
  std::string All;
};

Read ReadBytes(const std::string &B) {
  Read R;
  R.Set = ReadLevelFile(B, "set.lvl", R.Found);
  for (const auto &P : R.Found) R.All += FormatProblem(P) + "\n";
  return R;
}

bool Says(const Read &R, const std::string &Text) { return R.All.find(Text) != std::string::npos; }

}  // namespace

TEST(LevelFile, ReadsAWellFormedFile) {
  const Read R = ReadBytes(TwoLevels());
  EXPECT_TRUE(R.Found.empty()) << R.All;
  ASSERT_EQ(R.Set.Levels.size(), 2u);
  EXPECT_EQ(R.Set.Levels[1].Width, 7);
  EXPECT_EQ(R.Set.Levels[1].Height, 4);
  EXPECT_EQ(R.Set.Levels[1].Line, 6);
  EXPECT_EQ(R.Set.Levels[0].HeaderValue("Title"), "A");
  EXPECT_EQ(R.Set.Levels[1].Rows[2], "1  3  1");
}

TEST(LevelFile, CountByteAgainstTheLevelsPresent) {
  std::string More = TwoLevels();
  More[0] = 3;
  const Read R = ReadBytes(More);
  EXPECT_TRUE(HasErrors(R.Found));
  EXPECT_TRUE(Says(R, "set.lvl:1: the count byte says 3 levels, the file holds 2")) << R.All;

  std::string Fewer = TwoLevels();
  Fewer[0] = 1;
  const Read F = ReadBytes(Fewer);
  EXPECT_TRUE(Says(F, "the count byte says 1 levels, the file holds 2")) << F.All;
}

TEST(LevelFile, TruncatedFiles) {
  const std::string Whole = TwoLevels();
  // Cut inside the second level's rows, inside its header, and after the count.
  const Read Rows = ReadBytes(Whole.substr(0, Whole.size() - 16));
  EXPECT_TRUE(Says(Rows, "level 2: the file ends after 2 of the level's 4 rows")) << Rows.All;
  const Read Head = ReadBytes(Whole.substr(0, Whole.find(Bytes({7, 4})) + 1));
  EXPECT_TRUE(Says(Head, "set.lvl:6: level 2: the header line holds one byte")) << Head.All;
  const Read Empty = ReadBytes("");
  EXPECT_TRUE(Says(Empty, "set.lvl: the file is empty")) << Empty.All;
  const Read CountOnly = ReadBytes(Bytes({2}));
  EXPECT_TRUE(Says(CountOnly, "the count byte says 2 levels, the file holds 0")) << CountOnly.All;
}

TEST(LevelFile, HeaderBytesTheGameWouldMisread) {
  // Width 13 is a CR the game drops; height 26 ends its reading.
  const Read Cr = ReadBytes(Bytes({1}) + "\n" + Bytes({13, 3}) + "\n" + std::string(13, '1') + "\n" +
                            "19" + std::string(9, ' ') + "31\n" + std::string(13, '1') + "\n");
  EXPECT_TRUE(Says(Cr, "set.lvl:2: level 1: size byte 13 in the header")) << Cr.All;
  const Read Eof = ReadBytes(Bytes({1}) + "\n" + Bytes({3, 26}) + "\n111\n");
  EXPECT_TRUE(Says(Eof, "set.lvl:2: byte 26 at column 2")) << Eof.All;
  EXPECT_TRUE(Says(Eof, "size byte 26")) << Eof.All;
  // Width 10 ends the header line at once: the line is empty.
  const Read Lf = ReadBytes(Bytes({1}) + "\n" + Bytes({10, 3}) + "\n");
  EXPECT_TRUE(Says(Lf, "set.lvl:2: level 1: the header line is empty")) << Lf.All;
  // A count of 10 leaves the first line empty.
  const Read Count = ReadBytes(Bytes({10}) + TwoLevels().substr(1));
  EXPECT_TRUE(Says(Count, "set.lvl:1: the level count line is empty")) << Count.All;
  EXPECT_TRUE(HasErrors(Count.Found));
}

TEST(LevelFile, RowsAgainstTheWidth) {
  std::string Short = TwoLevels();
  Short.replace(Short.find("19231"), 5, "1923");
  const Read S = ReadBytes(Short);
  EXPECT_TRUE(Says(S, "set.lvl:4: level 1: row 2 holds 4 cells, fewer than the width 5")) << S.All;
  EXPECT_TRUE(HasErrors(S.Found));

  std::string Long = TwoLevels();
  Long.replace(Long.find("19231"), 5, "19231xyz");
  const Read L = ReadBytes(Long);
  EXPECT_FALSE(HasErrors(L.Found)) << L.All;
  EXPECT_TRUE(Says(L, "set.lvl:4: warning: level 1: row 2 has 3 bytes beyond the width")) << L.All;
  EXPECT_EQ(L.Set.Levels[0].Rows[1], "19231");

  std::string Cr = TwoLevels();
  Cr.replace(Cr.find("19231"), 5, "19\r231");
  const Read C = ReadBytes(Cr);
  EXPECT_TRUE(Says(C, "CR at column 3")) << C.All;
  // What the tool goes on to check is what the game plays: the CR dropped.
  EXPECT_EQ(C.Set.Levels[0].Rows[1], "19231");

  // Byte 26 ends the game's text: the levels after it are not the game's.
  const Read Cut = ReadBytes(TwoLevels().insert(TwoLevels().find(Bytes({7, 4})), Bytes({26})));
  EXPECT_TRUE(Says(Cut, "the game stops reading the file there")) << Cut.All;
  EXPECT_EQ(Cut.Set.Levels.size(), 1u);
}

TEST(LevelFile, ForeignBytesAndLineEndsAreWarnings) {
  std::string Crlf = TwoLevels();
  for (std::size_t At = Crlf.find('\n'); At != std::string::npos; At = Crlf.find('\n', At + 2)) Crlf.insert(At, "\r");
  const Read C = ReadBytes(Crlf);
  EXPECT_FALSE(HasErrors(C.Found)) << C.All;
  EXPECT_TRUE(Says(C, "ends in CR LF")) << C.All;
  ASSERT_EQ(C.Set.Levels.size(), 2u);
  EXPECT_EQ(C.Set.Levels[1].Rows[3], "1111111");

  std::string Foreign = TwoLevels();
  Foreign.replace(Foreign.find("1  3  1"), 7, "1 x3 81");
  const Read F = ReadBytes(Foreign);
  EXPECT_FALSE(HasErrors(F.Found)) << F.All;
  EXPECT_TRUE(Says(F, "set.lvl:6: warning: level 2: 2 cells hold bytes")) << F.All;

  const Read Tail = ReadBytes(TwoLevels() + "trailing words\n");
  EXPECT_FALSE(HasErrors(Tail.Found)) << Tail.All;
  EXPECT_TRUE(Says(Tail, "lines after the 2 levels the count names")) << Tail.All;
}

TEST(LevelFile, GarbageNeverCrashes) {
  // Every prefix of a real file and a run of arbitrary bytes read without a crash.
  const std::string Whole = TwoLevels();
  for (std::size_t N = 0; N <= Whole.size(); ++N) ReadBytes(Whole.substr(0, N));
  std::string Noise;
  unsigned Seed = 12345;
  for (int I = 0; I < 4000; ++I) {
    Seed = Seed * 1103515245u + 12345u;
    Noise += char(Seed >> 16);
  }
  for (std::size_t N = 0; N < Noise.size(); N += 97) {
    Problems Found;
    const LevelSet Set = ReadLevelFile(Noise.substr(N, 300), "noise", Found);
    for (std::size_t I = 0; I < Set.Levels.size(); ++I) CheckLevel(Set.Levels[I], int(I), "noise", Found);
    EXPECT_FALSE(Found.empty());
  }
}

TEST(LevelFile, ChecksWhatMakesALevelUnplayable) {
  const auto Check = [](std::vector<std::string> Rows) {
    Level L;
    L.Rows = Rows;
    L.Height = int(Rows.size());
    L.Width = int(Rows[0].size());
    L.Line = 3;
    Problems Found;
    CheckLevel(L, 4, "set.lvl", Found);
    std::string All;
    for (const auto &P : Found) All += FormatProblem(P) + "\n";
    return All;
  };
  EXPECT_EQ(Check({"11111", "19231", "11111"}), "");
  EXPECT_NE(Check({"11111", "1 231", "11111"}).find("set.lvl:3: level 5: no player start"), std::string::npos);
  EXPECT_NE(Check({"111111", "192391", "111111"}).find("2 player starts"), std::string::npos);
  EXPECT_NE(Check({"111111", "192331", "111111"}).find("1 boxes for 2 destinations"), std::string::npos);
  EXPECT_NE(Check({"111111", "19 2 1", "111111"}).find("no destinations"), std::string::npos);
  EXPECT_NE(Check({"111111", "19 421", "111111"}).find("solved at once"), std::string::npos);
  EXPECT_NE(Check({"11111", "19231", "11 11"}).find("warning: level 5: no wall encloses the level"), std::string::npos);
  // Water does not let the player out, but it can be filled, so it does not enclose.
  EXPECT_NE(Check({"11111", "19231", "11511"}).find("no wall encloses"), std::string::npos);
}
