#!/usr/bin/env bash
# Remakes data/levels/recordings/<name>.rec for every level of every set in
# data/levels/<set>.txt: the level tool lists each level's grid solution, the
# autopilot plays it through the rules library on the packed set and writes the
# keys it held. Recordings of levels that no longer exist are removed.
#
#   tools/autopilot/record-all.sh [build-dir]     (default: $KESTROVE_BUILD or build)
#
# Exits non-zero, naming the level and the move, when a solution cannot be
# followed under the continuous rules; the other recordings are still written.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${KESTROVE_BUILD:-$root/build}}
case $build in /*) ;; *) build=$PWD/$build ;; esac

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" -j2 --target kestrove-levels kestrove-autopilot levels

levels_tool=$build/tools/kestrove-levels
autopilot=$build/tools/autopilot/kestrove-autopilot
out=$root/data/levels/recordings
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
: >"$work/names"
for source in "$root"/data/levels/*.txt; do
  [ "$(basename "$source")" = CMakeLists.txt ] && continue
  set_name=$(basename "$source" .txt)
  packed=$build/levels/$set_name.lvl
  if ! "$levels_tool" solutions "$source" >"$work/$set_name.solutions"; then
    echo "record-all: $source: the level tool lists no solutions" >&2
    status=1
    continue
  fi
  awk 'NF >= 2 && $1 !~ /^#/ { print $2 }' "$work/$set_name.solutions" >>"$work/names"
  "$autopilot" record-set "$packed" "$work/$set_name.solutions" "$out" || status=1
done

# Recordings whose level is gone.
for recording in "$out"/*.rec; do
  [ -e "$recording" ] || continue
  name=$(basename "$recording" .rec)
  if ! grep -qxF "$name" "$work/names"; then
    echo "record-all: removing $recording: no level is named $name" >&2
    rm -f "$recording"
  fi
done
exit $status
