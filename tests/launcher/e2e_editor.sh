#!/usr/bin/env bash
# End to end, the level editor: the real Kestrove on an X server of its own,
# software GL. A new level is made with the mouse in the near view (a player,
# a box, its mark, a line of wall dragged), titled, test-played to a solve,
# saved, and found in the chooser, which starts it: the game's save then names
# the player's own set. The saved source must be the one written below.
#   e2e_editor.sh <Kestrove> <StageRunDir.cmake> <data dir> <e2e_layout> <x11close> <kestrove-levels> <artifacts dir>
set -euo pipefail

source "$(dirname "$0")/e2e_lib.sh" e2e_editor "$@"
program=$1 stage=$2 data=$3 layout=$4 xclose=$5 levels=$6 artifacts=$7
rm -rf "$artifacts"
mkdir -p "$artifacts"
# Moves, then a pause for the game to see the pointer before and after the click.
to() { xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2)); sleep 0.3; }
click() { to "$1" "$2"; xdotool click 1; sleep 0.3; }
# The pixel of a cell's middle on the floor, in the near view from cell (4,3), facing up the columns.
cell() { eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT" 4 3 0 "$1.5" "$2.5" 0)"; }
key() { xdotool key "$@"; sleep 0.3; }

cmake -DRUN_DIR="$run" -DDATA_DIR="$data" -DLEVELS_DIR="$run/none" -DPROGRAM="$program" -P "$stage" >/dev/null
printf '\001\n\003\003\n111\n192\n131\n' >"$run/first.lvl"
printf 'first.lvl=First\n' >"$run/maps.ini"
cat >"$run/config.ini" <<CONFIG
FullScreen=0
Mode=1
Cubes=0
3DKeys=1
Maps=maps.ini
SaveFile=save.dat
Floor=textures/floor.png
Box=textures/box.png
Wall=textures/wall.png
Dest=textures/dest.png
Water=textures/water.png
Menu=textures/menu.png
MenuBack=textures/menuback.png
CONFIG
xset r off  # a held key is one press and one release

step "starting the game"
(cd "$run" && exec ./Kestrove >"$run/stdout.txt" 2>"$run/stderr.txt") &
game_pid=$!
wait_for 30 "a window captioned Veltrane Kestrove" xdotool search --name '^Veltrane Kestrove$'
wid=$(xdotool search --name '^Veltrane Kestrove$' | head -1)
sleep 3
eval "$(xdotool getwindowgeometry --shell "$wid" | sed 's/^/WIN_/')"
to 5 5
key l
key n
sleep 1
import -window root "$artifacts/new-room.png"
key Tab  # the near view, behind the room's middle
sleep 2
step "painting"
# The far cells first: a box or wall standing nearer would hide their floor.
key 3; cell 4 5; click "$POINT_X" "$POINT_Y"
key 4; cell 4 4; click "$POINT_X" "$POINT_Y"
key 7; cell 4 3; click "$POINT_X" "$POINT_Y"
key 1; cell 2 5; to "$POINT_X" "$POINT_Y"
xdotool mousedown 1; sleep 0.3
cell 2 4; to "$POINT_X" "$POINT_Y"
xdotool mouseup 1; sleep 0.3
key t; xdotool type --delay 80 "tiny"; key Return
sleep 1
import -window root "$artifacts/painted.png"

step "test play"
key p
sleep 1.5
xdotool keydown Up; sleep 1.5; xdotool keyup Up
sleep 2
import -window root "$artifacts/after-test-play.png"
key s
sleep 1
import -window root "$artifacts/saved.png"
test -s "$run/my-levels.lvl" || fail "no my-levels.lvl after S"
expected=$'Set: My levels\n\nTitle: tiny\n#########\n#-#-.---#\n#-#-$---#\n#---@---#\n#-------#\n#-------#\n#########'
[ "$(cat "$run/my-levels.txt")" = "$expected" ] || fail "the saved source is $(cat "$run/my-levels.txt")"
grep -qx 'my-levels.lvl=My levels' "$run/maps.ini" || fail "maps.ini does not name the set"
"$levels" check "$run/my-levels.lvl" >"$artifacts/check.txt" || fail "kestrove-levels check: $(cat "$artifacts/check.txt")"
"$levels" unpack "$run/my-levels.lvl" "$run/unpacked.txt" >/dev/null || fail "kestrove-levels unpack"
cmp -s "$run/unpacked.txt" "$run/my-levels.txt" || fail "unpacked, the set is not its source"

step "the chooser"
key Escape
sleep 1
import -window root "$artifacts/chooser.png"
eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT")"
click "$CHOOSER_0_X" "$CHOOSER_0_Y"
sleep 2
import -window root "$artifacts/playing-own-level.png"
to 5 5
key Escape
sleep 1
eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT")"
click "$MENU_2_X" "$MENU_2_Y"
wait_for 30 "the menu's Save to write save.dat" test -s "$run/save.dat"
grep -q 'my-levels.lvl' "$run/save.dat" || fail "the level started from the chooser is not the saved one"
"$xclose" "$wid"
wait "$game_pid" || true
game_pid=""
step "passed"
