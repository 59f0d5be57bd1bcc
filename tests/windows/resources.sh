#!/usr/bin/env bash
# The Windows program as Explorer shows it: its icon (the crate at every size
# from 16 to 256 pixels), its version, and a manifest that declares it
# DPI-aware and long-path aware.
#   resources.sh <Kestrove.exe> <windres> <Kestrove.ico> <version>
set -euo pipefail
exe=$1 windres=$2 ico=$3 version=$4
fail() { echo "resources: FAILED: $*" >&2; exit 1; }

sizes=$(identify -format '%w ' "$ico")
[ "$sizes" = "16 24 32 48 64 256 " ] || fail "the icon holds the sizes $sizes"
# The crate, not a blank: the 256-pixel image is opaque and brown.
mean=$(convert "$ico[5]" -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.b)] %[fx:int(255*minima.a)]' info:)
read -r red blue alpha <<<"$mean"
[ "$red" -gt "$blue" ] && [ "$alpha" = 255 ] || fail "the 256-pixel icon is not the crate (red $red, blue $blue, alpha $alpha)"

resources=$("$windres" -i "$exe" -O rc)
[ "$(grep -c 'RT_ICON \*/' <<<"$resources")" = 6 ] || fail "the program does not carry the icon's 6 images"
grep -q 'RT_GROUP_ICON' <<<"$resources" || fail "the program carries no icon group"
grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$resources" || fail "no ProductVersion $version"
grep -q 'RT_MANIFEST' <<<"$resources" || fail "no manifest"
for setting in '>PerMonitorV2, PerMonitor<' '>true/pm<' '<longPathAware' 'level="asInvoker"'; do
  grep -aq -- "$setting" "$exe" || fail "the manifest lacks $setting"
done
echo "resources: 4 passed, 0 failed"
