#!/usr/bin/env bash
# End to end: the real Kestrove in a freshly staged run directory, on an X server
# of its own, driven as a player would with xdotool. Screenshots go to the
# artifacts directory.
#   e2e.sh <Kestrove> <StageRunDir.cmake> <data dir> <e2e_layout> <x11close> <artifacts dir>
#
# Software GL on a busy machine may draw only a few frames a second, and the game
# takes one window message per frame, so every step waits for its effect (on the
# screen or in a file) before the pointer moves on: the game reads the pointer
# when it works off the click, not when the click was made.
set -euo pipefail

if [ -z "${KESTROVE_E2E_SERVER:-}" ]; then
  # A server of our own: other tests' windows stay out of the screenshots.
  export KESTROVE_E2E_SERVER=1
  exec "$(dirname "$0")/../with-xvfb" -s 1024x768x24 "$0" "$@"
fi

program=$1 stage=$2 data=$3 layout=$4 xclose=$5 artifacts=$6
export LIBGL_ALWAYS_SOFTWARE=1
rm -rf "$artifacts"
mkdir -p "$artifacts"
run=$(mktemp -d "${TMPDIR:-/tmp}/kestrove-e2e-XXXXXX")
game_pid=""
throttle_pid=""
busy_pids=""
cleanup() {
  [ -n "$busy_pids" ] && kill $busy_pids 2>/dev/null || true
  [ -n "$throttle_pid" ] && kill "$throttle_pid" 2>/dev/null || true
  [ -n "$game_pid" ] && { kill -CONT "$game_pid"; kill "$game_pid"; } 2>/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT

fail() {
  echo "e2e: FAILED: $*" >&2
  import -window root "$artifacts/failure.png" 2>/dev/null || true
  local errors=${game_stderr:-$run/stderr.txt}
  [ -s "$errors" ] && { echo "--- the game's stderr:" >&2; cat "$errors" >&2; }
  exit 1
}
step() { echo "e2e: [${SECONDS}s] $*"; }
shot() { import -window root "$artifacts/$1.png"; }
geometry() {  # "X Y W H" within the window -> an ImageMagick geometry on the screen
  local x y w h
  read -r x y w h <<<"$1"
  echo "${w}x${h}+$((WIN_X + x))+$((WIN_Y + y))"
}
crop() { convert "$1" -crop "$(geometry "$2")" +repage "$3"; }    # crop <image> <rect> <out>
grab() { import -window root -crop "$(geometry "$1")" +repage "$2"; }  # grab <rect> <out>: that part of the screen now
# Pixels that differ noticeably between two images of one size.
changed_pixels() { compare -metric AE -fuzz 12% "$1" "$2" null: 2>&1 || true; }
differing() { compare -metric AE -fuzz 3% "$artifacts/$1.png" "$artifacts/$2.png" null: 2>&1 || true; }
title_like_menu() { grab "$TITLE" "$run/title.png"; [ "$(changed_pixels "$run/menu-title.png" "$run/title.png")" -lt "$TITLE_SLACK" ]; }
menu_shown() { title_like_menu; }
menu_gone() { ! title_like_menu; }
keys_value_changed() { grab "$KEYS_VALUE" "$run/keys.png"; [ "$(changed_pixels "$run/settings-keys.png" "$run/keys.png")" -gt 50 ]; }
wait_for_quietly() {  # wait_for_quietly <seconds> <command...>: true once the command is
  local limit=$1; shift
  for _ in $(seq $((limit * 2))); do "$@" && return 0; sleep 0.5; done
  return 1
}
wait_for() {  # wait_for <seconds> <what> <command...>
  local limit=$1 what=$2; shift 2
  for _ in $(seq $((limit * 2))); do "$@" && return 0; sleep 0.5; done
  fail "waited ${limit}s: $what"
}
point() { xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2)); sleep 0.2; }
click() { point "$1" "$2"; xdotool click 1; }
save_now() {  # the menu's save; waits for the file
  rm -f "$run/save.dat"
  click "$MENU_2_X" "$MENU_2_Y"
  wait_for 30 "the menu's Save to write save.dat" test -s "$run/save.dat"
  sleep 0.5
}

