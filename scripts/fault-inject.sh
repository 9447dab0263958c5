#!/usr/bin/env bash
# Fault injection: the roads that write a game's files are stopped at random
# points, and after each stop the folder must hold the whole old state or the
# whole new one, as the next start of the program finds it.
#
#   scripts/fault-inject.sh [--runs N] [--roads "host newgame randommap mapeditor orders"] [--seed S] [BUILD]
#
# BUILD is a build folder with vey3, vey3host and data (default build/release).
# Each run of a road restores its old state, stops the road in one of three
# ways, lets a start of the program tidy the folders (a --verify run), and
# checks what stands:
#   kill   SIGKILL at a random call that changes files (scripts/faultshim.c);
#   fail   a random such call fails (ENOSPC or EIO): open, write, rename or sync;
#   kill9  kill -9 from outside after a random time up to a clean run's last
#          call that changes files.
# Roads: host (vey3host --host, a month that fights a battle, so that battle
# replays are written), newgame (a new game made in the window from the
# command line's options), randommap (--makemap), mapeditor (a map loaded by
# name in the map editor and saved over an older save of it) and orders (a
# nation's turn played to End turn). The windowed roads run under Xvfb with
# scripted input. A clean run of a road that puts no file in place (no
# rename) measures nothing and fails.
# Whole means: the game's world and turn files byte for byte the old or the
# new ones (hosting gives the same turn from the same files), --verify passes
# and a further host works without a damaged turn file; a map and its picture
# both old or both new and whole; an order file or an edited map the old one
# or the new one byte for byte. The exit status is 1 when any run broke it.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runs=10
roads="host newgame randommap mapeditor orders"
seed=$RANDOM
build="$here/../build/release"
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --roads) roads=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    -h|--help) sed -n '2,28p' "$0"; exit 0 ;;
    *) build=$1; shift ;;
  esac
done
build=$(cd "$build" && pwd) || exit 1
vey3="$build/vey3"; vey3host="$build/vey3host"; data="$build/data"
for f in "$vey3" "$vey3host" "$data/army.trs"; do
  [ -e "$f" ] || { echo "fault-inject: $f is missing; build first (make release)"; exit 1; }
done
RANDOM=$seed
source "$here/../tests/support/xserver.bash"
work=$(mktemp -d)
trap 'stopxserver; rm -rf "$work"' EXIT
cc -shared -fPIC -O2 -o "$work/faultshim.so" "$here/faultshim.c" -ldl || { echo "fault-inject: the shim does not build"; exit 1; }
startxserver "$work" || { echo "fault-inject: no X server: $(cat "$work/xserver.log")"; exit 1; }
home="$work/home"; save="$home/veyrances3/savedgames"; maps="$work/maps"
failures=0
echo "fault-inject: seed $seed, $runs runs of each road: $roads"

# run PROGRAM [ARGS...]: the program with our folders, its output in
# $work/log; with $fault set the shim is loaded, with $killafter (seconds)
# it is killed from outside then; with $script the window runs it.
fault=""; killafter=""; script=""
run() {
  local program=$1; shift
  local env=(HOME="$home" VEY3_DATA="$data" VEY3_TEMP="$work/temp" VEY3_LOCALMAPS="$maps" DISPLAY="$xdisplay")
  # The shim goes into the program alone, not into timeout.
  local shim=(VEY3_FAULT="$fault")
  [ -n "$fault" ] && shim+=(LD_PRELOAD="$work/faultshim.so")
  [ -n "${countfile:-}" ] && shim+=(LD_PRELOAD="$work/faultshim.so" VEY3_FAULTCOUNT="$countfile")
  [ -n "$script" ] && { printf '%b' "$script" > "$work/script"; env+=(VEY3_INPUTSCRIPT="$work/script"); }
  local limit=120
  [ -n "$killafter" ] && limit=$killafter
  # timeout waits for the killed program (--foreground), so the next start
  # finds it gone; the shell's own word on a killed run goes nowhere.
  (cd "$work" && env -u VEY3_CONF -u VEY3_SAVE -u VEY3_MAPS "${env[@]}" \
    timeout --foreground -s KILL "$limit" env "${shim[@]}" "$program" "$@" >"$work/log" 2>&1) 2>/dev/null
}
# The start that tidies what a stopped write left (its own status does not matter).
tidy() { fault=""; killafter=""; script=""; run "$vey3host" --verify none >/dev/null 2>&1; }
broke() {
  echo "BROKEN: $road, $how: $*"
  tail -5 "$work/roadlog" 2>/dev/null | sed 's/^/    /'
  failures=$((failures + 1))
}
turnof() { od -An -t d4 -j 14 -N 4 "$1" 2>/dev/null | tr -d ' '; }
sum() { [ -e "$1" ] && md5sum <"$1" | cut -d' ' -f1 || echo none; }
# The game's world, turn and order files, each with its checksum.
gamesums() { (cd "$1" 2>/dev/null && for f in ftherlnd *.trn *.2h; do [ -e "$f" ] && echo "$f $(sum "$f")"; done); }
# A whole game: --verify passes, and a host makes the next turn without a
# turn file that does not read.
wholegame() {
  local g=$1
  fault=""; killafter=""; script=""
  run "$vey3host" --verify "$g" || { broke "--verify of $g failed"; return; }
  run "$vey3host" --textonly --host "$g" || { broke "a further host of $g failed"; return; }
  grep -q "did not read" "$work/log" && broke "a turn file of $g did not read"
  return 0
}

