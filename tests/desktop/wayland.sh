#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end test of the learner's whole flow under a real compositor, nested in a
# private X server, with the desktop's own XDG_CURRENT_DESKTOP (and so its platform
# theme): choose a text in the open-file dialog from the keyboard (after a click on the
# main window's close box, which must change nothing while the dialog is open),
# practise it with one error, then, with the score dialog up: open its message "no
# report yet" and click the disabled main window, which must leave the keyboard with
# the message; click the main window once and type a name straight away: the dialog
# must stay on top and take the keys, Return saves, and the report is checked byte for
# byte; then 50 clicks in a burst, after which the dialog must still have the keyboard
# and be where it was. A private sound server records its null sink: on Wayland the
# error is heard as one burst, on X11 the program rings the X bell and plays nothing
# itself. The accessibility bus tells which windows the program shows. At the end the
# close box must close the program. What the program prints on stderr is listed.
#   weston           Weston's kiosk shell, the program a Wayland client
#   mutter, kwin     GNOME's and KDE's compositors, the program a Wayland client
#   mutter-xwayland, kwin-xwayland   the same, the program an X11 client of their Xwayland
#   mutter-x11       mutter as the window manager of the plain X server; the name is
#                    Chinese, and Chromium must read the report it starts
# Usage: wayland.sh COMPOSITOR path/to/keyvale
compositor=${1:?usage: wayland.sh COMPOSITOR path/to/keyvale}
keyvale=$(realpath "${2:?usage: wayland.sh COMPOSITOR path/to/keyvale}")
case $compositor in
weston | mutter | kwin) x11= ;;
mutter-xwayland | kwin-xwayland | mutter-x11) x11=1 ;;
*) echo "wayland.sh: unknown compositor '$compositor'" >&2 && exit 2 ;;
esac
# What a desktop session of each sets, and Qt picks its platform theme by.
case $compositor in
mutter*) desktop=GNOME ;;
kwin*) desktop=KDE ;;
*) desktop= ;;
esac
source "$(dirname "${BASH_SOURCE[0]}")/../lib/common.sh" "wayland($compositor)"
unset WAYLAND_DISPLAY

# The private X server's screen: into a file, or as an image on standard output.
screen() { import -silent -window root -quality 10 "${1:-miff:-}" 2>/dev/null; }

# colour_count COLOUR IMAGE: how many pixels of the image (miff:- for standard input)
# are of the colour.
colour_count() {
    convert "$2" -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:int(mean*w*h+0.5)]' info:
}

# main_origin IMAGE: sets LEFT and TOP to the main window's client origin on the screen.
# The compositor places windows, so it is found from the area in the window's background
# colour (a dark blue that only the title bar's icon shows too): its bottom-right corner
# is the client area's, 792 x 573 pixels.
main_origin() {
    local geometry
    geometry=$(convert "$1" -depth 8 -fill black +opaque '#0000C0' -trim \
        -format '%[fx:page.x + w - 792] %[fx:page.y + h - 573]' info:) ||
        xs_fail "no screenshot of the screen"
    read -r LEFT TOP <<<"$geometry"
}

# Clicks a point of the screen; the pointer is moved there first unless it is there.
click_at() {
    local x=$1 y=$2
    shift 2
    [[ $(xdotool getmouselocation) == "x:$x y:$y "* ]] || xdotool mousemove --sync "$x" "$y"
    xdotool click "$@" 1
}

# Succeeds when the main window is drawn on the screen (its background spans it).
main_drawn() {
    local size
    size=$(screen | convert miff:- -depth 8 -fill black +opaque '#0000C0' -trim -format '%w %h' info:) &&
        read -r width height <<<"$size" && ((width >= 792 && height >= 573))
}

# Clicks a point of the main window, from its client origin.
click_main() {
    local LEFT TOP
    xs_wait "the main window on the screen" main_drawn
    main_origin miff:- < <(screen)
    click_at $((LEFT + $1)) $((TOP + $2)) "${@:3}"
}

# The close box of the main window's title bar, drawn by KWin or by Qt (on mutter), 20
# pixels wide at the right end of the bar above the client area.
close_box=(776 -17)

