// LevelFile.cpp -- reads a packed level file with the rules library's own
// reader, to know what each level holds without loading it into the one world.
#include "Autopilot.h"

#include "LevelFile.h"
#include "Text.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace Autopilot {

bool ReadLevelFile(const std::string &FileName, std::vector<TLevelInfo> &Levels, std::string &Error)
{
  Levels.clear();
  std::ifstream In(FileName, std::ios::binary);
  if (!In) {
    Error = FileName + ": cannot open: " + std::strerror(errno);
    return false;
  }
  const std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  TTextLines Lines(Text);
  TLevelFileReader Reader(Lines);
  const std::optional<uint8_t> Count = Reader.ReadCount();
  if (!Count) {
    Error = FileName + ": empty, no set header";
    return false;
  }
  for (int Level = 0; Level < *Count && !Reader.AtEnd(); ++Level) {
    const std::optional<TLevelHeader> Header = Reader.ReadHeader();
    if (!Header) break;
    TLevelInfo Info;
    Info.Width = Header->Width;
    Info.Height = Header->Height;
    for (int Row = 0; Row < Info.Height; ++Row) {
      const std::string Cells = Reader.ReadRow(static_cast<std::size_t>(Info.Width));
      for (int Column = 0; Column < static_cast<int>(Cells.size()); ++Column) {
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
