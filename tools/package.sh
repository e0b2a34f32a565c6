#!/usr/bin/env bash
# Builds the Debian package of the tool (tessor-service-software_<version>_<arch>.deb) into build/.
#   tools/package.sh [build-folder]
# A configured build folder is reused as it is: only the installed executables and the package data
# (icons, changelog) are brought up to date, then CPack packs them. An unconfigured one is configured
# like tools/test.sh does. Progress goes to standard error; the last line on standard output is the
# package's path.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"

"$root/tools/install-deps.sh" >&2
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSERVICE_WERROR=ON >&2
fi
cmake --build "$build" -j"$(nproc)" --target package-payload >&2

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! (cd "$build" && cpack -G DEB) >"$log" 2>&1; then
  cat "$log" >&2
  echo "package: cpack failed" >&2
  exit 1
fi
cat "$log" >&2
deb="$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$log" | tail -n 1)"
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
  echo "package: cpack named no package" >&2
  exit 1
fi
echo "$deb"
