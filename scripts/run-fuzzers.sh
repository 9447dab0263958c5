#!/usr/bin/env bash
# Runs every fuzz target of a Fuzz build for the given number of seconds over
# its seed corpus (fuzz/corpus/<target>), without adding to the committed
# corpus. The targets run side by side, at most one per processor.
set -euo pipefail
build=$1; seconds=$2
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)   # in memory where the machine has it
trap 'rm -rf "$work"' EXIT

# One target: its own copy of the seeds; the status goes to a file.
runone() {
  local bin=$1 name=$2
  local corpus="$work/corpus-$name"
  mkdir -p "$corpus"
  if [ -d "$top/fuzz/corpus/$name" ]; then cp -r "$top/fuzz/corpus/$name"/. "$corpus"/ 2>/dev/null || true; fi
  if "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=0 \
       -artifact_prefix="$build/crash-$name-" "$corpus" >"$build/fuzz-$name.log" 2>&1; then
    echo 0 >"$work/status-$name"
  else
    echo 1 >"$work/status-$name"
  fi
}

names=()
for bin in "$build"/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin"); name=${name#fuzz_}
  names+=("$name")
  echo "== fuzz $name (${seconds}s)"
  runone "$bin" "$name" &
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
done
wait

if [ ${#names[@]} -eq 0 ]; then
  echo "no fuzz targets in $build"; exit 1
fi
status=0
for name in "${names[@]}"; do
  if [ "$(cat "$work/status-$name" 2>/dev/null || echo 1)" != 0 ]; then
    echo "fuzz target $name failed:"; tail -40 "$build/fuzz-$name.log"; status=1
  else
    # libFuzzer's last line: "Done N runs in S second(s)".
    echo "fuzz $name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$build/fuzz-$name.log" | tail -1 | cut -c6-)"
  fi
done
exit $status
