#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows test program under Wine on a display of its own.
# Usage: run-under-wine.sh WINE EXE PREFIX
wine=$1
exe=$2
if [ ! -f "$exe" ]; then
    echo "$exe is missing: build the window_contract_win32 target (a full build does)." >&2
    exit 1
fi
export WINEPREFIX="$3"
export WINEDEBUG=-all
# The contract passes Windows-1252 bytes; a neutral locale gives Wine that
# ANSI code page whatever the caller's language.
export LC_ALL=C.UTF-8
mkdir -p "$WINEPREFIX"
# Window messages answer 0 without a display, so the program needs one; the
# prefix's server is waited for so that the next run finds it gone.
run='"$0" "$1"; rc=$?; wineserver -w 2>/dev/null; exit $rc'
if command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a sh -c "$run" "$wine" "$exe"
elif [ -n "$DISPLAY" ]; then
    exec sh -c "$run" "$wine" "$exe"
else
    echo "The Windows contract tests need an X display: install xvfb (xvfb-run)." >&2
    exit 1
fi
