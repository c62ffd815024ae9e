#!/usr/bin/env bash
# Prints the instructions one getTotalCost() takes per user, counted by
# callgrind: deterministic, so it compares across machines and commits.
# Usage: bench/instructions-per-user.sh [build directory, default build/release]
set -euo pipefail
build=${1:-build/release}
program="$build/bench/instructions_per_user"
[[ -x $program ]] || { echo "build $program first: cmake --build $build" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
users=$(valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$out" "$program" 2>/dev/null |
    awk '/^users/ {print $2}')
instructions=$(awk '/^totals:/ {print $2; exit}' "$out")
echo "getTotalCost over $users users: $instructions instructions, $((instructions / users)) per user"
if [[ ${2:-} == --top ]]; then
    callgrind_annotate "$out" 2>/dev/null | sed -n '/Ir/,$p' | head -n 20
fi
