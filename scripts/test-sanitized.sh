#!/usr/bin/env bash
# Builds the program and every test with AddressSanitizer and UndefinedBehaviorSanitizer
# (-DDX_SANITIZE=ON) into its own folder and runs the whole test suite there. CI keeps
# the plain build; this is the run before a release and after a change to the engine.
#
#   scripts/test-sanitized.sh [CTEST ARGS ...]     e.g. -R 'StartupCli|SieveCli'
#
# BUILD_DIR names the build folder (default build-asan in the checkout), JOBS the
# parallel jobs (default 2). Any sanitizer report fails the test that caused it; a leak
# report too, apart from the third-party libraries listed in scripts/lsan-suppressions.txt.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-asan}
jobs=${JOBS:-2}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDX_SANITIZE=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$jobs"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$repo/scripts/lsan-suppressions.txt:print_suppressions=0}
cd "$build"
ctest -j"$jobs" --output-on-failure --timeout 1800 "$@"
