#!/usr/bin/env bash
# Real-window smoke test: starts vey3 under a virtual X server with a fresh
# home, lets it run its start-up benchmark, takes a picture of the window
# through the input script and leaves with Escape. It runs without animated
# backgrounds ("-a"), which the benchmark turns on while it measures and must
# turn off again.
# Arguments: vey3 binary, data folder, build folder.
set -uo pipefail
ulimit -c 0   # a deliberate stop below must not leave a core file
vey3=$1; data=$2
source "$(dirname "$0")/support/xserver.bash"
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work"   # the sound library keeps its files in the test's folder
trap 'stopxserver; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/log" ] && tail -30 "$work/log"; exit 1; }
startxserver "$work" || fail "no X server: $(cat "$work/xserver.log")"

cat > "$work/script" <<END
wait 8
shot $work/shot.ppm
wait 2
key escape
END

env -u VEY3_CONF -u VEY3_SAVE HOME="$work/home" VEY3_TEMP="$work/temp" VEY3_DATA="$data" VEY3_INPUTSCRIPT="$work/script" \
  DISPLAY="$xdisplay" timeout 600 "$vey3" -d -a >"$work/log" 2>&1
status=$?
[ $status -eq 0 ] || fail "vey3 exited with status $status"

# The picture: more than a couple of distinct colours.
[ -s "$work/shot.ppm" ] || fail "no window picture was taken"
[ "$(head -c 2 "$work/shot.ppm")" = "P6" ] || fail "the picture is not a binary PPM"
header=$(head -n 3 "$work/shot.ppm" | wc -c)
colours=$(od -An -v -tu1 -w3 -j "$header" "$work/shot.ppm" | sort -u | head -n 50 | wc -l)
[ "$colours" -gt 8 ] || fail "the window is blank ($colours colours)"

# The start-up benchmark stored a graphics level in the settings file.
config="$work/home/veyrances3/vey3config"
[ -s "$config" ] || fail "no settings file was written"
gfxlevel=$(od -An -t d4 -j 48 -N 4 "$config" | tr -d ' ')
case "$gfxlevel" in
  8|10|12) ;;
  *) fail "gfxlevel in the settings file is '$gfxlevel'" ;;
esac
animback=$(od -An -t d4 -j 12 -N 4 "$config" | tr -d ' ')
[ "$animback" = 0 ] || fail "animback in the settings file is '$animback' after the benchmark"
grep -q "Benchmark, fps" "$work/log" || fail "no benchmark line in the log"

# Second start with the same home: the stored level skips the benchmark, and
# closing the window (the script's "quit") ends the program normally.
run() {
  printf '%b' "$1" > "$work/script"
  env -u VEY3_CONF -u VEY3_SAVE HOME="$work/home" VEY3_TEMP="$work/temp" VEY3_DATA="$data" VEY3_INPUTSCRIPT="$work/script" \
    DISPLAY="$xdisplay" timeout 600 "$vey3" -d >"$work/log" 2>&1
}
run 'wait 3\nquit\n'
status=$?
[ $status -eq 0 ] || fail "closing the window gave status $status"
! grep -q "Benchmark, fps" "$work/log" || fail "the benchmark ran again with a stored level"

# A script line that means nothing stops the program with a message.
run 'wait 1\njump 3\n'
status=$?
[ $status -ne 0 ] || fail "a bad script line was accepted"
grep -q "inputscript: bad line: jump 3" "$work/log" || fail "no message for the bad script line"
echo "ok: $colours+ colours, gfxlevel $gfxlevel"
