#!/usr/bin/env bash
# Builds Jottex for release and makes the Debian package build-package/jottex_<version>_amd64.deb.
# Install it with: apt-get install ./build-package/jottex_*.deb
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-package"
"$top/scripts/deps.sh" package

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DJOTTEX_TESTS=OFF \
  -DJOTTEX_BENCH=OFF >/dev/null
cmake --build "$build"
rm -f "$build"/jottex_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/jottex_*.deb
