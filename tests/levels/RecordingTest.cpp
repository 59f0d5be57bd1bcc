// The text form of key recordings: what is written reads back the same, and
// every kind of broken file is refused with the line at fault.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include "Recording.h"

using namespace Autopilot;
using namespace std::string_literals;

namespace {

const std::string Header = "kestrove-recording 1\nlevel intro.lvl\nindex 3\nkeys3d 0\n";

std::string Refusal(const std::string &Text)
{
  TRecording Recording;
  std::string Error;
  if (ReadRecording(Text, Recording, Error)) return "(accepted)";
  return Error;
}

}  // namespace

TEST(RecordingKeys, NamesReadBackAsTheSameKeys)
{
  EXPECT_EQ(KeysText(0), "-");
  EXPECT_EQ(KeysText(kUp | kRight), "Up+Right");
  EXPECT_EQ(KeysText(kEsc | kPgUp | kDown), "Down+PgUp+Esc");
  for (TKeys Keys = 0; Keys <= AllKeys; ++Keys) {
    TKeys Back = 0xFF;
    ASSERT_TRUE(ParseKeys(KeysText(Keys), Back)) << KeysText(Keys);
    EXPECT_EQ(Back, Keys);
  }
  // Any order is accepted; unknown, repeated, empty and differently cased names are not.
  TKeys Keys = 0;
  EXPECT_TRUE(ParseKeys("Right+Up", Keys));
  EXPECT_EQ(Keys, kUp | kRight);
  for (const char *Bad : {"", "Jump", "up", "Up+Up", "Up+", "+Up", "Up++Down", "-+Up"})
    EXPECT_FALSE(ParseKeys(Bad, Keys)) << Bad;
}

TEST(RecordingText, WrittenRecordingReadsBackEqual)
{
  TRecording Recording;
  Recording.LevelFile = "water set.lvl";
  Recording.LevelIndex = 12;
  Recording.Keys3D = true;
  Recording.Comments = {"from the solution:", "rRuL"};
  Recording.Append(kRight, 10);
  Recording.Append(kRight);  // joins the run before
  Recording.Append(0, 2);
  Recording.Append(kUp | kLeft, 7);
  Recording.Append(kUp, 0);  // nothing
  ASSERT_EQ(Recording.Runs.size(), 3u);
  EXPECT_EQ(Recording.Runs[0], (TRun{11, kRight}));
  EXPECT_EQ(Recording.FrameCount(), 20u);

  const std::string Text = WriteRecording(Recording);
  EXPECT_EQ(Text,
            "kestrove-recording 1\nlevel water set.lvl\nindex 12\nkeys3d 1\nframes 20\n"
            "# from the solution:\n# rRuL\n11 Right\n2 -\n7 Up+Left\n");
  TRecording Back;
  std::string Error;
  ASSERT_TRUE(ReadRecording(Text, Back, Error)) << Error;
  EXPECT_EQ(Back, Recording);
  const std::vector<TKeys> Frames = Back.Frames();
  ASSERT_EQ(Frames.size(), 20u);
  EXPECT_EQ(Frames[10], kRight);
  EXPECT_EQ(Frames[11], 0);
  EXPECT_EQ(Frames[19], kUp | kLeft);
}

TEST(RecordingText, AcceptsCommentsBlanksCrLfAndHeaderInAnyOrder)
{
  TRecording Recording;
  std::string Error;
  ASSERT_TRUE(ReadRecording("# made by hand\r\n\r\n  kestrove-recording 1  \r\nframes 3\r\nkeys3d 1\r\n"
                            "index 0\r\nlevel a.lvl\r\n\t2\tUp \r\n# a pause\r\n1 -",
                            Recording, Error))
      << Error;
  EXPECT_EQ(Recording.LevelFile, "a.lvl");
  EXPECT_TRUE(Recording.Keys3D);
  EXPECT_EQ(Recording.Runs, (std::vector<TRun>{{2, kUp}, {1, 0}}));
}

// A carriage return before trailing blanks is still part of the line's end:
// the name must read back the same after the recording is written again.
TEST(RecordingText, CarriageReturnBeforeTrailingBlanksEndsTheLine)
{
  TRecording Recording;
  std::string Error;
  ASSERT_TRUE(ReadRecording("kestrove-recording 1\nlevel my levels.lvl\r \nindex 254\nkeys3d 1\nframes 12\n"
                            "  4 Up+PgUp  \n8 -\n",
                            Recording, Error))
      << Error;
  EXPECT_EQ(Recording.LevelFile, "my levels.lvl");
  TRecording Again;
  ASSERT_TRUE(ReadRecording(WriteRecording(Recording), Again, Error)) << Error;
  EXPECT_EQ(Again.LevelFile, Recording.LevelFile);
}

