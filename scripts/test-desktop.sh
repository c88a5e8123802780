#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs Keyvale on real desktops: a Chinese pinyin input method (fcitx5, then ibus) on
# X11, and the learner's whole flow under Weston, GNOME's mutter and KDE's KWin, as a
# Wayland and as an X11 client, with the sound recorded and the report read by
# Chromium. Installs the Debian packages the tests need when any are missing (as root
# with apt-get; as any other user it prints what to install), builds build/ (or
# $BUILD_DIR; arguments go to cmake) with scripts/setup.sh, and runs the tests
# labelled "desktop" with CTest.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
    # the input methods, their pinyin engines and their Qt 6 front ends
    fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6
    ibus ibus-libpinyin
    # nested compositors, their Xwayland, and Qt's Wayland platform; a KWin decoration
    weston mutter kwin-wayland kwin-style-breeze xwayland qt6-wayland
    # GNOME's platform theme for Qt, which a desktop installs with Qt
    qt6-gtk-platformtheme
    # a private session bus, and the accessibility bus the tests read the program by
    dbus at-spi2-core python3-pyatspi
    # a private sound server recorded, the sound theme and the library that plays it
    pulseaudio pulseaudio-utils sound-theme-freedesktop libcanberra-pulse
    # a browser that reads the report
    chromium
)

source scripts/packages.sh
install_missing test-desktop "${packages[@]}"

build=${BUILD_DIR:-build}
BUILD_DIR=$build bash scripts/setup.sh -DKEYVALE_WERROR=ON "$@"
ctest --test-dir "$build" --output-on-failure --label-regex desktop
