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
vey3host=$4
if [ "${VEY3_OWNTMP:-}" != 1 ]; then
  if ! unshare --mount --propagation private true 2>/dev/null; then
    echo "skipped: no private mount namespace here (unshare --mount needs root)"
    exit 0
  fi
  exec unshare --mount --propagation private env VEY3_OWNTMP=1 bash "$0" "$@"
fi
# The program is read before /tmp is covered (the build may lie under it).
exec 3<"$vey3host"
mount -t tmpfs -o mode=1777 vey3tmp /tmp || { echo "FAIL: no tmpfs on /tmp"; exit 1; }
bin=$(mktemp -d -p /tmp) && cat <&3 >"$bin/vey3host" && chmod 755 "$bin/vey3host" || { echo "FAIL: no copy of the program"; exit 1; }
exec 3<&-
work=$(mktemp -d -p /tmp)   # in the private /tmp, gone with it
log=""
fail() { echo "FAIL: $*"; echo "$log"; exit 1; }
uid=$(id -u)
shared=/tmp/veyrances3_$uid
# run ARGS...: the host program with a home of its own and the temp folder,
# the saved games, local maps and settings folder left to their defaults;
# the exit status, the output in $log (kept off /tmp, which a case makes
# read-only).
run() {
  log=$(cd "$work" && env -u VEY3_TEMP -u VEY3_CONF -u VEY3_SAVE -u VEY3_LOCALMAPS -u VEY3_MODS -u VEY3_MAPS \
    HOME="$work/home" timeout 600 "$bin/vey3host" "$@" 2>&1)
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
mkdir -m 0700 /tmp/elsewhere
ln -s /tmp/elsewhere "$shared"
refused "it is a symbolic link"
[ -z "$(ls -A /tmp/elsewhere)" ] || fail "the folder behind a link was used"
rm "$shared"
echo "a file" >"$shared"
refused "it is not a folder"
rm "$shared"

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
