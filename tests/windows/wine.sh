#!/bin/sh
# Runs a Windows program under Wine in a prefix of the build's own, quietly.
# The first run makes the prefix (several seconds); runs started meanwhile wait.
# Usage: wine.sh PREFIX PROGRAM [ARGUMENTS...]; KESTROVE_WINE names Wine.
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=${KESTROVE_WINE:-wine64}
mkdir -p "$prefix"
(
  flock 9
  [ -f "$prefix/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1
) 9>"$prefix.lock"
exec "$wine" "$@"
