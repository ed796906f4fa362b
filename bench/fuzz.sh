#!/usr/bin/env bash
# Builds the two libFuzzer targets (clang, into build-fuzz) and runs each for SECONDS, both
# at once, one per core:
#   engine_fuzz    the filter run, settled every way, against the literal n x m scan
#   textfile_fuzz  the reorder tool's file decoding and output encoding
# Each starts from its seeds in tests/fuzz/corpus-*/ and from what earlier runs on this
# machine found (build-fuzz/corpus/, never committed). Prints for each target the
# executions done, the coverage reached (cov: edges, ft: features) and the corpus size.
# A finding stops its target; the input that caused it is kept in build-fuzz/findings/ and
# the script fails. Replay one with: build-fuzz/tests/fuzz/engine_fuzz FILE
#
# Usage: bench/fuzz.sh SECONDS
set -euo pipefail

if [ $# -ne 1 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ]; then
    echo "usage: bench/fuzz.sh SECONDS" >&2
    exit 2
fi
seconds=$1
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
targets=(engine_fuzz textfile_fuzz)

# The fuzz preset: Debug keeps the engine's own assertions; -O1 keeps it fast enough.
(cd "$root" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz --parallel "$(nproc)" >/dev/null)

mkdir -p "$build/findings"
pids=()
for target in "${targets[@]}"; do
    name=${target%_fuzz}
    mkdir -p "$build/corpus/$name"
    # The literal scan is quadratic: inputs stay small, and the slowest allowed takes
    # well under a second.
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -max_len=1024 -timeout=20 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
        "$build/corpus/$name" "$root/tests/fuzz/corpus-$name" >"$build/$target.log" 2>&1 &
    pids+=($!)
done

status=0
for k in "${!targets[@]}"; do
    target=${targets[$k]}
    log=$build/$target.log
    if wait "${pids[$k]}"; then
        executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        coverage=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 | grep -oE '(cov|ft|corp): [0-9/a-zA-Z]+' | tr '\n' ' ')
        echo "$target: ${executions:-?} executions in $seconds s; ${coverage:-no coverage line}"
    else
        status=1
        echo "$target: FINDING (log $log, inputs in $build/findings/):" >&2
        grep -vE '^#[0-9]+|^INFO:|^MS:|^base unit|^stat::' "$log" | tail -n 40 >&2
    fi
done
exit $status
