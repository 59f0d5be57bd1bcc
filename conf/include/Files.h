// Files.h -- file names as a case-blind file system sees them, and the fatal error.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The name to open or create, found as a case-blind file system finds it: part
// by part from the left, each part of the path is the directory entry of
// exactly that name, else the smallest entry that differs from it only in ASCII
// case, else the part as given (and so is every part after it, so a new file is
// created under the directories that do exist). Slashes, "." and ".." stay as
// written. "Levels/Intro.LVL" finds levels/intro.lvl.
std::string ResolveFileName(const std::string &Name);

// Whether the existing file opens for reading and writing (never creates it).
// A plain file without any write permission counts as read-only, and so as
// missing, even for the superuser.
bool FileExists(const std::string &FileName);

// What the program does about a fatal error before the process ends (give the
// display back, show the report over its window). Code is the exit status, Text
// the report.
using TFatalErrorHandler = void (*)(int Code, const char *Text);

// Installs Handler for the fatal errors of this copy of the store (the program
// and the rules library each build one in); null: none.
void SetFatalErrorHandler(TFatalErrorHandler Handler);

// 0 when the existing file opens for reading, else the error number that
// reading it would end in (EISDIR for a directory). A read-only file reads.
int ReadingError(const std::string &FileName);

// Ends the process: the handler, if one is installed, then Text on stderr, then
// exit status Code. A fatal error inside the handler ends the process at once.
[[noreturn]] void FatalError(int Code, const std::string &Text);

// FatalError with "Runtime error <Code>: "<FileName>": <the system's words>".
[[noreturn]] void RuntimeError(int Code, const std::string &FileName);

// The exit status for a file that ends before the counts it declares were read.
constexpr int ErrorReadBeyondEnd = 100;

// A file open for reading, closed when it goes out of scope. A file that
// cannot be opened or read is fatal.
class TInputFile {
public:
  explicit TInputFile(const std::string &FileName);
  ~TInputFile();
  TInputFile(const TInputFile &) = delete;
  TInputFile &operator=(const TInputFile &) = delete;

  const std::string &FileName() const { return Name; }
  // Bytes not read yet (0 for anything but a plain file).
  std::uint64_t Left() const { return Size > Done ? Size - Done : 0; }
  // Reads up to Count bytes; fewer only at the end of the file.
  std::size_t Read(void *To, std::size_t Count);

private:
  int Fd = -1;
  std::string Name;
  std::uint64_t Size = 0;
  std::uint64_t Done = 0;
};

// The whole content of a file; a file that cannot be opened or read is fatal.
std::string ReadWholeFile(const std::string &FileName);

// Replaces the file by Bytes: written to a temporary file in the same directory
// and renamed over the target only when complete, so a failed write leaves the
// old file intact. Any failure is fatal.
void WriteWholeFile(const std::string &FileName, const std::string &Bytes);

// WriteWholeFile for files the game can do without: 0 when replaced, else the
// error number, with the old file intact.
int TryWriteWholeFile(const std::string &FileName, const std::string &Bytes);
