#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Prepares a home for the program with a full playlist of 32,767 songs:
# DIR/data/quillon/playlist.txt, and an empty DIR/config/quillon.
# Usage: bench/full-playlist.sh DIR
set -e
mkdir -p "$1/data/quillon" "$1/config/quillon"
awk 'BEGIN { for (i = 0; i < 32767; i++)
    printf "Artist %d - Title of song %d;/home/me/Music/Artist %d/Artist %d - Title of song %d.mp3\r\n", i, i, i, i, i }' \
    > "$1/data/quillon/playlist.txt"
