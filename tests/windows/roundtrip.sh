#!/bin/sh
# Files written on Linux read on Windows and the other way round: both builds
# write the same bytes, and every reading of either's files says the same.
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
echo "set.lvl, game.sav and config.ini agree across Linux and Windows"
