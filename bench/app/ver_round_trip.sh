#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Time from the owner typing "ver" in the headless local room to the reply
# on standard output, with a 32,767-line playlist, after the program has
# come to rest. Usage: bench/app/ver_round_trip.sh [build dir] [rounds]
#
# Goal: every reply within 100 ms.
set -e
build=${1:-build}
rounds=${2:-20}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
"$(dirname "$0")/../full-playlist.sh" "$home"
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" HOME="$home"
python3 - "$build/quillon" "$rounds" <<'PY'
import subprocess, sys, time
p = subprocess.Popen([sys.argv[1], "--headless", "--screen-name", "me"], stdin=subprocess.PIPE,
                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
while b"found screen name" not in p.stdout.readline():
    pass
times = []
for _ in range(int(sys.argv[2])):
    time.sleep(2)  # at rest again: the reply's own line has been read back
    start = time.monotonic()
    p.stdin.write(b"ver\n")
    p.stdin.flush()
    while b"Quillon 3.2" not in p.stdout.readline():
        pass
    times.append((time.monotonic() - start) * 1000)
p.stdin.close()
p.wait()
times.sort()
print(f"ver answered in {times[len(times) // 2]:.1f} ms (median), {times[-1]:.1f} ms (slowest) "
      f"of {len(times)} (goal: all within 100 ms)")
PY