step "staging $run"
cmake -DRUN_DIR="$run" -DDATA_DIR="$data" -DLEVELS_DIR="$run/none" -DPROGRAM="$program" -P "$stage" >/dev/null
# An open field with one box, so holding a key always moves the player.
printf '\001\n\011\011\n111111111\n1       1\n1       1\n1       1\n1       1\n1       1\n1   9   1\n1  2 3  1\n111111111\n' \
  > "$run/e2e.lvl"
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

xset r off  # a held key is one press and one release, as a player's would be without repeat
display_before=$(xrandr --current | head -1)

# Its title is UTF-8 text, which xdotool's name search does not read.
error_box() { xwininfo -root -tree | awk '$2 == "\"Error\":" { print $1; exit }'; }
expect_fatal_error() {  # expect_fatal_error <directory> <code> <screenshot>
  (cd "$1" && exec "$program" >"$1/stdout.txt" 2>"$1/stderr.txt") &
  game_pid=$!
  if ! wait_for_quietly 60 sh -c "xwininfo -root -tree | grep -q '\"Error\":'"; then
    kill -0 "$game_pid" 2>/dev/null && echo "e2e: the game is still running" >&2 || echo "e2e: the game has ended" >&2
    echo "--- its stderr:" >&2; cat "$1/stderr.txt" >&2
    fail "waited 60s: a message box captioned Error ($3)"
  fi
  sleep 1
  shot "$3"
  "$xclose" "$(error_box)"
  local rc=0
  wait "$game_pid" || rc=$?
  game_pid=""
  [ "$rc" = "$2" ] || fail "exit code $rc, not $2 ($3)"
  grep -q "^Runtime error $2" "$1/stderr.txt" || fail "no 'Runtime error $2' on stderr: $(cat "$1/stderr.txt")"
}

step "no config.ini: the launcher's fatal error reaches the player"
mkdir "$run/empty"
expect_fatal_error "$run/empty" 2 00-missing-config

step "a missing map set: reported to the player, and the game goes on"
mkdir "$run/nolevel"
printf 'Maps=maps.ini\r\nMode=1\r\n' > "$run/nolevel/config.ini"
printf 'gone.lvl=Missing\n' > "$run/nolevel/maps.ini"
(cd "$run/nolevel" && exec "$program" >"$run/nolevel/stdout.txt" 2>"$run/nolevel/stderr.txt") &
game_pid=$!
game_stderr="$run/nolevel/stderr.txt"
wait_for 60 "a message box captioned Error (00-missing-level)" sh -c "xwininfo -root -tree | grep -q '\"Error\":'"
sleep 1
shot 00-missing-level
"$xclose" "$(error_box)"
wait_for 30 "the game's window after the report" xdotool search --name '^Veltrane Kestrove$'
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on a missing map set"
"$xclose" "$(xdotool search --name '^Veltrane Kestrove$' | head -1)"
rc=0
wait "$game_pid" || rc=$?
game_pid=""
[ "$rc" = 0 ] || fail "exit code $rc after a missing map set, not 0"
grep -q 'The map set "gone.lvl" cannot be opened' "$run/nolevel/stderr.txt" ||
  fail "no report of the missing map set on stderr: $(cat "$run/nolevel/stderr.txt")"
game_stderr=""

# Starts the game in the run directory and waits for its window: game_pid, wid, WIN_*.
start_game() {
  (cd "$run" && exec ./Kestrove >"$run/stdout.txt" 2>"$run/stderr.txt") &
  game_pid=$!
  wait_for 30 "a window captioned Veltrane Kestrove" xdotool search --name '^Veltrane Kestrove$'
  wid=$(xdotool search --name '^Veltrane Kestrove$' | head -1)
  sleep 3
  eval "$(xdotool getwindowgeometry --shell "$wid" | sed 's/^/WIN_/')"
}

step "starting the game"
start_game
[ "$WIN_WIDTH" = 640 ] && [ "$WIN_HEIGHT" = 480 ] || fail "window is ${WIN_WIDTH}x${WIN_HEIGHT}, not 640x480"
eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT")"
read -r _ _ tw th <<<"$TITLE"
TITLE_SLACK=$((tw * th / 5))
point 5 5  # away from every item
shot 01-menu
crop "$artifacts/01-menu.png" "$TITLE" "$run/menu-title.png"

