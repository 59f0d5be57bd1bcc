// The command line: exit statuses, messages that name the file, and files
// written byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
  int Status = -1;
  std::string Output;  // standard output and error together
};

class ToolCommand : public ::testing::Test {
protected:
  fs::path Dir;

  void SetUp() override {
    Dir = fs::temp_directory_path() /
          ("kestrove-levels-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  std::string PathOf(const std::string &Name) const { return (Dir / Name).string(); }

  void Write(const std::string &Name, const std::string &Bytes) const {
    std::ofstream(PathOf(Name), std::ios::binary) << Bytes;
  }
  std::string ReadBack(const std::string &Name) const {
    std::ifstream In(PathOf(Name), std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
  }

  ToolRun Tool(const std::string &Args) const {
    ToolRun R;
    const std::string Cmd = "cd '" + Dir.string() + "' && '" KESTROVE_LEVELS_TOOL "' " + Args + " 2>&1";
    FILE *P = popen(Cmd.c_str(), "r");
    if (!P) return R;
    char Buf[4096];
    std::size_t N;
    while ((N = std::fread(Buf, 1, sizeof Buf, P)) > 0) R.Output.append(Buf, N);
    const int Raw = pclose(P);
    R.Status = WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
    return R;
  }
};

const char Source[] =
    "Set: Tiny\n"
    "\n"
    "Title: Corridor\n"
    "Recording: tiny-01\n"
    "Solution: rRR\n"
    "#######\n"
    "#@ $ .#\n"
    "#######\n"
    "\n"
    "Title: Pond\n"
    "Recording: tiny-02\n"
    "#########\n"
    "#@ $~$ .#\n"
    "#########\n";

}  // namespace

TEST_F(ToolCommand, PackUnpackSolveAndSolutions) {
  Write("tiny.txt", Source);
  EXPECT_EQ(Tool("pack tiny.txt tiny.lvl").Status, 0);
  const ToolRun Unpacked = Tool("unpack tiny.lvl back.txt");
  EXPECT_EQ(Unpacked.Status, 0) << Unpacked.Output;
  EXPECT_EQ(ReadBack("back.txt"), Source);

  const ToolRun Missing = Tool("solutions tiny.txt");
  EXPECT_EQ(Missing.Status, 1);
  EXPECT_NE(Missing.Output.find("0 tiny-01 rRR\n"), std::string::npos) << Missing.Output;
  EXPECT_NE(Missing.Output.find("tiny.txt:10: level 2: no Solution: header"), std::string::npos) << Missing.Output;

  const ToolRun Solved = Tool("solve tiny.txt --update");
  EXPECT_EQ(Solved.Status, 0) << Solved.Output;
  const ToolRun Lines = Tool("solutions tiny.txt");
  EXPECT_EQ(Lines.Status, 0) << Lines.Output;
  EXPECT_EQ(Lines.Output, "0 tiny-01 rRR\n1 tiny-02 rRrRR\n");
  EXPECT_EQ(Tool("check tiny.txt").Status, 0);
}

TEST_F(ToolCommand, SolvesFastWithinATimeLimitPerLevel) {
  Write("tiny.txt", Source);
  const ToolRun Fast = Tool("solve tiny.txt --fast --max-seconds 10");
  EXPECT_EQ(Fast.Status, 0) << Fast.Output;
  EXPECT_NE(Fast.Output.find("1 Corridor: 3 moves, 2 pushes, "), std::string::npos) << Fast.Output;
  EXPECT_NE(Fast.Output.find("2 Pond: 5 moves, 3 pushes, "), std::string::npos) << Fast.Output;

  // Out of time on the first level, the tool still goes on to the second.
  const ToolRun Late = Tool("solve tiny.txt --max-seconds 0.000000001");
  EXPECT_EQ(Late.Status, 1);
  EXPECT_NE(Late.Output.find("1 Corridor: gave up after 1e-09 seconds"), std::string::npos) << Late.Output;
  EXPECT_NE(Late.Output.find("2 Pond: gave up after"), std::string::npos) << Late.Output;

  for (const char *Bad : {"--max-seconds 0", "--max-seconds -1", "--max-seconds soon", "--max-seconds nan"}) {
    const ToolRun R = Tool(std::string("solve tiny.txt ") + Bad);
    EXPECT_EQ(R.Status, 2) << Bad;
    EXPECT_NE(R.Output.find("--max-seconds wants a positive number of seconds"), std::string::npos) << R.Output;
  }
}

TEST_F(ToolCommand, GeneratesTheSameCleanSolvableLevelsFromASeed) {
  ASSERT_EQ(Tool("generate small-water 3 42 a.txt").Status, 0);
  ASSERT_EQ(Tool("generate small-water 3 42 b.txt").Status, 0);
  EXPECT_EQ(ReadBack("a.txt"), ReadBack("b.txt"));
  EXPECT_NE(ReadBack("a.txt").find('~'), std::string::npos);
  const ToolRun Checked = Tool("check a.txt");
  EXPECT_EQ(Checked.Status, 0) << Checked.Output;
  const ToolRun Solved = Tool("solve a.txt --fast");
  EXPECT_EQ(Solved.Status, 0) << Solved.Output;
  EXPECT_EQ(Tool("generate tiny 3 42").Status, 2);
  EXPECT_EQ(Tool("generate small 0 42").Status, 2);
  EXPECT_EQ(Tool("generate small 3 x").Status, 2);
}

TEST_F(ToolCommand, CheckFailsOnBadFilesWithClearMessages) {
  Write("tiny.txt", Source);
  ASSERT_EQ(Tool("pack tiny.txt tiny.lvl").Status, 0);
  std::string Bytes = ReadBack("tiny.lvl");
  Bytes[0] = 3;
  Write("count.lvl", Bytes);
  const ToolRun Count = Tool("check count.lvl");
  EXPECT_EQ(Count.Status, 1);
  EXPECT_NE(Count.Output.find("count.lvl:1: the count byte says 3 levels, the file holds 2"), std::string::npos)
      << Count.Output;

  Write("short.lvl", ReadBack("tiny.lvl").substr(0, 40));
  const ToolRun Short = Tool("check short.lvl");
  EXPECT_EQ(Short.Status, 1);
  EXPECT_NE(Short.Output.find("short.lvl:"), std::string::npos);

  std::string Wrong = Source;
  Wrong.replace(Wrong.find("Solution: rRR"), 13, "Solution: rRu");
  Write("wrong.txt", Wrong);
  const ToolRun W = Tool("check wrong.txt");
  EXPECT_EQ(W.Status, 1);
  EXPECT_NE(W.Output.find("wrong.txt:3: level 1: the solution fails: move 3 'u' walks into a wall"), std::string::npos) << W.Output;

  Write("empty.lvl", std::string(1, '\0') + "\n");
  const ToolRun Empty = Tool("check empty.lvl");
  EXPECT_EQ(Empty.Status, 1);
  EXPECT_NE(Empty.Output.find("empty.lvl: the set holds no levels"), std::string::npos) << Empty.Output;

  fs::create_directories(PathOf("folder.lvl"));
  const ToolRun Folder = Tool("check folder.lvl");
  EXPECT_EQ(Folder.Status, 1);
  EXPECT_NE(Folder.Output.find("folder.lvl: is a directory"), std::string::npos) << Folder.Output;

  const ToolRun Absent = Tool("check nowhere.lvl");
  EXPECT_EQ(Absent.Status, 1);
  EXPECT_NE(Absent.Output.find("nowhere.lvl: cannot open the file"), std::string::npos) << Absent.Output;
  EXPECT_EQ(Tool("frobnicate").Status, 2);
  EXPECT_EQ(Tool("show tiny.txt 9").Status, 2);
}

TEST_F(ToolCommand, UnpackRefusesFilesItCouldNotRebuild) {
  Write("tiny.txt", Source);
  ASSERT_EQ(Tool("pack tiny.txt tiny.lvl").Status, 0);
  std::string Bytes = ReadBack("tiny.lvl");
  Bytes.replace(Bytes.find("19 252 31"), 9, "19 2x2 31");  // a byte the game reads as floor
  Write("odd.lvl", Bytes);
  const ToolRun R = Tool("unpack odd.lvl out.txt");
  EXPECT_EQ(R.Status, 1);
  EXPECT_NE(R.Output.find("not unpacked"), std::string::npos) << R.Output;
  EXPECT_FALSE(fs::exists(PathOf("out.txt")));
  // Export still turns it into the common format.
  const ToolRun E = Tool("export odd.lvl odd.sok");
  EXPECT_EQ(E.Status, 0) << E.Output;
  EXPECT_NE(ReadBack("odd.sok").find("#@ $ $ .#"), std::string::npos) << ReadBack("odd.sok");
}

TEST_F(ToolCommand, ImportWritesWhatItCanAndSaysWhatItLeftOut) {
  Write("pack.sok",
        "; One\n#####\n#@$.#\n#####\n\n"
        "; Two\n#####\n#+$ #\n#####\n\n"
        "; Three\n5#|#@$.#|#~$.#|5#\n");
  const ToolRun R = Tool("import pack.sok pack.lvl");
  EXPECT_EQ(R.Status, 3) << R.Output;
  EXPECT_NE(R.Output.find("pack.sok:7: level 2: left out: a player standing on a goal"), std::string::npos) << R.Output;
  EXPECT_NE(R.Output.find("2 levels imported"), std::string::npos) << R.Output;
  const ToolRun Listed = Tool("list pack.lvl");
  EXPECT_EQ(Listed.Status, 0) << Listed.Output;
  EXPECT_NE(Listed.Output.find("Three"), std::string::npos);
  EXPECT_NE(Listed.Output.find("boxes 2, destinations 2, water 1"), std::string::npos) << Listed.Output;
  EXPECT_EQ(Tool("check pack.lvl").Status, 0);
  EXPECT_EQ(Tool("import nothing.sok x.lvl").Status, 1);
}

TEST_F(ToolCommand, EveryCommandRefusesHugeFilesAndDevices) {
  // Sparse, so the test costs no disk: one byte over the limit.
  Write("huge.sok", "");
  fs::resize_file(PathOf("huge.sok"), 64u * 1024 * 1024 + 1);
  fs::copy_file(PathOf("huge.sok"), PathOf("huge.lvl"));
  for (const std::string Args : {"import huge.sok out.lvl", "unpack huge.lvl", "list huge.lvl", "show huge.lvl",
                                 "check huge.lvl", "solve huge.lvl"}) {
    const ToolRun R = Tool(Args);
    EXPECT_EQ(R.Status, 1) << Args;
    EXPECT_NE(R.Output.find(": 67108865 bytes: the tool reads files of at most 64 MiB"), std::string::npos)
        << Args << ": " << R.Output;
  }
  EXPECT_FALSE(fs::exists(PathOf("out.lvl")));

  ASSERT_EQ(mkfifo(PathOf("pipe.sok").c_str(), 0600), 0);
  for (const std::string Args : {"import /dev/zero out.lvl", "import pipe.sok out.lvl", "check /dev/zero"}) {
    const ToolRun R = Tool(Args);
    EXPECT_EQ(R.Status, 1) << Args;
    EXPECT_NE(R.Output.find(": not a regular file"), std::string::npos) << Args << ": " << R.Output;
  }
}

TEST_F(ToolCommand, ImportCountsLevelsNotMessages) {
  // The second level is refused with two messages.
  Write("pack.sok", "; One\n#####\n#@$.#\n#####\n\n; Two\n#####\n#   #\n#####\n");
  const ToolRun R = Tool("import pack.sok pack.lvl");
  EXPECT_EQ(R.Status, 3) << R.Output;
  EXPECT_NE(R.Output.find("pack.sok: 1 level imported into pack.lvl, 1 left out\n"), std::string::npos) << R.Output;
  EXPECT_NE(Tool("check pack.lvl").Output.find("pack.lvl: 1 level, fine"), std::string::npos);
}

TEST_F(ToolCommand, ImportPrintsTheMapListLineAndKeepsTheCredits) {
  Write("pack.sok", "; Tiny Tour\n; Author: Someone Kind\n; CC BY 4.0\n\n; One\n#####\n#@$.#\n#####\n");
  const ToolRun R = Tool("import pack.sok tour.lvl");
  EXPECT_EQ(R.Status, 0) << R.Output;
  EXPECT_NE(R.Output.find("tour.lvl=Tiny Tour\n"), std::string::npos) << R.Output;
  const ToolRun Listed = Tool("list tour.lvl");
  EXPECT_NE(Listed.Output.find("Set: Tiny Tour\nAuthor: Someone Kind\nNote: CC BY 4.0\n"), std::string::npos)
      << Listed.Output;

  // No title in the collection: its file name stands in. The map list reads ';' as a comment.
  Write("plain.sok", "#####\n#@$.#\n#####\n");
  EXPECT_NE(Tool("import plain.sok out.lvl").Output.find("out.lvl=plain\n"), std::string::npos);
  Write("fish.sok", "Title: Fish; Chips\n\n#####\n#@$.#\n#####\n");
  EXPECT_NE(Tool("import fish.sok fish.lvl").Output.find("fish.lvl=Fish, Chips\n"), std::string::npos);
  const ToolRun Odd = Tool("import fish.sok 'a=b.lvl'");
  EXPECT_EQ(Odd.Status, 0) << Odd.Output;
  EXPECT_NE(Odd.Output.find("no map list line: a map list cannot name a file with '=' or ';'"), std::string::npos)
      << Odd.Output;
}
