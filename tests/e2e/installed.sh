#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end test of the installed program: install into a fresh prefix, start
# <prefix>/bin/keyvale from another folder, choose a shipped text by its number in the
# dialog's listing (which must show them), practise it to the end, save, and check that
# the score dialog's report command hands the saved report to the desktop.
# Usage: installed.sh BUILD_DIR SOURCE_DIR
build=$(realpath "${1:?usage: installed.sh BUILD_DIR SOURCE_DIR}")
source_dir=$(realpath "${2:?usage: installed.sh BUILD_DIR SOURCE_DIR}")
source "$(dirname "${BASH_SOURCE[0]}")/../lib/common.sh" installed

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

step "choose a shipped text in the dialog's listing by the start of its name"
dialog=$(xs_window '^打开$')
# The listing fills in from a background thread: wait until its first row shows a name.
listed() { (($(xs_colours "$dialog" 100 60 200 20) > 10)); }
xs_wait "the dialog's listing" listed
xs_focus "$dialog"
# From the file-name field back into the listing, where typing selects by name.
xdotool key shift+Tab
xdotool type --delay 40 "${text%%-*}"
xdotool key Return
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
xs_wait "the report in the working directory" report_has "$report" 1
check_report "$report" 1
characters=$(tr -d '\r\n' <"$source_dir/resources/texts/$text" | wc -m)
expect_line 6 "字数:   <font color=FFFF00>$characters</p>"
expect_line 12 '错误:   <font color=FFFF00>0</p>'

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
passed
