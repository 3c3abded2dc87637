#!/usr/bin/env bash
# Brings the translations up to date with the texts in src/: new texts come in unfinished,
# texts no longer used go. Translate the unfinished ones afterwards (Qt Linguist, or by hand);
# the tests name every message still unfinished.
# Usage: scripts/update-translations.sh [TS_FILE...]   (default: every translations/jottex_*.ts)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"

lupdate=""
for candidate in /usr/lib/qt6/bin/lupdate "$(command -v lupdate-qt6 || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then
    lupdate="$candidate"
    break
  fi
done
if [ -z "$lupdate" ]; then
  echo "update-translations.sh: lupdate not found: install qt6-l10n-tools" >&2
  exit 1
fi

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  files=("$top"/translations/jottex_*.ts)
fi
# Without locations, so a moved line leaves the files alone; -I lets lupdate see the classes the
# sources name, so that tr() lands in its class's context.
for ts in "${files[@]}"; do
  "$lupdate" -silent -I "$top/src" "$top/src" -ts "$ts" -no-obsolete -locations none \
    -source-language en
done
