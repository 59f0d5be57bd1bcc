// The renderer drawn for real: a level, the menu and the settings page under
// Xvfb with software GL, read back and probed. Every GL test saves its frame
// under artifacts/ so a person can look at it.
#include <SDL.h>
#include <SDL_image.h>
#include <dirent.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "NativeWindow.h"
#include "Camera.h"
#include "ChooserLayout.h"
#include "Layout.h"
#include "TestGL.h"
#include "graph.h"

#ifdef GRAPH_TEST_MULTISAMPLE
// This build runs every test through the path that graphics cards take:
// multisampled, on the full tier.
#include "State.h"
namespace {
struct MultisampleEverywhere : ::testing::Environment {
  void SetUp() override {
    graph::State.MultisampleOnSoftware = true;
    graph::State.QualityOverride = "full";
  }
};
const auto *const kMultisample = ::testing::AddGlobalTestEnvironment(new MultisampleEverywhere);
constexpr bool kExpectMultisample = true;
}  // namespace
#else
namespace {
constexpr bool kExpectMultisample = false;
}  // namespace
#endif

namespace {

// Init's failures are told on stderr only: a message box would wait for a click.
struct NoErrorBoxes : ::testing::Environment {
  void SetUp() override { setenv("KESTROVE_NO_ERROR_BOX", "1", 1); }
};
const auto *const kNoErrorBoxes = ::testing::AddGlobalTestEnvironment(new NoErrorBoxes);

constexpr int kWidth = 640, kHeight = 480;

struct Pixel { int r, g, b; };

class Frame {
public:
  Frame() : Rgb(size_t(kWidth) * kHeight * 3) {}
  void Capture(GLenum Buffer = GL_BACK) {
    UseTestGL();
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<uint8_t> up(Rgb.size());
    GLint bound = 0, samples = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &bound);
    glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
    if (bound != 0 && samples > 0) {
      // The frame is still multisampled: resolve a copy to read it.
      GLuint fbo = 0, rb = 0;
      glGenFramebuffers(1, &fbo);
      glGenRenderbuffers(1, &rb);
      glBindRenderbuffer(GL_RENDERBUFFER, rb);
      glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
      glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
      glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, rb);
      glBlitFramebuffer(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
      glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
      glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, up.data());
      glBindFramebuffer(GL_FRAMEBUFFER, GLuint(bound));
      glDeleteFramebuffers(1, &fbo);
      glDeleteRenderbuffers(1, &rb);
    } else {
      glReadBuffer(Buffer);
      glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, up.data());
    }
    for (int y = 0; y < kHeight; ++y)  // GL rows run bottom-up
      std::memcpy(&Rgb[size_t(y) * kWidth * 3], &up[size_t(kHeight - 1 - y) * kWidth * 3], size_t(kWidth) * 3);
  }
  Pixel At(int x, int y) const {
    const uint8_t *p = &Rgb[(size_t(y) * kWidth + x) * 3];
    return {p[0], p[1], p[2]};
  }
  // The mean over a small square: the probe's tolerance for texture detail.
  Pixel Mean(float fx, float fy, int Half = 2) const {
    int r = 0, g = 0, b = 0, n = 0;
    for (int y = int(fy) - Half; y <= int(fy) + Half; ++y)
      for (int x = int(fx) - Half; x <= int(fx) + Half; ++x) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) continue;
        const Pixel p = At(x, y);
        r += p.r; g += p.g; b += p.b; ++n;
      }
    return n ? Pixel{r / n, g / n, b / n} : Pixel{0, 0, 0};
  }
  void Save(const std::string &Name) const {
    std::filesystem::create_directories(GRAPH_ARTIFACTS_DIR);
    SDL_Surface *s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t *>(Rgb.data()), kWidth, kHeight, 24,
                                                        kWidth * 3, SDL_PIXELFORMAT_RGB24);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(IMG_SavePNG(s, (std::string(GRAPH_ARTIFACTS_DIR) + "/" + Name).c_str()), 0);
    SDL_FreeSurface(s);
  }
  std::vector<uint8_t> Rgb;
};

std::ostream &operator<<(std::ostream &o, const Pixel &p) { return o << "(" << p.r << "," << p.g << "," << p.b << ")"; }

int OpenFds() {
  int n = 0;
  if (DIR *d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

std::string Tex(const char *Name) { return std::string(GRAPH_DATA_DIR) + "/textures/" + Name; }

class GraphTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no DISPLAY: GL tests need an X server (run under tests/with-xvfb)";
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    Window = MakeWindow(SDL_WINDOW_OPENGL);
    ASSERT_NE(Window, nullptr) << SDL_GetError();
    Engine.Handle = WindowHandle(Window);
  }
  void TearDown() override {
    DeInit();
    DeInitCubes();
    if (Window) SDL_DestroyWindow(Window);
    SDL_Quit();
  }
  static SDL_Window *MakeWindow(Uint32 Flags, bool DoubleBuffer = true) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, DoubleBuffer ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    return SDL_CreateWindow("graph test", 0, 0, kWidth, kHeight, Flags);
  }
  // A single-buffered window in place of the fixture's: the frame EndDraw
  // presents stays readable, pointer and overlay included.
  void ReopenSingleBuffered() {
    SDL_DestroyWindow(Window);
    Window = MakeWindow(SDL_WINDOW_OPENGL, false);
    ASSERT_NE(Window, nullptr);
    Engine.Handle = WindowHandle(Window);
  }
  bool InitBundled() {
    return Init(&Engine, 32, Tex("floor.png").c_str(), Tex("box.png").c_str(), Tex("wall.png").c_str(),
                Tex("dest.png").c_str(), Tex("water.png").c_str(), Tex("menu.png").c_str(),
                Tex("menuback.png").c_str());
  }
  SDL_Window *Window = nullptr;
  TVeltraneEngine Engine;
};

// --- a small level built the way the loader builds one ---------------------

TGameObject Cube(uint8_t Kind, int Col, int Row, double Side, int32_t OnTarget = 0) {
  TGameObject o{};
  o.Kind = Kind;
  const double inset = (1.0 - Side) / 2;
  o.Box = {Col + inset, Row + inset, 0, Side, Side, Side};
  o.SavedPos = {o.Box.x, o.Box.y, 0};
  o.OnTarget = OnTarget;
  return o;
}

struct Level {
  int Width = 0, Height = 0;
  std::vector<TGameObject> Objects;
  TPlayer Player{};
};

// Rows as in a level file, the first line at the top; '9' is the player.
Level MakeLevel(const std::vector<std::string> &Rows) {
  Level l;
  l.Height = int(Rows.size());
  l.Width = int(Rows[0].size());
  for (int n = 0; n < l.Height; ++n)
    for (int c = 0; c < l.Width; ++c) {
      const int r = l.Height - 1 - n;
      switch (Rows[n][c]) {
        case '0': l.Objects.push_back(Cube(okInert, c, r, 0.9)); break;
        case '1': l.Objects.push_back(Cube(okWall, c, r, 0.9)); break;
        case '2': l.Objects.push_back(Cube(okBox, c, r, 0.9)); break;
        case '3': l.Objects.push_back(Cube(okTarget, c, r, 1.0)); break;
        case '4': l.Objects.push_back(Cube(okTarget, c, r, 1.0)); l.Objects.push_back(Cube(okBox, c, r, 0.9, 1)); break;
        case '5': l.Objects.push_back(Cube(okWater, c, r, 1.0)); break;
        case '6':  // a filled water cell: the cell and the box sunk into it
          l.Objects.push_back(Cube(okInert, c, r, 1.0)); l.Objects.push_back(Cube(okInert, c, r, 0.9)); break;
        case '9':
          l.Player.Box = {c + 0.15, r + 0.15, 0, 0.7, 0.7, 0.7};
          l.Player.PrevPos = {c + 0.15, r + 0.15, 0};
          l.Player.Step = 0.1f;
          break;
      }
    }
  return l;
}

const std::vector<std::string> kProbeLevel = {
    "11111111111",
    "1....5....1",
    "1..3.55.2.1",
    "1.........1",
    "1.1.4.2.3.1",
    "1...6.....1",
    "1.........1",
    "1....9....1",
    "11111111111",
};

// A level with a bit of everything, for the screenshots.
const std::vector<std::string> kShowcaseLevel = {
      "1111111111111",
      "1...55555...1",
      "1...5...5.3.1",
      "1.2.5.4.5...1",
      "1...66.55.2.1",
      "1.1.........1",
      "1...3..2.11.1",
      "1.....2...1.1",
      "1.4...9.....1",
      "1...0.......1",
      "1.....3..1..1",
      "1111111111111",
  };