step "new game"
click "$MENU_0_X" "$MENU_0_Y"
wait_for 30 "New game to leave the menu" menu_gone
sleep 1
shot 02-play

step "a save before moving"
xdotool key Escape
wait_for 30 "Escape to show the menu" menu_shown
save_now
cp "$run/save.dat" "$run/before-moving.dat"
click "$MENU_1_X" "$MENU_1_Y"
wait_for 30 "Continue to leave the menu" menu_gone
point 5 5

step "holding the arrow keys"
shot 03-before-keys
xdotool keydown Up; sleep 1.5; shot 04-up; xdotool keyup Up
xdotool keydown Right; sleep 1.5; shot 05-right; xdotool keyup Right
[ "$(differing 03-before-keys 04-up)" -gt 1000 ] || fail "holding Up changed nothing on screen"
[ "$(differing 04-up 05-right)" -gt 1000 ] || fail "holding Right changed nothing on screen"

step "a key held while frames are slow stops with its release"
# The game is stopped three quarters of the time, so it draws a few frames a
# second while the X server's auto-repeat goes on at its own pace.
throttle() {
  (while kill -STOP "$game_pid" 2>/dev/null; do sleep 0.09; kill -CONT "$game_pid"; sleep 0.03; done) &
  throttle_pid=$!
}
unthrottle() {
  kill "$throttle_pid" 2>/dev/null || true
  wait "$throttle_pid" 2>/dev/null || true
  throttle_pid=""
  kill -CONT "$game_pid" 2>/dev/null || true
}
xset r on
xset r rate 250 30
throttle
xdotool keydown Down; sleep 1.5; xdotool keyup Down
sleep 1.5  # the key-up is taken within a frame or two
shot 05a-released
sleep 2.5
shot 05b-later
unthrottle
xset r off
# Strong changes only: the marks' glow and the panel's clock change a little on
# their own, a step of the player changes some hundred thousand pixels.
[ "$(changed_pixels "$artifacts/05a-released.png" "$artifacts/05b-later.png")" -lt 1000 ] ||
  fail "the player walked on after the key was let go"

step "Escape"
xdotool key Escape
wait_for 30 "Escape to show the menu" menu_shown
shot 06-escape-menu
save_now
cmp -s -n 80 "$run/save.dat" "$run/before-moving.dat" && fail "the player did not move"
cp "$run/save.dat" "$run/before-apply.dat"

# Two processes spinning keep both cores busy, as a player's machine may be:
# the restart after Apply then takes long enough for the pointer to race it.
busy() {
  (exec yes >/dev/null) &
  busy_pids=$!
  (exec yes >/dev/null) &
  busy_pids="$busy_pids $!"
}
unbusy() {
  kill $busy_pids 2>/dev/null || true
  wait $busy_pids 2>/dev/null || true
  busy_pids=""
}

