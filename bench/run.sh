#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Benchmark: the export and the import side by side with Qt's lconvert and a
# plain QTextStream line copy, on generated files of several sizes.
#
#   sh bench/run.sh [SIZES_IN_MB] [RUNS]      e.g. sh bench/run.sh "1 10 100 500" 3
#
# The inputs are generated into build-bench/data (never committed). The last
# line printed is the summary for the largest size.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
sizes=${1:-"1 10 100 500"}
runs=${2:-3}
. "$top/tools/packages.sh"
install_missing g++ cmake make qtbase5-dev qttools5-dev-tools time

build="$top/build-bench"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target quorvale-bench >/dev/null
bench="$build/bench/quorvale-bench"
lconvert=$(command -v lconvert || echo /usr/lib/qt5/bin/lconvert)
data="$build/data"
mkdir -p "$data"
export LC_ALL=C.UTF-8
# The outputs go to memory (tmpfs) where there is one: a conversion puts its
# result on the disk before naming it, and the time that the disk takes would
# drown what is measured here. The last line says what the disk adds.
outdir="$data"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    outdir=$(mktemp -d /dev/shm/quorvale-bench.XXXXXX)
    trap 'rm -rf "$outdir"' EXIT
fi

fail() { echo "benchmark check failed: $*" >&2; exit 1; }

# Runs a command $runs times; prints "median_seconds peak_kb" of the runs.
measure() {
    out=$1; shift
    for i in $(seq "$runs"); do
        rm -f "$out"
        start=$(date +%s%N)
        /usr/bin/time -f "%M" -o "$data/time.txt" "$@" >/dev/null 2>"$data/err.txt" ||
            [ -n "${refusal_expected:-}" ] || { cat "$data/err.txt" >&2; fail "$*"; }
        end=$(date +%s%N)
        echo "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", (b - a) / 1e9 }') $(tail -n 1 "$data/time.txt")"
    done | sort -n | awk -v n="$runs" '{ t[NR] = $1; if ($2 > m) m = $2 } END { print t[int((n + 1) / 2)], m }'
}

rate() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.0f", (b > 0 ? a / b : 0) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

printf '| size | what | MB in | MB out | median s | MB/s of input | messages/s | peak RSS MB |\n'
printf '|---|---|---|---|---|---|---|---|\n'
peak=0
for size in $sizes; do
    ts="$data/lupdate-$size.ts"
    [ -f "$ts" ] || { rm -f "$ts"; "$bench" generate "$size" "$ts" >/dev/null; }
    messages=$(grep -c '<message' "$ts")
    table="$data/table-$size.csv"
    filled="$data/filled-$size.txt"
    rm -f "$table" "$filled"
    "$bench" export "$ts" "$table" >/dev/null
    "$bench" fill "$table" "$filled" >/dev/null
    ts_mb=$(awk -v b="$(stat -c %s "$ts")" 'BEGIN { print b / 1e6 }')
    txt_mb=$(awk -v b="$(stat -c %s "$filled")" 'BEGIN { print b / 1e6 }')

    mb() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.1f", b / 1e6 }'; }
    set -- $(measure "$outdir/out.csv" "$bench" export "$ts" "$outdir/out.csv"); export_s=$1; export_kb=$2
    export_out=$(mb "$outdir/out.csv")
    [ $(($(wc -l < "$outdir/out.csv") - 1)) -eq "$messages" ] || fail "export of $size MB: rows != $messages messages"
    set -- $(measure "$outdir/out.ts" "$bench" import "$filled" "$outdir/out.ts"); import_s=$1; import_kb=$2
    import_out=$(mb "$outdir/out.ts")
    [ "$(grep -c '<message' "$outdir/out.ts")" -eq "$messages" ] || fail "import of $size MB: messages != $messages"
    set -- $(measure "$outdir/copy.ts" "$bench" copy "$ts" "$outdir/copy.ts"); copy_ts_s=$1; copy_ts_kb=$2
    set -- $(measure "$outdir/copy.txt" "$bench" copy "$filled" "$outdir/copy.txt"); copy_txt_s=$1; copy_txt_kb=$2
    set -- $(measure "$outdir/out.po" "$lconvert" -i "$ts" -of po -o "$outdir/out.po"); lconvert_s=$1; lconvert_kb=$2
    lconvert_out=$(mb "$outdir/out.po")
    rm -f "$outdir/out.csv" "$outdir/out.ts" "$outdir/copy.ts" "$outdir/copy.txt" "$outdir/out.po"

    for row in "export TS -> table:$ts_mb:$export_out:$export_s:$export_kb" \
               "import table -> TS:$txt_mb:$import_out:$import_s:$import_kb" \
               "line copy of the TS:$ts_mb:$ts_mb:$copy_ts_s:$copy_ts_kb" \
               "line copy of the table:$txt_mb:$txt_mb:$copy_txt_s:$copy_txt_kb" \
               "lconvert TS -> PO:$ts_mb:$lconvert_out:$lconvert_s:$lconvert_kb"; do
        IFS=: read -r what mb out s kb <<ROW
