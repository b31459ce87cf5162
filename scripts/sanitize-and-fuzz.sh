#!/bin/sh
# Runs after the normal suite: the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer (gcc), then every fuzz target for a while under
# libFuzzer (clang). Any sanitizer report or fuzz crash fails the run.
#   scripts/sanitize-and-fuzz.sh [SECONDS_PER_TARGET]    (default 30)
set -e
cd "$(dirname "$0")/.."
seconds=${1:-30}
jobs=${JOBS:-2}

launcher=""
if command -v ccache >/dev/null 2>&1; then
    launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi

# Leaks count too; the suite must end with every report silent.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

echo "== the suite under the sanitizers"
cmake -S . -B build-sanitize $launcher -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DQUILLON_BUILD_BENCH=OFF -DQUILLON_WINE_TEST=OFF
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize -j"$jobs" --output-on-failure

echo "== the fuzz targets, ${seconds} s each"
cmake -S . -B build-fuzz $launcher -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer" \
    -DQUILLON_FUZZ=ON -DQUILLON_BUILD_BENCH=OFF -DQUILLON_WINE_TEST=OFF
cmake --build build-fuzz -j"$jobs" --target fuzz_targets
for corpus in tests/fuzz/corpus/*/; do
    name=$(basename "$corpus")
    # New inputs go to a scratch folder, so the checked-in seeds stay as written.
    work="build-fuzz/corpus/$name"
    mkdir -p "$work"
    echo "-- fuzz_$name"
    "build-fuzz/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="build-fuzz/crash-$name-" "$work" "$corpus"
done
