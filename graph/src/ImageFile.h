// ImageFile.h -- image files (PNG, JPEG, BMP, TGA, GIF) read into RGBA images.
#pragma once
#include <optional>
#include <string>

#include "ProcTex.h"

namespace graph {

// The image in the file, as RGBA; nothing when the file is missing, is of none
// of those kinds, or is larger than MaxSize on either side.
std::optional<Image> ReadImageFile(const std::string &FileName, int MaxSize);

}  // namespace graph
