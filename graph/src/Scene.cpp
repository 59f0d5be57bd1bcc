// Scene.cpp -- the level in 3D: a stone floor slab, tiles for destinations,
// water and filled cells, lit cubes for walls, boxes and the player, all kinds
// drawn with one instanced call each, soft sun shadows from an occupancy map.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "Renderer.h"
#include "State.h"

namespace graph {

namespace {

const char *kSceneVertex = R"(
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUV;
layout(location = 3) in vec3 iOrigin;
layout(location = 4) in vec3 iSize;
layout(location = 5) in vec4 iParams;
uniform mat4 uViewProj;
uniform int uMode;
uniform int uWorldUV;
uniform float uTime;
out vec3 vWorld;
out vec3 vNormal;
out vec3 vLocal;
out vec2 vUV;
flat out vec3 vFaceNormal;
flat out vec3 vSize;
flat out vec4 vParams;

mat3 Rotation(vec3 axis, float angle) {
  float s = sin(angle), c = cos(angle), t = 1.0 - c;
  return mat3(t * axis.x * axis.x + c, t * axis.x * axis.y + s * axis.z, t * axis.x * axis.z - s * axis.y,
              t * axis.x * axis.y - s * axis.z, t * axis.y * axis.y + c, t * axis.y * axis.z + s * axis.x,
              t * axis.x * axis.z + s * axis.y, t * axis.y * axis.z - s * axis.x, t * axis.z * axis.z + c);
}

void main() {
  vec3 world;
  vec3 n = aNormal;
  if (uMode == 4) {
    mat3 r = Rotation(normalize(iParams.xyz), uTime * 0.35 + iParams.w);
    world = iOrigin + r * ((aPos - 0.5) * iSize.x);
    n = r * aNormal;
  } else {
    world = iOrigin + aPos * iSize;
  }
  vec3 an = abs(aNormal);
  if (uWorldUV == 1)
    vUV = an.z > 0.5 ? world.xy : (an.x > 0.5 ? vec2(world.y, -world.z) : vec2(world.x, -world.z));
  else
    vUV = aUV;
  vWorld = world;
  vNormal = n;
  vLocal = aPos;
  vFaceNormal = aNormal;
  vSize = iSize;
  vParams = iParams;
  gl_Position = uViewProj * vec4(world, 1.0);
}
)";

const char *kSceneFragment = R"(
in vec3 vWorld;
in vec3 vNormal;
in vec3 vLocal;
in vec2 vUV;
flat in vec3 vFaceNormal;
flat in vec3 vSize;
flat in vec4 vParams;
uniform int uMode;
uniform float uTime;
uniform sampler2D uTex;
uniform sampler2D uOcc;
uniform vec2 uOccSize;
uniform int uHasOcc;
uniform vec3 uTint;
uniform vec3 uEye;
uniform vec3 uLight;
uniform vec3 uFogColor;
uniform vec2 uFogRange;
uniform vec4 uPlayerShadow;
uniform float uSpec;
out vec4 FragColor;

vec3 Hsv(float h, float s, float v) {
  vec3 k = clamp(abs(mod(h * 6.0 + vec3(0.0, 4.0, 2.0), 6.0) - 3.0) - 1.0, 0.0, 1.0);
  return v * mix(vec3(1.0), k, s);
}

float Occ(vec2 p, float lod) {
  return textureLod(uOcc, p / uOccSize, lod).r;
}

// How much of the sun a point on the ground misses, from the walls and boxes
// (occupancy map) and the player (a box given by uniform).
float GroundShadow(vec2 p) {
  vec2 toSun = uLight.xy / max(uLight.z, 0.2);
  float s = 0.0;
  for (int i = 1; i <= 4; ++i) {
    float h = 0.22 * float(i);
    vec2 q = p + toSun * h;
    if (uHasOcc == 1) s = max(s, smoothstep(0.3, 0.7, Occ(q, 0.0)));
    if (h < 0.7 && uPlayerShadow.z > 0.0) {
      vec2 d = max(uPlayerShadow.xy - q, q - uPlayerShadow.xy - uPlayerShadow.zw);
      s = max(s, 1.0 - smoothstep(-0.04, 0.04, max(d.x, d.y)));
    }
  }
  return s;
}

void main() {
  vec3 fn = abs(vFaceNormal);
  vec3 d = min(vLocal, 1.0 - vLocal) * (uMode == 4 ? vec3(vSize.x) : vSize);
  float edge = fn.x > 0.5 ? min(d.y, d.z) : (fn.y > 0.5 ? min(d.x, d.z) : min(d.x, d.y));
  vec3 N = normalize(vNormal);
  vec3 V = normalize(uEye - vWorld);
  vec3 base;
  vec3 emit = vec3(0.0);
  float spec = uSpec;

  if (uMode == 2) {  // water: two scrolling layers, a rippled normal and the sky in it
    vec2 p = vWorld.xy;
    vec3 a = texture(uTex, p * 0.55 + uTime * vec2(0.030, 0.021)).rgb;
    vec3 b = texture(uTex, p * 0.80 - uTime * vec2(0.018, -0.033)).rgb;
    base = mix(a, b, 0.5) * 1.05;
    N = normalize(vec3(0.07 * sin(p.x * 7.0 + uTime * 2.1) + 0.05 * sin(p.y * 11.0 - uTime * 1.3),
                       0.07 * cos(p.y * 6.0 + uTime * 1.7) + 0.05 * cos(p.x * 9.0 + uTime * 1.1), 1.0));
    float fres = pow(1.0 - max(dot(N, V), 0.0), 3.0);
    base = mix(base, vec3(0.55, 0.70, 0.90), 0.45 * fres);
    if (uHasOcc == 1) {  // foam where the water meets the floor, lapping with the waves
      float inside = textureLod(uOcc, p / uOccSize, 0.0).g;
      float lap = 0.08 * sin(uTime * 1.8 + p.x * 5.0 + p.y * 4.0);
      float foam = 1.0 - smoothstep(0.62 + lap, 0.97, inside);
      base = mix(base * (0.75 + 0.25 * inside), vec3(0.88, 0.95, 1.0), foam * 0.75);
    }
    spec = 0.9;
  } else if (uMode == 3) {  // the player: a glossy teal cube, an arrow on top, eyes in front
    base = vec3(0.10, 0.66, 0.64) * (0.96 + 0.04 * sin(vLocal.z * 40.0));
    int dir = int(vParams.y + 0.5);
    vec2 f = dir == 0 ? vec2(0, 1) : dir == 1 ? vec2(1, 0) : dir == 2 ? vec2(0, -1) : vec2(-1, 0);
    vec2 side = vec2(f.y, -f.x);
    if (vFaceNormal.z > 0.5) {
      vec2 q = vLocal.xy - 0.5;
      float along = dot(q, f), across = abs(dot(q, side));
      bool head = along > -0.02 && along < 0.30 && across < (0.30 - along) * 0.95;
      bool shaft = along > -0.30 && along <= -0.02 && across < 0.085;
      if (head || shaft) base = vec3(0.95, 0.97, 0.90);
    } else if (dot(vFaceNormal.xy, f) > 0.5) {
      vec2 q = vec2(dot(vLocal.xy - 0.5, side), vLocal.z - 0.62);
      for (int e = -1; e <= 1; e += 2) {
        float r = length(q - vec2(0.17 * float(e), 0.0));
        if (r < 0.095) base = vec3(0.97);
        if (length(q - vec2(0.17 * float(e), 0.0) - vec2(0.0, -0.01)) < 0.045) base = vec3(0.05);
      }
    }
    emit += vec3(0.55, 1.0, 0.95) * (1.0 - smoothstep(0.0, 0.05, edge)) * 0.45;
    spec = 0.6;
  } else if (uMode == 4) {  // a drifting cube of the effect: pastel, glowing at the edges
    base = Hsv(vSize.y, 0.45, 0.95);
    emit = Hsv(vSize.y, 0.6, 1.0) * (1.0 - smoothstep(0.0, 0.06 * vSize.x, edge)) * 0.8;
    spec = 0.5;
  } else {
    base = texture(uTex, vUV).rgb * uTint;
    if (uMode == 1 && fn.z < 0.5) base *= 0.55;          // the slab's sides
    if (uMode == 5 && vParams.x > 0.5) {                 // destination mark: a slow golden pulse
      float gold = smoothstep(0.15, 0.45, base.r - base.b);
      emit += vec3(1.0, 0.72, 0.25) * gold * (0.12 + 0.12 * sin(uTime * 2.6));
    }
    if (uMode == 0 && vParams.x > 0.5) {                 // a box standing on its destination
      float lum = dot(base, vec3(0.3, 0.59, 0.11));
      base = mix(base, vec3(0.30, 0.85, 0.42) * (0.5 + lum), 0.7);
      emit += vec3(0.35, 1.0, 0.45) * (1.0 - smoothstep(0.0, 0.07, edge)) * (0.55 + 0.25 * sin(uTime * 3.0));
    }
  }

  // Shadows and ambient occlusion on the ground.
  float shadow = 0.0, ao = 1.0;
  bool ground = vFaceNormal.z > 0.5 && vWorld.z < 0.05 && uMode != 4;
  if (ground) {
    shadow = GroundShadow(vWorld.xy);
    if (uHasOcc == 1) ao = 1.0 - 0.45 * Occ(vWorld.xy, 2.0);
  }
  if (fn.z < 0.5 && (uMode == 0 || uMode == 3)) ao *= mix(0.55, 1.0, smoothstep(0.0, 0.5, vWorld.z));

  vec3 L = normalize(uLight);
  float diff = max(dot(N, L), 0.0) * (1.0 - 0.8 * shadow);
  vec3 hemi = mix(vec3(0.26, 0.24, 0.30), vec3(0.50, 0.55, 0.66), N.z * 0.5 + 0.5) * ao;
  vec3 H = normalize(L + V);
  float s = pow(max(dot(N, H), 0.0), 40.0) * spec * (1.0 - shadow);
  vec3 color = base * (hemi + diff * vec3(1.0, 0.94, 0.82) * 0.95) + vec3(s) + emit;

  // Bevelled edges keep neighbouring cubes apart.
  if (uMode != 1 && uMode != 2 && uMode != 5) color *= 0.55 + 0.45 * smoothstep(0.0, 0.035, edge);

  float fog = smoothstep(uFogRange.x, uFogRange.y, length(vWorld - uEye));
  FragColor = vec4(mix(color, uFogColor, fog), 1.0);
}
)";

