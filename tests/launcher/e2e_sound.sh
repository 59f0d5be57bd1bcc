#!/usr/bin/env bash
# End to end, the sound: the real Kestrove on an X server of its own, SDL's
# disk audio driver writing what the game plays to a file.
#   e2e_sound.sh <Kestrove> <StageRunDir.cmake> <data dir> <sounds dir> <e2e_layout> <x11close> <artifacts dir> [soak]
# Without "soak": standing still in play is near silence, holding Right into a
# box is heard through the push; and with the dummy driver and with a driver
# that does not exist the game plays on, the latter saying so on one line.
# With "soak": 60 s of play drawn at 15 frames a second, and not one audio
# buffer late.
set -euo pipefail

source "$(dirname "$0")/e2e_lib.sh" e2e_sound "$@"
program=$1 stage=$2 data=$3 sounds=$4 layout=$5 xclose=$6 artifacts=$7 mode=${8:-}
rm -rf "$artifacts"
mkdir -p "$artifacts"

# The disk driver writes 16-bit stereo at 44.1 kHz, 176400 bytes a second, as it plays.
bytes_per_second=176400
capture="$run/capture.raw"
written() { stat -c %s "$capture" 2>/dev/null || echo 0; }
# rms <from byte> <to byte>: the root mean square of the samples between, of 32767.
rms() {
  local from=$(($1 / 4 * 4)) count=$((($2 - $1) / 4 * 4))
  od -An -v -t d2 -w4 -j "$from" -N "$count" "$capture" |
    awk '{ s += $1 * $1 + $2 * $2; n += 2 } END { printf "%.1f\n", n ? sqrt(s / n) : 0 }'
}

cmake -DRUN_DIR="$run" -DDATA_DIR="$data" -DLEVELS_DIR="$run/none" -DPROGRAM="$program" -DSOUNDS_DIR="$sounds" \
      -P "$stage" >/dev/null
[ -s "$run/sounds/scrape.wav" ] || fail "no sounds staged from $sounds"
# 16 cells wide: the player at column 1, a box two cells on, its mark at the far end.
{
  printf '\001\n\020\003\n'
  printf '1111111111111111\n'
  printf '19 2         311\n'
  printf '1111111111111111\n'
} >"$run/push.lvl"
printf 'push.lvl=Push\n' >"$run/maps.ini"
xset r off  # a held key is one press and one release

# start_game <driver> [config lines...]: the game on that SDL audio driver, its window found.
start_game() {
  local driver=$1; shift
  {
    printf '%s\n' FullScreen=0 Mode=1 Cubes=0 3DKeys=0 Maps=maps.ini SaveFile=save.dat Quality=fast MusicVolume=0
    printf '%s\n' "$@"
    grep -E '^(Floor|Box|Wall|Dest|Water|Menu|MenuBack|Step|Scrape|MarkOn|MarkOff|Splash|Bump|Swish|Solved|SetDone|Click|Undo|Music)=' \
      "$data/config.ini"
  } >"$run/config.ini"
  rm -f "$capture"
  (cd "$run" && SDL_AUDIODRIVER=$driver SDL_DISKAUDIOFILE="$capture" exec ./Kestrove >"$run/stdout.txt" 2>"$run/stderr.txt") &
  game_pid=$!
  wait_for 30 "a window captioned Veltrane Kestrove" xdotool search --name '^Veltrane Kestrove$'
  wid=$(xdotool search --name '^Veltrane Kestrove$' | head -1)
  sleep 3
  eval "$(xdotool getwindowgeometry --shell "$wid" | sed 's/^/WIN_/')"
  eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT")"
}
close_game() {
  "$xclose" "$wid"
  wait "$game_pid" || fail "the game ended in failure"
  game_pid=""
}
new_game() {
  click "$MENU_0_X" "$MENU_0_Y"
  xdotool mousemove --sync $((WIN_X + 5)) $((WIN_Y + 5))
  sleep 2
}

if [ "$mode" = soak ]; then
  step "soak: 60 s of play at 15 drawn frames a second"
  start_game disk MaxFPS=15 Pace=60 MusicVolume=3
  new_game
  from=$(written) started=$SECONDS
  for round in $(seq 15); do
    for key in Right Left Up Down; do xdotool keydown $key; sleep 0.5; xdotool keyup $key; sleep 0.5; done
    [ $((round % 5)) = 0 ] && xdotool key z
  done
  seconds=$((SECONDS - started))
  got=$(($(written) - from))
  close_game
  grep -q 'underruns' "$run/stderr.txt" && fail "audio buffers came late: $(grep underruns "$run/stderr.txt")"
  # The disk driver writes as the device plays: the whole time is there.
  [ "$got" -ge $((seconds * bytes_per_second * 9 / 10)) ] ||
    fail "$got bytes of sound in ${seconds}s: the device did not keep up"
  step "soak: ${seconds}s played, $got bytes of sound, no underrun"
  exit 0
fi

step "the push, heard through the disk driver"
start_game disk
new_game
before=$(written)
sleep 1.5
pressed=$(written)
xdotool keydown Right; sleep 1.5
released=$(written)
xdotool keyup Right
sleep 0.5
import -window root "$artifacts/pushed.png"
close_game
cp "$capture" "$artifacts/capture.raw"
quiet=$(rms "$before" "$pressed")
# The first cell is a walk; the push's window begins with the box moving.
push_from=$((pressed + bytes_per_second / 4))
loud=$(rms "$push_from" "$released")
step "standing still: rms $quiet; pushing: rms $loud (of 32767)"
awk -v q="$quiet" 'BEGIN { exit !(q < 30) }' || fail "standing still is not near silence: rms $quiet"
awk -v l="$loud" 'BEGIN { exit !(l > 300) }' || fail "the push was not heard: rms $loud"
# SDL's disk driver announces itself; the game has nothing to say but, on a
# busy machine, how many buffers came late (the soak counts those).
grep -v -e '^CRITICAL: ' -e 'underruns' "$run/stderr.txt" | grep -q . && fail "the game said something on stderr"

step "the dummy driver: silent, nothing said"
start_game dummy
new_game
xdotool keydown Right; sleep 1; xdotool keyup Right
close_game
grep -v underruns "$run/stderr.txt" | grep -q . && fail "the dummy driver is a device: nothing to say"

step "no driver at all: one line, and the game plays"
start_game nonexistent
new_game
xdotool keydown Right; sleep 1; xdotool keyup Right
import -window root "$artifacts/no-driver.png"
close_game
[ "$(grep -c '^Sound: no audio device' "$run/stderr.txt")" = 1 ] || fail "no one line about the missing device"
[ "$(wc -l <"$run/stderr.txt")" = 1 ] || fail "more than that one line on stderr"
step "passed"
