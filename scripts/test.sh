#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up what is missing, builds, and runs the whole test suite except the tests on
# real desktops (label "desktop"), which scripts/test-desktop.sh runs.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
# Warnings are errors here, as in CI.
bash scripts/setup.sh -DKEYVALE_WERROR=ON
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --label-exclude desktop
