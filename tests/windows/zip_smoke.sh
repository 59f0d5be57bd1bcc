#!/usr/bin/env bash
# The Windows zip as a player meets it: unpacked into a folder of its own, in a
# fresh Wine prefix with nothing else installed, started from another folder.
# It opens on the menu; New game; a held arrow moves the player (on the screen
# and in the save, which lands next to the program); Escape; Apply of a setting
# keeps the game; undo and the level chooser work with the system's own key
# messages; a close request ends it with exit status 0; and without its
# config.ini it shows the "Error" box and ends with the error's number.
#   zip_smoke.sh <zip> <x11close> <e2e_layout> <artifacts dir>   (KESTROVE_WINE names Wine)
set -euo pipefail

zip=$1 xclose=$2 layout=$3 artifacts=$4
. "$(dirname "$0")/wine_game.sh"

echo "zip: the game opens on the menu in a fresh prefix (the first start makes the prefix)"
start_game
find_window 120
point 5 5
shot 01-menu
[ -z "$(error_box)" ] || fail "an Error box over the menu"

echo "zip: New game, Escape, and held Right walks the player along the corridor"
click "$MENU_0_X" "$MENU_0_Y"
shot 02-play
xdotool key Escape
sleep 2
save_now start.sav
click "$MENU_1_X" "$MENU_1_Y"
xdotool keydown Right
sleep 1
xdotool keyup Right
sleep 1
shot 03-moved
xdotool key Escape
sleep 2
save_now moved.sav
[ "$(player_place start.sav)" != "$(player_place moved.sav)" ] || fail "holding Right left the player where it was"

echo "zip: Apply of a setting keeps the game"
click "$MENU_4_X" "$MENU_4_Y"
shot 04-settings
click "$APPLY_X" "$APPLY_Y"
find_window
save_now applied.sav
cmp -s "$work/moved.sav" "$work/applied.sav" || fail "the game did not come back as it was before Apply"
shot 05-after-apply

echo "zip: undo takes back a step, and the level chooser starts a level"
click "$MENU_1_X" "$MENU_1_Y"
xdotool keydown Up  # against the corridor's wall: a step that only turns the player
sleep 1
xdotool keyup Up
sleep 1
xdotool key Escape
sleep 2
save_now turned.sav
same_world applied.sav turned.sav && fail "Up against the wall changed nothing to undo"
click "$MENU_1_X" "$MENU_1_Y"
xdotool key z
sleep 1.5
xdotool key Escape
sleep 2
save_now undone.sav
same_world applied.sav undone.sav || fail "Z did not give the world back as it was before the step"
xdotool key l
sleep 2
shot 06-chooser
click "$CHOOSER_0_X" "$CHOOSER_0_Y"
xdotool key Escape
sleep 2
save_now chosen.sav
# The field's width follows the player: level 1 of the set is 8 cells wide.
[ "$(od -An -t d4 -j 80 -N 4 "$work/chosen.sav" | tr -d ' ')" = 8 ] || fail "the chooser did not start level 1"
grep -q "^intro.lvl	1	" "$game_dir/progress.txt" || fail "progress.txt next to the program does not hold the solved level 1"

echo "zip: a close request ends it with exit status 0"
"$xclose" "$(game_window)"
wait_for_exit
[ "$rc" = 0 ] || fail "exit status $rc after closing, not 0"
[ ! -e "$work/config.ini" ] || fail "config.ini was written in the folder it was started from"

echo "zip: without config.ini the Error box, then exit status 2"
rm "$work/unpacked/Kestrove/config.ini"
start_game
wait_for 60 "a message box captioned Error" sh -c "xwininfo -root -tree | grep -q '\"Error\":'"
sleep 1
import -window root "$artifacts/missing-config.png"
"$xclose" "$(error_box)"
wait_for_exit
[ "$rc" = 2 ] || fail "exit status $rc without config.ini, not 2"
grep -q '^Runtime error 2' "$work/stderr.txt" || fail "no 'Runtime error 2' on stderr"

echo "zip: 6 passed, 0 failed"
