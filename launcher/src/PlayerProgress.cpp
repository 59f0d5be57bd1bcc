// PlayerProgress.cpp -- the progress file, read forgivingly and replaced whole.
#include "PlayerProgress.h"

#include "Files.h"
#include "LauncherInternal.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

constexpr const char *Header =
  "; Kestrove progress: the levels solved and the best of each, one per line:\n"
  "; set file, level number, fewest moves, fewest pushes, fewest seconds, split by tabs;\n"
  "; '-' where a level was solved without a count (continued from an old save).\n";

constexpr const char *NoBest = "-";

std::vector<std::string> Fields(const std::string &Line)
{
  std::vector<std::string> Out;
  size_t From = 0;
  for (size_t Tab; (Tab = Line.find('\t', From)) != std::string::npos; From = Tab + 1)
    Out.push_back(Line.substr(From, Tab - From));
  Out.push_back(Line.substr(From));
  return Out;
}

// A whole decimal number from 0 up, nothing around it, or "-" for none (-1).
bool Count(const std::string &Text, int32_t &Value)
{
  if (Text == NoBest) {
    Value = -1;
    return true;
  }
  if (Text.empty() || Text.size() > 9) return false;
  Value = 0;
  for (const char C : Text) {
    if (C < '0' || C > '9') return false;
    Value = Value * 10 + (C - '0');
  }
  return true;
}

void KeepLower(int32_t &Best, int32_t Value)
{
  if (Value >= 0 && (Best < 0 || Value < Best)) Best = Value;
}

std::string CountText(int32_t Value) { return Value < 0 ? NoBest : std::to_string(Value); }

}  // namespace

bool TPlayerProgress::Load(const std::string &FileName)
{
  File = FileName;
  Levels.clear();
  const int Error = ReadingError(FileName);
  if (Error == ENOENT) return true;  // nothing solved yet
  if (Error) {
    ReportError("The progress file \"" + FileName + "\" cannot be read: " + std::strerror(Error) +
                ". Solved levels are not remembered this time.");
    File.clear();  // nor is anything written over it
    return false;
  }
  std::istringstream In(ReadWholeFile(FileName));
  bool Damaged = false;
  for (std::string Line; std::getline(In, Line);) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Line.empty() || Line[0] == ';') continue;
    const std::vector<std::string> F = Fields(Line);
    int32_t Level = 0, Moves = 0, Pushes = 0, Seconds = 0;
    if (F.size() != 5 || F[0].empty() || !Count(F[1], Level) || Level < 1 || !Count(F[2], Moves) ||
        !Count(F[3], Pushes) || !Count(F[4], Seconds)) {
      Damaged = true;
      continue;
    }
    TBest &B = Levels[{F[0], Level - 1}];
    B.Solved = true;
    KeepLower(B.Moves, Moves);
    KeepLower(B.Pushes, Pushes);
    KeepLower(B.Seconds, Seconds);
  }
  if (!Damaged) return true;
  ReportError("The progress file \"" + FileName + "\" was damaged; it is replaced by what could be read of it.");
  Save();
  return false;
}

TBest TPlayerProgress::Best(const std::string &SetFile, int32_t Level) const
{
  const auto It = Levels.find({SetFile, Level});
  return It == Levels.end() ? TBest{} : It->second;
}

TBest TPlayerProgress::Record(const std::string &SetFile, int32_t Level, int32_t Moves, int32_t Pushes,
                              int32_t Seconds)
{
  TBest &B = Levels[{SetFile, Level}];
  const TBest Before = B;
  B.Solved = true;
  KeepLower(B.Moves, Moves);
  KeepLower(B.Pushes, Pushes);
  KeepLower(B.Seconds, Seconds);
  Save();
  return Before;
}

void TPlayerProgress::RecordSolved(const std::string &SetFile, int32_t Level)
{
  TBest &B = Levels[{SetFile, Level}];
  if (B.Solved) return;
  B.Solved = true;
  Save();
}

std::string TPlayerProgress::Text() const
{
  std::string Out = Header;
  for (const auto &[Key, B] : Levels)
    Out += Key.first + '\t' + std::to_string(Key.second + 1) + '\t' + CountText(B.Moves) + '\t' +
           CountText(B.Pushes) + '\t' + CountText(B.Seconds) + '\n';
  return Out;
}

bool TPlayerProgress::Save() const
{
  if (File.empty()) return false;
  const int Error = TryWriteWholeFile(File, Text());
  if (Error)
    ReportError("The progress file \"" + File + "\" cannot be written: " + std::strerror(Error) +
                ". The game goes on.");
  return Error == 0;
}