// The fast tier's programs, one per kind (MODE), for a rasterizer that works
// out every fragment on the CPU: light per vertex on the flat faces, the
// ground's shadow and occlusion read from the baked map, no specular.
const char *kFastVertex = R"(
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUV;
layout(location = 3) in vec3 iOrigin;
layout(location = 4) in vec3 iSize;
layout(location = 5) in vec4 iParams;
uniform mat4 uViewProj;
uniform int uWorldUV;
uniform float uTime;
uniform vec3 uLight;
out vec3 vWorld;
out vec3 vLocal;
out vec2 vUV;
out vec3 vLight;
flat out vec3 vFaceNormal;
flat out vec3 vSize;
flat out vec4 vParams;
flat out vec3 vBase;
flat out vec3 vEmit;

vec3 Hsv(float h, float s, float v) {
  vec3 k = clamp(abs(mod(h * 6.0 + vec3(0.0, 4.0, 2.0), 6.0) - 3.0) - 1.0, 0.0, 1.0);
  return v * mix(vec3(1.0), k, s);
}

mat3 Rotation(vec3 axis, float angle) {
  float s = sin(angle), c = cos(angle), t = 1.0 - c;
  return mat3(t * axis.x * axis.x + c, t * axis.x * axis.y + s * axis.z, t * axis.x * axis.z - s * axis.y,
              t * axis.x * axis.y - s * axis.z, t * axis.y * axis.y + c, t * axis.y * axis.z + s * axis.x,
              t * axis.x * axis.z + s * axis.y, t * axis.y * axis.z - s * axis.x, t * axis.z * axis.z + c);
}

void main() {
  vec3 world;
  vec3 n = aNormal;
  vSize = iSize;
#if MODE == 4
  mat3 r = Rotation(normalize(iParams.xyz), uTime * 0.35 + iParams.w);
  world = iOrigin + r * ((aPos - 0.5) * iSize.x);
  n = r * aNormal;
  vSize = vec3(iSize.x);
  vBase = Hsv(iSize.y, 0.45, 0.95);
  vEmit = Hsv(iSize.y, 0.6, 1.0) * 0.8;
#else
  world = iOrigin + aPos * iSize;
  vBase = vec3(0.0);
  vEmit = vec3(0.0);
#endif
  vec3 an = abs(aNormal);
  if (uWorldUV == 1)
    vUV = an.z > 0.5 ? world.xy : (an.x > 0.5 ? vec2(world.y, -world.z) : vec2(world.x, -world.z));
  else
    vUV = aUV;
  // Sky and sun on a flat face are the same all over it.
  float ao = 1.0;
#if MODE == 0
  if (an.z < 0.5) ao = mix(0.55, 1.0, smoothstep(0.0, 0.5, world.z));
#endif
  vec3 L = normalize(uLight);
  vec3 hemi = mix(vec3(0.26, 0.24, 0.30), vec3(0.50, 0.55, 0.66), n.z * 0.5 + 0.5) * ao;
  vLight = hemi + max(dot(n, L), 0.0) * vec3(1.0, 0.94, 0.82) * 0.95;
#if MODE == 1
  if (an.z < 0.5) vLight *= 0.55;  // the slab's sides
#endif
  vWorld = world;
  vLocal = aPos;
  vFaceNormal = aNormal;
  vParams = iParams;
  gl_Position = uViewProj * vec4(world, 1.0);
}
)";

