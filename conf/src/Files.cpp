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
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

#ifdef _WIN32
// Windows has no close-on-exec (and the game starts no program there); what
// matters is that no byte of a file is translated on the way in or out.
constexpr int OpenFlags = O_BINARY;
#else
constexpr int OpenFlags = O_CLOEXEC;
#endif

namespace {

// Windows reads and writes at most an int's worth of bytes at a time.
constexpr std::size_t MaxTransfer = std::size_t(1) << 30;

TFatalErrorHandler FatalErrorHandler = nullptr;

// Whether a directory entry of exactly this name exists (a link counts, whatever it points to).
bool EntryExists(const std::string &Name)
{
#ifdef _WIN32
  struct _stat64 St;
  return _stat64(Name.c_str(), &St) == 0;
#else
  struct stat St;
  return lstat(Name.c_str(), &St) == 0;
#endif
}

bool IsDirectory(const std::string &Name)
{
  struct stat St;
  return stat(Name.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

// Why Name did not open, just after open() failed on it. Windows refuses to
// open a directory at all; the answer is the one a read of it would give.
int OpenFailure(const std::string &Name)
{
  const int Code = errno;
  return Code == EACCES && IsDirectory(Name) ? EISDIR : Code;
}

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
  if (EntryExists(Dir + Part)) return Part;
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
    const ssize_t N = write(Fd, Data, std::min(Size, MaxTransfer));
    if (N < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    Data += N;
    Size -= static_cast<std::size_t>(N);
  }
  return true;
}

#ifdef _WIN32
// Windows knows no file modes beyond read-only, and a read-only target is
// never replaced: the new file is a plain writable one.
int CreateTempFile(std::string &Template)
{
  const std::size_t X = Template.size() - 6;
  static unsigned Counter = 0;
  for (int Try = 0; Try < 1000; ++Try) {
    const unsigned Seed = GetCurrentProcessId() * 7919u + GetTickCount() + ++Counter;
    for (std::size_t I = 0; I < 6; ++I) Template[X + I] = "abcdefghijklmnopqrstuvwxyz0123456789"[(Seed >> (I * 5)) % 36];
    const int Fd = _open(Template.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (Fd >= 0 || errno != EEXIST) return Fd;
  }
  return -1;
}

bool KeepMode(int, const struct stat *) { return true; }

bool SyncFile(int Fd) { return _commit(Fd) == 0; }

// errno for the last failed Windows call on a file.
int ErrnoOfLastError()
{
  switch (GetLastError()) {
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND: return ENOENT;
  case ERROR_DISK_FULL:
  case ERROR_HANDLE_DISK_FULL: return ENOSPC;
  case ERROR_WRITE_PROTECT: return EROFS;
  default: return EACCES;
  }
}

// Renames From over To, replacing To when it exists, as POSIX rename does.
int RenameOver(const std::string &From, const std::string &To)
{
  return MoveFileExA(From.c_str(), To.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0 : ErrnoOfLastError();
}
#else
int CreateTempFile(std::string &Template) { return mkostemp(Template.data(), O_CLOEXEC); }

mode_t NewFileMode()
{
  const mode_t Mask = umask(0);
  umask(Mask);
  return 0666 & ~Mask;
}

// The new file keeps the permissions of the one it replaces (Old: null when none).
bool KeepMode(int Fd, const struct stat *Old)
{
  return fchmod(Fd, Old ? (Old->st_mode & 07777) : NewFileMode()) == 0;
}

bool SyncFile(int Fd) { return fsync(Fd) == 0 || errno == EINVAL || errno == EROFS; }

int RenameOver(const std::string &From, const std::string &To)
{
  return rename(From.c_str(), To.c_str()) == 0 ? 0 : errno;
}
#endif

} // namespace

std::string ResolveFileName(const std::string &Name)
{
#ifdef _WIN32
  return Name; // Windows finds names without regard to case itself
#endif
  if (Name.empty() || EntryExists(Name)) return Name; // an entry of exactly this name

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
  const TFd F(open(Name.c_str(), O_RDWR | OpenFlags));
  if (F.Fd < 0) return false;
  // Permissions do not stop the superuser; a file that nobody may write is
  // still a read-only file.
  struct stat St;
  return fstat(F.Fd, &St) == 0 && S_ISREG(St.st_mode) && (St.st_mode & 0222) != 0;
}

int ReadingError(const std::string &FileName)
{
  const std::string Name = ResolveFileName(FileName);
#ifdef _WIN32
  const TFd F(open(Name.c_str(), O_RDONLY | OpenFlags));
#else
  // Not blocking: a pipe in the way must not stall the question.
  const TFd F(open(Name.c_str(), O_RDONLY | O_NONBLOCK | OpenFlags));
#endif
  if (F.Fd < 0) return OpenFailure(Name);
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
  const std::string Resolved = ResolveFileName(FileName);
  Fd = open(Resolved.c_str(), O_RDONLY | OpenFlags);
  if (Fd < 0) RuntimeError(OpenFailure(Resolved), FileName);
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
    const ssize_t N = read(Fd, Out + Got, std::min(Count - Got, MaxTransfer));
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

int TryWriteWholeFile(const std::string &FileName, const std::string &Bytes)
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

  const int Fd = CreateTempFile(Temp);
  if (Fd < 0) return errno;
  auto Fail = [&](int Code) {
    close(Fd);
    unlink(Temp.c_str());
    return Code;
  };
  if (!KeepMode(Fd, Exists ? &St : nullptr)) return Fail(errno);
  if (!WriteAll(Fd, Bytes.data(), Bytes.size())) return Fail(errno);
  if (!SyncFile(Fd)) return Fail(errno);
  if (close(Fd) != 0) {
    const int Code = errno;
    unlink(Temp.c_str());
    return Code;
  }
  if (const int Code = RenameOver(Temp, Target); Code != 0) {
    unlink(Temp.c_str());
    return Code;
  }
  return 0;
}

void WriteWholeFile(const std::string &FileName, const std::string &Bytes)
{
  if (const int Code = TryWriteWholeFile(FileName, Bytes)) RuntimeError(Code, FileName);
}
