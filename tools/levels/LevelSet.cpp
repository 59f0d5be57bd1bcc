// LevelSet.cpp -- the readable source form and the packed level file.
#include "LevelSet.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

#include "LevelFile.h"
#include "Text.h"

namespace levels {

namespace {

struct CellPair {
  char Source;
  char Cell;
};
// Floor characters stand for themselves in both forms, so either form can be
// rebuilt from the other byte for byte.
constexpr CellPair CellTable[] = {
    {'#', CellWall},  {'$', CellBox},    {'.', CellGoal}, {'*', CellBoxOnGoal},
    {'~', CellWater}, {'@', CellPlayer}, {'%', CellInert}, {' ', ' '},
    {'-', '-'},       {'_', '_'},
};

std::string Where(const std::string &File, int Line) {
  return Line > 0 ? File + ":" + std::to_string(Line) : File;
}

std::vector<std::string> SplitLines(const std::string &Text, bool &EndsWithLineEnd) {
  std::vector<std::string> Lines;
  std::string::size_type Start = 0;
  while (Start < Text.size()) {
    const auto End = Text.find('\n', Start);
    if (End == std::string::npos) {
      Lines.push_back(Text.substr(Start));
      EndsWithLineEnd = false;
      return Lines;
    }
    Lines.push_back(Text.substr(Start, End - Start));
    Start = End + 1;
  }
  EndsWithLineEnd = true;
  return Lines;
}

bool IsKeyStart(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }
bool IsKeyChar(char C) {
  return IsKeyStart(C) || (C >= '0' && C <= '9') || C == '-' || C == '_';
}

// Parses "Key: value" (or "Key:" for an empty value). Returns "" on success,
// else why the text is no header line.
std::string ParseHeaderText(const std::string &Text, Header &Out) {
  if (Text.empty() || !IsKeyStart(Text[0])) return "a header line starts with a letter";
  std::string::size_type I = 0;
  while (I < Text.size() && IsKeyChar(Text[I])) ++I;
  if (I == Text.size() || Text[I] != ':') return "a header line is \"Key: value\"";
  Out.Key = Text.substr(0, I);
  ++I;
  if (I == Text.size()) {
    Out.Value.clear();
  } else if (Text[I] != ' ') {
    return "write one space after \"" + Out.Key + ":\"";
  } else if (I + 1 == Text.size()) {
    return "trailing space after \"" + Out.Key + ":\"";
  } else {
    Out.Value = Text.substr(I + 1);
  }
  for (const char C : Out.Value) {
    if (C == '\t') return "a header value cannot hold a tab";
    if (C == '\r') return "a header value cannot hold a CR";
    if (C == 26) return "a header value cannot hold byte 26";
  }
  return "";
}

std::string HeaderText(const Header &H) {
  return H.Value.empty() ? H.Key + ":" : H.Key + ": " + H.Value;
}

std::string JoinHeaders(const std::vector<Header> &Headers) {
  std::string Out;
  for (const auto &H : Headers) {
    if (!Out.empty()) Out += '\t';
    Out += HeaderText(H);
  }
  return Out;
}

// Splits the text after a header's bytes into headers; "" on success.
std::string SplitHeaderFields(const std::string &Rest, std::vector<Header> &Out) {
  Out.clear();
  if (Rest.empty()) return "";
  std::string::size_type Start = 0;
  for (;;) {
    const auto End = Rest.find('\t', Start);
    const std::string Field = Rest.substr(Start, End == std::string::npos ? End : End - Start);
    Header H;
    const std::string Why = ParseHeaderText(Field, H);
    if (!Why.empty()) return Why;
    Out.push_back(H);
    if (End == std::string::npos) return "";
    Start = End + 1;
  }
}

bool IsMoveChar(char C) {
  switch (C) {
    case 'u': case 'd': case 'l': case 'r': case 'U': case 'D': case 'L': case 'R': return true;
    default: return false;
  }
}

bool IsRecordingName(const std::string &S) {
  if (S.empty()) return false;
  for (const char C : S)
    if (!IsKeyChar(C)) return false;
  return true;
}

void Add(Problems &Out, Problem::Severity Kind, const std::string &File, int Line, int Level,
         const std::string &Text) {
  Out.push_back(Problem{Kind, File, Line, Level, Text});
}

std::string ByteText(unsigned char B) {
  if (B >= 33 && B < 127) return std::string("'") + char(B) + "'";
  return "byte " + std::to_string(B);
}

}  // namespace

std::string FormatProblem(const Problem &P) {
  std::string S = Where(P.File, P.Line) + ": ";
  if (P.Kind == Problem::Warning) S += "warning: ";
  if (P.Level >= 0) S += "level " + std::to_string(P.Level + 1) + ": ";
  return S + P.Text;
}

bool HasErrors(const Problems &List) {
  for (const auto &P : List)
    if (P.Kind == Problem::Error) return true;
  return false;
}

std::string Level::HeaderValue(const std::string &Key) const {
  for (const auto &H : Headers)
    if (H.Key == Key) return H.Value;
  return "";
}

void Level::SetHeader(const std::string &Key, const std::string &Value) {
  for (auto &H : Headers)
    if (H.Key == Key) {
      H.Value = Value;
      return;
    }
  Headers.push_back(Header{Key, Value});
}

char SourceCharOf(char Cell) {
  for (const auto &P : CellTable)
    if (P.Cell == Cell) return P.Source;
  return 0;
}

char CellOfSourceChar(char C) {
  for (const auto &P : CellTable)
    if (P.Source == C) return P.Cell;
  return 0;
}

bool IsUnstorableByte(int Value) { return Value == 10 || Value == 13 || Value == 26; }

std::string UnstorableReason(int Value) {
  switch (Value) {
    case 10: return "byte 10 would end the line";
    case 13: return "byte 13 is dropped as a carriage return";
    case 26: return "byte 26 marks the end of the text";
    default: return "";
  }
}

Counts CountCells(const Level &L) {
  Counts C;
  for (const auto &Row : L.Rows)
    for (const char Cell : Row) {
      switch (Cell) {
        case CellBox: ++C.Boxes; break;
        case CellGoal: ++C.Destinations; break;
        case CellBoxOnGoal: ++C.Boxes; ++C.Destinations; ++C.BoxesOnDestinations; break;
        case CellWater: ++C.Water; break;
        case CellPlayer: ++C.Players; break;
        default: break;
      }
    }
  return C;
}

LevelSet ParseSource(const std::string &Text, const std::string &File, Problems &Out) {
  LevelSet Set;
  bool EndsWithLineEnd = true;
  const auto Lines = SplitLines(Text, EndsWithLineEnd);
  if (!EndsWithLineEnd)
    Add(Out, Problem::Error, File, int(Lines.size()), -1, "the last line has no line end");

  std::size_t I = 0;
  bool First = true;
  while (I < Lines.size()) {
    const int BlockLine = int(I) + 1;
    if (Lines[I].empty()) {
      Add(Out, Problem::Error, File, BlockLine, -1,
          First                      ? "the file starts with a blank line"
          : I + 1 == Lines.size()    ? "blank line at the end of the file"
                                     : "two blank lines in a row; one separates levels");
      ++I;
      continue;
    }
    Level L;
    L.Line = BlockLine;
    const int Index = int(Set.Levels.size());
    // Headers, then rows, up to a blank line.
    for (; I < Lines.size() && !Lines[I].empty(); ++I) {
      const std::string &Line = Lines[I];
      const int LineNo = int(I) + 1;
      if (Line.find('\r') != std::string::npos) {
        Add(Out, Problem::Error, File, LineNo, Index, "carriage return in the line; save with LF line ends");
        continue;
      }
      if (IsKeyStart(Line[0])) {
        if (!L.Rows.empty()) {
          Add(Out, Problem::Error, File, LineNo, Index,
              "header line after the rows; leave a blank line between levels");
          continue;
        }
        Header H;
        const std::string Why = ParseHeaderText(Line, H);
        if (!Why.empty()) {
          Add(Out, Problem::Error, File, LineNo, Index, Why);
          continue;
        }
        if (H.Key == "Solution") {
          for (std::size_t K = 0; K < H.Value.size(); ++K)
            if (!IsMoveChar(H.Value[K])) {
              Add(Out, Problem::Error, File, LineNo, Index,
                  "move " + std::to_string(K + 1) + " of the solution is " + ByteText(H.Value[K]) +
                      "; moves are u d l r, capitals for pushes");
              break;
            }
        } else if (H.Key == "Recording" && !IsRecordingName(H.Value)) {
          Add(Out, Problem::Error, File, LineNo, Index,
              "a recording name is letters, digits, '-' and '_'");
        }
        L.Headers.push_back(H);
        continue;
      }
      std::string Row;
      bool Bad = false;
      for (std::size_t K = 0; K < Line.size(); ++K) {
        const char Cell = CellOfSourceChar(Line[K]);
        if (!Cell) {
          Add(Out, Problem::Error, File, LineNo, Index,
              ByteText(Line[K]) + " at column " + std::to_string(K + 1) + " is no cell character");
          Bad = true;
          break;
        }
        Row += Cell;
      }
      if (Bad) continue;
      if (L.Rows.empty()) {
        L.Width = int(Row.size());
      } else if (int(Row.size()) != L.Width) {
        Add(Out, Problem::Error, File, LineNo, Index,
            "row " + std::to_string(L.Rows.size() + 1) + " is " + std::to_string(Row.size()) +
                " cells wide, the first row " + std::to_string(L.Width) + "; pad rows with '-'");
      }
      Row.resize(std::size_t(L.Width), '-');
      L.Rows.push_back(Row);
    }
    if (I < Lines.size()) {  // the blank line
      ++I;
      if (I == Lines.size()) Add(Out, Problem::Error, File, int(I), -1, "blank line at the end of the file");
    }
    L.Height = int(L.Rows.size());
    if (L.Rows.empty()) {
      if (First && Set.Levels.empty() && Set.Headers.empty()) {
        Set.Headers = L.Headers;
      } else {
        Add(Out, Problem::Error, File, BlockLine, Index, "the level has no rows");
      }
    } else {
      Set.Levels.push_back(L);
    }
    First = false;
  }
  return Set;
}

std::string WriteSource(const LevelSet &Set) {
  std::string Out;
  for (const auto &H : Set.Headers) Out += HeaderText(H) + "\n";
  bool Separate = !Set.Headers.empty();
  for (const auto &L : Set.Levels) {
    if (Separate) Out += "\n";
    Separate = true;
    for (const auto &H : L.Headers) Out += HeaderText(H) + "\n";
    for (const auto &Row : L.Rows) {
      for (const char Cell : Row) {
        const char C = SourceCharOf(Cell);
        Out += C ? C : '-';
      }
      Out += "\n";
    }
  }
  return Out;
}

namespace {

// The cells of Set's levels as the game builds them from Bytes, through the
// one reading of the format that the game itself uses. The walk over the raw
// lines in ReadLevelFile only says where the bytes and that reading part ways
// (CRs, byte 26, unstorable size bytes), and keeps the header texts the game
// passes over; what the tool then checks and replays is what the game plays.
void TakeTheGamesCells(const std::string &Bytes, LevelSet &Set) {
  TTextLines Text(Bytes);
  TLevelFileReader Reader(Text);
  Reader.ReadCount();
  for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
    const std::optional<TLevelHeader> Header = Reader.ReadHeader();
    if (!Header) {
      Set.Levels.resize(I);
      return;
    }
    Level &L = Set.Levels[I];
    L.Width = Header->Width;
    L.Height = Header->Height;
    L.Rows.clear();
    for (int R = 0; R < L.Height; ++R) {
      std::string Row = Reader.ReadRow(std::size_t(L.Width));
      Row.resize(std::size_t(L.Width), ' ');  // the game reads a missing byte as plain floor
      L.Rows.push_back(std::move(Row));
    }
  }
}

// The raw lines, level by level, with every problem found in them.
LevelSet WalkLevelFile(const std::string &Bytes, const std::string &File, Problems &Out) {
  LevelSet Set;
  bool EndsWithLineEnd = true;
  const auto Lines = SplitLines(Bytes, EndsWithLineEnd);
  if (Lines.empty()) {
    Add(Out, Problem::Error, File, 0, -1, "the file is empty: no level count");
    return Set;
  }
  if (!EndsWithLineEnd)
    Add(Out, Problem::Warning, File, int(Lines.size()), -1, "the last line has no line end");
  for (std::size_t N = 0; N < Lines.size(); ++N) {
    const auto At = Lines[N].find(char(26));
    if (At != std::string::npos)
      Add(Out, Problem::Error, File, int(N) + 1, -1,
          "byte 26 at column " + std::to_string(At + 1) + ": the game stops reading the file there");
  }

  // Set header: the count byte, then the set's own header fields.
  const std::string &Top = Lines[0];
  int Count = 0;
  if (Top.empty()) {
    Add(Out, Problem::Error, File, 1, -1, "the level count line is empty (a count byte of 10 ends the line)");
  } else {
    Count = static_cast<unsigned char>(Top[0]);
    if (Count == 13 || Count == 26)
      Add(Out, Problem::Error, File, 1, -1,
          "level count byte " + std::to_string(Count) + ": " + UnstorableReason(Count));
    std::string Rest = Top.substr(1);
    if (!Rest.empty() && Rest.back() == '\r') {
      Add(Out, Problem::Warning, File, 1, -1, "the line ends in CR LF");
      Rest.pop_back();
    }
    const std::string Why = SplitHeaderFields(Rest, Set.Headers);
    if (!Why.empty())
      Add(Out, Problem::Warning, File, 1, -1, "the text after the count is not Key: value fields (" + Why + ")");
  }

  std::size_t N = 1;
  while (N < Lines.size()) {
    const int Index = int(Set.Levels.size());
    const bool Extra = Index >= Count;
    const auto Stop = [&](const std::string &Why) {
      if (Extra)
        Add(Out, Problem::Warning, File, int(N) + 1, -1,
            "lines after the " + std::to_string(Count) + " levels the count names: " + Why);
      else
        Add(Out, Problem::Error, File, int(N) + 1, Index, Why);
    };
    const std::string &Head = Lines[N];
    if (Head.empty()) {
      Stop("the header line is empty (a width byte of 10 ends the line, or a blank line sits between levels)");
      break;
    }
    if (Head.size() < 2) {
      Stop("the header line holds one byte, no height (a height byte of 10 ends the line)");
      break;
    }
    Level L;
    L.Line = int(N) + 1;
    L.Width = static_cast<unsigned char>(Head[0]);
    L.Height = static_cast<unsigned char>(Head[1]);
    for (const int V : {L.Width, L.Height})
      if (V == 13 || V == 26)
        Add(Out, Problem::Error, File, L.Line, Index,
            "size byte " + std::to_string(V) + " in the header: " + UnstorableReason(V));
    std::string Rest = Head.substr(2);
    if (!Rest.empty() && Rest.back() == '\r') {
      Add(Out, Problem::Warning, File, L.Line, Index, "the header line ends in CR LF");
      Rest.pop_back();
    }
    const std::string Why = SplitHeaderFields(Rest, L.Headers);
    if (!Why.empty())
      Add(Out, Problem::Warning, File, L.Line, Index,
          "the text after the size bytes is not Key: value fields (" + Why + ")");
    ++N;
    int Foreign = 0;
    for (int R = 0; R < L.Height; ++R, ++N) {
      if (N >= Lines.size()) {
        const std::string Why =
            "the file ends after " + std::to_string(R) + " of the level's " + std::to_string(L.Height) + " rows";
        if (Extra) {
          Add(Out, Problem::Warning, File, L.Line, -1,
              "lines after the " + std::to_string(Count) + " levels the count names: " + Why);
          return Set;
        }
        Add(Out, Problem::Error, File, int(N), Index, Why);
        L.Rows.resize(std::size_t(L.Height), std::string(std::size_t(L.Width), ' '));
        break;
      }
      std::string Row = Lines[N];
      const int LineNo = int(N) + 1;
      if (!Row.empty() && Row.back() == '\r') {
        Add(Out, Problem::Warning, File, LineNo, Index, "the row ends in CR LF");
        Row.pop_back();
      }
      const auto Cr = Row.find('\r');
      if (Cr != std::string::npos && int(Cr) < L.Width)
        Add(Out, Problem::Error, File, LineNo, Index,
            "CR at column " + std::to_string(Cr + 1) + ": the game drops it and shifts the cells after it");
      if (int(Row.size()) < L.Width) {
        Add(Out, Problem::Error, File, LineNo, Index,
            "row " + std::to_string(R + 1) + " holds " + std::to_string(Row.size()) +
                " cells, fewer than the width " + std::to_string(L.Width));
        Row.resize(std::size_t(L.Width), ' ');
      } else if (int(Row.size()) > L.Width) {
        Add(Out, Problem::Warning, File, LineNo, Index,
            "row " + std::to_string(R + 1) + " has " + std::to_string(Row.size() - std::size_t(L.Width)) +
                " bytes beyond the width, which the game ignores");
        Row.resize(std::size_t(L.Width));
      }
      for (const char C : Row)
        if (!SourceCharOf(C)) ++Foreign;
      L.Rows.push_back(Row);
    }
    if (Foreign)
      Add(Out, Problem::Warning, File, L.Line, Index,
          std::to_string(Foreign) + " cells hold bytes that the game reads as plain floor but the tool never writes");
    Set.Levels.push_back(L);
  }
  if (int(Set.Levels.size()) != Count && !Top.empty())
    Add(Out, Problem::Error, File, 1, -1,
        "the count byte says " + std::to_string(Count) + " levels, the file holds " +
            std::to_string(Set.Levels.size()));
  return Set;
}

}  // namespace

