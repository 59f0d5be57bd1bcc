// ChooserLayout.h -- where the level chooser puts its rows and buttons, in
// drawable pixels from the top-left corner; drawing and hit-testing both read it.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "Layout.h"
#include "graph.h"

namespace graph {

constexpr int ChooserRows = ChooserPage;

struct ChooserLayout {
  Rect Panel, Title, SetName;
  std::array<Rect, ChooserRows> Rows;
  Rect Previous, Next, Back;
};

inline ChooserLayout LayoutChooser(int Width, int Height) {
  const float s = UiScale(Width, Height);
  ChooserLayout l;
  const float panelW = 760 * s, rowH = 44 * s, gap = 6 * s;
  const float left = Width / 2.0f - panelW / 2;
  l.Panel = {left, Height * 0.04f, panelW, Height * 0.92f};
  l.Title = {left, Height * 0.04f + 10 * s, panelW, 56 * s};
  l.SetName = {left, l.Title.Y + l.Title.H, panelW, 28 * s};
  const float top = l.SetName.Y + l.SetName.H + 12 * s;
  for (int i = 0; i < ChooserRows; ++i) l.Rows[i] = {left + 30 * s, top + i * (rowH + gap), panelW - 60 * s, rowH};
  const float buttonY = top + ChooserRows * (rowH + gap) + 10 * s, buttonH = 48 * s;
  l.Previous = {left + 30 * s, buttonY, 70 * s, buttonH};
  l.Next = {left + panelW - 100 * s, buttonY, 70 * s, buttonH};
  l.Back = {Width / 2.0f - 110 * s, buttonY, 220 * s, buttonH};
  return l;
}

// "page 3 of 12": the page that begins with level First, of a set of Count levels.
inline std::string ChooserPageText(int32_t First, int32_t Count) {
  const int32_t pages = std::max(1, (Count + ChooserRows - 1) / ChooserRows);
  const int32_t page = std::clamp(First / ChooserRows + 1, 1, pages);
  return "page " + std::to_string(page) + " of " + std::to_string(pages);
}

}  // namespace graph
