// Procedural textures: tileable value noise and a few painters. Every painter
// tiles seamlessly, because floors and walls repeat them cell after cell.
#include "ProcTex.h"

#include <algorithm>
#include <cmath>

namespace graph {
namespace {

struct Rgb { float r, g, b; };

Rgb Mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb Scale(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
float Smooth(float e0, float e1, float x) { const float t = Clamp01((x - e0) / (e1 - e0)); return t * t * (3 - 2 * t); }

float Hash(int x, int y, int Seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(Seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return float((h ^ (h >> 16)) & 0xFFFFFF) / float(0x1000000);
}

// Value noise that repeats every Period lattice cells.
float Noise(float x, float y, int Period, int Seed) {
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const float fx = x - x0, fy = y - y0;
  const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  auto at = [&](int xi, int yi) {
    return Hash(((xi % Period) + Period) % Period, ((yi % Period) + Period) % Period, Seed);
  };
  const float a = at(x0, y0), b = at(x0 + 1, y0), c = at(x0, y0 + 1), d = at(x0 + 1, y0 + 1);
  return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

// Fractal noise over u, v in 0..1, tileable, roughly 0..1.
float Fbm(float u, float v, int BasePeriod, int Octaves, int Seed) {
  float sum = 0, amp = 0.5f, norm = 0;
  int period = BasePeriod;
  for (int o = 0; o < Octaves; ++o) {
    sum += amp * Noise(u * period, v * period, period, Seed + o * 17);
    norm += amp;
    amp *= 0.5f;
    period *= 2;
  }
  return sum / norm;
}

class Canvas {
public:
  explicit Canvas(int Size) { Img.Width = Img.Height = Size; Img.Rgba.assign(size_t(Size) * Size * 4, 255); }
  template <class F> void Paint(F &&Pixel) {
    const int n = Img.Width;
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const float u = (x + 0.5f) / n, v = (y + 0.5f) / n;
        Put(x, y, Pixel(u, v), 1.0f);
      }
  }
  void Put(int x, int y, Rgb c, float a) {
    uint8_t *p = &Img.Rgba[(size_t(y) * Img.Width + x) * 4];
    p[0] = uint8_t(std::lround(Clamp01(c.r) * 255));
    p[1] = uint8_t(std::lround(Clamp01(c.g) * 255));
    p[2] = uint8_t(std::lround(Clamp01(c.b) * 255));
    p[3] = uint8_t(std::lround(Clamp01(a) * 255));
  }
  Image Img;
};

// Distance from the nearest edge of the unit square.
float EdgeDistance(float u, float v) { return std::min(std::min(u, 1 - u), std::min(v, 1 - v)); }

Rgb FloorPixel(float u, float v) {
  const Rgb base{0.69f, 0.62f, 0.50f};
  // One flagstone per cell, bevelled, with a groove at the cell's edge so the
  // grid the player moves on stays readable.
  const float e = EdgeDistance(u, v);
  const float groove = Smooth(0.012f, 0.045f, e);
  const float bevel = 1.0f + 0.10f * (1 - Smooth(0.035f, 0.10f, e)) * (u + (1 - v) > 1 ? -1.0f : 1.0f);
  const float n = Fbm(u, v, 4, 5, 11);
  const float blotch = Fbm(u, v, 2, 3, 13);
  const float speck = Hash(int(u * 128), int(v * 128), 5) > 0.975f ? 0.86f : 1.0f;
  Rgb c = Scale(base, (0.84f + 0.22f * n + 0.08f * (blotch - 0.5f)) * speck * bevel);
  return Mix(Scale(base, 0.42f), c, groove);
}

Rgb WallPixel(float u, float v) {
  const int rows = 4;
  const float row = v * rows;
  const int ri = int(row);
  const float fv = row - ri;
  const float shift = (ri % 2) ? 0.25f : 0.0f;
  float bu = u * 2 + shift * 2;
  const int bi = int(std::floor(bu));
  const float fu = bu - bi;
  const float mortar = std::min(Smooth(0.03f, 0.09f, std::min(fv, 1 - fv)),
                                Smooth(0.015f, 0.045f, std::min(fu, 1 - fu)));
  const float h = Hash((bi % 2 + 2) % 2, ri, 21);
  const Rgb brick = Mix(Rgb{0.58f, 0.24f, 0.18f}, Rgb{0.70f, 0.36f, 0.24f}, h);
  const float n = Fbm(u, v, 8, 4, 31);
  const float top = 1.0f + 0.12f * (1 - Smooth(0.05f, 0.25f, 1 - fv));
  const Rgb b = Scale(brick, (0.80f + 0.35f * n) * top);
  const Rgb m = Scale(Rgb{0.70f, 0.67f, 0.60f}, 0.85f + 0.2f * n);
  return Mix(m, b, mortar);
}

Rgb BoxPixel(float u, float v) {
  const Rgb light{0.78f, 0.55f, 0.30f}, dark{0.50f, 0.32f, 0.16f};
  const float grain = Fbm(u * 0.25f, v * 4.0f, 4, 4, 41);
  const float e = EdgeDistance(u, v);
  const float frame = 0.13f;
  Rgb c;
  if (e < frame) {
    c = Scale(Mix(dark, light, 0.55f + 0.4f * grain), 0.95f);
    c = Scale(c, 0.75f + 0.25f * Smooth(0.0f, 0.03f, e));                 // outer edge
    c = Scale(c, 0.75f + 0.25f * Smooth(0.0f, 0.02f, frame - e));         // inner lip
    // Nails at the corners of the frame.
    const float nu = std::min(u, 1 - u) - frame / 2, nv = std::min(v, 1 - v) - frame / 2;
    if (nu * nu + nv * nv < 0.0009f) c = Rgb{0.30f, 0.30f, 0.32f};
  } else {
    const float plank = (v - frame) / (1 - 2 * frame) * 3;
    const float fp = plank - std::floor(plank);
    const int pi = int(plank);
    c = Mix(dark, light, 0.45f + 0.5f * grain + 0.1f * Hash(pi, 0, 43));
    c = Scale(c, 0.7f + 0.3f * Smooth(0.0f, 0.06f, std::min(fp, 1 - fp)));
    // Diagonal brace.
    const float d = std::fabs(u - v) / 1.41421f;
    if (d < 0.07f) {
      c = Scale(Mix(dark, light, 0.6f + 0.35f * grain), 1.05f);
      c = Scale(c, 0.72f + 0.28f * Smooth(0.0f, 0.015f, 0.07f - d));
    }
  }
  return c;
}

Rgb DestPixel(float u, float v) {
  Rgb c = FloorPixel(u, v);
  const float du = u - 0.5f, dv = v - 0.5f;
  const float r = std::sqrt(du * du + dv * dv);
  const Rgb gold{1.0f, 0.78f, 0.22f};
  const float ring = 1 - Smooth(0.0f, 0.02f, std::fabs(r - 0.33f) - 0.035f);
  const float dot = 1 - Smooth(0.0f, 0.02f, std::fabs(du) + std::fabs(dv) - 0.14f);
  const float glow = 0.35f * (1 - Smooth(0.0f, 0.45f, r));
  c = Mix(c, gold, Clamp01(glow));
  c = Mix(c, gold, std::max(ring, dot));
  // Corner brackets mark the cell from afar.
  const float e = EdgeDistance(u, v);
  const bool corner = (std::fabs(du) > 0.32f && std::fabs(dv) > 0.32f) && e > 0.04f && e < 0.085f;
  if (corner) c = Mix(c, gold, 0.9f);
  return c;
}

Rgb WaterPixel(float u, float v) {
  const float n = Fbm(u, v, 4, 5, 61);
  const float ridge = 1 - std::fabs(2 * Fbm(u + 0.3f, v, 6, 4, 71) - 1);
  const Rgb deep{0.06f, 0.22f, 0.48f}, shallow{0.16f, 0.45f, 0.72f};
  Rgb c = Mix(deep, shallow, n);
  return Mix(c, Rgb{0.75f, 0.90f, 1.0f}, std::pow(ridge, 10.0f) * 0.65f);
}

Rgb MenuPixel(float u, float v) {
  const float n = Fbm(u, v, 4, 4, 81);
  const float stripe = 0.5f + 0.5f * std::sin((u + v) * 3.14159f * 16);
  const Rgb base{0.10f, 0.12f, 0.20f};
  return Scale(base, 0.85f + 0.25f * n + 0.05f * stripe);
}

Rgb MenuBackPixel(float u, float v) {
  const Rgb top{0.06f, 0.07f, 0.16f}, bottom{0.24f, 0.12f, 0.26f};
  Rgb c = Mix(top, bottom, Smooth(0.0f, 1.0f, v));
  const float cloud = Fbm(u, v, 3, 5, 91);
  c = Mix(c, Rgb{0.30f, 0.22f, 0.45f}, Smooth(0.45f, 0.85f, cloud) * 0.5f);
  const float star = Hash(int(u * 256), int(v * 256), 93);
  if (star > 0.996f && v < 0.7f) c = Mix(c, Rgb{1, 1, 1}, 0.6f * (1 - v));
  return c;
}

}  // namespace

Image PaintTexture(TexKind Kind, int Size) {
  Canvas cv(std::max(Size, 8));
  switch (Kind) {
    case TexKind::Floor: cv.Paint(FloorPixel); break;
    case TexKind::Box: cv.Paint(BoxPixel); break;
    case TexKind::Wall: cv.Paint(WallPixel); break;
    case TexKind::Dest: cv.Paint(DestPixel); break;
    case TexKind::Water: cv.Paint(WaterPixel); break;
    case TexKind::Menu: cv.Paint(MenuPixel); break;
    case TexKind::MenuBack: cv.Paint(MenuBackPixel); break;
    case TexKind::Count: break;
  }
  return std::move(cv.Img);
}

Image PaintPointer(int Size) {
  // An arrow with a dark outline and a soft shadow, tip at the top-left pixel.
  Canvas cv(Size);
  std::fill(cv.Img.Rgba.begin(), cv.Img.Rgba.end(), 0);
  auto inside = [](float x, float y, float grow) {
    // Arrow outline in unit coordinates: tip (0,0), down the left edge, across to the right.
    const float ax = 0, ay = 0, bx = 0, by = 0.82f, cx = 0.58f, cy = 0.60f;
    auto side = [](float px, float py, float x0, float y0, float x1, float y1) {
      const float ex = x1 - x0, ey = y1 - y0, len = std::sqrt(ex * ex + ey * ey);
      return ((px - x0) * ey - (py - y0) * ex) / len;
    };
    const float d1 = side(x, y, ax, ay, bx, by), d2 = side(x, y, bx, by, cx, cy), d3 = side(x, y, cx, cy, ax, ay);
    return std::max(std::max(-d1, -d2), -d3) < grow;
  };
  for (int y = 0; y < Size; ++y)
    for (int x = 0; x < Size; ++x) {
      float cover = 0, outline = 0, shadow = 0;
      for (int s = 0; s < 4; ++s) {  // 2x2 supersampling
        const float px = (x + 0.25f + 0.5f * (s & 1)) / Size * 1.1f - 0.04f;
        const float py = (y + 0.25f + 0.5f * (s >> 1)) / Size * 1.1f - 0.04f;
        cover += inside(px, py, -0.045f) ? 0.25f : 0;
        outline += inside(px, py, 0.0f) ? 0.25f : 0;
        shadow += inside(px - 0.05f, py - 0.06f, 0.02f) ? 0.25f : 0;
      }
      const Rgb white{1.0f, 0.97f, 0.90f}, dark{0.08f, 0.06f, 0.10f};
      if (outline > 0) cv.Put(x, y, Mix(dark, white, cover / std::max(outline, 0.01f)), outline);
      else if (shadow > 0) cv.Put(x, y, Rgb{0, 0, 0}, shadow * 0.35f);
    }
  return std::move(cv.Img);
}

}  // namespace graph
