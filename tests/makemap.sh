#!/usr/bin/env bash
# "--textonly --makemap NAME" with every random-map option writes NAME.map and
# NAME.rgb into the local maps folder and exits 0: with land shares beyond
# 0..100, a number of provinces beyond 10..1495 (clamped without a word), any
# noise and colour components beyond 0..255, as many provinces as a small map
# can take and a map all of sea. Bad names and a missing sprite archive give a
# message, a non-zero status and no files.
# Arguments: vey3 binary, data folder, build folder.
set -uo pipefail
vey3=$1; data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/log" ] && tail -20 "$work/log"; exit 1; }
run() {
  local datadir=$1; shift
  (cd "$work" && env -u VEY3_CONF -u VEY3_SAVE -u VEY3_MAPS HOME="$work/home" VEY3_TEMP="$work/temp" VEY3_DATA="$datadir" \
    VEY3_LOCALMAPS="$work/maps" timeout 600 "$vey3" --textonly "$@" >"$work/log" 2>&1)
}

run "$data" --makemap scripted.map --mapsize 320 240 --mapprov 20 --seapart 35 --mountpart 25 --forestpart 30 \
  --farmpart 20 --wastepart 5 --swamppart 5 --riverpart 200 --mapnoise 10 --borderwidth 80 \
  --mapgcol 160 140 110 255 --mapscol 50 60 140 255 --mapbcol 0 0 0 150 --mapsbcol 0 0 0 100 --mapaa --passmount
status=$?
[ $status -eq 0 ] || fail "status $status"
[ -s "$work/maps/scripted.map" ] || fail "no scripted.map"
[ -s "$work/maps/scripted.rgb" ] || fail "no scripted.rgb"
grep -qx "#vey2title scripted" "$work/maps/scripted.map" || fail "title"
grep -qx "#imagefile scripted.rgb" "$work/maps/scripted.map" || fail "image file line"
grep -q "is 320 x 240 pixels large" "$work/maps/scripted.map" || fail "description"
[ "$(head -c 3 "$work/maps/scripted.rgb" | od -An -tx1 | tr -d ' ')" = "01da01" ] || fail "not a run-length SGI file"
ls "$work/maps" | grep -q "\.new" && fail "a temporary file was left"

expect_refusal() {
  local name=$1 message=$2 datadir=$3; shift 3
  run "$datadir" --makemap "$name" "$@"
  local status=$?
  [ $status -ne 0 ] || fail "$name: status 0"
  grep -q -- "$message" "$work/log" || fail "$name: no message '$message'"
  ls "$work/maps" 2>/dev/null | grep -q "^$name\." && fail "$name: files were written"
  return 0
}
run "$data" --makemap forest --forestpart 150 --swamppart -5 --mapsize 200 200 || fail "--forestpart 150 refused"
[ -s "$work/maps/forest.map" ] || fail "no forest.map"
# Too few or too many provinces are clamped into 10..1495, silently.
for asked in 5 0; do
  run "$data" --makemap few --mapprov $asked --mapsize 240 180 || fail "--mapprov $asked refused"
  [ "$(grep -c '^#terrain ' "$work/maps/few.map")" = 10 ] || fail "--mapprov $asked: not 10 provinces"
  grep -q -- "--mapprov" "$work/log" && fail "--mapprov $asked: a line of its own on the console"
done
run "$data" --makemap crowded --mapsize 100 100 --mapprov 9999 || fail "a crowded map refused: $(tail -1 "$work/log")"
[ "$(grep -c '^#terrain ' "$work/maps/crowded.map")" = 1495 ] || fail "a crowded map: not 1495 provinces"
# All sea: every province is a sea province, and the map stands.
run "$data" --makemap allsea --seapart 100 --mapsize 400 300 --mapprov 10 || fail "--seapart 100 refused: $(tail -1 "$work/log")"
[ -s "$work/maps/allsea.rgb" ] || fail "--seapart 100: no picture"
grep '^#terrain ' "$work/maps/allsea.map" | awk '{ if (int($3 / 4) % 2 == 0) bad = 1 } END { exit bad }' \
  || fail "--seapart 100: a province on land"
run "$data" --makemap loud --mapnoise 100000 --mapgcol 300 -5 2000000000 255 --mapscol 2000000000 0 -1 400 \
  --mapbcol 999 999 999 999 --mapsbcol -7 -7 -7 -7 --mapsize 200 200 || fail "noise and colours refused: $(tail -1 "$work/log")"
[ -s "$work/maps/loud.map" ] || fail "noise and colours: no map"
expect_refusal nosprites "Can't find the sprite archive" "$work/empty" --mapsize 200 200
expect_refusal "../evil" "Bad filename for random map" "$data"
echo ok