const char *kFastFragment = R"(
in vec3 vWorld;
in vec3 vLocal;
in vec2 vUV;
in vec3 vLight;
flat in vec3 vFaceNormal;
flat in vec3 vSize;
flat in vec4 vParams;
flat in vec3 vBase;
flat in vec3 vEmit;
uniform float uTime;
uniform sampler2D uTex;
uniform sampler2D uGround;
uniform vec2 uGroundSize;
uniform vec3 uTint;
uniform vec3 uEye;
uniform vec3 uLight;
uniform vec3 uFogColor;
uniform vec2 uFogRange;
uniform vec4 uPlayerShadow;
out vec4 FragColor;

float Edge() {
  vec3 fn = abs(vFaceNormal);
  vec3 d = min(vLocal, 1.0 - vLocal) * vSize;
  return fn.x > 0.5 ? min(d.y, d.z) : (fn.y > 0.5 ? min(d.x, d.z) : min(d.x, d.y));
}

// The ground lit: the sun's shadow and the occlusion baked, the player's
// shadow (it moves every frame) worked out here from two steps towards the sun.
vec3 Ground(vec3 base, vec3 baked) {
  vec2 toSun = uLight.xy / max(uLight.z, 0.2);
  float shadow = smoothstep(0.3, 0.7, baked.r);
  for (int i = 0; i < 2; ++i) {
    vec2 q = vWorld.xy + toSun * (0.22 + 0.44 * float(i));
    vec2 d = max(uPlayerShadow.xy - q, q - uPlayerShadow.xy - uPlayerShadow.zw);
    shadow = max(shadow, (1.0 - smoothstep(-0.04, 0.04, max(d.x, d.y))) * step(0.0001, uPlayerShadow.z));
  }
  float sun = max(normalize(uLight).z, 0.0) * 0.95 * (1.0 - 0.8 * shadow);
  return base * (vec3(0.50, 0.55, 0.66) * baked.g + sun * vec3(1.0, 0.94, 0.82));
}

void main() {
  vec3 color;
#if MODE == 2
  vec3 baked = texture(uGround, vWorld.xy / uGroundSize).rgb;
  vec2 p = vWorld.xy;
  // One layer, read from a coarser level (as soft as two layers averaged), and a sheen of sky.
  vec3 base = texture(uTex, p * 0.55 + uTime * vec2(0.030, 0.021), 1.0).rgb * 1.05;
  base = mix(base, vec3(0.55, 0.70, 0.90), 0.18 + 0.06 * sin(p.x * 7.0 + p.y * 5.0 + uTime * 2.1));
  float lap = 0.08 * sin(uTime * 1.8 + p.x * 5.0 + p.y * 4.0);
  float foam = 1.0 - smoothstep(0.62 + lap, 0.97, baked.b);
  base = mix(base * (0.75 + 0.25 * baked.b), vec3(0.88, 0.95, 1.0), foam * 0.75);
  color = Ground(base, baked);
#elif MODE == 4
  color = vBase * vLight + vEmit * (1.0 - smoothstep(0.0, 0.06 * vSize.x, Edge()));
  color *= 0.55 + 0.45 * smoothstep(0.0, 0.035, Edge());
#else
  vec3 base = texture(uTex, vUV).rgb * uTint;
#if MODE == 0
  float edge = Edge();
  if (vParams.x > 0.5) {  // a box standing on its destination
    float lum = dot(base, vec3(0.3, 0.59, 0.11));
    base = mix(base, vec3(0.30, 0.85, 0.42) * (0.5 + lum), 0.7);
  }
  color = base * vLight;
  if (vParams.x > 0.5)
    color += vec3(0.35, 1.0, 0.45) * (1.0 - smoothstep(0.0, 0.07, edge)) * (0.55 + 0.25 * sin(uTime * 3.0));
  color *= 0.55 + 0.45 * smoothstep(0.0, 0.035, edge);
#else
  if (vFaceNormal.z > 0.5) color = Ground(base, texture(uGround, vWorld.xy / uGroundSize).rgb);
  else color = base * vLight;
#if MODE == 5
  if (vParams.x > 0.5) {  // destination mark: a slow golden pulse
    float gold = smoothstep(0.15, 0.45, base.r - base.b);
    color += vec3(1.0, 0.72, 0.25) * gold * (0.12 + 0.12 * sin(uTime * 2.6));
  }
#endif
#endif
#endif
  float fog = smoothstep(uFogRange.x, uFogRange.y, length(vWorld - uEye));
  FragColor = vec4(mix(color, uFogColor, fog), 1.0);
}
)";

struct CubeVertex { float Pos[3], Normal[3], UV[2]; };

