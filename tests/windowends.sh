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
source "$(dirname "$0")/support/xserver.bash"
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work"   # the sound library keeps its files in the test's folder
vpid=
cleanup() {
  [ -n "$vpid" ] && kill -9 "$vpid" 2>/dev/null
  stopxserver
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/log" ] && tail -20 "$work/log"; exit 1; }

# The program with a fresh temp folder, in which it makes its own (so
# removes it). Its input script takes a picture once the Main Menu is shown (and
# then leaves the program to itself): the sign that it is up.
printf 'waitfor 6\nshot %s\n' "$work/up.ppm" > "$work/script"
start() {
  rm -f "$work/up.ppm"
  env -u VEY3_CONF -u VEY3_SAVE HOME="$work/home" VEY3_DATA="$data" VEY3_TEMP="$work/temp" \
    VEY3_INPUTSCRIPT="$work/script" "$vey3" -a >"$work/log" 2>&1 &
  vpid=$!
}
# Waits for the program to end, the longer the more loaded the machine is
# (at most $1 seconds); its status in $status.
waitend() {
  local until=$(( SECONDS + $1 ))
  while [ $SECONDS -le $until ]; do
    if ! kill -0 "$vpid" 2>/dev/null; then wait "$vpid"; status=$?; vpid=; return 0; fi
    sleep 0.1
  done
  return 1
}
# Waits until the program has made its temp folder and settings and shows
# the Main Menu.
waitup() {
  local until=$(( SECONDS + 300 ))
  while [ $SECONDS -le $until ]; do
    [ -d "$work/temp/vey3-$vpid" ] && [ -s "$work/home/veyrances3/vey3config" ] && [ -e "$work/up.ppm" ] && return 0
    kill -0 "$vpid" 2>/dev/null || fail "the program ended early"
    sleep 0.1
  done
  fail "the program did not start"
}

# No display at all, and one that cannot be reached.
for d in "" "$NODISPLAY"; do
  if [ -z "$d" ]; then unset DISPLAY; else export DISPLAY=$d; fi
  start
  waitend 120 || fail "without a display ($d) the program runs on"
  [ "$status" -eq 1 ] || fail "without a display ($d) the status is $status"
  grep -q "There is no display" "$work/log" || fail "without a display ($d) nothing is said"
done

startxserver "$work" || fail "no X server: $(cat "$work/xserver.log")"
export DISPLAY=$xdisplay
for sig in TERM INT; do
  rm -rf "$work/temp"
  start
  waitup
  cp "$work/home/veyrances3/vey3config" "$work/settings"
  kill -$sig "$vpid"
  waitend 120 || fail "SIGTERM/SIGINT ($sig) did not end the program"
  [ "$status" -eq 0 ] || fail "after SIG$sig the status is $status"
  [ -n "$(ls -A "$work/temp")" ] && fail "after SIG$sig the temp folder stays"
  cmp -s "$work/settings" "$work/home/veyrances3/vey3config" || fail "after SIG$sig the settings changed"
done

rm -rf "$work/temp"
start
waitup
stopxserver
waitend 120 || fail "the program runs on after its display went away"
[ "$status" -eq 1 ] || fail "after the display went away the status is $status"
[ -n "$(ls -A "$work/temp")" ] && fail "after the display went away the temp folder stays"
echo "ok"
