#!/usr/bin/env bash
# The Windows zip's sound under Wine: the sounds are in it, and the game starts,
# plays and ends cleanly with Wine's own audio (whatever device Wine finds) and
# with Wine's audio drivers turned off, saying so then on one line.
#   zip_sound.sh <zip> <x11close> <e2e_layout> <artifacts dir>   (KESTROVE_WINE names Wine)
set -euo pipefail

zip=$1 xclose=$2 layout=$3 artifacts=$4
. "$(dirname "$0")/wine_game.sh"

for name in step scrape markon markoff splash bump swish solved setdone click undo music; do
  [ -s "$game_dir/sounds/$name.wav" ] || fail "the zip has no sounds/$name.wav"
done

# play_and_close <label>: New game, Right held, saved; the player moved; exit status 0.
play_and_close() {
  start_game
  find_window 120
  click "$MENU_0_X" "$MENU_0_Y"
  xdotool key Escape; sleep 2
  save_now "$1-start.sav"
  click "$MENU_1_X" "$MENU_1_Y"
  xdotool keydown Right; sleep 1; xdotool keyup Right
  xdotool key Escape; sleep 2
  save_now "$1-moved.sav"
  shot "$1"
  [ "$(player_place "$1-start.sav")" != "$(player_place "$1-moved.sav")" ] || fail "$1: Right did not move the player"
  "$xclose" "$(game_window)"
  wait_for_exit
  [ "$rc" = 0 ] || fail "$1: exit status $rc, not 0"
}

echo "zip sound: with Wine's audio"
play_and_close wine-audio
# Wine's audio finds a device or not (a machine without one says so once; Wine's
# own libraries may add their lines).
[ "$(grep -c '^Sound:' "$work/stderr.txt")" -le 1 ] || fail "wine-audio: more than one line of the game's sound"

echo "zip sound: with Wine's audio drivers off"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv,wineoss.drv,winecoreaudio.drv="
play_and_close no-audio
[ "$(grep -c '^Sound: no audio device' "$work/stderr.txt")" = 1 ] || fail "no-audio: not one line about the device"
echo "zip sound: 2 passed, 0 failed"