// 24 vertices of the unit cube, each face with its own normal and a 0..1 texture
// square whose top is up on the sides.
std::vector<CubeVertex> CubeMesh() {
  std::vector<CubeVertex> v;
  const float faces[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (const auto &n : faces) {
    // Two axes spanning the face: u across, w up (or along y on the top and bottom).
    float u[3] = {0, 0, 0}, w[3] = {0, 0, 0};
    if (n[2] != 0) { u[0] = n[2]; w[1] = 1; }
    else { w[2] = 1; if (n[0] != 0) u[1] = n[0]; else u[0] = -n[1]; }
    for (int k = 0; k < 4; ++k) {
      const float a = (k == 1 || k == 2) ? 1.0f : 0.0f, b = (k >= 2) ? 1.0f : 0.0f;
      CubeVertex cv{};
      for (int i = 0; i < 3; ++i) {
        const float centre = 0.5f + 0.5f * n[i];
        cv.Pos[i] = centre + (a - 0.5f) * u[i] + (b - 0.5f) * w[i];
        cv.Normal[i] = n[i];
      }
      cv.UV[0] = a;
      cv.UV[1] = 1 - b;
      v.push_back(cv);
    }
  }
  return v;
}

float Dist2(const Instance &I, glm::vec2 P) {
  const float dx = I.Origin[0] + I.Size[0] / 2 - P.x, dy = I.Origin[1] + I.Size[1] / 2 - P.y;
  return dx * dx + dy * dy;
}

// Only what the fog has not swallowed is sent to the card: what lies wholly
// further from the eye than the fog's end.
void CullInFog(std::vector<Instance> &List, const Camera &Cam) {
  const float r2 = Cam.FogEnd * Cam.FogEnd;
  auto swallowed = [&](const Instance &I) {
    float d2 = 0;
    for (int a = 0; a < 3; ++a) {
      const float lo = std::min(I.Origin[a], I.Origin[a] + I.Size[a]), hi = std::max(I.Origin[a], I.Origin[a] + I.Size[a]);
      const float d = std::max({lo - Cam.Eye[a], Cam.Eye[a] - hi, 0.0f});
      d2 += d * d;
    }
    return d2 > r2;
  };
  List.erase(std::remove_if(List.begin(), List.end(), swallowed), List.end());
}

const glm::vec3 kSunDirection = glm::normalize(glm::vec3(-0.45f, -0.62f, 0.78f));
const glm::vec3 kFogColor(0.43f, 0.42f, 0.55f);

// The programs the tier draws with; the fast tier draws the player with the
// full program, whose painted face and arrow cover few pixels.
template <typename F> void ForEachSceneShader(Renderer &R, F &&Apply) {
  Apply(R.Scene3D);
  for (SceneShader &s : R.FastScene)
    if (s.Prog) Apply(s);
}

const SceneShader &ShaderFor(const Renderer &R, SceneMode Mode) {
  const SceneShader &fast = R.FastScene[size_t(Mode)];
  return R.Quality == Tier::Fast && fast.Prog ? fast : R.Scene3D;
}

void SetSceneFrame(Renderer &R, const Camera &Cam, glm::vec3 FogColor, float FogStart, float FogEnd) {
  ForEachSceneShader(R, [&](const SceneShader &s) {
    glUseProgram(s.Prog.Get());
    glUniformMatrix4fv(s.U.ViewProj, 1, GL_FALSE, &Cam.ViewProjection()[0][0]);
    glUniform1f(s.U.Time, R.Time);
    glUniform3fv(s.U.Eye, 1, &Cam.Eye[0]);
    glUniform3fv(s.U.Light, 1, &kSunDirection[0]);
    glUniform3fv(s.U.FogColor, 1, &FogColor[0]);
    glUniform2f(s.U.FogRange, FogStart, FogEnd);
    glUniform1i(s.U.Tex, 0);
    glUniform1i(s.U.Occ, 1);
    glUniform1i(s.U.Ground, 1);
    glUniform4f(s.U.PlayerShadow, 0, 0, 0, 0);
    glUniform1i(s.U.HasOcc, 0);
  });
}

// One instanced draw of the cube mesh.
void DrawInstances(Renderer &R, const std::vector<Instance> &List, SceneMode Mode, GLuint Tex, glm::vec3 Tint,
                   bool WorldUV, float Spec) {
  if (List.empty()) return;
  const SceneShader &sh = ShaderFor(R, Mode);
  glUseProgram(sh.Prog.Get());
  glBindVertexArray(R.CubeVao.Get());
  glBindBuffer(GL_ARRAY_BUFFER, R.InstanceBuffer.Get());
  const size_t bytes = List.size() * sizeof(Instance);
  if (bytes > R.InstanceCapacity) {
    R.InstanceCapacity = std::max(bytes, R.InstanceCapacity * 2);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(R.InstanceCapacity), nullptr, GL_STREAM_DRAW);
  } else {
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(R.InstanceCapacity), nullptr, GL_STREAM_DRAW);  // orphan
  }
  glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(bytes), List.data());
  glUniform1i(sh.U.Mode, Mode);
  glUniform1i(sh.U.WorldUV, WorldUV ? 1 : 0);
  glUniform3fv(sh.U.Tint, 1, &Tint[0]);
  glUniform1f(sh.U.Spec, Spec);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, Tex ? Tex : R.White.Get());
  glDrawElementsInstanced(GL_TRIANGLES, 36, GL_UNSIGNED_SHORT, nullptr, GLsizei(List.size()));
}

GLuint TexOf(Renderer &R, TexKind K) { return R.Textures[size_t(K)].Get(); }

// The level's occupancy map, 4 texels per cell: red where a wall or box stands,
// green where water lies. Width and Height in texels.
std::vector<uint8_t> MarkOccupancy(const FrameScene &S, int W, int H) {
  std::vector<uint8_t> pixels(size_t(W) * H * 2, 0);
  // Texel columns whose centres lie inside [From, From + Extent], clamped to the map.
  auto span = [](float From, float Extent, int Limit, int &First, int &Last) {
    First = int(std::clamp(std::ceil(From * 4 - 0.5f), -1.0f, float(Limit)));
    Last = int(std::clamp(std::floor((From + Extent) * 4 - 0.5f), -1.0f, float(Limit)));
    First = std::max(First, 0);
    Last = std::min(Last, Limit - 1);
  };
  auto mark = [&](const Instance &I, int Channel) {
    int x0, x1, y0, y1;
    span(I.Origin[0], I.Size[0], W, x0, x1);
    span(I.Origin[1], I.Size[1], H, y0, y1);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) pixels[(size_t(y) * W + x) * 2 + Channel] = 255;
  };
  for (const Instance &i : S.Walls) mark(i, 0);
  for (const Instance &i : S.Boxes) mark(i, 0);
  for (const Instance &i : S.Water) mark(i, 1);
  return pixels;
}

int OccupancyWidth(const FrameScene &S) { return std::clamp(S.FieldWidth, 1, 512) * kGroundTexelsPerCell; }
int OccupancyHeight(const FrameScene &S) { return std::clamp(S.FieldHeight, 1, 512) * kGroundTexelsPerCell; }

// Marks the footprint of every wall and box in the occupancy map and uploads it
// when it changed.
void UpdateOccupancy(Renderer &R) {
  FrameScene &S = R.Scene;
  const int w = OccupancyWidth(S), h = OccupancyHeight(S);
  R.OccPixels = MarkOccupancy(S, w, h);
  glActiveTexture(GL_TEXTURE1);
  if (!R.Occupancy) {
    GLuint id = 0;
    glGenTextures(1, &id);
    R.Occupancy = Texture(id);
  }
  glBindTexture(GL_TEXTURE_2D, R.Occupancy.Get());
  if (w != R.OccWidth || h != R.OccHeight || R.OccPixels != R.OccUploaded) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RG8, w, h, 0, GL_RG, GL_UNSIGNED_BYTE, R.OccPixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glGenerateMipmap(GL_TEXTURE_2D);
    R.OccWidth = w;
    R.OccHeight = h;
    R.OccUploaded = R.OccPixels;
  }
  glActiveTexture(GL_TEXTURE0);
}

// What the ground's light is baked from: every wall, box and water cell, seen or not.
std::vector<Instance> GroundSourceOf(const FrameScene &S) {
  std::vector<Instance> all;
  all.reserve(S.Walls.size() + S.Boxes.size() + S.Water.size() + 1);
  all.insert(all.end(), S.Walls.begin(), S.Walls.end());
  all.insert(all.end(), S.Boxes.begin(), S.Boxes.end());
  all.insert(all.end(), S.Water.begin(), S.Water.end());
  Instance size{};
  size.Size[0] = float(S.FieldWidth);
  size.Size[1] = float(S.FieldHeight);
  all.push_back(size);
  return all;
}

