#include "ImageFile.h"

#include <cstring>
#include <memory>

// The decoder is compiled here alone, private to the renderer.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace graph {

std::optional<Image> ReadImageFile(const std::string &FileName, int MaxSize) {
  int width = 0, height = 0, channels = 0;
  // The header first: a huge image is refused before any of it is decoded.
  if (!stbi_info(FileName.c_str(), &width, &height, &channels)) return std::nullopt;
  if (width <= 0 || height <= 0 || width > MaxSize || height > MaxSize) return std::nullopt;
  const std::unique_ptr<stbi_uc, void (*)(void *)> pixels(stbi_load(FileName.c_str(), &width, &height, &channels, 4),
                                                          stbi_image_free);
  if (!pixels || width <= 0 || height <= 0 || width > MaxSize || height > MaxSize) return std::nullopt;
  Image img;
  img.Width = width;
  img.Height = height;
  img.Rgba.assign(pixels.get(), pixels.get() + size_t(width) * height * 4);
  return img;
}

}  // namespace graph
