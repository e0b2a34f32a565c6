#!/usr/bin/env bash
# Start-up time to the main window shown and resident memory after start, under Xvfb.
# Usage: bench/ui/run-startup-benchmark.sh <build dir>   (prints median/mean over nine runs)
set -euo pipefail
build="${1:?usage: run-startup-benchmark.sh <build dir>}"
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/ui/bench_ui_startup" --benchmark_counters_tabular=true