bool SameInstances(const std::vector<Instance> &A, const std::vector<Instance> &B) {
  return A.size() == B.size() && (A.empty() || std::memcmp(A.data(), B.data(), A.size() * sizeof(Instance)) == 0);
}

// Fast tier: binds the ground's baked light to unit 1, baking again (where
// something moved) when the walls, boxes or water changed; open, lit ground
// when the level has no floor. Answers the map's size in cells.
glm::vec2 BindGroundLight(Renderer &R, bool HasGround) {
  glActiveTexture(GL_TEXTURE1);
  if (!HasGround) {
    glBindTexture(GL_TEXTURE_2D, R.OpenGround.Get());
    glActiveTexture(GL_TEXTURE0);
    return glm::vec2(1.0f);
  }
  const FrameScene &S = R.Scene;
  std::vector<Instance> source = GroundSourceOf(S);
  if (!R.GroundTex) {
    GLuint id = 0;
    glGenTextures(1, &id);
    R.GroundTex = Texture(id);
  }
  glBindTexture(GL_TEXTURE_2D, R.GroundTex.Get());
  if (!SameInstances(source, R.GroundSource)) {
    const int w = OccupancyWidth(S), h = OccupancyHeight(S);
    const bool resized = w != R.Ground.Width() || h != R.Ground.Height();
    const TexelRect area = R.Ground.Update(w, h, MarkOccupancy(S, w, h));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (resized) {
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, R.Ground.Baked().data());
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    } else if (!area.Empty()) {
      glPixelStorei(GL_UNPACK_ROW_LENGTH, w);
      glTexSubImage2D(GL_TEXTURE_2D, 0, area.X0, area.Y0, area.X1 - area.X0 + 1, area.Y1 - area.Y0 + 1, GL_RGBA,
                      GL_UNSIGNED_BYTE, &R.Ground.Baked()[(size_t(area.Y0) * w + area.X0) * 4]);
      glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    R.GroundSource = std::move(source);
  }
  glActiveTexture(GL_TEXTURE0);
  return glm::vec2(float(R.Ground.Width()), float(R.Ground.Height())) / float(kGroundTexelsPerCell);
}

// Drops what lies wholly outside the camera's view: its planes from the
// view-projection matrix, each box tested at its corner furthest inside.
void CullOutsideView(std::vector<Instance> &List, const glm::mat4 &ViewProj) {
  glm::vec4 planes[6];
  const glm::vec4 row0(ViewProj[0][0], ViewProj[1][0], ViewProj[2][0], ViewProj[3][0]);
  const glm::vec4 row1(ViewProj[0][1], ViewProj[1][1], ViewProj[2][1], ViewProj[3][1]);
  const glm::vec4 row2(ViewProj[0][2], ViewProj[1][2], ViewProj[2][2], ViewProj[3][2]);
  const glm::vec4 row3(ViewProj[0][3], ViewProj[1][3], ViewProj[2][3], ViewProj[3][3]);
  planes[0] = row3 + row0;
  planes[1] = row3 - row0;
  planes[2] = row3 + row1;
  planes[3] = row3 - row1;
  planes[4] = row3 + row2;
  planes[5] = row3 - row2;
  auto outside = [&](const Instance &I) {
    for (const glm::vec4 &p : planes) {
      float reach = p.w;
      for (int a = 0; a < 3; ++a) {
        const float lo = std::min(I.Origin[a], I.Origin[a] + I.Size[a]), hi = std::max(I.Origin[a], I.Origin[a] + I.Size[a]);
        reach += p[a] * (p[a] > 0 ? hi : lo);
      }
      if (reach < 0) return true;
    }
    return false;
  };
  List.erase(std::remove_if(List.begin(), List.end(), outside), List.end());
}

// Nearest first, so that the depth test spares the pixels behind.
void SortNearFirst(std::vector<Instance> &List, glm::vec2 Eye) {
  std::sort(List.begin(), List.end(), [&](const Instance &A, const Instance &B) { return Dist2(A, Eye) < Dist2(B, Eye); });
}

}  // namespace

Instance MakeInstance(const TBox &Box, float P0, float P1, float P2, float P3) {
  // Far beyond any level: kept finite for the card, and culled anyway.
  auto f = [](double v) { return float(std::clamp(v, -1.0e6, 1.0e6)); };
  return Instance{{f(Box.x), f(Box.y), f(Box.z)}, {f(Box.sx), f(Box.sy), f(Box.sz)}, {P0, P1, P2, P3}};
}

namespace {

void LocateUniforms(SceneShader &S) {
  const GLuint p = S.Prog.Get();
  SceneUniforms &u = S.U;
  u.ViewProj = glGetUniformLocation(p, "uViewProj");
  u.Mode = glGetUniformLocation(p, "uMode");
  u.Time = glGetUniformLocation(p, "uTime");
  u.WorldUV = glGetUniformLocation(p, "uWorldUV");
  u.Tex = glGetUniformLocation(p, "uTex");
  u.Occ = glGetUniformLocation(p, "uOcc");
  u.OccSize = glGetUniformLocation(p, "uOccSize");
  u.HasOcc = glGetUniformLocation(p, "uHasOcc");
  u.Tint = glGetUniformLocation(p, "uTint");
  u.Eye = glGetUniformLocation(p, "uEye");
  u.Light = glGetUniformLocation(p, "uLight");
  u.FogColor = glGetUniformLocation(p, "uFogColor");
  u.FogRange = glGetUniformLocation(p, "uFogRange");
  u.PlayerShadow = glGetUniformLocation(p, "uPlayerShadow");
  u.Spec = glGetUniformLocation(p, "uSpec");
  u.Ground = glGetUniformLocation(p, "uGround");
  u.GroundSize = glGetUniformLocation(p, "uGroundSize");
}

bool BuildSceneShader(SceneShader &S, const char *Vertex, const char *Fragment, const std::string &Defines,
                      std::string &Error) {
  S.Prog = BuildProgram(Vertex, Fragment, Error, Defines);
  if (!S.Prog) return false;
  LocateUniforms(S);
  return true;
}

}  // namespace

