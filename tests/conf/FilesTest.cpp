// File names resolved without regard to case, the existence test, and
// replacing a file whole.
#include "Files.h"
#include "TempDir.h"
#include "Text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Windows itself ignores the case of names, so the game resolves none there,
// and it knows no modes but read-only: those tests are Linux's. The rest run
// on both systems.

namespace {

using FilesTest = TTempDirTest;

#ifndef _WIN32
TEST_F(FilesTest, NamesResolveExactlyThenIgnoringCase)
{
  WriteFile("Temp.Dat", "1");
  EXPECT_EQ(ResolveFileName(PathOf("Temp.Dat")), PathOf("Temp.Dat"));
  EXPECT_EQ(ResolveFileName(PathOf("Temp.DAT")), PathOf("Temp.Dat"));
  EXPECT_EQ(ResolveFileName(PathOf("tEMP.dat")), PathOf("Temp.Dat"));
  // Nothing matches: the name as given, to be created so.
  EXPECT_EQ(ResolveFileName(PathOf("Other.Dat")), PathOf("Other.Dat"));
  EXPECT_EQ(ResolveFileName(PathOf("Temp.Da")), PathOf("Temp.Da"));
  // An exact entry wins over one that differs in case.
  WriteFile("temp.dat", "2");
  EXPECT_EQ(ResolveFileName(PathOf("temp.dat")), PathOf("temp.dat"));
  EXPECT_EQ(ResolveFileName(PathOf("Temp.Dat")), PathOf("Temp.Dat"));
  EXPECT_EQ(ResolveFileName(""), "");
}

TEST_F(FilesTest, RelativeNamesResolveInTheCurrentDirectory)
{
  WriteFile("Config.INI", "k=v\n");
  const std::filesystem::path Old = std::filesystem::current_path();
  std::filesystem::current_path(Dir);
  EXPECT_EQ(ResolveFileName("config.ini"), "Config.INI");
  EXPECT_TRUE(FileExists("CONFIG.ini"));
  std::filesystem::current_path(Old);
}

TEST_F(FilesTest, EveryPartOfAPathResolvesIgnoringCase)
{
  std::filesystem::create_directories(Dir / "levels" / "extra");
  WriteFile("levels/extra/Intro.lvl", "x");
  EXPECT_EQ(ResolveFileName(PathOf("LEVELS/Extra/intro.LVL")), PathOf("levels/extra/Intro.lvl"));
  // A new file goes into the directory that exists, under the name as given.
  EXPECT_EQ(ResolveFileName(PathOf("Levels/New.sav")), PathOf("levels/New.sav"));
  // Once a directory is missing, the rest of the path stays as written.
  EXPECT_EQ(ResolveFileName(PathOf("Saves/Levels/x")), PathOf("Saves/Levels/x"));
  // Doubled slashes, "." and ".." are kept as they are written.
  EXPECT_EQ(ResolveFileName(PathOf("Levels//./EXTRA/../Extra/intro.lvl")),
            PathOf("levels//./extra/../extra/Intro.lvl"));
  EXPECT_EQ(ResolveFileName(PathOf("LEVELS/")), PathOf("levels/"));
}

TEST_F(FilesTest, AnExactDirectoryWinsAndCaseTwinsResolveStably)
{
  std::filesystem::create_directories(Dir / "Data");
  std::filesystem::create_directories(Dir / "data");
  std::filesystem::create_directories(Dir / "DATA");
  WriteFile("data/a.txt", "1");
  WriteFile("DATA/b.txt", "2");
  EXPECT_EQ(ResolveFileName(PathOf("data/A.TXT")), PathOf("data/a.txt"));
  // No exact match: the smallest of the twins, whatever order the directory lists them in.
  EXPECT_EQ(ResolveFileName(PathOf("dAtA/B.txt")), PathOf("DATA/b.txt"));
  EXPECT_EQ(ResolveFileName(PathOf("dAtA/a.txt")), PathOf("DATA/a.txt"));
}
#endif

TEST_F(FilesTest, ExistenceNeedsAWritableFile)
{
  EXPECT_FALSE(FileExists(PathOf("none.sav")));
  EXPECT_EQ(EntryCount(), 0); // the test never creates
  WriteFile("game.sav", "x");
  EXPECT_TRUE(FileExists(PathOf("GAME.SAV")));
  chmod(PathOf("game.sav").c_str(), 0444);
  EXPECT_FALSE(FileExists(PathOf("game.sav")));
  EXPECT_FALSE(FileExists(Dir.string()));
  // The answer leaves nothing behind: the file still reads and writes.
  chmod(PathOf("game.sav").c_str(), 0644);
  EXPECT_EQ(ReadWholeFile(PathOf("game.sav")), "x");
  WriteWholeFile(PathOf("game.sav"), "yz");
  EXPECT_EQ(ReadFile("game.sav"), "yz");
  EXPECT_EQ(EntryCount(), 1); // the temporary file became the save
}

TEST_F(FilesTest, ReadingErrorTellsWhyAFileWouldNotRead)
{
  EXPECT_EQ(ReadingError(PathOf("none.lvl")), ENOENT);
  EXPECT_EQ(ReadingError(""), ENOENT);
  EXPECT_EQ(ReadingError(Dir.string()), EISDIR);
  WriteFile("set.lvl", "x");
  chmod(PathOf("set.lvl").c_str(), 0444); // installed sets are often read-only
  EXPECT_EQ(ReadingError(PathOf("SET.LVL")), 0);
  EXPECT_EQ(EntryCount(), 1);
}

#ifndef _WIN32
TEST_F(FilesTest, ReplacingKeepsPermissionsAndLeavesNoTemporaryFile)
{
  WriteFile("a.ini", "old");
  chmod(PathOf("a.ini").c_str(), 0640);
  WriteWholeFile(PathOf("A.INI"), "new");
  EXPECT_EQ(ReadFile("a.ini"), "new");
  struct stat St;
  ASSERT_EQ(stat(PathOf("a.ini").c_str(), &St), 0);
  EXPECT_EQ(St.st_mode & 0777, 0640u);
  EXPECT_EQ(EntryCount(), 1);
}
#endif

TEST_F(FilesTest, ReadOnlyFilesAreNotReplaced)
{
  WriteFile("ro.ini", "keep");
  chmod(PathOf("ro.ini").c_str(), 0444);
  EXPECT_EXIT(WriteWholeFile(PathOf("ro.ini"), "lost"), ::testing::ExitedWithCode(EACCES), "Runtime error 13");
  EXPECT_EQ(ReadFile("ro.ini"), "keep");
}

TEST_F(FilesTest, FatalErrorNamesTheFileAndTheNumber)
{
  EXPECT_EXIT(RuntimeError(5, "some/file.dat"), ::testing::ExitedWithCode(5),
              "^Runtime error 5: \"some/file\\.dat\": Input/output error\n$");
  EXPECT_EXIT(RuntimeError(ErrorReadBeyondEnd, "s.sav"), ::testing::ExitedWithCode(100),
              "^Runtime error 100: \"s\\.sav\": read beyond end of file\n$");
}

} // namespace

