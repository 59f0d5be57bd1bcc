// xinput1_4.dll for tests: one pad, played from a script. The script is the
// file xinput-script.txt beside this DLL; without it no pad is connected. Each
// line holds a time in milliseconds and what the pad holds for that long:
//   500 RIGHT A          the d-pad's right and A, half a second
//   1000 LX=32767        the left stick pushed right (LY: up positive)
//   # a comment, or an empty line, is skipped
// Names: UP DOWN LEFT RIGHT START BACK LT RT LB RB A B X Y (LT, RT: the thumbs
// pressed). The pad plays the script from the moment it sees it, and again
// whenever its content changes; after its last line the pad holds nothing.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <xinput.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Step {
  DWORD Ms = 0;
  XINPUT_GAMEPAD Pad{};
};

struct Player {
  std::string Script;         // the content now played
  std::vector<Step> Steps;
  DWORD Started = 0;          // when it was first seen
  DWORD Packet = 0;
  XINPUT_GAMEPAD Last{};
};

Player ThePlayer;

std::string ScriptPath() {
  HMODULE Self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<const char *>(&ThePlayer), &Self);
  char Path[MAX_PATH];
  const DWORD Length = GetModuleFileNameA(Self, Path, MAX_PATH);
  std::string Folder(Path, Length < MAX_PATH ? Length : 0);
  Folder.erase(Folder.find_last_of("\\/") + 1);
  return Folder + "xinput-script.txt";
}

bool ReadScript(std::string &Out) {
  std::ifstream In(ScriptPath(), std::ios::binary);
  if (!In) return false;
  std::ostringstream Text;
  Text << In.rdbuf();
  Out = Text.str();
  return true;
}

void Hold(const std::string &Word, XINPUT_GAMEPAD &Pad) {
  static const struct { const char *Name; WORD Bit; } Buttons[] = {
      {"UP", XINPUT_GAMEPAD_DPAD_UP}, {"DOWN", XINPUT_GAMEPAD_DPAD_DOWN}, {"LEFT", XINPUT_GAMEPAD_DPAD_LEFT},
      {"RIGHT", XINPUT_GAMEPAD_DPAD_RIGHT}, {"START", XINPUT_GAMEPAD_START}, {"BACK", XINPUT_GAMEPAD_BACK},
      {"LT", XINPUT_GAMEPAD_LEFT_THUMB}, {"RT", XINPUT_GAMEPAD_RIGHT_THUMB}, {"LB", XINPUT_GAMEPAD_LEFT_SHOULDER},
      {"RB", XINPUT_GAMEPAD_RIGHT_SHOULDER}, {"A", XINPUT_GAMEPAD_A}, {"B", XINPUT_GAMEPAD_B},
      {"X", XINPUT_GAMEPAD_X}, {"Y", XINPUT_GAMEPAD_Y}};
  for (const auto &B : Buttons) {
    if (Word == B.Name) Pad.wButtons |= B.Bit;
  }
  if (Word.rfind("LX=", 0) == 0) Pad.sThumbLX = static_cast<SHORT>(std::atoi(Word.c_str() + 3));
  if (Word.rfind("LY=", 0) == 0) Pad.sThumbLY = static_cast<SHORT>(std::atoi(Word.c_str() + 3));
}

std::vector<Step> Parse(const std::string &Script) {
  std::vector<Step> Steps;
  std::istringstream Lines(Script);
  std::string Line;
  while (std::getline(Lines, Line)) {
    std::istringstream Words(Line);
    Step S;
    if (Line.empty() || Line[0] == '#' || !(Words >> S.Ms)) continue;
    for (std::string Word; Words >> Word;) Hold(Word, S.Pad);
    Steps.push_back(S);
  }
  return Steps;
}

XINPUT_GAMEPAD PadAt(const std::vector<Step> &Steps, DWORD Elapsed) {
  for (const Step &S : Steps) {
    if (Elapsed < S.Ms) return S.Pad;
    Elapsed -= S.Ms;
  }
  return XINPUT_GAMEPAD{};
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI XInputGetState(DWORD UserIndex, XINPUT_STATE *State)
{
  std::string Script;
  if (UserIndex != 0 || !ReadScript(Script)) return ERROR_DEVICE_NOT_CONNECTED;
  if (!State) return ERROR_BAD_ARGUMENTS;
  Player &P = ThePlayer;
  if (Script != P.Script) {
    P.Script = Script;
    P.Steps = Parse(Script);
    P.Started = GetTickCount();
  }
  const XINPUT_GAMEPAD Pad = PadAt(P.Steps, GetTickCount() - P.Started);
  if (std::memcmp(&Pad, &P.Last, sizeof Pad) != 0) ++P.Packet;
  P.Last = Pad;
  State->dwPacketNumber = P.Packet;
  State->Gamepad = Pad;
  return ERROR_SUCCESS;
}
