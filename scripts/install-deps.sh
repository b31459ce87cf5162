#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Quillon needs on Debian 12 (run as root). With --tests it
# also installs what the test suite needs: GoogleTest, Google Benchmark,
# real audio encoders, a private session bus with an MPRIS client, the
# desktop-file, AppStream, systemd and Debian package checkers, clang for
# the fuzz targets and clang-tidy, and the Windows cross compiler, Wine and a virtual display with which the
# Windows window-system backend is tested.
set -e
packages="cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libmpv-dev libtag1-dev qt6-svg-dev"
# Before the window opens, the program asks the X display whether it answers.
packages="$packages libxcb1-dev"
if [ "$1" = "--tests" ]; then
    packages="$packages libgtest-dev libgmock-dev googletest libbenchmark-dev
              lame sox ffmpeg dbus playerctl desktop-file-utils appstream systemd lintian
              dpkg-dev file bsdutils clang clang-tidy libclang-rt-14-dev ccache
              g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth"
    # Screenshots of the windows on a virtual display, to look at by eye.
    packages="$packages xdotool imagemagick x11-utils"
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $packages >/dev/null
