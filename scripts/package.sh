#!/usr/bin/env bash
# Builds Jottex for release and makes the Debian package BUILD_DIR/jottex_<version>-1_amd64.deb
# (BUILD_DIR is build-package unless given). Install it with:
#   apt-get install ./build-package/jottex_*.deb
# Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$top/build-package}")"
"$top/scripts/deps.sh" package
# The newest changelog entry's date stands for "now" wherever the build would record a time (the
# resource compiler records each file's, cpack each packaged file's), so a checkout made at
# another moment builds the same package.
changed="$(sed -n 's/^ -- .*>  //p' "$top/resources/debian/changelog.in" | head -n 1)"
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(date -d "$changed" +%s)}"

# Configured for /usr, so the modules go to Debian's folder for a package's private libraries
# (/usr/lib/<triplet>/jottex), which no library search looks into.
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DJOTTEX_TESTS=OFF -DJOTTEX_BENCH=OFF -DJOTTEX_DEBIAN_PACKAGE=ON >/dev/null
cmake --build "$build"
rm -f "$build"/jottex_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/jottex_*.deb
