// Camera.h -- where the eye stands for a play frame: behind and above the
// player, turned by the view angle, so the player's facing points into the
// screen; or, in the overview, high above the whole level. The fog goes with it.
#pragma once
#include <algorithm>
#include <array>
#include <cmath>

#define GLM_FORCE_RADIANS
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "game.h"

namespace graph {

// The play camera's field of view, top to bottom, and its fog: the level
// fades from FogStart on and is gone at FogEnd, measured from the eye.
constexpr float kFieldOfView = 52.0f;
constexpr float kPlayFogStart = 16.0f, kPlayFogEnd = 44.0f;

struct Camera {
  glm::mat4 View{1.0f}, Projection{1.0f};
  glm::vec3 Eye{0.0f}, Target{0.0f};
  float FogStart = kPlayFogStart, FogEnd = kPlayFogEnd;
  glm::mat4 ViewProjection() const { return Projection * View; }
};

// Angle in degrees: 0 looks along +y, 90 along +x.
inline Camera FollowCamera(const TBox &Player, float AngleDegrees, int Width, int Height) {
  const float a = glm::radians(AngleDegrees);
  const glm::vec3 facing(std::sin(a), std::cos(a), 0.0f);
  const glm::vec3 centre(float(Player.x + Player.sx / 2), float(Player.y + Player.sy / 2), float(Player.z));
  Camera c;
  c.Target = centre + facing * 2.5f + glm::vec3(0, 0, 0.2f);
  c.Eye = centre - facing * 4.5f + glm::vec3(0, 0, 7.8f);
  c.View = glm::lookAt(c.Eye, c.Target, glm::vec3(0, 0, 1));
  const float aspect = Height > 0 ? float(Width) / float(Height) : 1.0f;
  c.Projection = glm::perspective(glm::radians(kFieldOfView), aspect, 0.1f, 400.0f);
  return c;
}

// The overview: the whole level of FieldWidth x FieldHeight cells in view, seen
// steeply from above, the top of the screen still where From looks, and
// nothing of the level in the fog; Eased (0..1) of the way there from From.
// The level fills the view but for a band at the top and the bottom, where the
// play screen's panels lie.
inline Camera OverviewCamera(const Camera &From, int FieldWidth, int FieldHeight, float Eased, int Width, int Height) {
  const float w = float(std::clamp(FieldWidth, 1, 4096)), h = float(std::clamp(FieldHeight, 1, 4096));
  const glm::vec3 centre(w / 2, h / 2, 0);
  glm::vec3 facing = From.Target - From.Eye;
  facing.z = 0;
  facing = glm::length(facing) > 1e-4f ? glm::normalize(facing) : glm::vec3(0, 1, 0);
  const float elevation = glm::radians(70.0f);
  const glm::vec3 forward = facing * std::cos(elevation) - glm::vec3(0, 0, std::sin(elevation));
  const glm::vec3 right = glm::normalize(glm::cross(forward, glm::vec3(0, 0, 1)));
  const glm::vec3 up = glm::cross(right, forward);
  const float aspect = Height > 0 ? float(Width) / float(Height) : 1.0f;
  const float tanY = std::tan(glm::radians(kFieldOfView / 2)), tanX = tanY * aspect;
  const float keptY = tanY * 0.76f, keptX = tanX * 0.94f;
  std::array<glm::vec3, 8> corners;  // the floor slab's underside to the tops of the cubes
  for (int i = 0; i < 8; ++i) corners[i] = glm::vec3(i & 1 ? w : 0, i & 2 ? h : 0, i & 4 ? 1.0f : -0.5f);
  // The eye's distance from the centre at which every corner is inside the kept part.
  float distance = 4;
  for (const glm::vec3 &corner : corners) {
    const glm::vec3 r = corner - centre;
    const float across = std::max(std::abs(glm::dot(r, right)) / keptX, std::abs(glm::dot(r, up)) / keptY);
    distance = std::max(distance, across - glm::dot(r, forward));
  }
  const glm::vec3 eye = centre - forward * distance;
  float nearDepth = distance, farthest = 0;
  for (const glm::vec3 &corner : corners) {
    nearDepth = std::min(nearDepth, glm::dot(corner - eye, forward));
    farthest = std::max(farthest, glm::length(corner - eye));
  }
  const float fogStart = std::max(kPlayFogStart, farthest + 1), fogEnd = std::max(kPlayFogEnd, 2 * fogStart);

  Camera c = From;
  c.Eye = glm::mix(From.Eye, eye, Eased);
  c.Target = glm::mix(From.Target, centre, Eased);
  c.View = glm::lookAt(c.Eye, c.Target, glm::vec3(0, 0, 1));
  c.FogStart = glm::mix(From.FogStart, fogStart, Eased);
  c.FogEnd = glm::mix(From.FogEnd, fogEnd, Eased);
  // The near plane moves out with the eye, so that the depth buffer keeps the
  // marks apart from the floor they lie on at any distance.
  const float zNear = glm::mix(0.1f, std::max(0.1f, nearDepth * 0.5f), Eased * Eased);
  c.Projection = glm::perspective(glm::radians(kFieldOfView), aspect, zNear, std::max(400.0f, c.FogEnd + 8));
  return c;
}

// Window pixel (origin top-left) of a world point; false behind the eye.
inline bool ProjectToPixel(const Camera &C, glm::vec3 World, int Width, int Height, float &X, float &Y) {
  const glm::vec4 clip = C.ViewProjection() * glm::vec4(World, 1.0f);
  if (clip.w <= 0) return false;
  X = (clip.x / clip.w * 0.5f + 0.5f) * Width;
  Y = (1 - (clip.y / clip.w * 0.5f + 0.5f)) * Height;
  return true;
}

}  // namespace graph
