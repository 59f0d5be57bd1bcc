// kestrove-levels -- packs, unpacks, imports, exports, lists, checks and
// solves the game's level files.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Common.h"
#include "Generate.h"
#include "Grid.h"
#include "LevelSet.h"

using namespace levels;

namespace {

const char Usage[] =
    "usage: kestrove-levels COMMAND ARGS...\n"
    "\n"
    "  pack SOURCE.txt OUT.lvl      readable source to level file (byte-exact both ways)\n"
    "  unpack IN.lvl [OUT.txt]      level file to readable source ('-' or none: standard output)\n"
    "  import COLLECTION OUT.lvl    the genre's plain-text collection to a level file; prints\n"
    "                               the line that offers it in maps.ini (\"OUT.lvl=Title\")\n"
    "  export IN.lvl [OUT.txt]      level file to the genre's plain-text format, water as '~'\n"
    "  list FILE                    one line per level: number, title, size, counts\n"
    "  show FILE [N]                the levels (or level N) drawn as text, with their counts\n"
    "  check FILE...                everything the game would misread; a source's solutions too\n"
    "  solve FILE [N] [--update] [--fast] [--max-states S (default 1000000)] [--max-seconds T]\n"
    "                               fewest-move solutions; --update writes them into a source;\n"
    "                               --fast finds some solution quickly, not the shortest (its\n"
    "                               states are the positions it holds); --max-seconds gives\n"
    "                               up on a level after T seconds and goes on to the next\n"
    "  solutions SOURCE.txt         '<0-based index> <recording> <moves>' per level\n"
    "  generate CLASS COUNT SEED [OUT.txt]\n"
    "                               COUNT random levels solvable by construction, as a\n"
    "                               source; CLASS is one of: small medium large, and each\n"
    "                               with -water (small-water ...)\n"
    "\n"
    "FILE is a level file when its name ends in .lvl, else a readable source.\n"
    "Levels are numbered from 1 on the command line and in messages.\n"
    "\n"
    "Readable source: levels separated by one blank line. A level is \"Key: value\"\n"
    "header lines (Title, Author, Solution, Recording, any others), then its rows,\n"
    "all of one width: '#' wall, '$' box, '.' destination, '*' box on destination,\n"
    "'@' player, '~' water, '%' inert block, ' ' '-' '_' floor. Header lines before\n"
    "the first blank line with no rows belong to the whole set. Solutions use\n"
    "u d l r, capitals for pushes; u goes towards the first row.\n"
    "\n"
    "Exit status: 0 fine, 1 errors found (each names file, line and level),\n"
    "2 bad command line, 3 import wrote the file but left levels out.\n";

int Fail(const std::string &Text) {
  std::fprintf(stderr, "kestrove-levels: %s\n", Text.c_str());
  return 2;
}

void Print(const Problems &List) {
  for (const auto &P : List) std::fprintf(stderr, "%s\n", FormatProblem(P).c_str());
}

bool IsLevelFileName(const std::string &Path) {
  if (Path.size() < 4) return false;
  std::string Ext = Path.substr(Path.size() - 4);
  for (auto &C : Ext) C = char(std::tolower(static_cast<unsigned char>(C)));
  return Ext == ".lvl";
}

// Reads a level file or a source by its name; false when nothing could be read.
bool Load(const std::string &Path, LevelSet &Set, Problems &Out) {
  std::string Bytes;
  if (!ReadWholeFile(Path, Bytes, Out)) return false;
  Set = IsLevelFileName(Path) ? ReadLevelFile(Bytes, Path, Out) : ParseSource(Bytes, Path, Out);
  return true;
}

bool ParseLevelNumber(const std::string &Text, const LevelSet &Set, int &Index) {
  char *End = nullptr;
  const long N = std::strtol(Text.c_str(), &End, 10);
  if (Text.empty() || *End || N < 1 || N > long(Set.Levels.size())) return false;
  Index = int(N - 1);
  return true;
}

std::string CountsText(const Level &L) {
  const Counts C = CountCells(L);
  return "boxes " + std::to_string(C.Boxes) + ", destinations " + std::to_string(C.Destinations) + ", water " +
         std::to_string(C.Water);
}

std::string LevelsText(std::size_t N) { return std::to_string(N) + (N == 1 ? " level" : " levels"); }

std::string TitleOf(const Level &L) {
  const std::string T = L.HeaderValue("Title");
  return T.empty() ? "(untitled)" : T;
}

int Pack(const std::string &In, const std::string &OutPath) {
  Problems Found;
  std::string Text;
  if (!ReadWholeFile(In, Text, Found)) return Print(Found), 1;
  const LevelSet Set = ParseSource(Text, In, Found);
  if (HasErrors(Found)) return Print(Found), 1;
  const std::string Bytes = WriteLevelFile(Set, In, Found);
  if (HasErrors(Found)) return Print(Found), 1;
  Print(Found);
  return WriteWholeFile(OutPath, Bytes, Found) ? 0 : (Print(Found), 1);
}

int Unpack(const std::string &In, const std::string &OutPath) {
  Problems Found;
  std::string Bytes;
  if (!ReadWholeFile(In, Bytes, Found)) return Print(Found), 1;
  const LevelSet Set = ReadLevelFile(Bytes, In, Found);
  for (std::size_t I = 0; I < Set.Levels.size(); ++I)
    if (Set.Levels[I].Width == 0 || Set.Levels[I].Height == 0)
      Found.push_back(Problem{Problem::Error, In, Set.Levels[I].Line, int(I), "a level with no cells has no source form"});
  if (!Found.empty()) {
    Print(Found);
    std::fprintf(stderr, "%s: not unpacked: unpack writes only sources that pack back to the same bytes "
                         "(try export, or check)\n", In.c_str());
    return 1;
  }
  const std::string Text = WriteSource(Set);
  Problems Again;
  const std::string Repacked = WriteLevelFile(ParseSource(Text, OutPath, Again), In, Again);
  if (Repacked != Bytes) {
    Print(Again);
    std::fprintf(stderr, "%s: not unpacked: the source would not pack back to the same bytes\n", In.c_str());
    return 1;
  }
  return WriteWholeFile(OutPath, Text, Found) ? 0 : (Print(Found), 1);
}

// The map list reads '=' as the end of the file name, ';' as the start of a
// comment and drops blanks and control bytes at both ends.
bool MapListCanName(const std::string &File) {
  return !File.empty() && File.find_first_of("=;") == std::string::npos &&
         static_cast<unsigned char>(File.front()) > 32 && static_cast<unsigned char>(File.back()) > 32;
}

std::string MapListTitle(std::string Title) {
  for (auto &C : Title) {
    if (C == ';') C = ',';
    else if (static_cast<unsigned char>(C) < 32) C = ' ';
  }
  const auto Begin = Title.find_first_not_of(' '), End = Title.find_last_not_of(' ');
  return Begin == std::string::npos ? "" : Title.substr(Begin, End - Begin + 1);
}

// Offers the imported set on the settings page: the maps.ini line on standard
// output, titled by the collection or else by the collection's file name.
void PrintMapListLine(const std::string &In, const std::string &OutPath, const LevelSet &Set) {
  if (OutPath == "-") return;  // the level file itself went to standard output
  const std::string File = std::filesystem::path(OutPath).filename().string();
  if (!MapListCanName(File)) {
    std::fprintf(stderr, "%s: no map list line: a map list cannot name a file with '=' or ';' or blanks at its ends\n",
                 OutPath.c_str());
    return;
  }
  std::string Title;
  for (const auto &H : Set.Headers)
    if (H.Key == "Set" && Title.empty()) Title = MapListTitle(H.Value);
  if (Title.empty()) Title = MapListTitle(std::filesystem::path(In).stem().string());
  std::printf("%s=%s\n", File.c_str(), Title.c_str());
}

int Import(const std::string &In, const std::string &OutPath) {
  Problems Found;
  std::string Text;
  if (!ReadWholeFile(In, Text, Found)) return Print(Found), 1;
  int LeftOut = 0;
  const LevelSet Set = ImportCommon(Text, In, Found, LeftOut);
  Print(Found);
  const std::string LeftOutText = LeftOut ? ", " + std::to_string(LeftOut) + " left out" : "";
  if (Set.Levels.empty()) {
    std::fprintf(stderr, "%s: nothing imported%s\n", In.c_str(), LeftOutText.c_str());
    return 1;
  }
  Problems Written;
  const std::string Bytes = WriteLevelFile(Set, OutPath, Written);
  if (HasErrors(Written) || !WriteWholeFile(OutPath, Bytes, Written)) return Print(Written), 1;
  std::fprintf(stderr, "%s: %s imported into %s%s\n", In.c_str(), LevelsText(Set.Levels.size()).c_str(),
               OutPath.c_str(), LeftOutText.c_str());
  PrintMapListLine(In, OutPath, Set);
  return LeftOut ? 3 : 0;
}

int Export(const std::string &In, const std::string &OutPath) {
  Problems Found;
  LevelSet Set;
  if (!Load(In, Set, Found)) return Print(Found), 1;
  Print(Found);
  if (HasErrors(Found) && Set.Levels.empty()) return 1;
  return WriteWholeFile(OutPath, ExportCommon(Set), Found) ? (HasErrors(Found) ? 1 : 0) : (Print(Found), 1);
}

int List(const std::string &In, bool Draw, int Only) {
  Problems Found;
  LevelSet Set;
  if (!Load(In, Set, Found)) return Print(Found), 1;
  if (Only >= int(Set.Levels.size())) {
    Print(Found);
    return Fail("no level " + std::to_string(Only + 1) + " in " + In + " (it holds " +
                std::to_string(Set.Levels.size()) + ")");
  }
  for (const auto &H : Set.Headers) std::printf("%s: %s\n", H.Key.c_str(), H.Value.c_str());
  for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
    if (Only >= 0 && int(I) != Only) continue;
    const Level &L = Set.Levels[I];
    std::printf("%3zu  %-32s %3dx%-3d  %s\n", I + 1, TitleOf(L).c_str(), L.Width, L.Height, CountsText(L).c_str());
    if (!Draw) continue;
    for (const auto &H : L.Headers)
      if (H.Key != "Title") std::printf("     %s: %s\n", H.Key.c_str(), H.Value.c_str());
    for (const auto &Row : L.Rows) {
      std::string Line = "     ";
      for (const char Cell : Row) {
        const char C = SourceCharOf(Cell);
        Line += C ? C : ' ';
      }
      std::printf("%s\n", Line.c_str());
    }
    std::printf("\n");
  }
  Print(Found);
  return HasErrors(Found) ? 1 : 0;
}