# The windowed roads' scripts: Ok on the map, Create the world; a nation's
# turn to End turn, then the window closed (where orders that could not be
# written kept the player in the turn, its question answered Quit without
# saving); the map editor's Load map (Test Vale typed), Save map as
# fimap, "Replace it" for the older fimap.map, Ok to "Map saved", Exit of
# the editor, of its menu, of the Game Tools and of the Main Menu.
newgamescript='wait 10\nkey return\nwait 10\nkey return\nwait 300\nquit\n'
ordersscript='waitfor 1\nclickid 1\nwait 2\nwaitfor 999\nclickid 999\nwait 2\nwaitfor 27\nkey e\nwait 5\nwaitfor 1\nwait 2\nkey escape\nwait 5\nquit\nwait 10\nclickid 6\nwait 5\n'
editorscript='waitfor 3\nclickid 3\nwait 2\nwaitfor 12\nclickid 12\nwait 2\nwaitfor 9\nclickid 2\nwait 2\ntype testvale\nkey return\nwaitfor 26\nwait 2\nclickid 26\nwait 2\ntype fimap\nkey return\nwait 20\nclickid 6\nwait 2\nkey return\nwait 2\nwaitfor 999\nclickid 999\nwait 2\nwaitfor 9\nclickid 9\nwait 2\nwaitfor 19\nclickid 19\nwait 2\nwaitfor 6\nclickid 6\nwait 5\n'

# Each road: how to run it clean, how to put its old state back, and the check.
road_host() { run "$vey3host" --textonly --host g; }
road_newgame() { script=$newgamescript run "$vey3" -a -x --mapfile testvale.map --era 1 --normai 0 --normai 1 --comptrn ng; }
road_randommap() { run "$vey3host" --makemap fi --mapsize 320 240 --mapprov 20; }
road_mapeditor() { script=$editorscript run "$vey3" -a -x; }
road_orders() { script=$ordersscript run "$vey3" -a -x g; }

# The old states, made once by the clean roads.
fault=""; killafter=""; script=""
road=setup; how=clean
script=$newgamescript run "$vey3" -a -x --mapfile testvale.map --era 1 --normai 0 --normai 1 --comptrn g \
  || { broke "no game could be made"; exit 1; }
[ -e "$save/g/ftherlnd" ] || { broke "no game could be made"; exit 1; }
# The old state is the month before the first that fights a battle: the game
# is hosted on until a month has one (each writes the replays of its battles).
for ((month = 1; ; month++)); do
  rm -rf "$work/oldgame"; cp -a "$save/g" "$work/oldgame"
  script=""; run "$vey3host" --textonly --host g -d || { broke "the clean host failed"; exit 1; }
  grep -q "^battle in" "$work/log" && break
  [ $month -lt 24 ] || { broke "no battle in 24 hosted months"; exit 1; }
done
rm -rf "$save/g"; cp -a "$work/oldgame" "$save/g"
script=""; road_host || { broke "the clean host failed"; exit 1; }
newhost=$(gamesums "$save/g")
rm -rf "$save/g"; cp -a "$work/oldgame" "$save/g"
oldhost=$(gamesums "$save/g")
script=""; road_orders || { broke "the clean turn failed"; exit 1; }
neworders=$(sum "$save/g/$(cd "$save/g" && ls *.2h | head -1)")
orderfile=$(cd "$save/g" && ls *.2h | head -1)
road_randommap || { broke "the clean random map failed"; exit 1; }
cp "$maps/fi.map" "$maps/fi.rgb" "$work/"
# The editor saves over an older fimap.map, on every run the same way.
printf '%s\n' "-- an older save" >"$maps/fimap.map"
road_mapeditor || { broke "the clean map editor failed"; exit 1; }
grep -q "^#vey2title Test Vale$" "$maps/fimap.map" || { broke "the clean map editor saved no map"; exit 1; }
neweditor=$(sum "$maps/fimap.map")
printf '%s\n' "-- an older save" >>"$maps/fimap.map"
cp "$maps/fimap.map" "$work/oldfimap.map"
oldeditor=$(sum "$work/oldfimap.map")

restore() {
  case $road in
    host|orders) rm -rf "$save/g"; cp -a "$work/oldgame" "$save/g" ;;
    newgame) rm -rf "$save/ng" ;;
    randommap) cp "$work/fi.map" "$work/fi.rgb" "$maps/" ;;
    mapeditor) cp "$work/oldfimap.map" "$maps/fimap.map" ;;
  esac
}

