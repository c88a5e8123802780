# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers for the desktop tests, sourced after xsession.sh: a fresh profile, a private
# D-Bus session, reading the program through the accessibility bus, counting X bells,
# and stopping every process the run started.

ds_here=$(dirname "${BASH_SOURCE[0]}")
ds_python=/usr/bin/python3

# Every process of a run, and everything those start or have activated, inherits this
# value; the clean-up stops whatever still carries it.
export KEYVALE_DESKTOP_RUN=

# ds_profile DIR: a fresh home, configuration and run-time directory under DIR.
ds_profile() {
    export HOME=$1/home XDG_CONFIG_HOME=$1/home/.config XDG_RUNTIME_DIR=$1/run
    export XDG_DATA_HOME=$1/home/.local/share XDG_CACHE_HOME=$1/home/.cache
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    KEYVALE_DESKTOP_RUN=$1
}

# The processes that carry this run's mark, other than this shell and its subshells.
ds_marked() {
    local entry pid
    [[ -n ${KEYVALE_DESKTOP_RUN} ]] || return 0
    for entry in /proc/[0-9]*/environ; do
        pid=${entry#/proc/}
        pid=${pid%/environ}
        # Not the test's own shell, this subshell, nor the commands it runs right now.
        [[ $pid == "$$" || $pid == "${BASHPID}" ]] && continue
        [[ $(ps -o ppid= -p "$pid" 2>/dev/null | tr -d ' ') == "${BASHPID}" ]] && continue
        if grep -qzxF "KEYVALE_DESKTOP_RUN=${KEYVALE_DESKTOP_RUN}" "$entry" 2>/dev/null; then
            echo "$pid"
        fi
    done
}

ds_cleanup() {
    xs_cleanup
    local pid pids deadline=$((SECONDS + 5))
    pids=$(ds_marked)
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    while [[ -n $pids ]] && ((SECONDS < deadline)); do
        sleep 0.1
        pids=$(for pid in $pids; do kill -0 "$pid" 2>/dev/null && echo "$pid"; done)
    done
    for pid in $pids; do kill -KILL "$pid" 2>/dev/null || true; done
}

# Starts a private session bus and exports its address.
ds_dbus() {
    local report
    report=$(mktemp)
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$report" >/dev/null 2>&1 &
    xs_pids+=($!)
    has_address() { [[ -s $report ]]; }
    xs_wait "the D-Bus session" has_address
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$report")
    export DBUS_SESSION_BUS_ADDRESS
    rm -f "$report"
}

# Succeeds when a name has an owner on the session bus.
ds_bus_has() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}

# ds_a11y [CAPTION-RE]: window, role, name, description and text of the program's
# controls, one a line, tab-separated (tests/desktop/a11y.py).
ds_a11y() {
    timeout 10 "$ds_python" "$ds_here/a11y.py" Keyvale "${1:-^Keyvale}" 2>/dev/null
}

