// Icon.h -- the game's icon: a crate, drawn from a few flat shapes so that the
// same drawing gives the raster sizes a desktop wants and a scalable SVG.
#pragma once
#include <string>

#include "ProcTex.h"

namespace graph {

Image PaintIcon(int Size);  // RGBA, transparent round the crate
std::string IconSvg();      // the same shapes as an SVG document

}  // namespace graph
