#include "Font.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

// The rasteriser is compiled here alone, private to the renderer.
#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_truetype.h>
#pragma GCC diagnostic pop

namespace graph {
namespace {
#include "BitmapFont.inc"
}  // namespace

struct TextPainter::Face {
  std::vector<unsigned char> Bytes;  // the font reads from these for as long as it lives
  stbtt_fontinfo Info{};
};

namespace {

// The font in the file; null when the file is missing or holds no font.
std::unique_ptr<TextPainter::Face> ReadFace(const std::string &FileName) {
  if (FileName.empty()) return nullptr;
  std::ifstream in(FileName, std::ios::binary);
  auto face = std::make_unique<TextPainter::Face>();
  face->Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  const unsigned char *data = face->Bytes.data();
  const int offset = face->Bytes.empty() ? -1 : stbtt_GetFontOffsetForIndex(data, 0);
  if (offset < 0 || !stbtt_InitFont(&face->Info, data, offset)) return nullptr;
  return face;
}

// Adds a glyph's coverage into the line's alpha, clipped to it; glyphs that
// overlap (kerned pairs) keep the stronger coverage.
void Stamp(std::vector<uint8_t> &Alpha, int Width, int Height, const std::vector<uint8_t> &Glyph, int GlyphWidth,
           int GlyphHeight, int Left, int Top) {
  for (int y = 0; y < GlyphHeight; ++y) {
    const int row = Top + y;
    if (row < 0 || row >= Height) continue;
    for (int x = 0; x < GlyphWidth; ++x) {
      const int col = Left + x;
      if (col < 0 || col >= Width) continue;
      uint8_t &a = Alpha[size_t(row) * Width + col];
      a = std::max(a, Glyph[size_t(y) * GlyphWidth + x]);
    }
  }
}

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

TextPainter::TextPainter() = default;
TextPainter::~TextPainter() = default;

void TextPainter::Open() {
  Close();
  // A file that is there but does not open as a font counts as no font.
  RegularFace = ReadFace(FindFontFile("DejaVuSans.ttf"));
  if (RegularFace) BoldFace = ReadFace(FindFontFile("DejaVuSans-Bold.ttf"));
}

void TextPainter::Close() {
  RegularFace.reset();
  BoldFace.reset();
}

namespace {

constexpr int kEllipsis = 0x2026;
constexpr const char *kEllipsisDots = "...";  // for a font without the ellipsis

int ClampPixels(int Pixels) { return std::clamp(Pixels, 6, 256); }

// A line of a TrueType face laid out: each character's codepoint and pen
// position, the line's width and height, and its baseline.
struct Line {
  struct Placed { int Codepoint; float X; };
  std::vector<Placed> Glyphs;
  float Scale = 0;
  int Width = 0, Height = 0, Baseline = 0;
};

Line LayOut(const stbtt_fontinfo &Info, const std::string &Text, int Pixels, bool Ellipsis) {
  Line line;
  line.Scale = stbtt_ScaleForPixelHeight(&Info, float(Pixels));
  int ascent = 0, descent = 0, gap = 0;
  stbtt_GetFontVMetrics(&Info, &ascent, &descent, &gap);
  line.Baseline = int(std::ceil(ascent * line.Scale));
  line.Height = std::max(1, line.Baseline + int(std::ceil(-descent * line.Scale)));

  // Bytes are shown as Latin-1: nothing converts the game's 8-bit strings.
  std::vector<int> codepoints(Text.begin(), Text.end());
  for (int &c : codepoints) c = static_cast<unsigned char>(c);
  if (Ellipsis) {
    if (stbtt_FindGlyphIndex(&Info, kEllipsis) != 0) codepoints.push_back(kEllipsis);
    else for (const char *d = kEllipsisDots; *d; ++d) codepoints.push_back(*d);
  }
  float pen = 0;
  int previous = 0;
  for (const int codepoint : codepoints) {
    if (previous) pen += line.Scale * float(stbtt_GetCodepointKernAdvance(&Info, previous, codepoint));
    line.Glyphs.push_back({codepoint, pen});
    int advance = 0, bearing = 0;
    stbtt_GetCodepointHMetrics(&Info, codepoint, &advance, &bearing);
    pen += line.Scale * float(advance);
    previous = codepoint;
  }
  line.Width = std::max(1, int(std::ceil(pen)));
  return line;
}

}  // namespace

int TextPainter::Width(const std::string &Text, int Pixels, bool Bold, bool Ellipsis) {
  Pixels = ClampPixels(Pixels);
  if (Text.empty() && !Ellipsis) return 0;
  const Face *face = Bold && BoldFace ? BoldFace.get() : RegularFace.get();
  if (!face) return BitmapTextWidth(Ellipsis ? Text + kEllipsisDots : Text, Pixels);
  return LayOut(face->Info, Text, Pixels, Ellipsis).Width;
}

Image TextPainter::Render(const std::string &Text, int Pixels, bool Bold, bool Ellipsis) {
  Pixels = ClampPixels(Pixels);
  if (Text.empty() && !Ellipsis) return {};
  const Face *face = Bold && BoldFace ? BoldFace.get() : RegularFace.get();
  if (!face) return RenderBitmapText(Ellipsis ? Text + kEllipsisDots : Text, Pixels);
  const stbtt_fontinfo &info = face->Info;
  const Line line = LayOut(info, Text, Pixels, Ellipsis);
  const int width = line.Width, height = line.Height;
  const float scale = line.Scale;

  std::vector<uint8_t> alpha(size_t(width) * height, 0), glyph;
  for (const Line::Placed &p : line.Glyphs) {
    const float shift = p.X - std::floor(p.X);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetCodepointBitmapBoxSubpixel(&info, p.Codepoint, scale, scale, shift, 0, &x0, &y0, &x1, &y1);
    const int gw = x1 - x0, gh = y1 - y0;
    if (gw <= 0 || gh <= 0) continue;
    glyph.assign(size_t(gw) * gh, 0);
    stbtt_MakeCodepointBitmapSubpixel(&info, glyph.data(), gw, gh, gw, scale, scale, shift, 0, p.Codepoint);
    Stamp(alpha, width, height, glyph, gw, gh, int(std::floor(p.X)) + x0, line.Baseline + y0);
  }

  Image img;
  img.Width = width;
  img.Height = height;
  img.Rgba.resize(alpha.size() * 4);
  for (size_t i = 0; i < alpha.size(); ++i) {
    img.Rgba[i * 4] = img.Rgba[i * 4 + 1] = img.Rgba[i * 4 + 2] = 255;
    img.Rgba[i * 4 + 3] = alpha[i];
  }
  return img;
}

namespace {

int BitmapScale(int Pixels) { return std::clamp(int(std::lround(double(Pixels) / kGlyphHeight)), 1, 16); }

const BitmapGlyph &GlyphOf(unsigned char C) { return kGlyphs[(C >= 32 && C < 127 ? C : '?') - 32]; }

}  // namespace

int BitmapTextWidth(const std::string &Text, int Pixels) {
  if (Text.empty()) return 0;
  int width = 0;
  for (const unsigned char c : Text) width += GlyphOf(c).Advance;
  return std::max(1, width * BitmapScale(Pixels));
}

Image RenderBitmapText(const std::string &Text, int Pixels) {
  if (Text.empty()) return {};
  const int scale = BitmapScale(Pixels);
  Image img;
  img.Width = BitmapTextWidth(Text, Pixels);
  img.Height = kGlyphHeight * scale;
  img.Rgba.assign(size_t(img.Width) * img.Height * 4, 0);
  int pen = 0;
  for (unsigned char c : Text) {
    const BitmapGlyph &g = GlyphOf(c);
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