int Check(const std::vector<std::string> &Files) {
  int Status = 0;
  for (const auto &In : Files) {
    Problems Found;
    LevelSet Set;
    std::string Bytes;
    if (!ReadWholeFile(In, Bytes, Found)) {
      Print(Found);
      Status = 1;
      continue;
    }
    const bool Packed = IsLevelFileName(In);
    Set = Packed ? ReadLevelFile(Bytes, In, Found) : ParseSource(Bytes, In, Found);
    if (!Packed && !HasErrors(Found)) WriteLevelFile(Set, In, Found);
    if (Set.Levels.empty() && !HasErrors(Found))
      Found.push_back(Problem{Problem::Error, In, 0, -1, "the set holds no levels: the game shows the menu at once"});
    for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
      const Level &L = Set.Levels[I];
      CheckLevel(L, int(I), In, Found);
      const std::string Moves = L.HeaderValue("Solution");
      if (Moves.empty()) continue;
      const ReplayResult R = Replay(L, Moves);
      if (!R.Ok) Found.push_back(Problem{Problem::Error, In, L.Line, int(I), "the solution fails: " + R.Error});
    }
    Print(Found);
    if (HasErrors(Found)) {
      Status = 1;
      std::printf("%s: bad\n", In.c_str());
    } else {
      std::printf("%s: %s, fine\n", In.c_str(), LevelsText(Set.Levels.size()).c_str());
    }
  }
  return Status;
}

