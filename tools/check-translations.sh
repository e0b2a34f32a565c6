#!/usr/bin/env bash
# Checks the translations (CI runs it; tools/update-translations.sh describes the workflow):
#   - every .ts is up to date with the sources: lupdate over a copy finds no new, changed or removed
#     text (skipped with a note when lupdate is missing);
#   - no entry is unfinished, obsolete or vanished;
#   - each translation keeps the source's placeholders (%1 … %99 and %n, each as often as the source
#     has it) and its accelerator (one single '&' where the source has one; "&&" is a literal '&');
#   - a text that counts ("(s)", or %n) is a plural entry with a form per plural of the language.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

status=0
LUPDATE="${LUPDATE:-$(command -v lupdate || true)}"
if [ -n "$LUPDATE" ]; then
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  for ts in translations/service-software_*.ts; do
    cp "$ts" "$work/$(basename "$ts")"
    LUPDATE="$LUPDATE" TS_FILES="$work/$(basename "$ts")" tools/update-translations.sh >/dev/null 2>&1
    if ! cmp -s <(grep -v '<location ' "$ts") <(grep -v '<location ' "$work/$(basename "$ts")"); then
      echo "check-translations: $ts is not up to date with the sources; run tools/update-translations.sh" \
        "and translate the new entries:"
      diff <(grep -v '<location ' "$ts") <(grep -v '<location ' "$work/$(basename "$ts")") | head -40 || true
      status=1
    fi
  done
else
  echo "check-translations: lupdate not found (Debian: qttools5-dev-tools); not checking that the .ts files are current"
fi

python3 - translations/service-software_*.ts <<'PY' || status=1
import re
import sys
import xml.etree.ElementTree as ET

PLURAL_FORMS = {"de": 2, "en": 2}
placeholder = re.compile(r"%(?:\d{1,2}|n)")


def accelerators(text):
    # Single '&' before a letter or digit that is not an XML/HTML entity; "&&" stands for a literal '&'.
    return len(re.findall(r"(?<!&)&(?!&)(?![A-Za-z]+;|#\d+;)(?=\w)", text))


def counts(text):
    found = {}
    for p in placeholder.findall(text):
        found[p] = found.get(p, 0) + 1
    return found


faults = []
for path in sys.argv[1:]:
    root = ET.parse(path).getroot()
    language = root.get("language", "").split("_")[0]
    for context in root.iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            where = f"{path}: {name}: {source!r}"
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "missing"
            if kind in ("unfinished", "obsolete", "vanished", "missing"):
                faults.append(f"{where}: {kind}")
                continue
            plural = message.get("numerus") == "yes"
            if plural:
                forms = [f.text or "" for f in translation.iter("numerusform")]
                if len(forms) != PLURAL_FORMS.get(language, len(forms)):
                    faults.append(f"{where}: {len(forms)} plural forms, {language} has {PLURAL_FORMS[language]}")
            else:
                forms = [translation.text or ""]
                if "%n" in source or "(s)" in source:
                    faults.append(f"{where}: counts something but is no plural entry (tr(text, nullptr, n))")
            for form in forms:
                if not form.strip():
                    faults.append(f"{where}: empty translation")
                    continue
                if counts(form) != counts(source):
                    faults.append(f"{where}: placeholders {counts(source)} but the translation has {counts(form)}")
                if accelerators(form) != accelerators(source):
                    faults.append(f"{where}: accelerator '&' not kept in {form!r}")

for fault in faults:
    print("check-translations: " + fault)
if faults:
    sys.exit(1)
print(f"check-translations: {len(sys.argv) - 1} file(s) checked")
PY
exit $status