void DrawLevel(const Level &L, float Angle, bool Cubes = false) {
  StartDraw();
  MoveToPlayer(L.Player.Direction, &L.Player, Angle);
  DrawFloor(L.Width, L.Height);
  DrawObjects(L.Objects.empty() ? nullptr : L.Objects.data(), int32_t(L.Objects.size()) - 1);
  DrawPlayer(&L.Player);
  if (Cubes) ProcessCubes();
}

glm::vec2 Project(const Level &L, float Angle, glm::vec3 World) {
  const graph::Camera cam = graph::FollowCamera(L.Player.Box, Angle, kWidth, kHeight);
  float x = -1, y = -1;
  EXPECT_TRUE(graph::ProjectToPixel(cam, World, kWidth, kHeight, x, y));
  return {x, y};
}

// The centre of the top face of the cell's cube of the given height.
glm::vec3 TopOf(int Col, int Row, float Height) { return {Col + 0.5f, Row + 0.5f, Height}; }

// A point on the player's top face beside the arrow painted on it.
glm::vec3 PlayerTop(const TPlayer &P) {
  return {float(P.Box.x + 0.2 * P.Box.sx), float(P.Box.y + 0.2 * P.Box.sy), float(P.Box.z + P.Box.sz)};
}

// --- tests -----------------------------------------------------------------

TEST_F(GraphTest, InitFailsCleanlyWhenNoContextCanBeMade) {
  EXPECT_FALSE(Init(nullptr, 32, "", "", "", "", "", "", ""));
  TVeltraneEngine none;
  EXPECT_FALSE(Init(&none, 32, "", "", "", "", "", "", ""));
  EXPECT_EQ(none.GLContext, nullptr);

  // A window made without OpenGL cannot take a GL context, and the player is told why.
  SDL_Window *plain = MakeWindow(0);
  ASSERT_NE(plain, nullptr);
  TVeltraneEngine engine;
  engine.Handle = WindowHandle(plain);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(Init(&engine, 32, "", "", "", "", "", "", ""));
  const std::string told = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(told.find("cannot draw"), std::string::npos) << told;
  EXPECT_NE(told.find("not made for OpenGL"), std::string::npos) << told;
  EXPECT_EQ(engine.GLContext, nullptr);
  EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
  // Nothing half-made answers: every other entry point is a quiet no-op.
  TMousePos pos{10, 10};
  StartDraw();
  EXPECT_EQ(ProcessMenu(&pos), -1);
  EndDraw(&pos);
  DeInit();
  SDL_DestroyWindow(plain);

  // The GL window still works afterwards.
  ASSERT_TRUE(InitBundled());
  EXPECT_NE(Engine.GLContext, nullptr);
}

TEST_F(GraphTest, InitDeInitCyclesLeakNothing) {
  // The first cycle may open the driver's files for good; later ones add nothing.
  ASSERT_TRUE(InitBundled());
  DeInit();
  const int fds = OpenFds();
  TMousePos pos{100, 100};
  TSettings s{};
  const TDisplayMode modes[] = {{640, 480, 32}};
  const int32_t freqs[] = {0, 60};
  for (int cycle = 0; cycle < 4; ++cycle) {
    ASSERT_TRUE(InitBundled());
    EXPECT_EQ(Engine.GLContext, ContextHandle(SDL_GL_GetCurrentContext()));
    StartDraw();
    ProcessMenu(&pos);
    EndDraw(&pos);
    DeInit();
    EXPECT_EQ(Engine.GLContext, nullptr) << "DeInit hands the context back";
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
  }
  EXPECT_EQ(OpenFds(), fds);

  // Within one context, frames make no GL objects that outlive them: the next
  // free texture and buffer names stay where they were.
  ASSERT_TRUE(InitBundled());
  Level level = MakeLevel(kProbeLevel);
  auto frames = [&](int n) {
    for (int i = 0; i < n; ++i) {
      StartDraw();
      ProcessMenu(&pos);
      EndDraw(&pos);
      StartDraw();
      ProcessSettings(&pos, uint8_t(i & 1), &s, modes, 0, freqs, 1, nullptr, -1);
      EndDraw(&pos);
      DrawLevel(level, 0);
      EndDraw(&pos);
    }
  };
  auto nextNames = [] {
    UseTestGL();
    GLuint t = 0, b = 0;
    glGenTextures(1, &t);
    glGenBuffers(1, &b);
    glDeleteTextures(1, &t);
    glDeleteBuffers(1, &b);
    return std::make_pair(t, b);
  };
  // (A driver may or may not hand out a deleted name again: compare the step.)
  frames(2);
  const auto a = nextNames(), b = nextNames();
  frames(6);
  const auto c = nextNames();
  EXPECT_EQ(c.first - b.first, b.first - a.first) << "textures made by frames and kept";
  EXPECT_EQ(c.second - b.second, b.second - a.second) << "buffers made by frames and kept";
}

TEST_F(GraphTest, FramesAfterTheWindowClosedDrawNothingAndDeInitStaysSafe) {
  ASSERT_TRUE(InitBundled());
  // What the engine's Close does on a close request: the context goes, then the
  // window, and the pass still runs its last frame before DeInit.
  SDL_GL_MakeCurrent(Window, nullptr);
  SDL_GL_DeleteContext(NativeContext(Engine.GLContext));
  SDL_DestroyWindow(Window);
  Window = nullptr;
  Level level = MakeLevel(kProbeLevel);
  TMousePos pos{20, 20};
  TSettings s{};
  DrawLevel(level, 0, true);
  EndDraw(&pos);
  StartDraw();
  EXPECT_EQ(ProcessMenu(&pos), -1);
  EXPECT_EQ(ProcessSettings(&pos, 1, &s, nullptr, -1, nullptr, -1, nullptr, -1), -1);
  EndDraw(&pos);
  DeInit();
  EXPECT_EQ(Engine.GLContext, nullptr) << "released once, never again";
  DeInit();

  // A new window takes a new renderer.
  Window = MakeWindow(SDL_WINDOW_OPENGL);
  ASSERT_NE(Window, nullptr);
  Engine.Handle = WindowHandle(Window);
  ASSERT_TRUE(InitBundled());
  DrawLevel(level, 0);
  Frame f;
  f.Capture();
  EndDraw(&pos);
  const glm::vec2 at = Project(level, 0, TopOf(2, 4, 0.95f));
  const Pixel wall = f.Mean(at.x, at.y);
  EXPECT_GT(wall.r, wall.g + 25) << wall;
}

TEST_F(GraphTest, LevelObjectsShowWhereTheyStand) {
  ASSERT_TRUE(InitBundled());
  Level level = MakeLevel(kProbeLevel);
  DrawLevel(level, 0);
  UseTestGL();
  GLint samples = 0;
  glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
  EXPECT_EQ(samples > 0, kExpectMultisample) << "the frame is drawn multisampled on a graphics card";
  Frame f;
  f.Capture();
  EndDraw(nullptr);
  f.Save("level-probes.png");

  const float cube = 0.95f;  // top of a 0.9 cube standing 0.05 in
  const Pixel wall = f.Mean(Project(level, 0, TopOf(2, 4, cube)).x, Project(level, 0, TopOf(2, 4, cube)).y);
  const glm::vec2 boxAt = Project(level, 0, TopOf(6, 4, cube));
  const Pixel box = f.Mean(boxAt.x, boxAt.y);
  const glm::vec2 coveredAt = Project(level, 0, TopOf(4, 4, cube));
  const Pixel covered = f.Mean(coveredAt.x, coveredAt.y);
  const glm::vec2 waterAt = Project(level, 0, TopOf(5, 7, 0.0f));
  const Pixel water = f.Mean(waterAt.x, waterAt.y);
  const glm::vec2 targetAt = Project(level, 0, TopOf(8, 4, 0.012f));
  const Pixel target = f.Mean(targetAt.x, targetAt.y);
  const glm::vec2 playerAt = Project(level, 0, PlayerTop(level.Player));
  const Pixel player = f.Mean(playerAt.x, playerAt.y);
  const glm::vec2 floorAt = Project(level, 0, TopOf(3, 3, 0.0f));
  const Pixel floor = f.Mean(floorAt.x, floorAt.y);

  EXPECT_GT(wall.r, wall.g + 25) << "brick red " << wall;
  EXPECT_GT(wall.r, wall.b + 25) << wall;
  EXPECT_GT(box.r, box.b + 40) << "crate wood " << box;
  EXPECT_GT(box.r, box.g) << box;
  EXPECT_GT(box.g, box.b) << box;
  EXPECT_GT(covered.g, covered.r + 20) << "a covered crate glows green " << covered;
  EXPECT_GT(covered.g, covered.b + 20) << covered;
  EXPECT_GT(water.b, water.r + 50) << "water blue " << water;
  EXPECT_GT(water.b, water.g + 10) << water;
  EXPECT_GT(target.r, target.b + 60) << "golden mark " << target;
  EXPECT_GT(player.g, player.r + 40) << "teal player " << player;
  EXPECT_GT(player.b, player.r + 40) << player;
  EXPECT_LT(std::abs(player.g - player.b), 50) << player;
  EXPECT_GT(floor.r + floor.g + floor.b, 200) << "lit floor " << floor;

  // Objects move with their records: the same box one cell over shows there instead.
  for (TGameObject &o : level.Objects)
    if (o.Kind == okBox && o.OnTarget == 0 && std::floor(o.Box.x) == 6) o.Box.x -= 2;
  DrawLevel(level, 0);
  Frame moved;
  moved.Capture();
  EndDraw(nullptr);
  // Its old cell shows the floor now (the probe lands on the floor beyond the cell).
  const Pixel now = moved.Mean(boxAt.x, boxAt.y);
  EXPECT_LT(std::abs(now.r - box.r) + std::abs(now.g - box.g) + std::abs(now.b - box.b), 500);
  EXPECT_GT(std::abs(now.r - box.r) + std::abs(now.g - box.g) + std::abs(now.b - box.b), 40)
      << "the crate left its old cell " << now << " was " << box;
  const Pixel there = moved.Mean(Project(level, 0, TopOf(2, 4, cube)).x, Project(level, 0, TopOf(2, 4, cube)).y);
  EXPECT_GT(there.r, there.g + 25) << "the wall is unchanged " << there;
}

