#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (scripts/package.sh), installs it with apt-get, checks the
# installed files and the program's hardening, starts the installed keyvale in its own
# X server and opens a shipped text from the dialog, then removes the package again.
# Needs root: it installs into /usr. Whatever it started is stopped, and the package
# is removed, however the run ends.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [[ $(id -u) != 0 ]]; then
    echo "test-package: installs the package into /usr, so run it as root" >&2
    exit 1
fi
if dpkg-query -W -f='${Status}' keyvale 2>/dev/null | grep -q 'install ok installed'; then
    echo "test-package: keyvale is installed already; remove it first (apt-get remove keyvale)" >&2
    exit 1
fi

bash scripts/package.sh

packages=(xvfb xdotool imagemagick)
source scripts/packages.sh
install_missing test-package "${packages[@]}"

debs=(build-release/keyvale_*.deb)
deb=${debs[0]}
export LC_ALL=C.UTF-8
artifacts=build-release/test-package
rm -rf "$artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d)
xs_artifacts=$PWD/$artifacts
source tests/lib/xsession.sh

step() { echo "test-package: $*"; }
installed=0
app=
finish() {
    local status=$?
    # The program before its X server, so that it does not see the display go away.
    if [[ -n $app ]]; then
        kill "$app" 2>/dev/null || true
        wait "$app" 2>/dev/null || true
    fi
    xs_cleanup
    if ((installed)); then
        step "remove the package"
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq keyvale >/dev/null ||
            { echo "test-package: apt-get remove keyvale failed" >&2; status=1; }
    fi
    rm -rf "$work"
    exit "$status"
}
trap finish EXIT

step "install $deb"
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null

step "check the installed files"
app_id=org.larkmoor.Keyvale
[[ $(readlink /usr/bin/keyvale) == ../lib/keyvale/keyvale ]] || xs_fail "/usr/bin/keyvale is not the link to ../lib/keyvale/keyvale"
[[ -x /usr/lib/keyvale/keyvale ]] || xs_fail "no program /usr/lib/keyvale/keyvale"
[[ $(command -v keyvale) == /usr/bin/keyvale ]] || xs_fail "keyvale on the PATH is '$(command -v keyvale)'"
for text in resources/texts/*.txt; do
    cmp -s "$text" "/usr/lib/keyvale/${text##*/}" || xs_fail "practice text not installed: ${text##*/}"
done
for path in /usr/share/applications/$app_id.desktop /usr/share/metainfo/$app_id.metainfo.xml \
            /usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$app_id.png \
            /usr/share/icons/hicolor/scalable/apps/$app_id.svg /usr/share/doc/keyvale/copyright; do
    [[ -s $path ]] || xs_fail "not installed: $path"
done
# A container may keep dpkg from installing manual pages at all.
if ! grep -qs '^path-exclude=/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
    zcat /usr/share/man/man1/keyvale.1.gz | grep -q '^\.SH SYNOPSIS' || xs_fail "no manual page keyvale(1)"
fi

step "check the program's hardening"
# PIE, the stack protector, RELRO and immediate binding show in the binary. Control
# flow protection is not among Debian 12's flags for this architecture.
hardening-check --nocfprotection --nofortify /usr/lib/keyvale/keyvale | tee "$artifacts/hardening-check.txt" ||
    xs_fail "the installed program lacks some of Debian's hardening"
# Fortified calls show only where the compiler knows the size of the destination;
# where this program copies memory it never does, so the binary cannot prove
# _FORTIFY_SOURCE, and the package build's compile commands must instead.
if ! grep -q 'Fortify Source functions: yes' "$artifacts/hardening-check.txt"; then
    commands=build-release/compile_commands.json
    all=$(grep -c '"command":' "$commands")
    hardened=$(grep '"command":' "$commands" | grep -e '-D_FORTIFY_SOURCE=2' | grep -c -e '-fstack-protector-strong')
    ((all > 0 && hardened == all)) || xs_fail "only $hardened of $all files were compiled with _FORTIFY_SOURCE"
    step "every file of the package build was compiled with -D_FORTIFY_SOURCE=2"
fi

step "start the installed keyvale in its own X server"
mkdir -p "$work/home" "$work/run" "$work/learner"
chmod 700 "$work/run"
xs_start
cd "$work/learner"
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run xs_run keyvale
app=$xs_last_pid
cd - >/dev/null

step "the open-file dialog opens on the shipped texts"
dialog=$(xs_window '^打开$')
# Let the dialog list the folder before the picture is taken.
sleep 1
import -window "$dialog" "$artifacts/open-dialog.png"
[[ $(identify -format '%m' "$artifacts/open-dialog.png") == PNG ]] || xs_fail "no picture of the dialog"
# A text chosen by its bare name opens from /usr/lib/keyvale, where the dialog is.
# xdotool types a Chinese character by remapping a spare key for a moment, and a busy
# program may read the key after the mapping has moved on and lose the character;
# the dialog then says it has no such file (in a second window named 打开). Then
# the name is typed again, up to three times.
text=02-上下排键位.txt
opened() { xs_windows "^Keyvale－/usr/lib/keyvale/$text\$" | grep -q .; }
refused() { xs_at_least 2 '^打开$'; }
settled() { opened || refused; }
closed() { ! refused; }
for attempt in 1 2 3; do
    xs_focus "$dialog"
    xdotool key ctrl+a BackSpace
    xdotool type --delay 40 "$text"
    xdotool key Return
    xs_wait "the text to open or the dialog to refuse it" settled
    opened && break
    step "the name came through mistyped (attempt $attempt); typing it again"
    xs_focus "$(xs_windows '^打开$' | grep -vx "$dialog" | head -n 1)"
    xdotool key Return
    xs_wait "the dialog's message to close" closed
done
opened || xs_fail "the dialog did not open $text from /usr/lib/keyvale"
import -window root "$artifacts/practice.png"
step "passed; pictures in $artifacts"
