#!/bin/sh
# Files written on Linux read on Windows and the other way round: both builds
# write the same bytes, every reading of either's files says the same, and
# both fail alike on a bad save.
# Usage: roundtrip.sh LINUX_PROGRAM WINDOWS_PROGRAM WINE_PREFIX WORK_DIR
set -eu
linux=$1 windows=$2 prefix=$3 work=$4
wine() { "$(dirname "$0")/wine.sh" "$prefix" "$@"; }
rm -rf "$work"
mkdir -p "$work/linux" "$work/windows"
"$linux" write "$work/linux"
wine "$windows" write "$work/windows"
for f in set.lvl game.sav config.ini; do
  cmp "$work/linux/$f" "$work/windows/$f"
done
"$linux" read "$work/linux" > "$work/linux-reads-linux.txt"
"$linux" read "$work/windows" > "$work/linux-reads-windows.txt"
wine "$windows" read "$work/linux" > "$work/windows-reads-linux.txt"
wine "$windows" read "$work/windows" > "$work/windows-reads-windows.txt"
for reading in linux-reads-windows windows-reads-linux windows-reads-windows; do
  diff "$work/linux-reads-linux.txt" "$work/$reading.txt"
done
grep -q '^\[game.sav\]' "$work/linux-reads-linux.txt"
# A missing save ends the game with ENOENT (2), one cut short with 100; both
# builds say so in the same line.
for case in missing:2 short:100; do
  name=${case%:*} want=${case#*:}
  for system in linux windows; do
    status=0
    if [ $system = linux ]; then "$linux" "$name" "$work/linux" 2> "$work/$system-$name.txt" || status=$?
    else wine "$windows" "$name" "$work/windows" 2> "$work/$system-$name.txt" || status=$?; fi
    [ "$status" = "$want" ] || { echo "$system: a $name save ended with $status, not $want" >&2; exit 1; }
  done
  diff "$work/linux-$name.txt" "$work/windows-$name.txt"
  grep -q "^Runtime error $want: " "$work/linux-$name.txt"
done
echo "set.lvl, game.sav and config.ini agree across Linux and Windows, and so do the errors of bad saves"
