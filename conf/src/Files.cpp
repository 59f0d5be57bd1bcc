// File names as a case-blind file system sees them, whole-file reading and
// replacing, and the one fatal error every file failure ends in.
#include "Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

TFatalErrorHandler FatalErrorHandler = nullptr;

char AsciiLower(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + 32) : C; }

bool SameIgnoringAsciiCase(const char *A, const std::string &B)
{
  std::size_t I = 0;
  for (; A[I] != '\0'; ++I) {
    if (I >= B.size() || AsciiLower(A[I]) != AsciiLower(B[I])) return false;
  }
  return I == B.size();
}

// The entry of directory Dir ("" for the current one, else ending in '/') that
// Part names: Part itself when it exists, else the smallest entry that differs
// from it only in ASCII case (several may, and the answer must be stable);
// nothing when none. The empty part (a leading or doubled slash), "." and ".."
// stay as written.
std::optional<std::string> EntryNamed(const std::string &Dir, const std::string &Part)
{
  if (Part.empty() || Part == "." || Part == "..") return Part;
  struct stat St;
  if (lstat((Dir + Part).c_str(), &St) == 0) return Part;
  const std::unique_ptr<DIR, int (*)(DIR *)> D(opendir(Dir.empty() ? "." : Dir.c_str()), closedir);
  if (!D) return std::nullopt;
  std::optional<std::string> Best;
  while (const dirent *E = readdir(D.get())) {
    if (SameIgnoringAsciiCase(E->d_name, Part) && (!Best || *Best > E->d_name)) Best = E->d_name;
  }
  return Best;
}

// Closes a descriptor when it goes out of scope.
struct TFd {
  int Fd;
  explicit TFd(int F) : Fd(F) {}
  ~TFd() { if (Fd >= 0) close(Fd); }
  TFd(const TFd &) = delete;
  TFd &operator=(const TFd &) = delete;
};

bool WriteAll(int Fd, const char *Data, std::size_t Size)
{
  while (Size > 0) {
    const ssize_t N = write(Fd, Data, Size);
    if (N < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    Data += N;
    Size -= static_cast<std::size_t>(N);
  }
  return true;
}

mode_t NewFileMode()
{
  const mode_t Mask = umask(0);
  umask(Mask);
  return 0666 & ~Mask;
}

} // namespace

std::string ResolveFileName(const std::string &Name)
{
  struct stat St;
  if (Name.empty() || lstat(Name.c_str(), &St) == 0) return Name; // an entry of exactly this name

  std::string Resolved;
  bool Lost = false; // a part matched nothing: what follows cannot match either
  std::size_t Pos = 0;
  for (;;) {
    const std::size_t Slash = std::min(Name.find('/', Pos), Name.size());
    const std::string Part = Name.substr(Pos, Slash - Pos);
    const std::optional<std::string> Entry = Lost ? std::nullopt : EntryNamed(Resolved, Part);
    Lost = !Entry;
    Resolved += Entry.value_or(Part);
    if (Slash == Name.size()) return Resolved;
    Resolved += '/';
    Pos = Slash + 1;
  }
}

bool FileExists(const std::string &FileName)
{
  const std::string Name = ResolveFileName(FileName);
  const TFd F(open(Name.c_str(), O_RDWR | O_CLOEXEC));
  if (F.Fd < 0) return false;
  // Permissions do not stop the superuser; a file that nobody may write is
  // still a read-only file.
  struct stat St;
  return fstat(F.Fd, &St) == 0 && S_ISREG(St.st_mode) && (St.st_mode & 0222) != 0;
}

