// The level file's one reading: see LevelFile.h for the format.
#include "LevelFile.h"

#include <algorithm>

#include "Text.h"

uint8_t LevelByteAt(const std::string &Line, std::size_t K)
{
  return K < Line.size() ? static_cast<uint8_t>(Line[K]) : 0;
}

std::optional<uint8_t> TLevelFileReader::ReadCount()
{
  const std::string Line = Lines.ReadLine(1);
  if (Line.empty()) return std::nullopt;
  return LevelByteAt(Line, 0);
}

std::optional<TLevelHeader> TLevelFileReader::ReadHeader(std::string *Fields)
{
  const std::string Line = Lines.ReadLine(Fields ? 2 + MaxFieldBytes : 2);
  if (Fields) *Fields = Line.size() > 2 ? Line.substr(2) : std::string();
  if (Line.empty()) return std::nullopt;
  return TLevelHeader{LevelByteAt(Line, 0), LevelByteAt(Line, 1)};
}

std::string LevelHeaderField(const std::string &Fields, const std::string &Key)
{
  const std::string Wanted = Key + ": ";
  std::size_t Start = 0;
  while (Start <= Fields.size()) {
    const std::size_t End = std::min(Fields.find('\t', Start), Fields.size());
    if (Fields.compare(Start, Wanted.size(), Wanted) == 0 && End - Start >= Wanted.size())
      return Fields.substr(Start + Wanted.size(), End - Start - Wanted.size());
    Start = End + 1;
  }
  return "";
}

std::string TLevelFileReader::ReadRow(std::size_t Width) { return Lines.ReadLine(Width); }

void TLevelFileReader::SkipLevel()
{
  const uint8_t Height = ReadHeader().value_or(TLevelHeader{}).Height;
  for (uint8_t N = 0; N < Height; ++N) Lines.ReadLine(0);
}

bool TLevelFileReader::AtEnd() { return Lines.AtEnd(); }
