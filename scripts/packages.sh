# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that need Debian packages.
#
# run_time_packages: the packages the program needs at run time (cmake/debian/depends).
run_time_packages() {
    grep -v '^#' "$(dirname "${BASH_SOURCE[0]}")/../cmake/debian/depends"
}

# build_packages: the packages that building the program needs.
build_packages() {
    # the compiler, the build tools and Qt
    echo cmake g++ make pkg-config qt6-base-dev
    # Qt's platform interfaces, and the Wayland client library with the activation
    # protocol's description and its code generator: the keyboard's hand-over on Wayland
    echo qt6-base-private-dev libwayland-dev wayland-protocols libwayland-bin
    # libcanberra, which plays the bell on Wayland, and GIO, which reads GNOME's switches
    echo libcanberra-dev libglib2.0-dev
}

# install_missing WHO PACKAGE...: installs those of the packages that are missing. As
# root it installs them with apt-get; as any other user it prints the apt-get line to
# run and exits. WHO names the script in what it prints.
install_missing() {
    local who=$1
    shift
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    ((${#missing[@]})) || return 0
    if [[ $(id -u) == 0 ]]; then
        echo "$who: installing ${missing[*]}"
        apt-get update -qq
        # Another apt run (an unattended upgrade, another session) may hold the lock.
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            -o DPkg::Lock::Timeout=600 "${missing[@]}"
    else
        echo "$who: these packages are missing; install them as root with:" >&2
        echo "  apt-get install ${missing[*]}" >&2
        exit 1
    fi
}