# The display of the Xwayland this run's compositor started, and its authority file.
find_xwayland() {
    local pid arguments
    for pid in $(pgrep -x Xwayland); do
        grep -qzxF "KEYVALE_DESKTOP_RUN=${KEYVALE_DESKTOP_RUN}" "/proc/$pid/environ" 2>/dev/null || continue
        mapfile -d '' -t arguments <"/proc/$pid/cmdline"
        xwayland_display=$(printf '%s\n' "${arguments[@]}" | grep -m 1 '^:[0-9]')
        xwayland_auth=$(printf '%s\n' "${arguments[@]}" | grep -A 1 -x -- -auth | tail -n +2 || true)
        DISPLAY=$xwayland_display XAUTHORITY=$xwayland_auth xdotool getdisplaygeometry
        return
    done
    return 1
}

printf 'Hi there\nok.\n' >"$work/lesson.txt"
cp "$keyvale" "$work/keyvale" # the open-file dialog opens beside the program
ds_profile "$work"
xs_start
ds_dbus
ds_sound

step "start $compositor"
# The compositors get no sound server: what the sink hears is the program's alone.
export PULSE_SERVER=unix:$work/no-sound-server
case $compositor in
weston) ds_weston wl-test ;;
mutter*)
    # Nested, its output must be large enough for the main window (800x600 is not).
    options=(--x11 --replace)
    [[ $compositor == mutter-x11 ]] || options=(--nested --wayland --wayland-display=wl-test)
    [[ $compositor == mutter ]] && options+=(--no-x11)
    MUTTER_DEBUG_DUMMY_MODE_SPECS=1200x960 xs_run mutter "${options[@]}" >"$work/compositor.log" 2>&1
    ;;
kwin*)
    # A plain copy: the installed binary carries a file capability that a container
    # may refuse to execute. The name must stay kwin_wayland.
    mkdir "$work/kwin"
    cp /usr/bin/kwin_wayland "$work/kwin/kwin_wayland"
    options=(--socket wl-test --width 1200 --height 960 --no-lockscreen --no-global-shortcuts --no-kactivities)
    [[ $compositor == kwin-xwayland ]] && options+=(--xwayland)
    xs_run "$work/kwin/kwin_wayland" "${options[@]}" >"$work/compositor.log" 2>&1
    ;;
esac
unset PULSE_SERVER
if [[ $compositor == mutter-x11 ]]; then
    managed() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
    xs_wait "mutter to manage the screen" managed
    client=(QT_QPA_PLATFORM=xcb)
else
    xs_wait "the compositor's socket" test -S "$XDG_RUNTIME_DIR/wl-test"
    # Its output, a window of the size asked for.
    compositor_window() {
        local id
        for id in $(xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null); do
            [[ $(xdotool getwindowgeometry "$id") == *'Geometry: 1200x960'* ]] && echo "$id" && return
        done
        return 1
    }
    xs_wait "the compositor's window" compositor_window
    # The compositor takes X keys on its own window and gives them to the focused
    # surface; a window manager gives the keyboard itself.
    xs_focus "$(compositor_window)"
    client=(WAYLAND_DISPLAY=wl-test QT_QPA_PLATFORM=wayland)
fi
bells_display=$DISPLAY
if [[ $compositor == *-xwayland ]]; then
    xs_wait "the compositor's Xwayland" find_xwayland
    client=(DISPLAY="$xwayland_display" XAUTHORITY="$xwayland_auth" QT_QPA_PLATFORM=xcb)
    bells_display=$xwayland_display
fi
[[ -z $x11 ]] || DISPLAY=$bells_display XAUTHORITY=${xwayland_auth:-} ds_bells_start "$work/bells"

step "check that the recording hears a sound"
paplay /usr/share/sounds/freedesktop/stereo/bell.oga
heard() { (($(ds_bursts) == $1)); }
xs_wait "the test sound on the sink" heard 1

