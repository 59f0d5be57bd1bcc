// EditorPanel.cpp -- the level editor's panel at the left: a heading and lines
// of text on a pill, over the scene.
#include "EditorPanel.h"

#include <algorithm>
#include <string>
#include <vector>

#include "Layout.h"
#include "UiKit.h"
#include "graph.h"

namespace graph {
namespace {

constexpr int32_t MaxLines = 40;  // more never fits a screen
std::vector<std::string> Kept;    // only between DrawEditorPanel and the next EndDraw

}  // namespace

void KeepEditorPanel(const char *const *Lines, int32_t Count) {
  Kept.clear();
  if (!Lines) return;
  for (int32_t I = 0; I < std::min(Count, MaxLines); ++I) Kept.emplace_back(Lines[I] ? Lines[I] : "");
}

void DrawKeptEditorPanel(Renderer &R) {
  if (Kept.empty()) return;
  const float sc = std::max(0.6f, UiScale(R.Width, R.Height));
  const float line = 24 * sc, w = 420 * sc;
  const Rect pill{16 * sc, 16 * sc, w, line * float(Kept.size()) + 24 * sc};
  KitBegin(R);
  KitPill(R, pill, sc, 1);
  for (size_t I = 0; I < Kept.size(); ++I)
    KitText(R, Kept[I], int((I == 0 ? 19 : 16) * sc), I == 0, pill.X + 18 * sc, pill.Y + 12 * sc + line * (float(I) + 0.5f),
            false, I == 0 ? KitGoldColour : KitTextColour, w - 36 * sc);
  KitEnd();
  Kept.clear();
}

}  // namespace graph

extern "C" GRAPH_API void DrawEditorPanel(const char *const *Lines, int32_t Count) { graph::KeepEditorPanel(Lines, Count); }
