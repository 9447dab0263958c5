#!/usr/bin/env bash
# The tests that drop to a plain user pass under a private TMPDIR (mode 0700,
# as many users' own is), and leave nothing behind in it: a fresh machine's
# checkout must not depend on a shared /tmp being where tests write.
# Arguments: vey3 binary, data folder, build folder.
set -uo pipefail
build=$3
private=$(mktemp -d)
log=$(mktemp)
trap 'rm -rf "$private" "$log"' EXIT
chmod 700 "$private"
fail() { echo "FAIL: $*"; tail -30 "$log"; exit 1; }
for run in "test_host UnwrittenMonth.*" "test_runtime Files.SaveAndLoad:Files.CopyFile" "test_gfx Screenshot.*"; do
  read -r program filter <<<"$run"
  TMPDIR="$private" "$build/$program" --gtest_filter="$filter" >"$log" 2>&1 || fail "$program $filter"
  grep -q "PASSED" "$log" || fail "$program $filter ran no test"
done
left=$(ls -A "$private")
[ -z "$left" ] || fail "left in TMPDIR: $left"
echo ok
