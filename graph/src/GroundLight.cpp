#include "GroundLight.h"

#include <algorithm>
#include <cmath>

namespace graph {
namespace {

float SunX = -0.58f, SunY = -0.79f;  // towards the sun per unit of height

uint8_t Byte(float V) { return uint8_t(std::lround(std::clamp(V, 0.0f, 1.0f) * 255.0f)); }

// How far a change of occupancy reaches: the shadow's longest offset, the
// occlusion's cell and the filtering between texels, with room to spare.
constexpr int kReach = 3 * kGroundTexelsPerCell;

}  // namespace

void GroundLight::SetSunDirection(float X, float Y, float Z) {
  const float up = std::max(Z, 0.2f);
  SunX = X / up;
  SunY = Y / up;
}

float GroundLight::OccBilinear(float U, float V, int Channel) const {
  // Texel centres at half steps; clamped at the edges, as the card samples.
  const float x = U - 0.5f, y = V - 0.5f;
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const float fx = x - float(x0), fy = y - float(y0);
  auto at = [&](int X, int Y) {
    X = std::clamp(X, 0, W - 1);
    Y = std::clamp(Y, 0, H - 1);
    return Occ[(size_t(Y) * W + X) * 2 + Channel] / 255.0f;
  };
  const float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
  const float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
  return top + (bottom - top) * fy;
}

float GroundLight::CellBilinear(float U, float V) const {
  const int cw = W / kGroundTexelsPerCell, ch = H / kGroundTexelsPerCell;
  const float x = U / kGroundTexelsPerCell - 0.5f, y = V / kGroundTexelsPerCell - 0.5f;
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const float fx = x - float(x0), fy = y - float(y0);
  auto at = [&](int X, int Y) { return CellMean[size_t(std::clamp(Y, 0, ch - 1)) * cw + std::clamp(X, 0, cw - 1)]; };
  const float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
  const float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
  return top + (bottom - top) * fy;
}

void GroundLight::Bake(const TexelRect &Area) {
  // Cell means first, over the cells the area's texels read.
  const int cw = W / kGroundTexelsPerCell, ch = H / kGroundTexelsPerCell;
  const int c0 = std::max(0, Area.X0 / kGroundTexelsPerCell - 1), c1 = std::min(cw - 1, Area.X1 / kGroundTexelsPerCell + 1);
  const int r0 = std::max(0, Area.Y0 / kGroundTexelsPerCell - 1), r1 = std::min(ch - 1, Area.Y1 / kGroundTexelsPerCell + 1);
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      int sum = 0;
      for (int y = 0; y < kGroundTexelsPerCell; ++y)
        for (int x = 0; x < kGroundTexelsPerCell; ++x)
          sum += Occ[(size_t(r * kGroundTexelsPerCell + y) * W + c * kGroundTexelsPerCell + x) * 2];
      CellMean[size_t(r) * cw + c] = sum / (255.0f * kGroundTexelsPerCell * kGroundTexelsPerCell);
    }
  for (int y = Area.Y0; y <= Area.Y1; ++y)
    for (int x = Area.X0; x <= Area.X1; ++x) {
      const float u = x + 0.5f, v = y + 0.5f;  // texel units
      // Four steps towards the sun, up to 0.88 of a cell high. The blocking
      // is kept unsharpened: the shader sharpens it after filtering, so the
      // shadow keeps a crisp edge between texels.
      float blocked = 0;
      for (int i = 1; i <= 4; ++i) {
        const float h = 0.22f * float(i) * kGroundTexelsPerCell;
        blocked = std::max(blocked, OccBilinear(u + SunX * h, v + SunY * h, 0));
      }
      const float ambient = 1.0f - 0.45f * CellBilinear(u, v);
      const float inside = OccBilinear(u, v, 1);
      uint8_t *out = &Light[(size_t(y) * W + x) * 4];
      out[0] = Byte(blocked);
      out[1] = Byte(ambient);
      out[2] = Byte(inside);
      out[3] = 255;
    }
}

TexelRect GroundLight::Update(int Width, int Height, std::vector<uint8_t> Occupancy) {
  TexelRect changed;
  if (Width <= 0 || Height <= 0 || Occupancy.size() != size_t(Width) * Height * 2) return changed;
  if (Width != W || Height != H) {
    W = Width;
    H = Height;
    Occ = std::move(Occupancy);
    CellMean.assign(size_t(W / kGroundTexelsPerCell) * (H / kGroundTexelsPerCell), 0.0f);
    Light.assign(size_t(W) * H * 4, 0);
    changed = {0, 0, W - 1, H - 1};
    Bake(changed);
    return changed;
  }
  // Only the texels near a change are worked out again: a crate pushed one
  // frame moves a few texels, in a map that may hold a million.
  TexelRect diff{W, H, -1, -1};
  for (int y = 0; y < H; ++y) {
    const uint8_t *a = &Occ[size_t(y) * W * 2], *b = &Occupancy[size_t(y) * W * 2];
    if (std::equal(a, a + size_t(W) * 2, b)) continue;
    for (int x = 0; x < W; ++x)
      if (a[x * 2] != b[x * 2] || a[x * 2 + 1] != b[x * 2 + 1]) {
        diff.X0 = std::min(diff.X0, x);
        diff.X1 = std::max(diff.X1, x);
        diff.Y0 = std::min(diff.Y0, y);
        diff.Y1 = std::max(diff.Y1, y);
      }
  }
  if (diff.Empty()) return changed;
  Occ = std::move(Occupancy);
  changed = {std::max(0, diff.X0 - kReach), std::max(0, diff.Y0 - kReach), std::min(W - 1, diff.X1 + kReach),
             std::min(H - 1, diff.Y1 + kReach)};
  Bake(changed);
  return changed;
}

}  // namespace graph
