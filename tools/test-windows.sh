#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows program with the MinGW-w64 cross compiler and proves it
# under Wine, on a French Windows code page (1252): the unit and window test
# suites on Qt's offscreen platform, the benchmark tool on a generated file,
# and quorvale.exe alone in a real window (Qt's windows platform, Xvfb).
# It leaves build-windows/quorvale.exe.
#
#   sh tools/test-windows.sh              # builds Qt for MinGW-w64 once if needed
#   sh tools/test-windows.sh --if-qt      # skips, saying so, when Qt is not at hand
#
# Qt for MinGW-w64: see tools/windows.sh.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/packages.sh"
. "$top/tools/windows.sh"
build="$top/build-windows"

if ! find_qt "$@"; then
    echo "windows: SKIPPED: Qt for MinGW-w64 is not at hand (no ../shared/toolchains, no $qt_cache);" \
         "sh tools/test-windows.sh builds it once"
    exit 0
fi

install_missing cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 xvfb xdotool x11-utils imagemagick

echo "== Cross-build for Windows"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2 --target quorvale quorvale-bench tst_conversion tst_fileconversion tst_mainwindow

x86_64-w64-mingw32-objdump -p "$build/quorvale.exe" | grep -q "(Windows GUI)" ||
    { echo "quorvale.exe is not a Windows GUI program"; exit 1; }

# A Wine prefix of its own, at 100 %, and one at 150 %.
use_wine
export WINEPREFIX="$build/wine" WINEPREFIX_150="$build/wine-150"
wine_prefix "$WINEPREFIX" 96
wine_prefix "$WINEPREFIX_150" 144

echo "== Test suites under Wine (offscreen)"
passed=0 skipped=0
for suite in tst_conversion tst_fileconversion tst_mainwindow; do
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

echo "== The rules on a Japanese Windows (code page 932)"
# Windows' own decoder of a double-byte code page drops what it cannot read:
# the cases of that code page run where it is the system's.
wineserver -w
log="$build/rules-932.log"
status=0
(cd "$build" && LANG=ja_JP.UTF-8 WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1 \
    wine tests/tst_conversion.exe rules) >"$log" 2>&1 || status=$?
ran=$(grep -c "^PASS   : tst_Conversion::rules(import-cp932/" "$log" || true)
grep -E "^(FAIL|Totals)" "$log" | sed 's/^/    /'
[ "$status" -eq 0 ] && [ "$ran" -gt 0 ] || { tail -n 40 "$log"; echo "the rules failed on code page 932"; exit 1; }
wineserver -w
passed=$((passed + ran))

echo "== The benchmark tool under Wine"
data="$build/bench-data"
rm -rf "$data" && mkdir -p "$data"
bench() { (cd "$data" && wine "$build/bench/quorvale-bench.exe" "$@"); }
messages=$(bench generate 1 lupdate.ts | tr -d '\r')
[ "$(bench export lupdate.ts table.csv | tr -d '\r')" = "$messages" ] || { echo "export: rows"; exit 1; }
bench fill table.csv filled.txt >/dev/null
[ "$(bench import filled.txt back.ts 2>"$data/findings.txt" | tr -d '\r')" = "$messages" ] || { echo "import: messages"; exit 1; }
! grep -q "^ligne " "$data/findings.txt" || { echo "import: findings in a table without any"; exit 1; }
echo "    $messages messages out and back"

echo "== quorvale.exe alone in a real window"
wineserver -w   # a Wine session started without a display would keep the window from it
alone="$build/alone"
rm -rf "$alone" && mkdir -p "$alone" && cp "$build/quorvale.exe" "$alone/"
sh "$top/tests/realwindow.sh" "$alone/quorvale.exe" \
    "$build/tests/tst_mainwindow.exe" "$build/realwindow" "$build/window.png"
passed=$((passed + 1))

echo "windows: $passed passed, $skipped skipped (each says why above), 0 failed"
