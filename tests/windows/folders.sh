#!/usr/bin/env bash
# The Windows zip where a player's folders and screens put it: unpacked into a
# folder whose name is outside the system's code page (ゲーム) and into one
# whose path is longer than 260 characters, started from another folder, it
# finds its files and opens on the menu; and in full screen, with a window
# that does not start at the screen's origin, a click lands on the item under
# the pointer (Save writes save.dat).
#   folders.sh <zip> <x11close> <e2e_layout> <artifacts dir>   (KESTROVE_WINE names Wine)
set -euo pipefail

zip=$1 xclose=$2 layout=$3 artifacts=$4
. "$(dirname "$0")/wine_game.sh"

# unpack_in <folder>: the zip's Kestrove folder moved into <folder>; game_dir names it.
unpack_in() {
  mkdir -p "$1"
  rm -rf "$1/Kestrove"
  mv "$game_dir" "$1/Kestrove"
  game_dir="$1/Kestrove"
}
start_from_game_dir() {
  (cd "$work" && exec "$wine" "$game_dir/Kestrove.exe" >"$work/stdout.txt" 2>"$work/stderr.txt") &
  game_pid=$!
}
opens_and_closes() {  # opens_and_closes <shot>
  start_from_game_dir
  find_window 120
  shot "$1"
  [ -z "$(error_box)" ] || fail "an Error box over the menu, from $game_dir"
  "$xclose" "$(game_window)"
  wait_for_exit
  [ "$rc" = 0 ] || fail "exit status $rc after closing, not 0"
}

echo "folders: from a folder named ゲーム"
unpack_in "$work/ゲーム"
opens_and_closes 01-japanese

echo "folders: from a path of more than 260 characters"
long="$work"
while [ $(( ${#long} + 2 )) -lt 277 ]; do long="$long/$(printf 'x%.0s' $(seq 40))"; done
unpack_in "$long"
windows_folder="Z:${game_dir//\//\\}"  # as Wine names it: the Unix root is drive Z:
[ ${#windows_folder} -gt 277 ] || fail "the long path is only ${#windows_folder} characters"
opens_and_closes 02-long-path

echo "folders: full screen, the window away from the origin: a click on Save saves"
sed -i 's/^FullScreen=.*/FullScreen=1/; s/^Mode=.*/Mode=3/' "$game_dir/config.ini"
start_from_game_dir
find_window 120
# As a second display would place it: moved on the X server, which Wine tells the game.
xdotool windowmove --sync "$(game_window)" 160 120
find_window
[ "$WIN_X" = 160 ] && [ "$WIN_Y" = 120 ] || fail "the full-screen window did not move away from the origin"
shot 03-full-screen
rm -f "$game_dir/save.dat"
click "$MENU_2_X" "$MENU_2_Y"
wait_for 30 "Save to write save.dat next to the program" test -s "$game_dir/save.dat"
"$xclose" "$(game_window)"
wait_for_exit

echo "folders: 3 passed, 0 failed"
