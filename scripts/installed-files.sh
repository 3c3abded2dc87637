#!/usr/bin/env bash
# Prints, one a line, the files an installation of Jottex holds, relative to its prefix.
# The install test and the package check both read this list. The modules' directory is the
# library directory that BUILD_DIR was configured with (default: the package build), and the
# Debian files only where it was configured as the package.
# Usage: installed-files.sh [BUILD_DIR]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$top/build-package}"
libdir="$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)"
# Listed all the same, so that a check against this list fails rather than passes on too few.
[ -n "$libdir" ] || { echo "installed-files.sh: $build is not configured" >&2; libdir=LIBDIR; }
echo bin/jottex
echo bin/jottex-cli
echo "$libdir/jottex/jottex-sound.so"
echo "$libdir/jottex/jottex-http.so"
echo share/applications/jottex.desktop
echo share/icons/hicolor/scalable/apps/jottex.svg
for size in 16 22 24 32 48 64 128 256; do
  echo "share/icons/hicolor/${size}x${size}/apps/jottex.png"
done
echo share/mime/packages/jottex.xml
echo share/metainfo/org.example.jottex.metainfo.xml
echo share/jottex/about.html
echo share/doc/jottex/about.html
echo share/jottex/translations/jottex_de.qm
echo share/doc/jottex/copyright
if grep -q '^JOTTEX_DEBIAN_PACKAGE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  echo share/doc/jottex/changelog.Debian.gz
  echo share/lintian/overrides/jottex
fi
echo share/man/man1/jottex.1.gz
echo share/man/man1/jottex-cli.1.gz