bool CreateSceneResources(Renderer &R, std::string &Error) {
  if (!BuildSceneShader(R.Scene3D, kSceneVertex, kSceneFragment, "", Error)) return false;
  if (R.Quality == Tier::Fast) {
    for (SceneMode m : {smSolid, smFloor, smWater, smDrifter, smTile})
      if (!BuildSceneShader(R.FastScene[size_t(m)], kFastVertex, kFastFragment,
                            "#define MODE " + std::to_string(int(m)) + "\n", Error))
        return false;
    // Ground with nothing on it: no shadow, nothing in the way of the sky, no water.
    Image open;
    open.Width = open.Height = 1;
    open.Rgba = {0, 255, 255, 255};
    R.OpenGround = UploadTexture(open, false, false);
  }

  const std::vector<CubeVertex> verts = CubeMesh();
  std::vector<uint16_t> idx;
  for (uint16_t f = 0; f < 6; ++f) {
    const uint16_t b = f * 4;
    for (uint16_t k : {0, 1, 2, 0, 2, 3}) idx.push_back(b + k);
  }
  R.CubeVao = MakeVertexArray();
  R.CubeVertices = MakeBuffer();
  R.CubeIndices = MakeBuffer();
  R.InstanceBuffer = MakeBuffer();
  glBindVertexArray(R.CubeVao.Get());
  glBindBuffer(GL_ARRAY_BUFFER, R.CubeVertices.Get());
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(verts.size() * sizeof(CubeVertex)), verts.data(), GL_STATIC_DRAW);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(CubeVertex), reinterpret_cast<void *>(offsetof(CubeVertex, Pos)));
  glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(CubeVertex), reinterpret_cast<void *>(offsetof(CubeVertex, Normal)));
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(CubeVertex), reinterpret_cast<void *>(offsetof(CubeVertex, UV)));
  for (GLuint a = 0; a < 3; ++a) glEnableVertexAttribArray(a);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, R.CubeIndices.Get());
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(idx.size() * sizeof(uint16_t)), idx.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, R.InstanceBuffer.Get());
  R.InstanceCapacity = 64 * sizeof(Instance);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(R.InstanceCapacity), nullptr, GL_STREAM_DRAW);
  glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, sizeof(Instance), reinterpret_cast<void *>(offsetof(Instance, Origin)));
  glVertexAttribPointer(4, 3, GL_FLOAT, GL_FALSE, sizeof(Instance), reinterpret_cast<void *>(offsetof(Instance, Size)));
  glVertexAttribPointer(5, 4, GL_FLOAT, GL_FALSE, sizeof(Instance), reinterpret_cast<void *>(offsetof(Instance, Params)));
  for (GLuint a = 3; a < 6; ++a) {
    glEnableVertexAttribArray(a);
    glVertexAttribDivisor(a, 1);
  }
  glBindVertexArray(0);
  return glGetError() == GL_NO_ERROR;
}

void BeginScene(Renderer &R, const TPlayer &Player, float Angle) {
  FrameScene &S = R.Scene;
  S.Active = true;
  TBox at = Player.Box;
  if (!(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(at.z))) at = TBox{};
  at.x = std::clamp(at.x, -1.0e6, 1.0e6);
  at.y = std::clamp(at.y, -1.0e6, 1.0e6);
  at.z = std::clamp(at.z, -1.0e6, 1.0e6);
  at.sx = std::isfinite(at.sx) ? std::clamp(at.sx, 0.0, 10.0) : 0.0;
  at.sy = std::isfinite(at.sy) ? std::clamp(at.sy, 0.0, 10.0) : 0.0;
  S.Cam = FollowCamera(at, std::isfinite(Angle) ? std::fmod(Angle, 360.0f) : 0.0f, R.Width, R.Height);
}

void CollectObjects(Renderer &R, const TGameObject *Objects, int32_t Count) {
  FrameScene &S = R.Scene;
  for (int32_t i = 0; i < Count; ++i) {
    const TGameObject &o = Objects[i];
    const TBox &b = o.Box;
    if (!(std::isfinite(b.x) && std::isfinite(b.y) && std::isfinite(b.z) && std::isfinite(b.sx) &&
          std::isfinite(b.sy) && std::isfinite(b.sz)))
      continue;
    switch (o.Kind) {
      case okWall: S.Walls.push_back(MakeInstance(b)); break;
      case okBox:
        S.Boxes.push_back(MakeInstance(b, o.OnTarget != 0 ? 1.0f : 0.0f));
        S.CoveredCount += o.OnTarget != 0;
        break;
      case okTarget: {
        ++S.TargetCount;
        Instance t = MakeInstance(b, 1.0f);
        t.Size[2] = 0.012f;
        S.Targets.push_back(t);
        break;
      }
      case okWater: {
        Instance t = MakeInstance(b);
        t.Origin[2] = float(b.z) - 0.02f;
        t.Size[2] = 0.026f;
        S.Water.push_back(t);
        break;
      }
      case okInert: {
        // A filled water cell (whole cell) and the box sunk into it (smaller) lie flush
        // with the floor; the box's top sits a hair above the cell's.
        const bool cell = b.sx > 0.95 || b.sy > 0.95;
        Instance t = MakeInstance(b);
        t.Size[2] = cell ? 0.010f : 0.016f;
        (cell ? S.FilledCells : S.FilledBoxes).push_back(t);
        break;
      }
      default: break;
    }
  }
}

void CollectPlayer(Renderer &R, const TPlayer &Player) {
  const TBox &b = Player.Box;
  if (!(std::isfinite(b.x) && std::isfinite(b.y) && std::isfinite(b.z))) return;
  R.Scene.HasPlayer = true;
  R.Scene.Player = MakeInstance(b, 0.0f, float(Player.Direction & 3));
}

