#!/usr/bin/env bash
# Printing benchmark: 1,000 descriptions (and their compartments' sheets) written to one
# PDF by dendrix-cli, through the same renderer as the printer. Target: under 20 s.
#
#   bash bench/bench_pdf.sh [BUILD_DIR] [RECORDS]
set -euo pipefail
BUILD=${1:-build}
RECORDS=${2:-1000}
CLI="$BUILD/dendrix-cli"
DIR=$(mktemp -d /tmp/dendrix-bench-pdf.XXXXXX)
trap 'rm -rf "$DIR"' EXIT
"$CLI" demo "$DIR/demo" --records "$RECORDS" > /dev/null
TABLE=$(sed -n 's/^database=//p' "$DIR/demo/Dendrix.ini" | tr -d '\r' | head -1)
read -r FIRST LAST < <("$CLI" -C "$DIR/demo" sql "select min(OTD), max(OTD) from \"$TABLE\"" | tail -1)
COUNT=$("$CLI" -C "$DIR/demo" sql "select count(*) from \"$TABLE\"" | tail -1)
echo "descriptions: $COUNT (compartments $FIRST..$LAST)"
for opts in "" "--branches --sheets"; do
  start=$(date +%s.%N)
  "$CLI" -C "$DIR/demo" pdf "$DIR/out.pdf" $opts --from "$FIRST" --to "$LAST" 2>/dev/null
  end=$(date +%s.%N)
  printf 'pdf %-20s %6.2f s, %s bytes\n' "${opts:-(plain)}" "$(echo "$end - $start" | bc -l)" "$(stat -c %s "$DIR/out.pdf")"
done
