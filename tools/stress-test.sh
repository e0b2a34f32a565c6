#!/usr/bin/env bash
# Runs test labels again and again while stress-ng keeps every core busy, to show that no test
# depends on the machine being idle (every wait is for an event, with a generous ceiling).
#   tools/stress-test.sh [runs, default 3] [labels regex, default "ui|devices"]
# Needs a built build/ (tools/test.sh) and stress-ng (tools/install-deps.sh installs it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-3}"
labels="${2:-ui|devices}"
command -v stress-ng >/dev/null || { echo "stress-test: stress-ng is missing" >&2; exit 1; }

stress-ng --cpu "$(nproc)" --quiet &
stress=$!
trap 'kill "$stress" 2>/dev/null || true; wait "$stress" 2>/dev/null || true' EXIT

failed=0
for run in $(seq "$runs"); do
  echo "== stress-test: run $run of $runs, labels $labels, load: $(cut -d' ' -f1-3 /proc/loadavg)"
  if ! ctest --test-dir "$root/build" -L "$labels" -j"$(nproc)" --output-on-failure; then
    failed=$((failed + 1))
  fi
done
echo "stress-test: $failed of $runs runs had a failure"
[ "$failed" -eq 0 ]
