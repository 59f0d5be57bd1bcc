// Graph.cpp -- the entry points graph.h lists. Init makes a GL 3.3 core context on the
// engine's window and everything drawn with it; any failure undoes all of it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "EditorPanel.h"
#include "Fallback.h"
#include "Files.h"
#include "ImageFile.h"
#include "Renderer.h"
#include "State.h"
#include "Surface.h"
#include "graph.h"

namespace graph {

GraphState State;

bool ContextLive() { return IsCurrentGLContext(State.Context); }

namespace {

std::unique_ptr<Renderer> &R = State.R;

// The named image, or the painted one when the name is empty, the file missing
// or not an image.
Image LoadImageOr(const char *Name, TexKind Kind, int MaxSize) {
  if (Name && Name[0]) {
    if (std::optional<Image> img = ReadImageFile(ResolveFileName(Name), MaxSize)) return std::move(*img);
  }
  return PaintTexture(Kind, 256);
}

// Frees everything Init made. While the context lives, its GL objects go and
// then the context; once the engine's Close took the context, its names died
// with it and only the renderer's own memory is freed. The engine's field is
// cleared either way, so nobody releases the context a second time.
void ReleaseRenderer() {
  if (!R) return;
  const bool live = ContextLive();
  if (live) {
    glBindVertexArray(0);
    glUseProgram(0);
  }
  const HWND window = R->Window;
  R->Text.Close();
  R.reset();  // every GL object goes here, deleted only while the context lives
  if (live) DeleteGLContext(window, State.Context);
  if (State.Engine->GLContext == reinterpret_cast<HGLRC>(State.Context)) State.Engine->GLContext = nullptr;
  State.Context = nullptr;
  State.Engine = nullptr;
}

// Whether a frame may draw: Init made a context and the engine's Close has
// not taken it. Close runs before the last frame of a pass, so from then on
// every entry point leaves GL and the window alone.
bool Drawable() { return R && ContextLive(); }

// Binds the multisampled frame of the drawable's size, making it when the size
// changed; false (and the window's own framebuffer bound) when there is none.
bool BindMultisampled() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!State.Multisample || R->MsaaBroken) return false;
  if (!R->Msaa || R->MsaaWidth != R->Width || R->MsaaHeight != R->Height) {
    GLint most = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &most);
    const GLsizei samples = std::min<GLint>(4, most);
    if (samples < 2) { R->MsaaBroken = true; return false; }
    GLuint ids[3] = {};
    glGenFramebuffers(1, &ids[0]);
    glGenRenderbuffers(2, &ids[1]);
    R->Msaa = Framebuffer(ids[0]);
    R->MsaaColor = Renderbuffer(ids[1]);
    R->MsaaDepth = Renderbuffer(ids[2]);
    glBindRenderbuffer(GL_RENDERBUFFER, ids[1]);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, R->Width, R->Height);
    glBindRenderbuffer(GL_RENDERBUFFER, ids[2]);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, R->Width, R->Height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, ids[0]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, ids[1]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, ids[2]);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (!complete || glGetError() != GL_NO_ERROR) {
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      R->Msaa.Reset();
      R->MsaaColor.Reset();
      R->MsaaDepth.Reset();
      R->MsaaBroken = true;
      return false;
    }
    R->MsaaWidth = R->Width;
    R->MsaaHeight = R->Height;
  }
  glBindFramebuffer(GL_FRAMEBUFFER, R->Msaa.Get());
  return true;
}

}  // namespace

// Fast tier: the scene is drawn at three quarters of the width and height,
// then scaled up; text and the pointer stay sharp.
constexpr float kReducedScale = 0.75f;

void BeginReducedFrame(Renderer &R) {
  if (R.Quality != Tier::Fast || R.ReducedBroken || R.ReducedBound) return;
  GLint parent = 0, samples = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &parent);
  glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
  if (samples > 0) return;  // a multisampled frame cannot take a scaled copy
  const int w = std::max(1, int(R.Width * kReducedScale)), h = std::max(1, int(R.Height * kReducedScale));
  if (!R.Reduced || R.ReducedWidth != w || R.ReducedHeight != h) {
    GLuint ids[3] = {};
    glGenFramebuffers(1, &ids[0]);
    glGenRenderbuffers(2, &ids[1]);
    R.Reduced = Framebuffer(ids[0]);
    R.ReducedColor = Renderbuffer(ids[1]);
    R.ReducedDepth = Renderbuffer(ids[2]);
    glBindRenderbuffer(GL_RENDERBUFFER, ids[1]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glBindRenderbuffer(GL_RENDERBUFFER, ids[2]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, ids[0]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, ids[1]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, ids[2]);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(parent));
    if (!complete || glGetError() != GL_NO_ERROR) {
      R.Reduced.Reset();
      R.ReducedColor.Reset();
      R.ReducedDepth.Reset();
      R.ReducedBroken = true;  // draw at full size from now on
      return;
    }
    R.ReducedWidth = w;
    R.ReducedHeight = h;
  }
  R.ReducedParent = GLuint(parent);
  glBindFramebuffer(GL_FRAMEBUFFER, R.Reduced.Get());
  glViewport(0, 0, w, h);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  R.ReducedBound = true;
}

