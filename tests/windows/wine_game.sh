# wine_game.sh -- what the scripts that play the Windows zip under Wine share;
# they source it with their arguments unchanged, having set zip, layout (the
# e2e_layout program) and artifacts. It puts the script on an X server of its
# own (other tests' windows stay out of the screenshots), unpacks the zip into
# a work folder with a fresh prefix, and gives the helpers below.
# KESTROVE_WINE names Wine.

if [ -z "${KESTROVE_ZIP_SERVER:-}" ]; then
  export KESTROVE_ZIP_SERVER=1
  exec "$(dirname "$0")/../with-xvfb" -s 1024x768x24 "$0" "$@"
fi

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
  echo "$(basename "$0" .sh): FAILED: $*" >&2
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
game_dir="$work/unpacked/Kestrove"
shot() { import -window root "$artifacts/$1.png"; }
# The window's place and the menu's layout in it: WIN_*, MENU_*, APPLY_*.
find_window() {
  wait_for "${1:-60}" "a window captioned Veltrane Kestrove" sh -c "[ -n \"\$(xdotool search --name '^Veltrane Kestrove$')\" ]"
  sleep 3
  wid=$(game_window)
  eval "$(xdotool getwindowgeometry --shell "$wid" | sed 's/^/WIN_/')"
  eval "$("$layout" "$WIN_WIDTH" "$WIN_HEIGHT")"
}
point() { xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2)); sleep 0.2; }
click() { point "$1" "$2"; xdotool click 1; sleep 2; }
save_now() {  # save_now <copy>: the menu's Save, its file kept as <copy>
  rm -f "$game_dir/save.dat"
  click "$MENU_2_X" "$MENU_2_Y"
  wait_for 30 "Save to write save.dat next to the program" test -s "$game_dir/save.dat"
  cp "$game_dir/save.dat" "$work/$1"
}
# A save begins with the player's place, x and y as doubles: turning alone is no walk.
player_place() { head -c 16 "$work/$1" | od -An -tx1; }
# Two saves hold the same world: the level's clock, a save's last 8 bytes, runs
# on through a step and its undo.
same_world() { cmp -s <(head -c -8 "$work/$1") <(head -c -8 "$work/$2"); }
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