namespace {

// Where along From + t Dir (t in 0..1) the ray first meets the box, or infinity.
float RayHitsBox(glm::vec3 From, glm::vec3 Dir, glm::vec3 Min, glm::vec3 Size) {
  float enter = 0, leave = 1;
  for (int a = 0; a < 3; ++a) {
    const float lo = Min[a], hi = Min[a] + Size[a];
    if (std::abs(Dir[a]) < 1e-12f) {
      if (From[a] < lo || From[a] > hi) return std::numeric_limits<float>::infinity();
      continue;
    }
    float t0 = (lo - From[a]) / Dir[a], t1 = (hi - From[a]) / Dir[a];
    if (t0 > t1) std::swap(t0, t1);
    enter = std::max(enter, t0);
    leave = std::min(leave, t1);
    if (enter > leave) return std::numeric_limits<float>::infinity();
  }
  return enter;
}

void KeepPickView(Renderer &R) {
  const FrameScene &S = R.Scene;
  PickView &P = R.Pick;
  P.Valid = S.HasFloor;
  P.Cam = S.Cam;
  P.Width = R.Width;
  P.Height = R.Height;
  P.FieldWidth = S.FieldWidth;
  P.FieldHeight = S.FieldHeight;
  P.Solids = S.Walls;
  P.Solids.insert(P.Solids.end(), S.Boxes.begin(), S.Boxes.end());
}

// The twelve edges of a box as thin bars of Thickness.
void AddEdges(std::vector<Instance> &List, glm::vec3 Min, glm::vec3 Size, float T) {
  const glm::vec3 Max = Min + Size;
  for (int a = 0; a < 3; ++a)
    for (int i = 0; i < 4; ++i) {
      glm::vec3 o = Min - glm::vec3(T / 2), s(T);
      const int b = (a + 1) % 3, c = (a + 2) % 3;
      o[a] = Min[a] - T / 2;
      s[a] = Size[a] + T;
      o[b] = ((i & 1) ? Max[b] : Min[b]) - T / 2;
      o[c] = ((i & 2) ? Max[c] : Min[c]) - T / 2;
      List.push_back(Instance{{o.x, o.y, o.z}, {s.x, s.y, s.z}, {0, 0, 0, 0}});
    }
}

// The height of the box or wall standing on the cell, 0 where none does.
float TopOn(const FrameScene &S, int X, int Y) {
  for (const auto *list : {&S.Boxes, &S.Walls})
    for (const Instance &b : *list)
      if (int(std::floor(b.Origin[0] + b.Size[0] / 2)) == X && int(std::floor(b.Origin[1] + b.Size[1] / 2)) == Y)
        return b.Origin[2] + b.Size[2];
  return 0;
}

// The mouse's marks: the cells a chosen box can go to as small gold squares,
// the chosen box outlined, the cell under the pointer framed in light.
void DrawMouseMarks(Renderer &R) {
  const FrameScene &S = R.Scene;
  const CellMarks &M = S.Marks;
  if (!M.Any) return;
  std::vector<Instance> marks, outline, hover;
  for (int y = 0; y < M.Height; ++y)
    for (int x = 0; x < M.Width; ++x)
      if (M.Marks[size_t(y) * size_t(M.Width) + size_t(x)])
        marks.push_back(Instance{{x + 0.36f, y + 0.36f, 0}, {0.28f, 0.28f, 0.03f}, {0, 0, 0, 0}});
  if (M.BoxX >= 0 && M.BoxY >= 0) {
    const float top = std::max(TopOn(S, M.BoxX, M.BoxY), 0.9f);
    AddEdges(outline, glm::vec3(M.BoxX + 0.03f, M.BoxY + 0.03f, 0), glm::vec3(0.94f, 0.94f, top + 0.02f), 0.05f);
  }
  if (M.HoverX >= 0 && M.HoverY >= 0) {
    const float z = TopOn(S, M.HoverX, M.HoverY);
    AddEdges(hover, glm::vec3(M.HoverX + 0.02f, M.HoverY + 0.02f, z), glm::vec3(0.96f, 0.96f, 0), 0.06f);
  }
  DrawInstances(R, marks, smTile, 0, glm::vec3(1.0f, 0.8f, 0.2f), false, 0.1f);
  DrawInstances(R, outline, smTile, 0, glm::vec3(0.3f, 1.0f, 1.0f), false, 0.1f);
  DrawInstances(R, hover, smTile, 0, glm::vec3(1.0f, 1.0f, 0.85f), false, 0.1f);
}

void BeginSolids() {
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glDisable(GL_BLEND);
}

void SetPlayerShadow(Renderer &R) {
  const FrameScene &S = R.Scene;
  if (!S.HasPlayer) return;
  ForEachSceneShader(R, [&](const SceneShader &s) {
    glUseProgram(s.Prog.Get());
    glUniform4f(s.U.PlayerShadow, S.Player.Origin[0], S.Player.Origin[1], S.Player.Size[0], S.Player.Size[1]);
  });
}

Instance FloorSlab(const FrameScene &S) {
  return MakeInstance(TBox{0, 0, -0.5, double(S.FieldWidth), double(S.FieldHeight), 0.5});
}

// The full look: sky first, then the ground and what stands on it, every
// fragment lit, shadowed and occluded from the occupancy map.
void DrawFull(Renderer &R) {
  FrameScene &S = R.Scene;
  DrawSky(R, false);
  BeginSolids();
  for (auto *list : {&S.Walls, &S.Boxes, &S.Targets, &S.Water, &S.FilledCells, &S.FilledBoxes}) CullInFog(*list, S.Cam);

  SetSceneFrame(R, S.Cam, kFogColor, S.Cam.FogStart, S.Cam.FogEnd);
  const bool occ = S.HasFloor && S.FieldWidth > 0 && S.FieldHeight > 0;
  if (occ) UpdateOccupancy(R);  // from everything near, seen or not: shadows reach into view
  const glm::mat4 viewProj = S.Cam.ViewProjection();
  for (auto *list : {&S.Walls, &S.Boxes, &S.Targets, &S.Water, &S.FilledCells, &S.FilledBoxes})
    CullOutsideView(*list, viewProj);
  glUseProgram(R.Scene3D.Prog.Get());
  if (occ) {
    glUniform1i(R.Scene3D.U.HasOcc, 1);
    glUniform2f(R.Scene3D.U.OccSize, float(S.FieldWidth), float(S.FieldHeight));
  }
  SetPlayerShadow(R);

  if (occ) DrawInstances(R, {FloorSlab(S)}, smFloor, TexOf(R, TexKind::Floor), glm::vec3(1), true, 0.05f);
  DrawInstances(R, S.Water, smWater, TexOf(R, TexKind::Water), glm::vec3(1), true, 0.9f);
  DrawInstances(R, S.FilledCells, smTile, TexOf(R, TexKind::Floor), glm::vec3(0.62f, 0.66f, 0.72f), true, 0.05f);
  DrawInstances(R, S.FilledBoxes, smTile, TexOf(R, TexKind::Box), glm::vec3(0.62f, 0.56f, 0.50f), false, 0.05f);
  DrawInstances(R, S.Targets, smTile, TexOf(R, TexKind::Dest), glm::vec3(1), false, 0.1f);
  glUseProgram(R.Scene3D.Prog.Get());
  glUniform1i(R.Scene3D.U.HasOcc, 0);
  DrawInstances(R, S.Walls, smSolid, TexOf(R, TexKind::Wall), glm::vec3(1), false, 0.08f);
  DrawInstances(R, S.Boxes, smSolid, TexOf(R, TexKind::Box), glm::vec3(1), false, 0.25f);
  if (S.HasPlayer) DrawInstances(R, {S.Player}, smPlayer, 0, glm::vec3(1), false, 0.6f);
  DrawMouseMarks(R);
}

// The fast tier: nearest first (player, crates, walls, the flat tiles, the
// floor, the sky last), so the depth test turns away most hidden pixels
// before they are shaded; the ground's light comes baked.
void DrawFast(Renderer &R) {
  FrameScene &S = R.Scene;
  BeginReducedFrame(R);
  BeginSolids();
  const bool ground = S.HasFloor && S.FieldWidth > 0 && S.FieldHeight > 0;
  const glm::vec2 groundSize = BindGroundLight(R, ground);
  const glm::vec2 eye(S.Cam.Eye.x, S.Cam.Eye.y);
  const glm::mat4 viewProj = S.Cam.ViewProjection();
  for (auto *list : {&S.Walls, &S.Boxes, &S.Targets, &S.Water, &S.FilledCells, &S.FilledBoxes}) {
    CullInFog(*list, S.Cam);
    CullOutsideView(*list, viewProj);
  }
  SortNearFirst(S.Walls, eye);
  SortNearFirst(S.Boxes, eye);

  SetSceneFrame(R, S.Cam, kFogColor, S.Cam.FogStart, S.Cam.FogEnd);
  SetPlayerShadow(R);
  ForEachSceneShader(R, [&](const SceneShader &s) {
    glUseProgram(s.Prog.Get());
    glUniform2f(s.U.GroundSize, groundSize.x, groundSize.y);
  });

  if (S.HasPlayer) DrawInstances(R, {S.Player}, smPlayer, 0, glm::vec3(1), false, 0.6f);
  DrawInstances(R, S.Boxes, smSolid, TexOf(R, TexKind::Box), glm::vec3(1), false, 0.25f);
  DrawInstances(R, S.Walls, smSolid, TexOf(R, TexKind::Wall), glm::vec3(1), false, 0.08f);
  DrawInstances(R, S.FilledBoxes, smTile, TexOf(R, TexKind::Box), glm::vec3(0.62f, 0.56f, 0.50f), false, 0.05f);
  DrawInstances(R, S.Targets, smTile, TexOf(R, TexKind::Dest), glm::vec3(1), false, 0.1f);
  DrawInstances(R, S.FilledCells, smTile, TexOf(R, TexKind::Floor), glm::vec3(0.62f, 0.66f, 0.72f), true, 0.05f);
  DrawInstances(R, S.Water, smWater, TexOf(R, TexKind::Water), glm::vec3(1), true, 0.9f);
  if (ground) DrawInstances(R, {FloorSlab(S)}, smFloor, TexOf(R, TexKind::Floor), glm::vec3(1), true, 0.05f);
  DrawMouseMarks(R);
  glBindVertexArray(0);
  DrawPlayDrifters(R);  // here rather than after, in the same reduced frame
  DrawSky(R, true);
  EndReducedFrame(R);
}

}  // namespace

