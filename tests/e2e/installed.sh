#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end test of the installed program: install into a fresh prefix, start
# <prefix>/bin/keyvale from another folder, choose a shipped text by its bare name in
# the dialog (which must open on them), practise it to the end, save, and check that
# the score dialog's report command hands the saved report to the desktop.
# Usage: installed.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$(realpath "${1:?usage: installed.sh BUILD_DIR SOURCE_DIR}")
source_dir=$(realpath "${2:?usage: installed.sh BUILD_DIR SOURCE_DIR}")
work=$(mktemp -d)
xs_artifacts=$work
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"
trap 'status=$?; xs_cleanup; ((status)) || rm -rf "$work"' EXIT

step() { echo "installed: $*"; }

prefix=$work/prefix
step "install into $prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

# The desktop's opener, replaced by one that records what it is asked to open.
mkdir -p "$work/bin" "$work/home" "$work/run" "$work/learner"
chmod 700 "$work/run"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$work/opened" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

# An ASCII text: xdotool types other characters by remapping a key for each, which a
# busy program may read after the mapping has moved on.
text=02-上下排键位.txt
xs_start
cd "$work/learner"
PATH=$work/bin:$PATH HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run \
    LC_ALL=C.UTF-8 xs_run "$prefix/bin/keyvale"
app=$xs_last_pid
cd - >/dev/null

step "choose a shipped text by its bare name"
dialog=$(xs_window '^打开$')
# xdotool types a Chinese character by remapping a key for it; on a busy machine the
# program may read the key after the mapping has moved on, and the dialog then says
# that no such file exists. That is the tool's fault, not the program's: type again.
opened() { xs_windows "^Keyvale－$prefix/lib/keyvale/$text\$"; }
refused() { xs_at_least 2 '^打开$'; }
settled() { opened || refused; }
closed() { ! refused; }
for attempt in 1 2 3; do
    xs_focus "$dialog"
    xdotool key ctrl+a BackSpace
    xdotool type --delay 40 "$text"
    xdotool key Return
    xs_wait "the text to open or the dialog to refuse it" settled
    opened >/dev/null && break
    xs_focus "$(xs_windows '^打开$' | grep -vx "$dialog" | head -n 1)"
    xdotool key Return
    xs_wait "the dialog's message to close" closed
done
main=$(xs_window "^Keyvale－$prefix/lib/keyvale/$text\$")

step "practise it to the end"
xs_focus "$main"
xs_click "$main" 406 233
xdotool type --delay 12 "$(tr -d '\r\n' <"$source_dir/resources/texts/$text")"
score=$(xs_window '^成绩$')

step "save with Enter in the name box"
xs_focus "$score"
xdotool key Return
report=$work/learner/成绩单.htm
xs_wait "the report in the working directory" test -s "$report"
[[ $(wc -l <"$report") == 13 ]] || xs_fail "the report has $(wc -l <"$report") lines, not 13"
characters=$(tr -d '\r\n' <"$source_dir/resources/texts/$text" | wc -m)
mapfile -t lines < <(iconv -f GB18030 -t UTF-8 "$report" | tr -d '\r')
[[ ${lines[5]} == "字数:   <font color=FFFF00>$characters</p>" ]] ||
    xs_fail "report line 6 is '${lines[5]}', expected $characters characters"
[[ ${lines[11]} == '错误:   <font color=FFFF00>0</p>' ]] || xs_fail "report line 12 is '${lines[11]}'"

step "the dialog's report command opens the saved report"
xs_click "$score" 260 77
xs_wait "the desktop's opener" test -s "$work/opened"
opened=$(head -n 1 "$work/opened")
opened=${opened#file://}
opened=$(printf '%b' "${opened//%/\\x}")
[[ $opened == "$report" ]] || xs_fail "the desktop was asked to open '$opened', not '$report'"

step "exit from the score dialog"
xs_click "$score" 372 28
exited() { ! kill -0 "$app" 2>/dev/null; }
xs_wait "the program to end" exited
wait "$app" || xs_fail "the program ended with status $?"
echo "installed: passed"
