#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each one for a bounded time, one after
# the other (one core). First every target replays its kept crash inputs (regressions/<target>/)
# and its seeds (corpus/<target>/); then it fuzzes from the seeds plus what earlier runs found.
#
#   fuzz/run.sh [seconds-per-target]     default 15; CI runs the default
#
# Environment: TESSMAR_FUZZ_BUILD (build folder, default build-fuzz/ in the repository),
# FUZZ_TARGETS (a blank-separated subset). Exits non-zero when a target crashes or fails a check;
# the input that did it is left in <build>/artifacts/<target>/.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

seconds=${1:-15}
build=${TESSMAR_FUZZ_BUILD:-$ROOT/build-fuzz}

# clang 19 is the first Debian clang whose C++23 mode compiles libstdc++ 12's std::expected.
CLANG_VERSION=19
install_everything

# -O1 with line tables only: quick to build, still fast to run, and stack traces name the lines.
mkdir -p "$build"
CC=clang-$CLANG_VERSION CXX=clang++-$CLANG_VERSION cmake -S "$ROOT" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -gline-tables-only" \
  -DTESSMAR_UI=OFF -DTESSMAR_TESTS=OFF -DTESSMAR_BENCH=OFF -DTESSMAR_FUZZ=ON \
  >"$build/configure.log" 2>&1 || {
  cat "$build/configure.log"
  exit 1
}
ninja -C "$build" -j2 fuzz_targets

targets=${FUZZ_TARGETS:-$(cat "$build/fuzz/targets.txt")}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
summary=()
for target in $targets; do
  exe=$build/fuzz/$target
  seeds=$ROOT/fuzz/corpus/$target
  found=$build/fuzz-found/$target
  artifacts=$build/artifacts/$target/
  mkdir -p "$found" "$artifacts"
  log=$build/fuzz-$target.log

  kept=()
  if [ -d "$ROOT/fuzz/regressions/$target" ]; then
    while IFS= read -r -d '' f; do kept+=("$f"); done \
      < <(find "$ROOT/fuzz/regressions/$target" -type f -print0)
  fi
  if ((${#kept[@]})) && ! "$exe" "${kept[@]}" >"$log.regressions" 2>&1; then
    cat "$log.regressions"
    failed+=("$target (a kept regression input)")
    continue
  fi

  # -max_len bounds the inputs: the files are small, and long inputs only slow the search.
  if "$exe" "$found" "$seeds" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    summary+=("$target: ${runs:-?} executions in ${seconds} s, ${#kept[@]} kept inputs replayed, no finding")
  else
    tail -n 60 "$log"
    failed+=("$target")
  fi
done

printf 'fuzz: %s\n' "${summary[@]}"
if ((${#failed[@]})); then
  for target in "${failed[@]}"; do
    printf 'fuzz: FAILED %s (inputs in %s/artifacts/%s)\n' "$target" "$build" "$target"
  done
  exit 1
fi
echo "fuzz: all targets passed"