int SolveCommand(const std::vector<std::string> &Args) {
  std::string In;
  std::string Number;
  bool Update = false;
  long MaxStates = 1000000;
  double MaxSeconds = 0;
  solver::Mode How = solver::Mode::FewestMoves;
  for (std::size_t I = 0; I < Args.size(); ++I) {
    if (Args[I] == "--update") {
      Update = true;
    } else if (Args[I] == "--fast") {
      How = solver::Mode::Fast;
    } else if (Args[I] == "--max-seconds" && I + 1 < Args.size()) {
      char *End = nullptr;
      const std::string &Text = Args[++I];
      MaxSeconds = std::strtod(Text.c_str(), &End);
      if (Text.empty() || *End || !(MaxSeconds > 0) || MaxSeconds > 1e6)
        return Fail("--max-seconds wants a positive number of seconds");
    } else if (Args[I] == "--max-states" && I + 1 < Args.size()) {
      MaxStates = std::strtol(Args[++I].c_str(), nullptr, 10);
      if (MaxStates < 1) return Fail("--max-states wants a positive number");
    } else if (In.empty()) {
      In = Args[I];
    } else if (Number.empty()) {
      Number = Args[I];
    } else {
      return Fail(std::string("solve: unexpected argument \"") + Args[I] + "\"");
    }
  }
  if (In.empty()) return Fail("solve wants a file");
  if (Update && IsLevelFileName(In)) return Fail("solve --update writes into a readable source, not a level file");
  Problems Found;
  LevelSet Set;
  if (!Load(In, Set, Found)) return Print(Found), 1;
  if (HasErrors(Found)) return Print(Found), 1;
  int Only = -1;
  if (!Number.empty() && !ParseLevelNumber(Number, Set, Only))
    return Fail("no level \"" + Number + "\" in " + In);
  int Status = 0;
  for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
    if (Only >= 0 && int(I) != Only) continue;
    Level &L = Set.Levels[I];
    Problems Bad;
    CheckLevel(L, int(I), In, Bad);
    if (HasErrors(Bad)) {
      Print(Bad);
      Status = 1;
      continue;
    }
    solver::Limits Within;
    Within.MaxStates = MaxStates;
    if (MaxSeconds > 0)
      Within.Deadline = std::chrono::steady_clock::now() +
                        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                            std::chrono::duration<double>(MaxSeconds));
    const SolveResult R = Solve(L, How, Within);
    if (R.Result == SolveResult::Solved) {
      const ReplayResult Played = Replay(L, R.Moves);
      std::printf("%zu %s: %d moves, %d pushes, %ld states: %s\n", I + 1, TitleOf(L).c_str(), Played.Moves,
                  Played.Pushes, R.States, R.Moves.c_str());
      if (Update) L.SetHeader("Solution", R.Moves);
    } else {
      if (R.Result == SolveResult::TooLarge)
        std::printf("%zu %s: not solved: the solver handles at most 64 water cells\n", I + 1, TitleOf(L).c_str());
      else if (R.Result == SolveResult::TimedOut)
        std::printf("%zu %s: gave up after %g seconds, %ld states\n", I + 1, TitleOf(L).c_str(), MaxSeconds,
                    R.States);
      else
        std::printf("%zu %s: %s after %ld states\n", I + 1, TitleOf(L).c_str(),
                    R.Result == SolveResult::GaveUp ? "gave up (try --max-states)" : "no solution", R.States);
      Status = 1;
    }
  }
  if (Update) {
    Problems Written;
    if (!WriteWholeFile(In, WriteSource(Set), Written)) return Print(Written), 1;
  }
  return Status;
}

