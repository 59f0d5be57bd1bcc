// The icon's shapes live in one list; the rasteriser and the SVG writer both
// read it, so the PNG sizes and the SVG cannot drift apart.
#include "Icon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>

namespace graph {
namespace {

struct Colour { float R, G, B, A; };
struct Point { float X, Y; };

// A rounded rectangle (a circle when the radius is half its side), or a convex
// polygon given clockwise on screen; coordinates in the unit square, y down.
struct Shape {
  enum class Kind { RoundRect, Polygon } Type;
  float X0, Y0, X1, Y1, Radius;
  std::span<const Point> Corners;
  Colour Fill;
};

constexpr Colour kShadow{0.0f, 0.0f, 0.0f, 0.35f};
constexpr Colour kFrame{0.50f, 0.32f, 0.16f, 1.0f};
constexpr Colour kFrameLight{0.62f, 0.41f, 0.21f, 1.0f};
constexpr Colour kPlank{0.78f, 0.55f, 0.30f, 1.0f};
constexpr Colour kGroove{0.55f, 0.37f, 0.19f, 1.0f};
constexpr Colour kBrace{0.67f, 0.46f, 0.24f, 1.0f};
constexpr Colour kNail{0.30f, 0.30f, 0.32f, 1.0f};

// The brace runs corner to corner over the planks.
constexpr Point kBraceCorners[] = {{0.19f, 0.19f}, {0.27f, 0.19f}, {0.81f, 0.73f},
                                   {0.81f, 0.81f}, {0.73f, 0.81f}, {0.19f, 0.27f}};

Shape Rect(float X0, float Y0, float X1, float Y1, float Radius, Colour Fill) {
  return {Shape::Kind::RoundRect, X0, Y0, X1, Y1, Radius, {}, Fill};
}
Shape Nail(float X, float Y) { return Rect(X - 0.03f, Y - 0.03f, X + 0.03f, Y + 0.03f, 0.03f, kNail); }

const Shape kShapes[] = {
    Rect(0.08f, 0.10f, 0.96f, 0.98f, 0.07f, kShadow),
    Rect(0.04f, 0.04f, 0.92f, 0.92f, 0.06f, kFrame),
    Rect(0.06f, 0.06f, 0.90f, 0.12f, 0.03f, kFrameLight),  // light on the top edge
    Rect(0.19f, 0.19f, 0.81f, 0.81f, 0.0f, kPlank),
    Rect(0.19f, 0.384f, 0.81f, 0.406f, 0.0f, kGroove),
    Rect(0.19f, 0.594f, 0.81f, 0.616f, 0.0f, kGroove),
    {Shape::Kind::Polygon, 0, 0, 0, 0, 0, kBraceCorners, kBrace},
    Nail(0.115f, 0.115f), Nail(0.845f, 0.115f), Nail(0.115f, 0.845f), Nail(0.845f, 0.845f),
};

bool InRoundRect(const Shape &S, float X, float Y) {
  if (X < S.X0 || X > S.X1 || Y < S.Y0 || Y > S.Y1) return false;
  const float dx = std::max({S.X0 + S.Radius - X, X - (S.X1 - S.Radius), 0.0f});
  const float dy = std::max({S.Y0 + S.Radius - Y, Y - (S.Y1 - S.Radius), 0.0f});
  return dx * dx + dy * dy <= S.Radius * S.Radius;
}

bool InPolygon(std::span<const Point> P, float X, float Y) {
  for (size_t i = 0; i < P.size(); ++i) {
    const Point a = P[i], b = P[(i + 1) % P.size()];
    if ((b.X - a.X) * (Y - a.Y) - (b.Y - a.Y) * (X - a.X) < 0) return false;
  }
  return true;
}

bool Covers(const Shape &S, float X, float Y) {
  return S.Type == Shape::Kind::RoundRect ? InRoundRect(S, X, Y) : InPolygon(S.Corners, X, Y);
}

// Source over destination, both with straight (not premultiplied) alpha.
Colour Over(Colour Dst, Colour Src, float Coverage) {
  const float a = Src.A * Coverage, out = a + Dst.A * (1 - a);
  if (out <= 0) return {0, 0, 0, 0};
  auto mix = [&](float s, float d) { return (s * a + d * Dst.A * (1 - a)) / out; };
  return {mix(Src.R, Dst.R), mix(Src.G, Dst.G), mix(Src.B, Dst.B), out};
}

uint8_t Byte(float V) { return uint8_t(std::lround(std::clamp(V, 0.0f, 1.0f) * 255)); }

}  // namespace

Image PaintIcon(int Size) {
  // Each pixel is sampled on a 4 x 4 grid, so edges are smooth at 48 pixels too.
  constexpr int kSamples = 4;
  Image img;
  img.Width = img.Height = Size;
  img.Rgba.assign(size_t(Size) * Size * 4, 0);
  for (int y = 0; y < Size; ++y)
    for (int x = 0; x < Size; ++x) {
      Colour c{0, 0, 0, 0};
      for (const Shape &s : kShapes) {
        int hits = 0;
        for (int sy = 0; sy < kSamples; ++sy)
          for (int sx = 0; sx < kSamples; ++sx)
            hits += Covers(s, (x + (sx + 0.5f) / kSamples) / Size, (y + (sy + 0.5f) / kSamples) / Size);
        if (hits) c = Over(c, s.Fill, float(hits) / (kSamples * kSamples));
      }
      uint8_t *p = &img.Rgba[(size_t(y) * Size + x) * 4];
      p[0] = Byte(c.R), p[1] = Byte(c.G), p[2] = Byte(c.B), p[3] = Byte(c.A);
    }
  return img;
}

std::string IconSvg() {
  constexpr float kSide = 256;  // the SVG's user units: one icon pixel at 256 x 256
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
  char buf[256];
  for (const Shape &s : kShapes) {
    const Colour f = s.Fill;
    char fill[64];
    std::snprintf(fill, sizeof fill, "fill=\"#%02x%02x%02x\" fill-opacity=\"%.2f\"", Byte(f.R), Byte(f.G), Byte(f.B), f.A);
    if (s.Type == Shape::Kind::RoundRect) {
      std::snprintf(buf, sizeof buf, "  <rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" rx=\"%.2f\" %s/>\n",
                    s.X0 * kSide, s.Y0 * kSide, (s.X1 - s.X0) * kSide, (s.Y1 - s.Y0) * kSide, s.Radius * kSide, fill);
      svg += buf;
    } else {
      svg += "  <polygon points=\"";
      for (const Point &p : s.Corners) {
        std::snprintf(buf, sizeof buf, "%.2f,%.2f ", p.X * kSide, p.Y * kSide);
        svg += buf;
      }
      svg.pop_back();
      svg += "\" ";
      svg += fill;
      svg += "/>\n";
    }
  }
  return svg + "</svg>\n";
}

}  // namespace graph
