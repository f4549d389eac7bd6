#!/bin/bash
# Every scale figure at 2,000, 20,000 and 100,000 sub-compartments, as one table with
# the growth factor between the sizes: the engine bench (in-process, best of its own
# repeats), the navigation bench (a step in the main window and in the core, the
# window's peak memory) and whole dendrix-cli processes (start-up, `sql select *`:
# wall time and peak memory, as /usr/bin/time sees them). Each figure is the median of
# RUNS runs; the projects are made once under WORK and kept.
#
#   bench/bench_scale.sh [BUILD_DIR] [RUNS] [WORK] [SIZES]
#   e.g. bench/bench_scale.sh build 3 /tmp/dendrix-scale "2000 20000 100000"
set -u
B=${1:-build}
RUNS=${2:-3}
WORK=${3:-/tmp/dendrix-scale}
SIZES=${4:-2000 20000 100000}
STEPS=${STEPS:-2000} # window steps measured per size
CLI="$B/dendrix-cli"
BENCH="$B/bench"
[ -x "$BENCH/dendrix-bench" ] || BENCH="$B" # the programs side by side (a copy kept for comparison)
NAV_TIMEOUT=${NAV_TIMEOUT:-0}              # seconds a navigation run may take; 0: no limit
mkdir -p "$WORK"
RAW="$WORK/figures.tsv" # size TAB figure TAB value, one line a run
: > "$RAW"

median() { sort -g | awk '{v[NR]=$1} END {if (NR) print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
put() { printf '%s\t%s\t%s\n' "$1" "$2" "$3" >> "$RAW"; }

for n in $SIZES; do
    d="$WORK/p$n"
    [ -f "$d/Dendrix.ini" ] || "$CLI" demo "$d" --records "$n" --force > /dev/null
    for ((r = 0; r < RUNS; ++r)); do
        # The engine bench: the Paradox table's section only.
        "$BENCH/dendrix-bench" --records "$n" --dir "$WORK/e$n" --repeat 3 --keep |
            awk -v n="$n" '/^database\/bench.dbf/ {exit} /  [0-9.]+ ms/ {
                line = $0; sub(/^ +/, "", line); name = line; sub(/ +[0-9.]+ ms.*/, "", name);
                sub(/ \([0-9]+\)$/, "", name); match(line, /[0-9.]+ ms/); v = substr(line, RSTART, RLENGTH - 3);
                printf "%s\tengine: %s (ms)\t%s\n", n, name, v }' >> "$RAW"
        nav=$(timeout "$NAV_TIMEOUT" "$BENCH/dendrix-bench-navigation" --records "$n" --dir "$WORK/n$n" --steps "$STEPS" --keep 2>/dev/null)
        put "$n" "window: next sub-compartment (ms)" "$(sed -n 's/^main window: .* steps, \([0-9.]*\) ms per step.*/\1/p' <<< "$nav")"
        put "$n" "core: next sub-compartment (ms)" "$(sed -n 's/^core: .* steps, \([0-9.]*\) ms per step.*/\1/p' <<< "$nav")"
        put "$n" "window: peak after load (MiB)" "$(sed -n 's/^main window: peak after load \([0-9.]*\) MiB/\1/p' <<< "$nav")"
        put "$n" "window: peak (MiB)" "$(sed -n 's/^peak at the end \([0-9.]*\) MiB/\1/p' <<< "$nav")"
        t=$( { /usr/bin/time -f '%e %M' "$CLI" -C "$d" startup > /dev/null; } 2>&1 | tail -1)
        put "$n" "cli startup, whole process (ms)" "$(awk '{print $1 * 1000}' <<< "$t")"
        put "$n" "cli startup, peak (MiB)" "$(awk '{printf "%.0f", $2 / 1024}' <<< "$t")"
        t=$( { /usr/bin/time -f '%e %M' "$CLI" -C "$d" sql 'select * from "database\BANSKO.DB"' > /dev/null; } 2>&1 | tail -1)
        put "$n" "cli sql select *, whole process (ms)" "$(awk '{print $1 * 1000}' <<< "$t")"
        put "$n" "cli sql select *, peak (MiB)" "$(awk '{printf "%.0f", $2 / 1024}' <<< "$t")"
    done
done

# One table: a row a figure, a column a size, then the growth from each size to the next.
set -- $SIZES
printf '%-44s' "figure (median of $RUNS)"
for n in "$@"; do printf '%12s' "$n"; done
prev=""
for n in "$@"; do [ -n "$prev" ] && printf '%14s' "x$prev>$n"; prev=$n; done
printf '\n'
cut -f2 "$RAW" | awk '!seen[$0]++' | while IFS= read -r fig; do
    printf '%-44s' "$fig"
    vals=()
    for n in "$@"; do
        v=$(awk -F'\t' -v n="$n" -v f="$fig" '$1 == n && $2 == f && $3 != "" {print $3}' "$RAW" | median)
        vals+=("${v:-}")
        printf '%12s' "${v:--}"
    done
    for ((i = 1; i < ${#vals[@]}; ++i)); do
        a=${vals[i-1]}; b=${vals[i]}
        if [ -n "$a" ] && [ -n "$b" ] && awk -v a="$a" 'BEGIN {exit !(a > 0)}'; then
            printf '%14s' "$(awk -v a="$a" -v b="$b" 'BEGIN {printf "x%.1f", b / a}')"
        else
            printf '%14s' "-"
        fi
    done
    printf '\n'
done
