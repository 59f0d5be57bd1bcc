// Files that cannot be read or written end the process with "Runtime error",
// the system's error number and the file name, and that number as exit status.
#include "TestWorld.h"

#include "Files.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <utility>
#ifdef _WIN32
#include <windows.h>
#else
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// The rest of one line of a death test's output. Windows builds of GoogleTest
// match with its own simple expressions, which have no bracket classes but
// whose '.' never crosses a line end.
#ifdef _WIN32
#define REST_OF_LINE ".*"
#else
#define REST_OF_LINE "[^\n]*"
#endif

namespace {

using FatalTest = TWorldTest;
using ::testing::ExitedWithCode;

TEST_F(FatalTest, MissingFilesEndTheProgramWithErrorTwo)
{
  const std::string Missing = PathOf("nowhere.lvl");
  int32_t Index = 0;
  EXPECT_EXIT(GameLoadMap(Missing.c_str(), &Index), ExitedWithCode(2), "^Runtime error 2.*nowhere\\.lvl");
  EXPECT_EXIT(GameNewGame(Missing.c_str()), ExitedWithCode(2), "Runtime error 2");
  EXPECT_EXIT(GameNewGame(""), ExitedWithCode(2), "Runtime error 2");
  TMaps Maps{};
  EXPECT_EXIT(GameLoadMaps(PathOf("maps.ini").c_str(), &Maps), ExitedWithCode(2), "Runtime error 2.*maps\\.ini");
  EXPECT_EXIT(GameLoadMaps("", &Maps), ExitedWithCode(2), "Runtime error 2");
  EXPECT_EXIT(GameLoad(PathOf("game.sav").c_str()), ExitedWithCode(2), "Runtime error 2.*game\\.sav");
  EXPECT_EXIT(GameSave(PathOf("no/such/dir/game.sav").c_str()), ExitedWithCode(2), "Runtime error 2");
}

void ReportOnStderr(int32_t Code, const char *Text) { std::fprintf(stderr, "handler %d: %s\n", Code, Text); }
void FailInsideTheHandler(int32_t, const char *) { RuntimeError(EACCES, "inner"); }

// The program's handler comes first, with the exit status and the report; then
// the report line, then the exit. A failure inside the handler ends it at once.
TEST_F(FatalTest, HandlerRunsBeforeTheReportLineAndTheExit)
{
  const std::string Missing = PathOf("game.sav");
  GameSetFatalHandler(ReportOnStderr);
  EXPECT_EXIT(GameLoad(Missing.c_str()), ExitedWithCode(2),
              "^handler 2: Runtime error 2: \"" REST_OF_LINE "game\\.sav\": No such file or directory\n"
              "Runtime error 2: \"" REST_OF_LINE "game\\.sav\": No such file or directory\n$");
  GameSetFatalHandler(FailInsideTheHandler);
  EXPECT_EXIT(GameLoad(Missing.c_str()), ExitedWithCode(EACCES), "^Runtime error 13: \"inner\"" REST_OF_LINE "\n$");
  GameSetFatalHandler(nullptr);
  EXPECT_EXIT(GameLoad(Missing.c_str()), ExitedWithCode(2), "^Runtime error 2: " REST_OF_LINE "\n$");
}

TEST_F(FatalTest, DirectoryAsLevelFile)
{
  int32_t Index = 0;
  EXPECT_EXIT(GameLoadMap(Dir.string().c_str(), &Index), ExitedWithCode(EISDIR), "Runtime error 21");
}

std::string SaveHeader(int32_t N) // player, field size and a name length
{
  std::string S(80, '\0');
  const int32_t Fields[] = {3, 3, N};
  S.append(reinterpret_cast<const char *>(Fields), sizeof Fields);
  return S;
}

std::string WithInt(std::string S, int32_t V)
{
  S.append(reinterpret_cast<const char *>(&V), 4);
  return S;
}

TEST_F(FatalTest, SaveFilesThatEndEarlyOrLieAboutTheirCounts)
{
  const auto Code = ExitedWithCode(ErrorReadBeyondEnd);
  const char *Message = "^Runtime error 100.*bad\\.sav";
  EXPECT_EXIT(GameLoad(WriteFile("bad.sav", std::string(50, '\0')).c_str()), Code, Message);
  EXPECT_EXIT(GameLoad(WriteFile("bad.sav", SaveHeader(1000000) + "abc").c_str()), Code, Message);
  EXPECT_EXIT(GameLoad(WriteFile("bad.sav", SaveHeader(3) + "abc").c_str()), Code, Message);
  EXPECT_EXIT(GameLoad(WriteFile("bad.sav", WithInt(SaveHeader(0), -1)).c_str()), Code, Message);
  EXPECT_EXIT(GameLoad(WriteFile("bad.sav", WithInt(SaveHeader(0), 0x7fffffff)).c_str()), Code, Message);
  EXPECT_EXIT(GameLoad(WriteFile("bad.sav", WithInt(SaveHeader(0), 2) + std::string(100, '\0')).c_str()), Code,
              Message);
}

std::string SaveOfField(int32_t Width, int32_t Height)  // a field of that size, no name, no objects
{
  std::string S(80, '\0');
  const int32_t Fields[] = {Width, Height, 0, 0};
  S.append(reinterpret_cast<const char *>(Fields), sizeof Fields);
  return S;
}

// No level is wider or taller than 255 cells: a save that claims more (or a
// negative size) is damaged, and nothing is allocated for it.
TEST_F(FatalTest, SaveOfAFieldNoLevelCanHaveIsDamaged)
{
  const auto Code = ExitedWithCode(ErrorReadBeyondEnd);
  const char *Message = "^Runtime error 100.*big\\.sav";
  for (const auto &[Width, Height] : {std::pair{100000, 100000}, {256, 1}, {1, 256}, {-1, 3}, {3, INT32_MIN}}) {
    SCOPED_TRACE(std::to_string(Width) + " x " + std::to_string(Height));
    EXPECT_EXIT(GameLoad(WriteFile("big.sav", SaveOfField(Width, Height)).c_str()), Code, Message);
  }
  for (const auto &[Width, Height] : {std::pair{255, 255}, {0, 0}}) {
    GameLoad(WriteFile("fits.sav", SaveOfField(Width, Height)).c_str());
    EXPECT_EQ(GameGetFieldSize().Width, Width);
    EXPECT_EQ(GameGetFieldSize().Height, Height);
  }
}

#ifdef _WIN32
// A save over a file that another program holds open, without letting anyone
// delete or replace it, cannot take its place: reported, the old save kept.
TEST_F(FatalTest, SaveOverAFileAnotherProgramHoldsLeavesTheOldSaveAndIsReported)
{
  world::LevelFile = "a.lvl";
  WriteFile("keep.sav", "previous");
  const std::string Target = PathOf("keep.sav");
  const HANDLE Held = CreateFileA(Target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(Held, INVALID_HANDLE_VALUE);
  EXPECT_EXIT(GameSave(Target.c_str()), ExitedWithCode(EACCES), "Runtime error 13.*keep\\.sav");
  CloseHandle(Held);
  EXPECT_EQ(ReadFile("keep.sav"), "previous");
  EXPECT_EQ(EntriesIn(Dir), 1) << "a temporary file was left behind";
}
#else
// Saves while no file may grow beyond Bytes, so that the write fails.
void SaveWithFilesLimitedTo(rlim_t Bytes, const std::string &Name)
{
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit Limit;
  Limit.rlim_cur = Limit.rlim_max = Bytes;
  setrlimit(RLIMIT_FSIZE, &Limit);
  GameSave(Name.c_str());
}

TEST_F(FatalTest, FailedSaveKeepsTheOldFile)
{
  world::LevelFile = std::string(100000, 'n');
  WriteFile("keep.sav", "previous");
  const std::string Target = PathOf("keep.sav");
  EXPECT_EXIT(SaveWithFilesLimitedTo(1000, Target), ExitedWithCode(EFBIG), "Runtime error 27.*keep\\.sav");
  EXPECT_EQ(ReadFile("keep.sav"), "previous");
  EXPECT_EQ(EntriesIn(Dir), 1) << "a temporary file was left behind";
}

// The handler a failed write runs tells what the old file holds by then.
std::string KeptFile;
void ShowWhatTheOldFileHolds(int32_t, const char *)
{
  std::ifstream In(KeptFile, std::ios::binary);
  const std::string Held((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  std::fprintf(stderr, "old file holds [%s]\n", Held.c_str());
}

// A save that fills a small file system part-way: reported with the system's
// number, the old save untouched. The file system lives in a mount namespace
// of the child alone, so the handler looks at the old file before the exit.
void SaveOnAFullFileSystem(const std::string &Dir)
{
  if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", Dir.c_str(), "tmpfs", 0, "size=16k") != 0) {
    std::fprintf(stderr, "no small file system\n");
    std::_Exit(77);
  }
  KeptFile = Dir + "/keep.sav";
  std::ofstream(KeptFile) << "previous";
  GameSetFatalHandler(ShowWhatTheOldFileHolds);
  GameSave(KeptFile.c_str());
}

// A save into a directory the player may not write, as a player (not the
// superuser) would meet it.
void SaveAsAPlayerIntoAClosedDirectory(const std::string &Dir)
{
  KeptFile = Dir + "/keep.sav";
  std::ofstream(KeptFile) << "previous";
  chmod(KeptFile.c_str(), 0644);
  chmod(Dir.c_str(), 0755);
  chmod(std::filesystem::path(Dir).parent_path().c_str(), 0755);  // the test's own directory, to reach it
  if (setgid(65534) != 0 || setuid(65534) != 0) std::_Exit(77);
  GameSetFatalHandler(ShowWhatTheOldFileHolds);
  GameSave(KeptFile.c_str());
}

// Whether this process may make a small file system of its own (the superuser,
// outside a chroot or a container that forbids mount namespaces).
bool CanMakeASmallFileSystem(const std::string &Dir)
{
  const pid_t Child = fork();
  if (Child == 0) {
    const bool Made = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                      mount("tmpfs", Dir.c_str(), "tmpfs", 0, "size=16k") == 0;
    std::_Exit(Made ? 0 : 1);
  }
  int Status = 0;
  return Child > 0 && waitpid(Child, &Status, 0) == Child && WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
}

TEST_F(FatalTest, SaveThatFillsTheFileSystemLeavesTheOldSaveAndIsReported)
{
  world::LevelFile = std::string(100000, 'n');  // more than the small file system holds
  const std::string Small = PathOf("small");
  std::filesystem::create_directory(Small);
  if (!CanMakeASmallFileSystem(Small)) GTEST_SKIP() << "no mount namespace of our own here";
  EXPECT_EXIT(SaveOnAFullFileSystem(Small), ExitedWithCode(ENOSPC),
              "old file holds \\[previous\\]\nRuntime error 28: .*keep\\.sav");
}

TEST_F(FatalTest, SaveIntoADirectoryAPlayerMayNotWriteLeavesTheOldSaveAndIsReported)
{
  if (geteuid() != 0) GTEST_SKIP() << "needs the superuser to become a player";
  world::LevelFile = "a.lvl";
  const std::string Closed = PathOf("closed");
  std::filesystem::create_directory(Closed);
  EXPECT_EXIT(SaveAsAPlayerIntoAClosedDirectory(Closed), ExitedWithCode(EACCES),
              "old file holds \\[previous\\]\nRuntime error 13: .*keep\\.sav");
  EXPECT_EQ(ReadFile("closed/keep.sav"), "previous");
}
#endif

} // namespace
