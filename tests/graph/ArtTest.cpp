// The renderer's art without a display: painted textures and both fonts.
#include <gtest/gtest.h>

#include <string>

#include "Font.h"
#include "Layout.h"
#include "ProcTex.h"

namespace {

using graph::Image;

double MeanAlpha(const Image &I) {
  double sum = 0;
  for (size_t i = 3; i < I.Rgba.size(); i += 4) sum += I.Rgba[i];
  return I.Rgba.empty() ? 0 : sum / (I.Rgba.size() / 4);
}

TEST(Art, PaintedTexturesAreOpaqueTileableAndNeverBlack) {
  for (int k = 0; k < int(graph::TexKind::Count); ++k) {
    const Image img = graph::PaintTexture(graph::TexKind(k), 64);
    ASSERT_EQ(img.Width, 64);
    ASSERT_EQ(img.Rgba.size(), size_t(64 * 64 * 4));
    double light = 0;
    for (size_t i = 0; i < img.Rgba.size(); i += 4) {
      ASSERT_EQ(img.Rgba[i + 3], 255) << "texture " << k;
      light += img.Rgba[i] + img.Rgba[i + 1] + img.Rgba[i + 2];
    }
    EXPECT_GT(light / (64 * 64), 40.0) << "texture " << k << " is too dark to read";
    if (graph::TexKind(k) == graph::TexKind::Menu || graph::TexKind(k) == graph::TexKind::MenuBack) continue;
    // Opposite edges meet: the left column is close to the right one.
    int diff = 0;
    for (int y = 0; y < 64; ++y)
      for (int c = 0; c < 3; ++c)
        diff += std::abs(img.Rgba[(y * 64 + 0) * 4 + c] - img.Rgba[(y * 64 + 63) * 4 + c]);
    EXPECT_LT(diff / (64 * 3), 40) << "texture " << k << " shows a seam";
  }
}

TEST(Art, BitmapFontDrawsEveryByte) {
  const Image a = graph::RenderBitmapText("Apply", 18);
  ASSERT_FALSE(a.Empty());
  EXPECT_GT(MeanAlpha(a), 10.0);
  const Image big = graph::RenderBitmapText("Apply", 36);
  EXPECT_EQ(big.Width, a.Width * 2) << "scaled by whole pixels";
  // Bytes outside ASCII show as a stand-in glyph rather than nothing.
  const Image high = graph::RenderBitmapText("\xe9\xff", 18);
  ASSERT_FALSE(high.Empty());
  EXPECT_GT(MeanAlpha(high), 5.0);
  EXPECT_TRUE(graph::RenderBitmapText("", 18).Empty());
}

TEST(Art, TrueTypeTextWhenTheFontIsThere) {
  if (graph::FindFontFile("DejaVuSans.ttf").empty()) GTEST_SKIP() << "DejaVu Sans is not installed";
  graph::TextPainter text;
  text.Open();
  EXPECT_TRUE(text.HasTrueType());
  const Image img = text.Render("Settings \xb7 1024 x 768 x 32", 22, true);
  ASSERT_FALSE(img.Empty());
  EXPECT_GT(img.Height, 18);
  EXPECT_GT(MeanAlpha(img), 10.0);
  text.Close();
  EXPECT_FALSE(text.HasTrueType());
  // Closed, it still draws: with the bitmap font.
  EXPECT_FALSE(text.Render("Back", 22, false).Empty());
}

// Every text of the menu and the settings page keeps a margin inside its box
// at every display mode the settings offer, as the renderer sizes it.
TEST(Art, EveryLabelFitsItsBoxAtEveryDisplayMode) {
  graph::TextPainter text;
  text.Open();
  const auto FittedWidth = [&](const std::string &Text, int Pixels, bool Bold, float MaxWidth) {
    const auto WidthAt = [&](int P) { return text.Render(Text, P, Bold).Width; };
    return WidthAt(graph::FitPixels(Pixels, MaxWidth, WidthAt));
  };
  const int Sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
  for (const auto &Size : Sizes) {
    SCOPED_TRACE(std::to_string(Size[0]) + "x" + std::to_string(Size[1]));
    const float sc = graph::UiScale(Size[0], Size[1]), margin = graph::TextMargin * sc;
    const graph::MenuLayout Menu = graph::LayoutMenu(Size[0], Size[1]);
    for (int i = 0; i < graph::MenuItemCount; ++i) {
      const float Room = Menu.Items[i].W - 2 * margin;
      EXPECT_LE(FittedWidth(graph::MenuItemTexts[i], int(26 * sc), true, Room), Room) << graph::MenuItemTexts[i];
    }
    const graph::SettingsLayout Page = graph::LayoutSettings(Size[0], Size[1]);
    for (int row = 0; row < graph::SettingsRowCount; ++row) {
      const float Room = Page.Rows[row].Label.W - margin;
      EXPECT_LE(FittedWidth(graph::SettingsLabels[row], int(22 * sc), false, Room), Room) << graph::SettingsLabels[row];
    }
    const float ValueRoom = Page.Rows[graph::rowKeys].Value.W - 2 * margin;
    for (const bool Keys3D : {false, true}) {
      const std::string Value = graph::KeyMappingText(Keys3D);
      EXPECT_LE(FittedWidth(Value, int(22 * sc), true, ValueRoom), ValueRoom) << Value;
      EXPECT_GT(FittedWidth(Value, int(22 * sc), true, ValueRoom), ValueRoom * 0.6f) << "shrunk more than needed";
    }
    EXPECT_LE(FittedWidth("1280 x 1024 x 32", int(22 * sc), true, ValueRoom), ValueRoom);
  }
}

// Sizes step down only as far as needed, and never below the smallest.
TEST(Art, FitPixelsTakesTheLargestSizeThatFits) {
  const auto TenPerPixel = [](int P) { return 10 * P; };
  EXPECT_EQ(graph::FitPixels(22, 1000, TenPerPixel), 22);
  EXPECT_EQ(graph::FitPixels(22, 200, TenPerPixel), 20);
  EXPECT_EQ(graph::FitPixels(22, 199, TenPerPixel), 19);
  EXPECT_EQ(graph::FitPixels(22, 5, TenPerPixel), 6);
  // A width that does not follow the size still ends on a fitting size.
  const auto Steps = [](int P) { return P > 15 ? 300 : 100; };
  EXPECT_EQ(graph::FitPixels(22, 150, Steps), 15);
}

// A text too long for its box shrinks only to a readable size, and is cut
// short there with an ellipsis; one that fits keeps its size.
TEST(Art, FitTextShrinksToAReadableSizeThenCutsShort) {
  EXPECT_EQ(graph::ReadablePixels(20), 16);
  EXPECT_EQ(graph::ReadablePixels(12), 10);
  EXPECT_EQ(graph::ReadablePixels(8), 8) << "a size asked for below the least stays";
  // Every character half the size wide; the ellipsis one character.
  const auto WidthOf = [](size_t Length, int P, bool Ellipsis) { return int(Length + (Ellipsis ? 1 : 0)) * P / 2; };
  auto fit = [&](const std::string &Text, float Room) {
    const graph::FittedText f = graph::FitText(Text, 20, Room, WidthOf);
    return std::to_string(f.Pixels) + " " + Text.substr(0, f.Length) + (f.Cut ? "~" : "");
  };
  EXPECT_EQ(fit("Crates", 60), "20 Crates");
  EXPECT_EQ(fit("Crates", 50), "16 Crates");
  EXPECT_EQ(fit("Crates", 40), "16 Crat~");
  EXPECT_EQ(fit("Go. Push it", 40), "16 Go~") << "no space or dot before the ellipsis";
  EXPECT_EQ(fit("Crates", 4), "16 ~");

  // Both fonts draw the ellipsis, and measure what they draw.
  graph::TextPainter text;
  for (const bool trueType : {true, false}) {
    if (trueType) text.Open();
    else text.Close();
    const std::string title = "Level 12: The long way round the old warehouse by the river at dusk";
    EXPECT_GT(text.Width(title, 17, true, true), text.Width(title, 17, true));
    EXPECT_EQ(text.Width(title, 17, true, true), text.Render(title, 17, true, true).Width);
    EXPECT_EQ(text.Width("", 17, false, true), text.Render("", 17, false, true).Width);
    EXPECT_GT(MeanAlpha(text.Render("", 17, false, true)), 1.0) << "an ellipsis alone";
  }
}

}  // namespace
