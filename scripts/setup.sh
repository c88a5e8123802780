#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing Keyvale need, when
# any are missing, then configures and builds the program and its tests in build/
# (or in $BUILD_DIR; further arguments go to cmake).
# As root it installs with apt-get; as any other user it prints what to install.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
    # libcanberra's PulseAudio back end, which plays the bell on Wayland
    libcanberra-pulse
    # a private X server and real input events for the end-to-end test and screenshots,
    # and the keymap tool that gives each Chinese character of a test a key beforehand
    xvfb xdotool imagemagick libx11-dev x11-xserver-utils
    # the validators that the tests run on the installed menu entry and metainfo, and
    # the formatter the sources are checked with
    desktop-file-utils appstream clang-format
)

source scripts/packages.sh
install_missing setup $(build_packages) "${packages[@]}" $(run_time_packages)

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
