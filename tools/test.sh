#!/usr/bin/env bash
# Sets up the machine, builds everything with warnings as errors and runs every test.
#   tools/test.sh                 normal build in build/
#   tools/test.sh --sanitize      AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
# Extra arguments after the options go to ctest (for example -L wire).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
# Line tables are all a test run's stack traces and sanitizer reports need; full debug information
# costs a third of the compile time on a two-core machine (the package strips it anyway).
optimise="-O2"
if [ "${1:-}" = "--sanitize" ]; then
  # The sanitizers' own advice; it also compiles faster.
  optimise="-O1"
fi
cmake_args=(-DSERVICE_WERROR=ON
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$optimise -g1 -DNDEBUG"
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=$optimise -g1 -DNDEBUG")
if [ "${1:-}" = "--sanitize" ]; then
  shift
  build="$root/build-asan"
  cmake_args+=(-DSERVICE_SANITIZE=ON -DSERVICE_BENCH=OFF)
fi

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cmake_args[@]}"
cmake --build "$build" -j"$(nproc)"
# Emulated USB tests poll; more parallel jobs than cores only makes their time-outs tighter. The records
# tests get a throw-away PostgreSQL server of their own.
"$root/tools/with-postgres.sh" ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
