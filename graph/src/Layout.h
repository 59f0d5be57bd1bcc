// Layout.h -- where the menu and the settings page put their parts, in drawable
// pixels from the top-left corner. Drawing and hit-testing both read these, so
// what the player clicks is what they see.
//
// The settings page's Apply and Back lie below every menu item: the button that
// pressed them may still be held when the menu shows next, and must not land on
// an item there.
//
// Text inside a box keeps a margin from its edges at every display mode: a
// text too wide for its box is drawn at a smaller size (FitPixels), and one
// too long for that is cut short (FitText).
#pragma once
#include <algorithm>
#include <array>
#include <string>

namespace graph {

struct Rect {
  float X = 0, Y = 0, W = 0, H = 0;
  bool Contains(float Px, float Py) const { return Px >= X && Px < X + W && Py >= Y && Py < Y + H; }
  float CentreX() const { return X + W / 2; }
  float CentreY() const { return Y + H / 2; }
};

// The largest size, at most Pixels (and at least MinPixels), at which a text
// is no wider than MaxWidth; WidthAt(p) is the text's width at size p.
template <class TWidthAt>
int FitPixels(int Pixels, float MaxWidth, const TWidthAt &WidthAt, int MinPixels = 6) {
  if (Pixels <= MinPixels || WidthAt(Pixels) <= MaxWidth) return Pixels;
  int Fits = MinPixels, TooWide = Pixels;  // widths grow with the size
  while (TooWide - Fits > 1) {
    const int Mid = (Fits + TooWide) / 2;
    (WidthAt(Mid) <= MaxWidth ? Fits : TooWide) = Mid;
  }
  return Fits;
}

// The smallest size a text is shrunk to before it is cut short instead: four
// fifths of the size asked for, and no less than 10 pixels unless asked for less.
inline int ReadablePixels(int Pixels) { return std::min(Pixels, std::max(10, (Pixels * 4 + 2) / 5)); }

// How a text fits MaxWidth: whole, at the largest size from Pixels down to
// ReadablePixels(Pixels) at which it fits; else, at that size, its first Length
// characters and an ellipsis, as many as fit, without the spaces and dots a cut
// leaves at the end. WidthOf(Length, Pixels, Ellipsis) is the width of the
// text's first Length characters, and the ellipsis when asked.
struct FittedText {
  int Pixels = 0;
  size_t Length = 0;
  bool Cut = false;
};

template <class TWidthOf>
FittedText FitText(const std::string &Text, int Pixels, float MaxWidth, const TWidthOf &WidthOf) {
  const size_t whole = Text.size();
  const int size = FitPixels(Pixels, MaxWidth, [&](int P) { return WidthOf(whole, P, false); }, ReadablePixels(Pixels));
  if (WidthOf(whole, size, false) <= MaxWidth) return {size, whole, false};
  size_t fits = 0, tooLong = whole;  // widths grow with the length
  while (tooLong - fits > 1) {
    const size_t mid = (fits + tooLong) / 2;
    (WidthOf(mid, size, true) <= MaxWidth ? fits : tooLong) = mid;
  }
  while (fits > 0 && (Text[fits - 1] == ' ' || Text[fits - 1] == '\xb7' || Text[fits - 1] == '.')) --fits;
  return {size, fits, true};
}

// The margin kept between a text and the edges of its box, at scale 1.
constexpr float TextMargin = 12;

constexpr const char *MenuItemTexts[] = {"New game", "Continue", "Save", "Load", "Settings", "Exit"};
constexpr const char *SettingsLabels[] = {"Display mode", "Refresh rate", "Full screen", "Map set",
                                           "Cube effect",  "Key mapping",  "Sound volume", "Music volume"};
inline std::string VolumeText(int32_t Volume) { return Volume <= 0 ? "Off" : std::to_string(Volume) + " of 10"; }
inline const char *KeyMappingText(bool Keys3D) {
  return Keys3D ? "Left/Right turn the view" : "Page Up/Down turn the view";
}

// A scale of 1 at 1024 x 768; smaller and larger screens scale the whole page.
inline float UiScale(int Width, int Height) {
  return std::max(0.3f, std::min(Height / 768.0f, Width / 1024.0f));
}
// The overlay's texts stay readable on the smallest screens.
inline float HudScale(int Width, int Height) { return std::max(0.6f, UiScale(Width, Height)); }

// A short confirmation, near the bottom of the screen.
inline Rect LayoutMessage(int Width, int Height) {
  const float s = HudScale(Width, Height);
  const float w = std::min(float(Width) - 32 * s, 360 * s), h = 48 * s;
  return {Width / 2.0f - w / 2, Height - h - 40 * s, w, h};
}

constexpr int MenuItemCount = 6;

struct MenuLayout {
  Rect Panel, Title;
  std::array<Rect, MenuItemCount> Items;
};

inline MenuLayout LayoutMenu(int Width, int Height) {
  const float s = UiScale(Width, Height);
  MenuLayout m;
  const float itemW = 380 * s, itemH = 48 * s, gap = 10 * s;
  const float top = Height * 0.28f;
  for (int i = 0; i < MenuItemCount; ++i)
    m.Items[i] = {Width / 2.0f - itemW / 2, top + i * (itemH + gap), itemW, itemH};
  m.Title = {Width / 2.0f - 300 * s, Height * 0.06f, 600 * s, 110 * s};
  const float panelW = itemW + 60 * s;
  m.Panel = {Width / 2.0f - panelW / 2, top - 30 * s, panelW, MenuItemCount * (itemH + gap) - gap + 60 * s};
  return m;
}

// The level-complete card: over play a little above the middle; over the
// menu in the band between its panel and the message, covering no item.
inline Rect LayoutCard(int Width, int Height, bool OverMenu) {
  const float s = HudScale(Width, Height);
  const float w = std::min(float(Width) - 32 * s, 720 * s), h = 110 * s;
  if (!OverMenu) return {Width / 2.0f - w / 2, Height * 0.38f - h / 2, w, h};
  const float gap = 8 * s;
  const Rect panel = LayoutMenu(Width, Height).Panel;
  const float top = panel.Y + panel.H + gap;
  const float bottom = LayoutMessage(Width, Height).Y - gap;
  const float fitted = std::max(0.0f, std::min(h, bottom - top));
  return {Width / 2.0f - w / 2, top + (bottom - top - fitted) / 2, w, fitted};
}

constexpr int SettingsRowCount = 8;
enum SettingsRow { rowMode, rowFreq, rowFullScreen, rowMap, rowCubes, rowKeys, rowSound, rowMusic };

struct SettingsLayout {
  Rect Panel, Title;
  struct Row { Rect Label, Prev, Value, Next; };
  std::array<Row, SettingsRowCount> Rows;
  Rect Apply, Back;
};

inline SettingsLayout LayoutSettings(int Width, int Height) {
  const float s = UiScale(Width, Height);
  SettingsLayout l;
  const float panelW = 860 * s, gap = 8 * s;
  const float left = Width / 2.0f - panelW / 2;
  l.Panel = {left, Height * 0.06f, panelW, Height * 0.88f};
  l.Title = {left, Height * 0.06f + 14 * s, panelW, 64 * s};
  const float top = Height * 0.20f;
  // Every row between the title and the line above the buttons, at most 50 high at scale 1.
  const float rowH = std::min(50 * s, (Height * 0.74f - top) / SettingsRowCount - gap);
  const float labelW = 300 * s, arrowW = 46 * s, valueW = 360 * s;
  for (int i = 0; i < SettingsRowCount; ++i) {
    const float y = top + i * (rowH + gap);
    SettingsLayout::Row &r = l.Rows[i];
    r.Label = {left + 40 * s, y, labelW, rowH};
    r.Prev = {left + 40 * s + labelW, y, arrowW, rowH};
    r.Value = {r.Prev.X + arrowW + 6 * s, y, valueW, rowH};
    r.Next = {r.Value.X + valueW + 6 * s, y, arrowW, rowH};
  }
  const float buttonW = 220 * s, buttonH = 52 * s, buttonY = Height * 0.80f;
  l.Apply = {Width / 2.0f - buttonW - 20 * s, buttonY, buttonW, buttonH};
  l.Back = {Width / 2.0f + 20 * s, buttonY, buttonW, buttonH};
  return l;
}

}  // namespace graph