void EndReducedFrame(Renderer &R) {
  if (!R.ReducedBound) return;
  R.ReducedBound = false;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, R.Reduced.Get());
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, R.ReducedParent);
  glBlitFramebuffer(0, 0, R.ReducedWidth, R.ReducedHeight, 0, 0, R.Width, R.Height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  glBindFramebuffer(GL_FRAMEBUFFER, R.ReducedParent);
  glViewport(0, 0, R.Width, R.Height);
}

namespace {

// Resolves the multisampled frame into the window's back buffer.
void ResolveMultisampled() {
  GLint bound = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
  if (!R->Msaa || GLuint(bound) != R->Msaa.Get()) return;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, R->Msaa.Get());
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, R->MsaaWidth, R->MsaaHeight, 0, 0, R->MsaaWidth, R->MsaaHeight, GL_COLOR_BUFFER_BIT,
                    GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// The pointer in drawable pixels. The position counts from the window's outer
// corner, frame included; full screen there is no frame.
void PointerToDrawable(const TMousePos *Pos, float &X, float &Y) {
  X = Y = -1e6f;
  if (!Pos || !R) return;
  int left = 0, top = 0, ww = 0, wh = 0;
  ClientArea(R->Window, left, top, ww, wh);
  const float sx = ww > 0 ? float(R->Width) / ww : 1.0f, sy = wh > 0 ? float(R->Height) / wh : 1.0f;
  X = float(Pos->x - left) * sx;
  Y = float(Pos->y - top) * sy;
}

// The keys' highlight for this frame's page; the next page has none unless given again.
int32_t TakeHighlight() { return std::exchange(State.Highlight, hlPointer); }

// Says why Init cannot draw, and answers Init's false.
bool CannotDraw(HWND Window, const std::string &Why) {
  ReportCannotDraw(Window, Why);
  return false;
}

}  // namespace
}  // namespace graph

using namespace graph;

