// SaveTrailer.cpp -- a save file's bytes as the program reads them.
#include "SaveTrailer.h"

#include <algorithm>
#include <cstring>

namespace {

// As the rules judge a place: a level file counts at most 255 levels.
constexpr int32_t MaxLevelCount = UINT8_MAX;

template <class T> T ValueAt(const std::string &Bytes, size_t Offset)
{
  T V;
  std::memcpy(&V, Bytes.data() + Offset, sizeof V);
  return V;
}

// A tagged block of Size bytes at At, whole.
bool BlockAt(const std::string &Bytes, size_t At, const char (&Tag)[5], size_t Size)
{
  return Bytes.size() >= At + Size && Bytes.compare(At, 4, Tag) == 0;
}

// The rules read a negative length as no name, and the rest after it.
size_t NameLengthOf(const std::string &Bytes) { return size_t(std::max(ValueAt<int32_t>(Bytes, 88), 0)); }

}  // namespace

bool ReadSaveLayout(const std::string &Bytes, TSaveLayout &Layout)
{
  if (Bytes.size() < 96) return false;
  const size_t NameLength = NameLengthOf(Bytes);
  if (Bytes.size() < 96 + NameLength) return false;
  std::memcpy(&Layout.Count, Bytes.data() + 92 + NameLength, 4);
  Layout.ObjectsAt = 96 + NameLength;
  return Layout.Count >= 0 && Bytes.size() >= Layout.End();
}

TSavedGame ReadSavedGameBytes(const std::string &Bytes)
{
  TSaveLayout Layout;
  TSavedGame Saved;
  if (!ReadSaveLayout(Bytes, Layout)) return Saved;
  Saved.LevelFile = Bytes.substr(92, Layout.ObjectsAt - 96);
  const size_t PlaceAt = Layout.End();
  if (!BlockAt(Bytes, PlaceAt, "LEVL", PlaceBytes)) return Saved;
  const int32_t Index = ValueAt<int32_t>(Bytes, PlaceAt + 4), Count = ValueAt<int32_t>(Bytes, PlaceAt + 8);
  if (Index < 0 || Index == INT32_MAX || Count < 0 || Count > MaxLevelCount) return Saved;  // the rules ignore it too
  Saved.Index = Index;
  const size_t CountersAt = PlaceAt + PlaceBytes;
  if (!BlockAt(Bytes, CountersAt, "PLAY", CountersBytes)) return Saved;
  const int32_t Moves = ValueAt<int32_t>(Bytes, CountersAt + 4), Pushes = ValueAt<int32_t>(Bytes, CountersAt + 8);
  const int64_t Ms = ValueAt<int64_t>(Bytes, CountersAt + 12);
  // The clock shows whole seconds as a 32-bit count.
  if (Moves < 0 || Pushes < 0 || Ms < 0 || Ms / 1000 > INT32_MAX) return Saved;
  Saved.Counted = true;
  Saved.Moves = Moves;
  Saved.Pushes = Pushes;
  Saved.PlayedMs = static_cast<uint64_t>(Ms);
  return Saved;
}
