// Ui.cpp -- everything flat: the sky behind the level, the menu, the settings
// page, text and the pointer. Shapes are rounded rectangles drawn by one
// shader from a signed distance, so every size stays crisp.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "Renderer.h"
#include "State.h"

namespace graph {
namespace {

// uShape is the whole shape; uRect the part of it this quad covers (all of it,
// or a piece: every piece shades its pixels as the whole would).
const char *kUiVertex = R"(
uniform vec2 uScreen;
uniform vec4 uShape;
uniform vec4 uRect;
uniform vec4 uUV;
uniform float uDepth;
out vec2 vPx;
out vec2 vUV;
void main() {
  vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
  vec2 p = uRect.xy + corner * uRect.zw;
  vPx = p - uShape.xy;
  vUV = mix(uUV.xy, uUV.zw, vPx / max(uShape.zw, vec2(1e-6)));
  gl_Position = vec4(p.x / uScreen.x * 2.0 - 1.0, 1.0 - p.y / uScreen.y * 2.0, uDepth, 1.0);
}
)";

// PLAIN: a fill without rounded corners, soft edge or border (text, images,
// the sky), which needs none of the distance work. TEXTURED: one with an image.
const char *kUiFragment = R"(
in vec2 vPx;
in vec2 vUV;
uniform vec4 uShape;
uniform vec4 uColorTop;
uniform vec4 uColorBottom;
uniform float uRadius;
uniform float uSoft;
uniform float uBorder;
uniform vec4 uBorderColor;
uniform sampler2D uTex;
out vec4 FragColor;
void main() {
  vec4 c = mix(uColorTop, uColorBottom, clamp(vPx.y / max(uShape.w, 1.0), 0.0, 1.0));
#ifdef TEXTURED
  c *= texture(uTex, vUV);
#endif
#ifdef PLAIN
  FragColor = c;
#else
  vec2 halfSize = uShape.zw * 0.5;
  vec2 q = abs(vPx - halfSize) - (halfSize - vec2(uRadius));
  float d = length(max(q, 0.0)) + min(max(q.x, q.y), 0.0) - uRadius;
  float cover = uSoft > 0.0 ? 1.0 - smoothstep(-uSoft, uSoft, d) : 1.0;
  if (uBorder > 0.0) {
    float b = smoothstep(-uBorder - 0.75, -uBorder + 0.75, d);
    c = mix(c, vec4(uBorderColor.rgb, max(c.a, uBorderColor.a)), b * uBorderColor.a);
  }
  FragColor = vec4(c.rgb, c.a * cover);
#endif
}
)";

using glm::vec4;

struct Style {
  vec4 Top{1}, Bottom{1};
  float Radius = 0, Soft = 1;
  float Border = 0;
  vec4 BorderColor{0};
};

std::array<const UiShader *, 4> AllUiShaders(const Renderer &R) {
  return {&R.UiPlain[0], &R.UiPlain[1], &R.UiShaped[0], &R.UiShaped[1]};
}

void BeginUi(Renderer &R) {
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glBindVertexArray(R.UiVao.Get());
  for (const UiShader *u : AllUiShaders(R)) {
    glUseProgram(u->Prog.Get());
    glUniform2f(u->U.Screen, float(R.Width), float(R.Height));
    glUniform1i(u->U.Tex, 0);
    glUniform1f(u->U.Depth, 0.0f);
  }
}

// Both programs at the given depth (0 in front of everything, near 1 behind).
void SetUiDepth(Renderer &R, float Depth) {
  for (const UiShader *u : AllUiShaders(R)) {
    glUseProgram(u->Prog.Get());
    glUniform1f(u->U.Depth, Depth);
  }
}

void UseFill(const UiShader &Sh, const Rect &Area, const Style &S, float Radius, vec4 UV) {
  const UiUniforms &u = Sh.U;
  glUseProgram(Sh.Prog.Get());
  glUniform4f(u.Shape, Area.X, Area.Y, Area.W, Area.H);
  glUniform4fv(u.UV, 1, &UV[0]);
  glUniform4fv(u.ColorTop, 1, &S.Top[0]);
  glUniform4fv(u.ColorBottom, 1, &S.Bottom[0]);
  glUniform1f(u.Radius, Radius);
  glUniform1f(u.Soft, S.Soft);
  glUniform1f(u.Border, S.Border);
  glUniform4fv(u.BorderColor, 1, &S.BorderColor[0]);
}

