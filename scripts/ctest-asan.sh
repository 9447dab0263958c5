#!/bin/bash
# Runs the sanitizer build's tests: ctest-asan.sh BUILD_DIR [ctest options].
#
# On a loaded machine the leak checker itself now and then crashes while it
# stops a finished test's threads ("LeakSanitizer has encountered a fatal
# error", its tracer thread caught a signal), after every check of the test
# passed and before any leak was looked at. Such a test, and only such a test,
# runs once more; any other failure, or the same crash twice, fails the run.
set -u
dir=$1
shift
cd "$dir" || exit 1
ctest "$@" && exit 0

failed=Testing/Temporary/LastTestsFailed.log
log=Testing/Temporary/LastTest.log
[ -s "$failed" ] || exit 1
names=$(sed -n 's/^[0-9]*:\(.*\)$/\1/p' "$failed")
for name in $names; do
  # The test's own output: from its "Testing:" line to its end-time line.
  if ! awk -v t="$name" '
      $0 ~ ("^[0-9]+/[0-9]+ Testing: " t "$") { on = 1 }
      on && index($0, "LeakSanitizer has encountered a fatal error") { found = 1 }
      on && index($0, "\"" t "\" end time:") { exit }
      END { exit !found }' "$log"; then
    echo "ctest-asan: $name failed in its own checks; not run again" >&2
    exit 1
  fi
done
echo "ctest-asan: the leak checker crashed at the end of: $(echo $names); running them once more" >&2
ctest "$@" --rerun-failed