LevelSet ReadLevelFile(const std::string &Bytes, const std::string &File, Problems &Out) {
  LevelSet Set = WalkLevelFile(Bytes, File, Out);
  TakeTheGamesCells(Bytes, Set);
  return Set;
}

std::string WriteLevelFile(const LevelSet &Set, const std::string &File, Problems &Out) {
  const std::size_t Before = Out.size();
  const int Count = int(Set.Levels.size());
  if (Count > 255)
    Add(Out, Problem::Error, File, 0, -1, std::to_string(Count) + " levels: a level file holds at most 255");
  else if (IsUnstorableByte(Count))
    Add(Out, Problem::Error, File, 0, -1,
        std::to_string(Count) + " levels cannot be stored: the count " + UnstorableReason(Count) +
            "; add or drop a level");
  const auto CheckHeaders = [&](const std::vector<Header> &Headers, int Line, int Index) {
    for (const auto &H : Headers) {
      Header Parsed;
      const std::string Why = ParseHeaderText(HeaderText(H), Parsed);
      if (!Why.empty() || Parsed.Key != H.Key)
        Add(Out, Problem::Error, File, Line, Index, "header \"" + H.Key + "\": " + (Why.empty() ? "bad key" : Why));
    }
  };
  CheckHeaders(Set.Headers, 0, -1);
  for (int I = 0; I < Count; ++I) {
    const Level &L = Set.Levels[std::size_t(I)];
    CheckHeaders(L.Headers, L.Line, I);
    const auto CheckSize = [&](int V, const char *What, const char *Pad) {
      if (V < 1 || V > 255)
        Add(Out, Problem::Error, File, L.Line, I,
            std::string(What) + " " + std::to_string(V) + ": a level is 1 to 255 cells " + What);
      else if (IsUnstorableByte(V))
        Add(Out, Problem::Error, File, L.Line, I,
            std::string(What) + " " + std::to_string(V) + " cannot be stored (" + UnstorableReason(V) +
                "); add a " + Pad + " of floor");
    };
    CheckSize(L.Width, "wide", "column");
    CheckSize(L.Height, "high", "row");
    bool RowsFit = int(L.Rows.size()) == L.Height;
    for (const auto &Row : L.Rows) RowsFit = RowsFit && int(Row.size()) == L.Width;
    if (!RowsFit) Add(Out, Problem::Error, File, L.Line, I, "rows do not match the level's size");
  }
  if (Out.size() != Before) return "";

  std::string Bytes;
  Bytes += char(Count);
  Bytes += JoinHeaders(Set.Headers) + "\n";
  for (const auto &L : Set.Levels) {
    Bytes += char(L.Width);
    Bytes += char(L.Height);
    Bytes += JoinHeaders(L.Headers) + "\n";
    for (const auto &Row : L.Rows) Bytes += Row + "\n";
  }
  return Bytes;
}

