#!/usr/bin/env bash
# Times `reorder --duplicates=first KEYS DATA` with and without --explain=FILE on the inputs
# that make the reconciliation report expensive (generate --family=F1..F10, described in
# bench/datagen.h), at each SCALE given (default 1 and 10; 1 gives the families' own sizes).
# Each run is timed once with /usr/bin/time (wall time, peak resident memory) under caps, so a
# runaway run ends and is reported as "timeout", "out of memory" or "report too large" instead
# of a figure. The table says whether the run with the report stays within 10 times the plain
# run's time + 2 s and 4 times its peak memory + 300 MB; the results of both runs must be the
# same byte for byte. Families whose key lines are lists of several cells (F8 to F10) are run a
# third time with each line's cells joined into one key: the table then also says whether the
# plain run of the lists stays within 10 times that run's time + 2 s and 4 times its memory +
# 300 MB ("lists" in the targets column).
#
# Then the report is sent through the symbolic links the system itself would not follow: a loop
# (a -> b -> a), a chain of 45 links, and (as root) another user's link in a sticky folder that
# anyone may write to. Each must be refused with status 4 and nothing changed; the table says
# what happened.
#
# Builds reorder and generate (the bench preset: Release, into build-bench, or the build
# folder given as LANSHAN_BENCH_BUILD) when needed. LANSHAN_REORDER runs another reorder
# (an older build, say) on this tree's generate. Further settings: LANSHAN_HOSTILE_FAMILIES
# (default "F1 F2 F3 F4 F5 F6 F7 F8 F9 F10"), LANSHAN_HOSTILE_TIMEOUT (seconds per run, default 120),
# LANSHAN_HOSTILE_MEMORY_MB (address space per run, default 8000), LANSHAN_HOSTILE_FILE_MB
# (largest file a run may write, default 4096).
#
# Usage: bench/hostile.sh [SCALE...]. Exit status 1 when the results differ, a tool fails or a
# link is followed. LANSHAN_HOSTILE_FAMILIES="" runs the links alone.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${LANSHAN_BENCH_BUILD:-$root/build-bench}
reorder=${LANSHAN_REORDER:-$build/tools/reorder}
generate=$build/bench/generate
read -ra families <<<"${LANSHAN_HOSTILE_FAMILIES-F1 F2 F3 F4 F5 F6 F7 F8 F9 F10}"
limit=${LANSHAN_HOSTILE_TIMEOUT:-120}
memory_mb=${LANSHAN_HOSTILE_MEMORY_MB:-8000}
file_mb=${LANSHAN_HOSTILE_FILE_MB:-4096}
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(1 10)

if [ ! -x /usr/bin/time ]; then
    echo "hostile: /usr/bin/time is missing: install the package time (tools/install-deps.sh)" >&2
    exit 1
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

targets=(generate)
[ -n "${LANSHAN_REORDER:-}" ] || targets+=(reorder)
if [ ! -f "$build/CMakeCache.txt" ]; then
    (cd "$root" && cmake --preset bench -B "$build") >"$tmp/build.log" 2>&1 \
        || { cat "$tmp/build.log" >&2; exit 1; }
fi
cmake --build "$build" -j2 --target "${targets[@]}" >"$tmp/build.log" 2>&1 \
    || { cat "$tmp/build.log" >&2; exit 1; }
[ -x "$reorder" ] || { echo "hostile: no reorder at $reorder" >&2; exit 1; }

mb() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }

# measure OUT CMD...: runs CMD under the caps, its standard output in OUT. Sets seconds, kb
# (peak resident) and outcome: "ok", or why the run gave no figures.
measure() {
    local out=$1
    shift
    local status=0
    rm -f "$tmp/time.txt"
    (
        ulimit -v $((memory_mb * 1024))
        ulimit -f $((file_mb * 1024))
        exec /usr/bin/time -f '%e %M' -o "$tmp/time.txt" timeout -k 5 "$limit" "$@"
    ) >"$out" 2>"$tmp/run.err" || status=$?
    # time writes "Command exited with non-zero status N" before the figures.
    seconds=- kb=0
    [ ! -s "$tmp/time.txt" ] || read -r seconds kb < <(tail -n 1 "$tmp/time.txt")
    case $status in
        0 | 1) outcome=ok ;; # 1: done, the result holds empty lines
        124 | 137) outcome=timeout ;;
        141) outcome="reader stopped (SIGPIPE)" ;;
        153) outcome="report too large" ;; # SIGXFSZ
        *)
            if grep -q 'bad_alloc' "$tmp/run.err"; then
                outcome="out of memory"
            else
                outcome="failed ($status)"
            fi
            ;;
    esac
    if [ "$outcome" != ok ]; then
        echo "hostile: $* ended: $outcome after $seconds s, peak $(mb "$kb") MB" >&2
        sed 's/^/    /' "$tmp/run.err" | head -5 >&2
    fi
}

row() { printf '%-6s | %5s | %7s | %8s | %16s | %16s | %9s | %12s | %7s | %s\n' "$@"; }

