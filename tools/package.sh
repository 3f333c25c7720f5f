#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes what a translator installs, into dist/: the Debian package and the
# RPM package of the Linux program, and for Windows an installer and the program in a zip, all
# with the version of CMakeLists.txt, and beside them the source of that
# version (the tracked files), which every binary comes with.
#
#   sh tools/package.sh            # builds Qt for MinGW-w64 once if needed
#   sh tools/package.sh --if-qt    # the Windows packages only when Qt for MinGW-w64 is at hand
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/packages.sh"
. "$top/tools/windows.sh"
install_missing g++ cmake make qtbase5-dev dpkg-dev file git xz-utils rpm
build="$top/build-package"
dist="$top/dist"
mkdir -p "$dist"
version=$(sed -n 's/^project(Quorvale VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")

echo "== The source"
git -C "$top" archive --format=tar --prefix="quorvale-$version/" HEAD | xz -9 >"$dist/quorvale-$version.tar.xz"

echo "== The Debian package and the RPM package"
# Built with Debian's own compiler and linker flags (hardening among them).
(eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
 cmake -S "$top" -B "$build/linux" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF)
cmake --build "$build/linux" -j2
(cd "$build/linux" && cpack -G "DEB;RPM")
cp "$build/linux"/quorvale_*.deb "$build/linux"/quorvale-*.rpm "$dist/"

echo "== The Windows installer and zip"
if ! find_qt "$@"; then
    echo "packages: Windows SKIPPED: Qt for MinGW-w64 is not at hand; sh tools/package.sh builds it once"
    exit 0
fi
install_missing nsis g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
cmake -S "$top" -B "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build/windows" -j2 --target quorvale
(cd "$build/windows" && cpack -G "NSIS;ZIP")
cp "$build/windows"/Quorvale-*-win64.exe "$build/windows"/Quorvale-*-win64.zip "$dist/"
ls -l "$dist"