extern "C" {

GRAPH_API bool Init(TVeltraneEngine *Eng, int32_t /*ScreenBits*/, const char *Floor, const char *Box,
                    const char *Wall, const char *Dest, const char *Water, const char *Menu, const char *MenuBack) {
  if (R) DeInit();
  if (!Eng || !Eng->Handle) return CannotDraw(nullptr, "there is no window to draw in");
  const HWND window = Eng->Handle;
  std::string why;
  if (!WindowTakesGL(window, why)) return CannotDraw(window, why);
  const GLContextHandle context = CreateGLContext(window, why);
  if (!context) {
    RestartOnSoftwareRasterizer(window, why);
    return CannotDraw(window, why);
  }
  const int version = LoadGLEntryPoints();
  if (version < 33) {
    DeleteGLContext(window, context);
    why = version > 0 ? "the graphics driver offers OpenGL " + std::to_string(version / 10) + "." +
                            std::to_string(version % 10) + ", and the game needs 3.3 core"
                      : std::string("the OpenGL context cannot be used");
    RestartOnSoftwareRasterizer(window, why);
    return CannotDraw(window, why);
  }
  // A pass turns the cube effect on before Init; a pass that did not has it off,
  // whatever an earlier pass chose.
  if (!State.CubesAsked) State.CubesOn = false;
  State.CubesAsked = false;
  State.Engine = Eng;
  State.Context = context;
  Eng->GLContext = reinterpret_cast<HGLRC>(context);
  R = std::make_unique<Renderer>();
  R->Window = window;
  SyncToDisplay();

  const char *renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
  const std::string name = renderer ? renderer : "";
  const bool software = IsSoftwareRasterizer(name);
  State.Anisotropy = !software;
  State.Multisample = !software || State.MultisampleOnSoftware;
  std::string unknown;
  const std::string &key = State.QualityOverride.empty() ? ReadQualityKey() : State.QualityOverride;
  R->Quality = ChooseTier(name, key, unknown);
  State.Trilinear = R->Quality == Tier::Full;
  if (!unknown.empty())
    std::fprintf(stderr, "graph: config.ini: Quality=%s is none of auto, full, fast; taking auto\n", unknown.c_str());

  std::string error;
  bool ok = CreateSceneResources(*R, error) && CreateUiResources(*R, error);
  if (ok) {
    const char *names[] = {Floor, Box, Wall, Dest, Water, Menu, MenuBack};
    const TexKind kinds[] = {TexKind::Floor, TexKind::Box,  TexKind::Wall,    TexKind::Dest,
                             TexKind::Water, TexKind::Menu, TexKind::MenuBack};
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    maxSize = std::clamp(maxSize, 256, 8192);
    for (int i = 0; i < 7; ++i) {
      const bool tiles = kinds[i] != TexKind::Menu && kinds[i] != TexKind::MenuBack;
      const bool repeat = tiles || kinds[i] == TexKind::Menu;
      Texture &t = R->Textures[size_t(kinds[i])];
      t = UploadTexture(LoadImageOr(names[i], kinds[i], maxSize), repeat, tiles);
      if (glGetError() != GL_NO_ERROR) t = UploadTexture(PaintTexture(kinds[i], 256), repeat, tiles);
    }
    R->Pointer = UploadTexture(PaintPointer(64), false, true);
    Image white;
    white.Width = white.Height = 1;
    white.Rgba = {255, 255, 255, 255};
    R->White = UploadTexture(white, true, false);
    R->Text.Open();
    ok = glGetError() == GL_NO_ERROR;
  }
  if (!ok) {
    ReleaseRenderer();
    return CannotDraw(window, error.empty() ? "the shaders, buffers or textures could not be made"
                                            : "the shaders could not be built: " + error);
  }
  return true;
}

GRAPH_API void DeInit(void) {
  ReleaseRenderer();
  ForgetOverlay();
}

GRAPH_API void InitCubes(void) {
  State.CubesOn = true;
  State.CubesAsked = true;
  SeedDrifters();
}

GRAPH_API void DeInitCubes(void) {
  State.CubesOn = false;
  State.Drifters.clear();
  State.Drifters.shrink_to_fit();
}

GRAPH_API void ProcessCubes(void) {
  if (!Drawable()) return;
  FlushScene(*R);
  // The fast tier drew them with the scene, at its resolution.
  if (R->Quality != Tier::Fast) DrawPlayDrifters(*R);
}

GRAPH_API void StartDraw(void) {
  if (!Drawable()) return;
  DrawableSize(R->Window, R->Width, R->Height);
  R->Width = std::max(R->Width, 1);
  R->Height = std::max(R->Height, 1);
  R->Time = float(Milliseconds() % 3600000u) / 1000.0f;
  ++R->Frame;
  R->Scene.Clear();
  R->ReducedBound = false;
  BindMultisampled();
  glViewport(0, 0, R->Width, R->Height);
  glDepthMask(GL_TRUE);
  glClearColor(kClearColor.r, kClearColor.g, kClearColor.b, kClearColor.a);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

GRAPH_API void EndDraw(const TMousePos *MousePos) {
  if (!Drawable()) return;
  FlushScene(*R);
  DrawHud(*R);
  DrawPlayOverlay(*R);
  DrawKeptEditorPanel(*R);
  float x, y;
  PointerToDrawable(MousePos, x, y);
  if (MousePos) DrawPointer(*R, x, y);
  ResolveMultisampled();
  Present(R->Window);
}

GRAPH_API int32_t ProcessMenu(const TMousePos *MousePos) {
  const int32_t highlight = TakeHighlight();
  if (!Drawable()) return -1;
  float x, y;
  PointerToDrawable(MousePos, x, y);
  R->MenuFrame = R->Frame;
  return RunMenu(*R, x, y, highlight);
}

GRAPH_API int32_t ProcessSettings(const TMousePos *MousePos, uint8_t LeftButton, TSettings *EditSettings,
                                  const TDisplayMode *Modes, int32_t ModesHigh, const int32_t *Freqs,
                                  int32_t FreqsHigh, const TMapDescr *Maps, int32_t MapsHigh) {
  const int32_t highlight = TakeHighlight();
  TVolumes *const volumes = std::exchange(State.Volumes, nullptr);
  if (!Drawable() || !EditSettings) return -1;
  // The button comes level-triggered: act on the frame it goes down. A page
  // that was not shown last frame starts with the button taken as up.
  const bool down = LeftButton != 0;
  const bool wasDown = R->PrevButton && R->SettingsFrame + 1 >= R->Frame;
  R->PrevButton = down;
  R->SettingsFrame = R->Frame;
  float x, y;
  PointerToDrawable(MousePos, x, y);
  return RunSettings(*R, x, y, down && !wasDown, highlight, *EditSettings, volumes, Modes, ModesHigh, Freqs,
                     FreqsHigh, Maps, MapsHigh);
}

GRAPH_API void MoveToPlayer(uint8_t /*Direction*/, const TPlayer *Player, float Angle) {
  if (!R || !Player) return;
  BeginScene(*R, *Player, Angle);
}

GRAPH_API void DrawFloor(int32_t Width, int32_t Height) {
  if (!R) return;
  R->Scene.HasFloor = Width > 0 && Height > 0;
  R->Scene.FieldWidth = std::max(0, Width);
  R->Scene.FieldHeight = std::max(0, Height);
  ApplyOverview(*R);  // the camera needs the level's size to take it all in
}

GRAPH_API void DrawObjects(const TGameObject *Objects, int32_t High) {
  if (!R || !Objects || High < 0) return;
  CollectObjects(*R, Objects, High + 1);
}

GRAPH_API void DrawPlayer(const TPlayer *Player) {
  if (!R || !Player) return;
  CollectPlayer(*R, *Player);
  if (Drawable()) FlushScene(*R);  // the player comes last: the scene is complete
}

GRAPH_API void DrawOverlay(const TOverlay *Overlay) {
  if (Overlay) KeepOverlay(*Overlay);
}

GRAPH_API void DrawSetFinished(const TSetFinished *Finished) {
  if (!Drawable() || !Finished) return;
  RunSetFinished(*R, *Finished);
}

GRAPH_API bool PickCell(const TMousePos *MousePos, int32_t *CellX, int32_t *CellY) {
  if (!R || !MousePos || !CellX || !CellY) return false;
  float x, y;
  PointerToDrawable(MousePos, x, y);
  int cx = 0, cy = 0;
  if (!PickCellAt(R->Pick, x, y, cx, cy)) return false;
  *CellX = cx;
  *CellY = cy;
  return true;
}

GRAPH_API void DrawCellMarks(const TCellMarks *Marks) {
  if (!R || !Marks) return;
  CellMarks &M = R->Scene.Marks;
  M.Any = true;
  M.HoverX = Marks->HoverX;
  M.HoverY = Marks->HoverY;
  M.BoxX = Marks->BoxX;
  M.BoxY = Marks->BoxY;
  // A level is at most a few hundred cells a side; anything wilder marks nothing.
  const bool sane = (Marks->Marks || Marks->Dead) && Marks->Width > 0 && Marks->Height > 0 && Marks->Width <= 4096 &&
                    Marks->Height <= 4096;
  M.Width = sane ? Marks->Width : 0;
  M.Height = sane ? Marks->Height : 0;
  const size_t cells = sane ? size_t(M.Width) * size_t(M.Height) : 0;
  const auto copy = [cells](std::vector<uint8_t> &To, const uint8_t *From) {
    if (From) To.assign(From, From + cells);
    else To.clear();
  };
  copy(M.Marks, Marks->Marks);
  copy(M.Dead, Marks->Dead);
  // An arrow is one cell long: any other step reads as no hint.
  const bool oneStep = std::abs(Marks->HintDx) + std::abs(Marks->HintDy) == 1;
  M.HintX = oneStep ? Marks->HintX : -1;
  M.HintY = oneStep ? Marks->HintY : -1;
  M.HintDx = oneStep ? Marks->HintDx : 0;
  M.HintDy = oneStep ? Marks->HintDy : 0;
}

GRAPH_API int32_t ProcessChooser(const TMousePos *MousePos, const char *SetName, const TChooserItem *Items,
                                 int32_t High, int32_t First) {
  const int32_t highlight = TakeHighlight();
  if (!Drawable()) return chNone;
  float x, y;
  PointerToDrawable(MousePos, x, y);
  return RunChooser(*R, x, y, highlight, SetName, Items, High, First);
}

GRAPH_API void SetHighlight(int32_t Item) { State.Highlight = Item; }

GRAPH_API void SetVolumes(TVolumes *Volumes) { State.Volumes = Volumes; }

}  // extern "C"
