#!/usr/bin/env bash
# "--perftest" under a virtual X server prints the three test lines and exits 0.
# Arguments: vey3 binary, data folder, build folder.
set -uo pipefail
vey3=$1; data=$2
source "$(dirname "$0")/support/xserver.bash"
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work"   # the sound library keeps its files in the test's folder
trap 'stopxserver; rm -rf "$work"' EXIT
startxserver "$work" || { echo "FAIL: no X server: $(cat "$work/xserver.log")"; exit 1; }

env -u VEY3_CONF -u VEY3_SAVE -u VEY3_INPUTSCRIPT HOME="$work/home" VEY3_TEMP="$work/temp" VEY3_DATA="$data" \
  DISPLAY="$xdisplay" timeout 600 "$vey3" --perftest >"$work/log" 2>&1
status=$?
if [ $status -ne 0 ]; then echo "FAIL: status $status"; tail -30 "$work/log"; exit 1; fi
for n in 0 1 2; do
  if ! grep -Eq "^Test $n, [0-9]+\.[0-9]+ frames per second$" "$work/log"; then
    echo "FAIL: no line for test $n"; cat "$work/log"; exit 1
  fi
done
# The run ends before the general initialisation: no settings file, no saved-games folder.
if [ -e "$work/home/veyrances3/savedgames" ]; then echo "FAIL: perftest went on past its test"; exit 1; fi
echo ok