int ReadingError(const std::string &FileName)
{
  // Not blocking: a pipe in the way must not stall the question.
  const TFd F(open(ResolveFileName(FileName).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (F.Fd < 0) return errno;
  struct stat St;
  if (fstat(F.Fd, &St) != 0) return errno;
  return S_ISDIR(St.st_mode) ? EISDIR : 0;
}

void SetFatalErrorHandler(TFatalErrorHandler Handler) { FatalErrorHandler = Handler; }

void FatalError(int Code, const std::string &Text)
{
  // Taken away first, so that a failure inside the handler cannot come back to it.
  if (const TFatalErrorHandler Handler = std::exchange(FatalErrorHandler, nullptr)) Handler(Code, Text.c_str());
  std::fprintf(stderr, "%s\n", Text.c_str());
  std::fflush(nullptr);
  std::_Exit(Code);
}

void RuntimeError(int Code, const std::string &FileName)
{
  const char *Why = Code == ErrorReadBeyondEnd ? "read beyond end of file" : std::strerror(Code);
  FatalError(Code, "Runtime error " + std::to_string(Code) + ": \"" + FileName + "\": " + Why);
}

TInputFile::TInputFile(const std::string &FileName) : Name(FileName)
{
  Fd = open(ResolveFileName(FileName).c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd < 0) RuntimeError(errno, FileName);
  struct stat St;
  if (fstat(Fd, &St) == 0 && S_ISREG(St.st_mode)) Size = static_cast<std::uint64_t>(St.st_size);
}

TInputFile::~TInputFile()
{
  if (Fd >= 0) close(Fd);
}

std::size_t TInputFile::Read(void *To, std::size_t Count)
{
  std::size_t Got = 0;
  char *Out = static_cast<char *>(To);
  while (Got < Count) {
    const ssize_t N = read(Fd, Out + Got, Count - Got);
    if (N < 0) {
      if (errno == EINTR) continue;
      RuntimeError(errno, Name);
    }
    if (N == 0) break;
    Got += static_cast<std::size_t>(N);
  }
  Done += Got;
  return Got;
}

std::string ReadWholeFile(const std::string &FileName)
{
  TInputFile F(FileName);
  std::string Bytes;
  char Buffer[65536];
  while (const std::size_t N = F.Read(Buffer, sizeof Buffer)) Bytes.append(Buffer, N);
  return Bytes;
}

int ReplaceFile(const std::string &FileName, const std::string &Bytes)
{
  if (FileName.empty()) return ENOENT;
  const std::string Target = ResolveFileName(FileName);
  const std::size_t Slash = Target.rfind('/');
  const std::string Dir = Slash == std::string::npos ? std::string() : Target.substr(0, Slash + 1);
  std::string Temp = Dir + ".kestrove-XXXXXX";

  // A file that may not be written is not replaced behind its owner's back.
  struct stat St;
  const bool Exists = stat(Target.c_str(), &St) == 0;
  if (Exists && ((St.st_mode & 0222) == 0 || access(Target.c_str(), W_OK) != 0)) return EACCES;

  const int Fd = mkostemp(Temp.data(), O_CLOEXEC);
  if (Fd < 0) return errno;
  auto Fail = [&](int Code) {
    close(Fd);
    unlink(Temp.c_str());
    return Code;
  };
  // The new file keeps the permissions of the one it replaces.
  const mode_t Mode = Exists ? (St.st_mode & 07777) : NewFileMode();
  if (fchmod(Fd, Mode) != 0) return Fail(errno);
  if (!WriteAll(Fd, Bytes.data(), Bytes.size())) return Fail(errno);
  if (fsync(Fd) != 0 && errno != EINVAL && errno != EROFS) return Fail(errno);
  if (close(Fd) != 0) {
    const int Code = errno;
    unlink(Temp.c_str());
    return Code;
  }
  if (rename(Temp.c_str(), Target.c_str()) != 0) {
    const int Code = errno;
    unlink(Temp.c_str());
    return Code;
  }
  return 0;
}

void WriteWholeFile(const std::string &FileName, const std::string &Bytes)
{
  if (const int Code = ReplaceFile(FileName, Bytes)) RuntimeError(Code, FileName);
}
