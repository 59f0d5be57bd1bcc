#include "Font.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>

namespace graph {
namespace {
#include "BitmapFont.inc"
}  // namespace

std::string FindFontFile(const char *FileName) {
  const std::string dirs[] = {"fonts/", "data/fonts/", "../data/fonts/", "/usr/share/fonts/truetype/dejavu/",
                              "/usr/share/fonts/dejavu/", "/usr/share/fonts/TTF/", "/usr/local/share/fonts/"};
  for (const std::string &dir : dirs) {
    const std::string path = dir + FileName;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
      std::fclose(f);
      return path;
    }
  }
  return {};
}

void TextPainter::Open() {
  Close();
  if (TTF_Init() != 0) return;
  TtfStarted = true;
  Regular = FindFontFile("DejaVuSans.ttf");
  BoldFile = FindFontFile("DejaVuSans-Bold.ttf");
  if (BoldFile.empty()) BoldFile = Regular;
  // A file that is there but does not open as a font counts as no font.
  if (!Regular.empty() && !FontFor(16, false)) Regular.clear();
}

void TextPainter::Close() {
  for (auto &f : Fonts)
    if (f.second) TTF_CloseFont(f.second);
  Fonts.clear();
  Regular.clear();
  BoldFile.clear();
  if (TtfStarted) TTF_Quit();
  TtfStarted = false;
}

TTF_Font *TextPainter::FontFor(int Pixels, bool Bold) {
  const auto key = std::make_pair(Pixels, Bold);
  const auto it = Fonts.find(key);
  if (it != Fonts.end()) return it->second;
  TTF_Font *font = TTF_OpenFont((Bold ? BoldFile : Regular).c_str(), Pixels);
  if (font) TTF_SetFontHinting(font, TTF_HINTING_LIGHT);
  Fonts[key] = font;
  return font;
}

Image TextPainter::Render(const std::string &Text, int Pixels, bool Bold) {
  Pixels = std::clamp(Pixels, 6, 256);
  if (Text.empty()) return {};
  TTF_Font *font = HasTrueType() ? FontFor(Pixels, Bold) : nullptr;
  if (!font) return RenderBitmapText(Text, Pixels);
  // Bytes are shown as Latin-1: nothing converts the game's 8-bit strings.
  SDL_Surface *s = TTF_RenderText_Blended(font, Text.c_str(), SDL_Color{255, 255, 255, 255});
  if (!s) return RenderBitmapText(Text, Pixels);
  SDL_Surface *rgba = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(s);
  if (!rgba) return RenderBitmapText(Text, Pixels);
  Image img;
  img.Width = rgba->w;
  img.Height = rgba->h;
  img.Rgba.resize(size_t(img.Width) * img.Height * 4);
  for (int y = 0; y < img.Height; ++y)
    std::copy_n(static_cast<const uint8_t *>(rgba->pixels) + size_t(y) * rgba->pitch, size_t(img.Width) * 4,
                img.Rgba.begin() + size_t(y) * img.Width * 4);
  SDL_FreeSurface(rgba);
  return img;
}

Image RenderBitmapText(const std::string &Text, int Pixels) {
  if (Text.empty()) return {};
  const int scale = std::clamp(int(std::lround(double(Pixels) / kGlyphHeight)), 1, 16);
  auto glyph = [](unsigned char c) -> const BitmapGlyph & { return kGlyphs[(c >= 32 && c < 127 ? c : '?') - 32]; };
  int width = 0;
  for (unsigned char c : Text) width += glyph(c).Advance;
  Image img;
  img.Width = std::max(1, width * scale);
  img.Height = kGlyphHeight * scale;
  img.Rgba.assign(size_t(img.Width) * img.Height * 4, 0);
  int pen = 0;
  for (unsigned char c : Text) {
    const BitmapGlyph &g = glyph(c);
    for (int y = 0; y < kGlyphHeight; ++y)
      for (int x = 0; x < 32; ++x)
        if (g.Rows[y] >> x & 1u)
          for (int sy = 0; sy < scale; ++sy)
            for (int sx = 0; sx < scale; ++sx) {
              const int px = (pen + x) * scale + sx, py = y * scale + sy;
              if (px >= img.Width) continue;
              uint8_t *p = &img.Rgba[(size_t(py) * img.Width + px) * 4];
              p[0] = p[1] = p[2] = p[3] = 255;
            }
    pen += g.Advance;
  }
  return img;
}

}  // namespace graph
