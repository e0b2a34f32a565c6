#!/usr/bin/env bash
# Builds the Debian package (tools/package.sh, reusing build/) and checks it the way a user meets it:
# what it contains and what it must not, the desktop entry and metainfo validators, lintian, then an
# install (the executables answer without a display, the udev rule is in place) and a purge that
# leaves none of its files behind. Installing needs root; sudo is used otherwise. Safe to run again:
# it starts by purging a copy left installed by an earlier run.
#   tools/package-test.sh [build-folder]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if ! command -v dpkg-deb >/dev/null 2>&1; then
  echo "package-test: skipped: dpkg-deb is missing (not a Debian system), no package can be built or checked"
  exit 0
fi

app_id=example.tessor.ServiceSoftware
rule=/usr/lib/udev/rules.d/70-tessor-instruments.rules
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

fail() {
  echo "package-test: FAIL: $*" >&2
  exit 1
}

deb="$("$root/tools/package.sh" "$@" | tail -n 1)"
name="$(dpkg-deb -f "$deb" Package)"
version="$(dpkg-deb -f "$deb" Version)"
echo "package-test: checking $deb ($name $version)"

work="$(mktemp -d)"
installed_here=0
cleanup() {
  if [ "$installed_here" = 1 ] && dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q installed; then
    DEBIAN_FRONTEND=noninteractive $SUDO dpkg --purge "$name" >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# --- relations -------------------------------------------------------------------------------------
# The SQL drivers are plugins, invisible to dpkg-shlibdeps: named by hand.
dpkg-deb -f "$deb" Depends | grep -qw libqt5sql5-sqlite || fail "Depends lacks libqt5sql5-sqlite"
dpkg-deb -f "$deb" Recommends | grep -qw libqt5sql5-psql || fail "Recommends lacks libqt5sql5-psql"

# --- contents --------------------------------------------------------------------------------------
dpkg-deb -c "$deb" | tee "$work/listing"
# Paths without the leading "." and without the directory entries.
awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' "$work/listing" >"$work/files"

expected=(
  /usr/bin/service-software
  "$rule"
  "/usr/share/applications/$app_id.desktop"
  "/usr/share/metainfo/$app_id.metainfo.xml"
  "/usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  "/usr/share/doc/$name/changelog.gz"
  "/usr/share/doc/$name/copyright"
)
for size in 16 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for file in "${expected[@]}"; do
  grep -qxF "$file" "$work/files" || fail "$file is not in the package"
done
# The simulator, tests, benchmarks and the static libraries stay in the build.
if grep -E '/service-sim$|\.a$|_test$|_bench|/firmware-packer$|/artwork-jpeg$' "$work/files"; then
  fail "the package contains files of the build that are not the product (above)"
fi

dpkg-deb -x "$deb" "$work/root"
for size in 16 24 32 48 64 128 256; do
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  dims="$(od -An -tu1 -j16 -N8 "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" |
    awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')"
  [ "$dims" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $dims"
done
zcat "$work/root/usr/share/doc/$name/changelog.gz" | head -n 1 | grep -qF "$name ($version)" ||
  fail "the changelog's latest entry is not $name ($version)"

# --- validators and lintian ------------------------------------------------------------------------
desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop" ||
  fail "desktop-file-validate rejects the desktop entry"
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "appstreamcli rejects the metainfo"
else
  echo "package-test: appstreamcli is missing, metainfo not validated"
fi
# Errors and warnings fail; the warnings accepted on purpose are overridden, with their reasons, in
# packaging/lintian-overrides (installed with the package, where lintian finds it).
lintian --fail-on error,warning --info "$deb" || fail "lintian (above)"

# --- install ---------------------------------------------------------------------------------------
if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q installed; then
  echo "package-test: purging $name left installed by an earlier run"
  DEBIAN_FRONTEND=noninteractive $SUDO dpkg --purge "$name"
fi
installed_here=1
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "$(realpath "$deb")" 2>&1 | tee "$work/install.log"
dpkg-query -W -f='${Status}' "$name" | grep -q "install ok installed" || fail "$name did not install"
# Here (a container, as a rule) the reload is skipped, and the install says so.
if ! command -v udevadm >/dev/null 2>&1 || [ ! -e /run/udev/control ]; then
  grep -q "udev rules not reloaded" "$work/install.log" || fail "postinst did not say that it skipped the udev reload"
fi

# No display and the X11 platform asked for: only an answer that needs no GUI can succeed.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
out="$("${nodisplay[@]}" /usr/bin/service-software --version)" || fail "service-software --version failed"
echo "$out"
[ "${out##* }" = "$version" ] || fail "service-software --version says '$out', the package is $version"
if grep -qxF /usr/bin/service-cli "$work/files"; then
  out="$("${nodisplay[@]}" /usr/bin/service-cli --version)" || fail "service-cli --version failed"
  echo "$out"
  grep -qF "$version" <<<"$out" || fail "service-cli --version says '$out', the package is $version"
fi
[ -f "$rule" ] || fail "$rule is not installed"
if grep -q 0666 "$rule"; then fail "$rule makes the instruments world-writable"; fi
grep -q 'TAG+="uaccess"' "$rule" || fail "$rule does not tag the instruments for the seat user"
cmp -s "$rule" <("${nodisplay[@]}" /usr/bin/service-software --udev-rule) ||
  fail "service-software --udev-rule differs from the installed $rule"

# --- purge -----------------------------------------------------------------------------------------
DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -q "$name"
installed_here=0
if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q installed; then fail "$name is still installed"; fi
left=0
while read -r file; do
  if [ -e "$file" ] || [ -L "$file" ]; then
    echo "left behind: $file" >&2
    left=1
  fi
done <"$work/files"
if [ -e "/usr/share/doc/$name" ]; then
  echo "left behind: /usr/share/doc/$name" >&2
  left=1
fi
[ "$left" = 0 ] || fail "purging $name left files behind"

echo "package-test: $name $version passed"
