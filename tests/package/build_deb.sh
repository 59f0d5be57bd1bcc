#!/usr/bin/env bash
# Makes the Debian package with CPack and checks what a player's system needs
# of it: its name, the files a desktop finds, and dependencies that
# dpkg-shlibdeps worked out from the binaries.
#   build_deb.sh <build dir>
set -euo pipefail
build=$1
out="$build/deb"
rm -rf "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$build/deb.log" 2>&1 || { cat "$build/deb.log" >&2; exit 1; }
fail() { echo "build_deb: FAILED: $*" >&2; exit 1; }

debs=("$out"/kestrove_*_amd64.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "expected one kestrove_<version>_amd64.deb in $out"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "kestrove_${version}_amd64.deb" ] || fail "$(basename "$deb") does not carry the version $version"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in usr/games/kestrove usr/lib/games/kestrove/Kestrove usr/lib/games/kestrove/libgame.so \
         usr/lib/games/kestrove/libgraph.so usr/share/kestrove/config.ini usr/share/kestrove/maps.ini \
         usr/share/kestrove/textures/floor.png usr/share/applications/org.kestrove.Kestrove.desktop \
         usr/share/metainfo/org.kestrove.Kestrove.metainfo.xml usr/share/man/man6/kestrove.6.gz \
         usr/share/icons/hicolor/48x48/apps/kestrove.png usr/share/icons/hicolor/128x128/apps/kestrove.png \
         usr/share/icons/hicolor/256x256/apps/kestrove.png usr/share/icons/hicolor/scalable/apps/kestrove.svg \
         usr/share/doc/kestrove/copyright usr/share/doc/kestrove/changelog.gz; do
  grep -qx "./$f" <<<"$contents" || fail "$f is not in the package"
done
grep -q '^\./usr/share/kestrove/[^/]*\.lvl$' <<<"$contents" || fail "no level set in the package"
# The developers' level tools stay out of the player's package.
! grep -q 'kestrove-levels\|kestrove-autopilot' <<<"$contents" || fail "a level tool is in the package"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libsdl2-2.0-0 libstdc++6; do
  grep -q "$lib (>= " <<<"$depends" || fail "Depends lacks $lib with its version from dpkg-shlibdeps: $depends"
done
echo "build_deb: $deb ($version): passed"
