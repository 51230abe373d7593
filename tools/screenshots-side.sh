#!/bin/sh
# Pictures of the three side windows (drive hiding, logon notice, custom entry editor), drawn
# offscreen by their window tests, into docs/.
# Usage: tools/screenshots-side.sh [build-directory] [output-directory]   (defaults: build, docs)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
out=${2:-"$root/docs"}

cmake -S "$root" -B "$build" -G Ninja >/dev/null
ninja -C "$build" -j2 drives_test logo_test usersys_test
mkdir -p "$out"
out=$(cd "$out" && pwd)
for test in drives_test logo_test usersys_test; do
    QT_QPA_PLATFORM=offscreen TESSMAR_SCREENSHOTS="$out" "$build/bin/$test" picture >/dev/null
done
echo "saved drives.png, logo.png and usersys.png into $out"