row family scale "plain s" "plain MB" "explain s" "explain MB" "report MB" "report lines" result targets
failed=0
for scale in "${scales[@]}"; do
    for family in "${families[@]}"; do
        keys=$tmp/keys.txt data=$tmp/data.txt report=$tmp/report.tsv
        rm -f "$report"
        "$generate" --family="$family" "$scale" "$keys" "$data" 2>"$tmp/generate.log" \
            || { cat "$tmp/generate.log" >&2; exit 1; }
        echo "hostile: $(cat "$tmp/generate.log")" >&2

        measure "$tmp/out.plain" "$reorder" --duplicates=first "$keys" "$data"
        plain_outcome=$outcome plain_s=$seconds plain_kb=$kb
        measure "$tmp/out.explain" "$reorder" --duplicates=first --explain="$report" "$keys" "$data"
        explain_outcome=$outcome explain_s=$seconds explain_kb=$kb

        plain_cols=("$plain_s" "$(mb "$plain_kb")")
        [ "$plain_outcome" = ok ] || plain_cols=("$plain_outcome" -)
        explain_cols=("$explain_s" "$(mb "$explain_kb")" - -)
        if [ -f "$report" ]; then
            explain_cols[2]=$(awk -v b="$(stat -c %s "$report")" 'BEGIN { printf "%.1f", b / 1048576 }')
            explain_cols[3]=$(wc -l <"$report")
        fi
        [ "$explain_outcome" = ok ] || explain_cols[0]=$explain_outcome explain_cols[1]=-

        result=-
        if [ "$plain_outcome" = ok ] && [ "$explain_outcome" = ok ]; then
            if cmp -s "$tmp/out.plain" "$tmp/out.explain"; then
                result=same
            else
                result=DIFFERS
                failed=1
            fi
        fi

        # The budget of the run with the report, from the plain run's figures.
        verdict="unknown: no plain figures"
        if [ "$plain_outcome" = ok ]; then
            read -r budget_s budget_kb < <(awk -v s="$plain_s" -v k="$plain_kb" \
                'BEGIN { printf "%.2f %d\n", 10 * s + 2, 4 * k + 300 * 1024 }')
            if [ "$explain_outcome" = ok ]; then
                misses=()
                awk -v a="$explain_s" -v b="$budget_s" 'BEGIN { exit !(a > b) }' && misses+=(time)
                [ "$explain_kb" -le "$budget_kb" ] || misses+=(memory)
                if [ ${#misses[@]} -eq 0 ]; then
                    verdict=met
                else
                    verdict="missed: ${misses[*]}"
                fi
            elif [ "$explain_outcome" = "report too large" ]; then
                verdict="unknown: the report is over the file cap"
            elif awk -v b="$budget_s" -v l="$limit" -v k="$budget_kb" -v m="$((memory_mb * 1024))" \
                'BEGIN { exit !(b < l && k < m) }'; then
                verdict="missed: $explain_outcome"
            else
                verdict="unknown: the caps are below the budget"
            fi
        fi
        # Lists of several cells against the same data with each line's cells joined into one.
        if grep -q $'\t' "$keys"; then
            tr -d '\t' <"$keys" >"$tmp/joined.txt"
            measure "$tmp/out.joined" "$reorder" --duplicates=first "$tmp/joined.txt" "$data"
            if [ "$outcome" != ok ]; then
                verdict="$verdict; lists: unknown, joined $outcome"
            elif [ "$plain_outcome" != ok ]; then
                verdict="$verdict; lists: missed ($plain_outcome), joined $seconds s $(mb "$kb") MB"
            else
                lists=met
                awk -v a="$plain_s" -v s="$seconds" 'BEGIN { exit !(a > 10 * s + 2) }' && lists="missed: time"
                [ "$plain_kb" -le $((4 * kb + 300 * 1024)) ] || lists="missed: memory"
                verdict="$verdict; lists: $lists (joined $seconds s $(mb "$kb") MB)"
            fi
        fi
        row "$family" "$scale" "${plain_cols[@]}" "${explain_cols[@]}" "$result" "$verdict"
    done
done

# The links: what stands in their folder before and after a run, by name, kind, link, mode,
# owner and contents.
links=$tmp/links
printf '张三\nb2\n' >"$tmp/link-keys.txt"
printf '张 三\t90\nb2\t1\n' >"$tmp/link-data.txt"
state() {
    (cd "$links" && find . -mindepth 1 -printf '%p %y %l %m %U\n' | sort && find . -type f -exec md5sum {} + | sort)
}
link_row() { printf '%-40s | %6s | %7s | %s\n' "$@"; }
# link_case NAME TARGET: the links are made in $links already.
link_case() {
    local status=0 before after changed=no
    before=$(state)
    "$reorder" --duplicates=first --explain="$2" "$tmp/link-keys.txt" "$tmp/link-data.txt" >/dev/null \
        2>"$tmp/link.err" || status=$?
    after=$(state)
    [ "$before" = "$after" ] || changed=yes
    link_row "$1" "$status" "$changed" "$(head -n 1 "$tmp/link.err")"
    [ "$status" = 4 ] && [ "$changed" = no ] || failed=1
}
fresh() { rm -rf "$links" && mkdir "$links"; }

echo
link_row "report through" status changed "standard error"
fresh
ln -s b "$links/a" && ln -s a "$links/b"
link_case "a loop, a -> b -> a" "$links/a"
fresh
echo older >"$links/l45"
for i in $(seq 0 44); do ln -s "l$((i + 1))" "$links/l$i"; done
link_case "a chain of 45 links" "$links/l0"
if [ "$(id -u)" = 0 ]; then
    fresh
    echo older >"$links/real.tsv"
    mkdir -m 1777 "$links/shared"
    ln -s ../real.tsv "$links/shared/l" && chown -h 65534:65534 "$links/shared/l"
    link_case "another user's link in a sticky folder" "$links/shared/l"
else
    link_row "another user's link in a sticky folder" - - "not run: needs root"
fi
exit "$failed"