# The program's readings from the accessibility bus, in variables: ds_typed (the
# typed count), ds_errors (the error count) and ds_box1..ds_box3 (the typing boxes).
# A count label that shows no number yet reads 0.
ds_read() {
    local dump
    dump=$(ds_a11y '^Keyvale') || return 1
    ds_typed=$(awk -F'\t' '$2 == "label" && $3 ~ /^键入字符：/ { sub(/^键入字符：/, "", $3); print ($3 == "" ? 0 : $3); exit }' <<<"$dump")
    ds_errors=$(awk -F'\t' '$2 == "label" && $4 == "显示错误的字符数" { print ($3 == "" ? 0 : $3); exit }' <<<"$dump")
    [[ -n $ds_typed && -n $ds_errors ]] || return 1
    mapfile -t ds_boxes < <(awk -F'\t' '$2 == "text" { print $5 }' <<<"$dump")
    ((${#ds_boxes[@]} == 3)) || return 1
    ds_box1=${ds_boxes[0]} ds_box2=${ds_boxes[1]} ds_box3=${ds_boxes[2]}
}

# Waits until the program's readings satisfy a condition on ds_typed, ds_errors and
# ds_boxN, e.g. ds_until "typed count 2" '[[ $ds_typed == 2 ]]'; fails with the last
# readings after 10 s.
ds_until() {
    local what=$1 condition=$2 deadline=$((SECONDS + 10))
    until ds_read && eval "$condition"; do
        if ((SECONDS >= deadline)); then
            xs_fail "timed out waiting for ${what}; read: typed '${ds_typed:-}', errors '${ds_errors:-}', boxes '${ds_box1:-}' '${ds_box2:-}' '${ds_box3:-}'"
        fi
        sleep 0.1
    done
}

# Checks that a condition holds now and still holds after the program had time to act.
ds_stays() {
    local what=$1 condition=$2
    sleep 0.6
    ds_read || xs_fail "the accessibility bus did not answer"
    eval "$condition" ||
        xs_fail "${what}; read: typed '${ds_typed}', errors '${ds_errors}', boxes '${ds_box1}' '${ds_box2}' '${ds_box3}'"
}

# Waits until the program is on the accessibility bus.
ds_a11y_ready() {
    xs_wait "the program on the accessibility bus" ds_read
}

# Starts counting X bells into $ds_bells (one line a bell).
ds_bells_start() {
    ds_bells=$1
    "$ds_python" "$ds_here/bells.py" >"$ds_bells" &
    xs_pids+=($!)
    listening() { grep -qx listening "$ds_bells"; }
    xs_wait "the bell listener" listening
}

ds_bell_count() {
    grep -cx bell "$ds_bells" || true
}

# ds_red_share WINDOW DX DY W H: the percentage of the area's pixels that are pure red.
ds_red_share() {
    xs_origin "$1"
    import -silent -window root -crop "${4}x${5}+$((X + $2))+$((Y + $3))" -depth 8 txt:- 2>/dev/null |
        awk 'NR > 1 { total++; if ($0 ~ /#FF0000/) red++ } END { print total ? int(100 * red / total) : 0 }'
}

# Succeeds when the program shows a window whose caption matches the expression.
ds_shown() { [[ -n $(ds_a11y "$1") ]]; }

# Succeeds when the program's active window has a caption matching the expression: the
# desktop has given it the keyboard (keys sent before may reach another window).
ds_active() {
    [[ $(timeout 10 "$ds_python" "$ds_here/a11y.py" Keyvale --active 2>/dev/null) =~ $1 ]]
}

# ds_choose NAME: opens the text NAME in $work, where the open-file dialog opens (the
# program is run from a copy there). Once the dialog's listing shows the name and the
# dialog has the keyboard, the keyboard moves from the name field into the listing, the
# name's first letter selects it, and Return opens it. No path is typed: keys typed
# while the name field's completer pops up can be lost on their way through an input
# method.
ds_choose() {
    listed() { [[ $(ds_a11y '^打开$') == *$'\t'"$1"$'\t'* ]]; }
    xs_wait "'$1' in the open-file dialog's listing" listed "$1"
    xs_wait "the open-file dialog to have the keyboard" ds_active '^打开$'
    xdotool key shift+Tab
    xdotool type "${1:0:1}"
    xdotool key Return
    xs_wait "the caption of $1" ds_shown "^Keyvale－$work/$1\$"
}

# Starts a private sound server whose default output is a null sink.
ds_sound_server() {
    xs_run pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
        -L "module-null-sink sink_name=nullsink rate=48000 channels=2" \
        -L module-native-protocol-unix -L module-always-sink >"$work/pulseaudio.log" 2>&1
    xs_wait "the sound server" pactl info
    pactl set-default-sink nullsink
}

# ds_weston SOCKET: a nested Weston in the X server, its kiosk shell: no panel (whose
# terminal launcher a stray click would open), and each new window, the dialogs too,
# gets the keyboard as it appears and gives it back to the window below when it goes;
# the desktop shell places windows at random and leaves the keyboard with whichever
# window mapped last. No idle blanking.
ds_weston() {
    printf '[core]\nidle-time=0\n\n[shell]\nlocking=false\n' >"$work/weston.ini"
    xs_run weston --backend=x11-backend.so --socket="$1" --width=1200 --height=960 \
        --use-pixman --shell=kiosk-shell.so --config="$work/weston.ini" >"$work/compositor.log" 2>&1
}

# Starts the sound server and records the sink's monitor into $work/sound.raw from now on.
ds_sound() {
    ds_sound_server
    # Short blocks: by default parec delivers about 2 s at a time.
    xs_run parec --latency-msec=20 --device=nullsink.monitor --format=s16le --rate=48000 \
        --channels=2 --raw >"$work/sound.raw" 2>"$work/parec.log"
    recording() { [[ -n $(pactl list short source-outputs) ]]; }
    xs_wait "the recording" recording
}

# The number of sound bursts recorded so far (tests/lib/bursts.py).
ds_bursts() {
    "$ds_python" "$ds_here/bursts.py" "$work/sound.raw"
}
