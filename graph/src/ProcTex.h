// ProcTex.h -- the game's textures painted in code. They are what the bundled
// PNGs were generated from, and what the renderer falls back to when a named
// image is missing or unreadable, so a level never shows a black object.
#pragma once
#include <cstdint>
#include <vector>

namespace graph {

struct Image {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rgba;  // Width * Height * 4 bytes, top row first
  bool Empty() const { return Width <= 0 || Height <= 0; }
};

enum class TexKind { Floor, Box, Wall, Dest, Water, Menu, MenuBack, Count };

Image PaintTexture(TexKind Kind, int Size);
Image PaintPointer(int Size);  // the arrow drawn at the mouse position

}  // namespace graph
