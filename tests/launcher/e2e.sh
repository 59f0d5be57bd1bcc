#!/usr/bin/env bash
# End to end: the real Kestrove in a freshly staged run directory, on an X server
# of its own, driven as a player would with xdotool. Screenshots go to the
# artifacts directory.
#   e2e.sh <Kestrove> <StageRunDir.cmake> <data dir> <e2e_layout> <x11close> <artifacts dir>
set -euo pipefail

if [ -z "${KESTROVE_E2E_SERVER:-}" ]; then
  # A server of our own: other tests' windows stay out of the screenshots.
  export KESTROVE_E2E_SERVER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

program=$1 stage=$2 data=$3 layout=$4 xclose=$5 artifacts=$6
export LIBGL_ALWAYS_SOFTWARE=1
rm -rf "$artifacts"
mkdir -p "$artifacts"
run=$(mktemp -d "${TMPDIR:-/tmp}/kestrove-e2e-XXXXXX")
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT

fail() {
  echo "e2e: FAILED: $*" >&2
  import -window root "$artifacts/failure.png" 2>/dev/null || true
  [ -f "$run/stderr.txt" ] && { echo "--- the game's stderr:" >&2; cat "$run/stderr.txt" >&2; }
  exit 1
}
step() { echo "e2e: $*"; }
shot() { import -window root "$artifacts/$1.png"; }
# Number of pixels that differ by more than a little between two screenshots.
differing() { compare -metric AE -fuzz 3% "$artifacts/$1.png" "$artifacts/$2.png" null: 2>&1 || true; }
click() {
  xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2))
  sleep 0.3
  xdotool click 1
  sleep 0.7
}
wait_for() {  # wait_for <seconds> <command...>
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}

step "staging $run"
cmake -DRUN_DIR="$run" -DDATA_DIR="$data" -DLEVELS_DIR="$run/none" -DPROGRAM="$program" -P "$stage" >/dev/null
# An open field with one box, so holding a key always moves the player.
printf '\001\n\011\007\n111111111\n1       1\n1   9   1\n1       1\n1  2 3  1\n1       1\n111111111\n' > "$run/e2e.lvl"
printf 'e2e.lvl=Open field\n' > "$run/maps.ini"
cat > "$run/config.ini" <<'CONFIG'
FullScreen=0
Mode=1
Freq=0
Map=0
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
CONFIG

display_before=$(xrandr --current | head -1)

step "starting the game"
(cd "$run" && exec ./Kestrove >"$run/stdout.txt" 2>"$run/stderr.txt") &
game_pid=$!
wait_for 30 xdotool search --name '^Veltrane Kestrove$' >/dev/null || fail "no window captioned Veltrane Kestrove"
wid=$(xdotool search --name '^Veltrane Kestrove$' | head -1)
sleep 2
eval "$(xdotool getwindowgeometry --shell "$wid" | sed 's/^/WIN_/')"
[ "$WIN_WIDTH" = 640 ] && [ "$WIN_HEIGHT" = 480 ] || fail "window is ${WIN_WIDTH}x${WIN_HEIGHT}, not 640x480"
eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT")"
shot 01-menu

step "new game"
click "$MENU_0_X" "$MENU_0_Y"
shot 02-play
[ "$(differing 01-menu 02-play)" -gt 1000 ] || fail "New game did not leave the menu"

step "a save before moving"
xdotool key Escape; sleep 0.7
click "$MENU_2_X" "$MENU_2_Y"
[ -f "$run/save.dat" ] || fail "Save wrote no save.dat"
cp "$run/save.dat" "$run/before-moving.dat"
click "$MENU_1_X" "$MENU_1_Y"

step "holding the arrow keys"
xdotool keydown Up; sleep 0.6; shot 03-up; xdotool keyup Up
xdotool keydown Right; sleep 0.6; shot 04-right; xdotool keyup Right
sleep 0.3; shot 05-still
[ "$(differing 02-play 03-up)" -gt 1000 ] || fail "holding Up changed nothing on screen"
[ "$(differing 03-up 04-right)" -gt 1000 ] || fail "holding Right changed nothing on screen"

step "Escape"
xdotool key Escape; sleep 0.7
shot 06-escape-menu
click "$MENU_2_X" "$MENU_2_Y"
cmp -s -n 80 "$run/save.dat" "$run/before-moving.dat" && fail "the player did not move"
cp "$run/save.dat" "$run/before-apply.dat"

step "settings: the key mapping, applied"
click "$MENU_4_X" "$MENU_4_Y"
shot 07-settings
click "$KEYS_NEXT_X" "$KEYS_NEXT_Y"
shot 08-settings-changed
click "$APPLY_X" "$APPLY_Y"
sleep 1.5
shot 09-after-restart
grep -q '^3DKeys=1' "$run/config.ini" || fail "the applied key mapping is not in config.ini"
ls "$run" | grep -qi '^temp\.dat$' && fail "Temp.Dat is left after the restart"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on apply"
click "$MENU_2_X" "$MENU_2_Y"
cmp -s "$run/save.dat" "$run/before-apply.dat" || fail "the game did not come back as it was before the restart"
click "$MENU_1_X" "$MENU_1_Y"
shot 10-restored-play

step "closing the window"
"$xclose" "$wid"
rc=0
wait_for 20 sh -c "! kill -0 $game_pid 2>/dev/null" || fail "the game did not end after the close request"
wait "$game_pid" || rc=$?
game_pid=""
[ "$rc" = 0 ] || fail "exit code $rc after closing the window"
[ "$(xrandr --current | head -1)" = "$display_before" ] || fail "display not restored: $(xrandr --current | head -1)"
step "passed; screenshots in $artifacts"
