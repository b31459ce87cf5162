#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Time from starting the headless program to its start line on standard
# output, with a 32,767-line playlist. Usage: bench/app/startup.sh [build dir] [runs]
set -e
build=${1:-build}
runs=${2:-5}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
"$(dirname "$0")/../full-playlist.sh" "$home"
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" HOME="$home"
run=0
while [ $run -lt "$runs" ]; do
    python3 - "$build/quillon" <<'PY'
import subprocess, sys, time
start = time.monotonic()
p = subprocess.Popen([sys.argv[1], "--headless"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                     stderr=subprocess.DEVNULL)
line = p.stdout.readline()
took = (time.monotonic() - start) * 1000
p.stdin.close()
p.wait()
print(f"start line after {took:.1f} ms: {line[:60]!r}")
PY
    run=$((run + 1))
done
