#!/usr/bin/env bash
# Static checks: clang-format on every C++ source, and clang-tidy (the repository's
# .clang-tidy) on the files of src/ changed since a base commit: JOTTEX_TIDY_BASE, by default the
# commit before the last landing (the first parent of the newest merge on the first-parent line,
# so a merge is checked whole and so is what was committed after it), or the parent of HEAD in a
# history without merges; every file when there is no such commit.
# Usage: scripts/lint.sh BUILD_DIR (a configured build with compile_commands.json)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: lint.sh BUILD_DIR}"
cd "$top"

git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

landing="$(git rev-list --first-parent --merges -n 1 HEAD 2>/dev/null || true)"
base="${JOTTEX_TIDY_BASE:-${landing:-HEAD}^1}"
if git rev-parse -q --verify "$base^{commit}" >/dev/null; then
  files=$(git diff --name-only --diff-filter=d "$base" -- 'src/*.cpp')
else
  files=$(git ls-files 'src/*.cpp')
fi
if [ -z "$files" ]; then
  echo "clang-tidy: no changed sources"
  exit 0
fi
echo "clang-tidy on $(echo "$files" | wc -l) changed sources"
# The build's precompiled headers are GCC's; clang reads the headers themselves instead.
database="$(mktemp -d)"
trap 'rm -rf "$database"' EXIT
sed -E 's# -Winvalid-pch -include [^ ]*/cmake_pch\.hxx##g' "$build/compile_commands.json" \
  >"$database/compile_commands.json"
# clang-tidy counts the warnings it hid in Qt's headers on stderr; only findings matter.
echo "$files" | xargs -P2 -n4 clang-tidy -p "$database" --quiet 2> >(grep -v "warnings generated" >&2)
