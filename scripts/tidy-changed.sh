#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs clang-tidy (.clang-tidy) on the C++ sources a change touches: those
# that differ from BASE (default: the commit before HEAD), with the
# compile commands of BUILD (default: build). Any finding fails.
#   scripts/tidy-changed.sh [BASE] [BUILD]
set -e
cd "$(dirname "$0")/.."
base=${1:-HEAD~1}
build=${2:-build}
if ! git rev-parse -q --verify "$base^{commit}" >/dev/null; then
    echo "tidy: no commit $base to compare with; nothing checked"
    exit 0
fi
# Headers are checked through the sources that include them: a changed
# header brings its own source file along.
changed=$(git diff --name-only --diff-filter=d "$base" -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
    'bench/*.cpp' 'bench/*.h' | grep -v '^tests/chatlink/win32/' || true)
files=$(for file in $changed; do
    case $file in
    *.h) [ -f "${file%.h}.cpp" ] && echo "${file%.h}.cpp" ;;
    *) echo "$file" ;;
    esac
done | sort -u)
if [ -z "$files" ]; then
    echo "tidy: no C++ source changed since $base"
    exit 0
fi
echo "tidy: $(echo "$files" | wc -l) changed sources"
# shellcheck disable=SC2086
run-clang-tidy -quiet -p "$build" -j "${JOBS:-2}" $files