void FlushScene(Renderer &R) {
  FrameScene &S = R.Scene;
  if (!S.Active || S.Drawn) return;
  S.Drawn = true;
  KeepPickView(R);  // before drawing culls what lies out of view
  if (R.Quality == Tier::Fast) DrawFast(R);
  else DrawFull(R);
  glBindVertexArray(0);
}

bool PickCellAt(const PickView &P, float X, float Y, int &CellX, int &CellY) {
  if (!P.Valid || P.Width <= 0 || P.Height <= 0) return false;
  const glm::mat4 inverse = glm::inverse(P.Cam.ViewProjection());
  const float nx = X / float(P.Width) * 2 - 1, ny = 1 - Y / float(P.Height) * 2;
  const glm::vec4 nearH = inverse * glm::vec4(nx, ny, -1, 1), farH = inverse * glm::vec4(nx, ny, 1, 1);
  if (nearH.w == 0 || farH.w == 0) return false;
  const glm::vec3 from = glm::vec3(nearH) / nearH.w, to = glm::vec3(farH) / farH.w;
  const glm::vec3 dir = to - from;
  // The nearest wall or box the ray meets, else the floor.
  float nearest = std::numeric_limits<float>::infinity();
  glm::vec3 hit(0);
  for (const Instance &b : P.Solids) {
    const float t = RayHitsBox(from, dir, glm::vec3(b.Origin[0], b.Origin[1], b.Origin[2]),
                               glm::vec3(b.Size[0], b.Size[1], b.Size[2]));
    if (t < nearest) {
      nearest = t;
      hit = glm::vec3(b.Origin[0] + b.Size[0] / 2, b.Origin[1] + b.Size[1] / 2, 0);
    }
  }
  if (!std::isfinite(nearest)) {
    if (!(dir.z < 0) || from.z <= 0) return false;  // the floor lies ahead of the eye only looking down
    hit = from + dir * (-from.z / dir.z);
  }
  if (!(std::isfinite(hit.x) && std::isfinite(hit.y))) return false;
  const float cx = std::floor(hit.x), cy = std::floor(hit.y);
  if (cx < 0 || cy < 0 || cx >= float(P.FieldWidth) || cy >= float(P.FieldHeight)) return false;
  CellX = int(cx);
  CellY = int(cy);
  return true;
}

void SeedDrifters() {
  std::mt19937 rng(20240611u);
  std::uniform_real_distribution<float> u(0.0f, 1.0f);
  State.Drifters.clear();
  for (int i = 0; i < 48; ++i) {
    Drifter d;
    const float angle = u(rng) * 6.2831853f, dist = 0.55f + 0.45f * u(rng);
    d.Offset = glm::vec3(std::cos(angle) * dist, std::sin(angle) * dist, u(rng));
    d.Axis = glm::normalize(glm::vec3(u(rng) - 0.5f, u(rng) - 0.5f, u(rng) - 0.5f) + glm::vec3(0.01f));
    d.Size = 0.5f + 1.3f * u(rng);
    d.Hue = u(rng);
    d.Phase = u(rng) * 6.2831853f;
    d.Rise = 0.3f + 0.7f * u(rng);
    State.Drifters.push_back(d);
  }
}

void DrawPlayDrifters(Renderer &R) {
  const FrameScene &s = R.Scene;
  if (!State.CubesOn || !s.Active) return;
  if (State.Drifters.empty()) SeedDrifters();
  const glm::vec3 centre(s.FieldWidth / 2.0f, s.FieldHeight / 2.0f, 0.0f);
  DrawDrifters(R, s.Cam, centre, std::max(s.FieldWidth, s.FieldHeight) * 0.75f + 16.0f, false);
}

void DrawDrifters(Renderer &R, const Camera &Cam, glm::vec3 Centre, float Radius, bool Menu) {
  if (State.Drifters.empty()) return;
  std::vector<Instance> list;
  list.reserve(State.Drifters.size());
  const float height = Menu ? 14.0f : 36.0f;
  for (const Drifter &d : State.Drifters) {
    // Rise slowly and come round again from below.
    const float z = std::fmod(d.Offset.z * height + R.Time * d.Rise * 0.6f, height) - height * (Menu ? 0.5f : 0.45f);
    const glm::vec3 p = Centre + glm::vec3(d.Offset.x * Radius, d.Offset.y * Radius, z);
    const float size = d.Size * (Menu ? 0.8f : 1.0f);
    list.push_back(Instance{{p.x, p.y, p.z}, {size, d.Hue, 0}, {d.Axis.x, d.Axis.y, d.Axis.z, d.Phase}});
  }
  BeginSolids();
  SetSceneFrame(R, Cam, Menu ? glm::vec3(0.10f, 0.09f, 0.20f) : kFogColor, Menu ? 10.0f : Cam.FogStart + 8,
                Menu ? 34.0f : Cam.FogEnd + 30);
  DrawInstances(R, list, smDrifter, 0, glm::vec3(1), false, 0.5f);
  glBindVertexArray(0);
}

}  // namespace graph
