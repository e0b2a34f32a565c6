#!/usr/bin/env bash
# Runs every benchmark executable under build/bench once in its short mode (SERVICE_BENCH_SHORT=1: one
# iteration or next to no minimum time, the fewest plugs) so that a benchmark that no longer runs fails
# CI. Figures are printed, never compared with a target. Expects the benchmarks built (tools/test.sh).
#   tools/bench-smoke.sh [build dir, default build]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"

mapfile -t benches < <(find "$build/bench" -type f -executable -name '*bench*' -not -path '*/CMakeFiles/*' | sort)
if [ "${#benches[@]}" -eq 0 ]; then
  echo "bench-smoke: no benchmark executables under $build/bench (tools/test.sh builds them)" >&2
  exit 1
fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failed=()
runs=()
for bench in "${benches[@]}"; do
  runs+=("$bench")
  # The plug latency benchmark measures polling alone in a run of its own.
  [ "$(basename "$bench")" = bench_ui_plug_latency ] && runs+=("$bench --polling-only")
done
for run in "${runs[@]}"; do
  read -r -a command <<<"$run"
  name="$(basename "${command[0]}")${command[1]:+ ${command[1]}}"
  log="$scratch/run.log"
  start=$SECONDS
  echo "== $name"
  # Google Benchmark exits 0 even when a benchmark skips with an error; its console line says so.
  if ! SERVICE_BENCH_SHORT=1 timeout 120 "${command[@]}" --benchmark_min_time=0.01 --benchmark_color=false >"$log" 2>&1; then
    failed+=("$name (exit status)")
  elif grep -q "ERROR OCCURRED" "$log"; then
    failed+=("$name (a benchmark reported an error)")
  fi
  grep -v '^\*\*\*WARNING\*\*\*' "$log" || true
  echo "== $name took $((SECONDS - start)) s"
done
if [ "${#failed[@]}" -gt 0 ]; then
  printf 'bench-smoke: failed: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "bench-smoke: every benchmark ran (${#runs[@]} runs, $SECONDS s)"
