#!/usr/bin/env bash
# The installed game: `cmake --install` into a fresh prefix, moved elsewhere (the
# program finds its libraries relative to itself), then started the way a player
# starts it, `kestrove`, on an X server of its own. The player's data directory
# gets the default data; a config.ini already there is kept.
#   install.sh <build dir> <x11close>
set -euo pipefail

if [ -z "${KESTROVE_INSTALL_SERVER:-}" ]; then
  export KESTROVE_INSTALL_SERVER=1
  exec "$(dirname "$0")/../with-xvfb" -s 1024x768x24 "$0" "$@"
fi

build=$1 xclose=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrove-install-XXXXXX")
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "install: FAILED: $*" >&2; [ -f "$work/out.txt" ] && cat "$work/out.txt" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
mv "$work/prefix" "$work/moved"
for f in bin/kestrove lib/games/kestrove/Kestrove lib/games/kestrove/libgame.so lib/games/kestrove/libgraph.so \
         share/kestrove/config.ini \
         share/kestrove/maps.ini share/kestrove/textures/floor.png; do
  [ -e "$work/moved/$f" ] || fail "$f is not installed"
done
ls "$work/moved/share/kestrove/"*.lvl >/dev/null 2>&1 || fail "no level set installed"

# A player who already chose settings: those stay.
export XDG_DATA_HOME="$work/xdg" LIBGL_ALWAYS_SOFTWARE=1
mkdir -p "$XDG_DATA_HOME/kestrove"
{ grep -v '^Mode=' "$work/moved/share/kestrove/config.ini"; printf 'Mode=1\n'; } > "$XDG_DATA_HOME/kestrove/config.ini"
cp "$XDG_DATA_HOME/kestrove/config.ini" "$work/chosen.ini"

# Some coreutils end `cp -n` with status 1 when it skips a file, others warn
# that it is going away: the command must not lean on it.
mkdir "$work/shim"
cat > "$work/shim/cp" <<'SHIM'
#!/bin/sh
for a; do case $a in --no-clobber|-n|-[!-]*n*) echo "cp: -n used" >&2; exit 1;; esac; done
exec /bin/cp "$@"
SHIM
chmod +x "$work/shim/cp"
export PATH="$work/shim:$PATH"

# Starts the game with `kestrove` and waits for its window: pid and wid.
start_game() {
  "$work/moved/bin/kestrove" >"$work/out.txt" 2>&1 &
  pid=$!
  for _ in $(seq 120); do
    xdotool search --name '^Veltrane Kestrove$' >/dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended before its window showed ($1)"
    sleep 0.5
  done
  wid=$(xdotool search --name '^Veltrane Kestrove$' | head -1) || fail "no game window ($1)"
}

cd /
start_game "first start"
sleep 2
eval "$(xdotool getwindowgeometry --shell "$wid" | sed 's/^/WIN_/')"
[ "$WIN_WIDTH" = 640 ] || fail "the player's Mode=1 was not used: window ${WIN_WIDTH}x${WIN_HEIGHT}"
"$xclose" "$wid"
rc=0
wait "$pid" || rc=$?
pid=""
[ "$rc" = 0 ] || fail "exit code $rc"

data="$XDG_DATA_HOME/kestrove"
for f in maps.ini textures/floor.png; do [ -e "$data/$f" ] || fail "$f was not copied to $data"; done
ls "$data/"*.lvl >/dev/null 2>&1 || fail "no level set copied to $data"
cmp -s "$data/config.ini" "$work/chosen.ini" || fail "the player's config.ini was replaced"

# A second start, after the player lost a texture: only that file comes back.
rm "$data/textures/floor.png"
echo 'changed by the player' > "$data/maps.ini.note"
start_game "second start"
"$xclose" "$wid"
rc=0
wait "$pid" || rc=$?
pid=""
[ "$rc" = 0 ] || fail "exit code $rc on the second start"
[ -e "$data/textures/floor.png" ] || fail "a lost default file was not copied again"
cmp -s "$data/config.ini" "$work/chosen.ini" || fail "the player's config.ini was replaced on the second start"
echo "install: passed"
