#!/usr/bin/env bash
# The sources name the numbers of data/ids.txt by their generated constants,
# and the check finds a local copy of such a constant and a bare number given
# to an ability reader, the nation attribute reader, an enchantment look-up
# or compared with a spell's effect.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
check=$top/scripts/check-ids.sh
fail() { echo "FAIL: $*"; exit 1; }
bash "$check" "$top" || fail "the sources keep numbers of data/ids.txt of their own"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src/world"
cat >"$work/src/world/planted.cpp" <<'EOF'
namespace {
constexpr int32_t AB_LOCALCOPY = 193, EN_ALSO = 38;
#define NA_MACRO 138
}
int32_t planted(int32_t u, int32_t c, int32_t n, const Spell& sp, bool hot) {
  int32_t v = getability(u, 193, 1) + getitemfx(c,
                                                118, 1);
  v += getnatattr(n, 138) + findench(20, -1, n) + ab(u, hot ? AB_FIRERES : 201);
  if (sp.effect == 10081) v++;
  switch (sp.effect) {
    case 10083: v++;
  }
  return v;
}
EOF
cat >"$work/src/world/named.cpp" <<'EOF'
// getability(u, 193, 1) in a comment is no call.
int32_t getability(int32_t unr, int32_t k, int32_t sum);
int32_t named(int32_t u, int32_t c, int32_t path) {
  const char* text = "getnatattr(n, 138)";
  int32_t v = getability(u, AB_MAGICBOOST + path, 1) + getitemfx(c, AB_MAKEMONSTER + 4, 1);
  if (AB_FEAR == v || v != EN_ARENA) v += findench(-1, 0, -1) + ab(u, v > 3 ? AB_COLDRES : AB_FIRERES);
  switch (v) {
    case 10083: v++;
  }
  return v + int32_t(text[0]);
}
EOF
out=$(bash "$check" "$work") && fail "a tree with bare ids passed"
for line in "planted.cpp:2: AB_LOCALCOPY is defined here" "planted.cpp:2: EN_ALSO is defined here" \
            "planted.cpp:3: NA_MACRO is defined here" \
            "planted.cpp:6: getability is given the ability 193 as a bare number" \
            "planted.cpp:6: getitemfx is given the ability 118 as a bare number" \
            "planted.cpp:8: getnatattr is given the nation attribute 138 as a bare number" \
            "planted.cpp:8: findench is given the enchantment kind 20 as a bare number" \
            "planted.cpp:8: ab is given the ability 201 as a bare number" \
            "planted.cpp:9: the ritual effect 10081 is a bare number" \
            "planted.cpp:11: the ritual effect 10083 is a bare number"; do
  grep -qF "$line" <<<"$out" || fail "not reported: $line"
done
grep -q "named.cpp" <<<"$out" && fail "a named id was reported: $(grep named.cpp <<<"$out")"
[ "$(wc -l <<<"$out")" -eq 10 ] || fail "more findings than planted: $out"
echo ok