step "settings: the key mapping and a window as large as the screen, applied with a long click, both cores busy"
click "$MENU_4_X" "$MENU_4_Y"
wait_for 30 "the settings page to show" menu_gone
point 5 5
sleep 1
shot 07-settings
crop "$artifacts/07-settings.png" "$KEYS_VALUE" "$run/settings-keys.png"
click "$KEYS_NEXT_X" "$KEYS_NEXT_Y"
wait_for 30 "the key mapping to change on the page" keys_value_changed
for _ in 1 2 3 4; do click "$MODE_NEXT_X" "$MODE_NEXT_Y"; sleep 0.5; done  # 640x480 to 1024x768
sleep 1
shot 08-settings-changed
# The game is stopped the moment it has written the applied settings, before
# its restart moves the window; the pointer goes to where Save will be in the
# new window (1024x768 fills the screen: its corner is the screen's) and stays
# there while the window grows and moves under it. The button is still down
# when the menu comes up, over Save: only a press made in the menu may choose;
# the press that follows, without a move, must land on Save.
stop_on_apply() {  # a tight loop without a process per look: the restart follows at once
  local text deadline=$((SECONDS + 30))
  while [ "$SECONDS" -lt "$deadline" ]; do
    text=""
    IFS= read -r -d '' text <"$run/config.ini" || true
    [[ $text == *3DKeys=1* ]] && { kill -STOP "$game_pid"; return 0; }
  done
  return 1
}
eval "$("$layout" 1024 768 | sed 's/^/NEW_/')"
busy
rm -f "$run/save.dat"
point "$APPLY_X" "$APPLY_Y"
stop_on_apply &
stopper=$!
xdotool mousedown 1
wait "$stopper" || fail "waited 30s: the applied settings in config.ini"
xdotool mousemove --sync "$NEW_MENU_2_X" "$NEW_MENU_2_Y"
kill -CONT "$game_pid"
grep -q '^Mode=5' "$run/config.ini" || fail "the display mode was not applied: $(grep '^Mode' "$run/config.ini")"
window_is() {  # window_is <x> <y> <width> <height>
  eval "$(xdotool getwindowgeometry --shell "$wid" | sed 's/^/WIN_/')"
  [ "$WIN_X $WIN_Y $WIN_WIDTH $WIN_HEIGHT" = "$*" ]
}
wait_for 30 "the window at 1024x768 in the screen's corner after the restart" window_is 0 0 1024 768
sleep 1.5
xdotool mouseup 1
sleep 1
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on apply"
[ -e "$run/save.dat" ] && fail "the button held from Apply chose Save after the restart"
eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT")"
read -r _ _ tw th <<<"$TITLE"
TITLE_SLACK=$((tw * th / 5))
shot 09-after-restart
crop "$artifacts/09-after-restart.png" "$TITLE" "$run/menu-title.png"
ls "$run" | grep -qi '^temp\.dat$' && fail "Temp.Dat is left after the restart"
xdotool click 1  # where the pointer stood while the window moved under it
wait_for 30 "a click on Save, right after the restart, to write save.dat" test -s "$run/save.dat"
sleep 0.5
cmp -s "$run/save.dat" "$run/before-apply.dat" || fail "the game did not come back as it was before the restart"
click "$MENU_1_X" "$MENU_1_Y"
wait_for 30 "Continue to show the restored game" menu_gone
unbusy
point 5 5
sleep 1
shot 10-restored-play

step "closing the window"
"$xclose" "$wid"
for _ in $(seq 80); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.5; done
kill -0 "$game_pid" 2>/dev/null && fail "the game did not end after the close request"
rc=0
wait "$game_pid" || rc=$?
game_pid=""
[ "$rc" = 0 ] || fail "exit code $rc after closing the window"
[ "$(xrandr --current | head -1)" = "$display_before" ] || fail "display not restored: $(xrandr --current | head -1)"
step "a save that cannot be written: the box shows over the game's window, then the game ends"
sed -i 's|^SaveFile=.*|SaveFile=no/such/dir/save.dat|' "$run/config.ini"
start_game
click "$MENU_2_X" "$MENU_2_Y"
wait_for 60 "a message box captioned Error (11-save-error)" sh -c "xwininfo -root -tree | grep -q '\"Error\":'"
sleep 1
shot 11-save-error
box=$(error_box)
owner=$(xprop -id "$box" WM_TRANSIENT_FOR | grep -o '0x[0-9a-fA-F]*' || true)
[ -n "$owner" ] && [ "$((owner))" = "$((wid))" ] || fail "the error box is not over the game's window (it belongs to $owner, the game is $wid)"
"$xclose" "$box"
rc=0
wait "$game_pid" || rc=$?
game_pid=""
[ "$rc" = 2 ] || fail "exit code $rc after a save that cannot be written, not 2"
grep -q '^Runtime error 2: "no/such/dir/save.dat"' "$run/stderr.txt" || fail "no 'Runtime error 2' line on stderr"
[ "$(xrandr --current | head -1)" = "$display_before" ] || fail "display not restored: $(xrandr --current | head -1)"

