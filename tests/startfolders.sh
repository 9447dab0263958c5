#!/usr/bin/env bash
# The folders that a start takes from the environment: an empty variable
# names no folder (as if it were not set), and the default shared temp
# folder /tmp/veyrances3_UID is used only when it is the user's own, a
# folder that no other account may write: else the start says so and works
# in a folder of its own, or ends with status 1 when it cannot make one.
# The runs see a /tmp of their own (a private mount namespace), so nothing
# here touches the machine's /tmp.
# Arguments: vey3 binary, data folder, build folder, host program.
set -uo pipefail
ulimit -c 0   # a temp folder that cannot be made aborts on purpose
data=$2; vey3host=$4
if [ "${VEY3_OWNTMP:-}" != 1 ]; then
  if ! unshare --mount --propagation private true 2>/dev/null; then
    echo "skipped: no private mount namespace here (unshare --mount needs root)"
    exit 0
  fi
  exec unshare --mount --propagation private env VEY3_OWNTMP=1 bash "$0" "$@"
fi
# The program is read, and the data folder opened, before /tmp is covered
# (the build may lie under it).
exec 3<"$vey3host" 4<"$data"
data=/proc/self/fd/4
mount -t tmpfs -o mode=1777 vey3tmp /tmp || { echo "FAIL: no tmpfs on /tmp"; exit 1; }
bin=$(mktemp -d -p /tmp) && cat <&3 >"$bin/vey3host" && chmod 755 "$bin/vey3host" || { echo "FAIL: no copy of the program"; exit 1; }
exec 3<&-
work=$(mktemp -d -p /tmp)   # in the private /tmp, gone with it
log=""
fail() { echo "FAIL: $*"; echo "$log"; exit 1; }
uid=$(id -u)
shared=/tmp/veyrances3_$uid
# run ARGS...: the host program with a home of its own and the data folder,
# the temp folder, the saved games, local maps and settings folder left to
# their defaults;
# the exit status, the output in $log (kept off /tmp, which a case makes
# read-only).
run() {
  log=$(cd "$work" && env -u VEY3_TEMP -u VEY3_CONF -u VEY3_SAVE -u VEY3_LOCALMAPS -u VEY3_MODS -u VEY3_MAPS \
    HOME="$work/home" VEY3_DATA="$data" timeout 600 "$bin/vey3host" "$@" 2>&1)
}
said() { grep -q "$@" <<<"$log"; }
verified() { said "nosuchgame"; }   # the run went on past the start

# A first start makes the shared folder (not writable by others) and
# leaves it empty.
run --verify nosuchgame
verified || fail "the first start did not go on"
[ -d "$shared" ] && [ ! -L "$shared" ] || fail "no shared temp folder made"
[ -z "$(find "$shared" -maxdepth 0 -perm /022)" ] || fail "the shared temp folder is writable by others"
[ -z "$(ls -A "$shared")" ] || fail "left in the shared temp folder: $(ls -A "$shared")"
said "is not this user's own" && fail "the user's own temp folder was refused"

# Each folder that is not the user's own is said and left as it was; the
# program works in a folder of its own beside it and removes that at its end.
refused() {   # refused WHY: the run with what stands at $shared now
  run -d --verify nosuchgame
  verified || fail "$1: the start did not go on"
  said "^The temp folder $shared is not this user's own ($1); this program uses a folder of its own, $shared\.[A-Za-z0-9]\{6\}$" \
    || fail "$1: not said"
  [ -z "$(ls -d "$shared".* 2>/dev/null)" ] || fail "$1: the program's own folder is left"
}
chown 65534:65534 "$shared"
refused "it belongs to another user"
[ -z "$(ls -A "$shared")" ] || fail "another user's temp folder was used"
chown "$uid" "$shared"
chmod 0777 "$shared"
refused "other users may write in it"
[ -z "$(ls -A "$shared")" ] || fail "a temp folder that others may write was used"
rmdir "$shared"
elsewhere=$(mktemp -d -p /tmp elsewhere.XXXXXX)
ln -s "$elsewhere" "$shared"
refused "it is a symbolic link"
[ -z "$(ls -A "$elsewhere")" ] || fail "the folder behind a link was used"
rm "$shared"
echo "a file" >"$shared"
refused "it is not a folder"
rm "$shared"

# A shared temp folder of the user's own that the group may write (made
# under umask 002) is made private again and used; the folder that a link
# leads to keeps its mode and is not used.
mkdir -m 0775 "$shared"
run -d --verify nosuchgame
verified || fail "a group-writable temp folder: the start did not go on"
said "is not this user's own" && fail "a group-writable temp folder of the user's own was refused"
[ "$(stat -c %a "$shared")" = 755 ] || fail "the group may still write in the user's own temp folder"
rmdir "$shared"
groupwide=$(mktemp -d -p /tmp groupwide.XXXXXX)
chmod 0775 "$groupwide"
ln -s "$groupwide" "$shared"
refused "it is a symbolic link"
[ "$(stat -c %a "$groupwide")" = 775 ] || fail "the folder behind a link was changed"
rm "$shared"

