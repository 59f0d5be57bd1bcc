// RecordingGraph.h -- control of graph_recording, the renderer stand-in for tests.
//
// graph_recording exports the entry points graph.h lists. Each call is appended
// to one log, with its arguments as text, and draws nothing. DrawOverlay, made
// every frame, is kept apart: the last overlay and a count, so that the log
// reads as the 13 calls of a frame always did. SetHighlight is logged like the
// rest ("SetHighlight(3)"), once a frame of the menu, settings page or chooser.
// Tests read and clear the log, script what Init, ProcessMenu and
// ProcessSettings answer, and may add their own entries (say, calls into the
// rules library they intercept) so that one log shows the order of everything.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "graph.h"

#if defined(GRAPH_RECORDING_BUILD)
#define RECORDING_GRAPH_API __attribute__((visibility("default")))
#else
#define RECORDING_GRAPH_API
#endif

namespace RecordingGraph {

struct RECORDING_GRAPH_API TCall {
  std::string Name;               // entry point, e.g. "DrawFloor"
  std::vector<std::string> Args;  // each argument as text, in order
  std::string Text() const;       // "Name(a,b,c)"
};

// DrawSetFinished logs its set's name, levels, moves, pushes and seconds.
// Arguments as they are logged: integers in decimal, floats with %.9g, pointers
// as %p (see PointerText), strings as given, a TMousePos as its two numbers
// (x,y), a TPlayer as Direction (MoveToPlayer only), then Box.x, Box.y, Box.z.
RECORDING_GRAPH_API std::string PointerText(const void *Pointer);

RECORDING_GRAPH_API const std::vector<TCall> &Log();
RECORDING_GRAPH_API std::vector<std::string> Names();        // the names of Log(), in order
RECORDING_GRAPH_API std::vector<std::string> Texts();        // Text() of each entry
RECORDING_GRAPH_API void ClearLog();
RECORDING_GRAPH_API void Note(const std::string &Name, const std::vector<std::string> &Args = {});

// Answers. Queued answers are used first, one per call; when the queue is empty
// the default answers: Init true, ProcessMenu -1, ProcessSettings -1.
RECORDING_GRAPH_API void SetInitResult(bool Result);
RECORDING_GRAPH_API void QueueMenuResults(const std::vector<int32_t> &Results);
RECORDING_GRAPH_API void SetMenuDefault(int32_t Result);
RECORDING_GRAPH_API void QueueSettingsResults(const std::vector<int32_t> &Results);
RECORDING_GRAPH_API void SetSettingsDefault(int32_t Result);

// What the last DrawOverlay showed (null texts as empty, Has... false), and how
// many calls there were.
struct RECORDING_GRAPH_API TOverlayCopy {
  std::string SetName, LevelName, Message, Card;
  bool HasLevel = false, HasMessage = false, HasCard = false;
  int32_t Moves = 0, Pushes = 0, Seconds = 0;
  float Overview = 0, MessageAlpha = 0, CardAlpha = 0;
};
RECORDING_GRAPH_API const TOverlayCopy &LastOverlay();
RECORDING_GRAPH_API int OverlayCount();

// ProcessChooser's answers, as for the menu; default -1. The items of its last
// call, titles and marks, are kept.
RECORDING_GRAPH_API void QueueChooserResults(const std::vector<int32_t> &Results);
struct RECORDING_GRAPH_API TChooserCopy {
  std::string Title;
  int32_t BestMoves = -1, BestPushes = -1, BestSeconds = -1;
  bool Solved = false;
};
RECORDING_GRAPH_API const std::vector<TChooserCopy> &LastChooser();

// Called inside ProcessSettings, before the answer is chosen, with the settings
// being edited: the place to play the player's edits.
RECORDING_GRAPH_API void SetSettingsEditor(std::function<void(TSettings &Edit)> Editor);

// Called after every logged call (renderer entry points and Note) with that entry:
// the place to end a main loop or press keys at a given frame.
RECORDING_GRAPH_API void SetHook(std::function<void(const TCall &Call)> Hook);

// PickCell and DrawCellMarks, made every play frame, are kept apart too.
// PickCell answers as a plan view of the level, PickCellSize pixels a cell:
// pointer (x, y) is cell (x / PickCellSize, y / PickCellSize); negative
// coordinates are off the level.
inline constexpr int32_t PickCellSize = 10;
struct RECORDING_GRAPH_API TCellMarksCopy {
  int32_t HoverX = -1, HoverY = -1, BoxX = -1, BoxY = -1, Width = 0, Height = 0;
  std::vector<uint8_t> Marks;
  bool Marked(int32_t X, int32_t Y) const;
};
RECORDING_GRAPH_API const TCellMarksCopy &LastCellMarks();
RECORDING_GRAPH_API int CellMarksCount();

// Back to the state at load: empty log, default answers, no editor, no hook.
RECORDING_GRAPH_API void Reset();

}  // namespace RecordingGraph
