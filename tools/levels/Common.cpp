// Common.cpp -- import from and export to the genre's plain-text collections.
#include "Common.h"

#include <cctype>

namespace levels {

namespace {

constexpr long MaxRun = 4096;  // longer runs only make oversize rows

struct Board {
  std::vector<std::string> Rows;  // common characters, run lengths expanded
  int Line = 0;
  std::string Title, Author;
  std::string Broken;             // why the board cannot be read, with BrokenLine
  int BrokenLine = 0;
};

bool IsBoardChar(char C) {
  return C == '#' || C == '$' || C == '.' || C == '*' || C == '@' || C == '+' || C == ' ' || C == '-' ||
         C == '_' || C == '~';
}

std::string Trim(const std::string &S) {
  std::size_t B = 0, E = S.size();
  while (B < E && std::isspace(static_cast<unsigned char>(S[B]))) ++B;
  while (E > B && std::isspace(static_cast<unsigned char>(S[E - 1]))) --E;
  return S.substr(B, E - B);
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

bool IsBoardLine(const std::string &Line) {
  bool Wall = false;
  for (const char C : Line) {
    if (C == '#') Wall = true;
    if (!IsBoardChar(C) && !std::isdigit(static_cast<unsigned char>(C)) && C != '|') return false;
  }
  return Wall;
}

// Expands run lengths and '|' row breaks; "" on success, else why not.
std::string ExpandLine(const std::string &Line, std::vector<std::string> &Rows) {
  std::string Row;
  long Run = 0;
  bool HaveRun = false;
  for (std::size_t K = 0; K < Line.size(); ++K) {
    const char C = Line[K];
    if (std::isdigit(static_cast<unsigned char>(C))) {
      Run = Run * 10 + (C - '0');
      HaveRun = true;
      if (Run > MaxRun) return "a run length over " + std::to_string(MaxRun) + " at column " + std::to_string(K + 1);
      continue;
    }
    if (C == '|') {
      if (HaveRun) return "a run length before '|' at column " + std::to_string(K + 1);
      Rows.push_back(Row);
      Row.clear();
      continue;
    }
    if (HaveRun && Run == 0) return "a run length of 0 at column " + std::to_string(K + 1);
    Row.append(std::size_t(HaveRun ? Run : 1), C);
    Run = 0;
    HaveRun = false;
  }
  if (HaveRun) return "the line ends in a run length with no character after it";
  Rows.push_back(Row);
  return "";
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
    case '@': return CellPlayer;
    case '~': return CellWater;
    default: return ' ';
  }
}

// Why the board cannot become a level, or "".
std::string Refusal(const Board &B, std::size_t &Width) {
  if (!B.Broken.empty()) return B.Broken;
  Width = 0;
  for (const auto &Row : B.Rows) Width = std::max(Width, Row.size());
  for (const auto &Row : B.Rows)
    if (Row.find('+') != std::string::npos)
      return "a player standing on a goal ('+') cannot be expressed: the game's player start is a cell "
             "of its own, never a destination";
  if (B.Rows.size() > 255) return std::to_string(B.Rows.size()) + " rows: a level holds at most 255";
  if (Width > 255) return std::to_string(Width) + " columns: a level holds at most 255";
  return "";
}

}  // namespace

LevelSet ImportCommon(const std::string &Text, const std::string &File, Problems &Out) {
  std::vector<Board> Boards;
  std::vector<std::string> Pending;  // ';' titles waiting for the next board
  bool InBoard = false, AfterBoard = false;
  std::string SetTitle;

  std::size_t Start = 0;
  int LineNo = 0;
  while (Start < Text.size()) {
    auto End = Text.find('\n', Start);
    if (End == std::string::npos) End = Text.size();
    std::string Line = Text.substr(Start, End - Start);
    Start = End + 1;
    ++LineNo;
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();

    if (IsBoardLine(Line)) {
      if (!InBoard) {
        Boards.push_back(Board{});
        Boards.back().Line = LineNo;
        if (!Pending.empty()) Boards.back().Title = Pending.back();
        Pending.clear();
      }
      InBoard = true;
      AfterBoard = false;
      Board &B = Boards.back();
      if (B.Broken.empty()) {
        const std::string Why = ExpandLine(Line, B.Rows);
        if (!Why.empty()) {
          B.Broken = "bad run-length row on line " + std::to_string(LineNo) + ": " + Why;
          B.BrokenLine = LineNo;
        }
      }
      continue;
    }
    if (InBoard) AfterBoard = true;
    InBoard = false;
    const std::string T = Trim(Line);
    std::string Value;
    if (T.empty()) {
      AfterBoard = false;
    } else if (T[0] == ';') {
      const std::string Comment = CleanValue(T.substr(1));
      if (Comment.empty()) continue;
      if (AfterBoard && Boards.back().Title.empty())
        Boards.back().Title = Comment;
      else
        Pending.push_back(Comment);
    } else if (StartsWithKey(T, "Title:", Value)) {
      if (!Boards.empty() && AfterBoard)
        Boards.back().Title = CleanValue(Value);
      else if (Boards.empty())
        SetTitle = CleanValue(Value);
      else
        Pending.push_back(CleanValue(Value));
    } else if (StartsWithKey(T, "Author:", Value)) {
      if (!Boards.empty() && AfterBoard) Boards.back().Author = CleanValue(Value);
    }
  }

  LevelSet Set;
  if (!SetTitle.empty()) Set.Headers.push_back(Header{"Set", SetTitle});
  if (Boards.empty()) {
    Out.push_back(Problem{Problem::Error, File, 0, -1, "no levels found: a board is rows of '#', '$', '.', '*', '@' and floor"});
    return Set;
  }
  for (std::size_t I = 0; I < Boards.size(); ++I) {
    const Board &B = Boards[I];
    const int Index = int(I);
    std::size_t Width = 0;
    const std::string Why = Refusal(B, Width);
    if (!Why.empty()) {
      Out.push_back(Problem{Problem::Error, File, B.BrokenLine ? B.BrokenLine : B.Line, Index, "left out: " + Why});
      continue;
    }
    if (Set.Levels.size() == 255) {
      Out.push_back(Problem{Problem::Error, File, B.Line, Index,
                            "left out: a level file holds at most 255 levels"});
      continue;
    }
    Level L;
    L.Line = B.Line;
    for (const auto &Row : B.Rows) {
      std::string Cells;
      for (const char C : Row) Cells += CellOfCommon(C);
      Cells.resize(Width, ' ');
      L.Rows.push_back(Cells);
    }
    L.Width = int(Width);
    L.Height = int(L.Rows.size());
    if (IsUnstorableByte(L.Width)) {
      for (auto &Row : L.Rows) Row += ' ';
      ++L.Width;
      Out.push_back(Problem{Problem::Warning, File, B.Line, Index,
                            std::to_string(L.Width - 1) + " columns cannot be stored (" +
                                UnstorableReason(L.Width - 1) + "): added a column of floor on the right"});
    }
    if (IsUnstorableByte(L.Height)) {
      L.Rows.push_back(std::string(std::size_t(L.Width), ' '));
      ++L.Height;
      Out.push_back(Problem{Problem::Warning, File, B.Line, Index,
                            std::to_string(L.Height - 1) + " rows cannot be stored (" +
                                UnstorableReason(L.Height - 1) + "): added a row of floor at the bottom"});
    }
    Problems Checks;
    CheckLevel(L, Index, File, Checks);
    bool Refused = false;
    for (auto &P : Checks) {
      if (P.Kind == Problem::Error) {
        P.Text = "left out: " + P.Text;
        Refused = true;
      }
      Out.push_back(P);
    }
    if (Refused) continue;
    if (!B.Title.empty()) L.Headers.push_back(Header{"Title", B.Title});
    if (!B.Author.empty()) L.Headers.push_back(Header{"Author", B.Author});
    Set.Levels.push_back(L);
  }
  while (IsUnstorableByte(int(Set.Levels.size()))) {
    const Level &Last = Set.Levels.back();
    Out.push_back(Problem{Problem::Error, File, Last.Line, int(Set.Levels.size()) - 1,
                          "left out: a set of " + std::to_string(Set.Levels.size()) +
                              " levels cannot be stored (the count " + UnstorableReason(int(Set.Levels.size())) +
                              "), so the last level is dropped"});
    Set.Levels.pop_back();
  }
  return Set;
}

std::string ExportCommon(const LevelSet &Set) {
  std::string Out;
  for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
    const Level &L = Set.Levels[I];
    if (I) Out += "\n";
    const std::string Title = L.HeaderValue("Title");
    Out += "; " + (Title.empty() ? "Level " + std::to_string(I + 1) : Title) + "\n";
    for (const auto &Row : L.Rows) {
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
      Out += Line + "\n";
    }
    const std::string Author = L.HeaderValue("Author");
    if (!Author.empty()) Out += "Author: " + Author + "\n";
  }
  return Out;
}

}  // namespace levels
