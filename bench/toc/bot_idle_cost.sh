#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Cost of the bot at rest: signed on to a TOC server, in its room, nobody
# talking, nothing playing, a 32,767-song playlist. Counts every context
# switch of every thread of the bot (each is one wake-up or one
# preemption) and the CPU time it used over a window, after settling.
#
#   bench/toc/bot_idle_cost.sh [path/to/quillon] [path/to/toc_test_server] [seconds]
#
# Goal: no timer of ours more often than the 60 s keep-alive, so well
# under 0.1 wake-ups a second and next to no CPU. Measured on a loaded
# 2-core Debian 12 machine: 4 context switches in 130 s (0.03 a second,
# the two keep-alive frames among them) and 0.003 % of one core.
set -eu

binary=${1:-build/quillon}
server_binary=${2:-build/bench/toc/toc_test_server}
window=${3:-120}
settle=5
port=$((20000 + $$ % 20000))

work=$(mktemp -d)
trap 'kill "$pid" "$server" 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM
pid=
"$(dirname "$0")/../full-playlist.sh" "$work"
printf '[bot]\nscreenname=Idle Bot\nroom=Quiet Room\nowner=Owner One\n[toc]\nserver=127.0.0.1\nport=%s\n' "$port" \
    > "$work/config/quillon/quillon.conf"
printf 'secret\n' > "$work/password"

"$server_binary" "$port" < /dev/null > "$work/server.txt" 2>&1 &
server=$!
sleep 0.5
XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work" \
    "$binary" --bot --password-file "$work/password" < /dev/null > "$work/out.txt" 2> "$work/err.txt" &
pid=$!
for _ in $(seq 100); do
    grep -q 'toc: joined room' "$work/err.txt" && break
    sleep 0.1
done
grep -q 'toc: joined room' "$work/err.txt" || { echo "the bot did not join its room"; cat "$work/err.txt"; exit 1; }
sleep "$settle"

switches() {
    cat /proc/"$pid"/task/*/status 2>/dev/null |
        awk '/^(voluntary|nonvoluntary)_ctxt_switches/ { n += $2 } END { print n }'
}
runtime_ns() {
    cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ n += $1 } END { printf "%d", n }'
}

s0=$(switches); r0=$(runtime_ns)
sleep "$window"
s1=$(switches); r1=$(runtime_ns)

awk -v s="$((s1 - s0))" -v w="$window" -v r="$((r1 - r0))" 'BEGIN {
    printf "context switches: %d in %d s = %.3f wake-ups/s (goal < 0.1)\n", s, w, s / w
    printf "cpu (schedstat): %.2f ms in %d s = %.5f %% of one core\n", r / 1e6, w, 100 * r / 1e9 / w
}'
kill "$pid" 2>/dev/null || true