void CheckLevel(const Level &L, int Index, const std::string &File, Problems &Out) {
  const Counts C = CountCells(L);
  const int Line = L.Line;
  if (L.Width == 0 || L.Height == 0) {
    Add(Out, Problem::Error, File, Line, Index, "the level has no cells");
    return;
  }
  if (C.Players == 0)
    Add(Out, Problem::Error, File, Line, Index, "no player start ('@')");
  else if (C.Players > 1)
    Add(Out, Problem::Error, File, Line, Index,
        std::to_string(C.Players) + " player starts ('@'); a level has exactly one");
  if (C.Destinations == 0)
    Add(Out, Problem::Error, File, Line, Index, "no destinations: the game counts the level solved at once");
  else if (C.Boxes < C.Destinations)
    Add(Out, Problem::Error, File, Line, Index,
        std::to_string(C.Boxes) + " boxes for " + std::to_string(C.Destinations) +
            " destinations: the level can never be solved");
  else if (C.BoxesOnDestinations == C.Destinations)
    Add(Out, Problem::Error, File, Line, Index,
        "every destination holds a box from the start: the game counts the level solved at once");
  if (C.Players != 1) return;

  // Flood from the player through everything but walls: boxes can be moved and
  // water filled, so only walls keep the player on the floor.
  int Start = -1;
  for (int Y = 0; Y < L.Height; ++Y)
    for (int X = 0; X < L.Width; ++X)
      if (L.Rows[std::size_t(Y)][std::size_t(X)] == CellPlayer) Start = Y * L.Width + X;
  std::vector<char> Seen(std::size_t(L.Width * L.Height), 0);
  std::vector<int> Todo{Start};
  Seen[std::size_t(Start)] = 1;
  while (!Todo.empty()) {
    const int P = Todo.back();
    Todo.pop_back();
    const int X = P % L.Width, Y = P / L.Width;
    if (X == 0 || Y == 0 || X == L.Width - 1 || Y == L.Height - 1) {
      Add(Out, Problem::Warning, File, Line + 1 + Y, Index,
          "no wall encloses the level: the player can walk off at column " + std::to_string(X + 1) +
              " of row " + std::to_string(Y + 1));
      return;
    }
    for (const int Q : {P - 1, P + 1, P - L.Width, P + L.Width}) {
      if (Seen[std::size_t(Q)] || L.Rows[std::size_t(Q / L.Width)][std::size_t(Q % L.Width)] == CellWall)
        continue;
      Seen[std::size_t(Q)] = 1;
      Todo.push_back(Q);
    }
  }
}

