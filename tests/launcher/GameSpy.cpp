// GameSpy.cpp -- puts the launcher's calls into the rules library on the recording
// renderer's log, so one log shows the order of both. The test programs link with
// --wrap for every entry point game.h lists: the launcher's references reach
// __wrap_X, which logs and calls the real entry point (__real_X, in libgame.so).
// The spies are made from the same list, so a new entry point needs nothing here
// unless it takes an argument of a type Describe does not know yet.
#include "RecordingGraph.h"
#include "game.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// One overload per parameter type says how an argument reads on the log; an
// argument the library fills in (an out-pointer) is left off the log.
using TArgs = std::vector<std::string>;

void Describe(TArgs &Out, const char *S) { Out.push_back(S ? S : "(null)"); }

void Describe(TArgs &Out, float Value)
{
  char Buf[48];
  std::snprintf(Buf, sizeof Buf, "%.9g", Value);
  Out.push_back(Buf);
}

void Describe(TArgs &Out, uint8_t Value) { Out.push_back(std::to_string(Value)); }
void Describe(TArgs &Out, int32_t Value) { Out.push_back(std::to_string(Value)); }
void Describe(TArgs &Out, TGameFatalHandler Handler) { Out.push_back(Handler ? "handler" : "0"); }
void Describe(TArgs &, TMaps *) {}
void Describe(TArgs &, int32_t *) {}

template <typename... T>
TArgs DescribeAll(const T &...Args)
{
  TArgs Out;
  (Describe(Out, Args), ...);
  return Out;
}

}  // namespace

extern "C" {

#define GAME_SPY(Name, Result, Params, Args, Contract) \
  Result __real_##Name Params;                         \
  Result __wrap_##Name Params                          \
  {                                                    \
    RecordingGraph::Note(#Name, DescribeAll Args);     \
    return __real_##Name Args;                         \
  }
GAME_ENTRY_POINTS(GAME_SPY)
#undef GAME_SPY

}  // extern "C"
