// Camera.h -- where the eye stands for a play frame: behind and above the
// player, turned by the view angle, so the player's facing points into the screen.
#pragma once
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

// Window pixel (origin top-left) of a world point; false behind the eye.
inline bool ProjectToPixel(const Camera &C, glm::vec3 World, int Width, int Height, float &X, float &Y) {
  const glm::vec4 clip = C.ViewProjection() * glm::vec4(World, 1.0f);
  if (clip.w <= 0) return false;
  X = (clip.x / clip.w * 0.5f + 0.5f) * Width;
  Y = (1 - (clip.y / clip.w * 0.5f + 0.5f)) * Height;
  return true;
}

}  // namespace graph
