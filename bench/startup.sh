#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time and peak memory of Keyvale against the floors and the typing tutors:
# the minimal Qt window (one QLineEdit), same_content (Keyvale's first screen, window
# and open-file dialog, drawn by a plain Qt program), the same without its dialog
# (window_only) and, when they are installed, tipp10 and klavaro (this script installs
# nothing; scripts/bench.sh does).
#
# Under a private Xvfb, each start gets a fresh copy of a home folder that one earlier
# start of the same program has primed, so first-run work (TIPP10 copies its lesson
# database) is never timed; TIPP10's welcome dialog is switched off in its settings.
# startwatch times, from the start: the map event of the first window, and the first
# drawing into the last window mapped (the whole first screen drawn: for Keyvale and
# same_content, their dialog); and reads the peak resident memory (VmHWM) 1.5 s after
# the first map. The programs take turns, the first of them changing each round, over
# one warm-up round and ROUNDS measured rounds (default 7). Then each Qt program starts
# once more under valgrind's callgrind with bench/firstscreen.cpp preloaded, which ends
# it once its first screen is drawn: the instructions it executed to get there, counted
# the same way for every program and repeatable whatever else the machine is doing.
# The fonts are the system's, or those of the fontconfig file FONTCONFIG_FILE names.
#
# Usage: bench/startup.sh [rounds]   (build folder: $BUILD_DIR, default build)
# Prints one line a program: name, median ms to the first map, median ms to the first
# screen drawn, median peak KiB, windows mapped, rounds measured, instructions to the
# first screen (- for a program that is not a Qt one).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
rounds=${1:-7}
build=$PWD/${BUILD_DIR:-build}
watch=$build/bench/startwatch
firstscreen=$build/bench/libfirstscreen.so
for tool in "$watch" "$build/keyvale" "$build/bench/minimal_window" "$build/bench/same_content" \
    "$firstscreen"; do
    [[ -x $tool ]] || {
        echo "startup: $tool is missing; build first (bash scripts/bench.sh)" >&2
        exit 1
    }
done

work=$(mktemp -d)
server=
bus=
trap '[[ -n $server ]] && kill "$server" 2>/dev/null; [[ -n $bus ]] && kill "$bus" 2>/dev/null; rm -rf "$work"' EXIT

# Every program gets the one session bus a desktop has: scripts/bench.sh's, or a private
# one. Without it each start would launch a bus of its own (Qt's accessibility bridge
# looks for one), be timed doing so, and leave it running.
if [[ -z ${DBUS_SESSION_BUS_ADDRESS:-} ]]; then
    dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
    bus=$(cat "$work/bus.pid")
    export DBUS_SESSION_BUS_ADDRESS
fi

# A private Xvfb on a display it chooses itself; started again when it does not come
# up, as when another one started at the same moment took the display it reported.
start_server() {
    local report=$work/display
    for _ in 1 2 3 4 5; do
        : >"$report"
        Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$report" \
            >/dev/null 2>"$work/xvfb.log" &
        server=$!
        local deadline=$((SECONDS + 10))
        while [[ ! -s $report ]] && ((SECONDS < deadline)) && kill -0 "$server" 2>/dev/null; do
            sleep 0.05
        done
        if [[ -s $report ]]; then
            DISPLAY=:$(head -n 1 "$report")
            export DISPLAY
            deadline=$((SECONDS + 5))
            while ((SECONDS < deadline)) && kill -0 "$server" 2>/dev/null; do
                xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
                sleep 0.05
            done
        fi
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
        server=
        sleep 0.5
    done
    echo "startup: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
}
start_server

# same_content's dialog opens where Keyvale's does: in Keyvale's folder, beside the
# practice texts. (Commands are split on spaces: keep the build folder's path free of them.)
names=(keyvale same_content window_only minimal)
commands=("$build/keyvale" "$build/bench/same_content $build"
    "$build/bench/same_content --window-only" "$build/bench/minimal_window")
for peer in tipp10 klavaro; do
    if command -v "$peer" >/dev/null; then
        names+=("$peer")
        commands+=("$(command -v "$peer")")
    fi
done

