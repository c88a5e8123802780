#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end test with a real Chinese pinyin input method: the program in its own X
# server, the input method in a fresh profile on a private D-Bus session, keys typed
# as X events and the program read back through the accessibility bus.
# Usage: ime.sh fcitx5|ibus path/to/keyvale
engine=${1:?usage: ime.sh fcitx5|ibus path/to/keyvale}
keyvale=$(realpath "${2:?usage: ime.sh fcitx5|ibus path/to/keyvale}")
case $engine in
fcitx5 | ibus) ;;
*) echo "ime.sh: unknown input method '$engine' (fcitx5 or ibus)" >&2 && exit 2 ;;
esac

here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
source "$here/../lib/common.sh" "ime($engine)"

# Places of the main window, in pixels from its client origin.
box1=(406 233)
# The inside of each row's marker, clear of its ">".
marker_row1=(10 210 14 12)
marker_row2=(10 354 14 12)

# fcitx5: pinyin is the second input method of the only group, off by default in every
# new input context, each context with its own state; no cloud, no prediction.
fcitx5_start() {
    local config=$XDG_CONFIG_HOME/fcitx5
    mkdir -p "$config/conf"
    cat >"$config/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
PROFILE
    printf '[Behavior]\nActiveByDefault=False\nShareInputState=No\n' >"$config/config"
    printf 'CloudPinyinEnabled=False\nPrediction=False\n' >"$config/conf/pinyin.conf"
    # Started before anything asks the bus for it, so D-Bus never starts one of its own.
    xs_run fcitx5 --disable=wayland,waylandim >"$work/fcitx5.log" 2>&1
    xs_wait "fcitx5 on the session bus" ds_bus_has org.fcitx.Fcitx5
    export QT_IM_MODULE=fcitx
}

# fcitx5-remote: 0 no input context has the focus, 1 inactive, 2 active.
fcitx5_state() { [[ $(fcitx5-remote 2>/dev/null) == "$1" ]]; }

# Turns pinyin on or off in the focused input context, once it has one.
fcitx5_set() {
    xs_wait "an input context with the focus" eval '! fcitx5_state 0'
    if [[ $1 == on ]]; then
        fcitx5-remote -o
        xs_wait "pinyin to be on" fcitx5_state 2
    else
        fcitx5-remote -c
        xs_wait "pinyin to be off" fcitx5_state 1
    fi
}

# ibus: the daemon without panel or emoji helper; the engine is global, so it is
# switched between the plain keyboard and libpinyin.
ibus_start() {
    # libpinyin keeps its settings in dconf; the defaults it has there are the fresh ones.
    xs_run ibus-daemon --panel=disable --emoji-extension=disable --xim=false --replace >"$work/ibus.log" 2>&1
    has_address() { [[ $(ibus address 2>/dev/null) == unix:* ]]; }
    xs_wait "the ibus daemon" has_address
    has_engine() { ibus list-engine 2>/dev/null | grep -q 'libpinyin'; }
    xs_wait "the libpinyin engine" has_engine
    ibus engine xkb:us::eng 2>/dev/null || true
    export QT_IM_MODULE=ibus
}

ibus_current() { [[ $(ibus engine 2>/dev/null) == "$1" ]]; }

ibus_set() {
    local wanted=xkb:us::eng
    [[ $1 == on ]] && wanted=libpinyin
    # "ibus engine NAME" switches, yet may exit 1.
    ibus engine "$wanted" 2>/dev/null || true
    xs_wait "the ibus engine $wanted" ibus_current "$wanted"
}

pinyin() { "${engine}_set" "$1"; }

# Types pinyin letters, then a candidate's number; the letters only compose.
compose() {
    xdotool type --delay 80 "$1"
}
choose() {
    xdotool key --delay 80 "$1"
}

# ds_until with a typed count, an error count and the current box's content.
expect() {
    local typed=$1 errors=$2 box=$3 text=$4
    ds_until "typed count $typed, errors '$errors', box $box '$text'" \
        "[[ \$ds_typed == '$typed' && \$ds_errors == '$errors' && \$ds_box$box == '$text' ]]"
}
# The same readings, unchanged after the program had time to count.
expect_still() {
    local typed=$1 errors=$2 box=$3 text=$4 why=$5
    ds_stays "$why" "[[ \$ds_typed == '$typed' && \$ds_errors == '$errors' && \$ds_box$box == '$text' ]]"
}

