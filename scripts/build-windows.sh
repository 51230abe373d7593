#!/usr/bin/env bash
# Builds Tessmar for 64-bit Windows: one statically linked tessmar.exe with user.dat (the shipped
# custom entries) and help.htm beside it, in a folder ready to copy to a PC. Installs what it needs
# on Debian 12 (as root, or with sudo).
#
#   bash scripts/build-windows.sh [--gui-tests] [build-folder]     (default: build-windows/)
#
# --gui-tests also builds the GUI test driver and the bare window into build-folder/gui/.
# The last line printed is the path of tessmar.exe.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
gui_tests=OFF
if [ "${1:-}" = "--gui-tests" ]; then
    gui_tests=ON
    shift
fi
out=${1:-$ROOT/build-windows}
mkdir -p "$out"
out=$(cd "$out" && pwd)
say() { printf 'build-windows: %s\n' "$*" >&2; }

# --- What the build needs -----------------------------------------------------------------------
packages=(cmake ninja-build g++ pkg-config g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    libsqlitecpp-dev libsqlite3-dev dpkg-dev tcl librsvg2-bin icoutils ca-certificates)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    say "installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# --- SQLite and SQLiteCpp for mingw-w64, from Debian's source packages --------------------------
sqlitecpp_dir=$(bash "$ROOT/cmake/sqlite-mingw.sh" "$out/sqlite")

# --- user.dat, made by the native tool ----------------------------------------------------------
say "making user.dat with the native mkuserdat"
cmake -S "$ROOT" -B "$out/native" -G Ninja -DTESSMAR_UI=OFF \
    -DTESSMAR_SQLITE=ON -DTESSMAR_TESTS=OFF -DTESSMAR_BENCH=OFF -DTESSMAR_WINE_TESTS=OFF \
    >"$out/native-configure.log" 2>&1 || {
    cat "$out/native-configure.log" >&2
    exit 1
}
ninja -C "$out/native" -j2 userdat >&2

# --- The program, cross-built -------------------------------------------------------------------
say "building tessmar.exe"
cmake -S "$ROOT" -B "$out/cross" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
    -DTESSMAR_WIN32=ON -DTESSMAR_UI=OFF -DTESSMAR_SQLITE=ON -DSQLiteCpp_DIR="$sqlitecpp_dir" \
    -DTESSMAR_TESTS=OFF -DTESSMAR_BENCH=OFF -DTESSMAR_WINE_TESTS=$gui_tests \
    >"$out/cross-configure.log" 2>&1 || {
    cat "$out/cross-configure.log" >&2
    exit 1
}
targets=()
grep -q '^build bin/tessmar.exe:' "$out/cross/build.ninja" && targets+=(tessmar)
[ $gui_tests = ON ] && targets+=(wine_gui_programs)
if ((${#targets[@]} == 0)); then
    say "this source tree has no Windows program yet (win32/ is missing)"
    exit 1
fi
ninja -C "$out/cross" -j2 "${targets[@]}" >&2

# --- The folder to copy to a PC -----------------------------------------------------------------
folder=$out/Tessmar
if [ -f "$out/cross/bin/tessmar.exe" ]; then
    rm -rf "$folder"
    mkdir -p "$folder"
    cp "$out/cross/bin/tessmar.exe" "$out/native/bin/user.dat" "$out/cross/bin/help.htm" "$folder/"
    x86_64-w64-mingw32-strip "$folder/tessmar.exe"
    # Only DLLs that every Windows has may be needed: no compiler runtime, no SQLite DLL.
    system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|shlwapi|ole32|oleaut32|msvcrt|msimg32|imm32|uxtheme|dwmapi|shcore|windowscodecs|gdiplus|version|ws2_32|bcrypt|uuid)\.dll$'
    bad=$(x86_64-w64-mingw32-objdump -p "$folder/tessmar.exe" | sed -n 's/^\s*DLL Name: //p' |
        tr 'A-Z' 'a-z' | grep -Ev "$system_dlls" || true)
    if [ -n "$bad" ]; then
        say "tessmar.exe needs DLLs that Windows does not have: $bad"
        exit 1
    fi
fi
if [ $gui_tests = ON ]; then
    mkdir -p "$out/gui"
    cp "$out/cross/bin/gui_test.exe" "$out/cross/bin/gui_tool.exe" "$out/cross/bin/bare_window.exe" "$out/gui/"
fi
if [ -f "$folder/tessmar.exe" ]; then
    say "$(du -b "$folder/tessmar.exe" | cut -f1) bytes: $folder"
    echo "$folder/tessmar.exe"
else
    say "no tessmar.exe in this source tree yet; the GUI test programs are in $out/gui"
    echo "$out/gui/gui_test.exe"
fi