# run HOME SETTLE TIMEOUT COMMAND: one start in a home folder, waiting up to TIMEOUT
# ms for its first window; prints startwatch's line.
run() {
    local home=$1 settle=$2 timeout=$3
    shift 3
    [[ -d $home/.run ]] || mkdir -m 700 "$home/.run"
    # shellcheck disable=SC2086 # the command line is split on purpose
    (cd "$home" && env LC_ALL=C.UTF-8 XDG_CONFIG_HOME="$home/.config" \
        XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" \
        XDG_RUNTIME_DIR="$home/.run" "$watch" --settle "$settle" --timeout "$timeout" "$home" -- $1)
}

# One primed home a program, copied for every start. A first start may take long (TIPP10
# fills its lesson database on a slow disk for half a minute): it is given 3 minutes.
for i in "${!names[@]}"; do
    template=$work/template-${names[$i]}
    mkdir -p "$template"
    run "$template" 1000 180000 "${commands[$i]}" >/dev/null ||
        { echo "startup: ${names[$i]} showed no window" >&2; exit 1; }
    if [[ ${names[$i]} == tipp10 ]]; then
        # Skip the welcome dialog, so that the first window is the tutor's own.
        conf=$template/.config/TIPP10/TIPP10.conf
        if [[ -f $conf ]] && ! grep -q '^check_illustration=' "$conf"; then
            if grep -q '^\[main\]' "$conf"; then
                sed -i '/^\[main\]/a check_illustration=false' "$conf"
            else
                printf '[main]\ncheck_illustration=false\n' >>"$conf"
            fi
        fi
        run "$template" 1000 180000 "${commands[$i]}" >/dev/null ||
            { echo "startup: tipp10 showed no window" >&2; exit 1; }
        if [[ -n $(find "$template" -name '*-journal') ]]; then
            echo "startup: tipp10 was stopped while writing its database" >&2
            exit 1
        fi
    fi
done

declare -A maps draws memories windows
count=${#names[@]}
for ((round = 0; round <= rounds; ++round)); do
    for ((k = 0; k < count; ++k)); do
        i=$(((round + k) % count))
        home=$work/home-$round-$i
        cp -a "$work/template-${names[$i]}" "$home"
        result=$(run "$home" 1500 20000 "${commands[$i]}") ||
            { echo "startup: ${names[$i]} showed no window" >&2; exit 1; }
        rm -rf "$home"
        ((round == 0)) && continue # warm-up
        read -r map _ drawn shown peak <<<"$result"
        maps[${names[$i]}]+="$map "
        draws[${names[$i]}]+="$drawn "
        memories[${names[$i]}]+="$peak "
        windows[${names[$i]}]=$shown
    done
done

# instructions NAME: the instructions one start of the program executes to its first
# screen, or - for a program that does not use Qt. A start that leaves no count has its
# valgrind log shown on stderr and is tried once more.
instructions() {
    local i=$1 home=$work/callgrind-$1 out=$work/callgrind-$1.out try
    ldd "${commands[$i]%% *}" | grep -q libQt6Gui || { echo -; return; }
    for try in 1 2; do
        rm -f "$out"
        cp -a "$work/template-${names[$i]}" "$home"
        # shellcheck disable=SC2086 # the command line is split on purpose
        (cd "$home" && env HOME="$home" LC_ALL=C.UTF-8 XDG_CONFIG_HOME="$home/.config" \
            XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" \
            XDG_RUNTIME_DIR="$home/.run" LD_PRELOAD="$firstscreen" \
            valgrind --tool=callgrind --callgrind-out-file="$out" ${commands[$i]} \
            >/dev/null 2>"$out.log") || true
        rm -rf "$home"
        awk '/^summary:/ { print $2 }' "$out" 2>/dev/null | grep . && return
        echo "startup: no instructions counted for ${names[$i]} (try $try):" >&2
        tail -n 15 "$out.log" >&2
    done
    echo -
}

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
printf '# program map-ms drawn-ms peak-KiB windows rounds instructions\n'
for i in "${!names[@]}"; do
    name=${names[$i]}
    printf '%s %s %s %s %s %s %s\n' "$name" "$(median <<<"${maps[$name]}")" \
        "$(median <<<"${draws[$name]}")" "$(median <<<"${memories[$name]}")" \
        "${windows[$name]}" "$rounds" "$(instructions "$i")"
done
