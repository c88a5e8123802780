#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end test: the real program in its own X server, driven by real X key and mouse
# events. Usage: e2e.sh path/to/keyvale path/to/fakewm
keyvale=$(realpath "${1:?usage: e2e.sh path/to/keyvale path/to/fakewm}")
fakewm=$(realpath "${2:?usage: e2e.sh path/to/keyvale path/to/fakewm}")
source "$(dirname "${BASH_SOURCE[0]}")/../lib/common.sh" e2e

# A click on a window that gives it the keyboard, as a window manager does on a click.
click_to_focus() {
    local time
    time=$("$fakewm" time)
    xs_click "$@"
    "$fakewm" focus "$1" "$time"
}

# Places of the main window, in pixels from its client origin.
box1=(406 233)          # the first typing box
background=(780 100)    # the window's own background
typed_count=(0 24 160 22) # the typed-characters count
clock=(0 48 160 22)     # the practice clock

# A practice text in GBK: 5 + 3 characters, so two errors are allowed.
printf 'Hi \xc4\xe3\xba\xc3\r\nok.\r\n' >"$work/lesson.txt"
# A UTF-8 text with LF and a character beyond the Basic Multilingual Plane.
printf 'a\xf0\xa0\x80\x80b\n' >"$work/wide.txt"
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"

xs_start
# The characters typed below that are not on the keyboard map.
xs_map_keys '你𠀀'
cd "$work"
# Under a file-size limit, as some school machines set one; the second save runs into it.
limit_kib=64
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run LC_ALL=C.UTF-8 \
    xs_run bash -c 'ulimit -f "$1" && exec "$2" 2>"$3"' keyvale "$limit_kib" "$keyvale" "$work/stderr"
app=$xs_last_pid
cd - >/dev/null

step "cancel the open-file dialog"
dialog=$(xs_window '^打开$')
main=$(xs_windows '^Keyvale$' | head -n 1)
[[ -n $main ]] || xs_fail "the main window is not shown behind the dialog"
xs_focus "$dialog"
xdotool key Escape

step "dismiss the free-input message"
xs_wait "the message box" xs_at_least 2 '^Keyvale$'
message=$(xs_windows '^Keyvale$' | grep -vx "$main" | head -n 1)
xs_focus "$message"
xdotool key Return
xs_wait "the free-input caption" xs_windows '^Keyvale－自由录入$'

step "type in free input and see the count change"
before=$(xs_pixels "$main" "${typed_count[@]}")
xs_focus "$main"
xs_click "$main" "${box1[@]}"
xdotool type --delay 40 'abc'
count_changed() { [[ $(xs_pixels "$main" "${typed_count[@]}") != "$before" ]]; }
xs_wait "the typed count to change" count_changed

step "open the GBK text through the menu and the dialog"
xs_open_menu "$main" "${background[@]}"
xdotool key o # the open-file dialog follows
dialog=$(xs_window '^打开$')
xs_focus "$dialog"
xdotool type --delay 20 "$work/lesson.txt"
xdotool key Return
xs_wait "the text's caption" xs_windows "^Keyvale－$work/lesson.txt\$"

step "type the text to its end with one error; a middle-click paste is refused"
xs_focus "$main"
xs_click "$main" "${box1[@]}"
xdotool type --delay 60 'Hi'
# Select "Hi" (the X selection), paste it with the middle button: a paste that got in
# would shift every later comparison and end the row early.
xs_origin "$main"
xdotool mousemove --sync $((X + 55)) $((Y + 233)) click --repeat 2 --delay 80 1
sleep 0.3
xdotool click 2
xdotool key End
xdotool type --delay 60 ' 你'
sleep 2.3 # let the statistics tick at least once with the clock past one second
xdotool type --delay 60 'X'
xdotool type --delay 60 'ok.'
score=$(xs_window '^成绩$')

step "save with Enter in the name box"
xs_focus "$score"
xdotool key Return
report=$work/成绩单.htm
xs_wait "the report" report_has "$report" 1

step "check the report"
check_report "$report" 1
grep -q $'\xd3\xc3\xbb\xa7' "$report" || xs_fail "the name is not in GBK"
lead='<p><font color =0000FF  > <body bgcolor=008f70>'
expect_line 1 '<p><font color =0000FF face =arial >'
expect_shape 2 '^[0-9]{4} - [A-Za-z]+ - [0-9]{2}-[A-Za-z]+ [0-9]{2}:[0-9]{2}:[0-9]{2}</font></p>$'
for n in 3 5 7 9 11; do expect_line $n "$lead"; done
expect_line 4 '姓名:   <font color=FFFF00>用户</p>'
expect_line 6 '字数:   <font color=FFFF00>8</p>'
expect_shape 8 '^速度:   <font color=FFFF00>[0-9]*\.[0-9]{0,2}</p>$'
expect_shape 10 '^得分:   <font color=FFFF00>[0-9]*\.[0-9]{0,2}</p>$'
expect_line 12 '错误:   <font color=FFFF00>1</p>'
expect_line 13 ''

