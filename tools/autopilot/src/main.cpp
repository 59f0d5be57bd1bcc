// kestrove-autopilot -- turns grid solutions into key recordings by playing
// them through the rules library, and replays recordings.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>
#include "Autopilot.h"
#include "game.h"

using namespace Autopilot;

namespace {

constexpr const char *Usage =
    "usage:\n"
    "  kestrove-autopilot record <level-file> <index> <solution> [-o <out.rec>]\n"
    "      plays the solution (u d l r, capitals push) on level <index> (0-based)\n"
    "      and writes the keys held to <out.rec>, or to standard output\n"
    "  kestrove-autopilot record-set <level-file> <solutions> <out-dir>\n"
    "      the same for every line \"<index> <name> <moves>\" of <solutions>\n"
    "      (a file, or - for standard input), writing <out-dir>/<name>.rec\n"
    "  kestrove-autopilot play <level-file> <recording>...\n"
    "      replays each recording on its level and says whether it completes it\n";

std::string Trim(const std::string &Text)
{
  const auto First = Text.find_first_not_of(" \t");
  if (First == std::string::npos) return {};
  return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

std::string BaseName(const std::string &Path)
{
  const auto Slash = Path.find_last_of('/');
  return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::string Lower(std::string Text)
{
  for (char &C : Text) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  return Text;
}

// "<file>: level <n>: why", unless the message already names the file.
void ReportFailure(const std::string &LevelFile, long Index, const std::string &Name, const std::string &Error)
{
  if (Error.rfind(LevelFile + ": ", 0) == 0) {
    std::cerr << Error << '\n';
    return;
  }
  std::cerr << LevelFile << ": level " << Index;
  if (!Name.empty()) std::cerr << " (" << Name << ")";
  std::cerr << ": " << Error << '\n';
}

std::string Describe(const TFlight &Flight, std::size_t Moves)
{
  std::ostringstream Out;
  Out << Flight.Recording.FrameCount() << " frames for " << Moves << " moves";
  if (static_cast<std::size_t>(Flight.MovesPlayed) < Moves)
    Out << " (the level is complete after move " << Flight.MovesPlayed << ")";
  return Out.str();
}

std::size_t MoveCount(const std::string &Solution)
{
  std::vector<TMove> Moves;
  std::string Error;
  ParseSolution(Solution, Moves, Error);
  return Moves.size();
}

TRecording Finish(TFlight &&Flight, const std::string &Solution)
{
  TRecording Recording = std::move(Flight.Recording);
  Recording.Comments.push_back("made by kestrove-autopilot from the solution:");
  Recording.Comments.push_back(Solution);
  return Recording;
}

int Record(const std::vector<std::string> &Args)
{
  if (Args.size() != 3 && !(Args.size() == 5 && Args[3] == "-o")) {
    std::cerr << Usage;
    return 2;
  }
  const std::string &LevelFile = Args[0];
  char *End = nullptr;
  const long Index = std::strtol(Args[1].c_str(), &End, 10);
  if (Args[1].empty() || *End || Index < 0 || Index > 254) {
    std::cerr << "kestrove-autopilot: bad level index \"" << Args[1] << "\"\n";
    return 2;
  }
  TFlight Flight = FlyLevel(LevelFile, BaseName(LevelFile), static_cast<int32_t>(Index), Args[2]);
  if (!Flight.Completed) {
    ReportFailure(LevelFile, Index, "", Flight.Error);
    return 1;
  }
  const std::string Summary = Describe(Flight, MoveCount(Args[2]));
  const TRecording Recording = Finish(std::move(Flight), Args[2]);
  if (Args.size() == 5) {
    std::string Error;
    if (!SaveRecordingFile(Args[4], Recording, Error)) {
      std::cerr << "kestrove-autopilot: " << Error << '\n';
      return 1;
    }
    std::cerr << Args[4] << ": " << Summary << '\n';
  } else {
    std::cout << WriteRecording(Recording);
  }
  return 0;
}

int RecordSet(const std::vector<std::string> &Args)
{
  if (Args.size() != 3) {
    std::cerr << Usage;
    return 2;
  }
  const std::string &LevelFile = Args[0];
  std::ifstream File;
  std::istream *In = &std::cin;
  const std::string Source = Args[1] == "-" ? "(standard input)" : Args[1];
  if (Args[1] != "-") {
    File.open(Args[1]);
    if (!File) {
      std::cerr << "kestrove-autopilot: " << Args[1] << ": cannot open\n";
      return 1;
    }
    In = &File;
  }
  int Failed = 0, Written = 0, LineNo = 0;
  std::string Line;
  while (std::getline(*In, Line)) {
    ++LineNo;
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Line.find_first_not_of(" \t") == std::string::npos || Line[Line.find_first_not_of(" \t")] == '#') continue;
    std::istringstream Fields(Line);
    std::string IndexText, Name, Moves;
    Fields >> IndexText >> Name;
    std::getline(Fields, Moves);
    Moves = Trim(Moves);
    char *End = nullptr;
    const long Index = std::strtol(IndexText.c_str(), &End, 10);
    const bool NameOk = !Name.empty() && Name.find_first_of("/\\") == std::string::npos && Name[0] != '.';
    if (IndexText.empty() || *End || Index < 0 || Index > 254 || !NameOk) {
      std::cerr << Source << ": line " << LineNo << ": expected \"<index> <name> <moves>\"\n";
      ++Failed;
      continue;
    }
    TFlight Flight = FlyLevel(LevelFile, BaseName(LevelFile), static_cast<int32_t>(Index), Moves);
    if (!Flight.Completed) {
      ReportFailure(LevelFile, Index, Name, Flight.Error);
      ++Failed;
      continue;
    }
    const std::string Summary = Describe(Flight, MoveCount(Moves));
    const std::string Out = Args[2] + "/" + Name + ".rec";
    std::string Error;
    if (!SaveRecordingFile(Out, Finish(std::move(Flight), Moves), Error)) {
      std::cerr << "kestrove-autopilot: " << Error << '\n';
      ++Failed;
      continue;
    }
    std::cerr << Out << ": " << Summary << '\n';
    ++Written;
  }
  std::cerr << BaseName(LevelFile) << ": " << Written << " recordings written, " << Failed << " failed\n";
  return Failed ? 1 : 0;
}

int Play(const std::vector<std::string> &Args)
{
  if (Args.size() < 2) {
    std::cerr << Usage;
    return 2;
  }
  int Failed = 0;
  for (std::size_t i = 1; i < Args.size(); ++i) {
    TRecording Recording;
    std::string Error;
    if (!LoadRecordingFile(Args[i], Recording, Error) ||
        !StartLevel(Args[0], Recording.LevelIndex, Error)) {
      std::cerr << Error << '\n';
      ++Failed;
      continue;
    }
    if (Lower(Recording.LevelFile) != Lower(BaseName(Args[0]))) {
      std::cerr << Args[i] << ": plays " << Recording.LevelFile << ", not " << BaseName(Args[0]) << '\n';
      ++Failed;
      continue;
    }
    const uint64_t At = Replay(Recording);
    if (At == 0) {
      std::cerr << Args[i] << ": does not complete level " << Recording.LevelIndex << '\n';
      ++Failed;
    } else if (At != Recording.FrameCount()) {
      std::cerr << Args[i] << ": completes level " << Recording.LevelIndex << " at frame " << At << " of "
                << Recording.FrameCount() << '\n';
      ++Failed;
    } else {
      std::cout << Args[i] << ": completes level " << Recording.LevelIndex << " in its last frame, " << At << '\n';
    }
  }
  return Failed ? 1 : 0;
}

}  // namespace

int main(int argc, char **argv)
{
  if (argc < 2) {
    std::cerr << Usage;
    return 2;
  }
  const std::string Command = argv[1];
  const std::vector<std::string> Args(argv + 2, argv + argc);
  GameInit();
  int Status = 2;
  if (Command == "record") Status = Record(Args);
  else if (Command == "record-set") Status = RecordSet(Args);
  else if (Command == "play") Status = Play(Args);
  else std::cerr << Usage;
  GameDeInit();
  return Status;
}
