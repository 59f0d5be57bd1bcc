// State.h -- everything the renderer keeps from one call to the next, in one
// object, so that what lives how long is read in one place.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "Renderer.h"
#include "Surface.h"
#include "Veltrane.h"

namespace graph {

// The overlay DrawOverlay gave for this frame, copied: the caller's texts live
// only for its call.
struct OverlayCopy {
  bool Given = false;
  bool HasLevel = false;
  std::string SetName, LevelName, Message, Card;
  int32_t Moves = 0, Pushes = 0, Seconds = 0;
  float MessageAlpha = 0, CardAlpha = 0;
};

struct GraphState {
  // Between Init and DeInit: the engine Init drew for, the context it made on
  // the engine's window (stored in Engine->GLContext too), and everything drawn
  // with that context. graph.h says who releases the context, and when.
  TVeltraneEngine *Engine = nullptr;
  GLContextHandle Context = nullptr;
  std::unique_ptr<Renderer> R;

  // The cube effect, with its drifting cubes: a pass turns it on before Init,
  // so it lives outside the renderer.
  bool CubesOn = false;
  bool CubesAsked = false;  // InitCubes came since the last Init
  std::vector<Drifter> Drifters;

  // What EndDraw draws over this frame, and the overview camera, which eases
  // between the player and the whole level in view.
  OverlayCopy Overlay;
  float OverviewWanted = 0, OverviewNow = 0;

  // What the keys highlight on the next menu, settings or chooser frame; used once.
  int32_t Highlight = hlPointer;
  // The volumes the next settings frame shows and edits; used once.
  TVolumes *Volumes = nullptr;

  // Chosen at Init from the driver. Anisotropic filtering of textures seen at a
  // slant is cheap on a graphics card and the larger part of a frame's time on
  // a software rasterizer. Trilinear filtering is smooth at every distance; the
  // fast tier takes the nearer mipmap level, at half the texture reads. Frames
  // drawn 4x multisampled have smooth cube edges, nearly free on a graphics
  // card and too slow on a software rasterizer.
  bool Anisotropy = true;
  bool Trilinear = true;
  bool Multisample = true;

  // Set by tests, to cover the graphics card's path on a software rasterizer:
  // multisample there too, and a tier in place of config.ini's Quality key.
  bool MultisampleOnSoftware = false;
  std::string QualityOverride;
};

extern GraphState State;

// Whether the context Init made is still there: it is the current one. The
// engine's Close makes no context current before deleting it.
bool ContextLive();

}  // namespace graph