int Solutions(const std::string &In) {
  Problems Found;
  std::string Text;
  if (!ReadWholeFile(In, Text, Found)) return Print(Found), 1;
  const LevelSet Set = ParseSource(Text, In, Found);
  if (HasErrors(Found)) return Print(Found), 1;
  int Status = 0;
  for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
    const Level &L = Set.Levels[I];
    const std::string Name = L.HeaderValue("Recording"), Moves = L.HeaderValue("Solution");
    if (Name.empty() || Moves.empty()) {
      Found.push_back(Problem{Problem::Error, In, L.Line, int(I),
                              Name.empty() ? "no Recording: header" : "no Solution: header"});
      Status = 1;
      continue;
    }
    std::printf("%zu %s %s\n", I, Name.c_str(), Moves.c_str());
  }
  Print(Found);
  return Status;
}

int GenerateCommand(const std::vector<std::string> &Args) {
  const LevelClass *Class = FindLevelClass(Args[0]);
  if (!Class) return Fail("generate: no level class \"" + Args[0] + "\"");
  char *End = nullptr;
  const long Count = std::strtol(Args[1].c_str(), &End, 10);
  if (Args[1].empty() || *End || Count < 1 || Count > 255) return Fail("generate: COUNT is 1 to 255");
  const unsigned long long Seed = std::strtoull(Args[2].c_str(), &End, 10);
  if (Args[2].empty() || *End) return Fail("generate: SEED is a whole number");
  const std::string Text = WriteSource(GenerateLevels(*Class, int(Count), Seed));
  if (Args.size() < 4 || Args[3] == "-") return std::fputs(Text.c_str(), stdout) < 0 ? 1 : 0;
  Problems Written;
  return WriteWholeFile(Args[3], Text, Written) ? 0 : (Print(Written), 1);
}

}  // namespace

