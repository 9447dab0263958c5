#!/usr/bin/env bash
# Every command-line mode that start dispatches, with its exit status: the
# network modes say they are not available (both programs), a bad game name
# is refused, an unknown game's name leads to the Main Menu with a word, the
# performance test and the Main Menu end with 0, text-only mode without a
# mode is refused, a map that --mapfile names and that cannot be played (or
# has no room for the nations named) ends the run with its reason, a mod that
# cannot be enabled is named, and a first start whose settings cannot be
# saved goes on.
# Arguments: vey3 binary, data folder, build folder, host program.
set -uo pipefail
ulimit -c 0   # the text-only refusal aborts on purpose
vey3=$1; data=$2; vey3host=$4
source "$(dirname "$0")/support/xserver.bash"
source "$(dirname "$0")/support/plainuser.bash"
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work"   # the sound library keeps its files in the test's folder
ro=""
trap 'stopxserver; rm -rf "$work" ${ro:+"$ro"}' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/log" ] && tail -20 "$work/log"; exit 1; }
# One X server for the windowed runs.
startxserver "$work" || fail "no X server: $(cat "$work/xserver.log")"
# run PROGRAM WINDOWED ARGS...: the exit status; the output in $work/log.
# The time limit only ends a run that hangs.
run() {
  local program=$1 windowed=$2; shift 2
  local x=()
  [ "$windowed" = 1 ] && x=(DISPLAY="$xdisplay")
  (cd "$work" && env -u VEY3_CONF -u VEY3_SAVE -u VEY3_MAPS HOME="$work/home" VEY3_DATA="$data" \
    VEY3_TEMP="$work/temp$RANDOM" VEY3_INPUTSCRIPT="$work/script" VEY3_LOCALMAPS="$work/maps" "${x[@]}" \
    timeout 600 "$program" "$@" >"$work/log" 2>&1)
}
expect() {   # expect STATUS TEXT PROGRAM WINDOWED ARGS...
  local status=$1 text=$2; shift 2
  run "$@"
  local got=$?
  [ "$got" = "$status" ] || fail "$*: status $got, not $status"
  [ -z "$text" ] || grep -q -- "$text" "$work/log" || fail "$*: no '$text'"
}
saves="$work/home/veyrances3/savedgames"   # the saved games of the runs
printf 'wait 2\nquit\n' > "$work/script"

expect 1 "is not available in this version" "$vey3host" 0 --tcpserver
expect 1 "is not available in this version" "$vey3" 0 --textonly --tcpserver
expect 1 "is not available in this version" "$vey3" 1 -a -x --tcpclient
expect 1 "Not a valid game name: ../evil" "$vey3" 1 -a -x ../evil
# An unknown game: a word in the window, then the Main Menu, left by Quit.
printf 'waitfor 1\nwait 2\nkey return\nwaitfor 6\nclickid 6\n' > "$work/script"
expect 0 "" "$vey3" 1 -a -x -c nosuchgame
[ -d "$saves/nosuchgame" ] && fail "a folder for the unknown game was made"
# The Main Menu without options, left by Escape.
printf 'waitfor 6\nkey escape\n' > "$work/script"
expect 0 "" "$vey3" 1 -a -x -c
expect 0 "Test 2, " "$vey3" 1 -a -x --perftest
# Text-only mode without a mode is refused by the start-up (an abort).
run "$vey3" 0 --textonly
[ $? -ne 0 ] || fail "--textonly alone gave 0"
grep -q "Text only mode can only be used" "$work/log" || fail "no text-only message"
expect 1 "" "$vey3" 0 --verify nosuchgame
# A map that --mapfile names but that cannot be played ends the run with its
# reason (a box in the window) and status 1; no game folder is made. A bad
# picture is named by its own file, a damaged text by the map's.
mkdir -p "$work/maps"
printf '#vey2title Broken\n#imagefile broken.tga\n' > "$work/maps/broken.map"
printf 'img' > "$work/maps/broken.tga"
printf 'waitfor 1\nwait 2\nshot %s\nwait 3\nkey return\n' "$work/box.ppm" > "$work/script"
expect 1 "Map image $work/maps/broken.tga of broken.map (Broken) cannot be read: the file ends before its pixels do" \
  "$vey3" 1 -a -x --mapfile broken.map --era 1 --normai 0 --normai 1 brokengame
