#!/bin/sh
# Private memory of the headless program with a 32,767-line playlist:
# RssAnon of /proc/PID/status (shared libraries are not counted).
# Usage: bench/app/memory.sh [build dir]
set -e
build=${1:-build}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/data/quillon" "$home/config/quillon"
i=0
while [ $i -lt 32767 ]; do
    printf 'Artist %d - Title of song %d;/home/me/Music/Artist %d/Artist %d - Title of song %d.mp3\r\n' $i $i $i $i $i
    i=$((i + 1))
done > "$home/data/quillon/playlist.txt"
( sleep 4 ) | XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" HOME="$home" \
    "$build/quillon" --headless >/dev/null 2>&1 &
sleep 3
pid=$(pgrep -n -f "$build/quillon --headless")
grep -E 'RssAnon|VmRSS' "/proc/$pid/status"
wait