step "start the program"
cd "$work"
xs_run env "${client[@]}" XDG_CURRENT_DESKTOP="$desktop" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    QT_LOGGING_RULES="keyvale.handover.debug=true" LC_ALL=C.UTF-8 "$work/keyvale" 2>"$work/stderr"
app=$xs_last_pid
cd - >/dev/null
running() { kill -0 "$app" 2>/dev/null || xs_fail "the program ended: $(tail -n 3 "$work/stderr")"; }
xs_wait "the open-file dialog" ds_shown '^打开$'
running

if [[ $compositor == kwin || $compositor == mutter ]]; then
    step "the main window's close box while the open-file dialog is open changes nothing"
    click_main "${close_box[@]}"
    # The click gives the main window the keyboard, and the program hands it back to the
    # dialog; keys typed before the compositor has moved it on are lost (see below).
    back() { grep -q '^keyvale.handover: keyboard with 打开 after' "$work/stderr"; }
    xs_wait "the compositor to give the open-file dialog the keyboard back" back
    ds_shown '^打开$' && ds_shown '^Keyvale$' || xs_fail "the dialog or the main window went away"
    running
fi

step "choose the text in the dialog from the keyboard"
ds_choose lesson.txt
running

step "type the text with one error"
# Into the box, as a learner would: the click also gives the window the keyboard.
click_main 406 233
xdotool type --delay 60 'Hi thexe'
ds_until "8 keys, one error" '[[ $ds_typed == 8 && $ds_errors == 1 && $ds_box1 == "Hi thexe" ]]'
if [[ -n $x11 ]]; then
    xs_wait "the X bell" eval '(($(ds_bell_count) == 1))'
else
    xs_wait "the error's sound" heard 2
fi
xdotool type --delay 60 'ok.'
xs_wait "the score dialog" ds_shown '^成绩$'

dialog_colour='#C0C0FF'
drawn() { (($(screen | colour_count "$dialog_colour" miff:-) > 50000)); }
xs_wait "the score dialog on the screen" drawn
screen "$work/score-dialog.png"
shown_before=$(colour_count "$dialog_colour" "$work/score-dialog.png")
# Where the dialog is on the screen: the box around its colour.
dialog_place() { convert "${1:-miff:-}" -depth 8 -fill black +opaque "$dialog_colour" -trim -format '%wx%h%X%Y' info:; }
place_before=$(dialog_place "$work/score-dialog.png")
if [[ $compositor == weston ]]; then
    # The kiosk shell shows the top window alone, centred on black: a click beside it.
    main_point=(40 40)
else
    # A point of the main window's own background that the dialog and its message leave
    # uncovered.
    main_origin "$work/score-dialog.png"
    for point in "780 100" "780 540" "20 540" "20 100" ""; do
        [[ -n $point ]] || xs_fail "the score dialog covers every point tried of the main window"
        read -r dx dy <<<"$point"
        dx=$((LEFT + dx)) dy=$((TOP + dy))
        [[ $(convert "$work/score-dialog.png" -format "%[hex:u.p{$dx,$dy}]" info:) == 0000C0* ]] && break
    done
    main_point=("$dx" "$dy")
fi

if [[ $compositor != weston ]]; then
    # (Weston 10 has no activation protocol: once a message goes, no window of the program
    # gets the keyboard back until the learner clicks one.)
    step "the dialog's message that there is no report keeps the keyboard after a click on the main window"
    xdotool key Tab Tab Return # from the name box to 成绩, which finds no report
    xs_wait "the message" ds_shown '^Keyvale$'
    handed=$(grep -c '^keyvale.handover: keyboard with Keyvale after' "$work/stderr" || true)
    click_at "${main_point[@]}"
    if [[ -z $x11 ]]; then
        # Keys typed before the compositor has moved the keyboard on reach the main window,
        # which the message blocks: they are lost. Return once the message has the keyboard.
        arrived() { (($(grep -c '^keyvale.handover: keyboard with Keyvale after' "$work/stderr") > handed)); }
        xs_wait "the compositor to give the message the keyboard" arrived
    fi
    xdotool key Return
    gone() { ! ds_shown '^Keyvale$'; }
    xs_wait "the message to take Return (it lost the keyboard to the main window)" gone
    xdotool key shift+Tab shift+Tab # back to the name box, all of it selected
