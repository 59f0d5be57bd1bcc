// Scene.cpp -- the level in 3D: a stone floor slab, tiles for destinations,
// water and filled cells, lit cubes for walls, boxes and the player, all kinds
// drawn with one instanced call each, soft sun shadows from an occupancy map.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "Renderer.h"

namespace graph {

std::vector<Drifter> Drifters;
bool CubesOn = false;

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

// Only what the fog has not swallowed is sent to the card.
constexpr float kFogStart = 16.0f, kFogEnd = 44.0f;
constexpr float kCullRadius = 46.0f;

void Cull(std::vector<Instance> &List, glm::vec2 Centre) {
  const float r2 = kCullRadius * kCullRadius;
  List.erase(std::remove_if(List.begin(), List.end(), [&](const Instance &i) { return Dist2(i, Centre) > r2; }),
             List.end());
}

const glm::vec3 kSunDirection = glm::normalize(glm::vec3(-0.45f, -0.62f, 0.78f));
const glm::vec3 kFogColor(0.43f, 0.42f, 0.55f);

void SetSceneFrame(Renderer &R, const Camera &Cam, glm::vec3 FogColor, float FogStart, float FogEnd) {
  glUseProgram(R.SceneProgram.Get());
  glUniformMatrix4fv(R.SU.ViewProj, 1, GL_FALSE, &Cam.ViewProjection()[0][0]);
  glUniform1f(R.SU.Time, R.Time);
  glUniform3fv(R.SU.Eye, 1, &Cam.Eye[0]);
  glUniform3fv(R.SU.Light, 1, &kSunDirection[0]);
  glUniform3fv(R.SU.FogColor, 1, &FogColor[0]);
  glUniform2f(R.SU.FogRange, FogStart, FogEnd);
  glUniform1i(R.SU.Tex, 0);
  glUniform1i(R.SU.Occ, 1);
  glUniform4f(R.SU.PlayerShadow, 0, 0, 0, 0);
  glUniform1i(R.SU.HasOcc, 0);
}

// One instanced draw of the cube mesh.
void DrawInstances(Renderer &R, const std::vector<Instance> &List, SceneMode Mode, GLuint Tex, glm::vec3 Tint,
                   bool WorldUV, float Spec) {
  if (List.empty()) return;
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
  glUniform1i(R.SU.Mode, Mode);
  glUniform1i(R.SU.WorldUV, WorldUV ? 1 : 0);
  glUniform3fv(R.SU.Tint, 1, &Tint[0]);
  glUniform1f(R.SU.Spec, Spec);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, Tex ? Tex : R.White.Get());
  glDrawElementsInstanced(GL_TRIANGLES, 36, GL_UNSIGNED_SHORT, nullptr, GLsizei(List.size()));
}

GLuint TexOf(Renderer &R, TexKind K) { return R.Textures[size_t(K)].Get(); }

// Marks the footprint of every wall and box in the occupancy map and uploads it
// when it changed.
void UpdateOccupancy(Renderer &R) {
  FrameScene &S = R.Scene;
  const int w = std::clamp(S.FieldWidth, 1, 512) * 4, h = std::clamp(S.FieldHeight, 1, 512) * 4;
  R.OccPixels.assign(size_t(w) * h * 2, 0);
  // Texel columns whose centres lie inside [From, From + Extent], clamped to the map.
  auto span = [](float From, float Extent, int Limit, int &First, int &Last) {
    First = int(std::clamp(std::ceil(From * 4 - 0.5f), -1.0f, float(Limit)));
    Last = int(std::clamp(std::floor((From + Extent) * 4 - 0.5f), -1.0f, float(Limit)));
    First = std::max(First, 0);
    Last = std::min(Last, Limit - 1);
  };
  auto mark = [&](const Instance &I, int Channel) {
    int x0, x1, y0, y1;
    span(I.Origin[0], I.Size[0], w, x0, x1);
    span(I.Origin[1], I.Size[1], h, y0, y1);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) R.OccPixels[(size_t(y) * w + x) * 2 + Channel] = 255;
  };
  for (const Instance &i : S.Walls) mark(i, 0);
  for (const Instance &i : S.Boxes) mark(i, 0);
  for (const Instance &i : S.Water) mark(i, 1);
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

}  // namespace

Instance MakeInstance(const TBox &Box, float P0, float P1, float P2, float P3) {
  // Far beyond any level: kept finite for the card, and culled anyway.
  auto f = [](double v) { return float(std::clamp(v, -1.0e6, 1.0e6)); };
  return Instance{{f(Box.x), f(Box.y), f(Box.z)}, {f(Box.sx), f(Box.sy), f(Box.sz)}, {P0, P1, P2, P3}};
}

