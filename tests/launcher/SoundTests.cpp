// The effects of play as a player hears them: each at its event, once, panned
// towards where it happens, and none from the menu's frames.
#include "LauncherFixture.h"

#include "LevelPlay.h"
#include "Sound.h"

#include <algorithm>
#include <functional>

namespace {

using sound::ESound;

struct TCue {
  ESound Sound;
  float Pan;
};

void ReleaseAllKeys() { std::fill(std::begin(KeyState), std::end(KeyState), 0); }

double BoxX()
{
  const TObjArray Objects = GameGetObjects();
  for (int32_t I = 0; I < Objects.Count; ++I)
    if (Objects.Items[I].Kind == okBox) return Objects.Items[I].Box.x;
  return -1;
}

class SoundTest : public LauncherTest {
protected:
  std::vector<TCue> Cues;

  void SetUp() override
  {
    LauncherTest::SetUp();
    SetSoundObserver([this](ESound Sound, float Pan) { Cues.push_back({Sound, Pan}); });
  }

  // The first level of those given, in play, keys released and the world settled.
  void PlayLevels(const std::vector<std::vector<std::string>> &Levels, const std::vector<std::string> &Config = {})
  {
    Write("maps.ini", "s.lvl=Sounds\n");
    Write("s.lvl", LevelSet(Levels));
    WriteConfig(Config);
    BeginFramesInMenu();
    GameSetState(gsPlay);
    Frames(5);
    Cues.clear();
  }
  void PlayLevel(const std::vector<std::string> &Rows, const std::vector<std::string> &Config = {})
  {
    PlayLevels({Rows}, Config);
  }

  void Frames(int N)
  {
    for (int I = 0; I < N; ++I) Frame();
  }

  // Holds Key, frame by frame, until Done holds (at most 400 frames).
  void HoldUntil(UINT Key, const std::function<bool()> &Done)
  {
    KeyState[Key] = 1;
    for (int I = 0; I < 400 && !Done(); ++I) Frame();
    ASSERT_TRUE(Done());
    ReleaseAllKeys();
  }

