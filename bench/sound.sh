#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The time from a wrong key to the first sound at the sound sink, with Keyvale as a
# Wayland client: a private Xvfb shows a nested Weston (x11 back end, kiosk shell), a
# private PulseAudio plays into a null sink, and bench/sound_latency types into
# Weston's window and records the sink's monitor. A fresh home and a private session
# bus keep the learner's own settings and sound server out (libcanberra caches its
# theme lookups in the home's cache folder). This script installs nothing;
# scripts/bench.sh does.
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
pids=()
# The servers stop in the reverse order of their start, Xvfb last.
finish() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap finish EXIT

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER WAYLAND_DISPLAY

# started WHAT COMMAND...: waits up to 10 s for COMMAND to succeed.
started() {
    local what=$1 deadline=$((SECONDS + 10))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || {
            echo "sound: $what did not start; the servers said:" >&2
            tail -n 5 "$work"/*.log >&2
            exit 1
        }
        sleep 0.1
    done
}

Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
    >/dev/null 2>"$work/xvfb.log" &
pids+=($!)
started "Xvfb" test -s "$work/display"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
pids+=($!)
started "the session bus" test -s "$work/bus"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS

pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    -L "module-null-sink sink_name=nullsink rate=48000 channels=2" \
    -L module-native-protocol-unix -L module-always-sink >"$work/pulseaudio.log" 2>&1 &
pids+=($!)
started "PulseAudio" pactl info
pactl set-default-sink nullsink

printf '[core]\nidle-time=0\n\n[shell]\nlocking=false\n' >"$work/weston.ini"
weston --backend=x11-backend.so --socket=wl-bench --width=1200 --height=960 --use-pixman \
    --shell=kiosk-shell.so --config="$work/weston.ini" >"$work/weston.log" 2>&1 &
pids+=($!)
started "Weston" test -S "$XDG_RUNTIME_DIR/wl-bench"

WAYLAND_DISPLAY=wl-bench "$build/bench/sound_latency" --keys "$keys" "$build/keyvale"
