#!/usr/bin/env bash
# The Qt program's start on Linux beside a bare Qt window (bench/bare_qt_window.cpp), on a virtual
# display with a window manager: seven alternating runs of each, timed by bench/first_paint.cpp
# from the start to the window's final picture; prints the medians, the ratio and whether the bar
# (at most 1.2 times the bare window) holds. Not a test: a busy machine makes any figure worse.
#
#   bash bench/qt-bench.sh [build-folder]        (default: build-bench beside bench/)
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$src/build-bench}
mkdir -p "$build"
build=$(cd "$build" && pwd)
say() { printf 'qt-bench: %s\n' "$*"; }
source "$src/scripts/common.sh"
require cmake ninja:ninja-build Xvfb:xvfb openbox

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSMAR_TESTS=OFF \
    -DTESSMAR_BENCH=ON >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log"
    exit 1
}
ninja -C "$build" -j2 tessmar bare_qt_window first_paint userdat >/dev/null

n=70
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -noreset -nolisten tcp >"$build/xvfb.log" 2>&1 &
xvfb=$!
wm=
folder=$(mktemp -d)
stop() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$folder"
}
trap stop EXIT
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
done
export DISPLAY=:$n LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$folder/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox --sm-disable --startup "touch $folder/wm.ready" >"$build/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 100); do
    [ -e "$folder/wm.ready" ] && break
    sleep 0.1
done

# The program in a folder of its own, started each time as on a first start (no vorn.ini).
cp "$build/bin/tessmar" "$build/bin/user.dat" "$build/bin/help.htm" "$folder/"
watch=$build/bench/first_paint
bare=() program=()
for _ in $(seq 7); do
    bare+=("$("$watch" "$build/bench/bare_qt_window")")
    rm -f "$folder/vorn.ini" "$folder/registry.reg"
    program+=("$("$watch" "$folder/tessmar")")
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
b=$(median "${bare[@]}")
p=$(median "${program[@]}")
echo "bare_qt_window, start to its window: median $b ms (${bare[*]})"
echo "tessmar, start to the gate: median $p ms (${program[*]})"
awk -v b="$b" -v p="$p" 'BEGIN {
    r = p / b
    printf "start to the gate: %.2fx the bare Qt window (bar 1.2x): %s\n", r, r <= 1.2 ? "holds" : "DOES NOT HOLD"
}'