# start ARGS...: as run, in the background (its pid in $pid).
start() {
  (cd "$work" && exec env -u VEY3_TEMP -u VEY3_CONF -u VEY3_SAVE -u VEY3_LOCALMAPS -u VEY3_MODS -u VEY3_MAPS \
    HOME="$work/home" VEY3_DATA="$data" "$bin/vey3host" "$@" >/dev/null 2>&1) &
  pid=$!
}

# A program killed while it works in a folder of its own beside another
# account's shared temp folder leaves that folder: the next start removes
# it, and nothing of a program that still works there, of another account,
# or behind a link.
mkdir "$shared"
chown 65534:65534 "$shared"
VEY3_KILLSTEP=1 run --makemap killed --mapsize 320 240 --mapprov 20
status=$?
[ "$status" = 137 ] || fail "the program to be killed: status $status"
killed=$(ls -d "$shared".* 2>/dev/null)
[ -n "$(ls -A "$killed" 2>/dev/null)" ] || fail "the killed program left no folder of its own beside the shared one"
VEY3_KILLSTEP=1 VEY3_KILLSIGNAL=19 start --makemap stopped --mapsize 320 240 --mapprov 20
trap 'kill -9 "$pid" 2>/dev/null' EXIT
for _ in $(seq 6000); do [ "$(cut -d' ' -f3 "/proc/$pid/stat" 2>/dev/null)" = T ] && break; sleep 0.01; done
[ "$(cut -d' ' -f3 "/proc/$pid/stat")" = T ] || fail "the program to be stopped did not stop"
stopped=$(ls -d "$shared".* | grep -vxF "$killed")
true &
dead=$!
wait "$dead"
behind=$(mktemp -d -p "$work" behind.XXXXXX)
mkdir -m 0700 "$shared.others" "$behind/vey3-$dead"
chown 65534:65534 "$shared.others"
ln -s "$behind" "$shared.linked"
run --verify nosuchgame
verified || fail "a start beside folders of its own left over: the start did not go on"
[ -e "$killed" ] && fail "the folder of a killed program is left: $(ls -A "$killed")"
[ -d "$stopped" ] || fail "the folder of a program that still works was removed"
[ -d "$shared.others" ] && [ -L "$shared.linked" ] && [ -d "$behind/vey3-$dead" ] \
  || fail "another account's folder, a link or what it leads to was removed"
kill -CONT "$pid"
wait "$pid"
status=$?
trap - EXIT
[ "$status" = 0 ] || fail "the stopped program, gone on: status $status"
[ -e "$stopped" ] && fail "the stopped program did not remove its own folder at its end"
rm -rf "$shared.others" "$shared.linked" "$behind" "$shared"

# Empty variables are not set: the folders are the defaults under the home
# folder and the shared temp folder.
log=$(cd "$work" && env VEY3_TEMP= VEY3_CONF= VEY3_SAVE= VEY3_LOCALMAPS= HOME="$work/home" \
  timeout 600 "$bin/vey3host" -d --verify nosuchgame 2>&1)
for line in "confpath='$work/home/veyrances3'" "savepath='$work/home/veyrances3/savedgames'" \
  "localmappath='$work/home/veyrances3/maps'" "temppath='$shared/vey3-[0-9]*'"; do
  said -x "$line" || fail "an empty variable: no $line"
done
[ -d "$work/home/veyrances3/savedgames" ] || fail "an empty VEY3_SAVE: no saved-games folder under the home folder"

# Where no folder of its own can be made either, the start ends with status
# 1; where the shared folder cannot be made, it stops through the fatal path.
mkdir -p "$shared"
chown 65534:65534 "$shared"
mount -o remount,ro /tmp || fail "/tmp cannot be made read-only"
run --verify nosuchgame
status=$?
[ "$status" = 1 ] || fail "no own temp folder: status $status, not 1"
said -x "The temp folder $shared is not this user's own (it belongs to another user), and no folder of this program's own can be made beside it: /tmp: cannot be written: the disc is read-only" \
  || fail "no own temp folder: not said"
mount -o remount,rw /tmp && rmdir "$shared" && mount -o remount,ro /tmp || fail "/tmp cannot be changed"
run --verify nosuchgame
status=$?
mount -o remount,rw /tmp
[ "$status" -gt 128 ] || fail "a shared temp folder that cannot be made: status $status, not an abort"
said -x "Failed to create temp directory properly (unknown reason): $shared: cannot be written: the disc is read-only" \
  || fail "a shared temp folder that cannot be made: not said"
echo ok
