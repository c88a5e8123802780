#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures Keyvale against its floors and two typing tutors from Debian, and prints one
# markdown table with the machine and the date:
#   - keystroke-to-screen latency against a window with one QLineEdit (bench/latency),
#     real X key events, row ends and block changes included; then again with every
#     fourth key wrong, ringing the X bell and turning the row's marker red;
#   - the time from a wrong key to the first sound at the sound sink, with Keyvale as a
#     Wayland client of a nested Weston and a private PulseAudio null sink
#     (bench/sound.sh, bench/sound_latency);
#   - keystroke cost in the process against a bare QLineEdit (bench/keystroke_bench);
#   - start-up time, peak memory (VmHWM) and the instructions executed to the first
#     screen against the minimal window, a plain Qt program showing the same first
#     screen with the same dialog (bench/same_content), the same window without the
#     dialog, TIPP10 and Klavaro (bench/startup.sh), on two sets of fonts: the program's
#     own (the few its package brings, selected by a fontconfig file of the benchmark's)
#     and a desktop's (Debian's Noto packages, thousands of files, as installed).
# Every comparison takes turns between the programs within one run; the table gives
# medians and ratios. Installs what it needs when missing (with apt-get as root; as any
# other user it prints what to install), then builds a release build in build-bench/.
#
# Usage: scripts/bench.sh [--quick]   (--quick: a short smoke run, figures not to quote)
# The raw output of each tool is kept in build-bench/bench-logs/.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

quick=0
case ${1:-} in
--quick) quick=1 ;;
'') ;;
*)
    echo "usage: scripts/bench.sh [--quick]" >&2
    exit 2
    ;;
esac

packages=(
    # a private X server, real input and the drawing reports the tools watch
    xvfb xdotool libx11-dev libxtst-dev libxdamage-dev
    # a nested Wayland compositor, a private sound server and the sound Keyvale plays
    weston qt6-wayland dbus-daemon pulseaudio pulseaudio-utils libcanberra-pulse
    sound-theme-freedesktop
    # the typing tutors compared with (TIPP10 keeps its lessons in SQLite)
    tipp10 libqt6sql6-sqlite klavaro
    # instructions counted to the first screen
    valgrind
    # a desktop's fonts, as ordinary desktop packages bring them in
    fonts-noto fonts-noto-core fonts-noto-cjk fonts-noto-cjk-extra fonts-noto-color-emoji
    fonts-noto-extra fonts-noto-mono fonts-noto-ui-core fonts-noto-ui-extra fonts-noto-unhinted
)

source scripts/packages.sh
# and what the program needs at run time, its faces among them
install_missing bench $(build_packages) "${packages[@]}" $(run_time_packages) >&2

build="build-bench"
echo "bench: building in $build/" >&2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
    -DKEYVALE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target keyvale keystroke_bench minimal_window \
    same_content latency startwatch sound_latency firstscreen >/dev/null

if ((quick)); then
    keystroke_rounds=1 latency_rows=3 sound_keys=10 startup_rounds=1
else
    keystroke_rounds=12 latency_rows=36 sound_keys=100 startup_rounds=21
fi
logs=$build/bench-logs
mkdir -p "$logs"

# One private session bus for every program the tools start, as a desktop has: without
# one, each program's D-Bus library would launch a bus of its own on the X display,
# which outlives it.
bus=$(mktemp -d)
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$bus/address" 4>"$bus/pid"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$bus/address")
export DBUS_SESSION_BUS_ADDRESS
trap 'kill "$(cat "$bus/pid")" 2>/dev/null; rm -rf "$bus"' EXIT

cpu=$(grep -m 1 '^model name' /proc/cpuinfo | sed 's/^[^:]*: *//')
cores=$(nproc)
debian=$(cat /etc/debian_version)
qt=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/[+-].*//')
version() { dpkg-query -W -f='${Version}' "$1" | sed 's/-[^-]*$//'; }
date=$(date -u '+%Y-%m-%d %H:%M UTC')
load=$(cut -d ' ' -f 1-3 /proc/loadavg)

