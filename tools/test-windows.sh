#!/bin/sh
# Builds the Windows program with the MinGW-w64 cross compiler and proves it
# under Wine, on a French Windows code page (1252): the unit and window test
# suites on Qt's offscreen platform, the benchmark tool on a generated file,
# and quorvale.exe alone in a real window (Qt's windows platform, Xvfb).
# It leaves build-windows/quorvale.exe.
#
#   sh tools/test-windows.sh              # builds Qt for MinGW-w64 once if needed
#   sh tools/test-windows.sh --if-qt      # skips, saying so, when Qt is not at hand
#
# Qt for MinGW-w64 (static) comes from ../shared/toolchains when it is beside
# the project, or from a cache outside the tree, which this script fills
# once from Debian's source package (about 40 minutes on 2 cores).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/packages.sh"
build="$top/build-windows"
archive="$top/../shared/toolchains/qt5.15.8-mingw-w64-static.tar.xz"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/quorvale/qt5.15.8-mingw-w64-static"

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

if [ -f "$archive" ]; then
    qt="$build/qt5-mingw"
    if [ ! -f "$qt/lib/cmake/Qt5/Qt5Config.cmake" ]; then
        install_missing xz-utils
        mkdir -p "$build" && tar -xJf "$archive" -C "$build"
    fi
elif [ -f "$cache/lib/cmake/Qt5/Qt5Config.cmake" ]; then
    qt="$cache"
elif [ "${1:-}" = "--if-qt" ]; then
    echo "windows: SKIPPED: Qt for MinGW-w64 is not at hand (no ../shared/toolchains, no $cache);" \
         "sh tools/test-windows.sh builds it once"
    exit 0
else
    echo "Building Qt for MinGW-w64 into $cache (once)"
    build_qt "$cache"
    qt="$cache"
fi

install_missing cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine fonts-wine locales \
    xvfb xdotool x11-utils imagemagick

echo "== Cross-build for Windows"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2 --target quorvale quorvale-bench tst_conversion tst_mainwindow windowsize

x86_64-w64-mingw32-objdump -p "$build/quorvale.exe" | grep -q "(Windows GUI)" ||
    { echo "quorvale.exe is not a Windows GUI program"; exit 1; }

# A Wine prefix of its own, on a French locale: code page 1252.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export LOCPATH="$build/locale" LANG=fr_FR.UTF-8
unset LC_ALL LANGUAGE
[ -d "$LOCPATH/fr_FR.UTF-8" ] || { mkdir -p "$LOCPATH" && localedef -i fr_FR -f UTF-8 "$LOCPATH/fr_FR.UTF-8"; }
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
wine_prefix "$WINEPREFIX" 96
export WINEPREFIX_150="$build/wine-150"
wine_prefix "$WINEPREFIX_150" 144

echo "== Test suites under Wine (offscreen)"
passed=0 skipped=0
for suite in tst_conversion tst_mainwindow; do
    log="$build/$suite.log"
    status=0
    (cd "$build" && WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1 wine "tests/$suite.exe") \
        >"$log" 2>&1 || status=$?
    grep -E "^(FAIL|SKIP|Totals)" "$log" | sed 's/^/    /'
    totals=$(grep "^Totals:" "$log" || echo "Totals: 0 passed, 1 failed, 0 skipped")
    [ "$status" -eq 0 ] || { tail -n 40 "$log"; echo "$suite.exe failed under Wine"; exit 1; }
    passed=$((passed + $(echo "$totals" | sed 's/.* \([0-9]*\) passed.*/\1/')))
    skipped=$((skipped + $(echo "$totals" | sed 's/.* \([0-9]*\) skipped.*/\1/')))
done

echo "== The benchmark tool under Wine"
data="$build/bench-data"
rm -rf "$data" && mkdir -p "$data"
bench() { (cd "$data" && wine "$build/bench/quorvale-bench.exe" "$@"); }
messages=$(bench generate 1 lupdate.ts | tr -d '\r')
[ "$(bench export lupdate.ts table.csv | tr -d '\r')" = "$messages" ] || { echo "export: rows"; exit 1; }
bench fill table.csv filled.txt >/dev/null
[ "$(bench import filled.txt back.ts | tr -d '\r')" = "$messages" ] || { echo "import: messages"; exit 1; }
echo "    $messages messages out and back"

echo "== quorvale.exe alone in a real window"
wineserver -w   # a Wine session started without a display would keep the window from it
alone="$build/alone"
rm -rf "$alone" && mkdir -p "$alone" && cp "$build/quorvale.exe" "$alone/"
QUORVALE_WINDOWSIZE="$build/tests/windowsize.exe" sh "$top/tests/realwindow.sh" "$alone/quorvale.exe" \
    "$build/tests/tst_mainwindow.exe" "$build/realwindow" "$build/window.png"
passed=$((passed + 1))

echo "windows: $passed passed, $skipped skipped (each says why above), 0 failed"
