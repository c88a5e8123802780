#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time and peak memory of Keyvale against the minimal Qt window and, when
# they are installed, the typing tutors tipp10 and klavaro (this script installs
# nothing: apt-get install tipp10 libqt6sql6-sqlite klavaro).
#
# Under a private Xvfb, each program starts with a fresh home folder, primed by one
# earlier start; the time runs from the start to the map event of its first window,
# and the peak resident memory is read 1.5 s later. The programs take turns over one
# warm-up round and ROUNDS measured rounds (default 7). Usage: bench/startup.sh [rounds]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
rounds=${1:-7}
build=${BUILD_DIR:-build}
watch=$PWD/$build/bench/startwatch
[[ -x $watch ]] || { echo "startup: build first (bash scripts/setup.sh)" >&2; exit 1; }

work=$(mktemp -d)
source tests/e2e/xsession.sh
trap 'xs_cleanup; rm -rf "$work"' EXIT
xs_start

names=(keyvale minimal)
commands=("$PWD/$build/keyvale" "$PWD/$build/bench/minimal_window")
for peer in tipp10 klavaro; do
    if command -v "$peer" >/dev/null; then
        names+=("$peer")
        commands+=("$(command -v "$peer")")
    fi
done

# A fresh home, primed by one start so that first-run work is done before measuring.
fresh_home() {
    local name=$1 command=$2 home
    home=$(mktemp -d "$work/home.XXXXXX")
    (cd "$home" && "$watch" "$home" -- "$command" >/dev/null 2>&1) || true
    if [[ $name == tipp10 ]]; then
        # Skip the welcome dialog, so that the first window is the tutor's own.
        find "$home/.config" -iname '*tipp10*.conf' 2>/dev/null | while read -r conf; do
            grep -q '^check_illustration=' "$conf" ||
                sed -i '/^\[main\]/a check_illustration=false' "$conf"
            grep -q '^\[main\]' "$conf" || printf '[main]\ncheck_illustration=false\n' >>"$conf"
        done
    fi
    echo "$home"
}

declare -A times memories
for ((round = 0; round <= rounds; ++round)); do
    for i in "${!names[@]}"; do
        home=$(fresh_home "${names[$i]}" "${commands[$i]}")
        result=$(cd "$home" && LC_ALL=C.UTF-8 XDG_CONFIG_HOME="$home/.config" "$watch" "$home" -- "${commands[$i]}") ||
            { echo "startup: ${names[$i]} showed no window" >&2; exit 1; }
        ((round == 0)) && continue # warm-up
        times[${names[$i]}]+="${result% *} "
        memories[${names[$i]}]+="${result#* } "
    done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
base_time=$(median <<<"${times[minimal]}")
base_memory=$(median <<<"${memories[minimal]}")
printf '%d rounds after one warm-up; medians\n' "$rounds"
printf '%-10s %12s %8s %14s %8s\n' program 'start ms' ratio 'peak MiB' ratio
for name in "${names[@]}"; do
    t=$(median <<<"${times[$name]}")
    m=$(median <<<"${memories[$name]}")
    awk -v n="$name" -v t="$t" -v m="$m" -v bt="$base_time" -v bm="$base_memory" \
        'BEGIN { printf "%-10s %12.1f %8.2f %14.1f %8.2f\n", n, t, t / bt, m / 1024, m / bm }'
done
