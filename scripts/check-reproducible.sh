#!/usr/bin/env bash
# Builds the package twice, each from its own copy of the committed sources (with other file
# times) and into a build folder of another name and depth, with no compiler cache, and checks
# that the two packages install the same files, byte for byte.
# Usage: scripts/check-reproducible.sh
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

sides=(one/jottex two/deeper/sources/jottex-copy)
builds=(build-package out/pkg)
for i in 0 1; do
  source="$work/${sides[$i]}"
  mkdir -p "$source"
  git -C "$top" archive HEAD | tar -x -C "$source"
  # The second copy's files are as new as a fresh clone's.
  [ "$i" -eq 1 ] && find "$source" -exec touch {} +
  log="$work/build-$i.log"
  CCACHE_DISABLE=1 "$source/scripts/package.sh" "$source/${builds[$i]}" >"$log" 2>&1 || {
    cat "$log"
    exit 1
  }
  deb="$(ls "$source/${builds[$i]}"/jottex_*.deb)"
  dpkg-deb -x "$deb" "$work/tree-$i"
  (cd "$work/tree-$i" && find . -type f -print0 | sort -z | xargs -0 sha256sum) >"$work/sums-$i"
done

if ! diff -u "$work/sums-0" "$work/sums-1"; then
  echo "FAIL: the two builds differ in the files above"
  exit 1
fi
program="$(grep ' ./usr/bin/jottex$' "$work/sums-0" | cut -c1-16)"
echo "reproducible: $(grep -c . "$work/sums-0") files the same, jottex $program"
