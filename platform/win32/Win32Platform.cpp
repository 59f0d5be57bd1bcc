// On Windows the window-system calls of winapi.h are the system's own. Only
// the control-word pair is the game's: it covers the SSE unit as well as the
// x87 one, as on the other platforms.
#include "winapi.h"

#include "FloatControl.h"

unsigned Get8087CW() { return platform_detail::ReadFloatControlWord(); }

void Set8087CW(unsigned ControlWord) { platform_detail::WriteFloatControlWord(ControlWord); }
