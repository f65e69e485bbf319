#!/usr/bin/env bash
# Runs the instant-find benchmark natively and, on the same index file, as the Windows build
# under Wine, where it also times a keystroke to the first painted results and the console
# client end to end. There is no grep inside Wine, so the Windows run is compared with the
# grep times the native run measured on that file just before.
#   bench/instant.sh [--entries N] [--runs N]
set -euo pipefail
cd "$(dirname "$0")/.."
native=build/bench-native
windows=build/windows
cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$native" -j2 --target bench_instant >/dev/null
[ -f "$windows/CMakeCache.txt" ] || cmake -S . -B "$windows" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$windows" -j2 --target bench_instant Larkspire >/dev/null

# The search benchmark's index: the same million entries, written by whichever runs first.
index=$PWD/$native/bench_search.idx
out=$(mktemp)
trap 'rm -f "$out"' EXIT
winpath() { echo "Z:${1//\//\\}"; }

echo "== native ($(uname -m), grep $(grep --version | head -1 | awk '{print $NF}'))"
"$native/bench/bench_instant" --index "$index" --reuse "$@" | tee "$out"
grep_ms=$(sed -n 's/^grep-ms: //p' "$out")

echo
echo "== Windows build under Wine, same file, grep figures from the native run"
cmake/wine-run.sh "$PWD/$windows/wineprefix" "$windows/bench/bench_instant.exe" \
    --index "$(winpath "$index")" --reuse --grep-ms "$grep_ms" \
    --program "$(winpath "$PWD/$windows/bin/Larkspire.exe")" \
    --client "$(winpath "$PWD/$windows/bin/larkspire-find.exe")" "$@"
