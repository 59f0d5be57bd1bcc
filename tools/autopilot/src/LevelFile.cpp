// LevelFile.cpp -- reads a packed level file the way the rules library does,
// to know what each level holds without loading it into the one world.
#include "Autopilot.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace Autopilot {

namespace {

// Splits text into lines: LF ends a line, CR is dropped, byte 26 ends the text.
std::vector<std::string> SplitLines(const std::string &Text)
{
  std::vector<std::string> Lines;
  std::string Line;
  bool Open = false;
  for (const char C : Text) {
    if (C == 26) break;
    if (C == '\n') {
      Lines.push_back(Line);
      Line.clear();
      Open = false;
      continue;
    }
    Open = true;
    if (C != '\r') Line += C;
  }
  if (Open) Lines.push_back(Line);
  return Lines;
}

}  // namespace

bool ReadLevelFile(const std::string &FileName, std::vector<TLevelInfo> &Levels, std::string &Error)
{
  Levels.clear();
  std::ifstream In(FileName, std::ios::binary);
  if (!In) {
    Error = FileName + ": cannot open: " + std::strerror(errno);
    return false;
  }
  const std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  const std::vector<std::string> Lines = SplitLines(Text);
  if (Lines.empty() || Lines[0].empty()) {
    Error = FileName + ": empty, no set header";
    return false;
  }
  const int Count = static_cast<uint8_t>(Lines[0][0]);
  std::size_t Next = 1;
  for (int Level = 0; Level < Count && Next < Lines.size(); ++Level) {
    const std::string &Header = Lines[Next++];
    if (Header.empty()) break;
    TLevelInfo Info;
    Info.Width = static_cast<uint8_t>(Header[0]);
    Info.Height = Header.size() > 1 ? static_cast<uint8_t>(Header[1]) : 0;
    for (int Row = 0; Row < Info.Height; ++Row) {
      const std::string Cells = Next < Lines.size() ? Lines[Next] : std::string();
      ++Next;
      for (int Column = 0; Column < Info.Width && Column < static_cast<int>(Cells.size()); ++Column) {
        switch (Cells[Column]) {
          case '0': case '1': ++Info.Objects; break;
          case '2': ++Info.Objects; ++Info.Boxes; break;
          case '3': ++Info.Objects; ++Info.Targets; break;
          case '4': Info.Objects += 2; ++Info.Boxes; ++Info.Targets; break;
          case '5': ++Info.Objects; ++Info.Water; break;
          case '9':
            Info.HasPlayer = true;
            Info.PlayerColumn = Column;
            Info.PlayerY = Info.Height - 1 - Row;
            break;
          default: break;
        }
      }
    }
    Levels.push_back(Info);
  }
  return true;
}

}  // namespace Autopilot
