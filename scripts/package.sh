#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package build-release/keyvale_<version>_<arch>.deb: a Release
# build with Debian's hardening flags, installed under /usr, stripped, packed by
# CPack (cmake/packaging.cmake), then checked with lintian, which must report no
# errors. Installs the Debian packages it needs first, as scripts/setup.sh does: as
# root with apt-get; as any other user it prints what to install.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
    # CPack's dependency search (dpkg-shlibdeps, file), the build flags, the checks
    dpkg-dev file lintian devscripts
)

source scripts/packages.sh
install_missing package $(build_packages) "${packages[@]}"

# Debian's own flags: stack protector, _FORTIFY_SOURCE, RELRO and immediate binding
# (the compiler builds position-independent executables by default).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cxxflags=$(dpkg-buildflags --get CXXFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)

build=build-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DBUILD_TESTING=OFF -DKEYVALE_DEBIAN_PACKAGE=ON \
    -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" --parallel "$(nproc)"

rm -f "$build"/keyvale_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/keyvale_*.deb)
[[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || { echo "package: CPack made no single keyvale_*.deb" >&2; exit 1; }
deb=${debs[0]}

echo "package: lintian $deb"
LC_ALL=C.UTF-8 lintian --fail-on error --display-info "$deb" || { echo "package: lintian reports errors" >&2; exit 1; }
echo "package: built $deb"
