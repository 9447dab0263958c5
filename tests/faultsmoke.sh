#!/usr/bin/env bash
# A short run of the fault injection (make faults runs it long): each road
# that writes a game's files is stopped once at a point drawn from a fixed
# seed, and must leave the old state or the new one, whole.
# Arguments: vey3 binary, data folder, build folder, host program.
set -uo pipefail
# The sound library keeps its files in a folder of the run's own.
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
XDG_RUNTIME_DIR="$run" bash "$(dirname "$0")/../scripts/fault-inject.sh" --runs 1 --seed 1 "$3"
