#include "FloatControl.h"

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#else
#include <cfenv>
#endif

namespace platform_detail {

#if defined(__x86_64__) || defined(__i386__)
namespace {
constexpr unsigned MaskBits = 0x3F;          // invalid, denormal, zero-divide, overflow, underflow, precision
constexpr unsigned SseMaskShift = 7;
constexpr unsigned SseRoundingShift = 13;
constexpr unsigned X87RoundingShift = 10;
constexpr unsigned SseFlushToZero = 0x8000, SseDenormalsAreZero = 0x0040;
constexpr unsigned SseStickyFlags = 0x3F;
} // namespace

unsigned ReadFloatControlWord() {
  unsigned short X87 = 0;
  __asm__ volatile("fnstcw %0" : "=m"(X87));
  const unsigned Sse = _mm_getcsr();
  unsigned Word = X87 & ~(MaskBits | (3u << X87RoundingShift));
  Word |= (Sse >> SseMaskShift) & MaskBits;
  Word |= ((Sse >> SseRoundingShift) & 3u) << X87RoundingShift;
  return Word;
}

void WriteFloatControlWord(unsigned ControlWord) {
  const unsigned short X87 = static_cast<unsigned short>(ControlWord);
  __asm__ volatile("fclex\n\tfldcw %0" : : "m"(X87));
  unsigned Sse = _mm_getcsr() & SseStickyFlags;
  Sse &= ~(SseFlushToZero | SseDenormalsAreZero);
  Sse |= (ControlWord & MaskBits) << SseMaskShift;
  Sse |= ((ControlWord >> X87RoundingShift) & 3u) << SseRoundingShift;
  _mm_setcsr(Sse);
}
#else
namespace {
// No x87 unit: the word is kept, and its rounding bits drive the C rounding mode.
thread_local unsigned Shadow = 0x037F;
} // namespace

unsigned ReadFloatControlWord() { return Shadow; }

void WriteFloatControlWord(unsigned ControlWord) {
  Shadow = ControlWord;
  static const int Modes[4] = {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO};
  std::fesetround(Modes[(ControlWord >> 10) & 3u]);
}
#endif

} // namespace platform_detail