echo "bench: keystroke cost ($keystroke_rounds rounds)" >&2
QT_QPA_PLATFORM=offscreen "$build/bench/keystroke_bench" "$keystroke_rounds" \
    >"$logs/keystroke.txt" 2>"$logs/keystroke.err"
read -r cost_keyvale_median cost_keyvale_p99 < <(awk '/^practice window/ { print $3, $4 }' "$logs/keystroke.txt")
read -r cost_bare_median cost_bare_p99 < <(awk '/^bare QLineEdit/ { print $3, $4 }' "$logs/keystroke.txt")
cost_keys=$(awk '/^keystrokes per side/ { print $4 }' "$logs/keystroke.txt")

# latency NAME [--errors]: runs the latency tool into $logs/NAME.txt.
latency_status=0
latency() {
    local log=$logs/$1.txt
    shift
    "$build/bench/latency" --rows "$latency_rows" "$@" "$build/keyvale" \
        "$build/bench/minimal_window" >"$log" 2>"${log%.txt}.err" || latency_status=$?
    if [[ ! -s $log ]]; then
        echo "bench: the latency tool failed:" >&2
        cat "${log%.txt}.err" >&2
        exit 1
    fi
}
echo "bench: keystroke-to-screen latency ($latency_rows rows)" >&2
latency latency
read -r lat_keyvale_median lat_keyvale_p95 < <(awk '/^practice window/ { print $3, $4 }' "$logs/latency.txt")
read -r lat_minimal_median lat_minimal_p95 < <(awk '/^minimal QLineEdit/ { print $3, $4 }' "$logs/latency.txt")
lat_keys=$(awk '/^keys per window/ { print $4 }' "$logs/latency.txt")
echo "bench: keystroke-to-screen latency with wrong keys ($latency_rows rows)" >&2
latency latency-errors --errors
read -r err_keyvale_median err_keyvale_p95 < <(awk '/^practice window/ { print $3, $4 }' "$logs/latency-errors.txt")
read -r err_minimal_median err_minimal_p95 < <(awk '/^minimal QLineEdit/ { print $3, $4 }' "$logs/latency-errors.txt")
read -r err_wrong err_bells < <(awk '/^wrong keys typed/ { print $4 + 0, $8 }' "$logs/latency-errors.txt")

echo "bench: wrong key to sound on Wayland ($sound_keys wrong keys)" >&2
sound_status=0
BUILD_DIR=$build bash bench/sound.sh "$sound_keys" >"$logs/sound.txt" 2>"$logs/sound.err" ||
    sound_status=$?
read -r sound_median sound_p95 < <(awk '/^key to first sound/ { print $5, $6 }' "$logs/sound.txt")
if [[ -z ${sound_median:-} ]]; then
    echo "bench: the sound tool failed:" >&2
    cat "$logs/sound.txt" "$logs/sound.err" >&2
    exit 1
fi

# The program's own fonts: those its package and Qt's bring, in a fontconfig file that
# lists their folders alone (with the system's rules, aliases among them).
own_fonts=$PWD/$logs/own-fonts.conf # fontconfig reads a relative name from its own folder
{
    echo '<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd"><fontconfig>'
    dpkg -L $(grep '^fonts-' cmake/debian/depends) fonts-dejavu-core | grep -E '\.(ttf|ttc|otf)$' |
        xargs -n 1 dirname | sort -u | sed 's|.*|  <dir>&</dir>|'
    echo "  <cachedir>$PWD/$logs/own-fonts-cache</cachedir>"
    echo '  <include ignore_missing="yes">/etc/fonts/conf.d</include></fontconfig>'
} >"$own_fonts"
declare -A font_files=([own]=$(FONTCONFIG_FILE=$own_fonts fc-list | wc -l) [desktop]=$(fc-list | wc -l))
if ((font_files[own] == 0 || font_files[own] >= font_files[desktop])); then
    echo "bench: the program's own fonts were not selected ($own_fonts)" >&2
    exit 1
fi