bool CreateSceneResources(Renderer &R, std::string &Error) {
  R.SceneProgram = BuildProgram(kSceneVertex, kSceneFragment, Error);
  if (!R.SceneProgram) return false;
  const GLuint p = R.SceneProgram.Get();
  SceneUniforms &u = R.SU;
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

void FlushScene(Renderer &R) {
  FrameScene &S = R.Scene;
  if (!S.Active || S.Drawn) return;
  S.Drawn = true;
  DrawSky(R);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glDisable(GL_BLEND);

  const glm::vec2 centre(S.Cam.Target.x, S.Cam.Target.y);
  for (auto *list : {&S.Walls, &S.Boxes, &S.Targets, &S.Water, &S.FilledCells, &S.FilledBoxes}) Cull(*list, centre);

  SetSceneFrame(R, S.Cam, kFogColor, kFogStart, kFogEnd);
  const bool occ = S.HasFloor && S.FieldWidth > 0 && S.FieldHeight > 0;
  if (occ) {
    UpdateOccupancy(R);
    glUniform1i(R.SU.HasOcc, 1);
    glUniform2f(R.SU.OccSize, float(S.FieldWidth), float(S.FieldHeight));
  }
  if (S.HasPlayer)
    glUniform4f(R.SU.PlayerShadow, S.Player.Origin[0], S.Player.Origin[1], S.Player.Size[0], S.Player.Size[1]);

  if (occ) {
    const TBox slab{0, 0, -0.5, double(S.FieldWidth), double(S.FieldHeight), 0.5};
    DrawInstances(R, {MakeInstance(slab)}, smFloor, TexOf(R, TexKind::Floor), glm::vec3(1), true, 0.05f);
  }
  DrawInstances(R, S.Water, smWater, TexOf(R, TexKind::Water), glm::vec3(1), true, 0.9f);
  DrawInstances(R, S.FilledCells, smTile, TexOf(R, TexKind::Floor), glm::vec3(0.62f, 0.66f, 0.72f), true, 0.05f);
  DrawInstances(R, S.FilledBoxes, smTile, TexOf(R, TexKind::Box), glm::vec3(0.62f, 0.56f, 0.50f), false, 0.05f);
  DrawInstances(R, S.Targets, smTile, TexOf(R, TexKind::Dest), glm::vec3(1), false, 0.1f);
  glUniform1i(R.SU.HasOcc, 0);
  DrawInstances(R, S.Walls, smSolid, TexOf(R, TexKind::Wall), glm::vec3(1), false, 0.08f);
  DrawInstances(R, S.Boxes, smSolid, TexOf(R, TexKind::Box), glm::vec3(1), false, 0.25f);
  if (S.HasPlayer) DrawInstances(R, {S.Player}, smPlayer, 0, glm::vec3(1), false, 0.6f);
  glBindVertexArray(0);
}

void SeedDrifters() {
  std::mt19937 rng(20240611u);
  std::uniform_real_distribution<float> u(0.0f, 1.0f);
  Drifters.clear();
  for (int i = 0; i < 48; ++i) {
    Drifter d;
    const float angle = u(rng) * 6.2831853f, dist = 0.55f + 0.45f * u(rng);
    d.Offset = glm::vec3(std::cos(angle) * dist, std::sin(angle) * dist, u(rng));
    d.Axis = glm::normalize(glm::vec3(u(rng) - 0.5f, u(rng) - 0.5f, u(rng) - 0.5f) + glm::vec3(0.01f));
    d.Size = 0.5f + 1.3f * u(rng);
    d.Hue = u(rng);
    d.Phase = u(rng) * 6.2831853f;
    d.Rise = 0.3f + 0.7f * u(rng);
    Drifters.push_back(d);
  }
}

void DrawDrifters(Renderer &R, const Camera &Cam, glm::vec3 Centre, float Radius, bool Menu) {
  if (Drifters.empty()) return;
  std::vector<Instance> list;
  list.reserve(Drifters.size());
  const float height = Menu ? 14.0f : 36.0f;
  for (const Drifter &d : Drifters) {
    // Rise slowly and come round again from below.
    const float z = std::fmod(d.Offset.z * height + R.Time * d.Rise * 0.6f, height) - height * (Menu ? 0.5f : 0.45f);
    const glm::vec3 p = Centre + glm::vec3(d.Offset.x * Radius, d.Offset.y * Radius, z);
    const float size = d.Size * (Menu ? 0.8f : 1.0f);
    list.push_back(Instance{{p.x, p.y, p.z}, {size, d.Hue, 0}, {d.Axis.x, d.Axis.y, d.Axis.z, d.Phase}});
  }
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  SetSceneFrame(R, Cam, Menu ? glm::vec3(0.10f, 0.09f, 0.20f) : kFogColor, Menu ? 10.0f : kFogStart + 8,
                Menu ? 34.0f : kFogEnd + 30);
  DrawInstances(R, list, smDrifter, 0, glm::vec3(1), false, 0.5f);
  glBindVertexArray(0);
}

}  // namespace graph