bool ReadWholeFile(const std::string &Path, std::string &Bytes, Problems &Out) {
  std::error_code Missing;
  const auto Status = std::filesystem::status(Path, Missing);
  if (!Missing && std::filesystem::is_directory(Status)) {
    Add(Out, Problem::Error, Path, 0, -1, "is a directory, not a file");
    return false;
  }
  // Devices and pipes can be endless or block forever; a missing file falls
  // through to the open below, which names it.
  if (!Missing && !std::filesystem::is_regular_file(Status)) {
    Add(Out, Problem::Error, Path, 0, -1, "not a regular file: the tool reads only files");
    return false;
  }
  const auto TooLarge = [&](std::uintmax_t Size) {
    Add(Out, Problem::Error, Path, 0, -1,
        std::to_string(Size) + " bytes: the tool reads files of at most " +
            std::to_string(MaxInputBytes / (1024 * 1024)) + " MiB");
    return false;
  };
  std::error_code NoSize;
  const std::uintmax_t Size = std::filesystem::file_size(Path, NoSize);
  if (!NoSize && Size > MaxInputBytes) return TooLarge(Size);
  std::ifstream In(Path, std::ios::binary);
  if (!In) {
    Add(Out, Problem::Error, Path, 0, -1, "cannot open the file for reading");
    return false;
  }
  // The file may grow after its size was taken, so the read itself stops at the limit.
  std::string Read;
  if (!NoSize) Read.reserve(std::size_t(Size));
  char Chunk[1 << 16];
  while (In.read(Chunk, sizeof Chunk) || In.gcount() > 0) {
    Read.append(Chunk, std::size_t(In.gcount()));
    if (Read.size() > MaxInputBytes) return TooLarge(Read.size());
  }
  if (In.bad()) {
    Add(Out, Problem::Error, Path, 0, -1, "cannot read the file");
    return false;
  }
  Bytes = std::move(Read);
  return true;
}

bool WriteWholeFile(const std::string &Path, const std::string &Bytes, Problems &Out) {
  if (Path == "-") {
    std::fwrite(Bytes.data(), 1, Bytes.size(), stdout);
    return std::fflush(stdout) == 0;
  }
  std::ofstream O(Path, std::ios::binary | std::ios::trunc);
  if (O) O.write(Bytes.data(), std::streamsize(Bytes.size()));
  if (O) O.close();
  if (!O) {
    Add(Out, Problem::Error, Path, 0, -1, "cannot write the file");
    return false;
  }
  return true;
}

}  // namespace levels