void DrawQuad(const UiShader &Sh, float X0, float Y0, float X1, float Y1) {
  glUniform4f(Sh.U.Rect, X0, Y0, X1 - X0, Y1 - Y0);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void DrawFill(Renderer &R, const Rect &Area, const Style &S, GLuint Tex, vec4 UV) {
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, Tex);
  const float radius = std::min(S.Radius, std::min(Area.W, Area.H) / 2);
  const float x0 = Area.X, y0 = Area.Y, x3 = Area.X + Area.W, y3 = Area.Y + Area.H;
  const UiShader &plain = R.UiPlain[Tex ? 1 : 0], &shaped = R.UiShaped[Tex ? 1 : 0];
  if (S.Radius <= 0 && S.Soft <= 0 && S.Border <= 0) {
    UseFill(plain, Area, S, radius, UV);
    DrawQuad(plain, x0, y0, x3, y3);
    return;
  }
  // Further inside than the corners, the soft edge and the border reach, a
  // shape is its plain fill: a large one draws its middle the cheap way.
  const float reach = radius + std::max(S.Soft, S.Border + 0.75f) + 1;
  const float x1 = std::ceil(x0 + reach), y1 = std::ceil(y0 + reach), x2 = std::floor(x3 - reach),
              y2 = std::floor(y3 - reach);
  UseFill(shaped, Area, S, radius, UV);
  if (x2 - x1 < 64 || y2 - y1 < 64) {
    DrawQuad(shaped, x0, y0, x3, y3);
    return;
  }
  DrawQuad(shaped, x0, y0, x3, y1);
  DrawQuad(shaped, x0, y2, x3, y3);
  DrawQuad(shaped, x0, y1, x1, y2);
  DrawQuad(shaped, x2, y1, x3, y2);
  UseFill(plain, Area, S, radius, UV);
  DrawQuad(plain, x1, y1, x2, y2);
}

// One fill as the page's layer keeps it.
struct FillCommand {
  Rect Area;
  Style S;
  GLuint Tex;
  vec4 UV;
};
static_assert(std::is_trivially_copyable_v<FillCommand>);
// Layers are compared byte for byte: no padding may hide in a command.
static_assert(sizeof(FillCommand) == sizeof(Rect) + sizeof(Style) + sizeof(GLuint) + sizeof(vec4));

Rect Union(const Rect &A, const Rect &B) {
  const float x0 = std::min(A.X, B.X), y0 = std::min(A.Y, B.Y);
  return Rect{x0, y0, std::max(A.X + A.W, B.X + B.W) - x0, std::max(A.Y + A.H, B.Y + B.H) - y0};
}

void Fill(Renderer &R, const Rect &Area, const Style &S, GLuint Tex = 0, vec4 UV = vec4(0, 0, 1, 1)) {
  if (!R.LayerRecording) {
    DrawFill(R, Area, S, Tex, UV);
    return;
  }
  const FillCommand c{Area, S, Tex, UV};
  R.LayerBounds = R.LayerRecorded.empty() ? Area : Union(R.LayerBounds, Area);
  const auto *bytes = reinterpret_cast<const unsigned char *>(&c);
  R.LayerRecorded.insert(R.LayerRecorded.end(), bytes, bytes + sizeof c);
}

// Fast tier: the panels, buttons and text of the menu and the settings page
// are kept in a texture of their own, drawn again only when a fill changed
// (the pointer moved onto another item, a value changed), and laid over the
// backdrop in one pass each frame.
void BeginUiLayer(Renderer &R) {
  R.LayerRecording = R.Quality == Tier::Fast && !R.LayerBroken;
  R.LayerRecorded.clear();
}

void ReplayLayer(Renderer &R, const std::vector<unsigned char> &Commands) {
  BeginUi(R);
  for (size_t at = 0; at + sizeof(FillCommand) <= Commands.size(); at += sizeof(FillCommand)) {
    FillCommand c;
    std::memcpy(&c, &Commands[at], sizeof c);
    DrawFill(R, c.Area, c.S, c.Tex, c.UV);
  }
}

// Makes the layer's texture the drawable's size; false when the card cannot.
bool SizeLayer(Renderer &R) {
  if (R.LayerFbo && R.LayerWidth == R.Width && R.LayerHeight == R.Height) return true;
  GLuint fbo = 0, tex = 0;
  glGenFramebuffers(1, &fbo);
  glGenTextures(1, &tex);
  R.LayerFbo = Framebuffer(fbo);
  R.LayerTex = Texture(tex);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, tex);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, R.Width, R.Height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tex, 0);
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (!complete || glGetError() != GL_NO_ERROR) {
    R.LayerFbo.Reset();
    R.LayerTex.Reset();
    return false;
  }
  R.LayerWidth = R.Width;
  R.LayerHeight = R.Height;
  R.LayerCached.clear();
  return true;
}

