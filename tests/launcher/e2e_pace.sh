#!/usr/bin/env bash
# End to end, the game's pace: the real Kestrove on an X server of its own,
# software GL, Right held for 1.5 s in a 62-cell corridor on each quality tier.
# The walks must agree within 20% and both be near 6 cells a second.
#   e2e_pace.sh <Kestrove> <StageRunDir.cmake> <data dir> <e2e_layout> <x11close> <artifacts dir>
# With KESTROVE_PACE_CPU=1 it also prints the processor use of the game (in the
# menu and in play, 10 s each) for docs/performance.md; KESTROVE_PACE_EXTRA holds
# further config.ini lines (e.g. "Pace=0" to count drawn frames instead).
set -euo pipefail

source "$(dirname "$0")/e2e_lib.sh" e2e_pace "$@"
program=$1 stage=$2 data=$3 layout=$4 xclose=$5 artifacts=$6
rm -rf "$artifacts"
mkdir -p "$artifacts"
# The processor seconds (user and system) the game has used so far.
cpu_seconds() { awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$game_pid/stat"; }
cpu_share() {  # cpu_share <seconds>: the game's processor use over that long, in % of one core
  local before after
  before=$(cpu_seconds); sleep "$1"; after=$(cpu_seconds)
  awk -v a="$before" -v b="$after" -v s="$1" 'BEGIN { printf "%.0f", (b - a) * 100 / s }'
}

cmake -DRUN_DIR="$run" -DDATA_DIR="$data" -DLEVELS_DIR="$run/none" -DPROGRAM="$program" -P "$stage" >/dev/null
# A corridor of 62 open cells, the player at its west end; the box and its mark out of the way above.
{
  printf '\001\n\100\004\n'
  printf '1%.0s' $(seq 64); printf '\n'
  printf '123'; printf ' %.0s' $(seq 60); printf '1\n'
  printf '19'; printf ' %.0s' $(seq 61); printf '1\n'
  printf '1%.0s' $(seq 64); printf '\n'
} >"$run/corridor.lvl"
printf 'corridor.lvl=Corridor\n' >"$run/maps.ini"
xset r off  # a held key is one press and one release

# Plays one tier: the cells walked, on stdout's last line.
walk_on_tier() {
  local tier=$1
  cat >"$run/config.ini" <<CONFIG
FullScreen=0
Mode=1
Cubes=0
3DKeys=0
Maps=maps.ini
SaveFile=save.dat
Floor=textures/floor.png
Box=textures/box.png
Wall=textures/wall.png
Dest=textures/dest.png
Water=textures/water.png
Menu=textures/menu.png
MenuBack=textures/menuback.png
Quality=$tier
${KESTROVE_PACE_EXTRA:-}
CONFIG
  rm -f "$run/save.dat"
  (cd "$run" && exec ./Kestrove >"$run/stdout.txt" 2>"$run/stderr.txt") &
  game_pid=$!
  wait_for 30 "a window captioned Veltrane Kestrove" xdotool search --name '^Veltrane Kestrove$'
  local wid
  wid=$(xdotool search --name '^Veltrane Kestrove$' | head -1)
  sleep 3
  eval "$(xdotool getwindowgeometry --shell "$wid" | sed 's/^/WIN_/')"
  eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT")"
  xdotool mousemove --sync $((WIN_X + 5)) $((WIN_Y + 5))
  [ "${KESTROVE_PACE_CPU:-}" = 1 ] && echo "cpu $tier menu $(cpu_share 10)%" >&2
  click "$MENU_0_X" "$MENU_0_Y"
  sleep 2
  xdotool keydown Right; sleep 1.5; xdotool keyup Right
  sleep 0.5
  import -window root "$artifacts/walked-$tier.png"
  if [ "${KESTROVE_PACE_CPU:-}" = 1 ]; then
    xdotool keydown Up  # walking into the wall: play frames, the player staying put
    echo "cpu $tier play $(cpu_share 10)%" >&2
    xdotool keyup Up
  fi
  xdotool key Escape
  sleep 1
  click "$MENU_2_X" "$MENU_2_Y"
  wait_for 30 "the menu's Save to write save.dat ($tier)" test -s "$run/save.dat"
  sleep 0.5
  "$xclose" "$wid"
  wait "$game_pid" || true
  game_pid=""
  # The player's box starts at x = 1.15; its x is the save's first 8 bytes.
  od -An -t f8 -N 8 "$run/save.dat" | awk '{ printf "%.2f\n", $1 - 1.15 }'
}

step "fast tier"
fast=$(walk_on_tier fast | tail -1)
step "fast tier: $fast cells in 1.5 s"
step "full tier"
full=$(walk_on_tier full | tail -1)
step "full tier: $full cells in 1.5 s"

# 6 cells a second for 1.5 s is 9 cells; a press and a release each seen a frame late or early.
awk -v a="$fast" -v b="$full" 'BEGIN {
  lo = a < b ? a : b; hi = a < b ? b : a
  if (lo <= 0 || (hi - lo) / hi > 0.2) exit 1
  if (a < 7 || a > 11 || b < 7 || b > 11) exit 1
}' || fail "the tiers walked $fast and $full cells in 1.5 s: not within 20% of each other, or not near 9"
step "passed"
