#!/usr/bin/env bash
# The Windows installer as a player meets it, in a fresh Wine prefix: a silent
# install puts the game in Program Files with its Start-menu shortcut and its
# Apps & Features entry; the shortcut starts the game to the menu; the game
# keeps its settings and saves in %APPDATA%\Kestrove and writes nothing into
# its program folder; a silent uninstall takes every installed file, the
# shortcut and the entry away and leaves the player's files.
#   installer.sh <setup.exe> <x11close> <e2e_layout> <artifacts dir>   (KESTROVE_WINE names Wine)
set -euo pipefail

setup=$1 xclose=$2 layout=$3 artifacts=$4
zip=""
. "$(dirname "$0")/wine_game.sh"

program="$WINEPREFIX/drive_c/Program Files/Kestrove"
shortcut='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Kestrove.lnk'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrove'
listing() { (cd "$program" && find . | sort); }

echo "installer: a silent install (the first start makes the prefix)"
"$wine" "$setup" /S >"$work/setup.txt" 2>&1 || fail "the installer ended with status $?"
for f in Kestrove.exe game.dll graph.dll config.ini maps.ini intro.lvl textures/box.png fonts/DejaVuSans.ttf \
         Kestrove.installed Uninstall.exe; do
  [ -f "$program/$f" ] || fail "the install lacks $f"
done
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrove.lnk" ] || fail "no Start-menu shortcut"
"$wine" reg query "$uninstall_key" /v UninstallString 2>/dev/null | grep -q 'Uninstall.exe' ||
  fail "no uninstaller registered under $uninstall_key"
listing >"$work/installed.txt"

echo "installer: the Start-menu shortcut starts the game to the menu"
(cd "$work" && exec "$wine" start /wait "$shortcut" >"$work/stdout.txt" 2>"$work/stderr.txt") &
game_pid=$!
find_window 120
point 5 5
shot 01-menu
[ -z "$(error_box)" ] || fail "an Error box over the menu"

echo "installer: the settings and a save land in %APPDATA%\\Kestrove"
game_dir=$(find "$WINEPREFIX/drive_c/users" -type d -path '*/AppData/Roaming/Kestrove' | head -1)
[ -n "$game_dir" ] || fail "no folder Kestrove under the player's AppData\\Roaming"
[ -f "$game_dir/config.ini" ] && [ -f "$game_dir/maps.ini" ] || fail "config.ini and maps.ini were not copied to $game_dir"
click "$MENU_0_X" "$MENU_0_Y"
xdotool key Escape
sleep 2
save_now saved.sav
"$xclose" "$(game_window)"
wait_for_exit
# Started through the shortcut, the game is not start's own child: its prefix's
# server ends once the game and the system's helpers have.
timeout 60 "$wineserver" -w || fail "the game did not end on a close request"
listing | diff "$work/installed.txt" - >&2 || fail "the game changed its program folder"

echo "installer: a silent uninstall leaves the program folder empty and the player's files"
"$wine" "$program/Uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller ended with status $?"
# The uninstaller runs on from a copy of itself, so that it can remove its own file.
left_files() { [ -e "$program" ] && find "$program" -type f; }
for _ in $(seq 240); do [ -z "$(left_files)" ] && break; sleep 0.25; done
[ -z "$(left_files)" ] || fail "the uninstall left $(left_files | tr '\n' ' ')"
[ ! -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrove.lnk" ] || fail "the shortcut stayed"
if "$wine" reg query "$uninstall_key" >/dev/null 2>&1; then fail "the uninstall entry stayed"; fi
cmp -s "$game_dir/save.dat" "$work/saved.sav" || fail "the uninstall took the player's save"
[ -f "$game_dir/config.ini" ] || fail "the uninstall took the player's settings"

echo "installer: 4 passed, 0 failed"
