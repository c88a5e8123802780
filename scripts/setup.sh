#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Keyvale need, when
# any are missing, then configures and builds the program and its tests in build/
# (or in $BUILD_DIR; further arguments go to cmake).
# As root it installs with apt-get; as any other user it prints what to install.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
    cmake g++ make pkg-config
    qt6-base-dev
    # Chinese faces standing in for the designed ones, and a metric-compatible Arial
    fonts-wqy-microhei fonts-arphic-uming fonts-arphic-ukai fonts-liberation
    # Qt's own dialogs and buttons in Chinese; the desktop's opener for the score report
    qt6-translations-l10n xdg-utils
    # a private X server and real input events for the end-to-end test and screenshots
    xvfb xdotool imagemagick libx11-dev
    # the validators that the tests run on the installed menu entry and metainfo
    desktop-file-utils appstream
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    if [[ $(id -u) == 0 ]]; then
        echo "setup: installing ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "setup: these packages are missing; install them as root with:" >&2
        echo "  apt-get install ${missing[*]}" >&2
        exit 1
    fi
fi

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
