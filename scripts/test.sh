#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite three times:
# plain (warnings as errors), under AddressSanitizer + UndefinedBehaviorSanitizer, and
# under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

run() {
  local dir=$1
  shift
  echo "== $dir"
  scripts/build.sh "$dir" -DSYMBOLS_WERROR=ON -DSYMBOLS_APPS=ON "$@"
  ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" --timeout 300
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
run build/test -DSYMBOLS_BENCH=ON
run build/asan -DSYMBOLS_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug
run build/tsan -DSYMBOLS_SANITIZE=thread
