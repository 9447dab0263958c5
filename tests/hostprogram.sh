#!/usr/bin/env bash
# The host program links no SDL or OpenGL and runs the window-free modes as
# the player's program does: a random map (unseeded, so not the same bytes),
# the same answers of --verify, the same refusal without a mode.
# Arguments: vey3 binary, data folder, build folder, host program.
set -uo pipefail
vey3=$1; data=$2; vey3host=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
run() {
  local program=$1 maps=$2; shift 2
  # A temp folder of its own: programs started in the same second elsewhere
  # on the machine may draw the same random temp name.
  (cd "$work" && env -u VEY3_CONF -u VEY3_SAVE -u VEY3_MAPS HOME="$work/home" VEY3_DATA="$data" \
    VEY3_TEMP="$work/temp-$maps" VEY3_LOCALMAPS="$work/$maps" timeout 600 "$program" "$@" 2>&1)
}

ldd "$vey3host" | grep -Ei 'libSDL|libGL' && fail "the host program links SDL or OpenGL"

b=$(run "$vey3host" host --makemap small --mapsize 320 240 --mapprov 20 --riverpart 100) || fail "--makemap: $b"
grep -qx "#vey2title small" "$work/host/small.map" || fail "no map file"
[ "$(head -c 3 "$work/host/small.rgb" | od -An -tx1 | tr -d ' ')" = "01da01" ] || fail "no map image"
# Without a window no progress is shown, and the generator's working lines only with -d.
grep -q "Random Map Generation" <<<"$b" && fail "--makemap shows progress in text-only mode: $b"
grep -q "written" <<<"$b" && fail "--makemap prints a line of its own: $b"
grep -q "Nbors for\|close sea cap\|feblanks\|blanks [0-9]" <<<"$b" && fail "--makemap shows working lines: $b"
d=$(run "$vey3host" host -d --makemap small --mapsize 320 240 --mapprov 20) || fail "-d --makemap: $d"
grep -q "Nbors for" <<<"$d" || fail "-d --makemap hides the working lines"

v=$(run "$vey3host" host --version); sv=$?
[ "$sv" -eq 1 ] && grep -q "^Veyrances 3, version" <<<"$v" || fail "--version: $sv '$v'"

a=$(run "$vey3" player --verify nosuchgame); sa=$?
b=$(run "$vey3host" host --verify nosuchgame); sb=$?
[ "$sa" = "$sb" ] && [ "$a" = "$b" ] || fail "--verify: $sa '$a' / $sb '$b'"
[ "$sb" -ne 0 ] || fail "--verify of a missing game gave 0"

a=$(run "$vey3" player --textonly); sa=$?
b=$(run "$vey3host" host); sb=$?
# The same stop: the fixed line and the message on the console (standard
# error) and in the log (standard output), and nothing more.
m="Text only mode can only be used with --tcpserver, --makemap or --host"
stop=$(printf 'N\345got gick fel!\n%s\nN\345got gick fel!\n%s\n' "$m" "$m")
[ "$sb" -ne 0 ] && [ "$a" = "$stop" ] && [ "$b" = "$stop" ] || fail "no mode: $sa '$a' / $sb '$b'"
echo ok
