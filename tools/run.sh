#!/usr/bin/env bash
# Sets up the machine, builds the tool and starts it.
#   tools/run.sh [tool arguments]          the tool, for a real instrument (--debug, --trace, --usb-debug, --usb-info)
#   tools/run.sh --simulate <kind> [...]   the tool with a simulated instrument plugged in (service-sim)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)" --target service-software service-sim

if [ "${1:-}" = "--simulate" ]; then
  shift
  exec "$build/sim/launcher/service-sim" "$@"
fi
exec "$build/app/service-software" "$@"
