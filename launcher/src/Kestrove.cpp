// Kestrove.cpp -- the launcher's state, start-up, passes, main loop, window
// procedure and shut-down. The frame driver is in FrameDriver.cpp.
#include "Kestrove.h"

#include "Files.h"
#include "Hint.h"
#include "LauncherInternal.h"
#include "LevelPlay.h"
#include "Editor.h"
#include "MousePlay.h"
#include "Overlay.h"
#include "Pace.h"
#include "ScreenKeys.h"
#include "Sound.h"
#include "Text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

TConf *Config = nullptr;
TVeltraneEngine *Engine = nullptr;
uint8_t KeyState[256] = {};
TMousePos MousePos = {};
bool QuitFlag = false, RestartFlag = false;
TSettings Settings = {}, EditSettings = {};
TMaps MapList = {};
int32_t ScreenWidth = 0, ScreenHeight = 0, ScreenBits = 0, ScreenFreq = 0;

const TDisplayMode DisplayModes[8] = {
  {640, 480, 16},  {640, 480, 32},  {800, 600, 16},   {800, 600, 32},
  {1024, 768, 16}, {1024, 768, 32}, {1280, 1024, 16}, {1280, 1024, 32},
};
const int32_t Frequencies[11] = {0, 60, 70, 75, 85, 100, 120, 140, 150, 170, 200};

