#!/usr/bin/env bash
# A game controller on Windows: the zip in a fresh Wine prefix, with the
# stand-in xinput1_4.dll beside the program (picked over Wine's own by
# WINEDLLOVERRIDES), its pad played from a script written as the test goes.
# The pad alone plays: the d-pad moves the menu's highlight and A picks the
# item (New game, Save, Continue), Start goes to the menu, the stick walks the
# player, the d-pad turns it, B goes back to the game from the menu and undoes
# the step in play; then, with every XInput DLL switched off, the game still
# opens and closes cleanly.
#   pad_smoke.sh <zip> <xinput1_4.dll> <x11close> <e2e_layout> <artifacts dir>
set -euo pipefail
zip=$1 standin=$2 xclose=$3 layout=$4 artifacts=$5
. "$(dirname "$0")/wine_game.sh"

cp "$standin" "$game_dir/xinput1_4.dll"
script="$game_dir/xinput-script.txt"
plays=0
# play <line>...: the pad plays those lines of the stand-in's script, then holds
# nothing; each call a script of its own (the stand-in replays a script when
# its text changes).
play() {
  plays=$((plays + 1))
  { printf '# %d\n' "$plays"; printf '%s\n' "$@"; } >"$script.new"
  mv "$script.new" "$script"
  local ms=0 line
  for line in "$@"; do ms=$((ms + ${line%% *})); done
  sleep "$(awk "BEGIN { print $ms / 1000 + 1.5 }")"
}
pad() { play "$*"; }   # pad <ms> <held...>: the pad holds that for that long
press() {              # press <button>...: each pressed and let go in turn
  local lines=() button
  for button in "$@"; do lines+=("200 $button" "200"); done
  play "${lines[@]}"
}
# The menu opens from play with Continue highlighted; Save is the item below it.
save_by_pad() {  # save_by_pad <copy>: Start, then Save picked, its file kept as <copy>
  rm -f "$game_dir/save.dat"
  press START   # alone: what comes before the menu's first frame is play's
  press DOWN A
  wait_for 30 "Save to write save.dat next to the program" test -s "$game_dir/save.dat"
  cp "$game_dir/save.dat" "$work/$1"
}
resume() { press UP A; }   # from Save, highlighted after saving, up to Continue

echo "pad: the stand-in pad is the system's XInput; Up and A pick New game"
export WINEDLLOVERRIDES="mscoree,mshtml=;xinput1_4=n"
start_game
find_window 120
point 5 5   # the pointer off the menu: the pad's highlight alone picks
shot 01-menu
press UP A
shot 02-play
save_by_pad start.sav
shot 03-saved

echo "pad: the left stick pushed right walks the player along the corridor"
resume
pad 1000 LX=32767
shot 04-walked
save_by_pad walked.sav
[ "$(player_place start.sav)" != "$(player_place walked.sav)" ] || fail "the stick left the player where it was"

echo "pad: B goes back to the game from the menu; the d-pad's Up against the wall is a step"
press B
pad 1000 UP
save_by_pad turned.sav
same_world walked.sav turned.sav && fail "Up against the wall changed nothing to undo"

echo "pad: B in play undoes the step"
resume
press B
save_by_pad undone.sav
same_world walked.sav undone.sav || fail "B did not give the world back as it was before the step"

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

echo "pad: 5 passed, 0 failed"
