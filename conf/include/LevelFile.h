// LevelFile.h -- the one reading of a level file, shared by the rules library
// and the level tools so that they can never disagree about what a file holds.
//
// A level file is text, split into lines as TTextLines splits it (LF ends a
// line, CRs are dropped, byte 26 ends the text). The first byte of the first
// line is the number of levels. Each level is a header line whose first two
// bytes are its width and height, then one row line per row, top row first,
// of which the first Width bytes are the cells. A byte missing from a line
// reads as 0 (plain floor). Only the bytes a reader asks for are kept, so a
// runaway line costs no memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class TTextLines;

// Byte K of a line, 0 when the line is shorter.
uint8_t LevelByteAt(const std::string &Line, std::size_t K);

struct TLevelHeader {
  uint8_t Width = 0;
  uint8_t Height = 0;
};

// The value of Key in a header line's text, which the level tool writes as
// tab-separated "Key: value" fields ("Title: Porch\tAuthor: Kestrove"); empty
// when there is none.
std::string LevelHeaderField(const std::string &Fields, const std::string &Key);

constexpr std::size_t MaxFieldBytes = 4096;

// Reads a level file front to back, one line at a time.
class TLevelFileReader {
public:
  explicit TLevelFileReader(TTextLines &Lines) : Lines(Lines) {}
  // The first line's count byte; nothing when that line is empty.
  std::optional<uint8_t> ReadCount();
  // The next level's header; nothing when its line is empty (a blank line, or
  // the end of the file). Fields, when given, gets the line's text after the
  // size bytes (at most MaxFieldBytes of it), which the game passes over.
  std::optional<TLevelHeader> ReadHeader(std::string *Fields = nullptr);
  // The next row line's first Width bytes (fewer where the line is shorter).
  std::string ReadRow(std::size_t Width);
  // Passes over the next level, header and rows, as many rows as its header
  // says; an empty header line counts as a level of no rows.
  void SkipLevel();
  // No text left: every further line reads empty.
  bool AtEnd();

private:
  TTextLines &Lines;
};