declare -A maps draws peaks shown counts
for set in own desktop; do
    echo "bench: start-up, memory and instructions, $set fonts ($startup_rounds rounds)" >&2
    config=()
    [[ $set == own ]] && config=(FONTCONFIG_FILE="$own_fonts")
    env "${config[@]}" BUILD_DIR="$build" bash bench/startup.sh "$startup_rounds" \
        >"$logs/startup-$set.txt" 2>"$logs/startup-$set.err"
    while read -r name map drawn peak windows _ instructions; do
        [[ $name == '#'* ]] && continue
        maps[$set.$name]=$map draws[$set.$name]=$drawn peaks[$set.$name]=$peak
        shown[$set.$name]=$windows counts[$set.$name]=$instructions
    done <"$logs/startup-$set.txt"
done

# A markdown row: measure, Keyvale's figure, the other side, its figure, ratio, goal, met.
# row MEASURE OURS THEIRS_NAME THEIRS UNIT DECIMALS GOAL (GOAL: "<= x", "< x" or "")
row() {
    awk -v measure="$1" -v ours="$2" -v name="$3" -v theirs="$4" -v unit="$5" -v decimals="$6" \
        -v goal="$7" 'BEGIN {
        ratio = ours / theirs
        format = "%." decimals "f " unit
        met = "–"
        if (goal != "") {
            split(goal, g, " ")
            ok = (g[1] == "<=") ? (sprintf("%.2f", ratio) + 0 <= g[2] + 0) : (ratio < g[2] + 0)
            met = ok ? "yes" : "**no**"
            goal = (g[1] == "<=" ? "≤ " : "< ") g[2]
        } else {
            goal = "–"
        }
        printf "| %s | " format " | %s | " format " | %.2f | %s | %s |\n",
            measure, ours, name, theirs, ratio, goal, met
    }'
}
# A row for a figure held to a fixed bound: bound MEASURE OURS UNIT DECIMALS MOST
bound() {
    awk -v measure="$1" -v ours="$2" -v unit="$3" -v decimals="$4" -v most="$5" 'BEGIN {
        met = (sprintf("%." decimals "f", ours) + 0 <= most + 0) ? "yes" : "**no**"
        printf "| %s | %." decimals "f %s | – | – | – | ≤ %s %s | %s |\n",
            measure, ours, unit, most, unit, met
    }'
}
mib() { awk -v k="$1" 'BEGIN { printf "%.2f", k / 1024 }'; }

peers=(same_content window_only minimal)
declare -A label=([same_content]="same-content floor" [window_only]="same window, no dialog"
    [minimal]="minimal Qt window")
declare -A goal_time=([same_content]="<= 1.10" [window_only]="" [minimal]="")
declare -A goal_memory=([same_content]="<= 1.05" [window_only]="" [minimal]="")
declare -A goal_instructions=([own]="<= 1.00" [desktop]="<= 1.50")
for peer in tipp10 klavaro; do
    if [[ -n ${maps[own.$peer]:-} ]]; then
        peers+=("$peer")
        goal_time[$peer]=""
        goal_memory[$peer]=""
    fi
done
goal_time[tipp10]="<= 0.95"
[[ -n ${maps[own.tipp10]:-} ]] && label[tipp10]="TIPP10 $(version tipp10)"
[[ -n ${maps[own.klavaro]:-} ]] && label[klavaro]="Klavaro $(version klavaro)"
millions() { awk -v n="$1" 'BEGIN { printf "%.1f", n / 1e6 }'; }

((quick)) && echo "**Quick smoke run: too few samples to quote.**" && echo
echo "Machine: $cpu, $cores cores; Debian $debian, Qt $qt; load average at the start $load."
echo "Date: $date. Medians of runs that took turns within one run; ratios are Keyvale's figure"
echo "divided by the other's."
echo
line_window="window with one \`QLineEdit\`"
bare_box="bare \`QLineEdit\`"
echo "| measure | Keyvale | compared with | its figure | ratio | goal | met |"
echo "|---|---|---|---|---|---|---|"
row "keystroke-to-screen latency, median ($lat_keys keys)" "$lat_keyvale_median" \
    "$line_window" "$lat_minimal_median" ms 2 "<= 1.15"
row "keystroke-to-screen latency, 95th percentile" "$lat_keyvale_p95" \
    "$line_window" "$lat_minimal_p95" ms 2 "<= 1.30"
