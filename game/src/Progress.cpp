// Game progress: starting a set, moving through its levels, the screen state,
// and save files (the player, the field size, the level file's name and the
// objects, byte for byte, little-endian, no header).
#include "World.h"

#include "Files.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <cstdint>

using namespace world;

static_assert(std::endian::native == std::endian::little, "save files are little-endian");

namespace {

constexpr std::size_t PlayerBytes = sizeof(TPlayer);
constexpr std::size_t ObjectBytes = sizeof(TGameObject);

// After a level or a saved game is in place the view faces the player's way.
void FaceView()
{
  RotateAngle = 0;
  CurrAngle = static_cast<float>(int32_t(Player.Direction) * 90);
}

void StartLoadedLevel()
{
  FaceView();
  GameState = 0;
}

void AppendInt32(std::string &Out, int32_t V)
{
  char B[4];
  std::memcpy(B, &V, 4);
  Out.append(B, 4);
}

void AppendPlayer(std::string &Out, TPlayer P)
{
  std::memset(P.Pad, 0, sizeof P.Pad);
  Out.append(reinterpret_cast<const char *>(&P), PlayerBytes);
}

void AppendObject(std::string &Out, TGameObject O)
{
  std::memset(O.Pad1, 0, sizeof O.Pad1);
  O.Pad2 = 0;
  Out.append(reinterpret_cast<const char *>(&O), ObjectBytes);
}

// Reads a save file's fields in order; a file that ends before a field, or
// declares more than it holds, is fatal.
class TSaveReader {
public:
  explicit TSaveReader(TInputFile &F) : File(F) {}

  std::uint64_t Left() const { return File.Left(); }

  void Fail() const { RuntimeError(ErrorReadBeyondEnd, File.FileName()); }

  void Read(void *To, std::size_t Size)
  {
    if (File.Read(To, Size) != Size) Fail();
  }

  int32_t ReadInt32()
  {
    int32_t V;
    Read(&V, 4);
    return V;
  }

private:
  TInputFile &File;
};

} // namespace

void GameNewGame(const char *File)
{
  LevelFile = File ? File : "";
  LevelIndex = 0;
  GameState = 1;
  if (GameLoadMap(LevelFile.c_str(), &LevelIndex)) StartLoadedLevel();
}

void GameNextLevel(void)
{
  LevelIndex = LevelIndex + 1;
  GameState = 1;
  if (LevelIndex < LevelCount && GameLoadMap(LevelFile.c_str(), &LevelIndex)) StartLoadedLevel();
}

void GameSave(const char *FileName)
{
  std::string Out;
  Out.reserve(96 + LevelFile.size() + ObjectBytes * Objects.size());
  AppendPlayer(Out, Player);
  AppendInt32(Out, FieldSize.Width);
  AppendInt32(Out, FieldSize.Height);
  AppendInt32(Out, static_cast<int32_t>(LevelFile.size()));
  Out += LevelFile;
  AppendInt32(Out, static_cast<int32_t>(Objects.size()));
  for (const TGameObject &O : Objects) AppendObject(Out, O);
  WriteWholeFile(FileName ? FileName : "", Out);
}

void GameLoad(const char *FileName)
{
  TInputFile File(FileName ? FileName : "");
  TSaveReader In(File);

  // Everything is read and checked before the world changes; counts are
  // checked against the bytes the file still holds before anything is
  // allocated for them.
  TPlayer NewPlayer;
  In.Read(&NewPlayer, PlayerBytes);
  TFieldSize NewSize;
  NewSize.Width = In.ReadInt32();
  NewSize.Height = In.ReadInt32();
  const int32_t N = In.ReadInt32();
  std::string NewLevelFile;
  if (N > 0) {
    if (static_cast<std::uint64_t>(N) > In.Left()) In.Fail();
    NewLevelFile.resize(static_cast<std::size_t>(N));
    In.Read(NewLevelFile.data(), NewLevelFile.size());
  }
  const int32_t M = In.ReadInt32();
  if (M < 0 || static_cast<std::uint64_t>(M) > In.Left() / ObjectBytes) In.Fail();
  std::vector<TGameObject> NewObjects(static_cast<std::size_t>(M));
  if (M > 0) In.Read(NewObjects.data(), ObjectBytes * NewObjects.size());

  Player = NewPlayer;
  FieldSize = NewSize;
  LevelFile = NewLevelFile;
  Objects.swap(NewObjects);
  ReindexObjects();
  if (!Objects.empty())
    StartLoadedLevel();
  else
    GameState = 1;
}