void EndUiLayer(Renderer &R) {
  if (!R.LayerRecording) return;
  R.LayerRecording = false;
  GLint parent = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &parent);
  const bool sized = SizeLayer(R);
  glBindFramebuffer(GL_FRAMEBUFFER, GLuint(parent));
  if (!sized) {
    R.LayerBroken = true;  // straight onto the frame from now on
    ReplayLayer(R, R.LayerRecorded);
    return;
  }
  if (R.LayerRecorded != R.LayerCached) {
    glBindFramebuffer(GL_FRAMEBUFFER, R.LayerFbo.Get());
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(kClearColor.r, kClearColor.g, kClearColor.b, kClearColor.a);
    // Colour arrives multiplied by its coverage, alpha as coverage: ready to lay over.
    ReplayLayer(R, R.LayerRecorded);
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(parent));
    R.LayerCached.swap(R.LayerRecorded);
  }
  BeginUi(R);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  Style whole;
  whole.Soft = 0;
  // Only where the page drew; the texture's first row is the frame's bottom one.
  const float w = float(R.Width), h = float(R.Height);
  const float x0 = std::clamp(std::floor(R.LayerBounds.X), 0.0f, w), y0 = std::clamp(std::floor(R.LayerBounds.Y), 0.0f, h);
  const float x1 = std::clamp(std::ceil(R.LayerBounds.X + R.LayerBounds.W), x0, w),
              y1 = std::clamp(std::ceil(R.LayerBounds.Y + R.LayerBounds.H), y0, h);
  DrawFill(R, Rect{x0, y0, x1 - x0, y1 - y0}, whole, R.LayerTex.Get(), vec4(x0 / w, 1 - y0 / h, x1 / w, 1 - y1 / h));
  glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
}

// A soft dark halo under a panel or button.
void DropShadow(Renderer &R, const Rect &Area, float Radius, float Spread, float Alpha) {
  Style s;
  s.Top = s.Bottom = vec4(0, 0, 0, Alpha);
  s.Radius = Radius + Spread;
  s.Soft = Spread;
  Fill(R, Rect{Area.X - Spread * 0.5f, Area.Y + Spread * 0.3f, Area.W + Spread, Area.H + Spread}, s);
}

std::string TextKey(const std::string &Text, int Pixels, bool Bold, bool Ellipsis) {
  return Text + '\x1f' + std::to_string(Pixels) + (Bold ? "b" : "r") + (Ellipsis ? "e" : "");
}

const CachedText &TextImage(Renderer &R, const std::string &Text, int Pixels, bool Bold, bool Ellipsis = false) {
  const std::string key = TextKey(Text, Pixels, Bold, Ellipsis);
  auto it = R.TextCache.find(key);
  if (it != R.TextCache.end()) return it->second;
  if (R.TextCache.size() > 256) {
    R.TextCache.clear();
    R.LayerCached.clear();  // its texture names may come back for other text
  }
  const Image img = R.Text.Render(Text, Pixels, Bold, Ellipsis);
  CachedText c;
  if (!img.Empty()) {
    c.Tex = UploadTexture(img, false, false);
    c.Width = img.Width;
    c.Height = img.Height;
  }
  return R.TextCache.emplace(key, std::move(c)).first->second;
}

// The width TextImage would have, without drawing it; fitting a text measures
// it at several sizes and lengths every frame.
int TextWidth(Renderer &R, const std::string &Text, int Pixels, bool Bold, bool Ellipsis) {
  const std::string key = TextKey(Text, Pixels, Bold, Ellipsis);
  if (const auto it = R.TextWidths.find(key); it != R.TextWidths.end()) return it->second;
  if (R.TextWidths.size() > 1024) R.TextWidths.clear();
  return R.TextWidths[key] = R.Text.Width(Text, Pixels, Bold, Ellipsis);
}

enum class Align { Left, Centre };

