#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then builds and runs the whole test
# suite three times: plain (warnings as errors), under AddressSanitizer +
# UndefinedBehaviorSanitizer built with clang (which also checks the lock annotations),
# and under ThreadSanitizer. The plain tree is also
# installed into a staging prefix, its exports checked, and a host project built and run
# against that prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/check_format.sh

run() {
  local dir=$1
  shift
  echo "== $dir"
  scripts/build.sh "$dir" -DSYMBOLS_WERROR=ON -DSYMBOLS_APPS=ON "$@"
  ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" --timeout 300
}

installed() {
  local dir=$1
  local stage="$PWD/$dir/stage"
  echo "== $dir: install, exports, host projects against the prefix, manual page and completion"
  rm -rf "$stage" "$dir/consumer" "$dir/pkgconfig-consumer"
  cmake --install "$dir" --prefix "$stage" >/dev/null
  scripts/check_exports.sh "$stage/lib/liboxsymbols.so"
  # Every installed header compiles from the include root alone, as <orrinsymbols/...>.
  (cd "$stage/include" && find orrinsymbols -name '*.h' | sort | sed 's/.*/#include <&>/') >"$dir/all-headers.cpp"
  ${CXX:-c++} -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I"$stage/include" "$dir/all-headers.cpp"
  cmake -S examples/consumer -B "$dir/consumer" -DCMAKE_PREFIX_PATH="$stage" \
    -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" >/dev/null
  cmake --build "$dir/consumer" -j"$(nproc)"
  ctest --test-dir "$dir/consumer" --output-on-failure
  # The same program built with plain make, its flags from pkg-config.
  PKG_CONFIG_PATH="$stage/lib/pkgconfig" make -s -C examples/pkgconfig check BUILD="$PWD/$dir/pkgconfig-consumer"
  # man finds the page through the prefix's bin folder on PATH; bash completes from the
  # installed script.
  local page
  page=$(env -u MANPATH PATH="$stage/bin:$PATH" man -w symbols)
  [ "$page" = "$stage/share/man/man1/symbols.1" ] || { echo "man symbols finds $page" >&2; exit 1; }
  local offered
  offered=$(bash --norc -c "source '$stage/share/bash-completion/completions/symbols'
    COMP_WORDS=(symbols library ch); COMP_CWORD=2; _symbols; echo \"\${COMPREPLY[*]}\"")
  [ "$offered" = "check" ] || { echo "completion of 'symbols library ch' offers '$offered'" >&2; exit 1; }
  echo "installed: pkg-config consumer, man symbols and completion work from $stage"
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
run build/test -DSYMBOLS_BENCH=ON
installed build/test
run build/asan -DSYMBOLS_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
run build/tsan -DSYMBOLS_SANITIZE=thread
