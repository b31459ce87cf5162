#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# systemd's own check of a unit file; any complaint about the unit fails.
#   verify-unit.sh UNIT
set -u
unit=$1
if ! command -v systemd-analyze >/dev/null 2>&1; then
    echo "systemd-analyze is missing (package systemd); the unit was not checked"
    exit 77
fi
# A user manager's check needs a runtime folder, which a build machine may lack.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
out=$(XDG_RUNTIME_DIR=$runtime systemd-analyze --user --man=no verify "$unit" 2>&1)
rc=$?
[ -n "$out" ] && echo "$out"
[ "$rc" -eq 0 ] || exit 1
case $out in *"$(basename "$unit")"*) exit 1 ;; esac
exit 0
