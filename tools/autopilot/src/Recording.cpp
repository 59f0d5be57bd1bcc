// Recording.cpp -- the text form of a key recording.
#include "Recording.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace Autopilot {

namespace {

constexpr const char *Magic = "kestrove-recording";
constexpr std::size_t MaxFileBytes = 16u << 20;

// Blanks, and a carriage return, which belongs to a line's end wherever the
// blanks around it put it.
std::string Trim(const std::string &Text)
{
  const auto First = Text.find_first_not_of(" \t\r");
  if (First == std::string::npos) return {};
  const auto Last = Text.find_last_not_of(" \t\r");
  return Text.substr(First, Last - First + 1);
}

// Splits at the first run of blanks: "count keys" or "keyword value".
void SplitWord(const std::string &Line, std::string &Word, std::string &Rest)
{
  const auto End = Line.find_first_of(" \t");
  if (End == std::string::npos) {
    Word = Line;
    Rest.clear();
    return;
  }
  Word = Line.substr(0, End);
  Rest = Trim(Line.substr(End));
}

// A decimal number of digits only, no sign, at most Max.
bool ParseNumber(const std::string &Text, uint64_t Max, uint64_t &Value)
{
  if (Text.empty() || Text.size() > 19) return false;
  Value = 0;
  for (const char C : Text) {
    if (C < '0' || C > '9') return false;
    Value = Value * 10 + static_cast<uint64_t>(C - '0');
  }
  return Value <= Max;
}

bool Fail(std::string &Error, int Line, const std::string &Message)
{
  Error = Line > 0 ? "line " + std::to_string(Line) + ": " + Message : Message;
  return false;
}

}  // namespace

const std::vector<TKeyInfo> &KeyTable()
{
  static const std::vector<TKeyInfo> Table = {
      {kUp, "Up", 38},     {kDown, "Down", 40}, {kLeft, "Left", 37}, {kRight, "Right", 39},
      {kPgUp, "PgUp", 33}, {kPgDn, "PgDn", 34}, {kEsc, "Esc", 27},
  };
  return Table;
}

std::string KeysText(TKeys Keys)
{
  if (Keys == 0) return "-";
  std::string Text;
  for (const TKeyInfo &Info : KeyTable()) {
    if (!(Keys & Info.Key)) continue;
    if (!Text.empty()) Text += '+';
    Text += Info.Name;
  }
  return Text;
}

bool ParseKeys(const std::string &Text, TKeys &Keys)
{
  Keys = 0;
  if (Text == "-") return true;
  if (Text.empty()) return false;
  std::size_t Start = 0;
  for (;;) {
    const auto End = Text.find('+', Start);
    const std::string Name = Text.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
    bool Known = false;
    for (const TKeyInfo &Info : KeyTable()) {
      if (Name == Info.Name) {
        if (Keys & Info.Key) return false;  // the same key twice
        Keys |= Info.Key;
        Known = true;
      }
    }
    if (!Known) return false;
    if (End == std::string::npos) return true;
    Start = End + 1;
  }
}

uint64_t TRecording::FrameCount() const
{
  uint64_t Count = 0;
  for (const TRun &Run : Runs) Count += Run.Frames;
  return Count;
}

void TRecording::Append(TKeys Keys, uint32_t Count)
{
  if (Count == 0) return;
  if (!Runs.empty() && Runs.back().Keys == Keys && Runs.back().Frames + uint64_t(Count) <= MaxRunFrames) {
    Runs.back().Frames += Count;
    return;
  }
  Runs.push_back({Count, Keys});
}

std::vector<TKeys> TRecording::Frames() const
{
  std::vector<TKeys> Out;
  Out.reserve(FrameCount());
  for (const TRun &Run : Runs) Out.insert(Out.end(), Run.Frames, Run.Keys);
  return Out;
}

std::string WriteRecording(const TRecording &Recording)
{
  std::ostringstream Out;
  Out << Magic << ' ' << RecordingVersion << '\n';
  Out << "level " << Recording.LevelFile << '\n';
  Out << "index " << Recording.LevelIndex << '\n';
  Out << "keys3d " << (Recording.Keys3D ? 1 : 0) << '\n';
  Out << "frames " << Recording.FrameCount() << '\n';
  for (const std::string &Comment : Recording.Comments) Out << "# " << Comment << '\n';
  for (const TRun &Run : Recording.Runs) Out << Run.Frames << ' ' << KeysText(Run.Keys) << '\n';
  return Out.str();
}

