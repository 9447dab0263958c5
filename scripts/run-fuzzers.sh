#!/usr/bin/env bash
# Runs every fuzz target of a Fuzz build for the given number of seconds over
# its seed corpus (fuzz/corpus/<target>), without adding to the committed corpus.
set -euo pipefail
build=$1; seconds=$2
top=$(cd "$(dirname "$0")/.." && pwd)
status=0
for bin in "$build"/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin"); name=${name#fuzz_}
  seeds="$top/fuzz/corpus/$name"
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/ 2>/dev/null || true
  echo "== fuzz $name (${seconds}s)"
  if ! "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=0 \
        -artifact_prefix="$build/crash-$name-" "$work" >"$build/fuzz-$name.log" 2>&1; then
    echo "fuzz target $name failed:"; tail -40 "$build/fuzz-$name.log"; status=1
  fi
  rm -rf "$work"
done
exit $status
