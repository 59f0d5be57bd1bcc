#!/usr/bin/env bash
# The Windows zip played by the keyboard alone, then by the mouse alone, as a
# new player would under Wine. The keys: Down to Settings and Enter; Down to
# the 3D keys and Right turns them on; Enter applies, and the game comes back
# with it in config.ini; L opens the chooser, the arrows pick level 2 and
# Enter plays it, where Right now turns the view; Escape goes back to the menu,
# Down and Enter save it; Up and Enter start a new game. The mouse: a click on
# the first level's box and a click on its mark push it home, and progress.txt
# records the level solved.
#   play_smoke.sh <zip> <x11close> <e2e_layout> <artifacts dir>   (KESTROVE_WINE names Wine)
set -euo pipefail

zip=$1 xclose=$2 layout=$3 artifacts=$4
. "$(dirname "$0")/wine_game.sh"

keys() {  # keys <key>...: each pressed and let go in turn, as a player types
  local key
  for key in "$@"; do xdotool key "$key"; sleep 0.3; done
  sleep 1.5
}
# The field's width in a save: it follows the player's 80 bytes.
save_width() { od -An -t d4 -j 80 -N 4 "$game_dir/save.dat" | tr -d ' '; }
# A point's pixel in the play frame, the view unturned.
pixel_of() {  # pixel_of <player x> <player y> <x> <y> <z>: PX, PY
  eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT" "$1" "$2" 0 "$3" "$4" "$5")"
  PX=$POINT_X PY=$POINT_Y
}

echo "play: the game opens on the menu, the pointer away from it"
# The pointer at the screen's middle would lie on Save, and the keys go on from
# the item under it: at the window's left, off the menu, they start from
# Continue. (With no window manager, the keys go to the window under the pointer.)
xdotool mousemove --sync 20 200
start_game
find_window 120
shot 01-menu

echo "play: the keys alone change a setting, and Enter applies it"
keys Down Down Down Return   # from Continue, highlighted at the start, to Settings
shot 02-settings
keys Down Down Down Down Down Right   # from the display mode to the 3D keys, turned on
shot 03-changed
keys Return
find_window
grep -q '^3DKeys=1' "$game_dir/config.ini" || fail "Enter on the settings page did not write 3DKeys=1 to config.ini"
shot 04-applied

echo "play: the keys alone play level 2 from the chooser, then go back to the menu and save"
keys l
shot 05-chooser
keys Down Down Up Return   # from level 1, highlighted at the start
shot 06-chosen
keys Right   # with the 3D keys applied, it turns the view: no step sideways
shot 06-turned
keys Escape Down Return   # the menu opens on Continue; Save is below it
wait_for 30 "Save by the keys to write save.dat" test -s "$game_dir/save.dat"
shot 07-saved
# Level 2 of the set is 11 cells wide; levels 1 and 3, 8 and 7.
[ "$(save_width)" = 11 ] || fail "the chooser's arrows and Enter did not play level 2"
# A save begins with the player's x: still in its start column 5.
[ "$(od -An -t f8 -N 8 "$game_dir/save.dat" | awk '{ print int($1) }')" = 5 ] ||
  fail "Right walked the player: the game did not come back with the 3D keys applied"

echo "play: the keys alone start a new game"
keys Up Up Return   # from Save to New game: level 1, the view unturned
shot 08-new-game

echo "play: the mouse alone pushes the first level's box onto its mark"
# The corridor: the player at (1,1), the box at (3,1), its mark at (6,1).
pixel_of 1 1 3.5 1.5 0.9
click "$PX" "$PY"
shot 09-box-chosen
pixel_of 1 1 6.5 1.5 0
click "$PX" "$PY"
wait_for 30 "progress.txt next to the program to hold level 1 solved" grep -q "^intro.lvl	1	" "$game_dir/progress.txt"
shot 10-solved

echo "play: a close request ends it with exit status 0"
"$xclose" "$(game_window)"
wait_for_exit
[ "$rc" = 0 ] || fail "exit status $rc after closing, not 0"

echo "play: 5 passed, 0 failed"