// Text centred vertically on Y, with a soft shadow below it; a text wider than
// MaxWidth (when given) is drawn smaller or cut short (FitText).
void DrawText(Renderer &R, const std::string &Text, int Pixels, bool Bold, float X, float Y, Align A, vec4 Top,
              vec4 Bottom, float MaxWidth = 0) {
  FittedText fit{Pixels, Text.size(), false};
  if (MaxWidth > 0)
    fit = FitText(Text, Pixels, MaxWidth, [&](size_t Length, int P, bool Ellipsis) {
      return TextWidth(R, Text.substr(0, Length), P, Bold, Ellipsis);
    });
  Pixels = fit.Pixels;
  const CachedText &t = TextImage(R, fit.Cut ? Text.substr(0, fit.Length) : Text, Pixels, Bold, fit.Cut);
  if (!t.Tex) return;
  float w = float(t.Width), h = float(t.Height);
  if (MaxWidth > 0 && w > MaxWidth) { h *= MaxWidth / w; w = MaxWidth; }  // not even an ellipsis fits: squeezed
  const float x = std::round(A == Align::Centre ? X - w / 2 : X), y = std::round(Y - h / 2);
  Style shadow;
  shadow.Soft = 0;
  shadow.Top = shadow.Bottom = vec4(0, 0, 0, 0.55f * Top.a);
  const float off = std::max(1.0f, std::round(Pixels / 18.0f));
  Fill(R, Rect{x + off, y + off, w, h}, shadow, t.Tex.Get());
  Style s;
  s.Soft = 0;
  s.Top = Top;
  s.Bottom = Bottom;
  Fill(R, Rect{x, y, w, h}, s, t.Tex.Get());
}

void DrawText(Renderer &R, const std::string &Text, int Pixels, bool Bold, float X, float Y, Align A, vec4 Color,
              float MaxWidth = 0) {
  DrawText(R, Text, Pixels, Bold, X, Y, A, Color, Color, MaxWidth);
}

// The image stretched to cover the whole screen, cropped to keep its proportions.
void FillScreenWith(Renderer &R, GLuint Tex, vec4 Tint) {
  Style s;
  s.Soft = 0;
  s.Top = s.Bottom = Tint;
  Fill(R, Rect{0, 0, float(R.Width), float(R.Height)}, s, Tex);
}

// The cube effect's lit cubes floating in front of the backdrop, when it is on.
void DrawBackdropCubes(Renderer &R) {
  if (!State.CubesOn) return;
  Camera cam;
  cam.Eye = glm::vec3(0, -16, 2);
  cam.Target = glm::vec3(0, 0, 0);
  cam.View = glm::lookAt(cam.Eye, cam.Target, glm::vec3(0, 0, 1));
  cam.Projection = glm::perspective(glm::radians(55.0f), float(R.Width) / float(std::max(R.Height, 1)), 0.1f, 100.0f);
  if (State.Drifters.empty()) SeedDrifters();
  glClear(GL_DEPTH_BUFFER_BIT);
  DrawDrifters(R, cam, glm::vec3(0, 8, 0), 13.0f, true);
}

// The menu's and the settings page's background: the backdrop image, with the
// cube effect's lit cubes floating in front of it when it is on.
void DrawBackdrop(Renderer &R, vec4 Tint) {
  BeginUi(R);
  FillScreenWith(R, R.Textures[size_t(TexKind::MenuBack)].Get(), Tint);
  DrawBackdropCubes(R);
}

void DrawPanel(Renderer &R, const Rect &Panel, float Scale) {
  DropShadow(R, Panel, 18 * Scale, 36 * Scale, 0.55f);
  Style s;
  s.Top = vec4(1.0f, 1.0f, 1.05f, 0.94f);
  s.Bottom = vec4(0.85f, 0.85f, 0.95f, 0.94f);
  s.Radius = 18 * Scale;
  s.Border = std::max(1.5f, 2 * Scale);
  s.BorderColor = vec4(1.0f, 0.82f, 0.50f, 0.45f);
  Fill(R, Panel, s, R.Textures[size_t(TexKind::Menu)].Get(), vec4(0, 0, Panel.W / 256, Panel.H / 256));
}

// A menu bar or button: gold when the pointer is on it.
void DrawButton(Renderer &R, const Rect &Area, float Scale, bool Hot, vec4 Accent = vec4(0.98f, 0.74f, 0.30f, 1)) {
  Style s;
  s.Radius = 10 * Scale;
  s.Border = std::max(1.0f, 1.5f * Scale);
  if (Hot) {
    DropShadow(R, Area, 10 * Scale, 14 * Scale, 0.45f);
    s.Top = Accent;
    s.Bottom = vec4(Accent.r * 0.82f, Accent.g * 0.70f, Accent.b * 0.62f, 1);
    s.BorderColor = vec4(1, 0.95f, 0.80f, 0.9f);
  } else {
    s.Top = vec4(1, 1, 1, 0.10f);
    s.Bottom = vec4(1, 1, 1, 0.04f);
    s.BorderColor = vec4(1, 1, 1, 0.16f);
  }
  Fill(R, Area, s);
}

const vec4 kText(0.90f, 0.91f, 0.97f, 1), kTextDim(0.66f, 0.68f, 0.80f, 1), kTextOnGold(0.16f, 0.09f, 0.04f, 1);

