// Camera.h -- where the eye stands for a play frame: behind and above the
// player, turned by the view angle, so the player's facing points into the screen.
#pragma once
#include <algorithm>
#include <cmath>

#define GLM_FORCE_RADIANS
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "game.h"

namespace graph {

struct Camera {
  glm::mat4 View{1.0f}, Projection{1.0f};
  glm::vec3 Eye{0.0f}, Target{0.0f};
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
  c.Projection = glm::perspective(glm::radians(52.0f), aspect, 0.1f, 400.0f);
  return c;
}

// The overview: the camera pulled back and up from From, looking the same way,
// until a circle round the whole level of FieldWidth x FieldHeight cells fits
// the view; Eased (0..1) of the way there.
inline Camera OverviewCamera(const Camera &From, int FieldWidth, int FieldHeight, float Eased, int Width, int Height) {
  const glm::vec3 centre(FieldWidth / 2.0f, FieldHeight / 2.0f, 0);
  const float radius = 0.5f * std::sqrt(float(FieldWidth * FieldWidth + FieldHeight * FieldHeight)) + 1;
  const float aspect = Height > 0 ? float(Width) / float(Height) : 1.0f;
  const float halfFov = glm::radians(26.0f) * std::min(1.0f, aspect);
  const float distance = radius / std::sin(halfFov);
  glm::vec3 facing = From.Target - From.Eye;
  facing.z = 0;
  facing = glm::length(facing) > 1e-4f ? glm::normalize(facing) : glm::vec3(0, 1, 0);
  const glm::vec3 eye = centre + (-facing * 0.45f + glm::vec3(0, 0, 0.89f)) * distance;
  Camera c = From;
  c.Eye = glm::mix(From.Eye, eye, Eased);
  c.Target = glm::mix(From.Target, centre, Eased);
  c.View = glm::lookAt(c.Eye, c.Target, glm::vec3(0, 0, 1));
  c.Projection = glm::perspective(glm::radians(52.0f), aspect, 0.1f, std::max(400.0f, distance * 2.5f));
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
