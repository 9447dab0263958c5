#!/usr/bin/env bash
# Every command-line mode that start dispatches, with its exit status: the
# network modes say they are not available (both programs), a bad game name
# is refused, an unknown game's name leads to the Main Menu with a word, the
# performance test and the Main Menu end with 0, text-only mode without a
# mode is refused, and a first start whose settings cannot be saved goes on.
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
printf 'wait 2\nquit\n' > "$work/script"

expect 1 "is not available in this version" "$vey3host" 0 --tcpserver
expect 1 "is not available in this version" "$vey3" 0 --textonly --tcpserver
expect 1 "is not available in this version" "$vey3" 1 -a -x --tcpclient
expect 1 "Not a valid game name: ../evil" "$vey3" 1 -a -x ../evil
# An unknown game: a word in the window, then the Main Menu, left by Quit.
printf 'waitfor 1\nwait 2\nkey return\nwaitfor 6\nclickid 6\n' > "$work/script"
expect 0 "" "$vey3" 1 -a -x -c nosuchgame
[ -d "$work/home/veyrances3/nosuchgame" ] && fail "a folder for the unknown game was made"
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
# reason (a box in the window) and status 1; no game folder is made.
mkdir -p "$work/maps"
printf '#vey2title Broken\n#imagefile broken.tga\n' > "$work/maps/broken.map"
printf 'img' > "$work/maps/broken.tga"
printf 'waitfor 1\nwait 2\nshot %s\nwait 3\nkey return\n' "$work/box.ppm" > "$work/script"
expect 1 "broken.map (Broken) has an image file that cannot be read: it cannot be played" \
  "$vey3" 1 -a -x --mapfile broken.map --era 1 --normai 0 --normai 1 brokengame
[ -d "$work/home/veyrances3/brokengame" ] && fail "a folder for the game of the broken map was made"
[ -s "$work/box.ppm" ] || fail "no box over the broken map in the window"
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
