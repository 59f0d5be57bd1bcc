// FloatControl.h -- the x87-style floating-point control word on this machine.
#pragma once

namespace platform_detail {
// Exception masks (bits 0-5) and rounding (bits 10-11) as the SSE unit has them,
// the rest (precision) as the x87 unit has it.
unsigned ReadFloatControlWord();
// Sets the x87 unit and the same masks and rounding in the SSE unit, whose
// flush-to-zero and denormals-are-zero go back to off.
void WriteFloatControlWord(unsigned ControlWord);
} // namespace platform_detail
