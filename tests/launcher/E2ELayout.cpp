// E2ELayout.cpp -- prints where the renderer puts what the end-to-end test
// clicks, for a drawable of the given size, as shell assignments:
//   MENU_<i>_X/Y (items 0..5), CHOOSER_<i>_X/Y (the level chooser's rows 0..1), KEYS_NEXT_X/Y and MODE_NEXT_X/Y (the next arrows of the key
//   mapping and the display mode), APPLY_X/Y,
//   and as X Y W H: TITLE (the menu's title) and KEYS_VALUE (the key mapping's value).
// It reads the renderer's own layout, so the test clicks what the player sees.
// Given also a player's cell and the view angle, then a point of the level
// (x y z), it prints that point's pixel in a play frame as POINT_X/Y:
//   e2e_layout <width> <height> <player column> <player row line> <angle> <x> <y> <z>
#include "Camera.h"
#include "ChooserLayout.h"
#include "Layout.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
  if (argc != 3 && argc != 9) {
    std::fprintf(stderr, "usage: e2e_layout <width> <height> [<player column> <player row> <angle> <x> <y> <z>]\n");
    return 2;
  }
  const int W = std::atoi(argv[1]), H = std::atoi(argv[2]);
  if (argc == 9) {
    // The player stands 0.15 into its cell, a 0.7 cube.
    const TBox Player{std::atof(argv[3]) + 0.15, std::atof(argv[4]) + 0.15, 0, 0.7, 0.7, 0.7};
    const graph::Camera Cam = graph::FollowCamera(Player, float(std::atof(argv[5])), W, H);
    float X = -1, Y = -1;
    const glm::vec3 Point(float(std::atof(argv[6])), float(std::atof(argv[7])), float(std::atof(argv[8])));
    if (!graph::ProjectToPixel(Cam, Point, W, H, X, Y)) return 1;
    std::printf("POINT_X=%d\nPOINT_Y=%d\n", int(std::lround(X)), int(std::lround(Y)));
    return 0;
  }
  const graph::MenuLayout Menu = graph::LayoutMenu(W, H);
  for (int i = 0; i < graph::MenuItemCount; ++i)
    std::printf("MENU_%d_X=%d\nMENU_%d_Y=%d\n", i, int(std::lround(Menu.Items[i].CentreX())), i,
                int(std::lround(Menu.Items[i].CentreY())));
  const graph::SettingsLayout Page = graph::LayoutSettings(W, H);
  const auto Point = [](const char *Name, const graph::Rect &R) {
    std::printf("%s_X=%d\n%s_Y=%d\n", Name, int(std::lround(R.CentreX())), Name, int(std::lround(R.CentreY())));
  };
  Point("KEYS_NEXT", Page.Rows[graph::rowKeys].Next);
  Point("MODE_NEXT", Page.Rows[graph::rowMode].Next);
  Point("APPLY", Page.Apply);
  const graph::ChooserLayout Chooser = graph::LayoutChooser(W, H);
  Point("CHOOSER_0", Chooser.Rows[0]);
  Point("CHOOSER_1", Chooser.Rows[1]);
  const auto Box = [](const char *Name, const graph::Rect &R) {
    std::printf("%s=\"%d %d %d %d\"\n", Name, int(R.X), int(R.Y), int(R.W), int(R.H));
  };
  Box("TITLE", Menu.Title);
  Box("KEYS_VALUE", Page.Rows[graph::rowKeys].Value);
  return 0;
}
