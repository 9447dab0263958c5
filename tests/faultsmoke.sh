#!/usr/bin/env bash
# A short run of the fault injection (make faults runs it long): each road
# that writes a game's files is stopped once at a point drawn from a fixed
# seed, and must leave the old state or the new one, whole.
# Arguments: vey3 binary, data folder, build folder, host program.
set -uo pipefail
exec bash "$(dirname "$0")/../scripts/fault-inject.sh" --runs 1 --seed 1 "$3"
