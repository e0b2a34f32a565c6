#!/usr/bin/env bash
# Builds every libFuzzer harness under tests/fuzz the way the README says and runs each one briefly on
# its corpus, so that the harnesses keep building and their corpora keep passing.
#   tools/fuzz-smoke.sh [seconds per harness, default 20]
# New inputs a run finds go to a scratch folder, never into the corpus in the tree; an input that fails a
# harness is kept in build-fuzz/ (named after the harness) rather than in the current folder.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-20}"
build="$root/build-fuzz"

if ! command -v clang++ >/dev/null; then
  echo "fuzz-smoke: clang++ is missing (tools/install-deps.sh installs it)" >&2
  exit 1
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSERVICE_FUZZ=ON -DSERVICE_TESTS=OFF -DSERVICE_BENCH=OFF >/dev/null

harnesses=()
for dir in "$root"/tests/fuzz/*/; do
  name="$(basename "$dir")"
  [ -f "$dir/CMakeLists.txt" ] || continue
  harnesses+=("${name}_fuzzer")
done
cmake --build "$build" -j"$(nproc)" --target "${harnesses[@]}"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for harness in "${harnesses[@]}"; do
  name="${harness%_fuzzer}"
  mkdir -p "$scratch/$name"
  echo "== $harness: ${seconds} s on tests/fuzz/$name/corpus"
  "$build/tests/fuzz/$name/$harness" "$scratch/$name" "$root/tests/fuzz/$name/corpus" \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/$name-" 2>"$scratch/$name.log" || {
    tail -n 60 "$scratch/$name.log" >&2
    echo "fuzz-smoke: $harness failed" >&2
    exit 1
  }
  grep -E "stat::number_of_executed_units|stat::average_exec_per_sec" "$scratch/$name.log" || true
done
echo "fuzz-smoke: every harness built and ran"