// Every kind of object shows as itself, on the tier this build draws with (the
// fast tier on a software rasterizer, the full one in the multisampled build).
TEST_F(GraphTest, EveryKindOfObjectShows) {
  ASSERT_TRUE(InitBundled());
  // Flat things in front of standing ones, so that none hides another.
  const Level level = MakeLevel({
      "111111111",
      "1..2.4..1",
      "1.......1",
      "1.3.5.0.1",
      "1.6.....1",
      "1...9...1",
      "111111111",
  });
  DrawLevel(level, 0);
  Frame f;
  f.Capture();
  EndDraw(nullptr);
  f.Save("level-every-kind.png");
  auto at = [&](int Col, int Row, float Height) {
    const glm::vec2 p = Project(level, 0, TopOf(Col, Row, Height));
    return f.Mean(p.x, p.y);
  };
  const Pixel wall = at(4, 6, 0.95f), box = at(3, 5, 0.95f), covered = at(5, 5, 0.95f), target = at(2, 3, 0.012f),
              water = at(4, 3, 0.0f), inert = at(6, 3, 0.016f), filled = at(2, 2, 0.016f);
  const glm::vec2 playerAt = Project(level, 0, PlayerTop(level.Player));
  const Pixel player = f.Mean(playerAt.x, playerAt.y);
  EXPECT_GT(wall.r, wall.g + 25) << "brick red " << wall;
  EXPECT_GT(target.r, target.b + 60) << "golden mark " << target;
  EXPECT_GT(covered.g, covered.r + 20) << "a covered crate glows green " << covered;
  EXPECT_GT(box.r, box.b + 40) << "crate wood " << box;
  EXPECT_GT(water.b, water.r + 50) << "water blue " << water;
  EXPECT_GT(inert.r, inert.b + 15) << "a sunk crate stays wooden " << inert;
  EXPECT_LT(inert.r + inert.g + inert.b, box.r + box.g + box.b) << "and darker than a standing one " << inert;
  EXPECT_GT(filled.r, filled.b + 15) << "water filled with a crate shows the crate sunk in it " << filled;
  EXPECT_LT(filled.r + filled.g + filled.b, box.r + box.g + box.b) << filled;
  EXPECT_GT(player.g, player.r + 40) << "teal player " << player;
  EXPECT_GT(player.b, player.r + 40) << player;
}

TEST_F(GraphTest, WildRecordsDrawWithoutHarm) {
  ASSERT_TRUE(InitBundled());
  Level level = MakeLevel(kProbeLevel);
  const double nan = std::nan(""), inf = HUGE_VAL;
  const TBox wild[] = {{nan, 1, 0, 0.9, 0.9, 0.9}, {inf, -inf, 0, 0.9, 0.9, 0.9}, {1e300, 1e300, 1e300, 1e300, 1e300, 1e300},
                       {3, 3, 0, -5, -5, -5},      {-1e9, 2, 0, 2e9, 0.9, 0.9}, {2, 2, 0, 0, 0, 0}};
  for (const TBox &b : wild)
    for (uint8_t kind : {uint8_t(okWall), uint8_t(okBox), uint8_t(okTarget), uint8_t(okWater), uint8_t(okInert), uint8_t(4), uint8_t(200)}) {
      TGameObject o{};
      o.Kind = kind;
      o.Box = b;
      o.OnTarget = -7;
      level.Objects.push_back(o);
    }
  for (float angle : {0.0f, 12345.5f, -720.0f, std::nanf(""), HUGE_VALF}) {
    level.Player.Direction = 200;
    DrawLevel(level, angle, true);
    EndDraw(nullptr);
  }
  level.Player.Box = {nan, inf, -inf, 1e300, -1, nan};
  DrawLevel(level, 0);
  DrawFloor(-5, 1 << 30);
  EndDraw(nullptr);
  UseTestGL();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GraphTest, TurningTheViewKeepsTheFacingIntoTheScreen) {
  ASSERT_TRUE(InitBundled());
  // Facing +x (a quarter turn), with a wall straight ahead of the player.
  Level level = MakeLevel({
      "1111111",
      "1.....1",
      "19...21",
      "1.....1",
      "1111111",
  });
  level.Player.Direction = 1;
  DrawLevel(level, 90.0f);
  Frame f;
  f.Capture();
  EndDraw(nullptr);
  f.Save("level-turned.png");
  // The crate at (5,2) lies ahead: it shows near the middle column of the screen.
  const glm::vec2 at = Project(level, 90.0f, TopOf(5, 2, 0.95f));
  EXPECT_NEAR(at.x, kWidth / 2.0f, kWidth * 0.12f);
  const Pixel box = f.Mean(at.x, at.y);
  EXPECT_GT(box.r, box.b + 40) << box;
}

// Picking answers the cell drawn under the pointer: at each quarter of the
// view and at two window sizes, the floor beside the player, the top of the
// box ahead (not the floor the ray would reach behind it), and nothing off the
// level.
TEST_F(GraphTest, PickingFindsTheCellUnderThePointerAtEveryAngleAndSize) {
  ASSERT_TRUE(InitBundled());
  // Open floor, no walls: beyond the level's edge there is nothing to pick.
  Level level = MakeLevel({
      "...........",
      "...........",
      ".....2.....",
      "...........",
      "...2.9.2...",
      "...........",
      ".....2.....",
      "...........",
      "...........",
  });
  const glm::ivec2 player(5, 4);
  const glm::ivec2 headings[4] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};
  for (const glm::ivec2 size : {glm::ivec2(kWidth, kHeight), glm::ivec2(1024, 576)}) {
    SDL_SetWindowSize(Window, size.x, size.y);
    for (int quarter = 0; quarter < 4; ++quarter) {
      SCOPED_TRACE("window " + std::to_string(size.x) + "x" + std::to_string(size.y) + ", view " +
                   std::to_string(quarter * 90));
      const float angle = quarter * 90.0f;
      level.Player.Direction = uint8_t(quarter);
      DrawLevel(level, angle);
      EndDraw(nullptr);
      const graph::Camera cam = graph::FollowCamera(level.Player.Box, angle, size.x, size.y);
      auto pick = [&](glm::vec3 World, int32_t &X, int32_t &Y) {
        float px = -1, py = -1;
        EXPECT_TRUE(graph::ProjectToPixel(cam, World, size.x, size.y, px, py));
        const TMousePos pos{int(std::lround(px)), int(std::lround(py))};
        return PickCell(&pos, &X, &Y);
      };
      const glm::ivec2 ahead = headings[quarter], right = headings[(quarter + 1) % 4];
      const glm::ivec2 floorCell = player + ahead + right, boxCell = player + ahead * 2;
      int32_t x = -1, y = -1;
      ASSERT_TRUE(pick(TopOf(floorCell.x, floorCell.y, 0.0f), x, y));
      EXPECT_EQ(glm::ivec2(x, y), floorCell);
      ASSERT_TRUE(pick(TopOf(boxCell.x, boxCell.y, 0.9f), x, y));
      EXPECT_EQ(glm::ivec2(x, y), boxCell) << "the box top, not the floor behind it";
      const TMousePos sky{size.x / 2, 2};
      EXPECT_FALSE(PickCell(&sky, &x, &y)) << "beyond the level's far edge";
    }
  }
  const TMousePos anywhere{10, 10};
  int32_t x = 0, y = 0;
  EXPECT_FALSE(PickCell(nullptr, &x, &y));
  EXPECT_FALSE(PickCell(&anywhere, nullptr, &y));
}

