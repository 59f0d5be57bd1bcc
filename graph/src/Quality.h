// Quality.h -- how much each pixel costs. A graphics card draws the full look;
// a software rasterizer, where every fragment is worked out by the CPU, draws the
// fast tier: light baked once per layout, small per-kind shaders, nearest first.
#pragma once
#include <string>

namespace graph {

enum class Tier { Full, Fast };

// Mesa's software rasterizers name themselves in GL_RENDERER.
bool IsSoftwareRasterizer(const std::string &RendererName);

// The tier for a driver, given the "Quality" key of config.ini: "full" or
// "fast" choose, anything else ("auto", empty) goes by the driver. Unknown
// answers the key's value when it names no tier, else stays empty.
Tier ChooseTier(const std::string &RendererName, const std::string &QualityKey, std::string &Unknown);


// The "Quality" key of config.ini in the working directory: empty without one.
std::string ReadQualityKey();

}  // namespace graph
