#!/usr/bin/env bash
# A game controller on Windows: the zip in a fresh Wine prefix, with the
# stand-in xinput1_4.dll beside the program (picked over Wine's own by
# WINEDLLOVERRIDES), its pad played from a script written as the test goes.
# A over the menu's items picks them, Start goes to the menu, the stick walks
# the player, the d-pad turns it, B undoes the step; then, with every XInput
# DLL switched off, the game still opens and closes cleanly.
#   pad_smoke.sh <zip> <xinput1_4.dll> <x11close> <e2e_layout> <artifacts dir>
set -euo pipefail
zip=$1 standin=$2 xclose=$3 layout=$4 artifacts=$5
. "$(dirname "$0")/wine_game.sh"

cp "$standin" "$game_dir/xinput1_4.dll"
script="$game_dir/xinput-script.txt"
plays=0
# pad <ms> <held...>: the pad holds that for that long, then nothing; each call
# a script of its own (the stand-in replays a script when its text changes).
pad() {
  plays=$((plays + 1))
  printf '# %d\n%s\n' "$plays" "$*" >"$script.new"
  mv "$script.new" "$script"
  sleep "$(awk "BEGIN { print $1 / 1000 + 1.5 }")"
}
pick() { point "$1" "$2"; pad 200 A; }   # A over a menu item

echo "pad: the stand-in pad is the system's XInput; A picks New game, Start goes to the menu"
export WINEDLLOVERRIDES="mscoree,mshtml=;xinput1_4=n"
start_game
find_window 120
point 5 5
shot 01-menu
pick "$MENU_0_X" "$MENU_0_Y"
shot 02-play
pad 200 START
save_now start.sav

echo "pad: the left stick pushed right walks the player along the corridor"
pick "$MENU_1_X" "$MENU_1_Y"
pad 1000 LX=32767
shot 03-walked
pad 200 START
save_now walked.sav
[ "$(player_place start.sav)" != "$(player_place walked.sav)" ] || fail "the stick left the player where it was"

echo "pad: the d-pad's Up against the wall is a step; B undoes it"
pick "$MENU_1_X" "$MENU_1_Y"
pad 1000 UP
pad 200 START
save_now turned.sav
cmp -s "$work/walked.sav" "$work/turned.sav" && fail "Up against the wall changed nothing to undo"
pick "$MENU_1_X" "$MENU_1_Y"
pad 200 B
pad 200 START
save_now undone.sav
cmp -s "$work/walked.sav" "$work/undone.sav" || fail "B did not give the world back as it was before the step"

echo "pad: a close request ends it with exit status 0"
"$xclose" "$(game_window)"
wait_for_exit
[ "$rc" = 0 ] || fail "exit status $rc after closing, not 0"

echo "pad: with no XInput DLL at all the game still opens and closes"
export WINEDLLOVERRIDES="mscoree,mshtml=;xinput1_4,xinput1_3,xinput9_1_0="
start_game
find_window 60
[ -z "$(error_box)" ] || fail "an Error box without XInput"
"$xclose" "$(game_window)"
wait_for_exit
[ "$rc" = 0 ] || fail "exit status $rc without XInput, not 0"

echo "pad: 4 passed, 0 failed"
