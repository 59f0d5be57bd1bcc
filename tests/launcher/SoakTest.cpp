// A long run of seeded random input through the real frame driver and the
// real rules library over the shipped levels: play keys, Escape, and the menu's
// New game, Continue, Save, Load and Settings (applied, with its restart, or
// left). Every frame the world must hold together: objects neither appear nor
// vanish within a level, only boxes and water turn inert, no position is NaN,
// and the restart's temporary save is gone. KESTROVE_SOAK_FRAMES sets the
// length (200,000 frames unless set), KESTROVE_SOAK_SEED the seed.
#include "LauncherFixture.h"

#include <cmath>
#include <cstdlib>
#include <random>

namespace {

const std::set<std::string> LevelChanges = {"GameInit", "GameNewGame", "GameNextLevel", "GameLoad"};

long FromEnvironment(const char *Name, long Default)
{
  const char *Text = std::getenv(Name);
  return Text && *Text ? std::atol(Text) : Default;
}

bool Finite(const TBox &B)
{
  return std::isfinite(B.x) && std::isfinite(B.y) && std::isfinite(B.z) && std::isfinite(B.sx) &&
         std::isfinite(B.sy) && std::isfinite(B.sz);
}

bool MayBecome(uint8_t From, uint8_t To)
{
  return From == To || (To == okInert && (From == okBox || From == okWater));
}

}  // namespace

class SoakTest : public LauncherTest {
protected:
  void CopyShippedLevels() const
  {
    for (const auto &Entry : fs::directory_iterator(KESTROVE_LEVELS_DIR))
      fs::copy_file(Entry.path(), Dir / Entry.path().filename());
    fs::copy_file(fs::path(KESTROVE_DATA_DIR) / "maps.ini", Dir / "maps.ini");
  }

  // The world as last checked, and whether a level was (re)built since.
  std::vector<uint8_t> Kinds;
  bool Rebuilt = true;
  // The frame that applies the settings saves the game for the restart after it.
  bool Applying = false;

  void CheckWorld()
  {
    const TObjArray Objects = GameGetObjects();
    const TPlayer Player = GameGetPlayer();
    ASSERT_TRUE(Finite(Player.Box)) << "the player's position is not a number";
    for (int32_t I = 0; I < Objects.Count; ++I) ASSERT_TRUE(Finite(Objects.Items[I].Box)) << "object " << I;
    if (!Rebuilt) {
      ASSERT_EQ(size_t(Objects.Count), Kinds.size()) << "objects appeared or vanished within a level";
      for (int32_t I = 0; I < Objects.Count; ++I)
        ASSERT_TRUE(MayBecome(Kinds[I], Objects.Items[I].Kind))
            << "object " << I << " turned from kind " << int(Kinds[I]) << " to " << int(Objects.Items[I].Kind);
    }
    Kinds.assign(Objects.Count, 0);
    for (int32_t I = 0; I < Objects.Count; ++I) Kinds[I] = Objects.Items[I].Kind;
    Rebuilt = false;
    ASSERT_FALSE(!Applying && (Exists("Temp.DAT") || Exists("Temp.Dat"))) << "the restart's save remained";
  }
};

TEST_F(SoakTest, RandomInputThroughTheFrameDriverKeepsTheWorldWhole)
{
  CopyShippedLevels();
  WriteConfig({"Map=0", "SaveFile=s.dat", "3DKeys=0", "Cubes=1"});
  const long Total = FromEnvironment("KESTROVE_SOAK_FRAMES", 200000);
  std::mt19937 Rng(static_cast<uint32_t>(FromEnvironment("KESTROVE_SOAK_SEED", 20261209)));
  const auto Chance = [&](int OneIn) { return Rng() % OneIn == 0; };
  RecordingGraph::SetSettingsEditor([&](TSettings &Edit) {
    Edit.Map = int32_t(Rng() % 3);
    Edit.Keys3D = int32_t(Rng() % 2);
  });

  long Frames = 0, Clicks = 0, Restarts = 0;
  bool Saved = false, Done = false;
  uint8_t Held = 0;  // the play keys held, as bits
  const UINT PlayKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT};
  OnCall = [&](const RecordingGraph::TCall &C) {
    if (LevelChanges.count(C.Name)) Rebuilt = true;
    if (C.Name == "GameLoad" && !C.Args.empty() && C.Args[0] == "Temp.DAT") ++Restarts;
    if (C.Name == "GameSave" && !C.Args.empty() && C.Args[0] == "Temp.Dat") Applying = true;
    if (C.Name != "EndDraw") return;
    ClearLogs();  // the logs would grow with every frame
    if (!Done) {
      CheckWorld();
      if (HasFatalFailure()) std::printf("the world broke in frame %ld\n", Frames);
    }
    Applying = false;
    std::fill(std::begin(KeyState), std::end(KeyState), 0);
    if (++Frames >= Total || HasFatalFailure()) {  // out through the menu
      Done = true;
      RecordingGraph::SetMenuDefault(miExit);
      RecordingGraph::SetSettingsDefault(srBack);
    }
    switch (GameGetState()) {
    case gsPlay:
      if (Chance(8)) Held = uint8_t(Rng() & 0x3f);
      for (int K = 0; K < 6; ++K) KeyState[PlayKeys[K]] = (Held >> K) & 1;
      KeyState[VK_ESCAPE] = Done || Chance(150);
      break;
    case gsMenu:
      if (Done) {
        KeyState[VK_LBUTTON] = 1;
      } else if (Chance(10)) {
        const int32_t Items[] = {miNewGame, miNewGame, miContinue, miSave, miLoad, miSettings};
        int32_t Item = Items[Rng() % 6];
        if (Item == miLoad && !Saved) Item = miSave;  // nothing to load yet
        Saved = Saved || Item == miSave;
        RecordingGraph::QueueMenuResults({Item});
        KeyState[VK_LBUTTON] = 1;
        ++Clicks;
      }
      break;
    case gsSettings:
      RecordingGraph::QueueSettingsResults({Chance(2) ? srApply : srBack});
      break;
    }
  };
  EXPECT_EQ(KestroveMain(), 0);
  EXPECT_GE(Frames, Total);
  ASSERT_LT(Frames, Total + 100) << "the run did not end through the menu";
  RecordProperty("clicks", std::to_string(Clicks));
  RecordProperty("restarts", std::to_string(Restarts));
  std::printf("%ld frames, %ld menu clicks, %ld restarts\n", Frames, Clicks, Restarts);
}
