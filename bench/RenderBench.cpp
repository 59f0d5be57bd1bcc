// Frames per second of the renderer on each quality tier: an empty frame, the
// menu, the settings page, a shipped level, generated 20 x 15 and 30 x 30 levels
// and a 255 x 255 one, and the overview of levels from 12 x 8 to 255 x 255,
// drawn at 1024 x 768 as the program draws them.
//
// Run under an X server, e.g. with software GL:
//   LIBGL_ALWAYS_SOFTWARE=1 tests/with-xvfb build/bench/render_bench
// Options: --runs N (5), --frames N per run (60), --tiers fast,full, --only NAME.
// Each figure is the median over the runs. The tier is chosen as a player
// chooses it, with the Quality key of a config.ini in the working directory;
// the program works in a directory of its own under /tmp.
#include <SDL.h>
#include <glad/gl.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "NativeWindow.h"
#include "game.h"
#include "graph.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

struct Options {
  int Runs = 5, Frames = 60;
  std::vector<std::string> Tiers{"fast", "full"};
  std::string Only;
};

std::vector<std::string> Split(const std::string &Text) {
  std::vector<std::string> parts;
  std::stringstream in(Text);
  for (std::string part; std::getline(in, part, ',');)
    if (!part.empty()) parts.push_back(part);
  return parts;
}

bool ParseOptions(int Argc, char **Argv, Options &O) {
  for (int i = 1; i < Argc; ++i) {
    const std::string arg = Argv[i];
    const bool hasValue = i + 1 < Argc;
    if (arg == "--runs" && hasValue) O.Runs = std::max(1, std::atoi(Argv[++i]));
    else if (arg == "--frames" && hasValue) O.Frames = std::max(1, std::atoi(Argv[++i]));
    else if (arg == "--tiers" && hasValue) O.Tiers = Split(Argv[++i]);
    else if (arg == "--only" && hasValue) O.Only = Argv[++i];
    else {
      std::fprintf(stderr, "usage: render_bench [--runs N] [--frames N] [--tiers fast,full] [--only NAME]\n");
      return false;
    }
  }
  return true;
}

// A level file of one level, every cell given by Cell(column, row from the top).
std::string LevelFile(int Width, int Height, const std::function<char(int, int)> &Cell) {
  std::string s;
  s += char(1);
  s += '\n';
  s += char(Width);
  s += char(Height);
  s += '\n';
  for (int n = 0; n < Height; ++n) {
    for (int c = 0; c < Width; ++c) s += Cell(c, n);
    s += '\n';
  }
  return s;
}

// Walled all round, four cells in ten taken by a wall, a box, water or a mark,
// and a clear square round the player in the middle.
std::string DenseLevel(int Width, int Height) {
  return LevelFile(Width, Height, [=](int C, int N) {
    if (N == 0 || C == 0 || N == Height - 1 || C == Width - 1) return '1';
    if (std::abs(N - Height / 2) <= 1 && std::abs(C - Width / 2) <= 1)
      return N == Height / 2 && C == Width / 2 ? '9' : ' ';
    switch ((N * 7 + C * 13) % 10) {
      case 0: return '1';
      case 1: return '2';
      case 2: return '5';
      case 3: return '3';
      default: return ' ';
    }
  });
}

struct Scene {
  std::string Name;
  std::string LevelPath;  // empty: no play frame
  int LevelIndex = 0;
  enum Kind { Empty, Menu, Settings, Play } What = Play;
  bool Overview = false;  // the whole level in view, as while its key is held
};

// One frame of what the scene shows, in the order the program calls the renderer.
void DrawFrame(const Scene &S, int Frame) {
  const TMousePos mouse{kWidth / 2 + (Frame % 40), kHeight / 2};
  StartDraw();
  switch (S.What) {
    case Scene::Empty: break;
    case Scene::Menu: ProcessMenu(&mouse); break;
    case Scene::Settings: {
      static const TDisplayMode modes[] = {{640, 480, 32}, {1024, 768, 32}};
      static const int32_t freqs[] = {0, 60};
      static char file[] = "classic.lvl", title[] = "Classic";
      static const TMapDescr maps[] = {{file, title}};
      TSettings edit{};
      edit.Mode = 1;
      edit.Cubes = 1;
      ProcessSettings(&mouse, 0, &edit, modes, 1, freqs, 1, maps, 0);
      break;
    }
    case Scene::Play: {
      const TPlayer player = GameGetPlayer();
      MoveToPlayer(player.Direction, &player, float(Frame % 360));
      const TFieldSize size = GameGetFieldSize();
      DrawFloor(size.Width, size.Height);
      const TObjArray objects = GameGetObjects();
      DrawObjects(objects.Items, objects.Count - 1);
      DrawPlayer(&player);
      ProcessCubes();
      TOverlay overlay{};
      overlay.Overview = S.Overview ? 1.0f : 0.0f;
      DrawOverlay(&overlay);
      break;
    }
  }
  EndDraw(&mouse);
}

// Processor time of every thread of the process (the rasterizer's included), in seconds.
double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Timing {
  double Fps;       // frames per second of wall time
  double CpuMs;     // processor milliseconds a frame, all threads: less swayed by other load
};

Timing TimeFrames(const Scene &S, int Frames) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const double cpu = CpuSeconds();
  for (int f = 0; f < Frames; ++f) DrawFrame(S, f);
  // The renderer's GL entry points are its own; the bench fetches its one call.
  if (!glad_glFinish) gladLoadGL(reinterpret_cast<GLADloadfunc>(SDL_GL_GetProcAddress));
  glFinish();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return {Frames / seconds, (CpuSeconds() - cpu) * 1000 / Frames};
}

