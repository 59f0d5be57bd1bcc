// The desktop icon: the raster sizes and the SVG are one drawing.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <utility>

#include "Icon.h"

namespace {

using graph::Image;

const uint8_t *Pixel(const Image &I, int X, int Y) { return &I.Rgba[(size_t(Y) * I.Width + X) * 4]; }

TEST(Icon, IsACrateOnATransparentGroundAtEverySize) {
  for (const int size : {48, 128, 256}) {
    const Image img = graph::PaintIcon(size);
    ASSERT_EQ(img.Width, size);
    ASSERT_EQ(img.Height, size);
    ASSERT_EQ(img.Rgba.size(), size_t(size) * size * 4);
    EXPECT_EQ(Pixel(img, 0, 0)[3], 0) << size << ": the top-left corner must stay transparent";
    EXPECT_EQ(Pixel(img, size - 1, 0)[3], 0) << size;
    EXPECT_EQ(Pixel(img, size / 2, size / 2)[3], 255) << size << ": the crate is opaque";
    int partial = 0;
    for (size_t i = 3; i < img.Rgba.size(); i += 4) partial += img.Rgba[i] > 0 && img.Rgba[i] < 255;
    EXPECT_GT(partial, size) << size << ": the edges are not smoothed";
  }
}

TEST(Icon, SmallSizesAreTheLargeDrawingScaledDown) {
  // Shapes placed in pixels rather than in the unit square would move between sizes.
  const Image big = graph::PaintIcon(256), small = graph::PaintIcon(48);
  for (const auto &[u, v] : {std::pair{0.5, 0.5}, {0.3, 0.5}, {0.5, 0.08}, {0.115, 0.115}, {0.02, 0.5}}) {
    const uint8_t *b = Pixel(big, int(u * 256), int(v * 256)), *s = Pixel(small, int(u * 48), int(v * 48));
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(b[c], s[c], 40) << "at " << u << "," << v << " channel " << c;
  }
}

TEST(Icon, SvgHoldsTheColoursOfTheRaster) {
  const std::string svg = graph::IconSvg();
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  const Image img = graph::PaintIcon(256);
  // The crate's centre (the brace) and a plank: each opaque colour is one of the SVG's fills.
  for (const auto &[x, y] : {std::pair{128, 128}, {80, 140}, {128, 20}}) {
    const uint8_t *p = Pixel(img, x, y);
    char fill[32];
    std::snprintf(fill, sizeof fill, "fill=\"#%02x%02x%02x\"", p[0], p[1], p[2]);
    EXPECT_NE(svg.find(fill), std::string::npos) << fill << " at " << x << "," << y;
  }
  const std::regex number("-?[0-9]+\\.[0-9]+");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), number); it != std::sregex_iterator(); ++it) {
    const double v = std::stod(it->str());
    EXPECT_GE(v, 0.0);
    EXPECT_LE(v, 256.0) << "a shape leaves the icon";
  }
}

}  // namespace
