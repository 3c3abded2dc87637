#!/usr/bin/env bash
# Installs what is missing, builds Jottex with AddressSanitizer and UBSan, checks the format and
# lints the changed sources, runs every test, then fuzzes the RTF reader for a bounded time.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-ci"
"$top/scripts/deps.sh" test

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DJOTTEX_SANITIZE=ON \
  -DJOTTEX_WERROR=ON >/dev/null
cmake --build "$build"
"$top/scripts/lint.sh" "$build"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$top/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j2

if [ -x "$top/scripts/fuzz.sh" ]; then
  "$top/scripts/fuzz.sh" "${JOTTEX_FUZZ_SECONDS:-60}"
fi
