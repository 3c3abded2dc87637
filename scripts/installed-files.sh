#!/usr/bin/env bash
# Prints, one a line, the files an installation of Jottex holds, relative to its prefix.
# The install test and the package check both read this list.
echo bin/jottex
echo bin/jottex-cli
echo share/applications/jottex.desktop
echo share/icons/hicolor/scalable/apps/jottex.svg
for size in 16 22 24 32 48 64 128 256; do
  echo "share/icons/hicolor/${size}x${size}/apps/jottex.png"
done
echo share/mime/packages/jottex.xml
echo share/doc/jottex/about.html
echo share/man/man1/jottex.1
echo share/man/man1/jottex-cli.1
