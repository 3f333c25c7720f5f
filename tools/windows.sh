# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What the Windows scripts share (sourced after tools/packages.sh, with $top
# set): Qt for MinGW-w64, and Wine prefixes on a French Windows code page.

# Qt for MinGW-w64 (static) comes from ../shared/toolchains when it is beside
# the project, unpacked into build-windows/, or from a cache outside the tree,
# which build_qt fills once from Debian's source package (about 40 minutes on
# 2 cores).
qt_archive="$top/../shared/toolchains/qt5.15.8-mingw-w64-static.tar.xz"
qt_cache="${XDG_CACHE_HOME:-$HOME/.cache}/quorvale/qt5.15.8-mingw-w64-static"

# Builds qtbase 5.15.8 for MinGW-w64, static, from Debian's source package,
# as ../shared/toolchains/README.md says, and installs it into $1.
build_qt() {
    install_missing g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools make perl python3 \
        xz-utils dpkg-dev debian-archive-keyring
    work="$1.work"
    rm -rf "$work" && mkdir -p "$work/lists/partial" "$work/archives/partial"
    cat >"$work/debian.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    apt="-o Dir::Etc::SourceList=$work/debian.sources -o Dir::Etc::SourceParts=/nonexistent -o Dir::State::Lists=$work/lists"
    (cd "$work" && apt-get $apt update -q && apt-get $apt source --download-only qtbase-opensource-src)
    tar -xJf "$work"/qtbase-opensource-src_5.15.8*.orig.tar.xz -C "$work"
    mkdir -p "$work/build"
    (cd "$work/build" && ../qtbase-everywhere-src-5.15.8/configure -xplatform win32-g++ \
        -device-option CROSS_COMPILE=x86_64-w64-mingw32- -prefix "$1" \
        -static -static-runtime -release -opensource -confirm-license \
        -nomake examples -nomake tests -no-opengl -no-dbus -no-icu -no-pkg-config \
        -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz \
        -no-feature-sql -no-feature-tabletevent && make -j2 sub-src && make install)
    rm -rf "$work"
}

# Sets $qt to Qt for MinGW-w64, building it once if needed; with --if-qt,
# returns 1 instead of building it.
find_qt() {
    if [ -f "$qt_archive" ]; then
        qt="$top/build-windows/qt5-mingw"
        if [ ! -f "$qt/lib/cmake/Qt5/Qt5Config.cmake" ]; then
            install_missing xz-utils
            mkdir -p "$top/build-windows" && tar -xJf "$qt_archive" -C "$top/build-windows"
        fi
    elif [ -f "$qt_cache/lib/cmake/Qt5/Qt5Config.cmake" ]; then
        qt="$qt_cache"
    elif [ "${1:-}" = "--if-qt" ]; then
        return 1
    else
        echo "Building Qt for MinGW-w64 into $qt_cache (once)"
        build_qt "$qt_cache"
        qt="$qt_cache"
    fi
}

# Wine for the programs that follow, quiet, on a French locale: code page 1252.
use_wine() {
    install_missing wine fonts-wine locales
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
    export LOCPATH="$top/build-windows/locale" LANG=fr_FR.UTF-8
    unset LC_ALL LANGUAGE
    for locale in fr_FR ja_JP; do   # code pages 1252 and, for a program run with its LANG, 932
        [ -d "$LOCPATH/$locale.UTF-8" ] || { mkdir -p "$LOCPATH" && localedef -i $locale -f UTF-8 "$LOCPATH/$locale.UTF-8"; }
    done
}

# Makes the Wine prefix $1 with Windows' display scaling at $2 DPI (96 is 100 %).
wine_prefix() {
    [ -f "$1/system.reg" ] && return 0
    WINEPREFIX="$1" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$1" wineserver -w
    cp /usr/share/wine/fonts/tahoma*.ttf "$1/drive_c/windows/Fonts/"
    for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
        WINEPREFIX="$1" wine reg add "$key" /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null 2>&1
    done
    WINEPREFIX="$1" wineserver -w
}
