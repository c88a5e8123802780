#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs Keyvale with real desktop input: a Chinese pinyin input method (fcitx5, then
# ibus) on X11, and the program as a Wayland client of a nested Weston. Installs the
# Debian packages the tests need when any are missing (as root with apt-get; as any
# other user it prints what to install), builds build/ (or $BUILD_DIR; arguments go
# to cmake) with scripts/setup.sh, runs each test against the program built there and
# prints one line per test and a total.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
    # the input methods, their pinyin engines and their Qt 6 front ends
    fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6
    ibus ibus-libpinyin
    # a nested Wayland compositor and Qt's Wayland platform
    weston qt6-wayland
    # a private session bus, and the accessibility bus the tests read the program by
    dbus at-spi2-core python3-pyatspi
)

source scripts/packages.sh
install_missing test-desktop "${packages[@]}"

build=${BUILD_DIR:-build}
BUILD_DIR=$build bash scripts/setup.sh "$@"

warnings=$(mktemp)
export KEYVALE_DESKTOP_WARNINGS=$warnings
trap 'rm -f "$warnings"' EXIT

passed=0
failed=0
summary=()
run() {
    local name=$1 start=$SECONDS status=0
    shift
    echo "test-desktop: $name"
    # Each test bounds its own waits; the outer limit only catches a hang.
    timeout --kill-after=10 300 "$@" || status=$?
    if ((status == 0)); then
        passed=$((passed + 1))
        summary+=("PASS  $name ($((SECONDS - start)) s)")
    else
        failed=$((failed + 1))
        summary+=("FAIL  $name ($((SECONDS - start)) s, status $status)")
    fi
}

run "fcitx5 pinyin on X11" bash tests/desktop/ime.sh fcitx5 "$build/keyvale"
run "ibus libpinyin on X11" bash tests/desktop/ime.sh ibus "$build/keyvale"
run "Wayland client of Weston" bash tests/desktop/wayland.sh "$build/keyvale"

echo
printf '%s\n' "${summary[@]}"
if [[ -s $warnings ]]; then
    echo "warnings:"
    sed 's/^/  /' "$warnings"
fi
echo "${passed} passed, ${failed} failed"
((failed == 0))
