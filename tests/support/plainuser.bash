# Folders for a run as a plain user (as root: uid 65534), sourced by the
# script tests. A private TMPDIR (mode 0700) keeps that user out, so such a
# folder stands under the first of TMPDIR, /tmp, /var/tmp and /dev/shm that
# others may pass through.

# othersreach PATH: true when every folder from / down to PATH lets others pass.
othersreach() {
  local p
  p=$(readlink -f "$1") || return 1
  while :; do
    [ -n "$(find "$p" -maxdepth 0 -perm -o+x 2>/dev/null)" ] || return 1
    [ "$p" = / ] && return 0
    p=$(dirname "$p")
  done
}

# plainuserdir: makes such a folder (mode 0755) and prints its path; prints
# nothing when no base lets a plain user in.
plainuserdir() {
  local base dir
  for base in "${TMPDIR:-/tmp}" /tmp /var/tmp /dev/shm; do
    [ -d "$base" ] || continue
    if [ "$(id -u)" != 0 ] || othersreach "$base"; then
      dir=$(mktemp -d -p "$base" vey3plainXXXXXX) || continue
      chmod 755 "$dir"
      echo "$dir"
      return
    fi
  done
}