# For a failure with a flood of windows: the screen as it is, then the program stopped,
# so that the report lists a few windows rather than thousands.
fail_stopping_program() {
    import -silent -window root "$work/failure.png" 2>/dev/null || true
    echo "      screen at the failure: $work/failure.png" >&2
    kill "$app" 2>/dev/null || true
    xs_artifacts=
    xs_fail "$@"
}

# The program beside its texts, where its open-file dialog opens.
cp "$here/texts/practice.txt" "$here/texts/fail.txt" "$work/"
cp "$keyvale" "$work/keyvale"
ds_profile "$work"
xs_start
ds_dbus
step "start $engine"
"${engine}_start"
ds_bells_start "$work/bells"

cd "$work"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LC_ALL=C.UTF-8 xs_run "$work/keyvale" 2>"$work/stderr"
app=$xs_last_pid
cd - >/dev/null

step "choose a two-character text with pinyin off"
dialog=$(xs_window '^打开$')
main=$(xs_windows '^Keyvale$' | head -n 1)
[[ -n $main ]] || xs_fail "the main window is not shown behind the dialog"
ds_a11y_ready
xs_focus "$dialog"
pinyin off
ds_choose fail.txt

step "commit a wrong two-character phrase: the first character fails the practice"
xs_focus "$main"
xs_click "$main" "${box1[@]}"
pinyin on
compose lianxi
choose 1
message=$(xs_window '^错误$')
# One failure, one message: the phrase's other character, or the same commit sent
# again while the message is shown, must not fail the practice a second time.
sleep 1
messages=$(xs_windows '^错误$' | wc -l)
((messages == 1)) || fail_stopping_program "the failing phrase opened $messages messages 任务失败！！ (re-entered on the commit)"
says_failed() { [[ $(ds_a11y '^错误$') == *$'\tlabel\t任务失败！！\t'* ]]; }
xs_wait "the message box to say 任务失败！！ on the accessibility bus" says_failed
xs_focus "$message"
xdotool key Return

step "the next practice starts clean"
dialog=$(xs_window '^打开$')
xs_focus "$dialog"
pinyin off
ds_choose practice.txt
# Nothing of the failing phrase may reach the new practice, now or a moment later.
expect_still 0 0 1 '' "the failing phrase reached the new practice"

step "row 1: letters and BackSpace in the composition count nothing"
xs_focus "$main"
xs_click "$main" "${box1[@]}"
pinyin on
compose n
expect_still 0 0 1 '' "a composing letter was counted or typed"
compose ihaox
xdotool key BackSpace
expect_still 0 0 1 '' "BackSpace inside the composition was counted"
choose 1
expect 2 0 1 '你好'
compose shijie
expect_still 2 0 1 '你好' "composing letters were counted"
choose 1
expect 4 0 1 '你好世界'

step "row 2: a wrong phrase counts its errors, rings and turns the marker red"
[[ $(ds_red_share "$main" "${marker_row2[@]}") == 0 ]] || xs_fail "row 2's marker is red before any error"
bells=$(ds_bell_count)
compose lianxi
choose 1
expect 6 2 2 '联系'
rung() { (($(ds_bell_count) >= bells + 2)); }
xs_wait "two bells" rung
red=$(ds_red_share "$main" "${marker_row2[@]}")
((red > 90)) || xs_fail "row 2's marker is not red after the errors (${red}% red)"
compose hanzi
choose 1
expect 8 2 2 '联系汉字'
(($(ds_bell_count) == bells + 2)) || xs_fail "$(($(ds_bell_count) - bells)) bells for two errors"

step "row 3 to the end of the text"
compose zhongguo
choose 1
expect 10 2 3 '中国'
compose renmin
choose 1
score=$(xs_window '^成绩$')

step "save the score with Return"
xs_focus "$score"
pinyin off
xdotool key Return
report=$work/成绩单.htm
xs_wait "the report" report_has "$report" 1
check_report "$report" 1
expect_line 6 '字数:   <font color=FFFF00>12</p>'
expect_line 12 '错误:   <font color=FFFF00>2</p>'
passed
