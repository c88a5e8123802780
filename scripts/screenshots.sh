#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's screenshots from the real program under a private X server: the
# installed program's open-file dialog on the shipped texts, the main window during a
# practice and the score dialog after it.
# Usage: bash scripts/screenshots.sh   (after a build; writes resources/screenshots/)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
top=$PWD
out=$top/resources/screenshots
mkdir -p "$out"
work=$(mktemp -d)
xs_artifacts=${xs_artifacts:-}
source tests/lib/xsession.sh
trap 'xs_cleanup; rm -rf "$work"' EXIT

printf '%s\r\n' '春眠不觉晓，处处闻啼鸟。' 'The quick brown fox jumps over the lazy dog.' \
    '夜来风雨声，花落知多少。' 'Pack my box.' | iconv -f UTF-8 -t GB18030 >"$work/lesson.txt"
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"

xs_start

# The installed program, started from another folder, opens on its shipped texts.
cmake --install build --prefix "$work/prefix" >/dev/null
mkdir -p "$work/elsewhere"
cd "$work/elsewhere"
xs_run env -u LC_ALL HOME="$work/home" XDG_RUNTIME_DIR="$work/run" LANG=zh_CN.UTF-8 \
    "$work/prefix/bin/keyvale"
installed=$xs_last_pid
dialog=$(xs_other_window "$(xs_window '^Keyvale$')")
sleep 1 # the folder's listing fills in
import -window "$dialog" "$out/open-dialog.png"
kill "$installed"
wait "$installed" 2>/dev/null || true

cd "$work"
# Chinese month and weekday names; the character set stays UTF-8.
xs_run env -u LC_ALL HOME="$work/home" XDG_RUNTIME_DIR="$work/run" LANG=zh_CN.UTF-8 LC_CTYPE=C.UTF-8 \
    "$top/build/keyvale"
cd "$top"

dialog=$(xs_other_window "$(xs_window '^Keyvale$')")
xs_focus "$dialog"
xdotool type --delay 20 "$work/lesson.txt"
xdotool key Return
# Without a Chinese locale installed the window system's legacy title is not UTF-8,
# so windows are found by the ASCII end of their captions, or as the new window.
main=$(xs_window 'lesson\.txt$')
xs_focus "$main"
xs_click "$main" 406 233
xdotool type --delay 120 '春眠不觉晓，处处闻啼鸟。'
xdotool type --delay 120 'The quick brown fox jumps'
sleep 1.2
xdotool type --delay 120 ' ovx'
sleep 1.1
import -window "$main" "$out/practice.png"

xdotool type --delay 100 'r the lazy dog.'
xdotool type --delay 100 '夜来风雨声，花落知多少。'
xdotool type --delay 100 'Pack my box.'
score=$(xs_other_window "$main")
sleep 0.5
import -window "$score" "$out/score.png"
echo "screenshots: wrote $out/open-dialog.png, $out/practice.png and $out/score.png"
