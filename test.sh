#!/usr/bin/env bash
# Runs the whole test suite twice: in the normal build and in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer; then every fuzz target for
# a few seconds, so that a parser that breaks again is caught.
set -euo pipefail
cd "$(dirname "$0")"
tools/dev/install-deps.sh
jobs=$(nproc)
for variant in normal sanitize; do
  dir=build
  # Line tables only: backtraces and sanitizer reports keep their file and
  # line, and the two builds take about a quarter less time than with full
  # debug information.
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DESCUTA_WERROR=ON -DESCUTA_BENCH=OFF
         "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG")
  if [ "$variant" = sanitize ]; then
    dir=build-sanitize
    flags+=(-DESCUTA_SANITIZE=ON)
  fi
  echo "== $variant build =="
  cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
done
echo "== fuzz smoke run =="
ESCUTA_FUZZ_JOBS=$jobs fuzz/run.sh 6
