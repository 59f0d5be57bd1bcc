// Renderer.h -- the renderer's private state: one instance lives between Init
// and DeInit, and the drawing code in Scene.cpp and Ui.cpp works on it.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Camera.h"
#include "Font.h"
#include "GLObjects.h"
#include "GroundLight.h"
#include "Layout.h"
#include "ProcTex.h"
#include "Quality.h"
#include "Surface.h"
#include "graph.h"

namespace graph {

// One cube or tile of an instanced draw: min corner, extents, and a few values
// the shader reads per object (on target, facing, ...).
struct Instance {
  float Origin[3];
  float Size[3];
  float Params[4];
};
static_assert(sizeof(Instance) == 40);

// Shader modes of the scene program.
enum SceneMode { smSolid = 0, smFloor = 1, smWater = 2, smPlayer = 3, smDrifter = 4, smTile = 5 };

// The colour every frame starts from.
inline constexpr glm::vec4 kClearColor(0.06f, 0.06f, 0.12f, 1.0f);

struct CachedText {
  Texture Tex;
  int Width = 0, Height = 0;
};

struct SceneUniforms {
  GLint ViewProj = -1, Mode = -1, Time = -1, WorldUV = -1, Tex = -1, Occ = -1, OccSize = -1, HasOcc = -1,
        Tint = -1, Eye = -1, Light = -1, FogColor = -1, FogRange = -1, PlayerShadow = -1, Spec = -1,
        Ground = -1, GroundSize = -1;
};

// A program of the scene and where its uniforms are.
struct SceneShader {
  Program Prog;
  SceneUniforms U;
};
struct UiUniforms {
  GLint Screen = -1, Shape = -1, Rect = -1, UV = -1, ColorTop = -1, ColorBottom = -1, Radius = -1, Soft = -1, Border = -1,
        BorderColor = -1, Tex = -1, Depth = -1;
};
struct UiShader {
  Program Prog;
  UiUniforms U;
};

// What DrawCellMarks asked this frame to show.
struct CellMarks {
  bool Any = false;
  int HoverX = -1, HoverY = -1, BoxX = -1, BoxY = -1;
  int Width = 0, Height = 0;
  std::vector<uint8_t> Marks, Dead;  // each empty or Width x Height
  int HintX = -1, HintY = -1, HintDx = 0, HintDy = 0;
};

// What a play frame asked to draw; drawn at once when the frame's scene is complete.
struct FrameScene {
  bool Active = false;       // MoveToPlayer was called this frame
  bool Drawn = false;
  Camera Cam;
  int FieldWidth = 0, FieldHeight = 0;
  bool HasFloor = false;
  std::vector<Instance> Walls, Boxes, Targets, Water, FilledCells, FilledBoxes;
  bool HasPlayer = false;
  Instance Player{};
  int CoveredCount = 0, TargetCount = 0;  // crates standing on a mark, and the marks
  CellMarks Marks;
  void Clear() {
    Active = Drawn = HasFloor = HasPlayer = false;
    Marks.Any = false;
    CoveredCount = TargetCount = 0;
    Walls.clear(); Boxes.clear(); Targets.clear(); Water.clear(); FilledCells.clear(); FilledBoxes.clear();
  }
};

// The last play frame as drawn, for picking cells under the pointer: its
// camera and what stood tall on the level.
struct PickView {
  bool Valid = false;
  Camera Cam;
  int Width = 0, Height = 0;            // drawable pixels
  int FieldWidth = 0, FieldHeight = 0;
  std::vector<Instance> Solids;         // walls and boxes
};

struct Renderer {
  HWND Window = nullptr;  // the engine's, which the context draws on

  Tier Quality = Tier::Full;
  SceneShader Scene3D;                                   // every kind, the full look
  std::array<SceneShader, size_t(smTile) + 1> FastScene;  // fast tier: one small program per kind
  // Rounded, soft or bordered fills, and the rest; each without and with an image.
  std::array<UiShader, 2> UiShaped, UiPlain;
  VertexArray CubeVao, UiVao;
  Buffer CubeVertices, CubeIndices, InstanceBuffer;
  size_t InstanceCapacity = 0;
  std::array<Texture, size_t(TexKind::Count)> Textures;
  Texture Pointer, White;

  // Map of the level, 4 texels per cell: red where a wall or box stands (shadows),
  // green where water lies (its shore).
  Texture Occupancy;
  int OccWidth = 0, OccHeight = 0;
  std::vector<uint8_t> OccPixels, OccUploaded;

  // Fast tier: the ground's light baked from the occupancy of every wall, box
  // and water cell, redone where they moved; what it was baked from.
  GroundLight Ground;
  Texture GroundTex, OpenGround;
  std::vector<Instance> GroundSource;

