#!/usr/bin/env bash
# The text search and replace run against grep and sed on the same generated files:
#   2,000 text files of 50 KB (LF line ends) and 200 non-text files of 1 MB.
#   1. search only: the run (Windows build under Wine, activity window and all) against
#      grep -F -i -l of the same string over the text files;
#   2. three pairs written: the run against sed -i with the equivalent fixed-string
#      expressions, on fresh copies of the text files; both results must be identical;
#   3. non-text streaming: a dry run whose string occurs nowhere (every block read and
#      searched), and a writing run with one hit per file (every file rewritten).
# Each figure is the best of --runs runs (default 3), all on warm files.
#   bench/replace.sh [--runs N] [--keep]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=3
keep=
while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --keep) keep=1; shift ;;
        *) echo "usage: bench/replace.sh [--runs N] [--keep]" >&2; exit 2 ;;
    esac
done
windows=build/windows
[ -f "$windows/CMakeCache.txt" ] || cmake -S . -B "$windows" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$windows" -j2 --target Larkspire bench_replace_run_win >/dev/null

data=$PWD/build/bench-replace
base=$data/base
[ -n "$keep" ] || trap 'rm -rf "$data"' EXIT
if [ ! -f "$base/done" ]; then
    rm -rf "$data"
    mkdir -p "$base/text" "$base/bin"
    python3 - "$base" <<'PY'
import os, random, sys
base = sys.argv[1]
rng = random.Random(14)
words = ("the of and to in is that for it as was with be by on not he this are or his from at "
         "which but have an they you were her she there been one all we their has would when if "
         "so no will can more other some what about into than them only could new time these "
         "two may then do first any my now such like our over man me even most made after also "
         "did many before must through back years where much your way well down should because "
         "each just those people how too little state good very make world still own see men "
         "work long get here between both life being under never day same another know while "
         "last might us great old year off come since against go came right used take three "
         "report budget letter invoice meeting notes plan project house water place number").split()
def line():
    return " ".join(rng.choice(words) for _ in range(rng.randint(6, 14)))
for i in range(2000):
    out, size = [], 0
    marked = i % 10 == 0  # the search string lives in one file of ten
    while size < 50 * 1024:
        text = line()
        r = rng.random()
        if r < 0.01: text += " alpha"
        elif r < 0.02: text = "Bravo " + text
        elif r < 0.03: text += " CHARLIE, " + rng.choice(words)
        if marked and r > 0.997: text += " Quetzal"
        out.append(text)
        size += len(text) + 1
    if marked: out.append("the last Quetzal")
    with open(os.path.join(base, "text", "t%04d.txt" % i), "w", newline="\n") as f:
        f.write("\n".join(out) + "\n")
for i in range(200):
    block = bytearray(rng.randbytes(1 << 20))
    at = rng.randrange(0, (1 << 20) - 16)
    block[at:at + 5] = b"alpha"  # one hit per file for the writing run
    with open(os.path.join(base, "bin", "b%03d.dat" % i), "wb") as f:
        f.write(block)
PY
    touch "$base/done"
fi
cat "$base"/text/* "$base"/bin/* >/dev/null

winpath() { echo "Z:${1//\//\\}"; }
program=$(winpath "$PWD/$windows/bin/Larkspire.exe")
run() {  # folder mode pairs [show] -> the program's figures
    cmake/wine-run.sh "$PWD/$windows/wineprefix" "$windows/bench/bench_replace_run_win.exe" \
        --program "$program" --folder "$(winpath "$1")" --mode "$2" --pairs "$3" \
        --log "$(winpath "$data/run.log")" --show "${4:-no}"
}
field() { sed -n "s/^$1: //p"; }
best() { sort -g | head -1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "== $(uptime)"
echo "== grep $(grep --version | head -1 | awk '{print $NF}'), sed $(sed --version | head -1 | awk '{print $NF}'), LC_ALL=${LC_ALL:-} LANG=${LANG:-}"

# 1. Search only.
grep_ms=() run_ms=() shown_ms=()
for _ in $(seq "$runs"); do
    t0=$(now_ms); grep -F -i -l Quetzal "$base"/text/* >"$data/grep.out" || true; t1=$(now_ms)
    grep_ms+=($((t1 - t0)))
    out=$(run "$base/text" search "Quetzal")
    run_ms+=("$(echo "$out" | field ms)")
    shown_ms+=("$(run "$base/text" search "Quetzal" yes | field ms)")
done
grep_files=$(wc -l <"$data/grep.out")
run_files=$(echo "$out" | field reported)
g=$(printf '%s\n' "${grep_ms[@]}" | best); r=$(printf '%s\n' "${run_ms[@]}" | best)
echo
echo "search only, 2000 x 50 KB text files, \"Quetzal\""
echo "  grep -F -i -l:     ${g} ms, ${grep_files} files"
v=$(printf '%s\n' "${shown_ms[@]}" | best)
echo "  search-only run:   ${r} ms, ${run_files} files, $(echo "$out" | field status-lines) status lines"
echo "  ratio run / grep:  $(ratio "$r" "$g")   (goal: at most 1.5)"
echo "  the same with the activity window shown (\"Show Logfile\"): ${v} ms, ratio $(ratio "$v" "$g")"

# 2. Three pairs written.
sed_ms=() write_ms=()
for _ in $(seq "$runs"); do
    rm -rf "$data/sed" "$data/run"; cp -r "$base/text" "$data/sed"; cp -r "$base/text" "$data/run"
    sync
    t0=$(now_ms)
    sed -i -e 's/alpha/omega/gI' -e 's/bravo/zulu/gI' -e 's/charlie/yankee/gI' "$data"/sed/*
    t1=$(now_ms)
    sed_ms+=($((t1 - t0)))
    out=$(run "$data/run" write "alpha~omega|bravo~zulu|charlie~yankee")
    write_ms+=("$(echo "$out" | field ms)")
done
same=identical
diff -rq "$data/sed" "$data/run" >/dev/null || same=DIFFERENT
s=$(printf '%s\n' "${sed_ms[@]}" | best); w=$(printf '%s\n' "${write_ms[@]}" | best)
echo
echo "three pairs written over the same 2000 files (results: $same)"
echo "  sed -i:            ${s} ms"
echo "  writing run:       ${w} ms"
echo "  ratio run / sed:   $(ratio "$w" "$s")   (goal: at most 2)"

# 3. Non-text streaming.
scan_rate=() write_rate=()
for _ in $(seq "$runs"); do
    out=$(run "$base/bin" dry "Quetzal~x")
    scan_rate+=("$(echo "$out" | field MBps)")
    rm -rf "$data/binrun"; cp -r "$base/bin" "$data/binrun"; sync
    out=$(run "$data/binrun" write "alpha~omega")
    write_rate+=("$(echo "$out" | field MBps)")
done
echo
echo "non-text files, 200 x 1 MB"
echo "  dry run, no hit:   $(printf '%s\n' "${scan_rate[@]}" | sort -g | tail -1) MB/s   (goal: at least 200)"
echo "  writing run:       $(printf '%s\n' "${write_rate[@]}" | sort -g | tail -1) MB/s, $(echo "$out" | field reported) files rewritten"
