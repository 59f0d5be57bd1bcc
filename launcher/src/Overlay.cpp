// Overlay.cpp -- the play screen's overlay, confirmations, the level card and
// the level chooser.
#include "Overlay.h"

#include "Editor.h"
#include "Files.h"
#include "Kestrove.h"
#include "LauncherInternal.h"
#include "LevelFile.h"
#include "LevelPlay.h"
#include "ScreenKeys.h"
#include "Sound.h"
#include "Text.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <vector>

TPlayerProgress Progress;

namespace {

struct TTimedText {
  std::string Text;
  uint64_t Since = 0, Length = 0;
};

// The levels solved since the set was started, and what they took.
struct TSetRun {
  int32_t Levels = 0, Moves = 0, Pushes = 0, Seconds = 0;
  bool Finished = false;  // its last level solved: nothing to continue
};

struct TFinishedPage {
  bool Open = false;
  uint64_t Since = 0;
  uint8_t Held[256] = {};  // keys down when it opened: no press made on it
};

struct TChooser {
  bool Open = false;
  TChooserPlace Place;
  int32_t Set = -1;  // the set shown; -1: the one the settings chose
  std::string SetName;
  std::vector<std::string> Titles;
  std::vector<TChooserItem> Items;  // their titles point into Titles
};

TTimedText Message, Card;
TChooser Chooser;
TSetRun SetRun;
TFinishedPage FinishedPage;

uint64_t NowMs()
{
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Shows at once and fades out over the last 0.3 s; 0 once over.
float Alpha(const TTimedText &T)
{
  if (T.Text.empty()) return 0;
  const uint64_t Age = NowMs() - T.Since;
  return Age >= T.Length ? 0 : std::min(1.0f, float(T.Length - Age) / 300.0f);
}

void Show(TTimedText &T, const std::string &Text, uint64_t Length) { T = {Text, NowMs(), Length}; }

std::string Counted(int32_t N, const char *One, const char *More) { return std::to_string(N) + " " + (N == 1 ? One : More); }

const char *SetFileOf(int32_t Set) { return Set >= 0 && Set < MapList.Count ? MapList.Items[Set].FileName : nullptr; }
const char *SetTitleOf(int32_t Set) { return Set >= 0 && Set < MapList.Count ? MapList.Items[Set].Title : nullptr; }

// The levels of one level file: their count and titles, read once per file.
struct TSetLevels {
  std::string File;
  int32_t Count = 0;
  std::vector<std::string> Titles;  // "" for a level without one
};
TSetLevels Levels;

const TSetLevels &LevelsOf(const char *LevelFile)
{
  static const TSetLevels None;
  if (!LevelFile) return None;  // the cache stays for the set that comes back
  if (Levels.File == LevelFile) return Levels;
  Levels = TSetLevels{LevelFile, 0, {}};
  std::ifstream In(ResolveFileName(LevelFile), std::ios::binary);
  const std::string Bytes{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
  TTextLines Lines(Bytes);
  TLevelFileReader Reader(Lines);
  Levels.Count = Reader.ReadCount().value_or(0);
  for (int32_t I = 0; I < Levels.Count; ++I) {
    std::string Fields;
    const TLevelHeader Header = Reader.ReadHeader(&Fields).value_or(TLevelHeader{});
    Levels.Titles.push_back(LevelHeaderField(Fields, "Title"));
    for (int R = 0; R < Header.Height; ++R) Reader.ReadRow(0);
  }
  return Levels;
}

// "Level 3: Porch", or "Level 3" for a level without a title.
std::string LevelName(const char *LevelFile, int32_t Index)
{
  const TSetLevels &Set = LevelsOf(LevelFile);
  const std::string Number = "Level " + std::to_string(Index + 1);
  const bool Titled = Index >= 0 && Index < int32_t(Set.Titles.size()) && !Set.Titles[size_t(Index)].empty();
  return Titled ? Number + ": " + Set.Titles[size_t(Index)] : Number;
}

std::string CardText(int32_t Level, int32_t Moves, int32_t Pushes, const TBest &Before)
{
  std::string T = "Level " + std::to_string(Level + 1) + " complete: " + Counted(Moves, "move", "moves") + ", " +
                  Counted(Pushes, "push", "pushes");
  if (!Before.HasBest()) return T;
  if (Moves < Before.Moves) return T + " (a new best; it was " + std::to_string(Before.Moves) + ")";
  return T + " (best " + std::to_string(Before.Moves) + ")";
}

std::string HintedCardText(int32_t Level, int32_t Moves, int32_t Pushes)
{
  return "Level " + std::to_string(Level + 1) + " solved with hints: " + Counted(Moves, "move", "moves") + ", " +
         Counted(Pushes, "push", "pushes") + "; not counted as a best";
}

std::string UncountedCardText(bool LevelKnown, int32_t Level)
{
  return (LevelKnown ? "Level " + std::to_string(Level + 1) + " solved" : std::string("Solved")) +
         "; not counted as a best: continued from an old save";
}

int32_t ChosenSet() { return Chooser.Set >= 0 ? Chooser.Set : MapIndexOrFirst(TextToInt(Config->GetValue("Map"))); }

void FillChooser()
{
  const int32_t Set = ChosenSet();
  const char *File = SetFileOf(Set);
  Chooser.SetName = SetTitleOf(Set) ? SetTitleOf(Set) : "";
  const int32_t Count = LevelsOf(File).Count;
  Chooser.Titles.clear();
  Chooser.Items.clear();
  for (int32_t I = 0; I < Count; ++I) Chooser.Titles.push_back(LevelName(File, I));
  for (int32_t I = 0; I < Count; ++I) {
    const TBest B = Progress.Best(File, I);
    Chooser.Items.push_back({Chooser.Titles[I].c_str(), B.Moves, B.Pushes, B.Seconds, uint8_t(B.Solved),
                             uint8_t(B.Hinted), {}});
  }
}

// The chosen set from its first level, then on to the one picked: the rules
// count the levels as they go, so the next level after it is its successor.
void StartLevel(int32_t Level)
{
  StartMapSet(ChosenSet());
  SetRunStarted();
  for (int32_t I = 0; I < Level && GameGetState() == gsPlay; ++I) GameNextLevel();
  if (GameGetState() != gsPlay) return;  // the set ended early: the menu stays
  const int32_t Set = LevelPlay.Set;
  LevelStarted(Level);
  LevelPlay.Set = Set;
  Chooser.Open = false;
}

}  // namespace

void ShowMessage(const std::string &Text) { Show(Message, Text, MessageMs); }

void TellLevelSolved()
{
  if (LevelPlay.Solved || !LevelPlay.SeenUnsolved) return;  // told already, or solved as it came
  LevelPlay.Solved = true;
  const char *File = LevelPlay.LevelKnown ? SetFileOf(LevelPlay.Set) : nullptr;
  if (LevelPlay.FromOldSave) {
    if (File && LevelPlay.HintsUsed) Progress.RecordHinted(File, LevelPlay.LevelIndex);
    else if (File) Progress.RecordSolved(File, LevelPlay.LevelIndex);
    Show(Card, UncountedCardText(LevelPlay.LevelKnown, LevelPlay.LevelIndex), CardMs);
    return;
  }
  if (LevelPlay.HintsUsed) {  // its moves were made, and count in the run; a best is the player's own
    if (File) Progress.RecordHinted(File, LevelPlay.LevelIndex);
    Show(Card, HintedCardText(LevelPlay.LevelIndex, LevelPlay.Moves, LevelPlay.Pushes), CardMs);
  } else {
    const TBest Before = File ? Progress.Record(File, LevelPlay.LevelIndex, LevelPlay.Moves, LevelPlay.Pushes,
                                                LevelSeconds())
                              : TBest{};
    Show(Card, CardText(LevelPlay.LevelIndex, LevelPlay.Moves, LevelPlay.Pushes, Before), CardMs);
  }
  ++SetRun.Levels;
  SetRun.Moves += LevelPlay.Moves;
  SetRun.Pushes += LevelPlay.Pushes;
  SetRun.Seconds += LevelSeconds();
}

void SetRunStarted() { SetRun = {}; }

void TellIfSetFinished()
{
  // The menu also follows a level that does not load: only past the last one is the set done.
  const int32_t Count = LevelsOf(SetFileOf(LevelPlay.Set)).Count;
  if (GameGetState() != gsMenu || Count <= 0 || LevelPlay.LevelIndex < Count) return;
  SetRun.Finished = true;
  Card = {};  // the page tells it
  FinishedPage.Open = true;
  FinishedPage.Since = NowMs();
  std::copy(std::begin(KeyState), std::end(KeyState), std::begin(FinishedPage.Held));
}

bool FinishedPageOpen() { return FinishedPage.Open; }

void FinishedPageFrame()
{
  const TSetFinished Page{SetTitleOf(LevelPlay.Set), SetRun.Levels, SetRun.Moves, SetRun.Pushes, SetRun.Seconds};
  DrawSetFinished(&Page);
  bool Pressed = false;
  for (size_t K = 0; K < std::size(KeyState); ++K) {
    if (!KeyState[K]) FinishedPage.Held[K] = 0;
    else if (!FinishedPage.Held[K]) {
      Pressed = true;
      KeyState[K] = 0;  // taken by the page: a click here chooses nothing on the menu
    }
  }
  if (Pressed || NowMs() - FinishedPage.Since >= FinishedPageMs) FinishedPage.Open = false;
}

bool ContinueRefused()
{
  if (!SetRun.Finished) return false;
  ShowMessage("This set is finished: press L to pick a level, or choose another set in Settings");
  return true;
}

void DrawFrameOverlay(bool InPlay)
{
  TickClock(InPlay);
  LevelPlay.Overview = InPlay && KeyState[VK_OVERVIEW] != 0;
  // A save that did not say which level it holds shows no level's title.
  const std::string Level = LevelPlay.LevelKnown ? LevelName(SetFileOf(LevelPlay.Set), LevelPlay.LevelIndex) : "";
  const float MessageAlpha = Alpha(Message), CardAlpha = Alpha(Card);
  TOverlay O = {};
  O.SetName = SetTitleOf(LevelPlay.Set);
  O.LevelName = InPlay ? Level.c_str() : nullptr;
  O.Moves = LevelPlay.Moves;
  O.Pushes = LevelPlay.Pushes;
  O.Seconds = LevelSeconds();
  O.Overview = LevelPlay.Overview ? 1.0f : 0.0f;
  O.Message = MessageAlpha > 0 ? Message.Text.c_str() : nullptr;
  O.Card = CardAlpha > 0 ? Card.Text.c_str() : nullptr;
  O.MessageAlpha = MessageAlpha;
  O.CardAlpha = CardAlpha;
  DrawOverlay(&O);
}

bool ChooserOpen() { return Chooser.Open; }

void OpenChooser() { OpenChooserOn(-1, -1); }

void OpenChooserOn(int32_t Set, int32_t Level)
{
  Levels = {};  // the editor may have changed a set since it was read
  Chooser.Set = Set < MapList.Count ? Set : -1;
  FillChooser();
  Chooser.Open = true;
  Chooser.Place = ChooserPlaceAt(Level >= 0 ? Level : LevelPlay.Set == ChosenSet() ? LevelPlay.LevelIndex : 0);
  ShowMessage("E edits the level highlighted, N makes a new one");
}

namespace {

void ReadEditorKeys(int32_t Highlighted, int32_t High)
{
  const auto Pressed = [](unsigned Key) { return KeyState[Key] ? (KeyState[Key] = 0, true) : false; };
  if (Pressed(VK_NEWLEVEL)) {
    OpenEditorOnNewLevel();
    Chooser.Open = false;
  } else if (Pressed(VK_EDIT)) {
    if (Highlighted < 0 || Highlighted > High) ShowMessage("The set has no level to edit: N makes a new one");
    else if (OpenEditorOn(SetFileOf(ChosenSet()), Highlighted)) Chooser.Open = false;
  }
}

}  // namespace

void ChooserFrame()
{
  const int32_t High = static_cast<int32_t>(Chooser.Items.size()) - 1;
  TChooserPlace &Place = Chooser.Place;
  const TChooserAction Action = ChooserKeys(Place, High + 1, HearScreenKeys(TakeScreenKeys()));
  const int32_t Hit = ProcessChooser(&MousePos, Chooser.SetName.c_str(), Chooser.Items.data(), High, Place.First);
  ChooserPointedAt(Place, Hit);
  HearItemUnder(Hit == chNone ? NoItemUnder : Hit);
  if (KeyState[VK_ESCAPE] || Action == TChooserAction::Back) {
    KeyState[VK_ESCAPE] = 0;  // leaves the chooser, not the menu's next frame
    Chooser.Open = false;
    return;
  }
  ReadEditorKeys(Place.Level, High);
  if (Action == TChooserAction::Play && Chooser.Open) StartLevel(Place.Level);
  if (!KeyState[VK_LBUTTON] || !Chooser.Open) return;
  KeyState[VK_LBUTTON] = 0;  // one press, one choice
  if (Hit != chNone) PlaySound(sound::ESound::Click);
  switch (Hit) {
  case chBack: Chooser.Open = false; break;
  case chPreviousPage: Place.First = std::max(0, Place.First - ChooserPage); break;
  case chNextPage: Place.First = std::min(std::max(High, 0), Place.First + ChooserPage); break;
  default:
    if (Hit >= 0 && Hit <= High) StartLevel(Hit);
    break;
  }
}

void ForgetOverlayState()
{
  Message = Card = {};
  Chooser = {};
  SetRun = {};
  FinishedPage = {};
  Levels = {};
  Progress = {};
}
