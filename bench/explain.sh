#!/usr/bin/env bash
# Times `reorder --duplicates=first KEYS DATA` with and without --explain=FILE, on generated
# files of 10^5 and 10^6 keys and rows in which the keys without a row (about 10 %) each have
# a near miss (generate --near-misses). Each command runs 3 times; the table shows the best
# wall time, the ratio of the two, and reorder's own phases (--timings) of the best run with
# the report. The results with and without the report are compared byte for byte.
#
# Builds reorder and generate (the bench preset: Release, into build-bench, or the build
# folder given as LANSHAN_BENCH_BUILD) when needed; LANSHAN_REORDER runs another reorder (an
# older build, say) on this tree's generate. Usage: bench/explain.sh [SIZE...]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${LANSHAN_BENCH_BUILD:-$root/build-bench}
reorder=${LANSHAN_REORDER:-$build/tools/reorder}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000 1000000)
runs=3

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if [ ! -f "$build/CMakeCache.txt" ]; then
    (cd "$root" && cmake --preset bench -B "$build") >"$tmp/build.log" 2>&1 \
        || { cat "$tmp/build.log" >&2; exit 1; }
fi
targets=(generate)
[ -n "${LANSHAN_REORDER:-}" ] || targets+=(reorder)
cmake --build "$build" -j2 --target "${targets[@]}" >"$tmp/build.log" 2>&1 \
    || { cat "$tmp/build.log" >&2; exit 1; }

now_us() { echo "${EPOCHREALTIME//[!0-9]/}"; }

# best_of OUT CMD...: the best wall time of $runs runs in ms, in best_ms; stderr of that run in $tmp/best.err.
best_of() {
    local out=$1
    shift
    best_ms=
    local i start end ms
    for ((i = 1; i <= runs; i++)); do
        start=$(now_us)
        "$@" >"$out" 2>"$tmp/run.err" || [ $? -le 1 ]
        end=$(now_us)
        ms=$(((end - start + 500) / 1000))
        if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then
            best_ms=$ms
            cp "$tmp/run.err" "$tmp/best.err"
        fi
    done
}

printf '%-8s | %10s | %13s | %5s | %12s | %s\n' "n = m" "plain ms" "--explain ms" "ratio" "report lines" "--timings with --explain"
for n in "${sizes[@]}"; do
    keys=$tmp/keys.txt data=$tmp/data.txt
    "$build/bench/generate" --near-misses "$n" "$n" "$keys" "$data" 1 2>"$tmp/generate.log" \
        || { cat "$tmp/generate.log" >&2; exit 1; }
    echo "explain: $(cat "$tmp/generate.log")" >&2
    best_of "$tmp/out.plain" "$reorder" --duplicates=first "$keys" "$data"
    plain=$best_ms
    best_of "$tmp/out.explain" "$reorder" --duplicates=first --timings --explain="$tmp/report.tsv" "$keys" "$data"
    explained=$best_ms
    cmp -s "$tmp/out.plain" "$tmp/out.explain" || { echo "explain: the results differ at n = $n" >&2; exit 1; }
    printf '%-8s | %10s | %13s | %5s | %12s | %s\n' "$n" "$plain" "$explained" \
        "$(awk -v a="$explained" -v b="$plain" 'BEGIN { printf "%.2f", a / (b > 0 ? b : 1) }')" \
        "$(wc -l <"$tmp/report.tsv")" "$(sed -n 's/^reorder: //p' "$tmp/best.err")"
    cut -f1,4 "$tmp/report.tsv" | sort | uniq -c | sort -rn | head -12 | sed 's/^/    /' >&2
done
