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

void DrawPlayPanel(Renderer &R, const OverlayCopy &O) {
  const float sc = HudScale(R.Width, R.Height);
  const float w = 330 * sc, h = 64 * sc;
  const Rect pill{R.Width - w - 16 * sc, 16 * sc, w, h};
  KitPill(R, pill, sc, 1);
  const std::string title = O.SetName.empty()     ? O.LevelName
                            : O.LevelName.empty() ? O.SetName  // a level the game cannot name
                                                  : O.SetName + "  \xb7  " + O.LevelName;
  const float inner = w - 40 * sc;
  KitText(R, title, int(17 * sc), true, pill.X + 20 * sc, pill.Y + 20 * sc, false, KitGoldColour, inner);
  const std::string counts = Counted(O.Moves, "move", "moves") + "   " + Counted(O.Pushes, "push", "pushes") + "   " +
                             Clock(O.Seconds);
  KitText(R, counts, int(18 * sc), false, pill.X + 20 * sc, pill.Y + 44 * sc, false, KitTextColour, inner);
}

void DrawMessage(Renderer &R, const std::string &Message, float Alpha) {
  const float sc = HudScale(R.Width, R.Height);
  const Rect pill = LayoutMessage(R.Width, R.Height);
  KitPill(R, pill, sc, Alpha);
  glm::vec4 colour = KitTextColour;
  colour.a = Alpha;
  KitText(R, Message, int(22 * sc), true, pill.CentreX(), pill.CentreY(), true, colour, pill.W - 24 * sc);
}

void DrawCard(Renderer &R, const std::string &Card, float Alpha, bool OverMenu) {
  const float sc = HudScale(R.Width, R.Height);
  const Rect card = LayoutCard(R.Width, R.Height, OverMenu);
  if (card.H < 12 * sc) return;  // no room beside the menu's items: not shown
  KitPill(R, card, sc, Alpha);
  glm::vec4 gold = KitGoldColour;
  gold.a = Alpha;
  // The text keeps inside the card, however little of it the menu left.
  const int pixels = std::min(int(28 * sc), int(card.H * 0.6f));
  KitText(R, Card, pixels, true, card.CentreX(), card.CentreY(), true, gold, card.W - 40 * sc);
}

std::string BestText(const TChooserItem &Item) {
  if (!Item.Solved) return "not solved yet";
  if (Item.BestMoves < 0) return "solved \xb7 no best yet";  // only ever continued from an old save
  return "solved \xb7 best " + Counted(Item.BestMoves, "move", "moves") + " \xb7 " +
         Counted(Item.BestPushes, "push", "pushes") + " \xb7 " + Clock(Item.BestSeconds);
}

// How far the overview has eased, smooth at both ends.
float OverviewEased() {
  const float t = std::clamp(State.OverviewNow, 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

// On a large level seen whole the player is a few pixels: rings round it, in
// its own colour over a dark one, pulsing, show where it stands.
void DrawPlayerMarker(Renderer &R, float Alpha) {
  const FrameScene &S = R.Scene;
  const glm::vec3 centre(S.Player.Origin[0] + S.Player.Size[0] / 2, S.Player.Origin[1] + S.Player.Size[1] / 2,
                         S.Player.Origin[2] + S.Player.Size[2]);
  float x, y, x1, y1;
  if (!ProjectToPixel(S.Cam, centre, R.Width, R.Height, x, y) ||
      !ProjectToPixel(S.Cam, centre + glm::vec3(1, 0, 0), R.Width, R.Height, x1, y1))
    return;
  const float cell = std::hypot(x1 - x, y1 - y), sc = HudScale(R.Width, R.Height);
  const float radius = std::max(16 * sc, 0.9f * cell) * (1 + 0.08f * std::sin(R.Time * 5));
  KitRing(R, x, y, radius + 1.5f * sc, 5.5f * sc, glm::vec4(0.02f, 0.05f, 0.08f, 0.55f * Alpha));
  KitRing(R, x, y, radius, 2.5f * sc, glm::vec4(0.45f, 1.0f, 0.95f, Alpha));
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
  const float marker = R.Scene.Active && R.Scene.HasFloor && R.Scene.HasPlayer ? OverviewEased() : 0;
  if (!O.Given && marker <= 0) return;
  KitBegin(R);
  if (marker > 0) DrawPlayerMarker(R, marker);
  if (O.HasLevel) DrawPlayPanel(R, O);
  if (!O.Message.empty() && O.MessageAlpha > 0) DrawMessage(R, O.Message, std::min(O.MessageAlpha, 1.0f));
  // Only over play or the menu: over a page of buttons it would hide some.
  const bool overMenu = R.MenuFrame == R.Frame;
  if (!O.Card.empty() && O.CardAlpha > 0 && (overMenu || R.Scene.Active))
    DrawCard(R, O.Card, std::min(O.CardAlpha, 1.0f), overMenu);
  KitEnd();
}

// The overview camera, part of the way while it eases.
void ApplyOverview(Renderer &R) {
  State.OverviewNow += (State.OverviewWanted - State.OverviewNow) * 0.12f;
  if (std::abs(State.OverviewWanted - State.OverviewNow) < 0.002f) State.OverviewNow = State.OverviewWanted;
  FrameScene &S = R.Scene;
  if (State.OverviewNow <= 0 || !S.Active || S.FieldWidth <= 0 || S.FieldHeight <= 0) return;
  S.Cam = OverviewCamera(S.Cam, S.FieldWidth, S.FieldHeight, OverviewEased(), R.Width, R.Height);
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

void RunSetFinished(Renderer &R, const TSetFinished &F) {
  const float sc = UiScale(R.Width, R.Height);
  const float panelW = std::min(float(R.Width) - 32 * sc, 640 * sc), panelH = 320 * sc;
  const Rect panel{R.Width / 2.0f - panelW / 2, R.Height / 2.0f - panelH / 2, panelW, panelH};
  const Rect title{panel.X, panel.Y + 16 * sc, panel.W, 70 * sc};
  const float inner = panel.W - 2 * TextMargin * sc, x = panel.CentreX();
  const float line = 50 * sc, first = title.Y + title.H + 40 * sc;
  KitBackdrop(R);
  KitBegin(R);
  KitPanel(R, panel, sc);
  KitTitle(R, title, sc, "Set complete", 52);
  KitText(R, Text(F.SetName), int(24 * sc), false, x, first, true, KitDimColour, inner);
  KitText(R, Counted(F.Levels, "level", "levels") + " solved", int(30 * sc), true, x, first + line, true,
          KitGoldColour, inner);
  KitText(R, Counted(F.Moves, "move", "moves") + "  \xb7  " + Counted(F.Pushes, "push", "pushes") + "  \xb7  " +
               Clock(F.Seconds),
          int(26 * sc), false, x, first + 2 * line, true, KitTextColour, inner);
  KitText(R, "Press a key or click to go on", int(20 * sc), false, x, panel.Y + panel.H - 36 * sc, true,
          KitDimColour, inner);
  KitEnd();
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
