#!/usr/bin/env bash
# Runs one Windows test executable under Wine in a private prefix of the build tree.
#   wine-run.sh PREFIX [--display] EXE [ARGS...]
# The prefix is created on first use, under a lock, with the headless graphics
# driver; --display uses a sibling prefix with the X11 driver on a private Xvfb.
set -u
prefix=$1
shift
display=0
if [ "${1:-}" = "--display" ]; then
    display=1
    prefix=${prefix}-x11
    shift
fi
# winemenubuilder would read every shortcut a test saves, from a process of its own, at a moment
# of its choosing: a test that rewrites the shortcut at once finds it held.
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
mkdir -p "$(dirname "$prefix")"

start_server() {
    # A wineserver (and the services it starts) that inherits our output pipe keeps
    # CTest waiting after the test ended, so it is always started detached.
    setsid wineserver -p 30 </dev/null >/dev/null 2>&1 || true
}

(
    flock 9
    # The marker names the prefix's version: a prefix made before a setting below was added
    # is made again.
    if [ ! -f "$prefix/.larkspire-ready-2" ]; then
        rm -rf "$prefix"
        setsid wineboot -i </dev/null >/dev/null 2>&1
        if [ "$display" = 0 ]; then
            wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
        fi
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            </dev/null >/dev/null 2>&1
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f \
            </dev/null >/dev/null 2>&1
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f \
            </dev/null >/dev/null 2>&1
        # Programs started by tests run side by side on one desktop: without a hotkey of their
        # own, none of them tells the user that another holds Ctrl+Alt+Space. The tests of
        # the hotkey set it themselves.
        wine reg add 'HKCU\Software\Brannock\Larkspire\Options' /v InstantFindHotkey /d None /f \
            </dev/null >/dev/null 2>&1
        wineserver -w
        touch "$prefix/.larkspire-ready-2"
    fi
) 9>"$prefix.lock"

start_server

xvfb_pid=""
if [ "$display" = 1 ] && [ -z "${LARKSPIRE_KEEP_DISPLAY:-}" ]; then
    for n in $(seq 91 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        break
    done
fi

out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
exit $rc