TEST(RecordingText, RefusesBrokenFilesNamingTheLine)
{
  struct TCase { std::string Text, Message; };
  const std::vector<TCase> Cases = {
      {"", "empty"},
      {"# only a comment\n", "empty"},
      {"kestrove-replay 1\n", "line 1: not a key recording"},
      {"kestrove-recording 2\n", "line 1: unsupported recording version \"2\""},
      {"kestrove-recording\n", "line 1: unsupported recording version"},
      {"kestrove-recording 1\n5 Up\n", "line 2: a run before the header is complete"},
      {Header + "speed 3\n", "line 5: unknown line \"speed 3\""},
      {Header + "index 4\n", "line 5: \"index\" given twice"},
      {"kestrove-recording 1\nlevel\n", "line 2: \"level\" without a file name"},
      {"kestrove-recording 1\nindex 255\n", "line 2: bad level index \"255\""},
      {"kestrove-recording 1\nindex -1\n", "line 2: bad level index"},
      {"kestrove-recording 1\nkeys3d yes\n", "line 2: keys3d must be 0 or 1"},
      {"kestrove-recording 1\nframes 0\n", "line 2: bad frame total"},
      {"kestrove-recording 1\nframes 99999999999\n", "line 2: bad frame total"},
      {Header + "frames 5\n0 Up\n", "line 6: bad frame count \"0\""},
      {Header + "frames 5\n5x Up\n", "line 6: bad frame count \"5x\""},
      {Header + "frames 5\n+5 Up\n", "line 6: unknown line"},
      {Header + "frames 99999999\n99999999 Up\n", "line 6: bad frame count"},
      {Header + "frames 5\n5 Jump\n", "line 6: bad keys \"Jump\""},
      {Header + "frames 5\n5 Up Down\n", "line 6: bad keys \"Up Down\""},
      {Header + "frames 5\n5\n", "line 6: bad keys \"\""},
      {Header + "frames 5\n3 Up\n3 Down\n", "line 7: more frames than the header's 5"},
      {Header + "frames 5\n3 Up\n", "truncated: the runs hold 3 frames, the header says 5"},
      {Header + "frames 5\n5 Up\nkeys3d 1\n", "line 7: header line \"keys3d\" after the first run"},
      {"kestrove-recording 1\nlevel a.lvl\nindex 0\nkeys3d 0\n", "incomplete header"},
      {Header + "frames 1\n1 Up\0\n"s, "NUL byte"},
  };
  for (const TCase &Case : Cases) {
    const std::string Error = Refusal(Case.Text);
    EXPECT_NE(Error.find(Case.Message), std::string::npos)
        << "text:\n" << Case.Text << "\nmessage: " << Error << "\nexpected: " << Case.Message;
  }
}

TEST(RecordingFile, SavesLoadsAndNamesTheFileInErrors)
{
  const auto Dir = std::filesystem::temp_directory_path() / ("kestrove-recording-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Dir);
  const std::string Name = (Dir / "a.rec").string();
  TRecording Recording;
  Recording.LevelFile = "a.lvl";
  Recording.Append(kDown, 4);
  std::string Error;
  ASSERT_TRUE(SaveRecordingFile(Name, Recording, Error)) << Error;
  TRecording Back;
  ASSERT_TRUE(LoadRecordingFile(Name, Back, Error)) << Error;
  EXPECT_EQ(Back, Recording);

  std::ofstream(Name, std::ios::binary) << "kestrove-recording 1\nlevel a.lvl\n";
  EXPECT_FALSE(LoadRecordingFile(Name, Back, Error));
  EXPECT_EQ(Error.rfind(Name + ": ", 0), 0u) << Error;
  EXPECT_FALSE(LoadRecordingFile((Dir / "missing.rec").string(), Back, Error));
  EXPECT_NE(Error.find("missing.rec: cannot open"), std::string::npos) << Error;
  EXPECT_FALSE(SaveRecordingFile((Dir / "no-such-dir" / "b.rec").string(), Recording, Error));
  EXPECT_NE(Error.find("cannot create"), std::string::npos) << Error;
  std::filesystem::remove_all(Dir);
}
