// RecordingGraph.cpp -- the renderer stand-in: logs every entry point with its
// arguments and answers what the test scripted. Draws nothing, needs no display.
#include "RecordingGraph.h"

#include <cstdio>
#include <deque>
#include <utility>

namespace RecordingGraph {
namespace {

struct TState {
  std::vector<TCall> Log;
  bool InitResult = true;
  std::deque<int32_t> MenuQueue, SettingsQueue;
  int32_t MenuDefault = -1, SettingsDefault = -1;
  std::function<void(TSettings &)> Editor;
  std::function<void(const TCall &)> Hook;
  TOverlayCopy Overlay;
  int Overlays = 0;
  std::deque<int32_t> ChooserQueue;
  std::vector<TChooserCopy> Chooser;
  TCellMarksCopy Marks;
  int MarksCount = 0;
  std::vector<std::string> EditorPanel;
};

TState &State()
{
  static TState S;
  return S;
}

std::string Int(int64_t Value) { return std::to_string(Value); }

std::string Float(double Value)
{
  char Buf[48];
  std::snprintf(Buf, sizeof Buf, "%.9g", Value);
  return Buf;
}

std::string Str(const char *Text) { return Text ? Text : "(null)"; }

void Record(std::string Name, std::vector<std::string> Args)
{
  TState &S = State();
  S.Log.push_back({std::move(Name), std::move(Args)});
  if (S.Hook) {
    const TCall Copy = S.Log.back();  // the hook may clear the log
    S.Hook(Copy);
  }
}

int32_t NextAnswer(std::deque<int32_t> &Queue, int32_t Default)
{
  if (Queue.empty()) return Default;
  const int32_t Answer = Queue.front();
  Queue.pop_front();
  return Answer;
}

std::vector<std::string> Position(const TMousePos *Pos)
{
  if (!Pos) return {"(null)", "(null)"};
  return {Int(Pos->x), Int(Pos->y)};
}

}  // namespace

std::string TCall::Text() const
{
  std::string T = Name + "(";
  for (size_t i = 0; i < Args.size(); ++i) T += (i ? "," : "") + Args[i];
  return T + ")";
}

std::string PointerText(const void *Pointer)
{
  char Buf[32];
  std::snprintf(Buf, sizeof Buf, "%p", Pointer);
  return Buf;
}

const std::vector<TCall> &Log() { return State().Log; }

std::vector<std::string> Names()
{
  std::vector<std::string> N;
  for (const TCall &C : State().Log) N.push_back(C.Name);
  return N;
}

std::vector<std::string> Texts()
{
  std::vector<std::string> T;
  for (const TCall &C : State().Log) T.push_back(C.Text());
  return T;
}

void ClearLog() { State().Log.clear(); }
void Note(const std::string &Name, const std::vector<std::string> &Args) { Record(Name, Args); }
void SetInitResult(bool Result) { State().InitResult = Result; }
void QueueMenuResults(const std::vector<int32_t> &Results)
{
  State().MenuQueue.insert(State().MenuQueue.end(), Results.begin(), Results.end());
}
void SetMenuDefault(int32_t Result) { State().MenuDefault = Result; }
void QueueSettingsResults(const std::vector<int32_t> &Results)
{
  State().SettingsQueue.insert(State().SettingsQueue.end(), Results.begin(), Results.end());
}
void SetSettingsDefault(int32_t Result) { State().SettingsDefault = Result; }
void SetSettingsEditor(std::function<void(TSettings &)> Editor) { State().Editor = std::move(Editor); }
void SetHook(std::function<void(const TCall &)> Hook) { State().Hook = std::move(Hook); }
void Reset() { State() = TState{}; }
const TOverlayCopy &LastOverlay() { return State().Overlay; }
int OverlayCount() { return State().Overlays; }

bool TCellMarksCopy::Marked(int32_t X, int32_t Y) const
{
  return X >= 0 && Y >= 0 && X < Width && Y < Height && !Marks.empty() &&
         Marks[size_t(Y) * size_t(Width) + size_t(X)] != 0;
}
bool TCellMarksCopy::DeadAt(int32_t X, int32_t Y) const
{
  return X >= 0 && Y >= 0 && X < Width && Y < Height && !Dead.empty() &&
         Dead[size_t(Y) * size_t(Width) + size_t(X)] != 0;
}
const TCellMarksCopy &LastCellMarks() { return State().Marks; }
int CellMarksCount() { return State().MarksCount; }
const std::vector<std::string> &LastEditorPanel() { return State().EditorPanel; }
void QueueChooserResults(const std::vector<int32_t> &Results)
{
  State().ChooserQueue.insert(State().ChooserQueue.end(), Results.begin(), Results.end());
}
const std::vector<TChooserCopy> &LastChooser() { return State().Chooser; }

}  // namespace RecordingGraph