$row
ROW
        printf '| %s MB | %s | %.1f | %.1f | %s | %s | %s | %s |\n' "$size" "$what" "$mb" "$out" "$s" "$(rate "$mb" "$s")" \
            "$(rate "$messages" "$s")" "$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')"
    done
    for kb in $export_kb $import_kb; do [ "$kb" -gt "$peak" ] && peak=$kb; done
    last="export $(rate "$ts_mb" "$export_s") MB/s ($(ratio "$copy_ts_s" "$export_s")x copy, $(awk -v a="$lconvert_s" -v b="$export_s" 'BEGIN { printf "%.0f", a / b }')x lconvert), import $(rate "$txt_mb" "$import_s") MB/s ($(ratio "$copy_txt_s" "$import_s")x copy), peak PEAK MB ($size MB files)"
done
echo
# A table whose one quoted cell runs over 500,000 short lines (1 MB), beside
# a table of 1 MB in rows: the reader decides once where the cell ends.
awk 'BEGIN { printf "source\t\""; for (i = 0; i < 500000; i++) print "a"; print "b\"" }' >"$data/quoted-cell.txt"
awk 'BEGIN { for (i = 0; i < 50000; i++) printf "source %06d\ttrad\n", i }' >"$data/rows.txt"
set -- $(measure "$outdir/out.ts" "$bench" import "$data/quoted-cell.txt" "$outdir/out.ts"); quoted_s=$1
set -- $(measure "$outdir/out.ts" "$bench" import "$data/rows.txt" "$outdir/out.ts"); rows_s=$1
rm -f "$outdir/out.ts"
echo "import of one quoted cell over 500,000 lines (1 MB): $quoted_s s; of 1 MB in 50,000 rows: $rows_s s"
# Inputs larger than any TS file or table holds, or made of pieces that a
# reader could take in a time that grows faster than they do: twice the
# input should take about twice the time, and the memory should stay under a
# bound (the conversion refuses what grows past 64 Mi characters).
echo
printf '| input | MB in | median s | peak RSS MB | result |\n|---|---|---|---|---|\n'
for input in cdata-400000 cdata-800000 comment-16 comment-32 quotes-10 quotes-20 lines-16 lines-33 controls-32 \
    controls-64; do
    file="$data/$input.in"
    [ -f "$file" ] || "$bench" large "$input" "$file"
    mode=export
    case "$input" in controls-*) mode=import ;; esac
    set -- $(refusal_expected=1 measure "$outdir/large.out" "$bench" "$mode" "$file" "$outdir/large.out")
    result=$(sed -n 's/.*\(un texte dépasse\).*/refused: \1 64 Mi/p' "$data/err.txt")
    printf '| %s | %.1f | %s | %.1f | %s |\n' "$input" "$(awk -v b="$(stat -c %s "$file")" 'BEGIN { print b / 1e6 }')" \
        "$1" "$(awk -v k="$2" 'BEGIN { print k / 1024 }')" "${result:-converted}"
    rm -f "$outdir/large.out"
done
echo
# On the disk, with the result synced before it is named, for the largest size.
set -- $(measure "$data/out.csv" "$bench" export "$ts" "$data/out.csv"); disk_export_s=$1
set -- $(measure "$data/out.ts" "$bench" import "$filled" "$data/out.ts"); disk_import_s=$1
rm -f "$data/out.csv" "$data/out.ts"
echo "on the disk ($size MB, synced): export $disk_export_s s, import $disk_import_s s"
echo "$last" | sed "s/PEAK/$(awk -v k="$peak" 'BEGIN { printf "%.0f", k / 1024 }')/"
