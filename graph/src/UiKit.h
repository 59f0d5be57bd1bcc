// UiKit.h -- the menu's look (Ui.cpp) for the pages and overlays drawn
// elsewhere: panels, buttons, the dark pill of the play screen, and text.
#pragma once
#include <string>

#include "Renderer.h"

namespace graph {

void KitBegin(Renderer &R);  // before any of the rest, each frame part
void KitEnd();
void KitBackdrop(Renderer &R);  // the settings page's background
void KitPanel(Renderer &R, const Rect &Panel, float Scale);
void KitButton(Renderer &R, const Rect &Area, float Scale, bool Hot);
void KitTitle(Renderer &R, const Rect &Title, float Scale, const char *Text, int Pixels);
void KitPill(Renderer &R, const Rect &Area, float Scale, float Alpha);
// A circle's outline, centred on X, Y, Thickness wide inside Radius.
void KitRing(Renderer &R, float X, float Y, float Radius, float Thickness, glm::vec4 Colour);
// Text centred vertically on Y; left-aligned at X, or centred on it.
void KitText(Renderer &R, const std::string &Text, int Pixels, bool Bold, float X, float Y, bool Centre,
             glm::vec4 Colour, float MaxWidth = 0);

inline const glm::vec4 KitTextColour(0.90f, 0.91f, 0.97f, 1), KitDimColour(0.66f, 0.68f, 0.80f, 1),
    KitGoldColour(1.0f, 0.86f, 0.50f, 1), KitOnGoldColour(0.16f, 0.09f, 0.04f, 1);

}  // namespace graph
