// Text helpers: byte strings only, no locale, no encoding conversion.
#include "Text.h"

#include "Files.h"

#include <cstdint>
#include <limits>

namespace {

bool IsBlank(unsigned char C) { return C <= 32; }

int HexDigit(unsigned char C)
{
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

int DecDigit(unsigned char C) { return (C >= '0' && C <= '9') ? C - '0' : -1; }

// Large magnitudes saturate instead of wrapping; the values stored are small.
constexpr int64_t MagnitudeCap = int64_t(1) << 32;

int32_t ClampToInt32(int64_t V)
{
  if (V > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (V < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(V);
}

} // namespace

std::string TrimText(const std::string &S)
{
  std::size_t First = 0, Last = S.size();
  while (First < Last && IsBlank(static_cast<unsigned char>(S[First]))) ++First;
  while (Last > First && IsBlank(static_cast<unsigned char>(S[Last - 1]))) --Last;
  return S.substr(First, Last - First);
}

std::string LowerText(const std::string &S)
{
  std::string R = S;
  for (char &Ch : R) {
    const unsigned char C = static_cast<unsigned char>(Ch);
    if ((C >= 'A' && C <= 'Z') || (C >= 192 && C <= 223)) Ch = static_cast<char>(C + 32);
  }
  return R;
}

std::string IntToText(int32_t Value) { return std::to_string(Value); }

int32_t TextToInt(const std::string &S)
{
  std::size_t I = 0;
  const std::size_t Len = S.size();
  auto At = [&](std::size_t K) -> unsigned char { return K < Len ? static_cast<unsigned char>(S[K]) : 0; };

  while (I < Len && S[I] == ' ') ++I;
  bool Negative = false;
  if (I < Len && (S[I] == '+' || S[I] == '-')) {
    Negative = S[I] == '-';
    ++I;
  }
  int Base = 10;
  if (I < Len && (S[I] == '$' || S[I] == 'x' || S[I] == 'X')) {
    Base = 16;
    ++I;
  } else if (At(I) == '0' && (At(I + 1) == 'x' || At(I + 1) == 'X')) {
    Base = 16;
    I += 2;
  }

  int64_t Magnitude = 0;
  bool AnyDigit = false;
  for (; I < Len; ++I) {
    const unsigned char C = static_cast<unsigned char>(S[I]);
    const int D = Base == 16 ? HexDigit(C) : DecDigit(C);
    if (D < 0) return AnyDigit ? ClampToInt32(Magnitude) : 0; // stray byte: magnitude, sign dropped
    AnyDigit = true;
    Magnitude = Magnitude * Base + D;
    if (Magnitude > MagnitudeCap) Magnitude = MagnitudeCap;
  }
  if (!AnyDigit) return 0;
  return ClampToInt32(Negative ? -Magnitude : Magnitude);
}

TTextLines::TTextLines(const std::string &Bytes) : Buffer(Bytes), Ended(true)
{
  // Byte 26 marks the end of the text.
  const std::size_t Eot = Buffer.find('\x1a');
  if (Eot != std::string::npos) Buffer.resize(Eot);
}

TTextLines::TTextLines(TInputFile &File) : Source(&File) {}

// Makes sure unread text is in the buffer; false at the end of the text.
bool TTextLines::Fill()
{
  if (Pos < Buffer.size()) return true;
  if (!Source || Ended) return false;
  constexpr std::size_t Chunk = 65536;
  Buffer.resize(Chunk);
  Buffer.resize(Source->Read(Buffer.data(), Chunk));
  Pos = 0;
  if (Buffer.empty()) Ended = true;
  const std::size_t Eot = Buffer.find('\x1a');
  if (Eot != std::string::npos) {
    Buffer.resize(Eot);
    Ended = true;
  }
  return Pos < Buffer.size();
}

bool TTextLines::AtEnd() { return !Fill(); }

std::string TTextLines::ReadLine(std::size_t Max)
{
  std::string Line;
  LastEnd = TLineEnd::None;
  bool CrLast = false;  // the byte before the LF may lie in the piece read before
  while (Fill()) {
    const std::size_t End = Buffer.find('\n', Pos);
    const std::size_t Stop = End == std::string::npos ? Buffer.size() : End;
    for (std::size_t K = Pos; K < Stop && Line.size() < Max; ++K)
      if (Buffer[K] != '\r') Line += Buffer[K];
    if (Stop > Pos) CrLast = Buffer[Stop - 1] == '\r';
    Pos = Stop;
    if (End != std::string::npos) {
      ++Pos;
      LastEnd = CrLast ? TLineEnd::CrLf : TLineEnd::Lf;
      break;
    }
  }
  return Line;
}