void DrawTitle(Renderer &R, const Rect &Title, float Scale, const char *Text, int Pixels) {
  DrawText(R, Text, int(Pixels * Scale), true, Title.CentreX(), Title.CentreY(), Align::Centre,
           vec4(1.0f, 0.90f, 0.55f, 1), vec4(0.95f, 0.55f, 0.22f, 1));
}

std::string ModeText(const TDisplayMode &M) {
  return std::to_string(M.Width) + " x " + std::to_string(M.Height) + " x " + std::to_string(M.Bits);
}

std::string FreqText(int32_t Hz) { return Hz == 0 ? "default" : std::to_string(Hz) + " Hz"; }

std::string MapText(const TMapDescr &M) {
  if (M.Title && M.Title[0]) return M.Title;
  if (M.FileName && M.FileName[0]) return M.FileName;
  return "(unnamed)";
}

// Keeps an index inside a table of High + 1 entries (0 when the table is empty).
void ClampIndex(int32_t &Index, int32_t High) {
  if (High < 0) Index = 0;
  else Index = std::clamp(Index, 0, High);
}

void Step(int32_t &Index, int32_t High, int Delta) {
  if (High < 0) { Index = 0; return; }
  const int32_t n = High + 1;
  Index = int32_t(((int64_t(Index) + Delta) % n + n) % n);
}

}  // namespace

namespace {

bool BuildUiShader(UiShader &S, const std::string &Defines, std::string &Error) {
  S.Prog = BuildProgram(kUiVertex, kUiFragment, Error, Defines);
  if (!S.Prog) return false;
  const GLuint p = S.Prog.Get();
  UiUniforms &u = S.U;
  u.Screen = glGetUniformLocation(p, "uScreen");
  u.Rect = glGetUniformLocation(p, "uRect");
  u.Shape = glGetUniformLocation(p, "uShape");
  u.UV = glGetUniformLocation(p, "uUV");
  u.ColorTop = glGetUniformLocation(p, "uColorTop");
  u.ColorBottom = glGetUniformLocation(p, "uColorBottom");
  u.Radius = glGetUniformLocation(p, "uRadius");
  u.Soft = glGetUniformLocation(p, "uSoft");
  u.Border = glGetUniformLocation(p, "uBorder");
  u.BorderColor = glGetUniformLocation(p, "uBorderColor");
  u.Tex = glGetUniformLocation(p, "uTex");
  u.Depth = glGetUniformLocation(p, "uDepth");
  return true;
}

}  // namespace

bool CreateUiResources(Renderer &R, std::string &Error) {
  for (int textured = 0; textured < 2; ++textured) {
    const std::string tex = textured ? "#define TEXTURED\n" : "";
    if (!BuildUiShader(R.UiShaped[textured], tex, Error) || !BuildUiShader(R.UiPlain[textured], "#define PLAIN\n" + tex, Error))
      return false;
  }
  R.UiVao = MakeVertexArray();
  return glGetError() == GL_NO_ERROR;
}

void DrawSky(Renderer &R, bool BehindScene) {
  BeginUi(R);
  if (BehindScene) {
    // At the far end of the depth range, only where the scene left the frame empty.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_FALSE);
    glDisable(GL_BLEND);
    SetUiDepth(R, 0.999999f);
  }
  Style s;
  s.Soft = 0;
  s.Top = vec4(0.09f, 0.11f, 0.24f, 1);
  s.Bottom = vec4(0.43f, 0.42f, 0.55f, 1);
  Fill(R, Rect{0, 0, float(R.Width), float(R.Height) * 0.75f}, s);
  s.Top = s.Bottom;
  Fill(R, Rect{0, float(R.Height) * 0.75f - 1, float(R.Width), float(R.Height) * 0.25f + 1}, s);
  glDepthMask(GL_TRUE);
  SetUiDepth(R, 0.0f);
  glBindVertexArray(0);
}

