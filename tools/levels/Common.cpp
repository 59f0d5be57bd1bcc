// Common.cpp -- import from and export to the genre's plain-text collections.
#include "Common.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

namespace levels {

namespace {

constexpr long MaxRun = 4096;           // longer runs only make oversize rows
constexpr std::size_t MaxSide = 255;    // rows or columns of the largest level
constexpr std::size_t MaxMessages = 1000;  // a flood of refusals says no more after these
constexpr std::size_t TabStop = 8;

struct Board {
  std::vector<std::string> Rows;  // common characters, run lengths expanded, at most MaxSide
  long RowCount = 0;              // rows met, with those past MaxSide that were not kept
  int Line = 0;
  std::string Title, Author;
  std::string Broken;             // why the board cannot be read, with BrokenLine
  int BrokenLine = 0;
};

bool IsBoardChar(char C) {
  return C == '#' || C == '$' || C == '.' || C == '*' || C == '@' || C == '+' || C == ' ' || C == '-' ||
         C == '_' || C == '~';
}

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

bool IsRowChar(char C) { return IsBoardChar(C) || IsDigit(C) || C == '|' || C == '\t'; }

std::string Trim(const std::string &S) {
  std::size_t B = 0, E = S.size();
  while (B < E && std::isspace(static_cast<unsigned char>(S[B]))) ++B;
  while (E > B && std::isspace(static_cast<unsigned char>(S[E - 1]))) --E;
  return S.substr(B, E - B);
}

// Editors leave blanks and CRs at line ends; on a row they would only widen the level.
std::string TrimEnd(std::string S) {
  while (!S.empty() && (S.back() == ' ' || S.back() == '\t' || S.back() == '\r')) S.pop_back();
  return S;
}

// Where a row of Width columns goes on with Count copies of C: a tab advances
// to the next multiple of TabStop, as the genre's editors lay tabs out.
std::size_t WidthAfter(std::size_t Width, char C, std::size_t Count) {
  return C == '\t' ? (Width / TabStop + Count) * TabStop : Width + Count;
}

// A header value the level file can hold: no tab, CR or byte 26.
std::string CleanValue(const std::string &S) {
  std::string Out;
  for (const char C : S) {
    if (C == '\t') Out += ' ';
    else if (C != '\r' && C != 26 && C != '\n') Out += C;
  }
  return Trim(Out);
}

// A board row holds a wall. A line that starts the way rows do (floor, run
// lengths, then a wall; inside a board any board character) is a row even
// when other characters follow: taking it for text would cut the level short.
bool LooksLikeRow(const std::string &Line, bool InBoard) {
  if (Line.find('#') == std::string::npos) return false;
  for (const char C : Line) {
    if (C == ' ' || C == '\t' || C == '-' || C == '_' || IsDigit(C)) continue;
    return C == '#' || (InBoard && IsRowChar(C));
  }
  return false;
}

std::string CharText(char C) {
  const auto B = static_cast<unsigned char>(C);
  if (B > 32 && B < 127) return std::string("'") + C + "'";
  return "(byte " + std::to_string(B) + ")";
}

// "" when every character of the row is one a board can hold.
std::string UnknownCharacter(const std::string &Line) {
  for (std::size_t K = 0; K < Line.size(); ++K)
    if (!IsRowChar(Line[K]))
      return "unknown character " + CharText(Line[K]) + " at column " + std::to_string(K + 1);
  return "";
}

// The width of the row between Begin and End of Line, written with run
// lengths, measured without expanding it; -1 with Why set when the run lengths
// are broken. Last says whether the row ends the line.
long RowWidth(const std::string &Line, std::size_t Begin, std::size_t End, bool Last, std::string &Why) {
  long Width = 0, Run = 0;
  bool HaveRun = false;
  for (std::size_t K = Begin; K < End; ++K) {
    const char C = Line[K];
    if (IsDigit(C)) {
      Run = Run * 10 + (C - '0');
      HaveRun = true;
      if (Run > MaxRun) {
        Why = "a run length over " + std::to_string(MaxRun) + " at column " + std::to_string(K + 1);
        return -1;
      }
      continue;
    }
    if (HaveRun && Run == 0) {
      Why = "a run length of 0 at column " + std::to_string(K + 1);
      return -1;
    }
    Width = long(WidthAfter(std::size_t(Width), C, std::size_t(HaveRun ? Run : 1)));
    Run = 0;
    HaveRun = false;
  }
  if (HaveRun) {
    Why = Last ? "the line ends in a run length with no character after it"
               : "a run length before '|' at column " + std::to_string(End + 1);
    return -1;
  }
  return Width;
}

// The row between Begin and End, which RowWidth found sound.
std::string ExpandRow(const std::string &Line, std::size_t Begin, std::size_t End) {
  std::string Row;
  std::size_t Run = 0;
  for (std::size_t K = Begin; K < End; ++K) {
    const char C = Line[K];
    if (IsDigit(C)) {
      Run = Run * 10 + std::size_t(C - '0');
      continue;
    }
    const std::size_t Count = Run ? Run : 1;
    const std::size_t Width = WidthAfter(Row.size(), C, Count);
    Row.append(Width - Row.size(), C == '\t' ? ' ' : C);
    Run = 0;
  }
  return Row;
}

void Break(Board &B, int LineNo, const std::string &Why) {
  B.Broken = Why;
  B.BrokenLine = LineNo;
}

// Adds the rows of one line ('|' separates rows) to the board, measuring each
// before expanding it, so no input can make a row or a board larger than the
// largest level. Rows past the last one a level can hold are only counted.
void AddRows(Board &B, const std::string &Line, int LineNo) {
  if (!B.Broken.empty()) return;
  const std::string Unknown = UnknownCharacter(Line);
  if (!Unknown.empty()) return Break(B, LineNo, Unknown);
  std::size_t Begin = 0;
  for (;;) {
    const std::size_t Bar = Line.find('|', Begin);
    const bool Last = Bar == std::string::npos;
    const std::size_t End = Last ? Line.size() : Bar;
    ++B.RowCount;
    if (B.Rows.size() < MaxSide) {
      std::string Why;
      const long Width = RowWidth(Line, Begin, End, Last, Why);
      if (Width < 0) return Break(B, LineNo, "bad run-length row on line " + std::to_string(LineNo) + ": " + Why);
      if (Width > long(MaxSide))
        return Break(B, LineNo,
                     std::to_string(Width) + " columns: a level holds at most " + std::to_string(MaxSide) +
                         " (row " + std::to_string(B.RowCount) + "; the rest of the level is not read)");
      B.Rows.push_back(ExpandRow(Line, Begin, End));
    }
    if (Last) return;
    Begin = Bar + 1;
  }
}

bool StartsWithKey(const std::string &Line, const char *Key, std::string &Value) {
  const std::string K = Key;
  if (Line.size() < K.size()) return false;
  for (std::size_t I = 0; I < K.size(); ++I)
    if (std::tolower(static_cast<unsigned char>(Line[I])) != std::tolower(static_cast<unsigned char>(K[I])))
      return false;
  Value = Trim(Line.substr(K.size()));
  return true;
}

char CellOfCommon(char C) {
  switch (C) {
    case '#': return CellWall;
    case '$': return CellBox;
    case '.': return CellGoal;
    case '*': return CellBoxOnGoal;
    case '@': case '+': return CellPlayer;  // a '+' left here is one of several starts, refused as such
    case '~': return CellWater;
    default: return ' ';
  }
}

// Why the board cannot become a level, or "".
std::string Refusal(const Board &B, std::size_t &Width) {
  if (!B.Broken.empty()) return B.Broken;
  if (B.RowCount > long(MaxSide))
    return std::to_string(B.RowCount) + " rows: a level holds at most " + std::to_string(MaxSide) +
           " (rows past it are not read)";
  Width = 0;
  for (const auto &Row : B.Rows) Width = std::max(Width, Row.size());
  return "";
}

bool IsWalkable(char C) { return C == ' ' || C == '-' || C == '_' || C == '.' || C == '+'; }
bool IsPlainFloor(char C) { return C == ' ' || C == '-' || C == '_'; }

struct Cell {
  std::size_t X = 0, Y = 0;
};

std::string CellText(const Cell &C) {
  return "row " + std::to_string(C.Y + 1) + ", column " + std::to_string(C.X + 1);
}

// The one '+' of a board that holds no other start.
std::optional<Cell> LonePlayerOnGoal(const std::vector<std::string> &Rows) {
  std::optional<Cell> Found;
  for (std::size_t Y = 0; Y < Rows.size(); ++Y)
    for (std::size_t X = 0; X < Rows[Y].size(); ++X) {
      const char C = Rows[Y][X];
      if (C == '@' || (C == '+' && Found)) return std::nullopt;
      if (C == '+') Found = Cell{X, Y};
    }
  return Found;
}

// The plain floor nearest to From that the player reaches without pushing:
// fewest steps, then topmost, then leftmost. Rows are all of one width.
std::optional<Cell> NearestFloor(const std::vector<std::string> &Rows, const Cell &From) {
  const std::size_t Width = Rows.empty() ? 0 : Rows[0].size();
  std::vector<int> Steps(Rows.size() * Width, -1);
  std::vector<Cell> Queue{From};
  Steps[From.Y * Width + From.X] = 0;
  for (std::size_t Q = 0; Q < Queue.size(); ++Q) {
    const Cell C = Queue[Q];
    const int Next = Steps[C.Y * Width + C.X] + 1;
    const auto Visit = [&](std::size_t X, std::size_t Y) {
      if (Y >= Rows.size() || X >= Width || Steps[Y * Width + X] >= 0 || !IsWalkable(Rows[Y][X])) return;
      Steps[Y * Width + X] = Next;
      Queue.push_back(Cell{X, Y});
    };
    // At the first row or column the index wraps to a huge value, which Visit refuses.
    Visit(C.X, C.Y - 1);
    Visit(C.X - 1, C.Y);
    Visit(C.X + 1, C.Y);
    Visit(C.X, C.Y + 1);
  }
  std::optional<Cell> Best;
  int BestSteps = 0;
  for (std::size_t Y = 0; Y < Rows.size(); ++Y)
    for (std::size_t X = 0; X < Width; ++X) {
      const int S = Steps[Y * Width + X];
      if (S > 0 && IsPlainFloor(Rows[Y][X]) && (!Best || S < BestSteps)) {
        Best = Cell{X, Y};
        BestSteps = S;
      }
    }
  return Best;
}

// Reads a collection line by line. Each board becomes a level (or a refusal)
// once the lines after it, which may carry its title, have been read, so only
// one board is held at a time.
class Importer {
public:
  Importer(const std::string &File, Problems &Out) : File(File), Out(Out) {}

