#!/usr/bin/env bash
# Builds Tessmar and starts it. The program keeps its files (vorn.ini, registry.reg, ...) beside itself
# in build/bin.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_everything

cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSMAR_TESTS=OFF \
  -DTESSMAR_BENCH=OFF >/dev/null
ninja -C "$ROOT/build" tessmar demoaccounts
# Two demonstration accounts in the registry stand-in, for the target chooser (kept when present).
"$ROOT/build/tools/demoaccounts" "$ROOT/build/bin/registry.reg"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: start Tessmar from a desktop session (or set DISPLAY)." >&2
  exit 1
fi
exec "$ROOT/build/bin/tessmar"
