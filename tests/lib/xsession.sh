# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers for driving Keyvale in a private X server with real input events.
# Source this file; it stops everything it started when the sourcing script exits.

xs_pids=()
xs_display=

xs_fail() {
    echo "FAIL: $*" >&2
    keep=1
    if [[ -n ${xs_display} ]]; then
        echo "      windows shown:" >&2
        local id
        for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
            echo "        $(xdotool getwindowname "$id")" >&2
        done
    fi
    if [[ -n ${xs_display} && -n ${xs_artifacts:-} ]]; then
        DISPLAY=:${xs_display} import -window root "${xs_artifacts}/failure.png" 2>/dev/null &&
            echo "      screen at the failure: ${xs_artifacts}/failure.png" >&2
    fi
    exit 1
}

# Stops what was started, the last first: the X server goes after its clients.
xs_cleanup() {
    local i
    for ((i = ${#xs_pids[@]} - 1; i >= 0; i--)); do
        kill "${xs_pids[i]}" 2>/dev/null || true
        wait "${xs_pids[i]}" 2>/dev/null || true
    done
    xs_pids=()
}
trap xs_cleanup EXIT

# Starts Xvfb on a free display and exports DISPLAY. The server picks the display
# itself and reports it once it accepts connections, so runs side by side never race
# for a number.
xs_start() {
    local report
    report=$(mktemp)
    Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$report" >/dev/null 2>&1 &
    xs_pids+=($!)
    local deadline=$((SECONDS + 10))
    until [[ -s $report ]]; do
        ((SECONDS < deadline)) || xs_fail "Xvfb did not start"
        sleep 0.05
    done
    xs_display=$(head -n 1 "$report")
    rm -f "$report"
    export DISPLAY=":${xs_display}"
    # The server may report its display a moment before it takes connections.
    xs_wait "Xvfb on ${DISPLAY}" xdotool getdisplaygeometry
}

# xs_map_keys TEXT: puts each character of TEXT beyond ASCII on a spare key code of its
# own, once. xdotool would otherwise map such a character to a spare key just for its
# press and move the map on at once; a busy program reads the press after that and
# gets another character. Mapped beforehand, the keys stay where xdotool finds them.
xs_map_keys() {
    local LC_ALL=C.UTF-8
    local text=$1 char code i spare=() changes=()
    mapfile -t spare < <(xmodmap -pke | awk 'NF == 3 { print $2 }')
    for ((i = 0; i < ${#text}; i++)); do
        char=${text:i:1}
        [[ $char == [[:ascii:]] ]] && continue
        code=$(printf 'U%04X' "'$char")
        xmodmap -pke | grep -qw "$code" && continue
        [[ " ${changes[*]} " == *" = $code "* ]] && continue
        ((${#spare[@]})) || xs_fail "no spare key code left for '$char'"
        changes+=(-e "keycode ${spare[-1]} = $code")
        unset 'spare[-1]'
    done
    ((${#changes[@]} == 0)) || xmodmap "${changes[@]}"
}

# Starts a program in the background; its pid is in xs_last_pid.
xs_run() {
    "$@" &
    xs_last_pid=$!
    xs_pids+=("$xs_last_pid")
}

# xs_wait DESCRIPTION COMMAND...: polls COMMAND until it succeeds, for up to 10 s.
xs_wait() {
    local what=$1
    shift
    local deadline=$((SECONDS + 10))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || xs_fail "timed out waiting for ${what}"
        sleep 0.1
    done
}

# The visible windows whose caption matches a regular expression, one id per line.
xs_windows() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null
}

# Prints the id of the first visible window matching the caption, waiting for it.
xs_window() {
    xs_wait "a window named '$1'" xs_windows "$1"
    xs_windows "$1" | head -n 1
}

# Succeeds when at least N visible windows have a caption matching the expression.
xs_at_least() {
    (($(xs_windows "$2" | wc -l) >= $1))
}

# Prints the id of a visible window other than the given one, waiting for it.
xs_other_window() {
    other() { xdotool search --onlyvisible --name '.' 2>/dev/null | grep -vx "$1"; }
    xs_wait "a second window" other "$1"
    other "$1" | head -n 1
}

# Gives a window the keyboard; there is no window manager to do it.
xs_focus() {
    xdotool windowfocus --sync "$1"
}

# Sets X and Y to a window's client origin on the screen.
xs_origin() {
    local WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
}

# Clicks a button (1 left, 3 right) at a point of a window, relative to its origin.
xs_click() {
    local window=$1 dx=$2 dy=$3 button=${4:-1}
    xs_origin "$window"
    xdotool mousemove --sync $((X + dx)) $((Y + dy)) click "$button"
}

# Right-clicks a point of a window and waits for the program's pop-up menu.
xs_open_menu() {
    xs_menu_base=$(xs_program_windows)
    xs_click "$1" "$2" "$3" 3
    menu_open() { (($(xs_program_windows) > xs_menu_base)); }
    xs_wait "the pop-up menu" menu_open
}

# Chooses a menu item by its access key and waits for the menu to close.
xs_choose() {
    xdotool key "$1"
    menu_closed() { (($(xs_program_windows) <= xs_menu_base)); }
    xs_wait "the pop-up menu to close" menu_closed
}

xs_program_windows() {
    xdotool search --onlyvisible --class keyvale 2>/dev/null | wc -l
}

# A checksum of the pixels of a window's area: dx dy width height.
xs_pixels() {
    local window=$1
    xs_origin "$window"
    import -window root -crop "${4}x${5}+$((X + $2))+$((Y + $3))" rgb:- 2>/dev/null | md5sum
}

# The number of distinct colours in a window's area: dx dy width height.
xs_colours() {
    xs_origin "$1"
    import -window root -crop "${4}x${5}+$((X + $2))+$((Y + $3))" -format '%k' info: 2>/dev/null
}
