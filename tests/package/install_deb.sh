#!/usr/bin/env bash
# The Debian package installed, played and purged as on a player's system:
# apt-get installs it, `kestrove` opens the game's window, the player's files
# appear under $XDG_DATA_HOME/kestrove, and the purge leaves none of the
# package's files and all of the player's.
# It changes the system, so it runs only where the system is thrown away after:
# CI (CI=true, as root, in a disposable machine). Elsewhere it is skipped.
#   install_deb.sh <folder with kestrove_*_amd64.deb> <x11close> <artifacts folder>
set -euo pipefail

if [ "${CI:-}" != true ] || [ "$(id -u)" != 0 ]; then
  echo "install_deb: skipped: it installs into the system, so it runs only in CI (CI=true, as root)"
  exit 77
fi
if [ -z "${KESTROVE_INSTALL_SERVER:-}" ]; then
  export KESTROVE_INSTALL_SERVER=1
  exec "$(dirname "$0")/../with-xvfb" -s 1024x768x24 "$0" "$@"
fi

debs=("$1"/kestrove_*_amd64.deb) xclose=$2 artifacts=$3
[ -f "${debs[0]}" ] || { echo "install_deb: FAILED: no package in $1" >&2; exit 1; }
deb=$(readlink -f "${debs[0]}")
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrove-deb-XXXXXX")
pid="" installed=""
fail() { echo "install_deb: FAILED: $*" >&2; [ -f "$work/out.txt" ] && cat "$work/out.txt" >&2; exit 1; }
# An installed kestrove is someone's: this test neither replaces nor removes it.
if dpkg-query -W -f='${Status}' kestrove 2>/dev/null | grep -q 'ok installed'; then
  rm -rf "$work"
  fail "kestrove is already installed on this system; not touching it"
fi
purge() { DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kestrove >"$work/purge.txt" 2>&1; }
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$installed" ] && { purge || dpkg --purge kestrove; }
  rm -rf "$work"
}
trap cleanup EXIT

installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.txt" 2>&1 ||
  { cat "$work/apt.txt" >&2; fail "apt-get install $deb"; }
dpkg -L kestrove >"$work/files"

# The player starts the game: the command from the desktop entry, in a fresh home.
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" LIBGL_ALWAYS_SOFTWARE=1
mkdir -p "$HOME"
entry=$(grep -m1 '^/usr/share/applications/.*\.desktop$' "$work/files") || fail "the package installed no desktop entry"
command=$(sed -n 's/^Exec=//p' "$entry")
[ "$command" = kestrove ] && [ -x /usr/games/kestrove ] || fail "the desktop entry's Exec=$command is not /usr/games/kestrove"
cd "$HOME"
PATH="/usr/games:$PATH" "$command" >"$work/out.txt" 2>&1 &
pid=$!
for _ in $(seq 120); do
  xdotool search --name '^Veltrane Kestrove$' >/dev/null 2>&1 && break
  kill -0 "$pid" 2>/dev/null || fail "the game ended before its window showed"
  sleep 0.5
done
wid=$(xdotool search --name '^Veltrane Kestrove$' | head -1) || fail "no game window"
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the game ended on the menu"
# The menu is drawn with the installed textures: hundreds of colours, where a
# window left black or a missing texture's flat fill has a handful.
mkdir -p "$artifacts"
import -window "$wid" "$artifacts/menu.png"
colours=$(identify -format %k "$artifacts/menu.png")
[ "$colours" -gt 200 ] || fail "the window shows no menu ($colours colours): $artifacts/menu.png"
"$xclose" "$wid"
rc=0
wait "$pid" || rc=$?
pid=""
[ "$rc" = 0 ] || fail "the game ended with $rc"

data="$XDG_DATA_HOME/kestrove"
for f in config.ini maps.ini textures/floor.png; do [ -e "$data/$f" ] || fail "$f is not in $data"; done
ls "$data/"*.lvl >/dev/null 2>&1 || fail "no level set in $data"
echo 'a save of the player' >"$data/save.dat"
(cd "$data" && find . | sort) >"$work/player-before"

purge || { cat "$work/purge.txt" >&2; fail "apt-get purge kestrove"; }
installed=""
dpkg-query -W -f='${Status}' kestrove 2>/dev/null | grep -q 'ok installed' && fail "kestrove is still installed"
left=""
while read -r path; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  # A folder other packages share (/usr/share/man/man6, ...) stays.
  [ -d "$path" ] && [ ! -L "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1 && continue
  left+=" $path"
done <"$work/files"
[ -z "$left" ] || fail "the purge left:$left"
(cd "$data" && find . | sort) >"$work/player-after"
cmp -s "$work/player-before" "$work/player-after" || fail "the purge changed the player's files"
echo "install_deb: passed"
