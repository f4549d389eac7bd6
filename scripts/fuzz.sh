#!/usr/bin/env bash
# Builds the fuzz harnesses (clang, libFuzzer, ASan + UBSan) and runs each for a given
# time, one after the other, from a scratch folder: libFuzzer writes its logs, new
# corpus entries and crash files there and never into the checkout. The seed corpora in
# fuzz/corpus/ are only read.
#
#   scripts/fuzz.sh [-t SECONDS] [-s SCRATCH] [HARNESS ...]
#
# -t  run time of each harness (default 600)
# -s  scratch folder (default a new folder under ${TMPDIR:-/tmp}); kept afterwards
# HARNESS  names such as fuzz_profile (default: every harness)
# BUILD_DIR names the build folder (default build-fuzz in the checkout).
#
# Prints one line a harness: executions, coverage (edges), features, corpus size and
# findings (crash, leak, timeout and out-of-memory files). Exit status 1 when a harness
# found anything; its log and inputs are in the scratch folder.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
seconds=600
scratch=
while getopts "t:s:" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    s) scratch=$OPTARG ;;
    *) sed -n '2,18p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
all=(fuzz_profile fuzz_catalogue fuzz_codepage fuzz_sieveclause fuzz_printlist fuzz_descriptiontext fuzz_dbf fuzz_paradox fuzz_filter fuzz_sqltranslate)
harnesses=("${@:-${all[@]}}")
build=${BUILD_DIR:-$repo/build-fuzz}
scratch=${scratch:-$(mktemp -d "${TMPDIR:-/tmp}/dendrix-fuzz.XXXXXX")}
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
case "$scratch/" in
  "$repo"/*) echo "fuzz.sh: the scratch folder must lie outside the checkout" >&2; exit 2 ;;
esac

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$repo" -B "$build" -G Ninja -DDX_FUZZ=ON -DDX_BUILD_TESTS=OFF -DDX_BUILD_GUI=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
cmake --build "$build" -j2 --target "${harnesses[@]}"

# Iconv's conversion handles live as long as the process; nothing else may leak.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
status=0
printf '%-20s %7s %12s %8s %8s %7s %8s\n' harness seconds executions coverage features corpus findings
for h in "${harnesses[@]}"; do
  dir=$scratch/$h
  mkdir -p "$dir/corpus" "$dir/artifacts"
  extra=()
  [ "$h" = fuzz_filter ] && extra+=(-max_len=20000)
  seeds=()
  [ -d "$repo/fuzz/corpus/$h" ] && seeds+=("$repo/fuzz/corpus/$h")
  # From the scratch folder: whatever libFuzzer writes to its working directory lands here.
  (cd "$dir" && TMPDIR=$dir "$build/fuzz/$h" corpus "${seeds[@]}" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=artifacts/ "${extra[@]}" >log.txt 2>&1) || true
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/log.txt" | grep -o '[0-9]*$' || true)
  cov=$(grep -o 'cov: [0-9]*' "$dir/log.txt" | tail -1 | grep -o '[0-9]*' || true)
  ft=$(grep -o 'ft: [0-9]*' "$dir/log.txt" | tail -1 | grep -o '[0-9]*' || true)
  corpus=$(find "$dir/corpus" -type f | wc -l)
  findings=$(find "$dir/artifacts" -type f | wc -l)
  printf '%-20s %7s %12s %8s %8s %7s %8s\n' "$h" "$seconds" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$corpus" "$findings"
  [ "$findings" -eq 0 ] || status=1
  [ -n "$execs" ] || status=1 # it did not finish its run
done
echo "logs, corpora and findings: $scratch"
exit $status
