#!/usr/bin/env bash
# The host-only build (no SDL or OpenGL configured) makes a small random map.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ldd "$build/vey3host" | grep -Ei 'libSDL|libGL'; then echo "FAIL: the host program links SDL or OpenGL"; exit 1; fi
(cd "$work" && env -u VEY3_CONF -u VEY3_SAVE -u VEY3_MAPS HOME="$work/home" VEY3_TEMP="$work/temp" \
  VEY3_DATA="$build/data" VEY3_LOCALMAPS="$work/maps" \
  "$build/vey3host" --makemap hostbuild --mapsize 200 160 --mapprov 10 >"$work/log" 2>&1) ||
  { echo "FAIL: the host-only build's --makemap"; tail -5 "$work/log"; exit 1; }
[ -s "$work/maps/hostbuild.map" ] && [ -s "$work/maps/hostbuild.rgb" ] || { echo "FAIL: no map written"; exit 1; }
echo "host-only build: 1 passed, 0 failed"