// The mouse's marks: the cells a chosen box can go to show gold, the box
// outlined, the cell under the pointer framed.
TEST_F(GraphTest, CellMarksShowOnTheLevel) {
  ASSERT_TRUE(InitBundled());
  Level level = MakeLevel(kProbeLevel);
  std::vector<uint8_t> marks(size_t(level.Width) * level.Height, 0);
  marks[size_t(3) * level.Width + 3] = 1;
  const TCellMarks cellMarks{7, 2, 6, 4, level.Width, level.Height, marks.data(), -1, -1, 0, 0, nullptr};
  StartDraw();
  MoveToPlayer(level.Player.Direction, &level.Player, 0);
  DrawFloor(level.Width, level.Height);
  DrawObjects(level.Objects.data(), int32_t(level.Objects.size()) - 1);
  DrawCellMarks(&cellMarks);
  DrawPlayer(&level.Player);
  Frame f;
  f.Capture();
  EndDraw(nullptr);
  f.Save("level-mouse-marks.png");
  const glm::vec2 markAt = Project(level, 0, TopOf(3, 3, 0.03f));
  const Pixel mark = f.Mean(markAt.x, markAt.y, 1);
  EXPECT_GT(mark.r, mark.b + 60) << "a gold mark " << mark;
  DrawLevel(level, 0);
  Frame plain;
  plain.Capture();
  EndDraw(nullptr);
  const Pixel was = plain.Mean(markAt.x, markAt.y, 1);
  EXPECT_GT(std::abs(mark.r - was.r) + std::abs(mark.g - was.g) + std::abs(mark.b - was.b), 60)
      << "no marks without DrawCellMarks in the frame " << was;
}

TEST_F(GraphTest, MissingOrBrokenTexturesFallBackToPaintedOnes) {
  const std::string junk = std::string(GRAPH_ARTIFACTS_DIR) + "/not-an-image.png";
  std::filesystem::create_directories(GRAPH_ARTIFACTS_DIR);
  std::ofstream(junk) << "this is not a PNG";
  ASSERT_TRUE(Init(&Engine, 32, "", "no/such/floor.png", junk.c_str(), "", "missing.png", "", junk.c_str()));
  Level level = MakeLevel(kProbeLevel);
  DrawLevel(level, 0);
  Frame f;
  f.Capture();
  EndDraw(nullptr);
  f.Save("level-fallback.png");
  const glm::vec2 wallAt = Project(level, 0, TopOf(2, 4, 0.95f));
  const Pixel wall = f.Mean(wallAt.x, wallAt.y);
  EXPECT_GT(wall.r, wall.g + 25) << "painted bricks, not black " << wall;
  const glm::vec2 waterAt = Project(level, 0, TopOf(5, 7, 0.0f));
  const Pixel water = f.Mean(waterAt.x, waterAt.y);
  EXPECT_GT(water.b, water.r + 50) << water;
}

TEST_F(GraphTest, MenuHitRectanglesMatchWhatIsDrawn) {
  ASSERT_TRUE(InitBundled());
  const graph::MenuLayout m = graph::LayoutMenu(kWidth, kHeight);
  auto draw = [&](int x, int y, Frame &f) {
    const TMousePos pos{x, y};
    StartDraw();
    const int32_t item = ProcessMenu(&pos);
    f.Capture();
    EndDraw(&pos);
    return item;
  };
  Frame idle;
  EXPECT_EQ(draw(-50, -50, idle), -1);

  // Down the middle of the screen the items come in order, each over exactly its rectangle.
  std::vector<int> seen;
  for (int y = 0; y < kHeight; y += 2) {
    const TMousePos pos{kWidth / 2, y};
    StartDraw();
    const int32_t item = ProcessMenu(&pos);
    if (item >= 0) {
      EXPECT_TRUE(m.Items[item].Contains(kWidth / 2.0f, float(y))) << "item " << item << " at y " << y;
      if (seen.empty() || seen.back() != item) seen.push_back(item);
    }
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5}));

  // The highlight appears where the item is drawn, around the pointer.
  for (int i = 0; i < graph::MenuItemCount; ++i) {
    const graph::Rect &r = m.Items[i];
    Frame hot;
    ASSERT_EQ(draw(int(r.CentreX()), int(r.CentreY()), hot), i);
    int x0 = kWidth, y0 = kHeight, x1 = -1, y1 = -1;
    // Within the panel: the cubes drifting behind it move between any two frames.
    // (Inset past the panel's rounded, soft edge, which lets them show through.)
    const int inset = 12;
    for (int y = std::max(0, int(m.Panel.Y) + inset); y < std::min(kHeight, int(m.Panel.Y + m.Panel.H) - inset); ++y)
      for (int x = std::max(0, int(m.Panel.X) + inset); x < std::min(kWidth, int(m.Panel.X + m.Panel.W) - inset); ++x) {
        const Pixel a = idle.At(x, y), b = hot.At(x, y);
        if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60) {
          x0 = std::min(x0, x); y0 = std::min(y0, y); x1 = std::max(x1, x); y1 = std::max(y1, y);
        }
      }
    ASSERT_GE(x1, 0) << "item " << i << " shows no highlight";
    const float margin = 24;  // the highlight's soft shadow
    EXPECT_GE(x0, r.X - margin) << i;
    EXPECT_LE(x1, r.X + r.W + margin) << i;
    EXPECT_GE(y0, r.Y - margin) << i;
    EXPECT_LE(y1, r.Y + r.H + margin) << i;
    EXPECT_LT(x0, r.X + 4) << "the highlight spans the item " << i;
    EXPECT_GT(x1, r.X + r.W - 4) << i;
    // Just outside the item is no item.
    Frame out;
    EXPECT_EQ(draw(int(r.X) - 3, int(r.CentreY()), out), -1);
    if (i == 0) hot.Save("menu-hot.png");
  }
}

// The volume rows step one a press and are held at 0 and 10; a value out of
// range comes back in it.
TEST_F(GraphTest, VolumeRowsStepWithinTheirRange) {
  ASSERT_TRUE(InitBundled());
  const graph::SettingsLayout l = graph::LayoutSettings(kWidth, kHeight);
  TSettings s{};
  auto press = [&](const graph::Rect &r, TVolumes *volumes) {  // one frame up, one down
    const TMousePos pos{int(r.CentreX()), int(r.CentreY())};
    for (const uint8_t button : {uint8_t(0), uint8_t(1)}) {
      SetVolumes(volumes);
      StartDraw();
      ProcessSettings(&pos, button, &s, nullptr, -1, nullptr, -1, nullptr, -1);
      EndDraw(&pos);
    }
  };
  TVolumes v{9, 1};
  press(l.Rows[graph::rowSound].Next, &v);
  press(l.Rows[graph::rowSound].Next, &v);
  press(l.Rows[graph::rowMusic].Prev, &v);
  press(l.Rows[graph::rowMusic].Prev, &v);
  EXPECT_EQ(v.Sound, 10);
  EXPECT_EQ(v.Music, 0);
  TVolumes wild{99, -5};
  press(l.Rows[graph::rowMode].Label, &wild);
  EXPECT_EQ(wild.Sound, 10);
  EXPECT_EQ(wild.Music, 0);
}

