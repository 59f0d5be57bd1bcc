// Font.h -- text as white RGBA images: DejaVu Sans through stb_truetype when a
// copy is found, else the built-in bitmap font, so text never fails to draw.
#pragma once
#include <memory>
#include <string>

#include "ProcTex.h"

namespace graph {

class TextPainter {
public:
  TextPainter();
  TextPainter(const TextPainter &) = delete;
  TextPainter &operator=(const TextPainter &) = delete;
  ~TextPainter();

  void Open();   // finds the fonts; never fails
  void Close();
  bool HasTrueType() const { return RegularFace != nullptr; }

  // The text in white on transparent, Pixels high (roughly the line height);
  // with Ellipsis, an ellipsis after it.
  Image Render(const std::string &Text, int Pixels, bool Bold, bool Ellipsis = false);
  // The width Render's image would have.
  int Width(const std::string &Text, int Pixels, bool Bold, bool Ellipsis = false);

  struct Face;  // one font file, read whole

private:
  std::unique_ptr<Face> RegularFace, BoldFace;
};

// Text in the built-in bitmap font, scaled by whole pixels to about Pixels high.
Image RenderBitmapText(const std::string &Text, int Pixels);
int BitmapTextWidth(const std::string &Text, int Pixels);

// The places searched for a font file, the first that opens wins.
std::string FindFontFile(const char *FileName);

}  // namespace graph