  void ReadLine(std::string Line, int LineNo);
  LevelSet Finish(int &LeftOut);

private:
  const std::string &File;
  Problems &Out;
  LevelSet Set;
  std::optional<Board> Current;
  int Boards = 0;                    // boards met, the current one included
  int Refused = 0;
  std::size_t Shown = 0, Unshown = 0;
  bool UnshownError = false;
  std::vector<std::string> Pending;  // ';' titles waiting for the next board
  bool InBoard = false, AfterBoard = false;
  // Before the first board: the paragraphs that a blank line parts from it
  // describe the collection; the one that touches it may title its first level.
  std::vector<std::string> Lead, Paragraph;
  std::string SetTitle;

  void Report(const Problem &P);
  void Refuse(int Line, int Index, const std::string &Why) {
    Report(Problem{Problem::Error, File, Line, Index, "left out: " + Why});
    ++Refused;
  }
  void StartBoard(int LineNo);
  void FinishBoard();
  void ReadText(const std::string &Line);
  void ReadLeadLine(const std::string &Line);
  void ReadParagraphBeforeBoard();
  std::vector<Header> SetHeaders() const;
};

void Importer::Report(const Problem &P) {
  if (Shown < MaxMessages) {
    Out.push_back(P);
    ++Shown;
    return;
  }
  ++Unshown;
  UnshownError = UnshownError || P.Kind == Problem::Error;
}

void Importer::ReadLine(std::string Line, int LineNo) {
  Line = TrimEnd(std::move(Line));
  if (LooksLikeRow(Line, InBoard)) {
    if (!InBoard) StartBoard(LineNo);
    InBoard = true;
    AfterBoard = false;
    AddRows(*Current, Line, LineNo);
    return;
  }
  if (InBoard) AfterBoard = true;
  InBoard = false;
  ReadText(Trim(Line));
}

void Importer::StartBoard(int LineNo) {
  FinishBoard();
  if (Boards == 0) ReadParagraphBeforeBoard();
  Current = Board{};
  Current->Line = LineNo;
  ++Boards;
  if (!Pending.empty()) Current->Title = Pending.back();
  Pending.clear();
}

void Importer::ReadText(const std::string &T) {
  if (!Current) return ReadLeadLine(T);
  std::string Value;
  if (T.empty()) {
    AfterBoard = false;
  } else if (T[0] == ';') {
    const std::string Comment = CleanValue(T.substr(1));
    if (Comment.empty()) return;
    if (AfterBoard && Current->Title.empty())
      Current->Title = Comment;
    else
      Pending.push_back(Comment);
  } else if (StartsWithKey(T, "Title:", Value)) {
    if (AfterBoard)
      Current->Title = CleanValue(Value);
    else
      Pending.push_back(CleanValue(Value));
  } else if (StartsWithKey(T, "Author:", Value)) {
    if (AfterBoard) Current->Author = CleanValue(Value);
  }
}

// Comment and text lines alike, cleaned for a header; ';' is only the mark.
std::string LeadText(const std::string &Line) {
  return CleanValue(!Line.empty() && Line[0] == ';' ? Line.substr(1) : Line);
}

void Importer::ReadLeadLine(const std::string &T) {
  if (!T.empty()) return Paragraph.push_back(T);
  for (const auto &Line : Paragraph) {
    const std::string Text = LeadText(Line);
    if (!Text.empty()) Lead.push_back(Text);
  }
  Paragraph.clear();
}

// The lines right above the first board: ';' lines may title it, as they do
// between boards; "Title:" and "Author:" lines and any other text still speak
// for the collection.
void Importer::ReadParagraphBeforeBoard() {
  for (const auto &Line : Paragraph) {
    std::string Value;
    if (Line[0] == ';') {
      const std::string Comment = CleanValue(Line.substr(1));
      if (!Comment.empty()) Pending.push_back(Comment);
    } else if (StartsWithKey(Line, "Title:", Value)) {
      if (!CleanValue(Value).empty()) SetTitle = CleanValue(Value);
    } else {
      Lead.push_back(LeadText(Line));
    }
  }
  Paragraph.clear();
}

// Set, Author and Note headers from the lines before the first board. Without
// a "Title:" line, the first line that is no "Key:" line names the set.
std::vector<Header> Importer::SetHeaders() const {
  std::string Title = SetTitle, Author;
  std::vector<std::string> Notes;
  for (const auto &Line : Lead) {
    std::string Value;
    if (StartsWithKey(Line, "Title:", Value)) {
      if (Title.empty()) Title = CleanValue(Value);
    } else if (StartsWithKey(Line, "Author:", Value)) {
      if (Author.empty()) Author = CleanValue(Value);
    } else if (!Line.empty()) {
      Notes.push_back(Line);
    }
  }
  if (Title.empty() && !Notes.empty()) {
    Title = Notes.front();
    Notes.erase(Notes.begin());
  }
  std::vector<Header> Headers;
  if (!Title.empty()) Headers.push_back(Header{"Set", Title});
  if (!Author.empty()) Headers.push_back(Header{"Author", Author});
  for (const auto &Note : Notes) Headers.push_back(Header{"Note", Note});
  return Headers;
}

void Importer::FinishBoard() {
  if (!Current) return;
  const Board B = std::move(*Current);
  Current.reset();
  const int Index = Boards - 1;
  std::size_t Width = 0;
  const std::string Why = Refusal(B, Width);
  if (!Why.empty()) return Refuse(B.BrokenLine ? B.BrokenLine : B.Line, Index, Why);
  if (Set.Levels.size() == MaxSide) return Refuse(B.Line, Index, "a level file holds at most 255 levels");
  std::vector<std::string> Rows = B.Rows;
  for (auto &Row : Rows) Row.resize(Width, ' ');
  // The game's start is a cell of its own, never a goal. A player who can step
  // off the goal without pushing can as well start there and walk back: the
  // same puzzle, which the game can hold.
  if (const auto Goal = LonePlayerOnGoal(Rows)) {
    const auto Floor = NearestFloor(Rows, *Goal);
    if (!Floor)
      return Refuse(B.Line, Index,
                    "a player standing on a goal ('+') cannot be expressed: the game's player start is a cell of "
                    "its own, and every cell the player reaches without pushing is a goal");
    Rows[Goal->Y][Goal->X] = '.';
    Rows[Floor->Y][Floor->X] = '@';
    Report(Problem{Problem::Warning, File, B.Line, Index,
                   "the player stands on a goal at " + CellText(*Goal) + ", which the game cannot express: it " +
                       "starts at " + CellText(*Floor) + " instead, a floor cell it walks to and back from " +
                       "without pushing"});
  }
  Level L;
  L.Line = B.Line;
  for (const auto &Row : Rows) {
    std::string Cells;
    for (const char C : Row) Cells += CellOfCommon(C);
    L.Rows.push_back(Cells);
  }
  L.Width = int(Width);
  L.Height = int(L.Rows.size());
  if (IsUnstorableByte(L.Width)) {
    for (auto &Row : L.Rows) Row += ' ';
    ++L.Width;
    Report(Problem{Problem::Warning, File, B.Line, Index,
                   std::to_string(L.Width - 1) + " columns cannot be stored (" + UnstorableReason(L.Width - 1) +
                       "): added a column of floor on the right"});
  }
  if (IsUnstorableByte(L.Height)) {
    L.Rows.push_back(std::string(std::size_t(L.Width), ' '));
    ++L.Height;
    Report(Problem{Problem::Warning, File, B.Line, Index,
                   std::to_string(L.Height - 1) + " rows cannot be stored (" + UnstorableReason(L.Height - 1) +
                       "): added a row of floor at the bottom"});
  }
  Problems Checks;
  CheckLevel(L, Index, File, Checks);
  const bool Unplayable = HasErrors(Checks);
  for (auto &P : Checks) {
    if (P.Kind == Problem::Error) P.Text = "left out: " + P.Text;
    Report(P);
  }
  if (Unplayable) {
    ++Refused;
    return;
  }
  if (!B.Title.empty()) L.Headers.push_back(Header{"Title", B.Title});
  if (!B.Author.empty()) L.Headers.push_back(Header{"Author", B.Author});
  Set.Levels.push_back(L);
}

LevelSet Importer::Finish(int &LeftOut) {
  FinishBoard();
  Set.Headers = SetHeaders();
  if (Boards == 0)
    Report(Problem{Problem::Error, File, 0, -1,
                   "no levels found: a board is rows of '#', '$', '.', '*', '@' and floor"});
  while (IsUnstorableByte(int(Set.Levels.size()))) {
    const Level &Last = Set.Levels.back();
    Refuse(Last.Line, int(Set.Levels.size()) - 1,
           "a set of " + std::to_string(Set.Levels.size()) + " levels cannot be stored (the count " +
               UnstorableReason(int(Set.Levels.size())) + "), so the last level is dropped");
    Set.Levels.pop_back();
  }
  if (Unshown)
    Out.push_back(Problem{UnshownError ? Problem::Error : Problem::Warning, File, 0, -1,
                          std::to_string(Unshown) + " more messages not shown"});
  LeftOut = Refused;
  return std::move(Set);
}

// The set's own lines, which an import reads back as they were: "Title:" and
// "Author:" lines, every other header as a comment.
std::string ExportSetHeaders(const std::vector<Header> &Headers) {
  std::string Out;
  for (const auto &H : Headers) {
    if (H.Key == "Set") Out += "Title: " + H.Value + "\n";
    else if (H.Key == "Author") Out += "Author: " + H.Value + "\n";
    else if (H.Key == "Note") Out += "; " + H.Value + "\n";
    else Out += "; " + H.Key + ": " + H.Value + "\n";
  }
  return Out;
}

// One row in the common format's characters, trailing floor trimmed.
std::string CommonRowText(const std::string &Row) {
  std::string Line;
  for (const char Cell : Row) {
    switch (Cell) {
      case CellWall: Line += '#'; break;
      case CellBox: Line += '$'; break;
      case CellGoal: Line += '.'; break;
      case CellBoxOnGoal: Line += '*'; break;
      case CellPlayer: Line += '@'; break;
      case CellWater: Line += '~'; break;
      default: Line += ' '; break;
    }
  }
  while (!Line.empty() && Line.back() == ' ') Line.pop_back();
  return Line;
}

}  // namespace

LevelSet ImportCommon(const std::string &Text, const std::string &File, Problems &Out, int &LeftOut) {
  Importer In(File, Out);
  // Editors may mark UTF-8 with a byte order mark, which would hide a first row.
  const std::string Bom = "\xEF\xBB\xBF";
  std::size_t Start = Text.compare(0, Bom.size(), Bom) == 0 ? Bom.size() : 0;
  int LineNo = 0;
  while (Start < Text.size()) {
    auto End = Text.find('\n', Start);
    if (End == std::string::npos) End = Text.size();
    In.ReadLine(Text.substr(Start, End - Start), ++LineNo);
    Start = End + 1;
  }
  return In.Finish(LeftOut);
}

LevelSet ImportCommon(const std::string &Text, const std::string &File, Problems &Out) {
  int LeftOut = 0;
  return ImportCommon(Text, File, Out, LeftOut);
}

std::string ExportCommon(const LevelSet &Set) {
  std::string Out = ExportSetHeaders(Set.Headers);
  for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
    const Level &L = Set.Levels[I];
    if (!Out.empty()) Out += "\n";
    const std::string Title = L.HeaderValue("Title");
    Out += "; " + (Title.empty() ? "Level " + std::to_string(I + 1) : Title) + "\n";
    std::vector<std::string> Lines;
    for (const auto &Row : L.Rows) Lines.push_back(CommonRowText(Row));
    // Trimming drops columns of nothing but floor on the right; '-' floor in
    // the first row keeps the board as wide as it is.
    std::size_t Widest = 0;
    for (const auto &Line : Lines) Widest = std::max(Widest, Line.size());
    if (!Lines.empty() && Widest < std::size_t(L.Width)) Lines[0].resize(std::size_t(L.Width), '-');
    // A line without a wall is not read as a row: a board with such a row is
    // written as one run-length line, its rows joined by '|'.
    const bool EveryRowHasAWall =
        std::all_of(Lines.begin(), Lines.end(), [](const std::string &Line) { return Line.find('#') != std::string::npos; });
    if (EveryRowHasAWall)
      for (const auto &Line : Lines) Out += Line + "\n";
    else {
      std::string Joined;
      for (const auto &Line : Lines) Joined += (Joined.empty() ? "" : "|") + (Line.empty() ? "-" : Line);
      Out += Joined + "\n";
    }
    const std::string Author = L.HeaderValue("Author");
    if (!Author.empty()) Out += "Author: " + Author + "\n";
  }
  return Out;
}

}  // namespace levels
