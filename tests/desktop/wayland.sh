#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end test of the program as a Wayland client: a nested Weston (its X11 back end
# in a private X server) shows it, X key events typed into Weston's window reach it as
# Wayland keys, the accessibility bus tells which windows it shows, and the saved
# report is checked byte for byte. What the program prints on stderr is listed.
# Usage: wayland.sh path/to/keyvale
set -euo pipefail

keyvale=$(realpath "${1:?usage: wayland.sh path/to/keyvale}")
here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
work=$(mktemp -d)
xs_artifacts=$work
source "$here/../e2e/xsession.sh"
source "$here/session.sh"
trap 'status=$?; ds_cleanup; ((status)) && echo "wayland: artifacts kept in $work" >&2 || rm -rf "$work"' EXIT

step() { echo "wayland: $*"; }

# Succeeds when the program shows a window whose caption matches the expression.
shown() { [[ -n $(ds_a11y "$1") ]]; }

# Clicks a point of the main window, from its client origin. The compositor places
# windows, so the origin is found on the screen: the top-left corner of the area in
# the window's background colour (a dark blue nothing else shows).
click_main() {
    local geometry left top
    geometry=$(import -silent -window root png:- 2>/dev/null |
        convert png:- -depth 8 -fill black +opaque '#0000C0' -trim -format '%X %Y' info:) ||
        xs_fail "no screenshot of the screen"
    read -r left top <<<"${geometry//+/}"
    xdotool mousemove --sync $((left + $1)) $((top + $2)) click 1
}

printf 'Hi there\nok.\n' >"$work/lesson.txt"
ds_profile "$work"
xs_start
ds_dbus

step "start a nested Weston"
# The kiosk shell: no panel (whose terminal launcher a stray click would open), and
# each new window, the dialogs too, gets the keyboard as it appears and gives it back
# to the window below when it goes; the desktop shell places windows at random and
# leaves the keyboard with whichever window mapped last. No idle blanking.
printf '[core]\nidle-time=0\n\n[shell]\nlocking=false\n' >"$work/weston.ini"
xs_run weston --backend=x11-backend.so --socket=wl-test --width=1200 --height=960 \
    --use-pixman --shell=kiosk-shell.so --config="$work/weston.ini" >"$work/weston.log" 2>&1
xs_wait "Weston's socket" test -S "$XDG_RUNTIME_DIR/wl-test"
weston_window() { xdotool search --class 'Weston Compositor' 2>/dev/null | head -n 1; }
xs_wait "Weston's window" weston_window
compositor=$(weston_window)

step "start the program on Wayland"
cd "$work"
WAYLAND_DISPLAY=wl-test QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LC_ALL=C.UTF-8 \
    xs_run "$keyvale" 2>"$work/stderr"
app=$xs_last_pid
cd - >/dev/null
running() { kill -0 "$app" 2>/dev/null || xs_fail "the program ended: $(tail -n 3 "$work/stderr")"; }
xs_wait "the open-file dialog" shown '^打开$'
running

step "type the path into the dialog"
# Weston takes X keys on its own window and gives them to the focused surface.
xs_focus "$compositor"
xdotool type --delay 40 "$work/lesson.txt"
xdotool key Return
xs_wait "the text's caption" shown "^Keyvale－$work/lesson.txt\$"
running

step "type the text with one error"
# Into the box, as a learner would: the click also gives the window the keyboard.
click_main 406 233
xdotool type --delay 60 'Hi thexe'
ds_until "8 keys, one error" '[[ $ds_typed == 8 && $ds_errors == 1 && $ds_box1 == "Hi thexe" ]]'
xdotool type --delay 60 'ok.'
xs_wait "the score dialog" shown '^成绩$'

step "save with Return"
xdotool key Return
report=$work/成绩单.htm
xs_wait "the report" test -s "$report"
sleep 0.3 # the writer may still be finishing its 13 lines

step "check the report's bytes"
[[ $(wc -l <"$report") == 13 ]] || xs_fail "the report has $(wc -l <"$report") lines, not 13"
[[ $(grep -c $'\r$' "$report") == 13 ]] || xs_fail "not every line of the report ends in CR LF"
mapfile -t lines < <(iconv -f GB18030 -t UTF-8 "$report" | tr -d '\r')
[[ ${lines[5]} == '字数:   <font color=FFFF00>11</p>' ]] || xs_fail "report line 6 is '${lines[5]}'"
[[ ${lines[11]} == '错误:   <font color=FFFF00>1</p>' ]] || xs_fail "report line 12 is '${lines[11]}'"
[[ $(sed -n 6p "$report") == $'\xd7\xd6\xca\xfd:   <font color=FFFF00>11</p>\r' ]] ||
    xs_fail "report line 6 is not 字数 in GB18030 followed by CR LF"

if [[ -s $work/stderr ]]; then
    echo "wayland: the program wrote on stderr:"
    sed 's/^/    /' "$work/stderr"
fi
echo "wayland: passed"