namespace {

TEST_F(FilesTest, LinesReadFromAFileInPieces)
{
  // Lines that straddle the reader's pieces, a CR LF split across them, and
  // the end-of-text mark far into the file.
  std::string Bytes = std::string(65535, 'a') + "\r\nshort\n" + std::string(200000, 'b') + "\n";
  Bytes += "tail\x1a" "hidden\n";
  WriteFile("long.txt", Bytes);
  TInputFile File(PathOf("LONG.txt"));
  EXPECT_EQ(File.Left(), Bytes.size());
  TTextLines Lines(File);
  EXPECT_EQ(Lines.ReadLine(), std::string(65535, 'a'));
  EXPECT_EQ(Lines.ReadLine(3), "sho"); // the rest of the line is passed over
  EXPECT_EQ(Lines.ReadLine(0), "");
  EXPECT_FALSE(Lines.AtEnd());
  EXPECT_EQ(Lines.ReadLine(), "tail");
  EXPECT_TRUE(Lines.AtEnd());
  EXPECT_EQ(Lines.ReadLine(), "");
}

TEST_F(FilesTest, OpeningAMissingFileIsFatal)
{
  EXPECT_EXIT(TInputFile File(PathOf("gone.txt")), ::testing::ExitedWithCode(2), "^Runtime error 2.*gone\\.txt");
  EXPECT_EXIT(ReadWholeFile(Dir.string()), ::testing::ExitedWithCode(EISDIR), "^Runtime error 21");
}

} // namespace