fi

step "one click on the disabled main window; the score dialog stays on top"
click_at "${main_point[@]}"

step "a name typed straight away goes into the dialog; Return saves"
name=Lin
if [[ $compositor == mutter-x11 ]]; then
    # A traditional name, for the browser below.
    name=張偉
    xs_map_keys "$name"
fi
xdotool type --delay 60 "$name"
xdotool key Return
report=$work/成绩单.htm
deadline=$((SECONDS + 10))
until report_has "$report" 1 || ((SECONDS >= deadline)); do sleep 0.1; done
# Whole again once any animation of the desktop's has played.
on_top() {
    screen "$work/saved.png"
    (($(colour_count "$dialog_colour" "$work/saved.png") * 10 >= shown_before * 9))
}
xs_wait "the score dialog on top after the click (see score-dialog.png, saved.png)" on_top
report_has "$report" 1 || xs_fail "the name typed after the click was not saved: the dialog lacks the keyboard"
running

step "50 clicks on the main window in a burst: the dialog keeps the keyboard, where it was"
click_at "${main_point[@]}" --repeat 50 --delay 50
xdotool type --delay 60 x
name_box() { [[ $(ds_a11y '^成绩$' | awk -F'\t' '$2 == "text" && $3 == "姓名" { print $5 }') == "$name"x ]]; }
xs_wait "the name box to read '${name}x' (the dialog lost the keyboard)" name_box
xs_wait "the score dialog whole on top" on_top
[[ $(dialog_place "$work/saved.png") == "$place_before" ]] ||
    xs_fail "the dialog moved from $place_before to $(dialog_place "$work/saved.png")"
if [[ $compositor != weston ]]; then
    grep -q '^keyvale.handover: activated' "$work/stderr" || xs_fail "no hand-over was logged"
    ! grep -q '^keyvale.handover: shown anew' "$work/stderr" ||
        xs_fail "the dialog was shown anew instead of activated"
fi

step "check the report's bytes"
check_report "$report" 1
expect_line 4 "姓名:   <font color=FFFF00>$name</p>"
expect_line 6 '字数:   <font color=FFFF00>11</p>'
expect_line 12 '错误:   <font color=FFFF00>1</p>'
grep -qx $'\xd7\xd6\xca\xfd:   <font color=FFFF00>11</p>\r' "$report" ||
    xs_fail "report line 6 is not 字数 in GB18030 followed by CR LF"

step "the error was heard once on Wayland, rung once on X11"
if [[ -n $x11 ]]; then
    (($(ds_bell_count) == 1)) || xs_fail "$(ds_bell_count) X bells for one error"
    heard 1 || xs_fail "the program played $(($(ds_bursts) - 1)) sounds on X11 besides its X bell"
else
    heard 2 || xs_fail "$(($(ds_bursts) - 1)) sounds for one error"
fi

if [[ $compositor == mutter-x11 ]]; then
    step "Chromium reads the report's captions and the name"
    page=$(timeout 60 chromium --headless --no-sandbox --disable-gpu --dump-dom "file://$report" 2>/dev/null) ||
        xs_fail "chromium did not print the page"
    for caption in 姓名 字数 速度 得分 错误 "$name"; do
        [[ $page == *"$caption"* ]] || xs_fail "Chromium does not show '$caption': $(grep -m 1 FFFF00 <<<"$page")"
    done
fi

if [[ $compositor == kwin || $compositor == mutter ]]; then
    step "OK, then free input: now the main window's close box ends the program"
    xdotool key Tab Return # from the name box to OK
    xs_wait "the open-file dialog" ds_shown '^打开$'
    xdotool key Escape
    xs_wait "the message of free input" ds_shown '^Keyvale$'
    xdotool key Return
    xs_wait "free input" ds_shown '^Keyvale－自由录入$'
    click_main "${close_box[@]}"
    ended() { ! kill -0 "$app" 2>/dev/null; }
    xs_wait "the program to end (was the close box clicked above?)" ended
fi
passed
