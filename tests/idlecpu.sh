#!/usr/bin/env bash
# The windowed program at rest: on the Main Menu without animated
# backgrounds nothing moves, so it waits for input instead of drawing frames,
# and uses under 5 % of a processor core (measured over ten seconds from
# /proc/PID/stat, every thread of the program counted, the GL driver's too).
# Arguments: vey3 binary, data folder.
set -uo pipefail
vey3=$1; data=$2
source "$(dirname "$0")/support/xserver.bash"
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work"   # the sound library keeps its files in the test's folder
vpid=
cleanup() {
  if [ -n "$vpid" ]; then kill "$vpid" 2>/dev/null; wait "$vpid" 2>/dev/null; fi
  stopxserver
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/log" ] && tail -20 "$work/log"; exit 1; }

startxserver "$work" || fail "no X server: $(cat "$work/xserver.log")"
export DISPLAY=$xdisplay
# The script takes a picture once the Main Menu is shown and ends there.
printf 'waitfor 6\nwait 5\nshot %s\n' "$work/up.ppm" > "$work/script"
env -u VEY3_CONF -u VEY3_SAVE HOME="$work/home" VEY3_DATA="$data" VEY3_TEMP="$work/temp" \
  VEY3_INPUTSCRIPT="$work/script" "$vey3" --noanimback >"$work/log" 2>&1 &
vpid=$!
until=$(( SECONDS + 300 ))
while [ ! -e "$work/up.ppm" ]; do
  [ $SECONDS -le $until ] || fail "the Main Menu did not come"
  kill -0 "$vpid" 2>/dev/null || fail "the program ended early"
  sleep 0.1
done
sleep 2
ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$vpid/stat"; }
before=$(ticks); start=$(date +%s%N)
sleep 10
after=$(ticks); end=$(date +%s%N)
share=$(( (after - before) * 10000000000000 / $(getconf CLK_TCK) / (end - start) ))   # hundredths of a percent
printf 'Main Menu at rest: %d.%02d %% of a core\n' $(( share / 100 )) $(( share % 100 ))
[ "$share" -lt 500 ] || fail "the Main Menu at rest uses more than 5 % of a core"
kill -0 "$vpid" 2>/dev/null || fail "the program ended while at rest"
echo "ok"
