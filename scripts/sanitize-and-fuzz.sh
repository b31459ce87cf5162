#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs after the normal suite: the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then every fuzz target for a while under
# libFuzzer. Any sanitizer report or fuzz crash fails the run.
#   scripts/sanitize-and-fuzz.sh [SECONDS_PER_TARGET]    (default 30)
# One clang build serves both halves: libFuzzer's coverage hooks cost the
# test programs little, and building once takes half the time of a gcc
# build for the suite beside a clang build for the fuzz targets.
set -e
cd "$(dirname "$0")/.."
seconds=${1:-30}
jobs=${JOBS:-2}
build=build-sanitize

launcher=""
if command -v ccache >/dev/null 2>&1; then
    launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi

# Leaks count too; the suite must end with every report silent.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Line tables are all a report's stack trace needs, and build far faster
# than full debug information. The Wine test gains nothing from
# instrumenting the host.
cmake -S . -B "$build" $launcher -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer" -DCMAKE_CXX_FLAGS_DEBUG="-gline-tables-only" \
    -DQUILLON_FUZZ=ON -DQUILLON_BUILD_BENCH=OFF -DQUILLON_WINE_TEST=OFF
cmake --build "$build" -j"$jobs"

echo "== the suite under the sanitizers"
ctest --test-dir "$build" -j"$jobs" --output-on-failure

# One target per core at a time; each writes its own log, shown whole when
# it fails. New inputs go to a scratch folder, so the checked-in seeds stay
# as written. An input that runs a minute is a hang.
echo "== the fuzz targets, ${seconds} s each"
export build seconds
ls -d tests/fuzz/corpus/*/ | xargs -n1 -P"$jobs" sh -c '
    name=$(basename "$1")
    mkdir -p "$build/corpus/$name"
    if "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=60 -print_final_stats=1 \
        -artifact_prefix="$build/$name-" "$build/corpus/$name" "$1" >"$build/fuzz_$name.log" 2>&1; then
        echo "-- fuzz_$name: $(grep -m1 "^Done" "$build/fuzz_$name.log")"
    else
        cat "$build/fuzz_$name.log"
        echo "-- fuzz_$name FAILED (the input is $build/$name-*)"
        exit 1
    fi' sh
