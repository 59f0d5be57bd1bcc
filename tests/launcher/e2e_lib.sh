# e2e_lib.sh -- what the launcher's smaller end-to-end scripts share: an X
# server of their own, a run directory gone at the end with the game in it,
# failure reports with a screenshot and the game's stderr, steps, waits and
# clicks in the window (WIN_X, WIN_Y: its corner on the screen). Sourced first:
#   source "$(dirname "$0")/e2e_lib.sh" NAME "$@"
# The script then reads its arguments, artifacts among them, and sets game_pid
# while the game runs.
e2e_name=$1
shift
if [ -z "${KESTROVE_E2E_SERVER:-}" ]; then
  # A server of its own: other tests' windows stay out of the screenshots.
  export KESTROVE_E2E_SERVER=1
  exec "$(dirname "${BASH_SOURCE[0]}")/../with-xvfb" -s 1024x768x24 "$0" "$@"
fi

export LIBGL_ALWAYS_SOFTWARE=1
run=$(mktemp -d "${TMPDIR:-/tmp}/kestrove-$e2e_name-XXXXXX")
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT

fail() {
  echo "$e2e_name: FAILED: $*" >&2
  import -window root "$artifacts/failure.png" 2>/dev/null || true
  [ -s "$run/stderr.txt" ] && { echo "--- the game's stderr:" >&2; cat "$run/stderr.txt" >&2; }
  exit 1
}
step() { echo "$e2e_name: [${SECONDS}s] $*"; }
wait_for() {  # wait_for <seconds> <what> <command...>
  local limit=$1 what=$2; shift 2
  for _ in $(seq $((limit * 4))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.25; done
  fail "waited ${limit}s: $what"
}
click() { xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2)); sleep 0.3; xdotool click 1; }