step "what every player expects: the play screen, the level card, undo, the chooser, the overview"
# A set of two levels in a run directory of its own: the first solved by one
# push to the right, the second 60 wide with its mark far from its box, so
# the key still held from the first cannot solve it too, however fast frames come.
player=$run/player
cmake -DRUN_DIR="$player" -DDATA_DIR="$data" -DLEVELS_DIR="$run/none" -DPROGRAM="$program" -P "$stage" >/dev/null
wall=$(printf '1%.0s' $(seq 60)) open="1$(printf ' %.0s' $(seq 58))1"
printf '\002\n\010\003\n11111111\n1 9 23 1\n11111111\n\074\005\n%s\n%s\n1 9 2%52s3 1\n%s\n%s\n' \
  "$wall" "$open" "" "$open" "$wall" > "$player/player.lvl"
printf 'player.lvl=Two pushes\n' > "$player/maps.ini"
sed -e 's|^Maps=.*|Maps=maps.ini|' -e 's|^SaveFile=.*|SaveFile=save.dat|' -e 's|^Mode=.*|Mode=1|' -e 's|^3DKeys=.*|3DKeys=0|' \
  "$run/config.ini" > "$player/config.ini"
run=$player
start_game
eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT")"
read -r _ _ tw th <<<"$TITLE"
TITLE_SLACK=$((tw * th / 5))
point 5 5
sleep 1
shot 12-menu-help
crop "$artifacts/12-menu-help.png" "$TITLE" "$run/menu-title.png"
click "$MENU_0_X" "$MENU_0_Y"
wait_for 30 "New game to leave the menu" menu_gone
point 5 5
sleep 1.5
shot 13-hud
xdotool keydown Right
wait_for 30 "the first level solved and remembered in progress.txt" test -s "$run/progress.txt"
shot 14-level-card
xdotool keyup Right
grep -q "^player.lvl	1	" "$run/progress.txt" || fail "progress.txt does not hold level 1: $(cat "$run/progress.txt")"
[ "$(differing 13-hud 14-level-card)" -gt 1000 ] || fail "no level card on screen"
sleep 2

step "undo gives the world back as it was"
xdotool key Escape
wait_for 30 "Escape to show the menu" menu_shown
save_now
cp "$run/save.dat" "$run/before-step.dat"
click "$MENU_1_X" "$MENU_1_Y"
wait_for 30 "Continue to leave the menu" menu_gone
point 5 5
xdotool keydown Up; sleep 1; xdotool keyup Up  # a walk up to the wall: no push that could end the level
sleep 1
xdotool key z
sleep 1.5
xdotool key Escape
wait_for 30 "Escape to show the menu" menu_shown
save_now
# The level's clock, the save's last 8 bytes, runs on through a step and its undo.
if ! cmp -s <(head -c -8 "$run/save.dat") <(head -c -8 "$run/before-step.dat"); then
  cp "$run/save.dat" "$artifacts/after-undo.dat"; cp "$run/before-step.dat" "$artifacts/before-step.dat"
  fail "undo did not give the world back byte for byte: $(cmp -l "$run/save.dat" "$run/before-step.dat" | head -5 | tr '\n' ' ')"
fi

step "the level chooser starts the second level"
xdotool key l
wait_for 30 "L to show the level chooser" menu_gone
point 5 5
sleep 1.5
shot 15-chooser
click "$CHOOSER_1_X" "$CHOOSER_1_Y"
sleep 2
xdotool key Escape
wait_for 30 "Escape to show the menu" menu_shown
save_now
[ "$(od -An -t d4 -j 80 -N 4 "$run/save.dat" | tr -d ' ')" = 60 ] || fail "the chooser did not start the second level"

step "the overview takes in the whole level"
click "$MENU_1_X" "$MENU_1_Y"
wait_for 30 "Continue to leave the menu" menu_gone
point 5 5
sleep 1
shot 16-before-overview
xdotool keydown Tab; sleep 2.5; shot 17-overview; xdotool keyup Tab
[ "$(differing 16-before-overview 17-overview)" -gt 1000 ] || fail "the overview changed nothing on screen"
"$xclose" "$wid"
for _ in $(seq 80); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.5; done
rc=0
wait "$game_pid" || rc=$?
game_pid=""
[ "$rc" = 0 ] || fail "exit code $rc after closing the window"
run=$(dirname "$player")  # the whole run directory goes when the test ends

step "passed; screenshots in $artifacts"