int main(int argc, char **argv) {
  const std::vector<std::string> Args(argv + 1, argv + argc);
  if (Args.empty()) return std::fputs(Usage, stderr), 2;
  const std::string &Cmd = Args[0];
  const std::size_t N = Args.size() - 1;
  if (Cmd == "--help" || Cmd == "-h" || Cmd == "help") return std::fputs(Usage, stdout), 0;
  if (Cmd == "pack" && N == 2) return Pack(Args[1], Args[2]);
  if (Cmd == "unpack" && (N == 1 || N == 2)) return Unpack(Args[1], N == 2 ? Args[2] : "-");
  if (Cmd == "import" && N == 2) return Import(Args[1], Args[2]);
  if (Cmd == "export" && (N == 1 || N == 2)) return Export(Args[1], N == 2 ? Args[2] : "-");
  if (Cmd == "list" && N == 1) return List(Args[1], false, -1);
  if (Cmd == "show" && (N == 1 || N == 2)) {
    if (N == 1) return List(Args[1], true, -1);
    char *End = nullptr;
    const long Number = std::strtol(Args[2].c_str(), &End, 10);
    if (*End || Number < 1 || Number > 255) return Fail("show: \"" + Args[2] + "\" is no level number");
    return List(Args[1], true, int(Number - 1));
  }
  if (Cmd == "check" && N >= 1) return Check({Args.begin() + 1, Args.end()});
  if (Cmd == "solve" && N >= 1) return SolveCommand({Args.begin() + 1, Args.end()});
  if (Cmd == "solutions" && N == 1) return Solutions(Args[1]);
  if (Cmd == "generate" && (N == 3 || N == 4)) return GenerateCommand({Args.begin() + 1, Args.end()});
  std::fputs(Usage, stderr);
  return 2;
}
