#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop reads from it: every file
# is there, the launcher and the AppStream data validate, the MIME database builds, the man pages
# format, and note files get the note type by name and by content.
# Usage: desktop_integration.sh SOURCE_DIR BUILD_DIR CMAKE
set -euo pipefail
source_dir="$1"
build_dir="$2"
cmake="$3"

missing=()
# xdg-mime asks gio when the desktop is GNOME, which reads the shared MIME database we build.
for tool in desktop-file-validate update-mime-database xdg-mime gio; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIP: missing ${missing[*]} (scripts/deps.sh test installs them)"
  exit 77
fi

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build_dir" --prefix "$prefix" >/dev/null

status=0
# An install into a prefix of one's own builds that prefix's MIME database itself.
if ! grep -q '^JOTTEX_DEBIAN_PACKAGE:BOOL=ON' "$build_dir/CMakeCache.txt" &&
  ! grep -qs 'application/x-jottex-note' "$prefix/share/mime/types"; then
  echo "FAIL: the install left $prefix/share/mime without the note type"
  status=1
fi
while read -r file; do
  if [ ! -s "$prefix/$file" ]; then
    echo "FAIL: not installed: $file"
    status=1
  fi
done < <("$source_dir/scripts/installed-files.sh" "$build_dir")

desktop-file-validate "$prefix/share/applications/jottex.desktop" || status=1
# It reports a malformed type on stderr but still exits 0, so any complaint fails.
complaints="$(XDG_DATA_DIRS="$prefix/share:/usr/share" update-mime-database "$prefix/share/mime" 2>&1)" ||
  status=1
if [ -n "$complaints" ]; then
  echo "FAIL: update-mime-database: $complaints"
  status=1
fi

# The man pages format without a warning, where groff is there to say.
if command -v groff >/dev/null; then
  for page in "$prefix"/share/man/man1/jottex*.1.gz; do
    warnings="$(zcat "$page" | groff -man -ww -z 2>&1)"
    if [ -n "$warnings" ]; then
      echo "FAIL: $(basename "$page"): $warnings"
      status=1
    fi
  done
fi

# The AppStream data, where appstreamcli is there to say (scripts/package.sh installs it).
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix"/share/metainfo/*.metainfo.xml >"$prefix/appstream" 2>&1 || {
    echo "FAIL: AppStream data:"
    cat "$prefix/appstream"
    status=1
  }
fi

notes="$prefix/notes"
mkdir -p "$notes"
printf '<?xml version="1.0" standalone="yes"?>\r\n<NOTES version="4.4.0.9">\r\n</NOTES>\r\n' \
  >"$notes/some.not"
# Without the name, the root element alone tells the type.
cp "$notes/some.not" "$notes/no-extension"
for file in "$notes/some.not" "$notes/no-extension"; do
  type="$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_HOME="$prefix/share" \
    XDG_DATA_DIRS="$prefix/share:/usr/share" xdg-mime query filetype "$file")"
  if [ "$type" != application/x-jottex-note ]; then
    echo "FAIL: $(basename "$file") is $type"
    status=1
  fi
done
exit $status