row "keystroke-to-screen latency with wrong keys, median ($lat_keys keys, $err_wrong wrong)" \
    "$err_keyvale_median" "$line_window" "$err_minimal_median" ms 2 "<= 1.10"
row "keystroke-to-screen latency with wrong keys, 95th percentile" "$err_keyvale_p95" \
    "$line_window" "$err_minimal_p95" ms 2 "<= 1.25"
bound "wrong key to first sound at the sink (Wayland), median ($sound_keys wrong keys)" \
    "$sound_median" ms 1 25
bound "wrong key to first sound at the sink (Wayland), 95th percentile" "$sound_p95" ms 1 50
row "keystroke cost, median ($cost_keys keys)" "$cost_keyvale_median" "$bare_box" \
    "$cost_bare_median" µs 1 "<= 2"
row "keystroke cost, 99th percentile" "$cost_keyvale_p99" "$bare_box" \
    "$cost_bare_p99" µs 1 "<= 3"
for set in own desktop; do
    fonts="$set fonts (${font_files[$set]} files)"
    measure="start-up, $fonts: first window shown ($startup_rounds starts each)"
    for peer in "${peers[@]}"; do
        row "$measure" "${maps[$set.keyvale]}" "${label[$peer]}" "${maps[$set.$peer]}" ms 1 \
            "${goal_time[$peer]}"
        measure="start-up, $fonts: first window shown"
    done
    for peer in "${peers[@]}"; do
        row "start-up, $fonts: first screen drawn" "${draws[$set.keyvale]}" "${label[$peer]}" \
            "${draws[$set.$peer]}" ms 1 "${goal_time[$peer]}"
    done
    for peer in same_content window_only tipp10; do
        [[ ${counts[$set.$peer]:--} == - || ${counts[$set.keyvale]:--} == - ]] && continue
        goal=""
        [[ $peer == tipp10 ]] && goal=${goal_instructions[$set]}
        row "instructions to the first screen, $fonts" "$(millions "${counts[$set.keyvale]}")" \
            "${label[$peer]}" "$(millions "${counts[$set.$peer]}")" M 1 "$goal"
    done
    for peer in "${peers[@]}"; do
        row "peak memory (VmHWM), $fonts" "$(mib "${peaks[$set.keyvale]}")" "${label[$peer]}" \
            "$(mib "${peaks[$set.$peer]}")" MiB 1 "${goal_memory[$peer]}"
    done
done
echo
awk '/^keys within a row|^row ends|^block changes/ {
        sub(/^keys within a row/, "keys within a row:"); sub(/^row ends/, "row ends:")
        sub(/^block changes/, "block changes:"); gsub(/ +/, " "); parts[++n] = $0
    } END {
        printf "Latency medians by kind of key, Keyvale / the `QLineEdit` window (ms):\n"
        for (i = 1; i <= n; ++i) printf "- %s\n", parts[i]
    }' "$logs/latency.txt"
awk '/^wrong keys +[0-9]/ { sub(/^wrong keys +/, ""); gsub(/ +/, " ")
        print "- wrong keys, in the run with them: " $0 }' "$logs/latency-errors.txt"

if ((latency_status)); then
    echo
    echo "Some keys were never seen on screen: $(grep -h 'never seen' "$logs"/latency*.txt || true)"
fi
if [[ $err_bells != "$err_wrong" ]]; then
    echo
    echo "$err_wrong wrong keys rang the X bell $err_bells times."
fi
if ((sound_status)); then
    echo
    echo "Not every wrong key was heard on Wayland: $(head -n 1 "$logs/sound.txt")"
fi
for set in own desktop; do
    if [[ ${counts[$set.keyvale]:--} == - ]]; then
        echo
        echo "No instructions were counted for Keyvale on the $set fonts: see $logs/startup-$set.err."
    fi
done
if [[ ${shown[own.keyvale]} != "${shown[own.same_content]}" ]]; then
    echo
    echo "Keyvale mapped ${shown[own.keyvale]} windows, the same-content floor ${shown[own.same_content]}."
fi