TEST_F(GraphTest, SettingsClicksChangeOneFieldOncePerPress) {
  ASSERT_TRUE(InitBundled());
  const TDisplayMode modes[8] = {{640, 480, 16},  {640, 480, 32},  {800, 600, 16},   {800, 600, 32},
                                 {1024, 768, 16}, {1024, 768, 32}, {1280, 1024, 16}, {1280, 1024, 32}};
  const int32_t freqs[11] = {0, 60, 70, 75, 85, 100, 120, 140, 150, 170, 200};
  char f1[] = "maps/classic.lev", t1[] = "Classic", f2[] = "maps/extra.lev", t2[] = "";
  const TMapDescr maps[2] = {{f1, t1}, {f2, t2}};
  const graph::SettingsLayout l = graph::LayoutSettings(kWidth, kHeight);
  TSettings s{};
  s.Mode = 5;
  s.Cubes = 1;

  auto frameWith = [&](const graph::Rect &r, bool button, TSettings &edit, const TMapDescr *m, int high) {
    const TMousePos pos{int(r.CentreX()), int(r.CentreY())};
    StartDraw();
    const int32_t result = ProcessSettings(&pos, button, &edit, modes, 7, freqs, 10, m, high);
    EndDraw(&pos);
    return result;
  };
  auto frame = [&](const graph::Rect &r, bool button, TSettings &edit) { return frameWith(r, button, edit, maps, 1); };
  auto same = [](const TSettings &a, const TSettings &b) { return std::memcmp(&a, &b, sizeof a) == 0; };

  // One press on the mode's right arrow: the mode moves on by one and nothing else changes.
  const graph::Rect &next = l.Rows[graph::rowMode].Next;
  TSettings before = s;
  EXPECT_EQ(frame(next, false, s), -1);
  EXPECT_TRUE(same(s, before));
  EXPECT_EQ(frame(next, true, s), -1);
  TSettings expect = before;
  expect.Mode = 6;
  EXPECT_TRUE(same(s, expect)) << "mode " << s.Mode;
  for (int i = 0; i < 5; ++i) frame(next, true, s);  // held: no repeat
  EXPECT_TRUE(same(s, expect)) << "a held button changed it again: mode " << s.Mode;
  frame(next, false, s);
  frame(next, true, s);
  frame(next, false, s);
  frame(next, true, s);
  EXPECT_EQ(s.Mode, 0) << "past the last mode comes the first";

  // Left arrow of the rate from "default" goes round to the last rate.
  frame(l.Rows[graph::rowFreq].Prev, false, s);
  frame(l.Rows[graph::rowFreq].Prev, true, s);
  EXPECT_EQ(s.Freq, 10);

  // Booleans flip between 0 and 1 only.
  before = s;
  frame(l.Rows[graph::rowFullScreen].Value, false, s);
  frame(l.Rows[graph::rowFullScreen].Value, true, s);
  expect = before;
  expect.FullScreen = 1;
  EXPECT_TRUE(same(s, expect));
  frame(l.Rows[graph::rowKeys].Next, false, s);
  frame(l.Rows[graph::rowKeys].Next, true, s);
  frame(l.Rows[graph::rowCubes].Prev, false, s);
  frame(l.Rows[graph::rowCubes].Prev, true, s);
  EXPECT_EQ(s.Keys3D, 1);
  EXPECT_EQ(s.Cubes, 0);

  // The map set steps through the list and stays inside it.
  frame(l.Rows[graph::rowMap].Next, false, s);
  frame(l.Rows[graph::rowMap].Next, true, s);
  EXPECT_EQ(s.Map, 1);
  {
    // Save the page showing a map without a title, with the pointer on the value.
    const TMousePos pos{int(l.Rows[graph::rowMap].Value.CentreX()), int(l.Rows[graph::rowMap].Value.CentreY())};
    StartDraw();
    ProcessSettings(&pos, 0, &s, modes, 7, freqs, 10, maps, 1);
    Frame f;
    f.Capture();
    EndDraw(&pos);
    f.Save("settings-map.png");
  }
  frame(l.Rows[graph::rowMap].Next, false, s);
  frame(l.Rows[graph::rowMap].Next, true, s);
  EXPECT_EQ(s.Map, 0);
  // An empty map list leaves the index at 0.
  frameWith(l.Rows[graph::rowMap].Next, false, s, nullptr, -1);
  frameWith(l.Rows[graph::rowMap].Next, true, s, nullptr, -1);
  EXPECT_EQ(s.Map, 0);

  // Apply and Back answer on the press only, and change nothing.
  before = s;
  EXPECT_EQ(frame(l.Apply, false, s), -1);
  EXPECT_EQ(frame(l.Apply, true, s), srApply);
  EXPECT_EQ(frame(l.Apply, true, s), -1);
  EXPECT_EQ(frame(l.Back, false, s), -1);
  EXPECT_EQ(frame(l.Back, true, s), srBack);
  EXPECT_TRUE(same(s, before));

  // Values from outside the tables come back inside them.
  TSettings wild{};
  wild.Mode = 99;
  wild.Freq = -3;
  wild.Map = 7;
  wild.Cubes = 5;
  frame(graph::Rect{-100, -100, 1, 1}, false, wild);
  EXPECT_EQ(wild.Mode, 7);
  EXPECT_EQ(wild.Freq, 0);
  EXPECT_EQ(wild.Map, 1);
  EXPECT_EQ(wild.Cubes, 1);
}

TEST_F(GraphTest, CubeEffectFollowsThePass) {
  // Drifting cubes show behind the menu in a pass that started the effect, and
  // not in the next pass if it did not, though no DeInitCubes came between.
  auto menuChanges = [&] {
    const TMousePos pos{-50, -50};
    Frame a, b;
    StartDraw();
    ProcessMenu(&pos);
    a.Capture();
    EndDraw(&pos);
    SDL_Delay(300);  // the cubes move on with time
    StartDraw();
    ProcessMenu(&pos);
    b.Capture();
    EndDraw(&pos);
    int changed = 0;
    for (size_t i = 0; i < a.Rgb.size(); ++i) changed += std::abs(int(a.Rgb[i]) - int(b.Rgb[i])) > 24;
    return changed;
  };
  InitCubes();
  ASSERT_TRUE(InitBundled());
  EXPECT_GT(menuChanges(), 200);
  DeInit();
  ASSERT_TRUE(InitBundled());  // a pass with the effect off
  EXPECT_EQ(menuChanges(), 0);
  DeInit();
  InitCubes();
  ASSERT_TRUE(InitBundled());
  EXPECT_GT(menuChanges(), 200);
}

TEST(GraphLayout, SettingsButtonsNeverLieUnderAMenuItem) {
  // The button that pressed Apply or Back may still be down when the menu shows next.
  const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1920, 1080}, {320, 900}};
  for (const auto &sz : sizes) {
    const graph::MenuLayout m = graph::LayoutMenu(sz[0], sz[1]);
    const graph::SettingsLayout s = graph::LayoutSettings(sz[0], sz[1]);
    for (const graph::Rect &b : {s.Apply, s.Back})
      for (const graph::Rect &i : m.Items) {
        const bool overlap = b.X < i.X + i.W && i.X < b.X + b.W && b.Y < i.Y + i.H && i.Y < b.Y + b.H;
        EXPECT_FALSE(overlap) << sz[0] << "x" << sz[1];
      }
  }
}

// A card still showing when the menu comes up covers none of its items, nor
// the message under them, and stays on the screen, at every display mode.
TEST(GraphLayout, TheCardOverTheMenuCoversNoItem) {
  const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1920, 1080}, {320, 900}};
  const auto overlap = [](const graph::Rect &A, const graph::Rect &B) {
    return A.X < B.X + B.W && B.X < A.X + A.W && A.Y < B.Y + B.H && B.Y < A.Y + A.H;
  };
  for (const auto &sz : sizes) {
    const graph::Rect card = graph::LayoutCard(sz[0], sz[1], true);
    for (const graph::Rect &i : graph::LayoutMenu(sz[0], sz[1]).Items) EXPECT_FALSE(overlap(card, i)) << sz[0] << "x" << sz[1];
    EXPECT_FALSE(overlap(card, graph::LayoutMessage(sz[0], sz[1]))) << sz[0] << "x" << sz[1];
    EXPECT_GE(card.H, 40 * graph::HudScale(sz[0], sz[1]) - 0.5f) << sz[0] << "x" << sz[1] << ": room for a line";
    EXPECT_GE(card.X, 0);
    EXPECT_LE(card.Y + card.H, sz[1]);
  }
}

TEST_F(GraphTest, CubeEffectDrawsBehindAPlayFrame) {
  DeInitCubes();  // safe without InitCubes
  InitCubes();    // before Init, as each pass does
  ASSERT_TRUE(InitBundled());
  Level level = MakeLevel(kShowcaseLevel);
  TMousePos pos{470, 330};
  DrawLevel(level, 0, true);
  Frame f;
  f.Capture();
  const glm::vec2 at = Project(level, 0, PlayerTop(level.Player));
  const Pixel player = f.Mean(at.x, at.y);
  EXPECT_GT(player.g, player.r + 40) << "the effect stays behind the scene " << player;
  EndDraw(&pos);
  f.Save("level-cubes.png");
  DeInit();
  DeInitCubes();
  DeInitCubes();
}

TEST_F(GraphTest, HugeLevelDraws) {
  ASSERT_TRUE(InitBundled());
  Level level;
  level.Width = level.Height = 255;
  for (int r = 0; r < 255; ++r)
    for (int c = 0; c < 255; ++c) {
      const int k = (r * 7 + c * 13) % 10;
      if (std::abs(r - 127) <= 2 && std::abs(c - 127) <= 2) continue;  // room around the player
      if (r == 0 || c == 0 || r == 254 || c == 254 || k == 0) level.Objects.push_back(Cube(okWall, c, r, 0.9));
      else if (k == 1) level.Objects.push_back(Cube(okBox, c, r, 0.9));
      else if (k == 2) level.Objects.push_back(Cube(okWater, c, r, 1.0));
      else if (k == 3) level.Objects.push_back(Cube(okTarget, c, r, 1.0));
    }
  level.Player.Box = {127.15, 127.15, 0, 0.7, 0.7, 0.7};
  DrawLevel(level, 0);
  Frame f;
  f.Capture();
  EndDraw(nullptr);
  f.Save("level-huge.png");
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  const glm::vec2 at = Project(level, 0, PlayerTop(level.Player));
  const Pixel player = f.Mean(at.x, at.y);
  EXPECT_GT(player.g, player.r + 40) << player;
}

