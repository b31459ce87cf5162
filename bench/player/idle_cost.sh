#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Cost of the headless program at rest: a 32,767-song playlist, the player
# stopped, nobody talking. Counts every context switch of every thread
# (voluntary + involuntary: each is one wake-up or one preemption) and the
# CPU time used over a window, after a settling period.
#
#   bench/player/idle_cost.sh [path/to/quillon] [seconds]
#
# Goal: at most one wake-up every 10 s (0.1 a second) and under 0.2 % of one
# core.
set -eu

binary=${1:-build/quillon}
window=${2:-30}
settle=5

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM
"$(dirname "$0")/../full-playlist.sh" "$work"

# Standard input stays open (and silent) for the whole run.
( sleep $((settle + window + 5)) | XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work" \
    "$binary" --headless > "$work/out.txt" 2> "$work/err.txt" ) &
sleep 0.5
pid=$(pgrep -n -f -x "$binary --headless" || true)
[ -n "$pid" ] || { echo "quillon did not start"; cat "$work/err.txt"; exit 1; }
sleep "$settle"

switches() {
    cat /proc/"$pid"/task/*/status 2>/dev/null |
        awk '/^(voluntary|nonvoluntary)_ctxt_switches/ { n += $2 } END { print n }'
}
ticks() {
    # utime + stime of the whole process (fields 14 and 15), in clock ticks.
    sed 's/^.*) //' /proc/"$pid"/stat | awk '{ print $12 + $13 }'
}
runtime_ns() {
    # Time on a CPU of every thread, in nanoseconds (finer than the ticks).
    cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ n += $1 } END { printf "%d", n }'
}
threads() { ls /proc/"$pid"/task | wc -l; }

s0=$(switches); t0=$(ticks); r0=$(runtime_ns); n0=$(threads)
sleep "$window"
s1=$(switches); t1=$(ticks); r1=$(runtime_ns); n1=$(threads)
hz=$(getconf CLK_TCK)

awk -v s="$((s1 - s0))" -v t="$((t1 - t0))" -v w="$window" -v hz="$hz" -v n0="$n0" -v n1="$n1" -v r="$((r1 - r0))" 'BEGIN {
    printf "threads: %d at start of window, %d at end\n", n0, n1
    printf "context switches: %d in %d s = %.2f wake-ups/s (goal <= 0.1)\n", s, w, s / w
    printf "cpu (schedstat): %.1f ms in %d s = %.4f %% of one core\n", r / 1e6, w, 100 * r / 1e9 / w
    printf "cpu: %d ticks of 1/%d s in %d s = %.3f %% of one core (goal < 0.2 %%)\n", t, hz, w, 100 * t / hz / w
}'
kill "$pid" 2>/dev/null || true
