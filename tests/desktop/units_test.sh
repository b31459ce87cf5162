#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The bot's user units as the service manager reads them: no error, and an
# exposure score of 5 or better (lower is safer) for the plain unit and for
# an instance of the template.
# Usage: units_test.sh BUILD_DIR
set -eu
build=$1
if ! command -v systemd-analyze >/dev/null; then
    echo "skipped: systemd-analyze is missing (package systemd)"
    exit 77
fi
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
# A user manager's view needs a runtime folder, even one nobody serves.
export XDG_RUNTIME_DIR="$runtime"
failed=0
for unit in quillon-bot.service quillon-bot@room1.service; do
    # A key it does not know or a value it cannot read is only a line on
    # stderr, so any line counts.
    if ! said=$(systemd-analyze --user verify --man=no "$build/$unit" 2>&1) || [ -n "$said" ]; then
        echo "$said"
        echo "$unit: systemd-analyze verify finds faults"
        failed=1
    fi
    score=$(systemd-analyze --user security --offline=yes "$build/$unit" 2>&1 \
        | sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\) .*/\1/p')
    echo "$unit: exposure $score"
    if [ -z "$score" ] || ! awk -v s="$score" 'BEGIN { exit !(s <= 5) }'; then
        echo "$unit: the exposure score is not 5 or better"
        failed=1
    fi
done
exit $failed
