// GroundLight.h -- the light on the ground of a level, worked out on the CPU
// once per layout instead of in every fragment of every frame: the sun's shadow
// of walls and boxes, their ambient occlusion, and how far a point lies inside
// water (for the foam along its shore). Four texels per cell, as the occupancy.
#pragma once
#include <cstdint>
#include <vector>

namespace graph {

struct TexelRect {
  int X0 = 0, Y0 = 0, X1 = -1, Y1 = -1;  // inclusive; empty when X1 < X0
  bool Empty() const { return X1 < X0 || Y1 < Y0; }
};

constexpr int kGroundTexelsPerCell = 4;

// Occupancy: two bytes a texel, 255 where a wall or box stands (first) and
// where water lies (second). Baked: four bytes a texel, how much stands
// between it and the sun (0 nothing .. 255 all; the shader sharpens it into the
// shadow's edge), the ambient light left (255 open .. 0 enclosed), how
// deep inside water, and 255.
class GroundLight {
public:
  // Takes the new occupancy of a Width x Height texel map; answers the texels
  // whose baked light changed (all of them when the size changed).
  TexelRect Update(int Width, int Height, std::vector<uint8_t> Occupancy);
  int Width() const { return W; }
  int Height() const { return H; }
  const std::vector<uint8_t> &Baked() const { return Light; }

  // The sun's direction over the ground per unit of height, as the scene's light.
  static void SetSunDirection(float X, float Y, float Z);

private:
  void Bake(const TexelRect &Area);
  float OccBilinear(float U, float V, int Channel) const;
  float CellBilinear(float U, float V) const;
  int W = 0, H = 0;
  std::vector<uint8_t> Occ;
  std::vector<float> CellMean;  // mean blocking per cell, for the occlusion
  std::vector<uint8_t> Light;
};

}  // namespace graph
