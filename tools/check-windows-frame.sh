#!/usr/bin/env bash
# Type-checks the Windows-only frame handling of the main window with the mingw-w64 cross compiler
# against the real Windows headers, so that code we cannot run here is at least compiled.
# Usage: tools/check-windows-frame.sh  (exit code 0 when it compiles cleanly)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cxx="${MINGW_CXX:-x86_64-w64-mingw32-g++}"
if ! command -v "$cxx" >/dev/null 2>&1; then
    echo "check-windows-frame: $cxx not found (Debian package g++-mingw-w64-x86-64)" >&2
    exit 2
fi

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

for source in ui/windowsframe.cpp ui/framehittest.cpp; do
    "$cxx" -std=c++17 -Wall -Wextra -Werror -DUNICODE -D_UNICODE -I"$root" \
        -c "$root/$source" -o "$out/$(basename "$source" .cpp).o"
done
# Link into a DLL as well, so that a misspelt or missing Windows API shows up as an unresolved symbol.
"$cxx" -shared -o "$out/frame.dll" "$out"/*.o -ldwmapi -luser32
echo "check-windows-frame: ok"
