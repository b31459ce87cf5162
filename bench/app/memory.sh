#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Private memory of the headless program with a 32,767-line playlist:
# RssAnon of /proc/PID/status (shared libraries are not counted).
# Usage: bench/app/memory.sh [build dir]
set -e
build=${1:-build}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
"$(dirname "$0")/../full-playlist.sh" "$home"
( sleep 4 ) | XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" HOME="$home" \
    "$build/quillon" --headless >/dev/null 2>&1 &
sleep 3
pid=$(pgrep -n -f "$build/quillon --headless")
grep -E 'RssAnon|VmRSS' "/proc/$pid/status"
wait