check() {
  case $road in
    host)
      local now; now=$(gamesums "$save/g")
      if [ "$now" = "$oldhost" ]; then kept=$((kept + 1))
      elif [ "$now" = "$newhost" ]; then made=$((made + 1))
      else broke "the game's files are neither the old turn nor the new one"; return; fi
      wholegame g ;;
    newgame)
      if [ ! -e "$save/ng/ftherlnd" ] && ! ls "$save/ng/"*.trn >/dev/null 2>&1; then
        kept=$((kept + 1))
        ls "$save/ng" 2>/dev/null | grep -v '^hostlock$' | grep -q . && broke "files of a game not made: $(ls "$save/ng")"
        return
      fi
      made=$((made + 1))
      local t; t=$(turnof "$save/ng/ftherlnd")
      for f in "$save/ng/"*.trn; do [ "$(turnof "$f")" = "$t" ] || broke "$f is of turn $(turnof "$f"), the world of $t"; done
      wholegame ng ;;
    randommap)
      local m r; m=$(sum "$maps/fi.map"); r=$(sum "$maps/fi.rgb")
      if [ "$m" = "$(sum "$work/fi.map")" ] && [ "$r" = "$(sum "$work/fi.rgb")" ]; then kept=$((kept + 1)); return; fi
      made=$((made + 1))
      [ "$m" != "$(sum "$work/fi.map")" ] && [ "$r" != "$(sum "$work/fi.rgb")" ] || { broke "the map and its picture are of two makings"; return; }
      grep -qx "#imagefile fi.rgb" "$maps/fi.map" && grep -q "is 320 x 240 pixels large" "$maps/fi.map" || broke "fi.map is not whole"
      [ "$(head -c 10 "$maps/fi.rgb" | od -An -tx1 | tr -d ' \n')" = "01da01010003014000f0" ] || broke "fi.rgb is not whole" ;;
    mapeditor)
      case $(sum "$maps/fimap.map") in
        "$oldeditor") kept=$((kept + 1)) ;;
        "$neweditor") made=$((made + 1)) ;;
        *) broke "fimap.map is neither the old map nor the new one" ;;
      esac ;;
    orders)
      case $(sum "$save/g/$orderfile") in
        none) kept=$((kept + 1)) ;;
        "$neworders") made=$((made + 1)) ;;
        *) broke "$orderfile is neither missing nor the whole order file" ;;
      esac
      [ "$(gamesums "$save/g" | grep -v '\.2h ')" = "$oldhost" ] || broke "the turn's files changed"
      wholegame g ;;
  esac
  ls "$maps" "$save" "$save"/* 2>/dev/null | grep -q '\.new[0-9]' && broke "a temporary file was left: $(ls "$maps" "$save"/* | grep '\.new')"
  return 0
}

kinds=(open write rename sync)
errors=(ENOSPC EIO)
for road in $roads; do
  kept=0; made=0
  # A clean run: how many calls it makes and when the last one comes.
  restore
  countfile="$work/count"; rm -f "$countfile"
  start=$(date +%s%N)
  "road_$road" >/dev/null 2>&1
  took=$(( ($(date +%s%N) - start) / 1000000 ))
  countfile=""
  opens=0 writes=0 renames=0 syncs=0 all=0 last=0
  read -r _ opens _ writes _ renames _ syncs _ all _ last <"$work/count"
  counts=("$opens" "$writes" "$renames" "$syncs")
  # kill -9 lands before the last call that changes files, or at it: later,
  # the new state stands already.
  upto=$(( last - start / 1000000 + 1 ))
  [ "$upto" -ge 1 ] && [ "$upto" -le "$took" ] || upto=$took
  echo "$road: a clean run takes $took ms, the last of its $all calls that change files at $upto ms ($opens opens, $writes writes, $renames renames, $syncs syncs)"
  how=clean
  [ "$renames" -gt 0 ] || broke "a clean run puts no file in place: it measures nothing"
  # A hosted month is made durable by one sync of the file system and two of
  # the game's folder, however many nations it has.
  [ "$road" = host ] && [ "${syncs:-0}" -gt 3 ] && broke "a hosted month makes $syncs syncs, more than 3"
  for ((i = 1; i <= runs; i++)); do
    restore
    fault=""; killafter=""
    case $((RANDOM % 3)) in
      0) n=$(( (RANDOM * 32768 + RANDOM) % (all > 0 ? all : 1) + 1 )); how="SIGKILL at call $n of $all"
         fault="kill:$n" ;;
      1) k=$((RANDOM % 4)); n=$(( (RANDOM * 32768 + RANDOM) % (counts[k] > 0 ? counts[k] : 1) + 1 ))
         e=${errors[$((RANDOM % 2))]}
         how="${kinds[$k]} call $n of ${counts[$k]} fails with $e"; fault="${kinds[$k]}:$n:$e" ;;
      2) ms=$(( (RANDOM * 32768 + RANDOM) % (upto > 1 ? upto : 1) + 1 )); how="kill -9 after $ms ms of $upto"
         killafter=$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000))) ;;
    esac
    "road_$road"
    cp "$work/log" "$work/roadlog"
    fault=""; killafter=""
    tidy
    check
  done
  echo "$road: $runs runs, the old state kept $kept times, the new one made $made times"
done
[ $failures -eq 0 ] && echo "fault-inject: every run left a whole state" || echo "fault-inject: $failures runs left a broken state"
[ $failures -eq 0 ]