TEST_F(GraphTest, PointerIsDrawnAtTheMousePosition) {
  // A single-buffered window keeps the presented frame readable, pointer included;
  // these frames are the screenshots of the three screens.
  ReopenSingleBuffered();
  InitCubes();
  ASSERT_TRUE(InitBundled());

  const graph::MenuLayout m = graph::LayoutMenu(kWidth, kHeight);
  const TMousePos pos{int(m.Items[1].X + m.Items[1].W * 0.7f), int(m.Items[1].CentreY())};
  StartDraw();
  EXPECT_EQ(ProcessMenu(&pos), 1);
  Frame before;
  before.Capture(GL_FRONT);
  EndDraw(&pos);
  Frame shown;
  shown.Capture(GL_FRONT);
  shown.Save("menu.png");
  // Inside the arrow, just below and right of its tip: light, where the item was gold.
  const Pixel in = shown.Mean(pos.x + 4, pos.y + 10, 1);
  EXPECT_GT(in.r + in.g + in.b, 600) << in;
  EXPECT_GT(in.b, 180) << "the pointer's white, not the item's gold " << in;
  // Up and left of the tip the frame is as it was.
  const Pixel out = shown.Mean(pos.x - 8, pos.y - 8, 1), was = before.Mean(pos.x - 8, pos.y - 8, 1);
  EXPECT_LT(std::abs(out.r - was.r) + std::abs(out.g - was.g) + std::abs(out.b - was.b), 30);

  const TDisplayMode modes[8] = {{640, 480, 16},  {640, 480, 32},  {800, 600, 16},   {800, 600, 32},
                                 {1024, 768, 16}, {1024, 768, 32}, {1280, 1024, 16}, {1280, 1024, 32}};
  const int32_t freqs[11] = {0, 60, 70, 75, 85, 100, 120, 140, 150, 170, 200};
  char file[] = "maps/kestrove.lev", title[] = "Kestrove: the first crates";
  const TMapDescr maps[1] = {{file, title}};
  TSettings s{};
  s.Mode = 5;
  s.Cubes = 1;
  s.Keys3D = 1;
  const graph::SettingsLayout l = graph::LayoutSettings(kWidth, kHeight);
  const TMousePos onNext{int(l.Rows[graph::rowMode].Next.CentreX()), int(l.Rows[graph::rowMode].Next.CentreY())};
  StartDraw();
  ProcessSettings(&onNext, 0, &s, modes, 7, freqs, 10, maps, 0);
  EndDraw(&onNext);
  Frame settings;
  settings.Capture(GL_FRONT);
  settings.Save("settings.png");

  Level level = MakeLevel(kShowcaseLevel);
  const TMousePos aside{590, 440};
  DrawLevel(level, 0, true);
  EndDraw(&aside);
  Frame play;
  play.Capture(GL_FRONT);
  play.Save("level.png");

  // Over the scene, the count of crates home: its little crate turns green when
  // every mark is covered.
  const float sc = std::max(0.6f, graph::UiScale(kWidth, kHeight));
  const float iconX = 16 * sc + 26 * sc, iconY = 16 * sc + 22 * sc;
  const Pixel some = play.Mean(iconX, iconY, 1);
  EXPECT_GT(some.r, some.g + 20) << "two of five: a wooden crate " << some;
  for (TGameObject &o : level.Objects)
    if (o.Kind == okBox) o.OnTarget = 1;
  DrawLevel(level, 0, true);
  EndDraw(&aside);
  Frame all;
  all.Capture(GL_FRONT);
  const Pixel done = all.Mean(iconX, iconY, 1);
  EXPECT_GT(done.g, done.r + 20) << "all home: a green crate " << done;
}

}  // namespace

