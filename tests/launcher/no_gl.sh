#!/usr/bin/env bash
# The real Kestrove on a driver that offers no OpenGL 3.3 core (Mesa held to 3.0):
# it starts again on the software rasterizer, which cannot either, then tells the
# player why in a message box captioned Error and on stderr, and ends with status 1.
#   no_gl.sh <Kestrove> <StageRunDir.cmake> <data dir> <levels dir> <x11close>
set -euo pipefail

if [ -z "${KESTROVE_NO_GL_SERVER:-}" ]; then
  export KESTROVE_NO_GL_SERVER=1
  exec "$(dirname "$0")/../with-xvfb" -s 1024x768x24 "$0" "$@"
fi

program=$1 stage=$2 data=$3 levels=$4 xclose=$5
run=$(mktemp -d "${TMPDIR:-/tmp}/kestrove-no-gl-XXXXXX")
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT
fail() {
  echo "no_gl: FAILED: $*" >&2
  [ -s "$run/stderr.txt" ] && { echo "--- the game's stderr:" >&2; cat "$run/stderr.txt" >&2; }
  exit 1
}

cmake -DRUN_DIR="$run" -DDATA_DIR="$data" -DLEVELS_DIR="$levels" -DPROGRAM="$program" -P "$stage"
unset LIBGL_ALWAYS_SOFTWARE KESTROVE_NO_ERROR_BOX
(cd "$run" && MESA_GL_VERSION_OVERRIDE=3.0 exec ./Kestrove >"$run/stdout.txt" 2>"$run/stderr.txt") &
game_pid=$!

# Its title is UTF-8 text, which xdotool's name search does not read.
error_box() { xwininfo -root -tree | awk '$2 == "\"Error\":" { print $1; exit }'; }
for _ in $(seq 120); do
  [ -n "$(error_box)" ] && break
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended without a message box"
  sleep 0.5
done
box=$(error_box)
[ -n "$box" ] || fail "waited 60s for a message box captioned Error"
"$xclose" "$box"
rc=0
wait "$game_pid" || rc=$?
game_pid=""
[ "$rc" = 1 ] || fail "exit status $rc, not 1"
grep -q "starting again on Mesa's software rasterizer" "$run/stderr.txt" || fail "no word of the software rasterizer"
[ "$(grep -c "starting again" "$run/stderr.txt")" = 1 ] || fail "started again more than once"
grep -q "cannot draw: .*OpenGL 3.3" "$run/stderr.txt" || fail "no reason on stderr"
echo "no_gl: the player was told why, and the program ended with status 1"
