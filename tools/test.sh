#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quorvale and runs every test: the unit and window tests, the round
# trip through LibreOffice, the real window under Xvfb, the same suite built
# with AddressSanitizer and UndefinedBehaviorSanitizer, a bounded run of each
# fuzzer, TS files through the export and through lconvert, which judges,
# the Windows program under Wine when Qt for MinGW-w64 is at hand,
# and the packages for users: the Debian and RPM packages always, the Windows
# installer and zip with the Windows program.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/packages.sh"
install_missing g++ cmake make qtbase5-dev qttools5-dev-tools libreoffice-calc-nogui fonts-dejavu-core \
    xvfb xdotool x11-utils imagemagick strace clang libclang-rt-14-dev reuse appstream

export QT_QPA_PLATFORM=offscreen
fuzz_seconds=${QUORVALE_FUZZ_SECONDS:-60}

# Runs the CTest suite of a build folder; its output is kept for the count.
run_suite() {
    status=0
    (cd "$1" && ctest --output-on-failure -j2) >"$1/ctest.log" 2>&1 || status=$?
    cat "$1/ctest.log"
    [ "$status" -eq 0 ] || exit "$status"
}

echo "== Licence and listing"
# Every file says its licence (REUSE), and the software centres' listing is valid.
reuse_log=$(mktemp)
(cd "$top" && reuse lint) >"$reuse_log" 2>&1 || { cat "$reuse_log"; exit 1; }
tail -n 1 "$reuse_log"
appstreamcli validate --no-net "$top/packaging/org.quorvale.quorvale.metainfo.xml"

echo "== Build and tests"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build" -j2
run_suite "$top/build"

echo "== The same tests with AddressSanitizer and UndefinedBehaviorSanitizer"
# It reads its input a few bytes at a time, so that the tests cross every
# edge of the chunks that the program reads.
cmake -S "$top" -B "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DQUORVALE_SANITIZE=ON -DQUORVALE_SHORT_READS=ON
cmake --build "$top/build-asan" -j2
run_suite "$top/build-asan"

echo "== Fuzzing, $fuzz_seconds seconds a target"
fuzzed=0
if printf 'extern "C" int LLVMFuzzerTestOneInput(const char *, unsigned long) { return 0; }\n' |
    clang++ -x c++ -fsanitize=fuzzer -o /dev/null - 2>/dev/null; then
    CC=clang CXX=clang++ cmake -S "$top" -B "$top/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUORVALE_FUZZ=ON -DQUORVALE_SHORT_READS=ON -DBUILD_TESTING=OFF
    cmake --build "$top/build-fuzz" -j2 --target fuzz_export fuzz_import fuzz_tsdocument
    for target in export import tsdocument; do
        corpus="$top/build-fuzz/corpus-$target"
        mkdir -p "$corpus"
        # The rules' cases, but the few of over 16 KiB that cross the reader's
        # chunks: with those, the fuzzer would make every input that long.
        # fuzz_tsdocument builds its documents from the bytes it is given,
        # which need no seeds.
        seeds="$top/build-fuzz/seeds-$target"
        rm -rf "$seeds" && mkdir -p "$seeds"
        if [ -d "$top/tests/data/$target" ]; then
            find "$top/tests/data/$target" -type f -size -16k -exec cp {} "$seeds" \;
        fi
        # Real TS files, and some in UTF-16 as an editor saves them.
        if [ "$target" = export ] && [ -d "$top/../shared/corpus" ]; then
            seeds="$seeds $top/../shared/corpus"
            for ts in "$top/../shared/corpus"/*.ts; do
                [ "$(wc -c <"$ts")" -lt 16384 ] || continue
                sed '1s/encoding="[^"]*"/encoding="UTF-16"/' "$ts" |
                    iconv -f UTF-8 -t UTF-16 >"$top/build-fuzz/seeds-$target/utf-16-$(basename "$ts")"
            done
        fi
        log="$top/build-fuzz/fuzz-$target.log"
        status=0
        # An input that takes more than 5 s fails the run as a crash does.
        (cd "$top/build-fuzz" && exec "./fuzz/fuzz_$target" -max_total_time="$fuzz_seconds" -max_len=65536 \
            -timeout=5 -print_final_stats=1 "$corpus" $seeds >"$log" 2>&1) || status=$?
        echo "fuzz_$target: $(grep -E '^Done' "$log" || echo 'no summary')"
        fuzzed=$((fuzzed + 1))
        if [ "$status" -ne 0 ]; then
            tail -n 60 "$log"
            echo "fuzz_$target found an input that breaks a property (kept in $top/build-fuzz)"
            exit 1
        fi
    done
else
    echo "clang's fuzzer runtime is not available: fuzzing left out"
fi
echo "== TS files replayed through lconvert"
# Qt's own lconvert judges the export: the rules' cases, real TS files, the
# fuzzers' corpora and mutants of the TS files among them, as accidents and
# editors make them, each read by both.
replay="$top/build/replay"
rm -rf "$replay" && mkdir -p "$replay"
real=""
[ -d "$top/../shared/corpus" ] && real="$top/../shared/corpus"
fuzzcorpus=""
[ -d "$top/build-fuzz/corpus-export" ] && fuzzcorpus="$top/build-fuzz/corpus-export"
"$top/build/tests/lconvert-replay" "$replay" 40 "$top/tests/data/export" $real $fuzzcorpus
replayed=1

echo "== Windows"
status=0
sh "$top/tools/test-windows.sh" --if-qt >"$top/build/windows.log" 2>&1 || status=$?
cat "$top/build/windows.log"
[ "$status" -eq 0 ] || exit "$status"

echo "== Packages"
sh "$top/tools/package.sh" --if-qt
status=0
sh "$top/tools/test-packages.sh" >"$top/build/packages.log" 2>&1 || status=$?
cat "$top/build/packages.log"
[ "$status" -eq 0 ] || exit "$status"

suites=$(cat "$top/build/ctest.log" "$top/build-asan/ctest.log" | sed -n 's/.* tests passed, 0 tests failed out of \([0-9]*\)$/\1/p' | awk '{ n += $1 } END { print n + 0 }')
echo "== All tests passed"
passed=$((suites + fuzzed + replayed))
echo "quorvale: $passed passed, 0 failed; $(tail -n 1 "$top/build/windows.log"); $(tail -n 1 "$top/build/packages.log")"