namespace {

// The play screen's panel top right, a confirmation and the level card, over
// the frame EndDraw presents; nothing of them once a frame passes without them.
TEST_F(GraphTest, OverlayDrawsThePlayPanelMessageAndCard) {
  // Single-buffered, as for the pointer: what EndDraw presents stays readable.
  ReopenSingleBuffered();
  ASSERT_TRUE(InitBundled());
  const Level level = MakeLevel(kShowcaseLevel);
  auto draw = [&](const TOverlay *O, Frame &f) {
    DrawLevel(level, 0);
    if (O) DrawOverlay(O);
    EndDraw(nullptr);
    f.Capture(GL_FRONT);
  };
  Frame bare, hud, card;
  draw(nullptr, bare);
  TOverlay O = {};
  O.SetName = "Introduction";
  O.LevelName = "Level 3";
  O.Moves = 142;
  O.Pushes = 31;
  O.Seconds = 75;
  draw(&O, hud);
  O.Card = "Level 3 complete: 142 moves, 31 pushes (best 130)";
  O.CardAlpha = 1;
  O.Message = "Saved";
  O.MessageAlpha = 1;
  draw(&O, card);
  card.Save("overlay-card.png");
  hud.Save("overlay-hud.png");
  auto differs = [](const Frame &A, const Frame &B, int X0, int Y0, int X1, int Y1) {
    int n = 0;
    for (int y = Y0; y < Y1; ++y)
      for (int x = X0; x < X1; ++x) {
        const Pixel a = A.At(x, y), b = B.At(x, y);
        n += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60;
      }
    return n;
  };
  EXPECT_GT(differs(bare, hud, kWidth / 2, 0, kWidth, 70), 200) << "the panel top right";
  EXPECT_GT(differs(hud, card, 0, kHeight / 4, kWidth, kHeight / 2), 500) << "the card";
  EXPECT_GT(differs(hud, card, kWidth / 4, kHeight - 90, kWidth * 3 / 4, kHeight), 100) << "the message";
  Frame after;
  draw(nullptr, after);
  EXPECT_LT(differs(bare, after, kWidth / 2, 0, kWidth, 70), 20) << "an overlay lasts one frame";
}

// A long level title keeps a readable size in the play panel and is cut short
// to stay inside it.
TEST_F(GraphTest, LongTitleStaysReadableInsideThePlayPanel) {
  ReopenSingleBuffered();
  ASSERT_TRUE(InitBundled());
  const Level level = MakeLevel(kShowcaseLevel);
  const std::string title = "Level 12: The long way round the old warehouse by the river at dusk";
  ASSERT_EQ(title.size(), 67u);
  TOverlay O = {};
  O.LevelName = title.c_str();
  DrawLevel(level, 0);
  DrawOverlay(&O);
  EndDraw(nullptr);
  Frame f;
  f.Capture(GL_FRONT);
  f.Save("overlay-long-title.png");
  // The panel as the play screen lays it out: top right, the title in gold on
  // its upper line, inside a margin.
  const float sc = std::max(0.6f, graph::UiScale(kWidth, kHeight));
  const float right = kWidth - 16 * sc, top = 16 * sc, left = right - 330 * sc, titleY = top + 20 * sc;
  int x0 = kWidth, x1 = -1, y0 = kHeight, y1 = -1;
  for (int y = int(top); y < int(top + 32 * sc); ++y)
    for (int x = int(left); x < int(right); ++x) {
      const Pixel p = f.At(x, y);
      if (p.r > 150 && p.r > p.b + 60) {
        x0 = std::min(x0, x); x1 = std::max(x1, x); y0 = std::min(y0, y); y1 = std::max(y1, y);
      }
    }
  ASSERT_GE(x1, 0) << "no title in the panel";
  const int asked = int(17 * sc);
  EXPECT_GE(y1 - y0 + 1, graph::ReadablePixels(asked) * 7 / 10) << "the title's letters are too small";
  EXPECT_LE(y0, titleY) << "the title's line";
  EXPECT_GE(y1, titleY);
  EXPECT_LE(x1, right - 16 * sc) << "the title runs past the panel's margin";
  EXPECT_GT(x1, right - 60 * sc) << "the cut title fills its line";
}

// Held, the overview pulls the camera off the player until the level shows
// whole; let go, it eases back behind the player.
TEST_F(GraphTest, OverviewPullsBackAndEasesBack) {
  ASSERT_TRUE(InitBundled());
  const Level level = MakeLevel(kShowcaseLevel);
  const glm::vec2 at = Project(level, 0, PlayerTop(level.Player));
  auto frames = [&](float Overview, int Count, Frame &f) {
    TOverlay O = {};
    O.Overview = Overview;
    for (int i = 0; i < Count; ++i) {
      DrawLevel(level, 0);
      DrawOverlay(&O);
      if (i == Count - 1) f.Capture();
      EndDraw(nullptr);
    }
  };
  Frame behind, whole, back;
  frames(0, 1, behind);
  frames(1, 90, whole);
  frames(0, 120, back);
  whole.Save("overview.png");
  const Pixel p0 = behind.Mean(at.x, at.y), p1 = whole.Mean(at.x, at.y), p2 = back.Mean(at.x, at.y);
  EXPECT_GT(p0.g, p0.r + 40) << p0;
  EXPECT_FALSE(p1.g > p1.r + 40) << "the player is small and elsewhere from afar " << p1;
  EXPECT_GT(p2.g, p2.r + 40) << p2;
}

// Cells of a generated level that the overview's probes look for, each with
// no other object beside it.
struct Landmarks {
  int WallCol, WallRow, BoxCol, BoxRow, MarkCol, MarkRow;
};

// Width x Height cells: walls all round, walls, crates and marks strewn inside,
// and the player, a wall, a crate and a mark far apart with room round them.
Level MakeStrewnLevel(int Width, int Height, Landmarks &At) {
  Level l;
  l.Width = Width;
  l.Height = Height;
  const int mid = Height / 2;
  const int playerCol = 2;
  At = {Width / 2, mid, Width - 3, mid, Width / 2 + 2, std::max(1, mid - 2)};
  const int kept[][2] = {{playerCol, mid}, {At.WallCol, At.WallRow}, {At.BoxCol, At.BoxRow}, {At.MarkCol, At.MarkRow}};
  auto nearKept = [&](int c, int r) {
    for (const auto &k : kept)
      if (std::abs(c - k[0]) <= 1 && std::abs(r - k[1]) <= 1) return true;
    return false;
  };
  for (int r = 0; r < Height; ++r)
    for (int c = 0; c < Width; ++c) {
      const bool border = r == 0 || c == 0 || r == Height - 1 || c == Width - 1;
      const int k = (r * 7 + c * 13) % 17;
      if (border) l.Objects.push_back(Cube(okWall, c, r, 0.9));
      else if (nearKept(c, r)) continue;
      else if (k == 0) l.Objects.push_back(Cube(okWall, c, r, 0.9));
      else if (k == 1) l.Objects.push_back(Cube(okBox, c, r, 0.9));
      else if (k == 2) l.Objects.push_back(Cube(okTarget, c, r, 1.0));
    }
  l.Objects.push_back(Cube(okWall, At.WallCol, At.WallRow, 0.9));
  l.Objects.push_back(Cube(okBox, At.BoxCol, At.BoxRow, 0.9));
  l.Objects.push_back(Cube(okTarget, At.MarkCol, At.MarkRow, 1.0));
  l.Player.Box = {playerCol + 0.15, mid + 0.15, 0, 0.7, 0.7, 0.7};
  l.Player.PrevPos = {l.Player.Box.x, l.Player.Box.y, 0};
  return l;
}

// Held long enough, the overview shows every level whole and clear, however
// long or large: the player, a wall, a crate and a mark show as themselves,
// and so do the walls at the level's far corners.
TEST_F(GraphTest, OverviewShowsEveryLevelSizeWhole) {
  ReopenSingleBuffered();  // the marker is drawn over the frame by EndDraw
  ASSERT_TRUE(InitBundled());
  // Width, height and the view angle: across a long level, along it, and
  // halfway through a turn.
  const int sizes[][3] = {{12, 8, 0}, {40, 7, 0}, {40, 7, 90}, {30, 30, 135}, {100, 100, 0}};
  for (const auto &size : sizes) {
    const float angle = float(size[2]);
    const std::string name = std::to_string(size[0]) + "x" + std::to_string(size[1]) + "-" + std::to_string(size[2]);
    SCOPED_TRACE(name);
    Landmarks at{};
    const Level level = MakeStrewnLevel(size[0], size[1], at);
    TOverlay O = {};
    O.Overview = 1;
    Frame f;
    // Long past the easing for the first level; the overview stays out for the next.
    const int frames = &size == &sizes[0] ? 60 : 2;
    for (int i = 0; i < frames; ++i) {
      DrawLevel(level, angle);
      DrawOverlay(&O);
      EndDraw(nullptr);
    }
    f.Capture(GL_FRONT);
    const graph::Camera cam = graph::OverviewCamera(graph::FollowCamera(level.Player.Box, angle, kWidth, kHeight),
                                                    level.Width, level.Height, 1, kWidth, kHeight);
    auto pixelOf = [&](glm::vec3 World) {
      float x = -1, y = -1;
      const bool inFront = graph::ProjectToPixel(cam, World, kWidth, kHeight, x, y);
      EXPECT_TRUE(inFront && x >= 0 && y >= 0 && x < kWidth && y < kHeight) << "out of view: " << x << "," << y;
      return glm::vec2(x, y);
    };
    auto probe = [&](glm::vec3 World) {
      const glm::vec2 p = pixelOf(World);
      return f.Mean(p.x, p.y, 1);
    };
    const float cube = 0.95f;
    const Pixel wall = probe(TopOf(at.WallCol, at.WallRow, cube));
    const Pixel nearCorner = probe(TopOf(0, 0, cube));
    const Pixel farCorner = probe(TopOf(level.Width - 1, level.Height - 1, cube));
    const Pixel box = probe(TopOf(at.BoxCol, at.BoxRow, cube));
    const Pixel mark = probe(TopOf(at.MarkCol, at.MarkRow, 0.012f));
    // The player, smaller than a cell, may be two pixels across: its teal is
    // looked for near where it stands.
    const glm::vec2 playerAt = pixelOf(PlayerTop(level.Player));
    const Pixel player = [&] {
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
          const Pixel p = f.At(std::clamp(int(playerAt.x) + dx, 0, kWidth - 1),
                               std::clamp(int(playerAt.y) + dy, 0, kHeight - 1));
          if (p.g > p.r + 40 && p.b > p.r + 40) return p;
        }
      return f.Mean(playerAt.x, playerAt.y, 1);
    }();
    bool ok = true;
    auto expect = [&](bool Holds, const char *What, const Pixel &P) {
      EXPECT_TRUE(Holds) << What << " " << P;
      ok = ok && Holds;
    };
    // Round the player, a ring in its colour, lighter than the player itself.
    int ring = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const Pixel p = f.At(x, y);
        const float d = glm::length(glm::vec2(x, y) - playerAt);
        ring += d > 6 && d < 80 && p.r > 80 && p.r < 190 && p.g > 215 && p.b > 200;
      }
    expect(ring > 40, "a ring round the player", Pixel{ring, 0, 0});
    for (const Pixel &w : {wall, nearCorner, farCorner})
      expect(w.r > w.g + 25 && w.r > w.b + 25, "brick-red wall", w);
    expect(box.r > box.b + 40 && box.r > box.g && box.g > box.b, "wooden crate", box);
    expect(mark.r > mark.b + 60, "golden mark", mark);
    expect(player.g > player.r + 40 && player.b > player.r + 40, "teal player", player);
    if (!ok) f.Save("overview-" + name + ".png");
    if (size[0] == 40 && size[2] == 0) f.Save("overview-40x7.png");
  }
}
// A hint: the box outlined and a green arrow on its top pointing where it
// goes; a dead box: a red cap on its top.
TEST_F(GraphTest, HintArrowAndDeadBoxShowOnTheLevel) {
  ASSERT_TRUE(InitBundled());
  Level level = MakeLevel(kProbeLevel);
  std::vector<uint8_t> dead(size_t(level.Width) * level.Height, 0);
  dead[size_t(4) * level.Width + 6] = 1;  // the box at (6, 4)
  const TCellMarks cellMarks{-1, -1, -1, -1, level.Width, level.Height, nullptr, 8, 6, 1, 0, dead.data()};  // the box at (8, 6) goes right
  StartDraw();
  MoveToPlayer(level.Player.Direction, &level.Player, 0);
  DrawFloor(level.Width, level.Height);
  DrawObjects(level.Objects.data(), int32_t(level.Objects.size()) - 1);
  DrawCellMarks(&cellMarks);
  DrawPlayer(&level.Player);
  Frame f;
  f.Capture();
  EndDraw(nullptr);
  f.Save("level-hint-dead.png");
  const glm::vec2 arrowAt = Project(level, 0, glm::vec3(8.3f, 6.5f, 0.94f));  // the shaft
  const Pixel arrow = f.Mean(arrowAt.x, arrowAt.y, 0);
  EXPECT_GT(arrow.g, arrow.r + 40) << "a green arrow " << arrow;
  EXPECT_GT(arrow.g, arrow.b + 40) << "a green arrow " << arrow;
  const glm::vec2 capAt = Project(level, 0, TopOf(6, 4, 0.95f));
  const Pixel cap = f.Mean(capAt.x, capAt.y, 1);
  EXPECT_GT(cap.r, cap.g + 60) << "a red cap " << cap;

  const TCellMarks sideways{-1, -1, -1, -1, 0, 0, nullptr, 8, 6, 1, 1, nullptr};
  StartDraw();
  MoveToPlayer(level.Player.Direction, &level.Player, 0);
  DrawFloor(level.Width, level.Height);
  DrawObjects(level.Objects.data(), int32_t(level.Objects.size()) - 1);
  DrawCellMarks(&sideways);
  DrawPlayer(&level.Player);
  Frame plain;
  plain.Capture();
  EndDraw(nullptr);
  const Pixel none = plain.Mean(arrowAt.x, arrowAt.y, 0);
  EXPECT_LT(none.g, none.r + 40) << "a step of more than one cell shows no arrow " << none;
}

