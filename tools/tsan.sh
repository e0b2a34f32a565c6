#!/usr/bin/env bash
# Builds the tests under ThreadSanitizer in build-tsan/ and runs them.
#   tools/tsan.sh [LABEL_REGEX] [CTEST_ARGUMENTS...]
# LABEL_REGEX picks the tests by ctest label (default: the threaded layers, wire|devices|cli|records); only the
# test folders carrying such a label are built. The build gives every test its suppressions and Qt hooks
# (tests/CMakeLists.txt), so a plain ctest in build-tsan/ afterwards runs the same way.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-tsan"
labels="${1:-wire|devices|cli|records}"
[ $# -gt 0 ] && shift

# The sanitizer's advice is -O1; line tables are all its stack traces need.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSERVICE_WERROR=ON \
  -DSERVICE_TSAN=ON -DSERVICE_BENCH=OFF -DSERVICE_FUZZ=OFF \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"

# The test executables whose labels match (service_add_test(<target> LABELS <labels...> ...) in tests/).
targets=()
while read -r target target_labels; do
  if tr ' ' '\n' <<<"$target_labels" | grep -qE "$labels"; then
    targets+=("$target")
  fi
done < <(grep -hoE 'service_add_test\([a-z_]+ LABELS [a-z ]+' "$root"/tests/*/CMakeLists.txt |
  sed -E 's/service_add_test\(([a-z_]+) LABELS /\1 /')
if [ ${#targets[@]} -eq 0 ]; then
  echo "tsan: no test carries a label matching '$labels'" >&2
  exit 1
fi
cmake --build "$build" -j"${TSAN_BUILD_JOBS:-$(nproc)}" --target "${targets[@]}"

# Two jobs: the emulated USB tests poll, and the sanitizer already makes them several times slower.
"$root/tools/with-postgres.sh" ctest --test-dir "$build" --output-on-failure -j2 -L "$labels" "$@"
