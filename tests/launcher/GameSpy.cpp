// GameSpy.cpp -- puts the launcher's calls into the rules library on the recording
// renderer's log, so one log shows the order of both. The test programs link with
// --wrap for each of these names: the launcher's references reach __wrap_X, which
// logs and calls the real entry point (__real_X, in libgame.so).
#include "RecordingGraph.h"
#include "game.h"

#include <cstdio>
#include <string>

namespace {

std::string Float(float Value)
{
  char Buf[48];
  std::snprintf(Buf, sizeof Buf, "%.9g", Value);
  return Buf;
}

std::string Text(const char *S) { return S ? S : "(null)"; }

void Note(const char *Name, std::vector<std::string> Args = {}) { RecordingGraph::Note(Name, Args); }

}  // namespace

extern "C" {

void __real_GameInit(void);
void __real_GameDeInit(void);
void __real_GameLoadMaps(const char *, TMaps *);
void __real_GameNewGame(const char *);
void __real_GameNextLevel(void);
uint8_t __real_GameGetState(void);
void __real_GameSetState(uint8_t);
void __real_GameSave(const char *);
void __real_GameLoad(const char *);
void __real_GameMovePlayer(float);
void __real_GameMovePlayerX(float);
void __real_GameProcessPlayer(void);
void __real_GameRotate(int32_t);
float __real_GameGetRotateAngle(void);
void __real_GameRoundCurrAngle(void);
float __real_GameGetCurrAngle(void);
void __real_GameProcessRotate(void);
TPlayer __real_GameGetPlayer(void);
TObjArray __real_GameGetObjects(void);
TFieldSize __real_GameGetFieldSize(void);
void __real_GameSetFatalHandler(TGameFatalHandler);

void __wrap_GameInit(void) { Note("GameInit"); __real_GameInit(); }
void __wrap_GameDeInit(void) { Note("GameDeInit"); __real_GameDeInit(); }
void __wrap_GameLoadMaps(const char *F, TMaps *M) { Note("GameLoadMaps", {Text(F)}); __real_GameLoadMaps(F, M); }
void __wrap_GameNewGame(const char *F) { Note("GameNewGame", {Text(F)}); __real_GameNewGame(F); }
void __wrap_GameNextLevel(void) { Note("GameNextLevel"); __real_GameNextLevel(); }
uint8_t __wrap_GameGetState(void) { Note("GameGetState"); return __real_GameGetState(); }
void __wrap_GameSetState(uint8_t S) { Note("GameSetState", {std::to_string(S)}); __real_GameSetState(S); }
void __wrap_GameSave(const char *F) { Note("GameSave", {Text(F)}); __real_GameSave(F); }
void __wrap_GameLoad(const char *F) { Note("GameLoad", {Text(F)}); __real_GameLoad(F); }
void __wrap_GameMovePlayer(float A) { Note("GameMovePlayer", {Float(A)}); __real_GameMovePlayer(A); }
void __wrap_GameMovePlayerX(float A) { Note("GameMovePlayerX", {Float(A)}); __real_GameMovePlayerX(A); }
void __wrap_GameProcessPlayer(void) { Note("GameProcessPlayer"); __real_GameProcessPlayer(); }
void __wrap_GameRotate(int32_t Q) { Note("GameRotate", {std::to_string(Q)}); __real_GameRotate(Q); }
float __wrap_GameGetRotateAngle(void) { Note("GameGetRotateAngle"); return __real_GameGetRotateAngle(); }
void __wrap_GameRoundCurrAngle(void) { Note("GameRoundCurrAngle"); __real_GameRoundCurrAngle(); }
float __wrap_GameGetCurrAngle(void) { Note("GameGetCurrAngle"); return __real_GameGetCurrAngle(); }
void __wrap_GameProcessRotate(void) { Note("GameProcessRotate"); __real_GameProcessRotate(); }
TPlayer __wrap_GameGetPlayer(void) { Note("GameGetPlayer"); return __real_GameGetPlayer(); }
TObjArray __wrap_GameGetObjects(void) { Note("GameGetObjects"); return __real_GameGetObjects(); }
TFieldSize __wrap_GameGetFieldSize(void) { Note("GameGetFieldSize"); return __real_GameGetFieldSize(); }
void __wrap_GameSetFatalHandler(TGameFatalHandler H)
{
  Note("GameSetFatalHandler", {H ? "handler" : "0"});
  __real_GameSetFatalHandler(H);
}

}  // extern "C"
