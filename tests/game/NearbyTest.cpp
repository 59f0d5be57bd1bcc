// Play asks the grid which objects can be near; the plain reading of the rules
// tests every object. From the same world both must leave the same world, byte
// for byte, after every frame: over every shipped recording, over random
// levels played at random, and over saved worlds holding any values at all.
#include "TestWorld.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <sstream>

#ifdef KESTROVE_RECORDINGS
#include "Recording.h"
#endif

namespace {

struct TWorldBytes {
  std::vector<TGameObject> Objects;
  TPlayer Player;
};

TWorldBytes Capture() { return TWorldBytes{world::Objects, world::Player}; }

// Assigning keeps the array where it is, so the grid built for it stays valid.
void Restore(const TWorldBytes &W)
{
  world::Objects = W.Objects;
  world::Player = W.Player;
}

std::string Describe(const TBox &B)
{
  std::ostringstream S;
  S.precision(17);
  S << "(" << B.x << "," << B.y << "," << B.z << " | " << B.sx << "," << B.sy << "," << B.sz << ")";
  return S.str();
}

std::string Describe(const TGameObject &O)
{
  std::ostringstream S;
  S.precision(17);
  S << "kind " << int(O.Kind) << " box " << Describe(O.Box) << " saved (" << O.SavedPos.x << "," << O.SavedPos.y
    << "," << O.SavedPos.z << ") on target " << O.OnTarget;
  return S.str();
}

::testing::AssertionResult SameWorld(const TWorldBytes &Plain, const TWorldBytes &Guided)
{
  if (std::memcmp(&Plain.Player, &Guided.Player, sizeof(TPlayer)) != 0)
    return ::testing::AssertionFailure() << "the player differs: every object " << Describe(Plain.Player.Box)
                                         << ", grid " << Describe(Guided.Player.Box);
  for (std::size_t K = 0; K < Plain.Objects.size(); ++K)
    if (std::memcmp(&Plain.Objects[K], &Guided.Objects[K], sizeof(TGameObject)) != 0)
      return ::testing::AssertionFailure() << "object " << K << " differs: every object "
                                           << Describe(Plain.Objects[K]) << "; grid " << Describe(Guided.Objects[K]);
  return ::testing::AssertionSuccess();
}

// Settles one frame both ways from the same world; the grid's result stays.
::testing::AssertionResult SettleBothWays()
{
  const TWorldBytes Before = Capture();
  ProcessPlayerAgainstEveryObject();
  const TWorldBytes Plain = Capture();
  Restore(Before);
  GameProcessPlayer();
  return SameWorld(Plain, Capture());
}

struct TCoverage {
  int32_t Covered = 0, Targets = 0;
};

[[maybe_unused]] TCoverage CountCovered()
{
  TCoverage C;
  for (const TGameObject &O : world::Objects) {
    if (O.Kind == okBox && O.OnTarget != 0) ++C.Covered;
    if (O.Kind == okTarget) ++C.Targets;
  }
  return C;
}

using NearbyTest = TWorldTest;

// ---- Shipped recordings --------------------------------------------------

#ifdef KESTROVE_RECORDINGS
using namespace Autopilot;

// The moves and turns the frame driver makes for held keys, up to the rules step.
void MoveAsKeysSay(TKeys Keys, bool Keys3D)
{
  if (Keys & kEsc) GameSetState(gsMenu);
  if (std::nearbyint(GameGetRotateAngle()) == 0) {
    GameRoundCurrAngle();
    const bool TurnBack = Keys3D ? (Keys & kLeft) : (Keys & kPgUp);
    const bool TurnOn = Keys3D ? (Keys & kRight) : (Keys & kPgDn);
    if (TurnBack) {
      GameRotate(-1);
      GameMovePlayer(0.0001f);
    }
    if (TurnOn) {
      GameRotate(1);
      GameMovePlayer(0.0001f);
    }
    if (Keys & kUp) GameMovePlayer(1.0f);
    if (Keys & kDown) GameMovePlayer(-1.0f);
    if ((Keys & kLeft) && !Keys3D) GameMovePlayerX(-1.0f);
    if ((Keys & kRight) && !Keys3D) GameMovePlayerX(1.0f);
  }
  GameProcessRotate();
}

TEST_F(NearbyTest, EveryRecordingPlaysAlikeFrameByFrame)
{
  namespace fs = std::filesystem;
  std::vector<fs::path> Files;
  for (const auto &Entry : fs::directory_iterator(KESTROVE_RECORDINGS))
    if (Entry.path().extension() == ".rec") Files.push_back(Entry.path());
  std::sort(Files.begin(), Files.end());
  ASSERT_FALSE(Files.empty());

  for (const fs::path &File : Files) {
    SCOPED_TRACE(File.filename().string());
    TRecording Recording;
    std::string Error;
    ASSERT_TRUE(LoadRecordingFile(File.string(), Recording, Error)) << Error;
    const std::string Level = (fs::path(KESTROVE_PACKED_LEVELS) / Recording.LevelFile).string();
    ASSERT_TRUE(fs::exists(Level)) << Level;
    GameInit();
    GameNewGame(Level.c_str());
    int32_t Index = Recording.LevelIndex;
    if (Index > 0) {
      ASSERT_TRUE(GameLoadMap(Level.c_str(), &Index));
    }

    const std::vector<TKeys> Frames = Recording.Frames();
    TCoverage Last;
    for (std::size_t F = 0; F < Frames.size(); ++F) {
      MoveAsKeysSay(Frames[F], Recording.Keys3D);
      Last = CountCovered();
      ASSERT_TRUE(SettleBothWays()) << "frame " << F + 1;
    }
    // The replay is faithful: the level is done in the recording's last frame.
    EXPECT_EQ(Last.Covered, Last.Targets);
  }
}
#endif

// ---- Random levels, random keys ------------------------------------------

class TRandom {
public:
  explicit TRandom(uint32_t Seed) : Engine(Seed) {}
  int Int(int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Engine); }
  double Real(double Lo, double Hi) { return std::uniform_real_distribution<double>(Lo, Hi)(Engine); }
  bool Chance(double P) { return Real(0, 1) < P; }
  template <class T> T Pick(std::initializer_list<T> Items) { return Items.begin()[Int(0, int(Items.size()) - 1)]; }

private:
  std::mt19937 Engine;
};