int32_t RunMenu(Renderer &R, float Px, float Py, int32_t Highlight) {
  const MenuLayout m = LayoutMenu(R.Width, R.Height);
  const float sc = UiScale(R.Width, R.Height);
  int32_t pointed = -1;
  for (int i = 0; i < MenuItemCount; ++i)
    if (m.Items[i].Contains(Px, Py)) pointed = i;
  const int32_t hot = Highlight == hlPointer ? pointed : Highlight;

  DrawBackdrop(R, vec4(1));
  BeginUiLayer(R);
  BeginUi(R);
  DrawTitle(R, m.Title, sc, "KESTROVE", 92);
  const float margin = TextMargin * sc;
  DrawText(R, "Push every crate onto a golden mark", int(20 * sc), false, m.Title.CentreX(),
           m.Title.Y + m.Title.H + 2 * sc, Align::Centre, kTextDim, R.Width - 2 * margin);
  DrawPanel(R, m.Panel, sc);
  for (int i = 0; i < MenuItemCount; ++i) {
    const Rect &r = m.Items[i];
    DrawButton(R, r, sc, i == hot);
    DrawText(R, MenuItemTexts[i], int(26 * sc), i == hot, r.CentreX(), r.CentreY(), Align::Centre,
             i == hot ? kTextOnGold : kText, r.W - 2 * margin);
  }
  DrawText(R, "Arrows move  \xb7  Z or Backspace undo  \xb7  Y redo  \xb7  R restart  \xb7  Tab overview  \xb7  L levels  \xb7  Esc menu", int(16 * sc), false,
           R.Width / 2.0f, R.Height - 26 * sc, Align::Centre, kTextDim, R.Width - 2 * margin);
  EndUiLayer(R);
  glBindVertexArray(0);
  return pointed;
}

// The keys name the first six rows, then Apply and Back, then the volumes, as graph.h numbers them.
static_assert(int(rowMode) == hlMode && int(rowFreq) == hlFreq && int(rowFullScreen) == hlFullScreen &&
              int(rowMap) == hlMap && int(rowCubes) == hlCubes && int(rowKeys) == hlKeys3D &&
              int(rowKeys) + 1 == srApply && srBack == srApply + 1 && hlSoundVolume == srBack + 1 &&
              hlMusicVolume == hlSoundVolume + 1 && int(rowSound) == int(rowKeys) + 1 &&
              int(rowMusic) == int(rowSound) + 1);
static int32_t RowHighlight(int row) { return row < rowSound ? row : hlSoundVolume + (row - rowSound); }

constexpr int32_t MaxVolume = 10;
// A volume steps within 0..10: it stops at its ends rather than going round.
static void StepVolume(int32_t &Volume, int Delta) { Volume = std::clamp(Volume + Delta, 0, MaxVolume); }

