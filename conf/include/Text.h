// Text.h -- the small text helpers shared by the store and the launcher.
#pragma once
#include <cstdint>
#include <string>

std::string TrimText(const std::string &S);   // drops bytes 0..32 at both ends
std::string LowerText(const std::string &S);  // 'A'..'Z' and bytes 192..223 get 32 added
std::string IntToText(int32_t Value);         // decimal, leading '-' when negative
int32_t TextToInt(const std::string &S);      // decimal or $/x/0x hex; never fails

// Splits a text file's bytes into lines: LF ends a line, a CR is never part
// of a line, byte 26 ends the text, and the last line needs no LF. Reading
// past the end gives empty lines.
class TTextLines {
public:
  explicit TTextLines(const std::string &Bytes);
  bool AtEnd() const { return Pos >= Text.size(); }
  std::string ReadLine();

private:
  std::string Text;
  std::size_t Pos = 0;
};
