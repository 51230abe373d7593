#!/usr/bin/env bash
# The Windows program's GUI tests: builds tessmar.exe and the test driver (scripts/build-windows.sh),
# starts a virtual display with a window manager (openbox, as a PC has one: title bars, activation,
# focus), makes a private Wine prefix with code page 936 while that display is up, and runs the
# driver, which works the program's real windows with the mouse and the keyboard.
#
#   wine/gui/run-gui-tests.sh [--build-only | --bench | --screenshots DIR] [--dpi DPI] [build-folder]
#                                                       (default: build-windows beside wine/)
#
# --build-only builds tessmar.exe and the driver and stops; --bench measures the program's answers beside a bare window's instead (bars and ratios);
# --screenshots saves a picture of every window; --dpi runs at that dpi (144 is 150 %), and the
# pictures' names end in the percentage (win32-main-150.png).
# Needs no display of the caller. Exits non-zero when anything fails.
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mode=test
shots=
dpi=
while (($#)); do
    case $1 in
        --build-only) mode=build; shift ;;
        --bench) mode=bench; shift ;;
        --screenshots) mode=screenshots; shots=$(mkdir -p "$2" && cd "$2" && pwd); shift 2 ;;
        --dpi) dpi=$2; shift 2 ;;
        *) break ;;
    esac
done
suffix=${dpi:+-$((dpi * 100 / 96))}
out=${1:-$src/build-windows}
say() { printf 'run-gui-tests: %s\n' "$*"; }

# --- What the run needs (installed by scripts/test.sh; a test installs nothing) ------------------
source "$src/scripts/common.sh"
require Xvfb:xvfb openbox wine /usr/lib/wine/wine64:wine64 import:imagemagick fc-list:fontconfig
fc-list 2>/dev/null | grep -qi 'wenquanyi\|wqy' || require /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc:fonts-wqy-zenhei
require_locale zh_CN.UTF-8

bash "$src/scripts/build-windows.sh" --gui-tests --no-install "$out" >/dev/null
[ "$mode" != build ] || exit 0
out=$(cd "$out" && pwd)
folder=$out/Tessmar
gui=$out/gui

# --- A virtual display: the first free number from 90 -------------------------------------------
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
# -noreset: without it the server resets whenever its last client leaves, and the next start fails.
Xvfb ":$n" -screen 0 1280x1024x24 -noreset -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
wm=
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
pristine=$out/gui-prefix
prefix=$out/gui-prefix-run
export WINEPREFIX=$prefix
stop() {
    for p in "$prefix" "$pristine"; do
        [ -d "$p" ] && WINEPREFIX=$p wineserver -k >/dev/null 2>&1 || true
    done
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
}
trap stop EXIT
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
done
export DISPLAY=:$n
unset WAYLAND_DISPLAY

# The window manager, ready once it has run its start-up command.
rm -f "$out/openbox.ready"
openbox --sm-disable --startup "touch $out/openbox.ready" >"$out/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 100); do
    [ -e "$out/openbox.ready" ] && break
    sleep 0.1
done
[ -e "$out/openbox.ready" ] || {
    say "openbox did not start"
    cat "$out/openbox.log"
    exit 1
}

# The prefix is booted with the display up, or its desktop keeps no display driver. It is made
# once; every run gets a fresh copy, so no run sees what an earlier one wrote.
if [ ! -f "$pristine/system.reg" ]; then
    say "making the Wine prefix"
    rm -rf "$pristine"
    WINEPREFIX=$pristine wineboot -i </dev/null >"$out/wineboot.log" 2>&1 || {
        cat "$out/wineboot.log"
        exit 1
    }
    WINEPREFIX=$pristine wineserver -w
fi
rm -rf "$prefix"
cp -al "$pristine" "$prefix"
for f in "$pristine"/*.reg; do
    rm -f "$prefix/$(basename "$f")"
    cp "$f" "$prefix/"
done

# Wine's dpi: LogPixels under HKEY_CURRENT_USER\Control Panel\Desktop, read as each process
# starts.
if [ -n "$dpi" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
fi

started=$SECONDS
program=$(winepath -w "$folder" 2>/dev/null)
status=0
case $mode in
    test)
        wine "$gui/gui_test.exe" "$program" </dev/null 2>&1 | tee "$out/gui-test.log" || status=$?
        grep -q '^wine: [0-9]* passed, 0 failed' "$out/gui-test.log" || status=1
        ;;
    bench)
        wine "$gui/gui_tool.exe" --bench "$program" </dev/null 2>&1 | tee "$out/gui-bench.log" || status=$?
        ;;
    screenshots)
        # The driver opens each window and leaves NAME.ready with its place on the screen; the
        # picture is taken here, from the X server, and NAME.done lets the driver go on.
        rm -f "$shots"/*.ready "$shots"/*.done
        wine "$gui/gui_tool.exe" --screenshots "$(winepath -w "$shots")" "$program" </dev/null \
            >"$out/gui-shots.log" 2>&1 &
        driver=$!
        while kill -0 "$driver" 2>/dev/null; do
            for ready in "$shots"/*.ready; do
                [ -e "$ready" ] || continue
                name=$(basename "$ready" .ready)
                import -display "$DISPLAY" -window root -crop "$(cat "$ready")" +repage "$shots/$name$suffix.png"
                say "took $shots/$name$suffix.png"
                rm -f "$ready"
                touch "$shots/$name.done"
            done
            sleep 0.1
        done
        wait "$driver" || status=$?
        rm -f "$shots"/*.done
        cat "$out/gui-shots.log"
        ;;
esac
say "Wine part took $((SECONDS - started)) s"
exit $status
