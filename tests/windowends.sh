#!/usr/bin/env bash
# How the windowed program ends when it cannot or may not go on: without a
# display it says so and exits 1; SIGTERM and SIGINT end it at once with its
# temp folder removed and its settings kept; a display that goes away ends
# it at once (status 1, temp folder removed) instead of leaving it spinning.
# Arguments: vey3 binary, data folder, build folder.
set -uo pipefail
set -m   # jobs of their own: a background job would otherwise ignore SIGINT
ulimit -c 0
vey3=$1; data=$2
work=$(mktemp -d)
xpid=
vpid=
cleanup() {
  [ -n "$vpid" ] && kill -9 "$vpid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/log" ] && tail -20 "$work/log"; exit 1; }

# The program with a fresh temp folder of its own (which it makes, so removes).
start() {
  env -u VEY3_CONF -u VEY3_SAVE HOME="$work/home" VEY3_DATA="$data" VEY3_TEMP="$work/temp" \
    "$vey3" -a >"$work/log" 2>&1 &
  vpid=$!
}
# Waits up to $1 seconds for the program to end; its status in $status.
waitend() {
  for _ in $(seq 1 $(( $1 * 10 ))); do
    if ! kill -0 "$vpid" 2>/dev/null; then wait "$vpid"; status=$?; vpid=; return 0; fi
    sleep 0.1
  done
  return 1
}
# Waits until the program has made its temp folder and shows the menu.
waitup() {
  for _ in $(seq 1 300); do
    [ -d "$work/temp" ] && [ -s "$work/home/veyrances3/vey3config" ] && { sleep 1; return 0; }
    kill -0 "$vpid" 2>/dev/null || fail "the program ended early"
    sleep 0.1
  done
  fail "the program did not start"
}
startx() {
  exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
  read -r line <&3; xpid=${line#pid }
  read -r display <&3
  [ -n "$display" ] || fail "no X server"
  export DISPLAY=":$display"
}

# No display at all, and one that cannot be reached.
for d in "" ":99"; do
  if [ -z "$d" ]; then unset DISPLAY; else export DISPLAY=$d; fi
  start
  waitend 30 || fail "without a display ($d) the program runs on"
  [ "$status" -eq 1 ] || fail "without a display ($d) the status is $status"
  grep -q "There is no display" "$work/log" || fail "without a display ($d) nothing is said"
done

startx
for sig in TERM INT; do
  rm -rf "$work/temp"
  start
  waitup
  cp "$work/home/veyrances3/vey3config" "$work/settings"
  kill -$sig "$vpid"
  waitend 10 || fail "SIGTERM/SIGINT ($sig) did not end the program"
  [ "$status" -eq 0 ] || fail "after SIG$sig the status is $status"
  [ -d "$work/temp" ] && fail "after SIG$sig the temp folder stays"
  cmp -s "$work/settings" "$work/home/veyrances3/vey3config" || fail "after SIG$sig the settings changed"
done

rm -rf "$work/temp"
start
waitup
kill "$xpid"; xpid=
waitend 10 || fail "the program runs on after its display went away"
[ "$status" -eq 1 ] || fail "after the display went away the status is $status"
[ -d "$work/temp" ] && fail "after the display went away the temp folder stays"
echo "ok"
