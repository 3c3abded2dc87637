#!/usr/bin/env bash
# Installs what is missing, builds Jottex and starts it; arguments go to the program.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh" run
cmake -S "$top" -B "$top/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DJOTTEX_TESTS=OFF -DJOTTEX_BENCH=OFF >/dev/null
cmake --build "$top/build-release" --target jottex jottex-cli
exec "$top/build-release/src/jottex" "$@"
