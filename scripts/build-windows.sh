#!/usr/bin/env bash
# Builds Tessmar for 64-bit Windows: one statically linked tessmar.exe with user.dat (the shipped
# custom entries) and help.htm beside it, in a folder ready to copy to a PC, and that folder as the
# zip an administrator downloads, with its SHA-256. Installs what it needs on Debian 12 (as root, or
# with sudo).
#
#   bash scripts/build-windows.sh [--gui-tests] [--no-install] [build-folder]
#                                                                  (default: build-windows/)
#
# --gui-tests also builds the GUI test driver and the bare window into build-folder/gui/.
# --no-install (for the tests) installs nothing: a missing tool stops the build, naming its package.
# The last line printed is the path of tessmar.exe.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

gui_tests=OFF
install=yes
while (($#)); do
    case $1 in
        --gui-tests) gui_tests=ON ;;
        --no-install) install=no ;;
        *) break ;;
    esac
    shift
done
out=${1:-$ROOT/build-windows}
mkdir -p "$out"
out=$(cd "$out" && pwd)
say() { printf 'build-windows: %s\n' "$*" >&2; }

# --- What the build needs -----------------------------------------------------------------------
if [ $install = yes ]; then
    install_everything
else
    require cmake ninja:ninja-build g++ x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix \
        x86_64-w64-mingw32-strip:binutils-mingw-w64-x86-64 rsvg-convert:librsvg2-bin \
        icotool:icoutils tclsh:tcl make
fi

# --- SQLite and SQLiteCpp for mingw-w64, from Debian's source packages --------------------------
sqlitecpp_dir=$(bash "$ROOT/cmake/sqlite-mingw.sh" "$out/sqlite" "$DEBIAN_SOURCES")

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
    system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|shlwapi|ole32|oleaut32|msvcrt|msimg32|imm32|uxtheme|dwmapi|shcore|windowscodecs|gdiplus|version|ws2_32|bcrypt|uuid|netapi32|wtsapi32)\.dll$'
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
    # The download: the folder as a zip named by the version the version resource carries.
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/cross/CMakeCache.txt")
    zip=Tessmar-$version-win64.zip
    rm -f "$out/$zip" "$out/$zip.sha256"
    (cd "$out" && cmake -E tar cf "$zip" --format=zip Tessmar && sha256sum "$zip" >"$zip.sha256")
    say "$(du -b "$folder/tessmar.exe" | cut -f1) bytes: $folder"
    say "download: $out/$zip ($(cut -d' ' -f1 "$out/$zip.sha256"))"
    echo "$folder/tessmar.exe"
else
    say "no tessmar.exe in this source tree yet; the GUI test programs are in $out/gui"
    echo "$out/gui/gui_test.exe"
fi
