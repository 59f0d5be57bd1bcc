// Recording.h -- a key recording: which keys are held in each frame of play,
// run-length encoded, as a small text file (format in data/levels/recordings/README.md).
//
// A recording names the level it plays (level file and 0-based index) and the
// key mapping it was made for. It starts with the first frame of that level and
// ends with the frame in which the level is completed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Autopilot {

// The keys the frame driver reads in play, one bit each.
enum TKey : uint8_t {
  kUp = 1 << 0,
  kDown = 1 << 1,
  kLeft = 1 << 2,
  kRight = 1 << 3,
  kPgUp = 1 << 4,
  kPgDn = 1 << 5,
  kEsc = 1 << 6,
};
using TKeys = uint8_t;  // a set of TKey bits; 0 = no key
inline constexpr TKeys AllKeys = kUp | kDown | kLeft | kRight | kPgUp | kPgDn | kEsc;

// One bit per key, in the order above, with its name in a recording and its
// Windows virtual-key code.
struct TKeyInfo { TKey Key; const char *Name; uint8_t VirtualKey; };
const std::vector<TKeyInfo> &KeyTable();

std::string KeysText(TKeys Keys);                     // "-", "Up", "Up+Right"
bool ParseKeys(const std::string &Text, TKeys &Keys); // the inverse; false on an unknown name

struct TRun {
  uint32_t Frames = 0;  // at least 1
  TKeys Keys = 0;
  bool operator==(const TRun &) const = default;
};

struct TRecording {
  std::string LevelFile;       // the packed level file's name, e.g. "intro.lvl"
  int32_t LevelIndex = 0;      // 0-based level within it
  bool Keys3D = false;         // the key mapping the keys are meant for
  std::vector<std::string> Comments;  // written as "# ..." after the header
  std::vector<TRun> Runs;

  uint64_t FrameCount() const;
  void Append(TKeys Keys, uint32_t Frames = 1);  // merges with the last run when the keys match
  std::vector<TKeys> Frames() const;             // one entry per frame
  bool operator==(const TRecording &Other) const {
    return LevelFile == Other.LevelFile && LevelIndex == Other.LevelIndex &&
           Keys3D == Other.Keys3D && Runs == Other.Runs;
  }
};

inline constexpr int RecordingVersion = 1;
inline constexpr uint32_t MaxRunFrames = 10'000'000;

// Writes the text form.
std::string WriteRecording(const TRecording &Recording);

// Reads the text form. On a bad text returns false and sets Error to a message
// that names the line ("line 4: ..."); Recording is then unspecified.
bool ReadRecording(const std::string &Text, TRecording &Recording, std::string &Error);

// File helpers; their messages begin with the file's name.
bool LoadRecordingFile(const std::string &FileName, TRecording &Recording, std::string &Error);
bool SaveRecordingFile(const std::string &FileName, const TRecording &Recording, std::string &Error);

}  // namespace Autopilot