int32_t RunSettings(Renderer &R, float Px, float Py, bool Pressed, int32_t Highlight, TSettings &S,
                    TVolumes *Volumes, const TDisplayMode *Modes, int32_t ModesHigh, const int32_t *Freqs,
                    int32_t FreqsHigh, const TMapDescr *Maps, int32_t MapsHigh) {
  if (!Modes) ModesHigh = -1;
  if (!Freqs) FreqsHigh = -1;
  if (!Maps) MapsHigh = -1;
  // Whatever arrives, what leaves is in range.
  S.FullScreen = S.FullScreen ? 1 : 0;
  S.Cubes = S.Cubes ? 1 : 0;
  S.Keys3D = S.Keys3D ? 1 : 0;
  ClampIndex(S.Mode, ModesHigh);
  ClampIndex(S.Freq, FreqsHigh);
  ClampIndex(S.Map, MapsHigh);
  if (Volumes) {
    StepVolume(Volumes->Sound, 0);
    StepVolume(Volumes->Music, 0);
  }
  const int rows = Volumes ? SettingsRowCount : int(rowSound);

  const SettingsLayout l = LayoutSettings(R.Width, R.Height);
  int32_t result = -1;
  if (Pressed) {
    if (l.Apply.Contains(Px, Py)) result = srApply;
    else if (l.Back.Contains(Px, Py)) result = srBack;
    for (int row = 0; row < rows && result < 0; ++row) {
      const SettingsLayout::Row &r = l.Rows[row];
      const int delta = r.Prev.Contains(Px, Py) ? -1 : (r.Next.Contains(Px, Py) || r.Value.Contains(Px, Py)) ? 1 : 0;
      if (!delta) continue;
      switch (row) {
        case rowMode: Step(S.Mode, ModesHigh, delta); break;
        case rowFreq: Step(S.Freq, FreqsHigh, delta); break;
        case rowFullScreen: S.FullScreen ^= 1; break;
        case rowMap: Step(S.Map, MapsHigh, delta); break;
        case rowCubes: S.Cubes ^= 1; break;
        case rowKeys: S.Keys3D ^= 1; break;
        case rowSound: StepVolume(Volumes->Sound, delta); break;
        case rowMusic: StepVolume(Volumes->Music, delta); break;
      }
      break;
    }
  }

  // Drawn as the pointer or the keys say: one highlight, never both.
  if (Highlight != hlPointer) Px = Py = -1e6f;
  const float sc = UiScale(R.Width, R.Height);
  DrawBackdrop(R, vec4(0.8f, 0.8f, 0.85f, 1));
  BeginUiLayer(R);
  BeginUi(R);
  DrawPanel(R, l.Panel, sc);
  DrawTitle(R, l.Title, sc, "Settings", 48);

  const float margin = TextMargin * sc;
  const vec4 on(0.55f, 0.95f, 0.60f, 1), off(0.95f, 0.62f, 0.55f, 1);
  for (int row = 0; row < rows; ++row) {
    const SettingsLayout::Row &r = l.Rows[row];
    std::string value;
    vec4 colour = kText;
    switch (row) {
      case rowMode: value = ModesHigh < 0 ? "none" : ModeText(Modes[S.Mode]); break;
      case rowFreq: value = FreqsHigh < 0 ? "none" : FreqText(Freqs[S.Freq]); break;
      case rowFullScreen: value = S.FullScreen ? "On" : "Off"; colour = S.FullScreen ? on : off; break;
      case rowMap: value = MapsHigh < 0 ? "none" : MapText(Maps[S.Map]); break;
      case rowCubes: value = S.Cubes ? "On" : "Off"; colour = S.Cubes ? on : off; break;
      case rowKeys: value = KeyMappingText(S.Keys3D); break;
      case rowSound: value = VolumeText(Volumes->Sound); break;
      case rowMusic: value = VolumeText(Volumes->Music); break;
    }
    const bool rowHot = RowHighlight(row) == Highlight || r.Label.Contains(Px, Py) || r.Prev.Contains(Px, Py) ||
                        r.Value.Contains(Px, Py) || r.Next.Contains(Px, Py);
    if (rowHot) {
      Style band;
      band.Top = band.Bottom = vec4(1, 0.85f, 0.55f, 0.08f);
      band.Radius = 8 * sc;
      if (RowHighlight(row) == Highlight) {  // the keys' only sign of where they are: the arrows change this row
        band.Top = band.Bottom = vec4(1, 0.85f, 0.55f, 0.16f);
        band.Border = std::max(1.0f, 1.5f * sc);
        band.BorderColor = vec4(1.0f, 0.82f, 0.50f, 0.8f);
      }
      Fill(R, Rect{r.Label.X - 14 * sc, r.Label.Y, r.Next.X + r.Next.W - r.Label.X + 28 * sc, r.Label.H}, band);
    }
    DrawText(R, SettingsLabels[row], int(22 * sc), false, r.Label.X, r.Label.CentreY(), Align::Left,
             rowHot ? vec4(1, 0.92f, 0.75f, 1) : kText, r.Label.W - margin);
    DrawButton(R, r.Prev, sc, r.Prev.Contains(Px, Py));
    DrawButton(R, r.Next, sc, r.Next.Contains(Px, Py));
    DrawText(R, "<", int(24 * sc), true, r.Prev.CentreX(), r.Prev.CentreY(), Align::Centre,
             r.Prev.Contains(Px, Py) ? kTextOnGold : kText);
    DrawText(R, ">", int(24 * sc), true, r.Next.CentreX(), r.Next.CentreY(), Align::Centre,
             r.Next.Contains(Px, Py) ? kTextOnGold : kText);
    Style box;
    box.Top = vec4(0.02f, 0.03f, 0.08f, r.Value.Contains(Px, Py) ? 0.75f : 0.55f);
    box.Bottom = vec4(0.05f, 0.06f, 0.12f, box.Top.a);
    box.Radius = 8 * sc;
    box.Border = 1.0f;
    box.BorderColor = vec4(1, 1, 1, r.Value.Contains(Px, Py) ? 0.35f : 0.12f);
    Fill(R, r.Value, box);
    DrawText(R, value, int(22 * sc), true, r.Value.CentreX(), r.Value.CentreY(), Align::Centre, colour,
             r.Value.W - 2 * margin);
  }
  DrawText(R, "Changes take effect when applied; the game in progress is kept.", int(17 * sc), false,
           R.Width / 2.0f, l.Apply.Y - 28 * sc, Align::Centre, kTextDim, l.Panel.W - 2 * margin);
  const bool applyHot = Highlight == srApply || l.Apply.Contains(Px, Py),
             backHot = Highlight == srBack || l.Back.Contains(Px, Py);
  DrawButton(R, l.Apply, sc, true, applyHot ? vec4(0.55f, 0.95f, 0.55f, 1) : vec4(0.36f, 0.74f, 0.40f, 1));
  DrawButton(R, l.Back, sc, backHot);
  DrawText(R, "Apply", int(26 * sc), true, l.Apply.CentreX(), l.Apply.CentreY(), Align::Centre, kTextOnGold,
           l.Apply.W - 2 * margin);
  DrawText(R, "Back", int(26 * sc), backHot, l.Back.CentreX(), l.Back.CentreY(), Align::Centre,
           backHot ? kTextOnGold : kText, l.Back.W - 2 * margin);
  EndUiLayer(R);
  glBindVertexArray(0);
  return result;
}

