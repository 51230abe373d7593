#!/usr/bin/env bash
# Builds SQLite and SQLiteCpp as static libraries for 64-bit Windows (mingw-w64) from Debian 12's
# source packages. SQLite's amalgamation is made from Debian's patched tree and replaces the copy
# that SQLiteCpp's source carries, so the program gets Debian's fixes.
#
#   cmake/sqlite-mingw.sh --fetch SRCDIR   fetches and unpacks the two source packages with apt-get
#                                          source through a private apt configuration (the system's
#                                          own sources are left alone); part of the set-up, never
#                                          of a test
#   cmake/sqlite-mingw.sh WORKDIR [SRCDIR] builds from SRCDIR (default build-deps/debian-src),
#                                          installs into WORKDIR/prefix and prints the folder to
#                                          hand to CMake as SQLiteCpp_DIR; a finished WORKDIR is
#                                          reused
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
say() { printf 'sqlite-mingw: %s\n' "$*" >&2; }

if [ "${1:-}" = "--fetch" ]; then
    dest=${2:?usage: sqlite-mingw.sh --fetch SRCDIR}
    [ -f "$dest/fetched" ] && exit 0
    mkdir -p "$dest"
    dest=$(cd "$dest" && pwd)
    rm -rf "$dest/apt" "$dest/fetch" "$dest/sqlite3" "$dest/sqlitecpp"
    apt=$dest/apt
    mkdir -p "$apt/lists/partial" "$dest/fetch"
    echo 'deb-src http://deb.debian.org/debian bookworm main' >"$apt/sources.list"
    apt_private=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=-
        -o "Dir::State::Lists=$apt/lists" -o APT::Sandbox::User=root)
    say "fetching the source packages sqlite3 and sqlitecpp"
    apt-get "${apt_private[@]}" -qq update >"$dest/apt-update.log" 2>&1 || {
        cat "$dest/apt-update.log" >&2
        exit 1
    }
    (cd "$dest/fetch" && apt-get "${apt_private[@]}" -qq source --download-only sqlite3 sqlitecpp \
        >"$dest/apt-source.log" 2>&1) || {
        cat "$dest/apt-source.log" >&2
        exit 1
    }
    dsc() { ls "$dest"/fetch/"$1"_*.dsc | head -n 1; }
    dpkg-source -q -x "$(dsc sqlite3)" "$dest/sqlite3" >"$dest/unpack.log" 2>&1
    dpkg-source -q -x "$(dsc sqlitecpp)" "$dest/sqlitecpp" >>"$dest/unpack.log" 2>&1
    touch "$dest/fetched"
    exit 0
fi

work=${1:?usage: sqlite-mingw.sh WORKDIR [SRCDIR]}
sources=${2:-$src/build-deps/debian-src}
if [ ! -f "$sources/fetched" ]; then
    say "no Debian sources of SQLite in $sources (bash scripts/test.sh or scripts/build-windows.sh fetches them)"
    exit 1
fi
mkdir -p "$work"
work=$(cd "$work" && pwd)
prefix=$work/prefix
config=$prefix/lib/cmake/SQLiteCpp

# What the program leaves out of SQLite: it opens the one database the build makes and runs plain
# statements on one table (PRAGMA table_info, SELECT, INSERT, UPDATE, DELETE). The parser and the
# keyword table are generated with the same options, so every one of them is safe in the
# amalgamation. Storage features (WAL, auto-vacuum, triggers, views) stay, so any user.dat that
# SQLite wrote still opens.
omit="-DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_OMIT_JSON -DSQLITE_OMIT_DEPRECATED
    -DSQLITE_OMIT_PROGRESS_CALLBACK -DSQLITE_OMIT_SHARED_CACHE -DSQLITE_OMIT_COMPLETE
    -DSQLITE_OMIT_GET_TABLE -DSQLITE_OMIT_TCL_VARIABLE -DSQLITE_OMIT_TRACE
    -DSQLITE_OMIT_AUTHORIZATION -DSQLITE_OMIT_WINDOWFUNC -DSQLITE_OMIT_VIRTUALTABLE
    -DSQLITE_OMIT_EXPLAIN -DSQLITE_OMIT_ANALYZE -DSQLITE_OMIT_REINDEX
    -DSQLITE_OMIT_INTROSPECTION_PRAGMAS -DSQLITE_OMIT_UTF16 -DSQLITE_OMIT_CTE
    -DSQLITE_OMIT_UPSERT -DSQLITE_OMIT_ALTERTABLE
    -DSQLITE_DEFAULT_MEMSTATUS=0"
omit=$(echo $omit)
if [ -f "$work/done" ] && [ -f "$config/SQLiteCppConfig.cmake" ] &&
    [ "$(cat "$work/options" 2>/dev/null)" = "$omit -Os sections" ]; then
    echo "$config"
    exit 0
fi
rm -rf "$work/sqlitecpp" "$work/amalgamation" "$work/build" "$prefix" "$work/done" "$work/options"
cp -r "$sources/sqlitecpp" "$work/sqlitecpp"

# --- SQLite's amalgamation from Debian's patched tree (a native step: tclsh and the host's cc) ---
say "making the SQLite amalgamation"
mkdir -p "$work/amalgamation"
(cd "$work/amalgamation" && "$sources/sqlite3/configure" --disable-tcl >configure.log 2>&1 &&
    make -j2 sqlite3.c OPTS="$omit" >make.log 2>&1) || {
    tail -n 30 "$work/amalgamation"/*.log >&2
    exit 1
}
cp "$work/amalgamation/sqlite3.c" "$work/amalgamation/sqlite3.h" "$work/sqlitecpp/sqlite3/"

# --- Both libraries for mingw-w64 ---------------------------------------------------------------
say "building SQLite and SQLiteCpp for mingw-w64"
cmake -S "$work/sqlitecpp" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_C_FLAGS="$omit -ffunction-sections -fdata-sections" -DCMAKE_C_FLAGS_RELEASE="-Os -DNDEBUG" \
    -DCMAKE_CXX_FLAGS="-ffunction-sections -fdata-sections" \
    -DSQLITE_ENABLE_COLUMN_METADATA=OFF -DSQLITE_ENABLE_JSON1=OFF -DSQLITE_OMIT_LOAD_EXTENSION=ON \
    -DSQLITECPP_INTERNAL_SQLITE=ON -DSQLITECPP_RUN_CPPLINT=OFF -DSQLITECPP_RUN_CPPCHECK=OFF \
    -DSQLITECPP_BUILD_TESTS=OFF -DSQLITECPP_BUILD_EXAMPLES=OFF >"$work/configure.log" 2>&1 || {
    cat "$work/configure.log" >&2
    exit 1
}
ninja -C "$work/build" -j2 install >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    exit 1
}
echo "$omit -Os sections" >"$work/options"
grep -h '^#define SQLITE_VERSION ' "$prefix/include/sqlite3.h" >"$work/done"
say "SQLite $(awk '{print $3}' "$work/done") ready in $prefix"
echo "$config"
