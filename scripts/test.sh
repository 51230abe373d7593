#!/usr/bin/env bash
# Builds everything and runs the whole test suite through CTest.
#   test.sh             the ordinary build, in build-test/
#   test.sh --sanitize  the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer,
#                       in build-asan/ (the Windows cross build is left to the ordinary run)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

sanitize=OFF
build="$ROOT/build-test"
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=ON
  build="$ROOT/build-asan"
fi

install_everything

cmake -S "$ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSMAR_SANITIZE=$sanitize \
  -DTESSMAR_WINE_TESTS=$([ $sanitize = ON ] && echo OFF || echo ON) >/dev/null
ninja -C "$build"
if [ $sanitize = OFF ]; then
  # The Windows builds belong to the build, not to the tests' time limits: made one after the other
  # here, the Wine tests find them done.
  bash "$ROOT/wine/run-wine-tests.sh" --build-only "$build/wine-cross"
  bash "$ROOT/win32/tests/run-ui-tests.sh" --build-only "$build/wine-ui"
  bash "$ROOT/wine/gui/run-gui-tests.sh" --build-only "$build/wine-gui"
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$ROOT/tests/lsan.supp:print_suppressions=0
cd "$build"
ctest --output-on-failure --timeout 900 -j2
