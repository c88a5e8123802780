# SPDX-License-Identifier: GPL-3.0-or-later
# The opening of every end-to-end and desktop test script:
#   source tests/lib/common.sh NAME
# Strict mode, a work directory $work (kept, with a screenshot, when the test fails),
# the X session and desktop helpers, a clean-up on exit of everything the test
# started, and the checks of a saved report.
set -euo pipefail

t_name=$1
work=$(mktemp -d)
xs_artifacts=$work
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"
source "$(dirname "${BASH_SOURCE[0]}")/desktop.sh"
trap 'status=$?; ds_cleanup; ((status)) && echo "$t_name: artifacts kept in $work" >&2 || rm -rf "$work"' EXIT

step() { echo "$t_name: $*"; }

# Lists what the program wrote on standard error (into $work/stderr), then says so.
passed() {
    if [[ -s $work/stderr ]]; then
        echo "$t_name: the program wrote on stderr:"
        sed 's/^/    /' "$work/stderr"
    fi
    echo "$t_name: passed"
}

# report_has FILE N: the report has grown to the lines of N entries (13 each).
report_has() {
    [[ -f $1 ]] && (($(wc -l <"$1") >= 13 * $2))
}

# check_report FILE N: a report this test created. Its first line declares the
# encoding; N entries of 13 lines follow; every line ends in CR LF; all of it is
# GB18030. The entries' lines, decoded and without CR, are in report_lines (from 0).
check_report() {
    local first
    first=$(head -n 1 "$1")
    [[ $first == $'<html><meta charset="gb18030">\r' ]] ||
        xs_fail "the report's first line is '${first}', not the charset line with CR LF"
    (($(wc -l <"$1") == 1 + 13 * $2)) || xs_fail "the report has $(wc -l <"$1") lines, not 1 + 13 x $2"
    [[ $(grep -c $'\r$' "$1") == $(wc -l <"$1") ]] || xs_fail "not every line of the report ends in CR LF"
    iconv -f GB18030 -t UTF-8 "$1" >/dev/null || xs_fail "the report is not GB18030"
    mapfile -t report_lines < <(tail -n +2 "$1" | iconv -f GB18030 -t UTF-8 | tr -d '\r')
}

# expect_line N TEXT, expect_shape N REGEX: line N of the report's entries (from 1).
expect_line() {
    [[ ${report_lines[$1 - 1]} == "$2" ]] ||
        xs_fail "report line $1 is '${report_lines[$1 - 1]}', expected '$2'"
}
expect_shape() {
    [[ ${report_lines[$1 - 1]} =~ $2 ]] ||
        xs_fail "report line $1 is '${report_lines[$1 - 1]}', not of the shape $2"
}
