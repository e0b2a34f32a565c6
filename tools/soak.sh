#!/usr/bin/env bash
# The long plug/unplug soak (not part of the default test run): 1000 cycles with jobs in flight on the
# emulated bus, then objects, threads, libusb devices and resident memory are checked.
#   tools/soak.sh [cycles, default 1000] [build folder, default build]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cycles="${1:-1000}"
build="${2:-$root/build}"
cmake --build "$build" --target devices_soak_test
SOAK_CYCLES="$cycles" "$build/tests/devices/devices_soak_test" --gtest_brief=1