  // The multisampled frame everything is drawn into, resolved into the window's
  // back buffer by EndDraw; none when multisampling is off or unavailable.
  Framebuffer Msaa;
  Renderbuffer MsaaColor, MsaaDepth;
  int MsaaWidth = 0, MsaaHeight = 0;
  bool MsaaBroken = false;  // the card refused it once: draw straight to the window

  // Fast tier: the reduced frame the scene is drawn
  // into and scaled up from; none when the card refused it.
  Framebuffer Reduced;
  Renderbuffer ReducedColor, ReducedDepth;
  int ReducedWidth = 0, ReducedHeight = 0;
  GLuint ReducedParent = 0;  // the frame it is scaled into
  bool ReducedBound = false, ReducedBroken = false;

  // Fast tier: the menu's or settings page's panels and text, drawn into a
  // texture of their own, and the fills it was drawn from (see Ui.cpp).
  Framebuffer LayerFbo;
  Texture LayerTex;
  int LayerWidth = 0, LayerHeight = 0;
  bool LayerRecording = false, LayerBroken = false;
  std::vector<unsigned char> LayerRecorded, LayerCached;
  Rect LayerBounds;  // what the fills recorded this frame cover

  TextPainter Text;
  std::map<std::string, CachedText> TextCache;
  std::map<std::string, int> TextWidths;  // measured for fitting, mostly never drawn

  int Width = 640, Height = 480;  // drawable pixels
  float Time = 0;                 // seconds, for animation
  uint64_t Frame = 0;
  FrameScene Scene;
  PickView Pick;

  uint8_t PrevButton = 0;         // the settings page's button last frame
  uint64_t SettingsFrame = 0;     // frame of the last settings page
  uint64_t MenuFrame = 0;         // frame of the last menu: the card then keeps off its items
};

// Graph.cpp: drawing into the fast tier's reduced frame, and scaling it into the
// frame; both nothing on the full tier.
void BeginReducedFrame(Renderer &R);
void EndReducedFrame(Renderer &R);

// Scene.cpp
bool CreateSceneResources(Renderer &R, std::string &Error);
void BeginScene(Renderer &R, const TPlayer &Player, float Angle);
void CollectObjects(Renderer &R, const TGameObject *Objects, int32_t Count);
void CollectPlayer(Renderer &R, const TPlayer &Player);
void FlushScene(Renderer &R);  // draws what the frame collected, once
// The cell under drawable pixel (X, Y) in the last play frame drawn; false off the level.
bool PickCellAt(const PickView &P, float X, float Y, int &CellX, int &CellY);
void DrawDrifters(Renderer &R, const Camera &Cam, glm::vec3 Centre, float Radius, bool Menu);
void DrawPlayDrifters(Renderer &R);  // the cube effect around the level, when on
Instance MakeInstance(const TBox &Box, float P0 = 0, float P1 = 0, float P2 = 0, float P3 = 0);

// Ui.cpp. The pages answer for the pointer at (Px, Py); Highlight, when not
// hlPointer, is what they show highlighted instead of what lies under it.
bool CreateUiResources(Renderer &R, std::string &Error);
void DrawSky(Renderer &R, bool BehindScene);  // behind: after the scene, where it left the frame empty
int32_t RunMenu(Renderer &R, float Px, float Py, int32_t Highlight);
// Volumes: the two volume rows' values, null where the page has none.
int32_t RunSettings(Renderer &R, float Px, float Py, bool Pressed, int32_t Highlight, TSettings &S,
                    TVolumes *Volumes, const TDisplayMode *Modes, int32_t ModesHigh, const int32_t *Freqs,
                    int32_t FreqsHigh, const TMapDescr *Maps, int32_t MapsHigh);
void DrawPointer(Renderer &R, float Px, float Py);
void DrawHud(Renderer &R);  // the crates-home count over a play frame

// Hud.cpp
void KeepOverlay(const TOverlay &O);   // for this frame's EndDraw, and the camera's overview
void ForgetOverlay();
void DrawPlayOverlay(Renderer &R);     // what KeepOverlay kept, once
void ApplyOverview(Renderer &R);       // the frame's camera, pulled back as far as the overview has eased
int32_t RunChooser(Renderer &R, float Px, float Py, int32_t Highlight, const char *SetName,
                   const TChooserItem *Items, int32_t High, int32_t First);
void RunSetFinished(Renderer &R, const TSetFinished &F);

// One cube of the cube effect.
struct Drifter {
  glm::vec3 Offset;  // from the centre of what it drifts around
  glm::vec3 Axis;
  float Size, Hue, Phase, Rise;
};
void SeedDrifters();

}  // namespace graph