step "OK starts a new practice: a character beyond the BMP is one keystroke"
xs_click "$score" 260 28
dialog=$(xs_window '^打开$')
xs_focus "$dialog"
xdotool type --delay 20 "$work/wide.txt"
xdotool key Return
xs_wait "the UTF-8 text's caption" xs_windows "^Keyvale－$work/wide.txt\$"
xs_focus "$main"
xs_click "$main" "${box1[@]}"
xdotool type --delay 100 'a𠀀b'
score=$(xs_window '^成绩$')

step "closing the main window while the score shows: refused, the dialog stays"
"$fakewm" close "$main"
sleep 0.5
xs_windows '^成绩$' | grep -qx "$score" || xs_fail "the score dialog went away"
xs_windows '^Keyvale－' | grep -qx "$main" || xs_fail "the main window went away"
kill -0 "$app" || xs_fail "the program ended"

step "the disabled main window, clicked, hands the keyboard to the score dialog"
has_keyboard() { [[ $(xdotool getwindowfocus) == "$1" ]]; }
click_to_focus "$main" "${background[@]}"
xs_wait "the score dialog to have the keyboard" has_keyboard "$score"

step "a save cut short by the file-size limit warns and leaves the report as it was"
size=$(stat -c %s "$report")
truncate -s $((limit_kib * 1024 - 100)) "$report" # room for part of the entry only
before=$(md5sum <"$report")
xs_focus "$score"
xdotool key Return
warned_or_ended() { xs_windows '^提示$' || ! kill -0 "$app"; }
xs_wait "the warning" warned_or_ended
kill -0 "$app" 2>/dev/null || xs_fail "the program ended on a save past the file-size limit"
[[ $(md5sum <"$report") == "$before" ]] || xs_fail "the failed save changed the report"
# and a teacher reads why on standard error, in one line.
grep -qx "keyvale: could not save the result to $report: File too large" "$work/stderr" ||
    xs_fail "no line on stderr says why the save failed: $(cat "$work/stderr")"
# While the dialog's warning is open, the keyboard goes back to the warning.
warning=$(xs_windows '^提示$' | head -n 1)
click_to_focus "$main" "${background[@]}"
xs_wait "the warning to have the keyboard" has_keyboard "$warning"
xdotool key Return
xs_wait "the warning to close" eval '! xs_windows "^提示$"'

step "with room made, saving again appends the entry"
truncate -s "$size" "$report"
xs_focus "$score"
xdotool key Return
xs_wait "the second entry" report_has "$report" 2
check_report "$report" 2
expect_line 19 '字数:   <font color=FFFF00>3</p>'
expect_line 25 '错误:   <font color=FFFF00>0</p>'

step "OK starts a new practice; cancel into free input"
xs_click "$score" 260 28
dialog=$(xs_window '^打开$')
xs_focus "$dialog"
xdotool key Escape
xs_wait "the message box" xs_at_least 2 '^Keyvale'
message=$(xs_windows '^Keyvale$' | grep -vx "$main" | head -n 1)
xs_focus "$message"
xdotool key Return
xs_wait "free input" xs_windows '^Keyvale－自由录入$'

step "pause: typing is counted nowhere and the clock stands"
xs_open_menu "$main" "${background[@]}"
xs_choose s
# Paused, the clock comes to rest: once its last tick has been drawn, it stays.
clock_at_rest() {
    local first
    first=$(xs_pixels "$main" "${clock[@]}")
    sleep 0.4
    [[ $(xs_pixels "$main" "${clock[@]}") == "$first" ]]
}
xs_wait "the clock to stop" clock_at_rest
count=$(xs_pixels "$main" "${typed_count[@]}")
time=$(xs_pixels "$main" "${clock[@]}")
xs_focus "$main"
xs_click "$main" "${box1[@]}"
xdotool type --delay 40 'zzz'
sleep 1.2
[[ $(xs_pixels "$main" "${typed_count[@]}") == "$count" ]] || xs_fail "keys were counted while paused"
[[ $(xs_pixels "$main" "${clock[@]}") == "$time" ]] || xs_fail "the clock ran while paused"

step "continue: typing counts again"
xs_open_menu "$main" "${background[@]}"
xs_choose c
xs_focus "$main"
xs_click "$main" "${box1[@]}"
xdotool type --delay 40 'y'
before=$count
xs_wait "the typed count to change" count_changed

step "exit through the menu"
xs_open_menu "$main" "${background[@]}"
xdotool key x
exited() { ! kill -0 "$app" 2>/dev/null; }
xs_wait "the program to end" exited
wait "$app" || xs_fail "the program ended with status $?"
passed
