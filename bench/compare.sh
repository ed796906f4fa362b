#!/usr/bin/env bash
# Times `reorder --duplicates=first KEYS DATA` against the same join done by gawk, by mawk and
# by a plain Python dict, on generated files of 10^4, 10^5 and 10^6 keys and rows.
#
# Every tool reads the same two files and writes to a file; each is run 3 times under
# GNU time (-f '%e %M'). The table shows the best wall time and the largest peak resident
# memory (MiB = 2^20 bytes) of the runs. %e has only 1/100 s steps, too coarse for the small
# case, so the time shown is the wall clock taken around the same /usr/bin/time call, in
# 1/1000 s (it includes the start of /usr/bin/time itself, under a millisecond); %e is
# logged with every run. ratio = reorder's best time / the fastest of the other three.
#
# The generated files end every line with LF, the last one too. reorder reads that last LF
# as the start of one more, empty, key line and writes an empty result line for it, so its
# output ends with LF just like awk's: the outputs are expected to be identical byte for
# byte, and are checked with cmp for every size (a difference only in a trailing LF is
# reported as such).
#
# Builds reorder and generate (the bench preset: Release, into build-bench) when needed and installs gawk and
# mawk with apt-get when missing. Usage: bench/compare.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-bench
reorder=$build/tools/reorder
generate=$build/bench/generate
sizes=(10000 100000 1000000)
runs=3
seed=1

# The join, as awk and as Python: the first row per first column wins; per key line, print
# that row or an empty line.
# shellcheck disable=SC2016 # awk's own $1 and $0
awk_join='NR==FNR{if(!($1 in r))r[$1]=$0;next}{print r[$0]}'
python_join='
import sys
rows = {}
with open(sys.argv[1], "rb") as data:
    for line in data:
        line = line.rstrip(b"\n")
        rows.setdefault(line.split(b"\t", 1)[0], line)
with open(sys.argv[2], "rb") as keys:
    out = [rows.get(key.rstrip(b"\n"), b"") + b"\n" for key in keys]
sys.stdout.buffer.write(b"".join(out))
'