double Median(std::vector<double> V) {
  std::sort(V.begin(), V.end());
  const size_t n = V.size();
  return n % 2 ? V[n / 2] : (V[n / 2 - 1] + V[n / 2]) / 2;
}

// A working directory whose config.ini names the tier; removed when done.
struct TierDirectory {
  std::filesystem::path Path;
  explicit TierDirectory(const std::string &Tier) {
    Path = std::filesystem::temp_directory_path() / ("kestrove-render-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(Path);
    std::ofstream(Path / "config.ini") << "Quality=" << Tier << "\n";
  }
  ~TierDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
};

std::string Texture(const char *Name) { return std::string(KESTROVE_DATA_DIR) + "/textures/" + Name; }

bool InitRenderer(TVeltraneEngine &Engine) {
  return Init(&Engine, 32, Texture("floor.png").c_str(), Texture("box.png").c_str(), Texture("wall.png").c_str(),
              Texture("dest.png").c_str(), Texture("water.png").c_str(), Texture("menu.png").c_str(),
              Texture("menuback.png").c_str());
}

}  // namespace

int main(int Argc, char **Argv) {
  Options options;
  if (!ParseOptions(Argc, Argv, options)) return 2;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "render_bench: no display: %s\n", SDL_GetError());
    return 1;
  }
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_Window *window = SDL_CreateWindow("render bench", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
  if (!window) {
    std::fprintf(stderr, "render_bench: no window: %s\n", SDL_GetError());
    return 1;
  }
  TVeltraneEngine engine;
  engine.Handle = WindowHandle(window);

  // Generated levels go to the same directory as the tier's config.ini.
  const std::string work = (std::filesystem::temp_directory_path() / ("kestrove-render-levels-" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(work);
  const std::string dense20 = work + "/dense-20x15.lvl", dense30 = work + "/dense-30x30.lvl",
                    dense100 = work + "/dense-100x100.lvl", huge = work + "/dense-255x255.lvl";
  std::ofstream(dense20, std::ios::binary) << DenseLevel(20, 15);
  std::ofstream(dense30, std::ios::binary) << DenseLevel(30, 30);
  std::ofstream(dense100, std::ios::binary) << DenseLevel(100, 100);
  std::ofstream(huge, std::ios::binary) << DenseLevel(255, 255);
  const std::string levels = KESTROVE_LEVELS_DIR;

  const std::vector<Scene> scenes = {
      {"empty frame", "", 0, Scene::Empty},
      {"menu", "", 0, Scene::Menu},
      {"settings page", "", 0, Scene::Settings},
      {"classic 10 (12x9)", levels + "/classic.lvl", 10, Scene::Play},
      {"water 11 (12x8)", levels + "/water.lvl", 10, Scene::Play},
      {"dense 20x15", dense20, 0, Scene::Play},
      {"dense 30x30", dense30, 0, Scene::Play},
      {"dense 255x255", huge, 0, Scene::Play},
      {"overview 12x8", levels + "/water.lvl", 10, Scene::Play, true},
      {"overview 30x30", dense30, 0, Scene::Play, true},
      {"overview 100x100", dense100, 0, Scene::Play, true},
      {"overview 255x255", huge, 0, Scene::Play, true},
  };

  GameInit();
  InitCubes();
  std::printf("# medians of %d runs of %d frames at %dx%d; cpu ms: processor time a frame, all threads\n",
              options.Runs, options.Frames, kWidth, kHeight);
  std::printf("%-20s %-6s %8s %9s   %s\n", "scene", "tier", "fps", "cpu ms", "objects");
  int status = 0;
  for (const std::string &tier : options.Tiers) {
    const std::string home = std::filesystem::current_path().string();
    const TierDirectory dir(tier);
    std::filesystem::current_path(dir.Path);
    InitCubes();
    if (!InitRenderer(engine)) {
      std::fprintf(stderr, "render_bench: the renderer cannot draw on tier %s\n", tier.c_str());
      status = 1;
      std::filesystem::current_path(home);
      continue;
    }
    for (const Scene &s : scenes) {
      if (!options.Only.empty() && s.Name.find(options.Only) == std::string::npos) continue;
      if (s.What == Scene::Play) {
        int32_t index = s.LevelIndex;
        if (!GameLoadMap(s.LevelPath.c_str(), &index)) {
          std::fprintf(stderr, "render_bench: cannot load %s\n", s.LevelPath.c_str());
          status = 1;
          continue;
        }
      }
      // Textures, text and buffers made once; the overview eased all the way
      // out (some 50 frames), but for a smoke run of a frame or two.
      const int warmUp = s.Overview ? std::min(60, 5 * options.Frames) : 5;
      for (int f = 0; f < warmUp; ++f) DrawFrame(s, f);
      std::vector<double> fps, cpu;
      for (int r = 0; r < options.Runs; ++r) {
        const Timing t = TimeFrames(s, options.Frames);
        fps.push_back(t.Fps);
        cpu.push_back(t.CpuMs);
      }
      std::printf("%-20s %-6s %8.1f %9.2f   %d\n", s.Name.c_str(), tier.c_str(), Median(fps), Median(cpu),
                  s.What == Scene::Play ? GameGetObjects().Count : 0);
      std::fflush(stdout);
    }
    DeInit();
    std::filesystem::current_path(home);
  }
  DeInitCubes();
  GameDeInit();
  std::filesystem::remove_all(work);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return status;
}