// A size a level file can say: not a line end nor the end-of-text mark.
int SayableSize(TRandom &R, int Lo, int Hi)
{
  int N;
  do N = R.Int(Lo, Hi);
  while (N == '\n' || N == '\r' || N == 26);
  return N;
}

TLevel RandomLevel(TRandom &R)
{
  const int W = SayableSize(R, 1, 40), H = SayableSize(R, 1, 40);
  const bool Walled = R.Chance(0.5);
  TLevel L;
  for (int N = 0; N < H; ++N) {
    std::string Row(W, ' ');
    for (int C = 0; C < W; ++C) {
      if (Walled && (N == 0 || C == 0 || N == H - 1 || C == W - 1)) Row[C] = '1';
      else Row[C] = R.Pick({' ', ' ', ' ', ' ', ' ', '1', '1', '2', '2', '2', '3', '3', '4', '5', '5', '0', '7'});
    }
    L.Rows.push_back(Row);
  }
  L.Rows[R.Int(0, H - 1)][R.Int(0, W - 1)] = '9';
  L.Width = W;
  L.Height = H;
  return L;
}

// Keys as a player might hold them, turns with their nudge, now and then a
// move of an odd size so that positions leave the steps' lattice.
void RandomMoves(TRandom &R)
{
  if (R.Chance(0.05)) {
    GameRotate(R.Pick({-1, 1, 2}));
    GameMovePlayer(0.0001f);
  }
  if (R.Chance(0.6)) GameMovePlayer(R.Pick({1.0f, 1.0f, -1.0f}));
  if (R.Chance(0.3)) GameMovePlayerX(R.Pick({1.0f, -1.0f}));
  if (R.Chance(0.03)) GameMovePlayer(static_cast<float>(R.Real(-4, 4)));
}

TEST_F(NearbyTest, RandomLevelsPlayAlike)
{
  TRandom R(20261209);
  for (int Round = 0; Round < 60; ++Round) {
    SCOPED_TRACE("level " + std::to_string(Round));
    GameInit();
    GameNewGame(WriteLevels({RandomLevel(R)}).c_str());
    ASSERT_EQ(GameGetState(), 0);
    for (int F = 0; F < 300; ++F) {
      RandomMoves(R);
      ASSERT_TRUE(SettleBothWays()) << "frame " << F + 1;
    }
  }
}

// ---- Saved worlds holding anything ---------------------------------------

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// A coordinate near the cluster, or now and then one no level holds.
double Coordinate(TRandom &R, double Lo, double Hi)
{
  if (R.Chance(0.04)) return R.Pick({NaN, Inf, -Inf, 1e300, -1e300, 1e5, -3e4, 2047.5});
  return R.Chance(0.5) ? std::floor(R.Real(Lo, Hi)) + 0.05 : R.Real(Lo, Hi);
}

double Extent(TRandom &R)
{
  if (R.Chance(0.03)) return R.Pick({NaN, Inf, 1e300, -0.5, 0.0, 30.0});
  return R.Pick({0.9, 0.9, 0.9, 1.0, 1.0, 0.7, 0.3, 1.6});
}

