// Text.h -- the small text helpers shared by the store and the launcher.
#pragma once
#include <cstdint>
#include <string>

std::string TrimText(const std::string &S);   // drops bytes 0..32 at both ends
std::string LowerText(const std::string &S);  // 'A'..'Z' and bytes 192..223 get 32 added
std::string IntToText(int32_t Value);         // decimal, leading '-' when negative
int32_t TextToInt(const std::string &S);      // decimal or $/x/0x hex; never fails

class TInputFile;

// Splits text into lines: LF ends a line, a CR is never part of a line, byte
// 26 ends the text, and the last line needs no LF. Reading past the end gives
// empty lines. Reads a file piece by piece, or text already in memory.
class TTextLines {
public:
  explicit TTextLines(const std::string &Bytes);
  explicit TTextLines(TInputFile &File);
  bool AtEnd();
  // The next line, of which at most Max bytes are kept; the rest is passed over.
  std::string ReadLine(std::size_t Max = std::string::npos);

  // How the line ReadLine gave last ended: with LF, CR LF, or with the text.
  enum class TLineEnd { None, Lf, CrLf };
  TLineEnd LastLineEnd() const { return LastEnd; }

private:
  bool Fill();

  TInputFile *Source = nullptr;
  std::string Buffer;
  std::size_t Pos = 0;
  bool Ended = false;
  TLineEnd LastEnd = TLineEnd::None;
};