[ -d "$saves/brokengame" ] && fail "a folder for the game of the broken map was made"
[ -s "$work/box.ppm" ] || fail "no box over the broken map in the window"
refused() {   # refused TEXT MAPFILE
  printf 'waitfor 1\nwait 2\nkey return\n' > "$work/script"
  expect 1 "$1" "$vey3" 1 -a -x --mapfile "$2" --era 1 --normai 0 --normai 1 refusedgame
  [ -d "$saves/refusedgame" ] && fail "$2: a game folder was made"
  return 0
}
printf -- '-- being drawn\n#imagefile lost.tga\n#neighbour 1 2\n#start 3\n#computerplayer 5 3\n' > "$work/maps/drawing.map"
printf '#vey2title Lost\n#imagefile lost.tga\n' > "$work/maps/lost.map"
cp "$data/maps/testvale.tga" "$work/maps/vale.tga"
{ printf '#vey2title Starts\n#imagefile vale.tga\n'; for i in $(seq 101); do echo "#start $i"; done; } > "$work/maps/starts.map"
{ printf '#vey2title Big\n#imagefile vale.tga\n'; head -c 5242845 /dev/zero | tr '\0' '-'; } > "$work/maps/big.map"
printf '#vey2title Huge\n#imagefile huge.tga\n' > "$work/maps/huge.map"
# A picture of 32767 x 32767 pixels in a sparse file of 2 GB: refused unread.
printf '\0\0\2\0\0\0\0\0\0\0\0\0\377\177\377\177\040\010' > "$work/maps/huge.tga"
truncate -s 2G "$work/maps/huge.tga" || fail "no sparse file"
refused "Map specified by --mapfile was not found: nosuch.map is not among the map files of" nosuch.map
refused "Map file drawing.map has no #vey2title line: it cannot be played" drawing.map
refused "Can't find map image: lost.tga, named by lost.map (Lost), is neither in $work/maps nor in" lost.map
refused "too many #start: starts.map (Starts) has 101 #start lines, at most 100: it cannot be played" starts.map
refused "Map file $work/maps/big.map is too large: 5242880 bytes, where a map file has at most 500000" big.map
refused "Map image $work/maps/huge.tga of huge.map (Huge) cannot be read: its header promises a picture larger" huge.map
# A map with room for fewer nations than the command line names ends the run
# as the search for their starts would, after its information screen (Ok): the
# vale with one land province left where a nation may start.
{ printf '#vey2title Crowded\n#imagefile vale.tga\n#terrain 1 0\n'; for i in $(seq 2 25); do echo "#terrain $i 512"; done; } \
  > "$work/maps/crowded.map"
printf 'waitfor 999\nclickid 999\nwaitfor 1\nwait 2\nshot %s\nwait 3\nkey return\n' "$work/crowded.ppm" > "$work/script"
expect 1 "^can't find a valid starting province on the map crowded.map: This map has room for 1 nations on land, not for 2\. Choose fewer nations or another map\.$" \
  "$vey3" 1 -a -x --mapfile crowded.map --era 1 --normai 0 --normai 1 crowdedgame
[ -d "$saves/crowdedgame" ] && fail "a folder for the game on the crowded map was made"
[ -s "$work/crowded.ppm" ] || fail "no box over the crowded map in the window"
# Each map file is its own map: the file without a title, which comes after
# the maps of the game, is left out with its reason, and none of its lines
# reaches the map before it. A new game on Veyrmark beside it is hosted,
# whether the picture it names is there or not.
for picture in lost vale; do
  sed -i "s/^#imagefile .*/#imagefile $picture.tga/" "$work/maps/drawing.map"
  printf 'wait 10\nkey return\nwait 10\nkey return\nwait 300\nquit\n' > "$work/script"
  expect 0 "Map file drawing.map has no #vey2title line: left out of the choice" \
    "$vey3" 1 -a -x --mapfile veyrmark.map --era 1 --normai 0 --normai 1 beside$picture
  [ -f "$saves/beside$picture/ftherlnd" ] || fail "no game on Veyrmark beside a map without a title"
  grep -q "^Game beside$picture created" "$work/log" && fail "a line of our own after the new game beside $picture"
  expect 0 "Turn 2 of beside$picture hosted" "$vey3host" 0 --host beside$picture
done
# --enablemod names a folder or a FIFO with why (read as a mod, the one is no
# mod and the other holds the start); a link that goes round in a loop is
# missing as any name that leads nowhere.
mkdir -p "$work/mods/folder.dm"
mkfifo "$work/mods/pipe.dm"
ln -s loop.dm "$work/mods/loop.dm"
VEY3_MODS="$work/mods" expect 1 "" "$vey3" 0 --textonly -M folder.dm -M pipe.dm -M loop.dm --verify nosuchgame
grep -qx "Can't find mod: folder.dm (it is a folder, not a file)" "$work/log" || fail "no cause for the folder"
grep -qx "Can't find mod: pipe.dm (it is a FIFO, not a file)" "$work/log" || fail "no cause for the FIFO"
grep -qx "Can't find mod: loop.dm" "$work/log" || fail "not the plain line for the link loop"
# The first start (no settings yet) with a settings folder that cannot be
# written starts all the same: a box says why, then the Main Menu.
ro=$(plainuserdir)
[ -n "$ro" ] || fail "no folder that a plain user reaches"
mkdir -p "$ro/home/veyrances3" "$ro/open"
chmod 755 "$ro/home"
chmod 555 "$ro/home/veyrances3"
chmod 777 "$ro/open"
printf 'wait 5\nshot %s\nkey return\nwaitfor 6\nkey escape\n' "$ro/open/box.ppm" > "$ro/script"
# As root, a plain user, for whom the folder's permissions hold.
plain=()
[ "$(id -u)" = 0 ] && plain=(setpriv --reuid=65534 --regid=65534 --clear-groups)
(cd "$ro/open" && env -u VEY3_CONF -u VEY3_MAPS HOME="$ro/home" VEY3_SAVE="$ro/open/saves" VEY3_MODS="$ro/open/mods" \
  VEY3_DATA="$data" VEY3_TEMP="$ro/open/temp" VEY3_INPUTSCRIPT="$ro/script" DISPLAY="$xdisplay" \
  timeout 600 "${plain[@]}" "$vey3" -a >"$work/log" 2>&1)
status=$?
[ "$status" = 0 ] || fail "the first start with a read-only settings folder: status $status"
grep -q "The settings cannot be saved ($ro/home/veyrances3/vey3config: cannot be written" "$work/log" \
  || fail "the first start with a read-only settings folder does not say that the settings cannot be saved"
[ -s "$ro/open/box.ppm" ] || fail "no box about the settings in the window"
echo ok
