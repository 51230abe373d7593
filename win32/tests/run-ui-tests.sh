#!/usr/bin/env bash
# Cross-builds the Windows front end's test program and runs it under Wine on a virtual display with
# a window manager (openbox, as on a PC), in a private prefix with code page 936, at 100 %, 150 % and
# 200 % (96, 144 and 192 dpi). Needs what wine/run-wine-tests.sh needs, Xvfb and openbox.
#
#   win32/tests/run-ui-tests.sh [--build-only] [build-folder]      (default: build-win32 beside win32/)
#
# --build-only makes the cross build and stops.
# Exits non-zero when anything fails.
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_only=
[ "${1:-}" = --build-only ] && { build_only=1; shift; }
build=${1:-$src/build-win32}
mkdir -p "$build"
build=$(cd "$build" && pwd)
say() { printf 'run-ui-tests: %s\n' "$*"; }

source "$src/scripts/common.sh"
require wine /usr/lib/wine/wine64:wine64 Xvfb:xvfb openbox x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix \
    cmake ninja:ninja-build rsvg-convert:librsvg2-bin icotool:icoutils
require_locale zh_CN.UTF-8

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
        -DTESSMAR_SQLITE=OFF -DTESSMAR_TESTS=OFF -DTESSMAR_BENCH=OFF >"$build/configure.log" 2>&1 || {
        cat "$build/configure.log"
        exit 1
    }
fi
ninja -C "$build" -j2 win32_ui_test
[ -z "$build_only" ] || exit 0

# A display of our own; -noreset keeps it up between Wine's processes.
display=
for n in $(seq 40 60); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        display=:$n
        break
    fi
done
[ -n "$display" ] || {
    say "no free display number"
    exit 1
}
Xvfb "$display" -noreset -screen 0 1280x1024x24 >"$build/xvfb.log" 2>&1 &
xvfb=$!
wm=
export DISPLAY=$display LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$build/wineprefix-ui
stop() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap stop EXIT
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done
# The window manager, ready once it has run its start-up command.
rm -f "$build/openbox.ready"
openbox --sm-disable --startup "touch $build/openbox.ready" >"$build/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 100); do
    [ -e "$build/openbox.ready" ] && break
    sleep 0.1
done
[ -e "$build/openbox.ready" ] || {
    say "openbox did not start"
    cat "$build/openbox.log"
    exit 1
}

# The prefix must first start with the display up, or its desktop keeps no driver.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    say "making the Wine prefix"
    wineboot -i </dev/null >"$build/wineboot-ui.log" 2>&1
    wineserver -w
fi

# Wine's dpi is LogPixels under HKEY_CURRENT_USER\Control Panel\Desktop, read as each process
# starts: the tests run at 100 %, 150 % and 200 %.
failed=0
for dpi in 96 144 192; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    out=$(wine "$build/bin/win32_ui_test.exe" --dpi "$dpi" </dev/null 2>&1) && status=0 || status=$?
    printf 'at %s dpi:\n%s\n' "$dpi" "$out"
    if [ "$status" -ne 0 ] || ! printf '%s\n' "$out" | grep -q '^wine: [0-9]* passed, 0 failed'; then
        say "FAILED at $dpi dpi (exit $status)"
        failed=1
    fi
done
[ "$failed" -eq 0 ] || exit 1
say "all passed"
