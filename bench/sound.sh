#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The time from a wrong key to the first sound at the sound sink, with Keyvale as a
# Wayland client: a private Xvfb shows a nested Weston (x11 back end, kiosk shell), a
# private PulseAudio plays into a null sink, and bench/sound_latency types into
# Weston's window and records the sink's monitor. A fresh home and a private session
# bus keep the learner's own settings and sound server out (libcanberra caches its
# theme lookups in the home's cache folder); the servers start and stop as in the
# desktop tests (tests/lib). This script installs nothing; scripts/bench.sh does.
#
# Usage: bench/sound.sh [wrong keys]   (default 60; build folder: $BUILD_DIR, default build)
# Prints sound_latency's figures.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
keys=${1:-60}
build=$PWD/${BUILD_DIR:-build}
for tool in "$build/bench/sound_latency" "$build/keyvale"; do
    [[ -x $tool ]] || {
        echo "sound: $tool is missing; build first (bash scripts/bench.sh)" >&2
        exit 1
    }
done

work=$(mktemp -d)
xs_artifacts=$work
source tests/lib/xsession.sh
source tests/lib/desktop.sh
trap 'ds_cleanup; rm -rf "$work"' EXIT

ds_profile "$work"
unset PULSE_SERVER WAYLAND_DISPLAY
xs_start
ds_dbus
ds_sound_server
ds_weston wl-bench
xs_wait "Weston" test -S "$XDG_RUNTIME_DIR/wl-bench"

WAYLAND_DISPLAY=wl-bench "$build/bench/sound_latency" --keys "$keys" "$build/keyvale"
