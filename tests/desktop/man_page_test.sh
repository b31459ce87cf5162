#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual page documents every option of --help with the same words, and
# no option that --help does not know.
# Usage: man_page_test.sh PROGRAM MANPAGE
set -eu
program=$1 page=$2
if ! command -v groff >/dev/null; then
    echo "skipped: groff is missing"
    exit 77
fi
squeeze() { tr -s ' \n' '  '; }
help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help)
man=$(groff -man -Tascii -rLL=2000n -rHY=0 -P-cbou "$page" 2>/dev/null | squeeze | sed "s/ $//")
failed=0

# One option per line: its names, then its description (Qt wraps long
# descriptions onto indented lines of their own).
options=$(echo "$help" | awk '
    /^  -/ { if (entry) print entry; entry = $0; next }
    /^   / && entry { sub(/^ +/, " "); entry = entry $0; next }
    { if (entry) print entry; entry = "" }
    END { if (entry) print entry }')
echo "$options" | while IFS= read -r entry; do
    names=$(echo "$entry" | sed 's/  .*//')
    text=$(echo "$entry" | sed 's/^ *-[^ ]*\( <[^>]*>\)*\(, -[^ ]*\( <[^>]*>\)*\)* *//' | squeeze | sed "s/ $//")
    for name in $(echo "$names" | grep -o -- '--[a-z-]*'); do
        case "$man" in
        *"$name"*) ;;
        *) echo "not in the manual page: $name"; exit 1 ;;
        esac
    done
    case "$man" in
    *"$text"*) ;;
    *) echo "not in the manual page: \"$text\""; exit 1 ;;
    esac
done || failed=1

for name in $(echo "$man" | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    echo "$help" | grep -q -- "$name\b" || { echo "not in --help: $name"; failed=1; }
done
exit $failed
