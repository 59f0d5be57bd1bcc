// Hud.cpp -- what a player sees beside the scene and the menu: the play
// screen's overlay (set, level, moves, pushes, time), short confirmations,
// the level-complete card, the overview camera and the level chooser.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "ChooserLayout.h"
#include "State.h"
#include "UiKit.h"
#include "graph.h"

namespace graph {
namespace {

std::string Text(const char *S) { return S ? S : ""; }

std::string Clock(int32_t Seconds) {
  char Buf[32];
  const int32_t S = std::max(0, Seconds);
  if (S >= 3600) std::snprintf(Buf, sizeof Buf, "%d:%02d:%02d", S / 3600, S / 60 % 60, S % 60);
  else std::snprintf(Buf, sizeof Buf, "%d:%02d", S / 60, S % 60);
  return Buf;
}

std::string Counted(int32_t N, const char *One, const char *More) {
  return std::to_string(N) + " " + (N == 1 ? One : More);
}

float HudScale(const Renderer &R) { return std::max(0.6f, UiScale(R.Width, R.Height)); }

void DrawPlayPanel(Renderer &R, const OverlayCopy &O) {
  const float sc = HudScale(R);
  const float w = 330 * sc, h = 64 * sc;
  const Rect pill{R.Width - w - 16 * sc, 16 * sc, w, h};
  KitPill(R, pill, sc, 1);
  const std::string title = O.SetName.empty() ? O.LevelName : O.SetName + "  \xb7  " + O.LevelName;
  const float inner = w - 40 * sc;
  KitText(R, title, int(17 * sc), true, pill.X + 20 * sc, pill.Y + 20 * sc, false, KitGoldColour, inner);
  const std::string counts = Counted(O.Moves, "move", "moves") + "   " + Counted(O.Pushes, "push", "pushes") + "   " +
                             Clock(O.Seconds);
  KitText(R, counts, int(18 * sc), false, pill.X + 20 * sc, pill.Y + 44 * sc, false, KitTextColour, inner);
}

void DrawMessage(Renderer &R, const std::string &Message, float Alpha) {
  const float sc = HudScale(R);
  const float w = std::min(float(R.Width) - 32 * sc, 360 * sc), h = 48 * sc;
  const Rect pill{R.Width / 2.0f - w / 2, R.Height - h - 40 * sc, w, h};
  KitPill(R, pill, sc, Alpha);
  glm::vec4 colour = KitTextColour;
  colour.a = Alpha;
  KitText(R, Message, int(22 * sc), true, pill.CentreX(), pill.CentreY(), true, colour, w - 24 * sc);
}

void DrawCard(Renderer &R, const std::string &Card, float Alpha) {
  const float sc = HudScale(R);
  const float w = std::min(float(R.Width) - 32 * sc, 720 * sc), h = 110 * sc;
  const Rect card{R.Width / 2.0f - w / 2, R.Height * 0.38f - h / 2, w, h};
  KitPill(R, card, sc, Alpha);
  glm::vec4 gold = KitGoldColour;
  gold.a = Alpha;
  KitText(R, Card, int(28 * sc), true, card.CentreX(), card.CentreY(), true, gold, w - 40 * sc);
}

std::string BestText(const TChooserItem &Item) {
  if (!Item.Solved || Item.BestMoves < 0) return "not solved yet";
  return "solved \xb7 best " + Counted(Item.BestMoves, "move", "moves") + " \xb7 " +
         Counted(Item.BestPushes, "push", "pushes") + " \xb7 " + Clock(Item.BestSeconds);
}

// "Introduction  ·  page 3 of 12": the set, and where in it the page shown lies.
std::string SetLine(const char *SetName, int32_t First, int32_t Count) {
  const std::string page = ChooserPageText(First, Count);
  return Text(SetName).empty() ? page : Text(SetName) + "  \xb7  " + page;
}

}  // namespace

void DrawPlayOverlay(Renderer &R) {
  const OverlayCopy O = State.Overlay;
  State.Overlay = {};
  if (!O.Given) return;
  KitBegin(R);
  if (O.HasLevel) DrawPlayPanel(R, O);
  if (!O.Message.empty() && O.MessageAlpha > 0) DrawMessage(R, O.Message, std::min(O.MessageAlpha, 1.0f));
  if (!O.Card.empty() && O.CardAlpha > 0) DrawCard(R, O.Card, std::min(O.CardAlpha, 1.0f));
  KitEnd();
}

// Pulls the camera back and up, looking the same way, until a circle round the
// whole level fits the view; part of the way while it eases.
void ApplyOverview(Renderer &R) {
  State.OverviewNow += (State.OverviewWanted - State.OverviewNow) * 0.12f;
  if (std::abs(State.OverviewWanted - State.OverviewNow) < 0.002f) State.OverviewNow = State.OverviewWanted;
  FrameScene &S = R.Scene;
  if (State.OverviewNow <= 0 || !S.Active || S.FieldWidth <= 0 || S.FieldHeight <= 0) return;
  const float t = State.OverviewNow * State.OverviewNow * (3 - 2 * State.OverviewNow);  // smooth at both ends
  const glm::vec3 centre(S.FieldWidth / 2.0f, S.FieldHeight / 2.0f, 0);
  const float radius = 0.5f * std::sqrt(float(S.FieldWidth * S.FieldWidth + S.FieldHeight * S.FieldHeight)) + 1;
  const float aspect = R.Height > 0 ? float(R.Width) / float(R.Height) : 1.0f;
  const float halfFov = glm::radians(26.0f) * std::min(1.0f, aspect);
  const float distance = radius / std::sin(halfFov);
  glm::vec3 facing = S.Cam.Target - S.Cam.Eye;
  facing.z = 0;
  facing = glm::length(facing) > 1e-4f ? glm::normalize(facing) : glm::vec3(0, 1, 0);
  const glm::vec3 eye = centre + (-facing * 0.45f + glm::vec3(0, 0, 0.89f)) * distance;
  S.Cam.Eye = glm::mix(S.Cam.Eye, eye, t);
  S.Cam.Target = glm::mix(S.Cam.Target, centre, t);
  S.Cam.View = glm::lookAt(S.Cam.Eye, S.Cam.Target, glm::vec3(0, 0, 1));
  S.Cam.Projection = glm::perspective(glm::radians(52.0f), aspect, 0.1f, std::max(400.0f, distance * 2.5f));
}

int32_t RunChooser(Renderer &R, float Px, float Py, int32_t Highlight, const char *SetName,
                   const TChooserItem *Items, int32_t High, int32_t First) {
  const ChooserLayout l = LayoutChooser(R.Width, R.Height);
  const float sc = UiScale(R.Width, R.Height);
  const int32_t count = Items ? std::max(High + 1, 0) : 0;
  First = std::clamp(First, 0, std::max(count - 1, 0));
  const bool hasPrevious = First > 0, hasNext = First + ChooserRows < count;
  int32_t hot = chNone;
  for (int i = 0; i < ChooserRows && First + i < count; ++i)
    if (l.Rows[i].Contains(Px, Py)) hot = First + i;
  if (l.Back.Contains(Px, Py)) hot = chBack;
  if (hasPrevious && l.Previous.Contains(Px, Py)) hot = chPreviousPage;
  if (hasNext && l.Next.Contains(Px, Py)) hot = chNextPage;
  const int32_t pointed = hot;
  if (Highlight != hlPointer) hot = Highlight;

  KitBackdrop(R);
  KitBegin(R);
  KitPanel(R, l.Panel, sc);
  KitTitle(R, l.Title, sc, "Choose a level", 44);
  const float margin = TextMargin * sc;
  KitText(R, SetLine(SetName, First, count), int(20 * sc), false, l.SetName.CentreX(), l.SetName.CentreY(), true,
          KitDimColour, l.SetName.W - 2 * margin);
  for (int i = 0; i < ChooserRows && First + i < count; ++i) {
    const TChooserItem &item = Items[First + i];
    const Rect &r = l.Rows[i];
    const bool rowHot = hot == First + i;
    KitButton(R, r, sc, rowHot);
    const glm::vec4 colour = rowHot ? KitOnGoldColour : KitTextColour;
    KitText(R, Text(item.Title), int(21 * sc), rowHot, r.X + margin, r.CentreY(), false, colour, r.W * 0.5f);
    const glm::vec4 solved(0.55f, 0.95f, 0.60f, 1);
    KitText(R, BestText(item), int(17 * sc), false, r.X + r.W * 0.52f, r.CentreY(), false,
            rowHot ? KitOnGoldColour : item.Solved ? solved : KitDimColour, r.W * 0.48f - margin);
  }
  KitButton(R, l.Back, sc, hot == chBack);
  KitText(R, "Back", int(24 * sc), true, l.Back.CentreX(), l.Back.CentreY(), true,
          hot == chBack ? KitOnGoldColour : KitTextColour);
  if (hasPrevious) {
    KitButton(R, l.Previous, sc, hot == chPreviousPage);
    KitText(R, "<", int(24 * sc), true, l.Previous.CentreX(), l.Previous.CentreY(), true, KitTextColour);
  }
  if (hasNext) {
    KitButton(R, l.Next, sc, hot == chNextPage);
    KitText(R, ">", int(24 * sc), true, l.Next.CentreX(), l.Next.CentreY(), true, KitTextColour);
  }
  KitEnd();
  return pointed;
}

void KeepOverlay(const TOverlay &O) {
  State.Overlay.Given = true;
  State.Overlay.HasLevel = O.LevelName != nullptr;
  State.Overlay.SetName = Text(O.SetName);
  State.Overlay.LevelName = Text(O.LevelName);
  State.Overlay.Message = Text(O.Message);
  State.Overlay.Card = Text(O.Card);
  State.Overlay.Moves = O.Moves;
  State.Overlay.Pushes = O.Pushes;
  State.Overlay.Seconds = O.Seconds;
  State.Overlay.MessageAlpha = std::isfinite(O.MessageAlpha) ? O.MessageAlpha : 0;
  State.Overlay.CardAlpha = std::isfinite(O.CardAlpha) ? O.CardAlpha : 0;
  State.OverviewWanted = std::isfinite(O.Overview) ? std::clamp(O.Overview, 0.0f, 1.0f) : 0;
}

void ForgetOverlay() {
  State.Overlay = {};
  State.OverviewWanted = State.OverviewNow = 0;
}

}  // namespace graph
