#!/usr/bin/env bash
# The resident program under Wine through rebuild cycles with file churn; a second process
# samples its handles, GDI and USER objects, working set and threads at the start and the end
# and prints them side by side (the start is the reference).
#   bench/soak.sh [--cycles N]      (200 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
cycles=200
while [ $# -gt 0 ]; do
    case $1 in
        --cycles) cycles=$2; shift 2 ;;
        --cycles=*) cycles=${1#*=}; shift ;;
        *) echo "usage: bench/soak.sh [--cycles N]" >&2; exit 2 ;;
    esac
done
windows=build/windows
[ -f "$windows/CMakeCache.txt" ] || cmake --preset windows >/dev/null
cmake --build "$windows" -j2 --target Larkspire bench_soak_probe_win >/dev/null

work=$(mktemp -d /tmp/larkspire-soak.XXXXXX)
trap 'rm -rf "$work"' EXIT
to_windows() { local p=$1; echo "Z:${p//\//\\}"; }
echo "== $cycles rebuild cycles, refresh on change, Wine $(wine --version 2>/dev/null || echo '?')"
cmake/wine-run.sh "$PWD/$windows/wineprefix" "$windows/bench/bench_soak_probe_win.exe" \
    "$(to_windows "$PWD/$windows/bin/Larkspire.exe")" "$(to_windows "$work")" "$cycles"
