#!/bin/sh
# Renders every picture of ui/art to PNG, at its own size and enlarged, for looking them over.
# Usage: tools/render_art.sh [output-directory] [enlargement]   (defaults: build-art, 4)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/build-art"}
zoom=${2:-4}

if command -v rsvg-convert >/dev/null 2>&1; then
    render() { rsvg-convert --zoom="$3" --background-color=none -o "$2" "$1"; }
elif command -v convert >/dev/null 2>&1; then
    render() { convert -background none -density "$((96 * $3))" "$1" "$2"; }
else
    echo "render_art.sh: needs rsvg-convert (apt-get install librsvg2-bin) or ImageMagick" >&2
    exit 1
fi

mkdir -p "$out"
count=0
for svg in "$root"/ui/art/*.svg; do
    name=$(basename "$svg" .svg)
    render "$svg" "$out/$name.png" 1
    render "$svg" "$out/$name@${zoom}x.png" "$zoom"
    count=$((count + 1))
done
echo "rendered $count pictures into $out"
