#!/usr/bin/env bash
# Measures each fuzz target of a Fuzz build on one core: a fixed number of
# runs over a copy of its seed corpus, reported as runs per CPU second (the
# process's user and system time, so that other load on the machine counts
# little). Usage: fuzz-speed.sh BUILD [RUNS] [TARGET...]
set -euo pipefail
build=$1; runs=${2:-40000}; shift $(( $# >= 2 ? 2 : $# ))
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)   # in memory where the machine has it
trap 'rm -rf "$work"' EXIT

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for bin in "$build"/fuzz_*; do [ -x "$bin" ] && targets+=("$(basename "$bin" | sed 's/^fuzz_//')"); done
fi
printf '%-20s %10s %8s %12s\n' target runs cpu_s runs/cpu_s
for name in "${targets[@]}"; do
  corpus="$work/corpus-$name"
  mkdir -p "$corpus"
  if [ -d "$top/fuzz/corpus/$name" ]; then cp -r "$top/fuzz/corpus/$name"/. "$corpus"/; fi
  /usr/bin/time -o "$work/time-$name" -f '%U %S' taskset -c "${FUZZ_SPEED_CORE:-0}" "$build/fuzz_$name" \
    -runs="$runs" -seed=1 -rss_limit_mb=2048 -timeout=10 "$corpus" >"$work/log-$name" 2>&1 ||
    { echo "fuzz target $name failed:"; tail -20 "$work/log-$name"; exit 1; }
  cpu=$(tail -1 "$work/time-$name" | awk '{print $1 + $2}')
  printf '%-20s %10d %8.2f %12.0f\n' "$name" "$runs" "$cpu" "$(awk -v r="$runs" -v c="$cpu" 'BEGIN{print (c > 0 ? r / c : 0)}')"
done