  int Count(ESound Sound) const
  {
    return int(std::count_if(Cues.begin(), Cues.end(), [&](const TCue &C) { return C.Sound == Sound; }));
  }
  const TCue *First(ESound Sound) const
  {
    const auto It = std::find_if(Cues.begin(), Cues.end(), [&](const TCue &C) { return C.Sound == Sound; });
    return It == Cues.end() ? nullptr : &*It;
  }
};

// Walking right into a box: footsteps, then the scrape as the box starts to
// slide (from the right), the chime as it comes onto its mark, and the set's
// phrase alone as its only level is solved.
TEST_F(SoundTest, PushScrapesAndAMarkChimes)
{
  PlayLevel({"      ", " 9 23 ", "      "});
  HoldUntil(VK_RIGHT, [] { return BoxX() > 3.2; });
  EXPECT_GE(Count(ESound::Step), 2) << "a footstep every half cell of the walk";
  ASSERT_EQ(Count(ESound::Scrape), 1) << "one scrape as the box starts";
  EXPECT_GT(First(ESound::Scrape)->Pan, 0.0f) << "the box lies right of the player";
  EXPECT_EQ(Count(ESound::MarkOn), 0);

  KeyState[VK_RIGHT] = 1;
  Frames(30);
  ReleaseAllKeys();
  Frames(5);
  EXPECT_EQ(Count(ESound::MarkOn), 1);
  EXPECT_EQ(Count(ESound::SetDone), 1);
  EXPECT_EQ(Count(ESound::Solved), 0);
  EXPECT_EQ(Count(ESound::MarkOff), 0);
  EXPECT_EQ(Count(ESound::Bump), 0) << "the push never stopped the player";
}

// A level solved with more to come: the short phrase.
TEST_F(SoundTest, ALevelSolvedBeforeTheSetsEndPlaysTheShortPhrase)
{
  PlayLevels({{" 9 23"}, {" 9 23"}});
  HoldUntil(VK_RIGHT, [] { return LevelPlay.LevelIndex == 1; });
  Frames(5);
  EXPECT_EQ(Count(ESound::Solved), 1);
  EXPECT_EQ(Count(ESound::SetDone), 0);
}

// Pushing a box off its mark: the lower note.
TEST_F(SoundTest, LeavingAMarkSoundsItsOwnNote)
{
  PlayLevel({"       ", " 9 4  3", "       "});
  HoldUntil(VK_RIGHT, [] { return BoxX() > 4.2; });
  EXPECT_EQ(Count(ESound::MarkOff), 1);
}

TEST_F(SoundTest, FillingWaterSplashesOnce)
{
  PlayLevel({"         ", " 9 2 5  3", "         "});
  HoldUntil(VK_RIGHT, [] { return BoxX() < 0; });  // the box is gone into the water
  Frames(20);
  ReleaseAllKeys();
  EXPECT_EQ(Count(ESound::Splash), 1);
}

// Held against a wall the player bumps once; let go and pushed again, once more.
TEST_F(SoundTest, BumpIntoAWallOncePerPress)
{
  PlayLevel({"     ", " 91 3", "     "});
  KeyState[VK_RIGHT] = 1;
  Frames(40);
  EXPECT_EQ(Count(ESound::Bump), 1);
  ReleaseAllKeys();
  Frames(3);
  KeyState[VK_RIGHT] = 1;
  Frames(40);
  ReleaseAllKeys();
  EXPECT_EQ(Count(ESound::Bump), 2);
}

// A box against a wall does not move: the player bumps, and nothing scrapes.
TEST_F(SoundTest, ABoxThatCannotMoveIsABump)
{
  PlayLevel({"      ", " 921 3", "      "});
  KeyState[VK_RIGHT] = 1;
  Frames(40);
  ReleaseAllKeys();
  EXPECT_EQ(Count(ESound::Bump), 1);
  EXPECT_EQ(Count(ESound::Scrape), 0);
}

// Undo blips, and the jump back is no walk, push or mark.
TEST_F(SoundTest, UndoBlipsAndItsJumpIsSilent)
{
  PlayLevel({"       ", " 9 2 3 ", "       "});
  HoldUntil(VK_RIGHT, [] { return BoxX() > 3.5; });
  Frames(20);
  Cues.clear();
  KeyState[VK_UNDO] = 1;
  Frame();
  ReleaseAllKeys();
  Frames(10);
  ASSERT_EQ(Cues.size(), 1u);
  EXPECT_EQ(Cues[0].Sound, ESound::Undo);
  KeyState[VK_REDO] = 1;
  Frame();
  ReleaseAllKeys();
  Frames(10);
  KeyState[VK_RESTART] = 1;
  Frame();
  ReleaseAllKeys();
  Frames(10);
  EXPECT_EQ(Count(ESound::Undo), 3) << "redo and restart blip too";
  EXPECT_EQ(Count(ESound::Undo), int(Cues.size()));
}

TEST_F(SoundTest, AQuarterTurnSwishesOnce)
{
  PlayLevel({"  2 3", " 9   ", "     "}, {"3DKeys=0"});
  KeyState[VK_NEXT] = 1;
  Frame();
  ReleaseAllKeys();
  Frames(40);
  EXPECT_EQ(Count(ESound::Swish), 1);
  EXPECT_EQ(Count(ESound::Step), 0) << "a turn's nudge is no footstep";
}

// In the menu the movement keys play nothing, nor does the world behind it.
TEST_F(SoundTest, TheMenuPlaysNothingOfPlay)
{
  PlayLevel({"      ", " 9 23 ", "      "});
  GameSetState(gsMenu);
  Frames(2);
  Cues.clear();
  for (const UINT Key : {UINT(VK_RIGHT), UINT(VK_UP), UINT(VK_NEXT), UINT(VK_UNDO)}) {
    KeyState[Key] = 1;
    Frames(10);
    ReleaseAllKeys();
  }
  EXPECT_TRUE(Cues.empty());
}

// The menu's items click as the pointer comes onto them, not while it rests.
TEST_F(SoundTest, MenuItemsClickOnHover)
{
  PlayLevel({"      ", " 9 23 ", "      "});
  GameSetState(gsMenu);
  Frames(2);
  Cues.clear();
  HearItemUnder(miNewGame);
  HearItemUnder(miNewGame);
  HearItemUnder(NoItemUnder);
  HearItemUnder(miExit);
  EXPECT_EQ(Count(ESound::Click), 2);
}

}  // namespace

namespace {

// The volumes edited on the settings page: kept in config.ini by Apply and in
// force in the next pass; a volume out of 0..10 in the file is held to it.
TEST_F(SoundTest, ApplyKeepsTheVolumes)
{
  WriteStandardWorld();
  WriteConfig({"SoundVolume=25", "MusicVolume=-3"});
  BeginFramesInMenu();
  EXPECT_EQ(Volumes.Sound, 10);
  EXPECT_EQ(Volumes.Music, 0);
  GameSetState(gsSettings);
  EditSettings = Settings;
  EditVolumes = {6, 1};
  RecordingGraph::QueueSettingsResults({srApply});
  Frame();
  ASSERT_TRUE(RestartFlag);
  EXPECT_EQ(CountOf("SetVolumes"), 1);
  EndPass();
  BeginPass();
  EXPECT_EQ(Volumes.Sound, 6);
  EXPECT_EQ(Volumes.Music, 1);
}

}  // namespace
