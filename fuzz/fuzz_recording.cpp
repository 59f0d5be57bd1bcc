// Any bytes as a key recording: a recording that reads writes back to text
// that reads to the same recording, with as many frames as its header says.
#include "Check.h"
#include "Recording.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  using namespace Autopilot;
  const std::string Text(reinterpret_cast<const char *>(Data), Size);
  TRecording Recording;
  std::string Error;
  if (!ReadRecording(Text, Recording, Error)) {
    fuzz::Check(!Error.empty(), "a recording refused without a message");
    return 0;
  }
  fuzz::Check(Recording.LevelIndex >= 0 && Recording.LevelIndex <= 254, "a level index out of range");
  for (const TRun &R : Recording.Runs)
    fuzz::Check(R.Frames >= 1 && R.Frames <= MaxRunFrames && (R.Keys & ~AllKeys) == 0, "a run out of range");
  TRecording Back;
  fuzz::Check(ReadRecording(WriteRecording(Recording), Back, Error), "a written recording does not read");
  fuzz::Check(Back == Recording && Back.FrameCount() == Recording.FrameCount(), "a recording changed by writing");
  return 0;
}
