#!/usr/bin/env bash
# Refreshes translations/*.ts from the sources and the .ui forms with Qt's lupdate, after texts were
# added, changed or removed. Then translate the new and changed entries (Qt Linguist, or by hand: an
# entry is done when its <translation> carries no type="unfinished") and run
# tools/check-translations.sh, which CI runs too.
#
# Texts that left the sources stay in the .ts as type="vanished"/"obsolete" so that their German can
# be reused for a reworded text; the check fails while any are left. Once the new entries are
# translated, drop them with:  tools/update-translations.sh --drop-obsolete
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

LUPDATE="${LUPDATE:-$(command -v lupdate || true)}"
if [ -z "$LUPDATE" ]; then
  echo "update-translations: lupdate not found (Debian: qttools5-dev-tools)" >&2
  exit 1
fi

extra=()
if [ "${1:-}" = "--drop-obsolete" ]; then
  extra+=(-no-obsolete)
fi

# The window's side (pages, dialogs, panels, jobs, the connection doctor, models and parsers whose
# messages reach the user, and the language loader) and the command line in app/.
sources=(core records options firmware measurements usb devices ui app)

# TS_FILES (space-separated) names other .ts files; tools/check-translations.sh updates a copy.
read -r -a ts_files <<<"${TS_FILES:-$(echo translations/service-software_*.ts)}"
for ts in "${ts_files[@]}"; do
  "$LUPDATE" -locations relative -I . "${extra[@]}" "${sources[@]}" -ts "$ts"
done