void DrawHud(Renderer &R) {
  const FrameScene &S = R.Scene;
  if (!S.Active || S.TargetCount <= 0) return;
  const float sc = std::max(0.6f, UiScale(R.Width, R.Height));
  BeginUi(R);
  const Rect pill{16 * sc, 16 * sc, 250 * sc, 44 * sc};
  DropShadow(R, pill, 22 * sc, 12 * sc, 0.35f);
  Style s;
  s.Top = vec4(0.10f, 0.12f, 0.22f, 0.82f);
  s.Bottom = vec4(0.06f, 0.07f, 0.14f, 0.82f);
  s.Radius = 22 * sc;
  s.Border = 1.5f;
  s.BorderColor = vec4(1.0f, 0.82f, 0.50f, 0.45f);
  Fill(R, pill, s);
  // A little crate, green once every mark is covered.
  const bool done = S.CoveredCount >= S.TargetCount;
  Style crate;
  crate.Radius = 4 * sc;
  crate.Top = done ? vec4(0.45f, 0.95f, 0.55f, 1) : vec4(0.86f, 0.62f, 0.34f, 1);
  crate.Bottom = done ? vec4(0.25f, 0.70f, 0.35f, 1) : vec4(0.62f, 0.40f, 0.18f, 1);
  crate.Border = 1.5f;
  crate.BorderColor = vec4(0.2f, 0.12f, 0.05f, 0.8f);
  Fill(R, Rect{pill.X + 14 * sc, pill.Y + 10 * sc, 24 * sc, 24 * sc}, crate, R.Textures[size_t(TexKind::Box)].Get());
  DrawText(R, std::to_string(S.CoveredCount) + " / " + std::to_string(S.TargetCount) + "  crates home", int(20 * sc), true,
           pill.X + 50 * sc, pill.CentreY(), Align::Left, done ? vec4(0.6f, 1.0f, 0.65f, 1) : kText);
  glBindVertexArray(0);
}

void DrawPointer(Renderer &R, float Px, float Py) {
  BeginUi(R);
  const float size = std::round(32 * std::max(0.75f, UiScale(R.Width, R.Height)));
  Style s;
  s.Soft = 0;
  Fill(R, Rect{std::round(Px) - size * 0.04f, std::round(Py) - size * 0.04f, size, size}, s, R.Pointer.Get());
  glBindVertexArray(0);
}

}  // namespace graph

// The same look for the pages and overlays drawn in Hud.cpp.
namespace graph {

void KitBegin(Renderer &R) { BeginUi(R); }
void KitEnd() { glBindVertexArray(0); }
void KitBackdrop(Renderer &R) { DrawBackdrop(R, vec4(0.8f, 0.8f, 0.85f, 1)); }
void KitPanel(Renderer &R, const Rect &Panel, float Scale) { DrawPanel(R, Panel, Scale); }
void KitButton(Renderer &R, const Rect &Area, float Scale, bool Hot) { DrawButton(R, Area, Scale, Hot); }
void KitTitle(Renderer &R, const Rect &Title, float Scale, const char *Text, int Pixels) {
  DrawTitle(R, Title, Scale, Text, Pixels);
}

void KitPill(Renderer &R, const Rect &Area, float Scale, float Alpha) {
  DropShadow(R, Area, 22 * Scale, 12 * Scale, 0.35f * Alpha);
  Style s;
  s.Top = vec4(0.10f, 0.12f, 0.22f, 0.82f * Alpha);
  s.Bottom = vec4(0.06f, 0.07f, 0.14f, 0.82f * Alpha);
  s.Radius = 22 * Scale;
  s.Border = 1.5f;
  s.BorderColor = vec4(1.0f, 0.82f, 0.50f, 0.45f * Alpha);
  Fill(R, Area, s);
}

void KitRing(Renderer &R, float X, float Y, float Radius, float Thickness, glm::vec4 Colour) {
  Style s;
  s.Top = s.Bottom = vec4(glm::vec3(Colour), 0);
  s.Radius = Radius;
  s.Border = Thickness;
  s.BorderColor = Colour;
  Fill(R, Rect{X - Radius, Y - Radius, 2 * Radius, 2 * Radius}, s);
}

void KitText(Renderer &R, const std::string &Text, int Pixels, bool Bold, float X, float Y, bool Centre,
             glm::vec4 Colour, float MaxWidth) {
  DrawText(R, Text, Pixels, Bold, X, Y, Centre ? Align::Centre : Align::Left, Colour, MaxWidth);
}

}  // namespace graph
