#!/usr/bin/env bash
# End to end, the mouse: the real Kestrove on an X server of its own, software
# GL. In a level of two boxes, a click on the box ahead chooses it, a click on
# the mark two cells beyond pushes it there (the player walks up to it and
# pushes twice), Save from the menu, and the save shows that box on its mark.
#   e2e_mouse.sh <Kestrove> <StageRunDir.cmake> <data dir> <e2e_layout> <x11close> <artifacts dir>
set -euo pipefail

source "$(dirname "$0")/e2e_lib.sh" e2e_mouse "$@"
program=$1 stage=$2 data=$3 layout=$4 xclose=$5 artifacts=$6
rm -rf "$artifacts"
mkdir -p "$artifacts"

cmake -DRUN_DIR="$run" -DDATA_DIR="$data" -DLEVELS_DIR="$run/none" -DPROGRAM="$program" -P "$stage" >/dev/null
# Five wide, seven high. The player at (2,1) faces up the column; the box at
# (2,3) has its mark at (2,5); a second box at (3,2) keeps the level unsolved.
{
  printf '\001\n\005\007\n'
  printf '11111\n1 3 1\n1  31\n1 2 1\n1  21\n1 9 1\n11111\n'
} >"$run/mouse.lvl"
printf 'mouse.lvl=Mouse\n' >"$run/maps.ini"
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

step "starting the game"
(cd "$run" && exec ./Kestrove >"$run/stdout.txt" 2>"$run/stderr.txt") &
game_pid=$!
wait_for 30 "a window captioned Veltrane Kestrove" xdotool search --name '^Veltrane Kestrove$'
wid=$(xdotool search --name '^Veltrane Kestrove$' | head -1)
sleep 3
eval "$(xdotool getwindowgeometry --shell "$wid" | sed 's/^/WIN_/')"
eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT")"
click "$MENU_0_X" "$MENU_0_Y"
sleep 2

# The box's top and the mark's middle, as the play frame's camera shows them.
eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT" 2 1 0 2.5 3.5 0.9)"
box_x=$POINT_X box_y=$POINT_Y
eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT" 2 1 0 2.5 5.5 0)"
mark_x=$POINT_X mark_y=$POINT_Y
step "clicking the box at ($box_x,$box_y)"
click "$box_x" "$box_y"
sleep 1
import -window root "$artifacts/box-chosen.png"
step "clicking its mark at ($mark_x,$mark_y)"
click "$mark_x" "$mark_y"
sleep 4
import -window root "$artifacts/box-pushed.png"
xdotool mousemove --sync $((WIN_X + 5)) $((WIN_Y + 5))
xdotool key Escape
sleep 1
click "$MENU_2_X" "$MENU_2_Y"
wait_for 30 "the menu's Save to write save.dat" test -s "$run/save.dat"
sleep 0.5
"$xclose" "$wid"
wait "$game_pid" || true
game_pid=""

# The save: 80 bytes of player, the field's width and height, the level file's
# name (its length first), the object count, then 88 bytes an object: its kind,
# its box from byte 8 (x, y, z, ...), its mark at byte 80.
python3 - "$run/save.dat" <<'PY' || fail "the save does not show the box on its mark"
import struct, sys
data = open(sys.argv[1], 'rb').read()
name = struct.unpack_from('<i', data, 88)[0]
count = struct.unpack_from('<i', data, 92 + name)[0]
home = False
for i in range(count):
    at = 96 + name + 88 * i
    kind = data[at]
    x, y = struct.unpack_from('<dd', data, at + 8)
    on = struct.unpack_from('<i', data, at + 80)[0]
    if kind == 2:
        print("e2e_mouse: a box at (%.2f, %.2f), on a mark: %d" % (x, y, on))
        if abs(x - 2.05) < 0.06 and abs(y - 5.05) < 0.06 and on == 1:
            home = True
sys.exit(0 if home else 1)
PY
step "passed"
