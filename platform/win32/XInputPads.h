// XInputPads.h -- game controllers on Windows. While a TXInputPads lives, the
// XInput pads are read every few milliseconds and what they do arrives at the
// program's active window as the key messages of Win32Pad.h.
// The system's XInput DLL is loaded when the program starts; without one the
// program runs on, played with the keyboard and the mouse.
#pragma once

class TXInputPads {
public:
  TXInputPads();
  ~TXInputPads();
  TXInputPads(const TXInputPads &) = delete;
  TXInputPads &operator=(const TXInputPads &) = delete;
};
