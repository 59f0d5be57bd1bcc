// The key=value store: parsing, lookups by key without regard to case, saving.
#include "Conf.h"
#include "Files.h"
#include "TempDir.h"

namespace {

using ConfTest = TTempDirTest;

// A store that was never loaded from a file writes LF, on every system.
constexpr const char *NewFileLineEnd = "\n";

std::string Lines(const std::vector<std::string> &Texts, const std::string &End)
{
  std::string Out;
  for (const std::string &T : Texts) Out += T + End;
  return Out;
}

TEST_F(ConfTest, ParsesLinesIntoEntriesInFileOrder)
{
  TConf C;
  C.Load(WriteFile("config.ini",
                   "  Key = a=b ; note\r\n"
                   "; a comment\n"
                   "\n"
                   "Flag\n"
                   "=x\n"
                   "[Video]\n"
                   "\tTabbed\t=\t v \x01\n"
                   "value;with=semicolon\n"
                   "last=no line end"));
  ASSERT_EQ(C.Count(), 7);
  const char *Expected[7][2] = {{"Key", "a=b"}, {"Flag", ""}, {"", "x"}, {"[Video]", ""},
                                {"Tabbed", "v"}, {"value", ""}, {"last", "no line end"}};
  for (int I = 0; I < 7; ++I) {
    EXPECT_EQ(C.KeyAt(I), Expected[I][0]) << I;
    EXPECT_EQ(C.ValueAt(I), Expected[I][1]) << I;
  }
  EXPECT_EQ(C.GetValue(""), "x");
  EXPECT_EQ(C.KeyAt(7), "");
  EXPECT_EQ(C.ValueAt(-1), "");
}

TEST_F(ConfTest, LineEndsAndEndOfTextMark)
{
  TConf C;
  // A CR alone is dropped; byte 26 ends the file; lines may be very long.
  const std::string Long(100000, 'v');
  C.Load(WriteFile("c.ini", "a=1\rx\r\r\nb=" + Long + "\nc=3\x1a" "d=4\n"));
  ASSERT_EQ(C.Count(), 3);
  EXPECT_EQ(C.GetValue("a"), "1x");
  EXPECT_EQ(C.GetValue("b"), Long);
  EXPECT_EQ(C.GetValue("c"), "3");
  EXPECT_FALSE(C.HasKey("d"));
}

TEST_F(ConfTest, EmptyFilesGiveAnEmptyStore)
{
  TConf C;
  C.SetValue("old", "1");
  C.Load(WriteFile("c.ini", "; only comments\n\n   \n"));
  EXPECT_EQ(C.Count(), 0);
  EXPECT_EQ(C.GetValue("old"), "");
  EXPECT_FALSE(C.HasKey("old"));
  C.SetValue("First", "1");
  ASSERT_EQ(C.Count(), 1);
  EXPECT_EQ(C.KeyAt(0), "First");
}

TEST_F(ConfTest, FirstMatchIgnoringCaseWins)
{
  TConf C;
  C.Load(WriteFile("c.ini", "mode=1\nMODE=2\n"));
  EXPECT_EQ(C.GetValue("Mode"), "1");
  EXPECT_TRUE(C.HasKey("mOdE"));
  EXPECT_FALSE(C.HasKey(" Mode"));
  EXPECT_EQ(C.GetValue(" Mode"), "");
  C.SetValue("Mode", "9");
  EXPECT_EQ(C.ValueAt(0), "9");
  EXPECT_EQ(C.ValueAt(1), "2");
  C.SetValue("New", "n");
  EXPECT_EQ(C.KeyAt(2), "New");
  C.Save(PathOf("out.ini"));
  EXPECT_EQ(ReadFile("out.ini"), "mode=9\nMODE=2\nNew=n\n");
}

TEST_F(ConfTest, LatinUpperCaseMatchesLowerCase)
{
  TConf C;
  C.SetValue("\xC0\xD7\xDF", "latin"); // bytes 192..223 match 32 higher
  EXPECT_EQ(C.GetValue("\xE0\xF7\xFF"), "latin");
  EXPECT_FALSE(C.HasKey("\xC0\xD7\xBF"));
  C.SetValue("\xBF", "other"); // 191 is no letter of the range
  EXPECT_FALSE(C.HasKey("\xDF"));
}

TEST_F(ConfTest, SavedEntriesLoadBackTheSame)
{
  TConf C;
  C.SetValue("Flag", "");
  C.SetValue("", "x");
  C.SetValue("Note", "a;b");
  C.Save(PathOf("Config.INI"));
  EXPECT_EQ(ReadFile("Config.INI"), Lines({"Flag=", "=x", "Note=a;b"}, NewFileLineEnd));
  TConf D;
  D.Load(PathOf("config.ini")); // one file whatever the case
  ASSERT_EQ(D.Count(), 3);
  EXPECT_TRUE(D.HasKey("Flag"));
  EXPECT_EQ(D.GetValue("Flag"), "");
  EXPECT_EQ(D.GetValue(""), "x");
  EXPECT_EQ(D.GetValue("Note"), "a"); // the ';' starts a comment on the way back
  TConf Empty;
  Empty.Save(PathOf("empty.ini"));
  EXPECT_EQ(ReadFile("empty.ini"), "");
}

// A player's file keeps what the player wrote in it: comments, blank lines and
// lines the game does not know come back; only a changed entry's line is
// rewritten, keeping its comment; new entries follow at the end.
TEST_F(ConfTest, SaveKeepsCommentsBlankAndUnknownLines)
{
  TConf C;
  C.Load(WriteFile("c.ini", "; settings\n\n  Mode = 5 ; 1024x768\n[Video]\nFreq=0\r\nkeep = as  written ;x\nMode=6\n"));
  C.SetValue("mode", "7");
  C.SetValue("Freq", "0");  // the same value: the line stays as it was
  C.SetValue("Cubes", "1");
  C.Save(PathOf("c.ini"));
  EXPECT_EQ(ReadFile("c.ini"), "; settings\n\nMode=7 ; 1024x768\n[Video]\nFreq=0\r\n"
                               "keep = as  written ;x\nMode=6\nCubes=1\n");
  TConf D;
  D.Load(PathOf("c.ini"));
  EXPECT_EQ(D.GetValue("Mode"), "7");
  EXPECT_EQ(D.Count(), 6);

  // Entries taken out of the store lose their lines; a cleared store writes only what it holds.
  D.Items.erase(D.Items.begin() + 1);  // [Video]
  D.Save(PathOf("d.ini"));
  EXPECT_EQ(ReadFile("d.ini").find("[Video]"), std::string::npos);
  EXPECT_NE(ReadFile("d.ini").find("; settings"), std::string::npos);
  D.Clear();
  D.SetValue("k", "v");
  D.Save(PathOf("d.ini"));
  EXPECT_EQ(ReadFile("d.ini"), "k=v" + std::string(NewFileLineEnd));
}

// Saving keeps the line ends the file was written with: a file edited on
// Linux stays LF, one from Windows stays CR LF, each line of a mixed file keeps
// its own; new entries take the first line's end.
TEST_F(ConfTest, SaveKeepsTheLineEndsTheFileHas)
{
  for (const std::string End : {"\n", "\r\n"}) {
    SCOPED_TRACE(End.size() == 1 ? "LF" : "CR LF");
    TConf C;
    C.Load(WriteFile("c.ini", Lines({"; comment", "Mode=1", "", "Maps=maps.ini"}, End)));
    C.SetValue("Mode", "5");
    C.SetValue("Cubes", "1");
    C.Save(PathOf("c.ini"));
    EXPECT_EQ(ReadFile("c.ini"), Lines({"; comment", "Mode=5", "", "Maps=maps.ini", "Cubes=1"}, End));
  }

  TConf Mixed;
  Mixed.Load(WriteFile("m.ini", "a=1\r\nb=2\nc=3\r\nd=4"));  // the last line has no end
  Mixed.SetValue("b", "9");
  Mixed.Save(PathOf("m.ini"));
  EXPECT_EQ(ReadFile("m.ini"), "a=1\r\nb=9\nc=3\r\nd=4");
  Mixed.SetValue("e", "5");  // a line after the last needs an end between them
  Mixed.Save(PathOf("m.ini"));
  EXPECT_EQ(ReadFile("m.ini"), "a=1\r\nb=9\nc=3\r\nd=4\r\ne=5\r\n");

  // A CR that ends one piece of the file read and the LF that begins the next.
  const std::string Long = "k=" + std::string(65533, 'v');
  TConf Split;
  Split.Load(WriteFile("s.ini", Long + "\r\nx=1\n"));
  Split.SetValue("y", "2");
  Split.Save(PathOf("s.ini"));
  EXPECT_EQ(ReadFile("s.ini"), Long + "\r\nx=1\ny=2\r\n");

  TConf OneLine;  // no line end to follow: LF
  OneLine.Load(WriteFile("o.ini", "a=1"));
  OneLine.SetValue("b", "2");
  OneLine.Save(PathOf("o.ini"));
  EXPECT_EQ(ReadFile("o.ini"), "a=1" + std::string(NewFileLineEnd) + "b=2" + NewFileLineEnd);
}

TEST_F(ConfTest, SaveOverwritesTheExistingFileOfAnyCase)
{
  WriteFile("config.ini", "old=1\nlots=of text that is longer than the new file\n");
  TConf C;
  C.SetValue("k", "v");
  C.Save(PathOf("Config.INI"));
  EXPECT_EQ(ReadFile("config.ini"), "k=v" + std::string(NewFileLineEnd));
  EXPECT_EQ(EntryCount(), 1);
}

TEST_F(ConfTest, MissingFileIsFatal)
{
  TConf C;
  EXPECT_EXIT(C.Load(PathOf("config.ini")), ::testing::ExitedWithCode(2), "^Runtime error 2.*config\\.ini");
  EXPECT_EXIT(C.Save(PathOf("missing/dir/c.ini")), ::testing::ExitedWithCode(2), "^Runtime error 2");
}

TEST_F(ConfTest, ClearEmptiesTheStore)
{
  TConf C;
  C.SetValue("a", "1");
  C.Clear();
  EXPECT_EQ(C.Count(), 0);
  EXPECT_FALSE(C.HasKey("a"));
}

} // namespace