TGameObject RandomObject(TRandom &R)
{
  TGameObject O;
  std::memset(&O, 0, sizeof O);
  O.Kind = R.Pick<uint8_t>({okWall, okBox, okBox, okBox, okTarget, okWater, okInert, 4, 200});
  O.Box = TBox{Coordinate(R, 0, 8), Coordinate(R, 0, 8), R.Chance(0.9) ? 0.0 : Coordinate(R, -1, 1),
               Extent(R), Extent(R), Extent(R)};
  // Where the box stood before its last push: here, a step off, anywhere.
  switch (R.Int(0, 3)) {
  case 0: O.SavedPos = TPoint3{O.Box.x, O.Box.y, O.Box.z}; break;
  case 1: O.SavedPos = TPoint3{O.Box.x + R.Pick({0.1, -0.1, 0.0}), O.Box.y + R.Pick({0.1, -0.1, 0.0}), O.Box.z}; break;
  default: O.SavedPos = TPoint3{Coordinate(R, -1, 9), Coordinate(R, -1, 9), R.Chance(0.9) ? 0.0 : NaN}; break;
  }
  O.OnTarget = R.Int(0, 1);
  return O;
}

TPlayer RandomPlayer(TRandom &R)
{
  TPlayer P;
  std::memset(&P, 0, sizeof P);
  const double X = Coordinate(R, -1, 9), Y = Coordinate(R, -1, 9);
  P.Box = TBox{X, Y, 0.0, R.Chance(0.9) ? 0.7 : Extent(R), R.Chance(0.9) ? 0.7 : Extent(R), 0.7};
  P.PrevPos = R.Chance(0.7) ? TPoint3{X, Y, 0.0} : TPoint3{Coordinate(R, -1, 9), Coordinate(R, -1, 9), 0.0};
  P.Direction = static_cast<uint8_t>(R.Int(0, 255));
  P.Step = R.Pick({0.1f, 0.1f, 0.25f, 1.0f, 0.05f});
  return P;
}

template <class T> void Append(std::string &Out, const T &V) { Out.append(reinterpret_cast<const char *>(&V), sizeof V); }

// The bytes of a save file: player, field size, level file name, objects.
std::string SaveFileBytes(const TPlayer &P, int32_t W, int32_t H, const std::vector<TGameObject> &Objects)
{
  std::string S;
  Append(S, P);
  Append(S, W);
  Append(S, H);
  Append(S, int32_t(0));
  Append(S, static_cast<int32_t>(Objects.size()));
  for (const TGameObject &O : Objects) Append(S, O);
  return S;
}

TGameObject BoxAt(double X, double Y, double SavedX, double SavedY, int32_t OnTarget = 0)
{
  TGameObject O;
  std::memset(&O, 0, sizeof O);
  O.Kind = okBox;
  O.Box = TBox{X, Y, 0.0, 0.9, 0.9, 0.9};
  O.SavedPos = TPoint3{SavedX, SavedY, 0.0};
  O.OnTarget = OnTarget;
  return O;
}

// A box that is put back lands where it stood before its last push, which may
// be far from where it stands now: here, on the player, later in index order
// than the box whose push put it back. The frame must still meet it there.
TEST_F(NearbyTest, BoxPutBackOntoThePlayerIsMetInTheSameFrame)
{
  TPlayer P{};
  P.Box = TBox{1.15, 1.15, 0.0, 0.7, 0.7, 0.7};
  P.PrevPos = TPoint3{1.15, 1.15, 0.0};
  P.Step = 0.1f;
  const std::vector<TGameObject> Objects = {
      BoxAt(1.9, 1.05, 1.9, 1.05),        // pushed by the player's step along x
      BoxAt(2.85, 1.05, 2.85, 1.05),      // stops that push: the player is held back
      BoxAt(2.0, 1.9, 1.2, 1.2, 1)};      // meets the put-back box and is put back onto the player
  GameLoad(WriteFile("putback.sav", SaveFileBytes(P, 5, 5, Objects)).c_str());
  GameMovePlayerX(1.0f);
  ASSERT_TRUE(SettleBothWays());
  EXPECT_EQ(Obj(2).Box.x, 1.2);
  EXPECT_EQ(Obj(2).OnTarget, 0); // pushed (by nothing) where it landed, so its mark is decided again
}

TEST_F(NearbyTest, SavedWorldsHoldingAnythingPlayAlike)
{
  TRandom R(1205);
  for (int Round = 0; Round < 400; ++Round) {
    SCOPED_TRACE("world " + std::to_string(Round));
    std::vector<TGameObject> Objects(static_cast<std::size_t>(R.Int(1, 90)));
    for (TGameObject &O : Objects) O = RandomObject(R);
    const TPlayer P = RandomPlayer(R);
    // Any field a level can have (a larger one is a damaged save), objects anywhere in or out of it.
    GameLoad(WriteFile("any.sav", SaveFileBytes(P, R.Int(0, 255), R.Int(0, 255), Objects)).c_str());
    ASSERT_EQ(GameGetObjects().Count, static_cast<int32_t>(Objects.size()));
    for (int F = 0; F < 60; ++F) {
      RandomMoves(R);
      ASSERT_TRUE(SettleBothWays()) << "frame " << F + 1;
    }
  }
}

} // namespace
