#!/usr/bin/env bash
# Runs the index-search benchmark natively and, on the same index file, as the Windows build
# under Wine. There is no grep inside Wine, so the Windows run is compared with the grep
# times the native run measured on that file just before.
#   bench/search.sh [--entries N] [--runs N]
set -euo pipefail
cd "$(dirname "$0")/.."
native=build/bench-native
windows=build/windows
cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$native" -j2 --target bench_search >/dev/null
[ -f "$windows/CMakeCache.txt" ] || cmake -S . -B "$windows" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$windows" -j2 --target bench_search >/dev/null

index=$PWD/$native/bench_search.idx
out=$(mktemp)
trap 'rm -f "$out"' EXIT

echo "== native ($(uname -m), grep $(grep --version | head -1 | awk '{print $NF}'), LC_ALL=${LC_ALL:-} LANG=${LANG:-})"
"$native/bench/bench_search" --index "$index" "$@" | tee "$out"
grep_ms=$(sed -n 's/^grep-ms: //p' "$out")

echo
echo "== Windows build under Wine, same file, grep figures from the native run"
cmake/wine-run.sh "$PWD/$windows/wineprefix" "$windows/bench/bench_search.exe" \
    --index "Z:${index//\//\\}" --reuse --grep-ms "$grep_ms" "$@"
