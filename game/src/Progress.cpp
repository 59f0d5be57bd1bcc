// Game progress: starting a set, moving through its levels, the screen state,
// and save files (the player, the field size, the level file's name and the
// objects, byte for byte, little-endian, no header; then the level's place in
// its set, which readers that stop after the objects never see).
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

// The level's place in its set follows the objects under this tag: the index,
// then the set's level count. Saves made before it was written end with the
// objects.
constexpr char LevelTag[4] = {'L', 'E', 'V', 'L'};
constexpr std::size_t LevelTrailerBytes = sizeof LevelTag + 8;
// A level file counts its levels, and gives a level's width and height, in one
// byte each.
constexpr int32_t MaxLevelCount = UINT8_MAX;
constexpr int32_t MaxFieldCells = UINT8_MAX;

bool FieldALevelCanHave(const TFieldSize &Size)
{
  return Size.Width >= 0 && Size.Width <= MaxFieldCells && Size.Height >= 0 && Size.Height <= MaxFieldCells;
}

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

  // Whatever follows the objects, up to Size bytes; reaching the end is no error.
  std::string ReadRest(std::size_t Size)
  {
    std::string Rest(Size, '\0');
    Rest.resize(File.Read(Rest.data(), Rest.size()));
    return Rest;
  }

private:
  TInputFile &File;
};

struct TLevelPlace {
  int32_t Index = 0, Count = 0;
};

int32_t Int32From(const std::string &Bytes, std::size_t Offset)
{
  int32_t V;
  std::memcpy(&V, Bytes.data() + Offset, 4);
  return V;
}

// The level's place that the bytes after the objects give when they hold a
// whole, sensible one, else Unknown. An older save or a damaged ending still
// holds a whole game; only its place in the set is not known.
TLevelPlace ReadLevelPlace(TSaveReader &In, TLevelPlace Unknown)
{
  const std::string Rest = In.ReadRest(LevelTrailerBytes);
  if (Rest.size() != LevelTrailerBytes || std::memcmp(Rest.data(), LevelTag, sizeof LevelTag) != 0)
    return Unknown;
  const TLevelPlace Saved{Int32From(Rest, 4), Int32From(Rest, 8)};
  // The index passes the count after the last level, but must still count on.
  const bool Sensible = Saved.Count >= 0 && Saved.Count <= MaxLevelCount && Saved.Index >= 0 &&
                        Saved.Index < INT32_MAX;
  return Sensible ? Saved : Unknown;
}

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
  Out.reserve(96 + LevelFile.size() + ObjectBytes * Objects.size() + LevelTrailerBytes);
  AppendPlayer(Out, Player);
  AppendInt32(Out, FieldSize.Width);
  AppendInt32(Out, FieldSize.Height);
  AppendInt32(Out, static_cast<int32_t>(LevelFile.size()));
  Out += LevelFile;
  AppendInt32(Out, static_cast<int32_t>(Objects.size()));
  for (const TGameObject &O : Objects) AppendObject(Out, O);
  Out.append(LevelTag, sizeof LevelTag);
  AppendInt32(Out, LevelIndex);
  AppendInt32(Out, LevelCount);
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
  // A field no level can have is damage, found before anything is sized by it.
  if (!FieldALevelCanHave(NewSize)) In.Fail();
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
  const TLevelPlace Place = ReadLevelPlace(In, TLevelPlace{LevelIndex, LevelCount});

  Player = NewPlayer;
  FieldSize = NewSize;
  LevelFile = NewLevelFile;
  Objects.swap(NewObjects);
  ReindexObjects();
  LevelIndex = Place.Index;
  LevelCount = Place.Count;
  if (!Objects.empty())
    StartLoadedLevel();
  else
    GameState = 1;
}
