#!/usr/bin/env bash
# Cross-builds the core for 64-bit Windows with mingw-w64 and runs its test programs under Wine, in
# a private prefix whose ANSI code page is 936, and one of them in a prefix whose code page is 1252.
# Installs nothing: scripts/test.sh has done that.
#
#   wine/run-wine-tests.sh [--build-only] [build-folder]      (default: build-wine beside this folder)
#
# --build-only makes the cross build and stops (scripts/test.sh builds before CTest times the run).
# Exits non-zero when anything fails. Needs no display.
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_only=
[ "${1:-}" = --build-only ] && { build_only=1; shift; }
build=${1:-$src/build-wine}
mkdir -p "$build"
build=$(cd "$build" && pwd)

say() { printf 'run-wine-tests: %s\n' "$*"; }

# --- What the run needs (installed by scripts/test.sh; a test installs nothing) ------------------
source "$src/scripts/common.sh"
require wine /usr/lib/wine/wine64:wine64 x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix \
    cmake ninja:ninja-build rsvg-convert:librsvg2-bin icotool:icoutils
# Wine takes its ANSI code page from the Unix locale: zh_CN.UTF-8 gives code page 936.
require_locale zh_CN.UTF-8
require_locale en_US.UTF-8

# --- Cross build --------------------------------------------------------------------------------
say "building into $build"
cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
    -DTESSMAR_UI=OFF -DTESSMAR_SQLITE=OFF -DTESSMAR_TESTS=OFF -DTESSMAR_BENCH=OFF \
    -DTESSMAR_WINE_TESTS=ON >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log"
    exit 1
}
ninja -C "$build" -j2 wine_programs
[ -z "$build_only" ] || exit 0

# --- Wine, headless, code page 936 --------------------------------------------------------------
started=$SECONDS
unset DISPLAY WAYLAND_DISPLAY
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
prefix=$build/wineprefix
initial=$build/wineprefix-initial-registry
fresh=$build/wineprefix-import
exported=$build/wineprefix-export
other=$build/wineprefix-cp1252

stop_wine() {
    for p in "$prefix" "$fresh" "$exported" "$other"; do
        [ -d "$p" ] && WINEPREFIX=$p wineserver -k >/dev/null 2>&1 || true
    done
}
trap stop_wine EXIT

# The prefix is kept between runs; its registry as wineboot left it is kept beside it, for the
# fresh prefix of the import check.
if [ ! -f "$prefix/system.reg" ] || [ ! -f "$initial/system.reg" ]; then
    say "making the Wine prefix"
    rm -rf "$prefix" "$initial"
    WINEPREFIX=$prefix wineboot -i </dev/null >"$build/wineboot.log" 2>&1 || {
        cat "$build/wineboot.log"
        exit 1
    }
    WINEPREFIX=$prefix wineserver -w
    mkdir -p "$initial"
    cp "$prefix"/*.reg "$initial"/
fi

failures=0
run() {
    local pfx=$1
    shift
    local out
    out=$(WINEPREFIX=$pfx wine "$@" </dev/null 2>&1) && status=0 || status=$?
    printf '%s\n' "$out"
    if [ "$status" -ne 0 ] || ! printf '%s\n' "$out" | grep -q '^wine: [0-9]* passed, 0 failed'; then
        say "FAILED: $(basename "$1") (exit $status)"
        failures=$((failures + 1))
    fi
}

reg="$build/conformance-registry.reg"
rm -f "$reg"
run "$prefix" "$build/bin/wine_platform_test.exe"
run "$prefix" "$build/bin/wine_engine_test.exe"
run "$prefix" "$build/bin/wine_security_test.exe"
run "$prefix" "$build/bin/wine_conformance_test.exe" "$reg"
run "$prefix" "$build/bin/wine_targets_test.exe"
WINEPREFIX=$prefix wineserver -w

# A prefix that has seen nothing else: the installed files shared by hard links (Wine does not
# change them, and new files replace rather than rewrite), the registry files as wineboot made them.
fresh_prefix() {
    rm -rf "$1"
    cp -al "$prefix" "$1"
    for f in "$initial"/*.reg; do
        rm -f "$1/$(basename "$f")"
        cp "$f" "$1/"
    done
}

# The stand-in's file, imported by the registry editor into a prefix that has seen nothing else.
if [ -f "$reg" ]; then
    fresh_prefix "$fresh"
    if WINEPREFIX=$fresh wine regedit /s "$(WINEPREFIX=$fresh winepath -w "$reg")" </dev/null; then
        WINEPREFIX=$fresh wineserver -w
        run "$fresh" "$build/bin/wine_import_check.exe" "$reg"
    else
        say "FAILED: regedit could not import $reg"
        failures=$((failures + 1))
    fi
else
    say "FAILED: the conformance program left no registry file"
    failures=$((failures + 1))
fi

# History records, imported by the registry editor newest first, put back what the passes changed.
hist="$build/history-import"
rm -rf "$hist"
mkdir -p "$hist"
histw=$(WINEPREFIX=$prefix winepath -w "$hist")
run "$prefix" "$build/bin/wine_history_test.exe" record "$histw"
WINEPREFIX=$prefix wineserver -w
imported=0
for f in $(ls -r "$hist"/history/*.reg 2>/dev/null); do
    if WINEPREFIX=$prefix wine regedit /s "$(WINEPREFIX=$prefix winepath -w "$f")" </dev/null; then
        imported=$((imported + 1))
    else
        say "FAILED: regedit could not import $f"
        failures=$((failures + 1))
    fi
done
WINEPREFIX=$prefix wineserver -w
if [ "$imported" -ne 2 ]; then
    say "FAILED: expected two history records to import, found $imported"
    failures=$((failures + 1))
fi
run "$prefix" "$build/bin/wine_history_test.exe" verify "$histw"
# A PC whose ANSI code page is not 936. Wine maps the Unix locale of LC_CTYPE (LC_ALL, else
# LC_CTYPE, else LANG) at each process start to a Windows locale and takes that locale's ANSI code
# page; the charset after the dot plays no part, so en_US.UTF-8 gives 1252. The program runs from a
# folder with a Chinese name.
fresh_prefix "$other"
mkdir -p "$other/程序文件夹"
cp "$build/bin/wine_codepage_test.exe" "$other/程序文件夹/"
LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 run "$other" "$other/程序文件夹/wine_codepage_test.exe"
WINEPREFIX=$other wineserver -w

# The exported tessmar.reg against the apply pass: the program clears the policy keys it compares
# and runs the registry editor itself, so it gets a prefix of its own.
fresh_prefix "$exported"
run "$exported" "$build/bin/wine_export_check.exe"
WINEPREFIX=$exported wineserver -w

say "Wine part took $((SECONDS - started)) s"
if [ "$failures" -ne 0 ]; then
    say "$failures program(s) failed"
    exit 1
fi
say "all passed"
