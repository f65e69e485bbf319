#!/usr/bin/env bash
# The compressed copy and the erase against GNU tools, on the same files in one run:
#   CopyConvertingGzip compressing a mixed text/binary file   vs  gzip -6 -c
#   CopyConvertingGzip decompressing gzip's output             vs  gzip -dc
#   EraseFile of a file (one pass, written through, deleted)   vs  dd with 1 MB blocks, fsync, rm
# The Windows build runs under Wine and times the operation itself (not Wine's start); each
# side runs --runs times in turn and the best time counts. Prints the ratios (ours / GNU).
#   bench/actions.sh [--megabytes 200] [--erase-megabytes 256] [--runs 3]
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes=200
erase_megabytes=256
runs=3
while [ $# -gt 0 ]; do
    case $1 in
        --megabytes) megabytes=$2; shift 2 ;;
        --erase-megabytes) erase_megabytes=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        *) echo "usage: $0 [--megabytes N] [--erase-megabytes N] [--runs N]" >&2; exit 2 ;;
    esac
done

build=build/windows
[ -f "$build/CMakeCache.txt" ] || cmake --preset windows >/dev/null
cmake --build "$build" -j2 --target bench_compressed_copy_win >/dev/null
exe=$build/bench/bench_compressed_copy_win.exe
work=$PWD/build/bench-actions
mkdir -p "$work"
win() { echo "Z:${1//\//\\}"; }
run_exe() { cmake/wine-run.sh "$PWD/$build/wineprefix" "$exe" "$@" | tr -d '\r'; }
now_ms() { date +%s%N | awk '{ printf "%.1f", $1 / 1000000 }'; }
timed() {  # runs the command, prints its wall time in ms
    local start end
    start=$(now_ms)
    "$@"
    end=$(now_ms)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f\n", b - a }'
}
best() { sort -n | head -1; }

data=$work/mixed.bin
echo "== data: $megabytes MB of mixed text and binary ($(uname -m), $(nproc) cores, $(gzip --version | head -1), $(wine --version 2>/dev/null))"
run_exe --make "$(win "$data")" "$megabytes"

ours_c=() gnu_c=() ours_d=() gnu_d=() ours_e=() gnu_e=()
for i in $(seq "$runs"); do
    gnu_c+=("$(timed sh -c "gzip -6 -c '$data' > '$work/gnu.gz'")")
    rm -f "$work/ours.bin.gz"
    ours_c+=("$(run_exe --copy "$(win "$data")" "$(win "$work/ours.bin.gz")")")
    gnu_d+=("$(timed sh -c "gzip -dc '$work/gnu.gz' > '$work/gnu.out'")")
    rm -f "$work/ours.out"
    ours_d+=("$(run_exe --copy "$(win "$work/gnu.gz")" "$(win "$work/ours.out")")")

    head -c $((erase_megabytes << 20)) /dev/zero >"$work/erase-gnu.bin"
    sync
    gnu_e+=("$(timed sh -c "dd if=/dev/zero of='$work/erase-gnu.bin' bs=1M count=$erase_megabytes conv=notrunc,fsync status=none && rm '$work/erase-gnu.bin'")")
    head -c $((erase_megabytes << 20)) /dev/zero >"$work/erase-ours.bin"
    sync
    ours_e+=("$(run_exe --erase "$(win "$work/erase-ours.bin")")")
done

# What was timed must also be right.
gzip -t "$work/ours.bin.gz"
cmp "$work/ours.out" "$data"
cmp "$work/gnu.out" "$data"
[ ! -e "$work/erase-ours.bin" ]

report() {  # name, goal, ours..., --, gnu...
    local name=$1 goal=$2
    shift 2
    local ours=() gnu=() side=ours
    for v in "$@"; do
        if [ "$v" = -- ]; then side=gnu; continue; fi
        if [ $side = ours ]; then ours+=("$v"); else gnu+=("$v"); fi
    done
    local o g
    o=$(printf '%s\n' "${ours[@]}" | best)
    g=$(printf '%s\n' "${gnu[@]}" | best)
    awk -v n="$name" -v o="$o" -v g="$g" -v goal="$goal" -v runs="${ours[*]}" -v gruns="${gnu[*]}" 'BEGIN {
        r = o / g
        printf "%-11s ours %8.1f ms  GNU %8.1f ms  ratio %.2f (goal %.2f) %s\n", n, o, g, r, goal,
               r <= goal ? "met" : "MISSED"
        printf "            runs: ours %s | GNU %s\n", runs, gruns }'
}
echo "== results (best of $runs)"
report compress 1.15 "${ours_c[@]}" -- "${gnu_c[@]}"
report decompress 1.15 "${ours_d[@]}" -- "${gnu_d[@]}"
report erase 1.5 "${ours_e[@]}" -- "${gnu_e[@]}"
echo "sizes: data $(stat -c %s "$data"), ours.gz $(stat -c %s "$work/ours.bin.gz"), gnu.gz $(stat -c %s "$work/gnu.gz")"
rm -f "$work"/*.bin "$work"/*.gz "$work"/*.out
