#!/usr/bin/env bash
# "--textonly --makemap NAME" with every random-map option writes NAME.map and
# NAME.rgb into the local maps folder and exits 0 (land shares beyond 0..100
# too, and a number of provinces beyond 10..1495, which is clamped); bad
# values, a map too small for its provinces, bad names and a missing sprite
# archive give a message, a non-zero status and no files.
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
# Too few or too many provinces are clamped into 10..1495, and the console says so.
for asked in 5 0; do
  run "$data" --makemap few --mapprov $asked --mapsize 240 180 || fail "--mapprov $asked refused"
  [ "$(grep -c '^#terrain ' "$work/maps/few.map")" = 10 ] || fail "--mapprov $asked: not 10 provinces"
  grep -q -- "--mapprov $asked: a random map has 10 to 1495 provinces; it gets 10" "$work/log" || fail "--mapprov $asked: no line"
done
expect_refusal crowded "has room for at most 120 provinces, not 200" "$data" --mapsize 100 100 --mapprov 200
expect_refusal manymore "has room for at most 120 provinces, not 1495" "$data" --mapsize 100 100 --mapprov 9999
expect_refusal noland "leaves no land" "$data" --seapart 100 --mapsize 200 200
expect_refusal nosprites "Can't find the sprite archive" "$work/empty" --mapsize 200 200
expect_refusal "../evil" "Bad filename for random map" "$data"
echo ok
