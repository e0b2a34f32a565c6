#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking, fuzzing and packaging need.
# Only missing packages are installed, so running it again costs a few seconds.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config git ccache
  qtbase5-dev qtbase5-dev-tools qtpositioning5-dev libqt5svg5-dev
  # the service records: Qt's SQLite and PostgreSQL drivers, and a server for tools/with-postgres.sh
  libqt5sql5-sqlite libqt5sql5-psql postgresql
  libusb-1.0-0-dev libspdlog-dev libfmt-dev zlib1g-dev libzip-dev
  # translations: lupdate/lrelease and their CMake macros, Qt's own German texts, the check script
  qttools5-dev-tools qttools5-dev qttranslations5-l10n python3
  # tests, benchmarks, fuzzers
  libgtest-dev libgmock-dev libbenchmark-dev stress-ng
  umockdev libumockdev-dev unzip
  clang libclang-rt-14-dev clang-format
  # artwork and end-to-end checks
  librsvg2-bin xvfb xauth gdal-bin gpsbabel libxml2-utils
  # the Debian package: dpkg-shlibdeps, lintian, the desktop entry and metainfo validators
  dpkg-dev lintian desktop-file-utils appstream
  # Windows cross-compile of the frame code
  g++-mingw-w64-x86-64
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
