#!/usr/bin/env bash
# The Windows zip as a player meets it: unpacked into a folder of its own, in a
# fresh Wine prefix with nothing else installed, started from another folder.
# It opens on the menu, a close request ends it with exit status 0, and without
# its config.ini it shows the "Error" box and ends with the error's number.
#   zip_smoke.sh <zip> <x11close> <artifacts dir>      (KESTROVE_WINE names Wine)
set -euo pipefail

if [ -z "${KESTROVE_ZIP_SERVER:-}" ]; then
  # A server of our own: other tests' windows stay out of the screenshots.
  export KESTROVE_ZIP_SERVER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

zip=$1 xclose=$2 artifacts=$3
wine=${KESTROVE_WINE:-wine64}
wineserver="$(dirname "$(command -v "$wine")")/wineserver"
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrove-zip-XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LIBGL_ALWAYS_SOFTWARE=1
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "zip: FAILED: $*" >&2
  import -window root "$artifacts/failure.png" 2>/dev/null || true
  [ -s "$work/stderr.txt" ] && { echo "--- the game's stderr:" >&2; cat "$work/stderr.txt" >&2; }
  exit 1
}
wait_for() {  # wait_for <seconds> <what> <command...>
  local limit=$1 what=$2
  shift 2
  for _ in $(seq $((limit * 4))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.25; done
  fail "waited ${limit}s: $what"
}
game_window() { xdotool search --name '^Veltrane Kestrove$' | head -1; }
error_box() { xwininfo -root -tree | awk '$2 == "\"Error\":" { print $1; exit }'; }
start_game() {  # from a folder that is not the game's
  (cd "$work" && exec "$wine" "$work/unpacked/Kestrove/Kestrove.exe" >"$work/stdout.txt" 2>"$work/stderr.txt") &
  game_pid=$!
}
wait_for_exit() {  # the game's exit status in rc
  rc=0
  wait "$game_pid" || rc=$?
  game_pid=""
}

rm -rf "$artifacts"
mkdir -p "$artifacts" "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")

echo "zip: the game opens on the menu in a fresh prefix (the first start makes the prefix)"
start_game
wait_for 120 "a window captioned Veltrane Kestrove" sh -c "[ -n \"\$(xdotool search --name '^Veltrane Kestrove$')\" ]"
sleep 5
import -window root "$artifacts/menu.png"
[ -z "$(error_box)" ] || fail "an Error box over the menu"

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

echo "zip: 3 passed, 0 failed"
