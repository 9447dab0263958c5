#!/usr/bin/env bash
# The sources include only downward through the layers and the floors inside
# each, and the check finds an include against the direction (across layers
# or to a folder listed later in its own layer), SDL below the player side
# and a folder of no layer.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
check=$top/scripts/check-layers.sh
fail() { echo "FAIL: $*"; exit 1; }
bash "$check" "$top" || fail "the sources include against the direction"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src/world" "$work/src/host" "$work/src/gfx" "$work/src/stray" "$work/src/mods" "$work/src/worldgen"
printf '#include "world/world.h"\n#include "gfx/gfx.h"\n' >"$work/src/world/up.cpp"
printf '#include "runtime/util.h"\n#include "mods/mods.h"\n' >"$work/src/world/floorup.cpp"
printf '#include "worldgen/worldgen.h"\n#include "host/host.h"\n' >"$work/src/worldgen/floorup.cpp"
printf '#include "world/world.h"\n#include "runtime/util.h"\n' >"$work/src/mods/floordown.cpp"
printf '#include <SDL.h>\n' >"$work/src/host/sdl.cpp"
printf '#include "world/world.h"\n#include "host/host.h"\n' >"$work/src/gfx/down.cpp"
printf '#include "frontend/frontend.h"\n' >"$work/src/hostmain.cpp"
out=$(bash "$check" "$work") && fail "a tree with upward includes passed"
for line in "src/world/up.cpp:2: the shared layer includes gfx/ of the player layer" \
            "src/host/sdl.cpp:1: the host layer includes SDL or OpenGL" \
            "src/hostmain.cpp:1: the host layer includes frontend/ of the player layer" \
            "src/stray/: a folder of no layer" \
            "src/world/floorup.cpp:2: world/ includes mods/, a floor above it in the shared layer" \
            "src/worldgen/floorup.cpp:2: worldgen/ includes host/, a floor above it in the host layer"; do
  grep -qF "$line" <<<"$out" || fail "not reported: $line"
done
grep -q "down.cpp\|up.cpp:1" <<<"$out" && fail "a downward include was reported"
echo ok
