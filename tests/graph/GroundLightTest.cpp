// The ground's baked light and the choice of quality tier, without a display.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "GroundLight.h"
#include "Quality.h"

namespace {

using graph::GroundLight;
using graph::kGroundTexelsPerCell;
using graph::TexelRect;

constexpr int kCells = 12, kTexels = kCells * kGroundTexelsPerCell;

// An occupancy map of kCells x kCells with a crate (0.9 of a cell) in each given cell.
std::vector<uint8_t> Occupancy(const std::vector<std::pair<int, int>> &Crates, const std::vector<std::pair<int, int>> &Water = {}) {
  std::vector<uint8_t> occ(size_t(kTexels) * kTexels * 2, 0);
  auto fill = [&](int Col, int Row, int Channel) {
    for (int y = 0; y < kGroundTexelsPerCell; ++y)
      for (int x = 0; x < kGroundTexelsPerCell; ++x)
        occ[(size_t(Row * kGroundTexelsPerCell + y) * kTexels + Col * kGroundTexelsPerCell + x) * 2 + Channel] = 255;
  };
  for (auto [c, r] : Crates) fill(c, r, 0);
  for (auto [c, r] : Water) fill(c, r, 1);
  return occ;
}

// The baked texel at the centre of a cell, offset by a fraction of a cell.
const uint8_t *At(const GroundLight &G, float Col, float Row) {
  const int x = int(Col * kGroundTexelsPerCell), y = int(Row * kGroundTexelsPerCell);
  return &G.Baked()[(size_t(y) * G.Width() + x) * 4];
}

TEST(GroundLight, ShadowFallsAwayFromTheSunAndWallsDarkenTheirFoot) {
  GroundLight g;
  const TexelRect all = g.Update(kTexels, kTexels, Occupancy({{5, 5}}, {{1, 1}}));
  EXPECT_EQ(all.X0, 0);
  EXPECT_EQ(all.X1, kTexels - 1);
  // The sun stands towards -x, -y: the shadow lies on the +x, +y side.
  EXPECT_GT(At(g, 6.2f, 6.2f)[0], 200) << "behind the crate, away from the sun";
  EXPECT_EQ(At(g, 4.5f, 4.5f)[0], 0) << "the sunny side";
  EXPECT_EQ(At(g, 9.5f, 9.5f)[0], 0) << "open ground";
  // Ambient light is lower beside the crate than in the open.
  EXPECT_LT(At(g, 4.9f, 5.5f)[1], At(g, 9.5f, 9.5f)[1] - 30);
  EXPECT_EQ(At(g, 9.5f, 9.5f)[1], 255);
  // Inside water, and not outside it.
  EXPECT_EQ(At(g, 1.5f, 1.5f)[2], 255);
  EXPECT_EQ(At(g, 3.5f, 3.5f)[2], 0);
}

TEST(GroundLight, AMovedCrateIsBakedAgainOnlyNearItAndAsIfFromScratch) {
  GroundLight moving;
  moving.Update(kTexels, kTexels, Occupancy({{2, 2}, {8, 5}}));
  EXPECT_TRUE(moving.Update(kTexels, kTexels, Occupancy({{2, 2}, {8, 5}})).Empty()) << "nothing moved";
  const TexelRect redone = moving.Update(kTexels, kTexels, Occupancy({{2, 2}, {8, 6}}));
  ASSERT_FALSE(redone.Empty());
  // Around the crate that moved, not the one that stood still.
  EXPECT_LE(redone.X0, 8 * kGroundTexelsPerCell);
  EXPECT_GE(redone.X1, 9 * kGroundTexelsPerCell);
  EXPECT_GT(redone.X0, 3 * kGroundTexelsPerCell);
  EXPECT_LE(redone.Y0, 5 * kGroundTexelsPerCell);
  EXPECT_GE(redone.Y1, 7 * kGroundTexelsPerCell);

  GroundLight fresh;
  fresh.Update(kTexels, kTexels, Occupancy({{2, 2}, {8, 6}}));
  EXPECT_EQ(moving.Baked(), fresh.Baked());
}

TEST(GroundLight, ARefusedMapKeepsWhatWasBaked) {
  GroundLight g;
  g.Update(kTexels, kTexels, Occupancy({{5, 5}}));
  const std::vector<uint8_t> before = g.Baked();
  EXPECT_TRUE(g.Update(kTexels, kTexels, std::vector<uint8_t>(10, 255)).Empty()) << "too short for its size";
  EXPECT_TRUE(g.Update(0, kTexels, {}).Empty());
  EXPECT_EQ(g.Baked(), before);
}

TEST(Quality, SoftwareRasterizersDrawFastUnlessTheSettingSaysOtherwise) {
  std::string unknown;
  EXPECT_EQ(graph::ChooseTier("llvmpipe (LLVM 15.0.6, 256 bits)", "", unknown), graph::Tier::Fast);
  EXPECT_EQ(graph::ChooseTier("softpipe", "auto", unknown), graph::Tier::Fast);
  EXPECT_EQ(graph::ChooseTier("Mesa DRI swrast", "Auto", unknown), graph::Tier::Fast);
  EXPECT_EQ(graph::ChooseTier("AMD Radeon RX 6600 (radeonsi)", "", unknown), graph::Tier::Full);
  EXPECT_TRUE(unknown.empty());
  EXPECT_EQ(graph::ChooseTier("llvmpipe", "Full", unknown), graph::Tier::Full);
  EXPECT_EQ(graph::ChooseTier("NVIDIA GeForce", "fast", unknown), graph::Tier::Fast);
  EXPECT_TRUE(unknown.empty());
  // A value that names no tier goes by the driver, and is told.
  EXPECT_EQ(graph::ChooseTier("llvmpipe", "ultra", unknown), graph::Tier::Fast);
  EXPECT_EQ(unknown, "ultra");
  EXPECT_EQ(graph::ChooseTier("NVIDIA GeForce", "ultra", unknown), graph::Tier::Full);
}

// The key comes from config.ini in the working directory, found whatever its
// case; no file, or no readable file, reads as no key rather than ending the program.
TEST(Quality, TheKeyIsReadFromTheWorkingDirectorysConfig) {
  namespace fs = std::filesystem;
  const fs::path home = fs::current_path();
  const fs::path dir = fs::temp_directory_path() / ("kestrove-quality-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);
  EXPECT_EQ(graph::ReadQualityKey(), "") << "no config.ini";
  fs::create_directory(dir / "config.ini");
  EXPECT_EQ(graph::ReadQualityKey(), "") << "a directory of that name";
  fs::remove(dir / "config.ini");
  std::ofstream(dir / "Config.INI") << "Mode=5\r\nquality = Fast \r\n";
  EXPECT_EQ(graph::ReadQualityKey(), "Fast");
  fs::current_path(home);
  fs::remove_all(dir);
}

}  // namespace