bool ReadRecording(const std::string &Text, TRecording &Recording, std::string &Error)
{
  Recording = TRecording{};
  if (Text.size() > MaxFileBytes) return Fail(Error, 0, "longer than 16 MiB");
  if (Text.find('\0') != std::string::npos) return Fail(Error, 0, "holds a NUL byte: not a text file");

  bool HaveMagic = false, HaveLevel = false, HaveIndex = false, HaveKeys3D = false, HaveFrames = false;
  uint64_t DeclaredFrames = 0, Total = 0;
  int LineNo = 0;
  std::size_t Pos = 0;
  while (Pos < Text.size()) {
    auto End = Text.find('\n', Pos);
    if (End == std::string::npos) End = Text.size();
    std::string Line = Text.substr(Pos, End - Pos);
    Pos = End + 1;
    ++LineNo;
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    Line = Trim(Line);
    if (Line.empty() || Line[0] == '#') continue;

    std::string Word, Rest;
    SplitWord(Line, Word, Rest);
    if (!HaveMagic) {
      if (Word != Magic) return Fail(Error, LineNo, "not a key recording (expected \"kestrove-recording 1\")");
      uint64_t Version = 0;
      if (!ParseNumber(Rest, 1000000, Version) || Version != RecordingVersion)
        return Fail(Error, LineNo, "unsupported recording version \"" + Rest + "\" (this reader knows 1)");
      HaveMagic = true;
      continue;
    }

    if (!Word.empty() && Word[0] >= '0' && Word[0] <= '9') {
      if (!(HaveLevel && HaveIndex && HaveKeys3D && HaveFrames))
        return Fail(Error, LineNo, "a run before the header is complete (level, index, keys3d and frames come first)");
      uint64_t Count = 0;
      if (!ParseNumber(Word, MaxRunFrames, Count) || Count == 0)
        return Fail(Error, LineNo, "bad frame count \"" + Word + "\" (1 to " + std::to_string(MaxRunFrames) + ")");
      TKeys Keys = 0;
      if (Rest.find_first_of(" \t") != std::string::npos || !ParseKeys(Rest, Keys))
        return Fail(Error, LineNo, "bad keys \"" + Rest + "\" (names Up Down Left Right PgUp PgDn Esc joined by '+', or '-')");
      Total += Count;
      if (Total > DeclaredFrames)
        return Fail(Error, LineNo, "more frames than the header's " + std::to_string(DeclaredFrames));
      Recording.Runs.push_back({static_cast<uint32_t>(Count), Keys});
      continue;
    }

    if (!Recording.Runs.empty()) return Fail(Error, LineNo, "header line \"" + Word + "\" after the first run");
    auto Once = [&](bool &Seen) {
      if (Seen) return Fail(Error, LineNo, "\"" + Word + "\" given twice");
      Seen = true;
      return true;
    };
    if (Word == "level") {
      if (!Once(HaveLevel)) return false;
      if (Rest.empty()) return Fail(Error, LineNo, "\"level\" without a file name");
      Recording.LevelFile = Rest;
    } else if (Word == "index") {
      if (!Once(HaveIndex)) return false;
      uint64_t Index = 0;
      if (!ParseNumber(Rest, 254, Index)) return Fail(Error, LineNo, "bad level index \"" + Rest + "\" (0 to 254)");
      Recording.LevelIndex = static_cast<int32_t>(Index);
    } else if (Word == "keys3d") {
      if (!Once(HaveKeys3D)) return false;
      if (Rest != "0" && Rest != "1") return Fail(Error, LineNo, "keys3d must be 0 or 1, not \"" + Rest + "\"");
      Recording.Keys3D = Rest == "1";
    } else if (Word == "frames") {
      if (!Once(HaveFrames)) return false;
      if (!ParseNumber(Rest, UINT32_MAX, DeclaredFrames) || DeclaredFrames == 0)
        return Fail(Error, LineNo, "bad frame total \"" + Rest + "\"");
    } else {
      return Fail(Error, LineNo, "unknown line \"" + Line + "\"");
    }
  }
  if (!HaveMagic) return Fail(Error, 0, "empty: not a key recording");
  if (!(HaveLevel && HaveIndex && HaveKeys3D && HaveFrames))
    return Fail(Error, 0, "incomplete header (needs level, index, keys3d and frames)");
  if (Total != DeclaredFrames)
    return Fail(Error, 0, "truncated: the runs hold " + std::to_string(Total) + " frames, the header says " +
                              std::to_string(DeclaredFrames));
  return true;
}

bool LoadRecordingFile(const std::string &FileName, TRecording &Recording, std::string &Error)
{
  std::ifstream In(FileName, std::ios::binary);
  if (!In) return Fail(Error, 0, FileName + ": cannot open: " + std::strerror(errno));
  std::string Text;
  char Buffer[65536];
  while (In.read(Buffer, sizeof Buffer) || In.gcount() > 0) {
    Text.append(Buffer, static_cast<std::size_t>(In.gcount()));
    if (Text.size() > MaxFileBytes) break;
  }
  if (In.bad()) return Fail(Error, 0, FileName + ": read error");
  std::string Why;
  if (!ReadRecording(Text, Recording, Why)) return Fail(Error, 0, FileName + ": " + Why);
  return true;
}

bool SaveRecordingFile(const std::string &FileName, const TRecording &Recording, std::string &Error)
{
  std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
  if (!Out) return Fail(Error, 0, FileName + ": cannot create: " + std::strerror(errno));
  Out << WriteRecording(Recording);
  Out.close();
  if (!Out) return Fail(Error, 0, FileName + ": write error");
  return true;
}

}  // namespace Autopilot
