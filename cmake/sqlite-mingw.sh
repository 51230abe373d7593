#!/usr/bin/env bash
# Builds SQLite and SQLiteCpp as static libraries for 64-bit Windows (mingw-w64) from Debian 12's
# source packages, fetched with apt-get source through a private apt configuration (the system's
# own sources are left alone). SQLite's amalgamation is made from Debian's patched tree and replaces
# the copy that SQLiteCpp's source carries, so the program gets Debian's fixes.
#
#   cmake/sqlite-mingw.sh WORKDIR
#
# Installs into WORKDIR/prefix and prints the folder to hand to CMake as SQLiteCpp_DIR. A finished
# WORKDIR is reused.
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${1:?usage: sqlite-mingw.sh WORKDIR}
mkdir -p "$work"
work=$(cd "$work" && pwd)
prefix=$work/prefix
config=$prefix/lib/cmake/SQLiteCpp
say() { printf 'sqlite-mingw: %s\n' "$*" >&2; }

if [ -f "$work/done" ] && [ -f "$config/SQLiteCppConfig.cmake" ]; then
    echo "$config"
    exit 0
fi
rm -rf "$work/apt" "$work/fetch" "$work/sqlite3" "$work/sqlitecpp" "$work/amalgamation" \
    "$work/build" "$prefix" "$work/done"

# --- Debian's sources, without touching the system's apt configuration --------------------------
apt=$work/apt
mkdir -p "$apt/lists/partial" "$work/fetch"
echo 'deb-src http://deb.debian.org/debian bookworm main' >"$apt/sources.list"
apt_private=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=-
    -o "Dir::State::Lists=$apt/lists" -o APT::Sandbox::User=root)
say "fetching the source packages sqlite3 and sqlitecpp"
apt-get "${apt_private[@]}" -qq update >"$work/apt-update.log" 2>&1 || {
    cat "$work/apt-update.log" >&2
    exit 1
}
(cd "$work/fetch" && apt-get "${apt_private[@]}" -qq source --download-only sqlite3 sqlitecpp \
    >"$work/apt-source.log" 2>&1) || {
    cat "$work/apt-source.log" >&2
    exit 1
}
dsc() { ls "$work"/fetch/"$1"_*.dsc | head -n 1; }
dpkg-source -q -x "$(dsc sqlite3)" "$work/sqlite3" >/dev/null
dpkg-source -q -x "$(dsc sqlitecpp)" "$work/sqlitecpp" >/dev/null

# --- SQLite's amalgamation from Debian's patched tree (a native step: tclsh and the host's cc) ---
say "making the SQLite amalgamation"
mkdir -p "$work/amalgamation"
(cd "$work/amalgamation" && "$work/sqlite3/configure" --disable-tcl >configure.log 2>&1 &&
    make -j2 sqlite3.c >make.log 2>&1) || {
    tail -n 30 "$work/amalgamation"/*.log >&2
    exit 1
}
cp "$work/amalgamation/sqlite3.c" "$work/amalgamation/sqlite3.h" "$work/sqlitecpp/sqlite3/"

# --- Both libraries for mingw-w64 ---------------------------------------------------------------
say "building SQLite and SQLiteCpp for mingw-w64"
cmake -S "$work/sqlitecpp" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DSQLITECPP_INTERNAL_SQLITE=ON -DSQLITECPP_RUN_CPPLINT=OFF -DSQLITECPP_RUN_CPPCHECK=OFF \
    -DSQLITECPP_BUILD_TESTS=OFF -DSQLITECPP_BUILD_EXAMPLES=OFF >"$work/configure.log" 2>&1 || {
    cat "$work/configure.log" >&2
    exit 1
}
ninja -C "$work/build" -j2 install >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    exit 1
}
grep -h '^#define SQLITE_VERSION ' "$prefix/include/sqlite3.h" >"$work/done"
say "SQLite $(awk '{print $3}' "$work/done") ready in $prefix"
echo "$config"
