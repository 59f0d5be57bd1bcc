// Font.h -- text as white RGBA images: DejaVu Sans through SDL2_ttf when a copy
// is found, else the built-in bitmap font, so text never fails to draw.
#pragma once
#include <map>
#include <string>
#include <utility>

#include "ProcTex.h"

typedef struct _TTF_Font TTF_Font;

namespace graph {

class TextPainter {
public:
  TextPainter() = default;
  TextPainter(const TextPainter &) = delete;
  TextPainter &operator=(const TextPainter &) = delete;
  ~TextPainter() { Close(); }

  void Open();   // finds the fonts; never fails
  void Close();
  bool HasTrueType() const { return !Regular.empty(); }

  // The text in white on transparent, Pixels high (roughly the line height).
  Image Render(const std::string &Text, int Pixels, bool Bold);

private:
  TTF_Font *FontFor(int Pixels, bool Bold);

  std::string Regular, BoldFile;
  bool TtfStarted = false;
  std::map<std::pair<int, bool>, TTF_Font *> Fonts;
};

// Text in the built-in bitmap font, scaled by whole pixels to about Pixels high.
Image RenderBitmapText(const std::string &Text, int Pixels);

// The places searched for a font file, the first that opens wins.
std::string FindFontFile(const char *FileName);

}  // namespace graph