log() { echo "compare: $*" >&2; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# --- Build -------------------------------------------------------------------------------
if [ ! -f "$build/CMakeCache.txt" ]; then
    log "configuring $build"
    (cd "$root" && cmake --preset bench) >"$tmp/build.log" 2>&1 \
        || { cat "$tmp/build.log" >&2; exit 1; }
fi
cmake --build "$build" -j2 --target reorder generate >"$tmp/build.log" 2>&1 \
    || { cat "$tmp/build.log" >&2; exit 1; }

# --- gawk and mawk -------------------------------------------------------------------------
missing=()
for p in gawk mawk; do
    command -v "$p" >/dev/null || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    log "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The interpreter itself, not a wrapper such as a pyenv shim, whose start would be timed too.
python=$(python3 -c 'import sys; print(sys.executable)')

# Byte semantics for every tool: the join compares bytes, and no tool should pay for a
# multibyte locale.
export LC_ALL=C

# --- Timing --------------------------------------------------------------------------------
now_us() { echo "${EPOCHREALTIME//[!0-9]/}"; }

# measure NAME OUT CMD...: runs CMD $runs times, stdout to OUT; sets best_ms and peak_kb.
measure() {
    local name=$1 out=$2
    shift 2
    best_ms=
    peak_kb=0
    local i start end ms e kb
    for ((i = 1; i <= runs; i++)); do
        start=$(now_us)
        /usr/bin/time -f '%e %M' -o "$tmp/time" "$@" >"$out"
        end=$(now_us)
        ms=$(((end - start + 500) / 1000))
        read -r e kb <"$tmp/time"
        log "  $name run $i: ${ms} ms (time: ${e} s, ${kb} KiB)"
        if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
        if [ "$kb" -gt "$peak_kb" ]; then peak_kb=$kb; fi
    done
}

ends_with_lf() { [ -z "$(tail -c 1 "$1")" ]; }
with_final_lf() {
    cat "$1"
    ends_with_lf "$1" || echo
}

# same_output A B: says whether two outputs agree; fails when they differ beyond a final LF.
same_output() {
    if cmp -s "$1" "$2"; then
        echo "identical"
    elif cmp -s <(with_final_lf "$1") <(with_final_lf "$2"); then
        if ends_with_lf "$1"; then
            echo "identical but for a trailing LF that only $(basename "$1") has"
        else
            echo "identical but for a trailing LF that only $(basename "$2") has"
        fi
    else
        echo "DIFFERENT"
        return 1
    fi
}

mib() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
seconds() { awk -v ms="$1" 'BEGIN { printf "%.3f", ms / 1000 }'; }

tools=(reorder gawk mawk python)
table=()
checks=()
mismatch=0
for n in "${sizes[@]}"; do
    keys=$tmp/keys-$n.txt
    data=$tmp/data-$n.txt
    log "n = m = $n"
    "$generate" "$n" "$n" "$keys" "$data" "$seed" 2>"$tmp/generate.log" \
        || { cat "$tmp/generate.log" >&2; exit 1; }
    log "  $(cat "$tmp/generate.log")"
    key_bytes=$(stat -c %s "$keys")
    data_bytes=$(stat -c %s "$data")

    declare -A time_ms=() mem_kb=()
    measure reorder "$tmp/out.reorder" "$reorder" --duplicates=first "$keys" "$data"
    time_ms[reorder]=$best_ms mem_kb[reorder]=$peak_kb
    measure gawk "$tmp/out.gawk" gawk -F'\t' "$awk_join" "$data" "$keys"
    time_ms[gawk]=$best_ms mem_kb[gawk]=$peak_kb
    measure mawk "$tmp/out.mawk" mawk -F'\t' "$awk_join" "$data" "$keys"
    time_ms[mawk]=$best_ms mem_kb[mawk]=$peak_kb
    measure python "$tmp/out.python" "$python" -c "$python_join" "$data" "$keys"
    time_ms[python]=$best_ms mem_kb[python]=$peak_kb

    for other in gawk mawk python; do
        verdict=$(same_output "$tmp/out.reorder" "$tmp/out.$other") || mismatch=1
        checks+=("$(printf '%-8s reorder vs %-7s %s' "$n" "$other:" "$verdict")")
    done

    fastest=${time_ms[gawk]}
    for other in mawk python; do
        if [ "${time_ms[$other]}" -lt "$fastest" ]; then fastest=${time_ms[$other]}; fi
    done
    [ "$fastest" -gt 0 ] || fastest=1
    row=$(printf '%-8s %9s' "$n" "$(mib $((key_bytes + data_bytes)))")
    for t in "${tools[@]}"; do
        row+=$(printf ' | %9s %6s' "$(seconds "${time_ms[$t]}")" "$(mib $((mem_kb[$t] * 1024)))")
    done
    row+=$(printf ' | %6s' "$(awk -v a="${time_ms[reorder]}" -v b="$fastest" 'BEGIN { printf "%.2f", a / b }')")
    table+=("$row")

    if [ "$n" = "${sizes[-1]}" ]; then
        big_keys=$key_bytes big_data=$data_bytes
        # reorder's own phases, best match of $runs runs
        best_timings=
        best_match=
        for ((i = 1; i <= runs; i++)); do
            "$reorder" --duplicates=first --timings "$keys" "$data" 2>"$tmp/timings" >/dev/null
            line=$(grep '^reorder: read' "$tmp/timings")
            match=$(sed -E 's/.*match ([0-9.]+) ms.*/\1/' <<<"$line")
            if [ -z "$best_match" ] || awk -v a="$match" -v b="$best_match" 'BEGIN { exit !(a < b) }'; then
                best_match=$match best_timings=$line
            fi
        done
    fi
    rm -f "$tmp"/out.*
    unset time_ms mem_kb
done

# --- Report --------------------------------------------------------------------------------
echo
echo "best of $runs runs: wall time in s, peak resident memory in MiB; n keys = m rows"
header=$(printf '%-8s %9s' "n = m" "files MiB")
for t in "${tools[@]}"; do
    header+=$(printf ' | %9s %6s' "$t s" "MiB")
done
header+=$(printf ' | %6s' "ratio")
echo "$header"
echo "${header//[^|]/-}" | tr '|' '+'
printf '%s\n' "${table[@]}"
echo
echo "ratio = reorder time / fastest of gawk, mawk, python"
echo "10^6 files: keys $big_keys bytes, data $big_data bytes, together $((big_keys + big_data)) bytes ($(mib $((big_keys + big_data))) MiB)"
echo "reorder --timings, 10^6, best match of $runs: ${best_timings#reorder: }"
echo
echo "outputs (the generated files end with LF; reorder sees one more, empty, key line):"
printf '  %s\n' "${checks[@]}"
echo
echo "versions: $("$reorder" --version); $(gawk --version | head -n 1); $(mawk -W version 2>&1 | head -n 1); Python $("$python" -c 'import platform; print(platform.python_version())')"
if [ "$mismatch" -ne 0 ]; then
    echo "compare: the outputs differ (see above)" >&2
    exit 1
fi
