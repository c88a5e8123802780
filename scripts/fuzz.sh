#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a bounded
# time. Usage: bash scripts/fuzz.sh [seconds per target, default 60] [target ...]
# Targets: practicetext, hashdothash, val. An input that breaks a rule is saved in
# build-fuzz/crashes/; copy it into tests/fuzz/inputs/<target>/ to keep it as a test.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(practicetext hashdothash val)

command -v clang++ >/dev/null || { echo "fuzz: clang++ is missing (apt-get install clang)" >&2; exit 1; }
CC=clang CXX=clang++ BUILD_DIR=build-fuzz bash scripts/setup.sh \
    -DKEYVALE_FUZZ=ON -DKEYVALE_BUILD_BENCH=OFF

status=0
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    mkdir -p "$corpus" build-fuzz/crashes
    max_len=4096
    # Long enough to cross a read chunk and to hold a line that cannot fit.
    [[ $target == practicetext ]] && max_len=200000
    echo "fuzz: $target for ${seconds}s"
    if ! QT_QPA_PLATFORM=offscreen build-fuzz/tests/fuzz/fuzz_$target "$corpus" "tests/fuzz/inputs/$target" \
        -max_total_time="$seconds" -max_len=$max_len -print_final_stats=1 \
        -artifact_prefix="build-fuzz/crashes/$target-" 2>&1 | grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==|SUMMARY|.*rule broken)'; then
        :
    fi
    if compgen -G "build-fuzz/crashes/$target-*" >/dev/null; then
        echo "fuzz: $target broke a rule; inputs in build-fuzz/crashes/" >&2
        status=1
    fi
done
exit $status
