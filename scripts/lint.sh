#!/usr/bin/env bash
# Static checks: clang-format on every C++ source, and clang-tidy (the repository's
# .clang-tidy) on the files of src/ changed since a base commit: JOTTEX_TIDY_BASE, by default
# twenty commits back; every file when that commit is not in the history.
# Usage: scripts/lint.sh BUILD_DIR (a configured build with compile_commands.json)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: lint.sh BUILD_DIR}"
cd "$top"

git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

base="${JOTTEX_TIDY_BASE:-HEAD~20}"
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
# clang-tidy counts the warnings it hid in Qt's headers on stderr; only findings matter.
echo "$files" | xargs -P2 -n4 clang-tidy -p "$build" --quiet 2> >(grep -v "warnings generated" >&2)