using namespace RecordingGraph;

extern "C" {

GRAPH_API bool Init(TVeltraneEngine *Engine, int32_t ScreenBits, const char *Floor, const char *Box,
                    const char *Wall, const char *Dest, const char *Water, const char *Menu,
                    const char *MenuBack)
{
  Record("Init", {PointerText(Engine), Int(ScreenBits), Str(Floor), Str(Box), Str(Wall), Str(Dest),
                  Str(Water), Str(Menu), Str(MenuBack)});
  return State().InitResult;
}

GRAPH_API void DeInit(void) { Record("DeInit", {}); }
GRAPH_API void InitCubes(void) { Record("InitCubes", {}); }
GRAPH_API void DeInitCubes(void) { Record("DeInitCubes", {}); }
GRAPH_API void ProcessCubes(void) { Record("ProcessCubes", {}); }
GRAPH_API void StartDraw(void) { Record("StartDraw", {}); }
GRAPH_API void EndDraw(const TMousePos *MousePos) { Record("EndDraw", Position(MousePos)); }

GRAPH_API int32_t ProcessMenu(const TMousePos *MousePos)
{
  TState &S = State();
  const int32_t Answer = NextAnswer(S.MenuQueue, S.MenuDefault);
  std::vector<std::string> Args = Position(MousePos);
  Args.push_back("->" + Int(Answer));
  Record("ProcessMenu", std::move(Args));
  return Answer;
}

GRAPH_API int32_t ProcessSettings(const TMousePos *MousePos, uint8_t LeftButton, TSettings *EditSettings,
                                  const TDisplayMode *Modes, int32_t ModesHigh, const int32_t *Freqs,
                                  int32_t FreqsHigh, const TMapDescr *Maps, int32_t MapsHigh)
{
  TState &S = State();
  if (S.Editor && EditSettings) S.Editor(*EditSettings);
  const int32_t Answer = NextAnswer(S.SettingsQueue, S.SettingsDefault);
  std::vector<std::string> Args = Position(MousePos);
  Args.insert(Args.end(), {Int(LeftButton), PointerText(EditSettings), PointerText(Modes), Int(ModesHigh),
                           PointerText(Freqs), Int(FreqsHigh), PointerText(Maps), Int(MapsHigh),
                           "->" + Int(Answer)});
  Record("ProcessSettings", std::move(Args));
  return Answer;
}

GRAPH_API void MoveToPlayer(uint8_t Direction, const TPlayer *Player, float Angle)
{
  Record("MoveToPlayer", {Int(Direction), Float(Player->Box.x), Float(Player->Box.y), Float(Player->Box.z),
                          Float(Angle)});
}

GRAPH_API void DrawFloor(int32_t Width, int32_t Height) { Record("DrawFloor", {Int(Width), Int(Height)}); }

GRAPH_API void DrawObjects(const TGameObject *Objects, int32_t High)
{
  Record("DrawObjects", {PointerText(Objects), Int(High)});
}

GRAPH_API void DrawPlayer(const TPlayer *Player)
{
  Record("DrawPlayer", {Float(Player->Box.x), Float(Player->Box.y), Float(Player->Box.z)});
}

GRAPH_API void DrawOverlay(const TOverlay *Overlay)
{
  TState &S = State();
  ++S.Overlays;
  S.Overlay = {};
  if (!Overlay) return;
  TOverlayCopy &C = S.Overlay;
  C.SetName = Overlay->SetName ? Overlay->SetName : "";
  C.HasLevel = Overlay->LevelName != nullptr;
  C.LevelName = C.HasLevel ? Overlay->LevelName : "";
  C.HasMessage = Overlay->Message != nullptr;
  C.Message = C.HasMessage ? Overlay->Message : "";
  C.HasCard = Overlay->Card != nullptr;
  C.Card = C.HasCard ? Overlay->Card : "";
  C.Moves = Overlay->Moves;
  C.Pushes = Overlay->Pushes;
  C.Seconds = Overlay->Seconds;
  C.Overview = Overlay->Overview;
  C.MessageAlpha = Overlay->MessageAlpha;
  C.CardAlpha = Overlay->CardAlpha;
}

GRAPH_API void DrawSetFinished(const TSetFinished *Finished)
{
  if (!Finished) {
    Record("DrawSetFinished", {"(null)"});
    return;
  }
  Record("DrawSetFinished", {Str(Finished->SetName), Int(Finished->Levels), Int(Finished->Moves),
                             Int(Finished->Pushes), Int(Finished->Seconds)});
}

GRAPH_API bool PickCell(const TMousePos *MousePos, int32_t *CellX, int32_t *CellY)
{
  using RecordingGraph::PickCellSize;
  if (!MousePos || !CellX || !CellY || MousePos->x < 0 || MousePos->y < 0) return false;
  *CellX = MousePos->x / PickCellSize;
  *CellY = MousePos->y / PickCellSize;
  return true;
}

GRAPH_API void DrawCellMarks(const TCellMarks *Marks)
{
  if (!Marks) return;
  TState &S = State();
  ++S.MarksCount;
  S.Marks = {Marks->HoverX, Marks->HoverY, Marks->BoxX, Marks->BoxY, 0, 0, {}, {},
             Marks->HintX, Marks->HintY, Marks->HintDx, Marks->HintDy};
  if ((Marks->Marks || Marks->Dead) && Marks->Width > 0 && Marks->Height > 0) {
    S.Marks.Width = Marks->Width;
    S.Marks.Height = Marks->Height;
    const size_t Cells = size_t(Marks->Width) * size_t(Marks->Height);
    if (Marks->Marks) S.Marks.Marks.assign(Marks->Marks, Marks->Marks + Cells);
    if (Marks->Dead) S.Marks.Dead.assign(Marks->Dead, Marks->Dead + Cells);
  }
}

GRAPH_API int32_t ProcessChooser(const TMousePos *MousePos, const char *SetName, const TChooserItem *Items,
                                 int32_t High, int32_t First)
{
  TState &S = State();
  S.Chooser.clear();
  for (int32_t I = 0; Items && I <= High; ++I)
    S.Chooser.push_back({Str(Items[I].Title), Items[I].BestMoves, Items[I].BestPushes, Items[I].BestSeconds,
                         Items[I].Solved != 0, Items[I].Hinted != 0});
  const int32_t Answer = NextAnswer(S.ChooserQueue, -1);
  std::vector<std::string> Args = Position(MousePos);
  Args.insert(Args.end(), {Str(SetName), Int(High), Int(First), "->" + Int(Answer)});
  Record("ProcessChooser", std::move(Args));
  return Answer;
}

GRAPH_API void SetHighlight(int32_t Item) { Record("SetHighlight", {Int(Item)}); }

GRAPH_API void DrawEditorPanel(const char *const *Lines, int32_t Count)
{
  std::vector<std::string> &Panel = RecordingGraph::State().EditorPanel;
  Panel.clear();
  for (int32_t I = 0; Lines && I < Count; ++I) Panel.emplace_back(Lines[I] ? Lines[I] : "");
}

GRAPH_API void SetVolumes(TVolumes *Volumes)
{
  Record("SetVolumes", Volumes ? std::vector<std::string>{Int(Volumes->Sound), Int(Volumes->Music)}
                               : std::vector<std::string>{"(null)"});
}

}  // extern "C"