namespace {

constexpr unsigned FloatControlWord = 0x133F;  // all exceptions masked, 64-bit precision, nearest
constexpr UINT_PTR FpsTimerId = 1;
constexpr UINT FpsTimerPeriodMs = 1000;
constexpr LPARAM KeyWasDown = LPARAM(1) << 30;  // of WM_KEYDOWN: an auto-repeat
bool RendererFailed = false;  // Init could not draw: the program's exit status says so

// Over the game's window, once there is one, so that it never hides behind it.
void ShowErrorBox(const char *Text)
{
  MessageBoxA(Engine ? Engine->Handle : nullptr, Text, ErrorCaption, MB_OK | MB_ICONERROR);
}

// A fatal error gives the player's display back before its box shows; the
// report line and the exit follow in the store's fatal path.
void ReportFatalError(int32_t, const char *Text)
{
  if (Engine) Engine->RestoreDisplayMode();
  ShowErrorBox(Text);
}

// The program's own copy of the store and the rules library's copy both end in it.
void RouteFatalErrors(TFatalErrorHandler Handler)
{
  SetFatalErrorHandler(Handler);
  GameSetFatalHandler(Handler);
}

bool ConfigFlag(const char *Key) { return Config->GetValue(Key) == "1"; }
int32_t ConfigInt(const char *Key) { return TextToInt(Config->GetValue(Key)); }

// An index that names no entry of its table reads as 0, so nothing ever reads outside it.
int32_t IndexOrZero(int32_t Index, int32_t Count) { return Index >= 0 && Index < Count ? Index : 0; }

void ReadSettings()
{
  Settings = {};
  Settings.FullScreen = ConfigFlag("FullScreen");
  Settings.Mode = IndexOrZero(ConfigInt("Mode"), static_cast<int32_t>(std::size(DisplayModes)));
  Settings.Freq = IndexOrZero(ConfigInt("Freq"), static_cast<int32_t>(std::size(Frequencies)));
  Settings.Map = ConfigInt("Map");
  Settings.Cubes = ConfigFlag("Cubes");
  Settings.Keys3D = ConfigFlag("3DKeys");
}

// The map list is the configuration's own file: without it nothing can be played.
std::string MapListFile()
{
  const std::string Name = Config->GetValue("Maps");
  if (Name.empty())
    FatalError(ENOENT, "Runtime error " + std::to_string(ENOENT) +
                         ": the key \"Maps\" of config.ini names no map list file");
  return Name;
}

// The game that every pass opens with: the chosen set's first level, behind the menu.
void StartGameBehindMenu()
{
  GameInit();
  GameLoadMaps(MapListFile().c_str(), &MapList);
  Settings.Map = MapIndexOrFirst(Settings.Map);
  StartMapSet(Settings.Map);
  GameSetState(gsMenu);
}

// After a restart the game saved just before it replaces the fresh one.
void RestoreGameAfterRestart()
{
  if (FileExists(RestartSaveRead)) {
    GameLoad(RestartSaveRead);
    DeleteFileA(ResolveFileName(RestartSaveRead).c_str());  // a failure leaves the file; the pass goes on
  }
  GameSetState(gsMenu);
}

void CreateWindowOnce()
{
  if (Engine) return;
  Engine = TVeltraneEngine::Create(WndProc);
  Engine->SetCaption(WindowCaption);
}

void SetUpDisplay()
{
  const TDisplayMode &Mode = DisplayModes[Settings.Mode];
  ScreenWidth = Mode.Width;
  ScreenHeight = Mode.Height;
  ScreenBits = Mode.Bits;
  ScreenFreq = Frequencies[Settings.Freq];
  if (Settings.FullScreen) {
    Engine->SetStyle(WS_POPUP);
    Engine->SetDisplayMode(ScreenWidth, ScreenHeight, ScreenBits, ScreenFreq);  // refused: a maximised pop-up
    Engine->Maximize();
  } else {
    Engine->SetWidth(ScreenWidth);
    Engine->SetHeight(ScreenHeight);
    Engine->SetStyle(WS_OVERLAPPEDWINDOW);
    Engine->CentreOnScreen();  // the whole window in view, wherever the last pass left it
  }
}

void InitRenderer()
{
  const std::string Box = Config->GetValue("Box"), Wall = Config->GetValue("Wall"),
                    Dest = Config->GetValue("Dest"), Water = Config->GetValue("Water"),
                    Menu = Config->GetValue("Menu"), MenuBack = Config->GetValue("MenuBack"),
                    Floor = Config->GetValue("Floor");
  if (!Init(Engine, ScreenBits, Floor.c_str(), Box.c_str(), Wall.c_str(), Dest.c_str(), Water.c_str(),
            Menu.c_str(), MenuBack.c_str()))
    QuitFlag = RendererFailed = true;  // the renderer told why; the program ends in failure
}

const char *SetFile(int32_t Index) { return MapList.Items[Index].FileName; }

// The first set of the list whose file reads, or -1.
int32_t FirstReadableSet()
{
  for (int32_t I = 0; I < MapList.Count; ++I)
    if (ReadingError(SetFile(I)) == 0) return I;
  return -1;
}

// A set whose file does not read is no reason to end the game, nor to lose the
// one in progress: it is reported, and the first set that reads is played.
int32_t ReadableSetOrReport(int32_t Chosen)
{
  const int Error = ReadingError(SetFile(Chosen));
  if (Error == 0) return Chosen;
  const int32_t Other = FirstReadableSet();
  const std::string Instead = Other < 0 ? std::string(" No other map set can be opened either.")
                                        : " Playing \"" + std::string(SetFile(Other)) + "\" instead.";
  ReportError("The map set \"" + std::string(SetFile(Chosen)) + "\" cannot be opened: " + std::strerror(Error) +
              "." + Instead);
  return Other;
}

}  // namespace

void ReportError(const std::string &Text)
{
  std::fprintf(stderr, "%s\n", Text.c_str());
  std::fflush(stderr);
  ShowErrorBox(Text.c_str());
}

void ForgetHeldButton()
{
  // A button still held from a click on the previous screen (Apply, which may
  // have grown the window under the pointer) is not a press made in the menu.
  // The entry comes back with the next button-down.
  ForgetHeldKey(VK_LBUTTON);
}

int32_t MapIndexOrFirst(int32_t Index) { return IndexOrZero(Index, MapList.Count); }

void StartMapSet(int32_t Index)
{
  if (MapList.Count <= 0) return;  // no set to play: the menu stays, with nothing to continue
  const int32_t Set = ReadableSetOrReport(MapIndexOrFirst(Index));
  if (Set >= 0) GameNewGame(SetFile(Set));
  LevelStarted(0);
  LevelPlay.Set = Set;
}

int32_t SetOfLevelFile(const std::string &LevelFile)
{
  for (int32_t I = 0; I < MapList.Count; ++I)
    if (LevelFile == SetFile(I)) return I;
  return -1;
}

LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  switch (Msg) {
  case WM_KEYDOWN: {
    const UINT Key = PadKeyDown(static_cast<UINT>(WParam));
    const bool Repeat = (LParam & KeyWasDown) != 0;
    NoteKeyDown(Key, Repeat);
    NoteScreenKey(Key, Repeat);
    return 0;
  }
  case WM_KEYUP:
    NoteKeyUp(PadKeyUp(static_cast<UINT>(WParam)));
    return 0;
  // The buttons are latched as keys are: a click between two rule frames still counts.
  case WM_LBUTTONDOWN:
    NoteKeyDown(VK_LBUTTON, false);
    return 0;
  case WM_LBUTTONUP:
    NoteKeyUp(VK_LBUTTON);
    return 0;
  case WM_RBUTTONDOWN:
    NoteKeyDown(VK_RBUTTON, false);
    return 0;
  case WM_RBUTTONUP:
    NoteKeyUp(VK_RBUTTON);
    return 0;
  case WM_TIMER:
    if (Engine) Engine->UpdateFPS();
    return 0;
  case WM_CLOSE:
    if (Engine) Engine->Close();
    return 0;
  case WM_DESTROY:
    QuitFlag = true;
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
}

void SaveSettings()
{
  Config->SetValue("FullScreen", std::string(1, static_cast<char>('0' + EditSettings.FullScreen)));
  Config->SetValue("Mode", IntToText(EditSettings.Mode));
  Config->SetValue("Freq", IntToText(EditSettings.Freq));
  Config->SetValue("Map", IntToText(EditSettings.Map));
  Config->SetValue("Cubes", std::string(1, static_cast<char>('0' + EditSettings.Cubes)));
  Config->SetValue("3DKeys", std::string(1, static_cast<char>('0' + EditSettings.Keys3D)));
  SaveVolumes();
  Config->Save("Config.INI");  // the same file as "config.ini"; a failure ends the program
}

void BeginPass()
{
  if (!Config) Config = new TConf;
  Config->Load("config.ini");
  ReadSettings();
  Progress.Load(ProgressFile);
  if (ConfigFlag("Cubes")) InitCubes();
  const TLevelPlay Before = LevelPlay;
  StartGameBehindMenu();
  if (RestartFlag) {
    RestoreGameAfterRestart();
    // The same world comes back, and with it its steps, counters and level.
    LevelPlay = Before;
  }
  QuitFlag = false;
  RestartFlag = false;
  ForgetHeldButton();
  CreateWindowOnce();
  SetUpDisplay();
  ReadPaceSettings();
  BeginSound();
  SetTimer(Engine->Handle, FpsTimerId, FpsTimerPeriodMs, nullptr);
  InitRenderer();
  ShowCursor(FALSE);
}

void RunMainLoop()
{
  while (!QuitFlag) {
    Engine->ProcessMessage();
    ProcessFrame();
    if (RestartFlag) QuitFlag = true;
    else WaitForNextDrawnFrame();
  }
}

void EndPass()
{
  DeInit();
  Engine->RestoreDisplayMode();
}

void RunPass()
{
  BeginPass();
  RunMainLoop();
  EndPass();
}

void ShutDown()
{
  EndSound();
  delete Engine;  // the window, if still open, and its timer end with the process
  Engine = nullptr;
  FreeMaps(&MapList);
  if (Config && Config->HasKey("Cubes")) DeInitCubes();
  GameDeInit();
  delete Config;
  Config = nullptr;
}

int KestroveMain()
{
  Set8087CW(FloatControlWord);
  RouteFatalErrors(ReportFatalError);
  Config = new TConf;
  do
    RunPass();
  while (RestartFlag);
  ShutDown();
  return RendererFailed ? 1 : 0;
}

void ResetLauncherState()
{
  RouteFatalErrors(nullptr);
  delete Engine;
  Engine = nullptr;
  FreeMaps(&MapList);
  delete Config;
  Config = nullptr;
  std::memset(KeyState, 0, sizeof KeyState);
  MousePos = {};
  QuitFlag = RestartFlag = RendererFailed = false;
  Settings = EditSettings = {};
  ForgetLevelPlay();
  ForgetMousePlay();
  ForgetEditor();
  ForgetHints();
  ForgetOverlayState();
  ForgetPace();
  ForgetScreenKeys();
  ForgetSound();
  ScreenWidth = ScreenHeight = ScreenBits = ScreenFreq = 0;
}
