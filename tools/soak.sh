#!/usr/bin/env bash
# The long plug/unplug soak (not part of the default test run): 1000 cycles with jobs in flight on the
# emulated bus, then objects, threads, libusb devices and resident memory are checked. The growth is
# reported twice: the emulation's share (the same cycles in a second process, libusb alone) and the
# tool's share on top of it, which alone has to stay under 1 MB per 1000 cycles.
#   tools/soak.sh [cycles, default 1000] [build folder, default build]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cycles="${1:-1000}"
build="${2:-$root/build}"
cmake --build "$build" --target devices_soak_test
SOAK_CYCLES="$cycles" "$build/tests/devices/devices_soak_test" --gtest_filter='Soak.*' --gtest_brief=1