// The chooser's rows answer where they are drawn; the page buttons only where
// there is another page.
TEST_F(GraphTest, ChooserRowsAnswerWhereTheyAreDrawn) {
  ASSERT_TRUE(InitBundled());
  std::vector<std::string> titles;
  for (int i = 0; i < 14; ++i) titles.push_back("Level " + std::to_string(i + 1));
  std::vector<TChooserItem> items;
  for (int i = 0; i < 14; ++i)
    items.push_back({titles[i].c_str(), i % 3 ? -1 : 40 + i, i % 3 ? -1 : 9, i % 3 ? -1 : 65, uint8_t(i % 3 == 0), 0, {}});
  const graph::ChooserLayout l = graph::LayoutChooser(kWidth, kHeight);
  auto at = [&](const graph::Rect &R, int32_t First) {
    const TMousePos pos{int(R.CentreX()), int(R.CentreY())};
    StartDraw();
    const int32_t hit = ProcessChooser(&pos, "Introduction", items.data(), int32_t(items.size()) - 1, First);
    EndDraw(&pos);
    return hit;
  };
  for (int i = 0; i < graph::ChooserRows; ++i) EXPECT_EQ(at(l.Rows[i], 0), i);
  EXPECT_EQ(at(l.Rows[0], 10), 10);
  EXPECT_EQ(at(l.Rows[4], 10), -1) << "past the last level";
  EXPECT_EQ(at(l.Back, 0), chBack);
  EXPECT_EQ(at(l.Next, 0), chNextPage);
  EXPECT_EQ(at(l.Previous, 0), -1) << "no page before the first";
  EXPECT_EQ(at(l.Previous, 10), chPreviousPage);
  const TMousePos pos{int(l.Rows[0].CentreX()), int(l.Rows[0].CentreY())};
  StartDraw();
  ProcessChooser(&pos, "Introduction", items.data(), int32_t(items.size()) - 1, 0);
  Frame f;
  f.Capture();
  EndDraw(&pos);
  f.Save("chooser.png");
}

}  // namespace

// The page of a finished set shows in place of the menu; a card still fading
// over the menu keeps off its items.
TEST_F(GraphTest, FinishedSetPageAndTheCardBesideTheMenu) {
  ASSERT_TRUE(InitBundled());
  const TMousePos away{2, 2};
  Frame menu, page, withCard;
  StartDraw();
  ProcessMenu(&away);
  menu.Capture();
  EndDraw(&away);
  const TSetFinished F{"Introduction", 12, 1480, 312, 2710};
  StartDraw();
  DrawSetFinished(&F);
  page.Capture();
  EndDraw(&away);
  page.Save("set-finished.png");
  int changed = 0;
  for (int y = kHeight / 3; y < kHeight * 2 / 3; ++y)
    for (int x = kWidth / 4; x < kWidth * 3 / 4; ++x) {
      const Pixel a = menu.At(x, y), b = page.At(x, y);
      changed += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60;
    }
  EXPECT_GT(changed, 500) << "the page is not the menu";

  // Single-buffered, as for the overlay: what EndDraw presents stays readable.
  ReopenSingleBuffered();
  ASSERT_TRUE(InitBundled());
  TOverlay O = {};
  O.Card = "Level 12 complete: 140 moves, 31 pushes";
  O.CardAlpha = 1;
  StartDraw();
  ProcessMenu(&away);
  DrawOverlay(&O);
  EndDraw(&away);
  withCard.Capture(GL_FRONT);
  withCard.Save("card-over-menu.png");
  StartDraw();
  ProcessMenu(&away);
  EndDraw(&away);
  Frame plain;
  plain.Capture(GL_FRONT);
  const graph::MenuLayout m = graph::LayoutMenu(kWidth, kHeight);
  int onItems = 0, beside = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const Pixel a = plain.At(x, y), b = withCard.At(x, y);
      if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) <= 60) continue;
      bool item = false;
      for (const graph::Rect &r : m.Items) item = item || r.Contains(float(x), float(y));
      (item ? onItems : beside) += 1;
    }
  EXPECT_GT(beside, 500) << "the card shows";
  EXPECT_EQ(onItems, 0) << "the card covers a menu item";
}

namespace {

// The keys' highlight looks as the pointer's does on the same item; the page
// still answers for the pointer; and the highlight lasts one page.
TEST_F(GraphTest, TheKeysHighlightLooksAsThePointersDoes) {
  ASSERT_TRUE(InitBundled());
  const graph::MenuLayout m = graph::LayoutMenu(kWidth, kHeight);
  const TMousePos away{-50, -50};
  const auto menu = [&](const TMousePos &Pos, int32_t Highlight, Frame &F) {
    StartDraw();
    SetHighlight(Highlight);
    const int32_t item = ProcessMenu(&Pos);
    F.Capture();
    EndDraw(nullptr);
    return item;
  };
  // Left of the item's text: the button's own colour.
  const auto probe = [&](const Frame &F, int Item) { return F.Mean(m.Items[Item].X + 12, m.Items[Item].CentreY()); };
  const auto near = [](Pixel A, Pixel B) { return std::abs(A.r - B.r) + std::abs(A.g - B.g) + std::abs(A.b - B.b) < 24; };
  Frame idle, pointed, keyed, after;
  const graph::Rect &second = m.Items[miContinue];
  const TMousePos onSecond{int(second.CentreX()), int(second.CentreY())};
  EXPECT_EQ(menu(away, hlPointer, idle), -1);
  EXPECT_EQ(menu(onSecond, hlPointer, pointed), miContinue);
  EXPECT_EQ(menu(onSecond, miExit, keyed), miContinue) << "the answer is the pointer's";
  EXPECT_FALSE(near(probe(keyed, miExit), probe(idle, miExit))) << "Exit shows highlighted";
  EXPECT_TRUE(near(probe(keyed, miExit), probe(pointed, miContinue))) << probe(keyed, miExit);
  EXPECT_TRUE(near(probe(keyed, miContinue), probe(idle, miContinue))) << "one highlight, the keys'";
  StartDraw();
  ProcessMenu(&away);
  after.Capture();
  EndDraw(nullptr);
  EXPECT_TRUE(near(probe(after, miExit), probe(idle, miExit))) << "used once";

  // The settings page's Back, and a row of the chooser.
  const graph::SettingsLayout l = graph::LayoutSettings(kWidth, kHeight);
  TSettings edit = {};
  const TDisplayMode modes[] = {{640, 480, 32}};
  const int32_t freqs[] = {0};
  const auto settings = [&](const TMousePos &Pos, int32_t Highlight) {
    Frame f;
    StartDraw();
    SetHighlight(Highlight);
    ProcessSettings(&Pos, 0, &edit, modes, 0, freqs, 0, nullptr, -1);
    f.Capture();
    EndDraw(nullptr);
    return f.Mean(l.Back.X + 12, l.Back.CentreY());
  };
  const TMousePos onBack{int(l.Back.CentreX()), int(l.Back.CentreY())};
  EXPECT_TRUE(near(settings(away, srBack), settings(onBack, hlPointer)));
  EXPECT_FALSE(near(settings(away, srBack), settings(away, hlPointer)));

  std::vector<TChooserItem> items(25, TChooserItem{"A level", -1, -1, -1, 0, 0, {}});
  const graph::ChooserLayout c = graph::LayoutChooser(kWidth, kHeight);
  const auto chooser = [&](const TMousePos &Pos, int32_t Highlight) {
    Frame f;
    StartDraw();
    SetHighlight(Highlight);
    EXPECT_EQ(ProcessChooser(&Pos, "Set", items.data(), 24, 10), -1);
    f.Capture();
    EndDraw(nullptr);
    return f.Mean(c.Rows[3].X + 6, c.Rows[3].CentreY());
  };
  const TMousePos besideRow{int(c.Panel.X) - 20, int(c.Rows[3].CentreY())};
  EXPECT_FALSE(near(chooser(besideRow, 13), chooser(besideRow, hlPointer))) << "level 13 is the page's fourth row";
}

TEST(GraphLayout, TheChooserSaysWhichPageOfHowMany) {
  EXPECT_EQ(graph::ChooserPageText(0, 120), "page 1 of 12");
  EXPECT_EQ(graph::ChooserPageText(20, 120), "page 3 of 12");
  EXPECT_EQ(graph::ChooserPageText(110, 120), "page 12 of 12");
  EXPECT_EQ(graph::ChooserPageText(10, 11), "page 2 of 2");
  EXPECT_EQ(graph::ChooserPageText(0, 0), "page 1 of 1");
}

}  // namespace
