#!/usr/bin/env bash
# Checks the package that scripts/package.sh made: lintian finds no error or warning, the sound
# library is only recommended, and, installed into this machine, dpkg lists every
# installed file, the AppStream data validates, and the installed jottex starts under Xvfb until
# its note window maps and ends as a logout does (its autostart entry must start the installed
# program). The package is purged again. Changes the machine: run it where installing is fine.
# Usage: scripts/check-package.sh [PACKAGE.deb]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
deb="${1:-$(ls "$top"/build-package/jottex_*.deb | tail -n 1)}"
deb="$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

work="$(mktemp -d)"
xvfb_pid=""
jottex_pid=""
installed=""
purge() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -q jottex >/dev/null
  installed=""
}
cleanup() {
  [ -n "$jottex_pid" ] && kill "$jottex_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$installed" ] && { purge || true; }
  rm -rf "$work"
}
trap cleanup EXIT

status=0
# Informational tags are left to the reader; an error or a warning fails.
if ! lintian --fail-on error,warning "$deb" 2>/dev/null; then
  echo "FAIL: lintian"
  status=1
fi
# The programs run without the sound module, so what only it links is not required. (Qt Network
# is required: the program's own local socket needs it.)
depends="$(dpkg-deb -f "$deb" Depends)"
recommends="$(dpkg-deb -f "$deb" Recommends)"
names() { tr ',' '\n' | sed 's/^ *//; s/[ (].*//'; }
for library in libqt6multimedia6; do
  if names <<<"$depends" | grep -qx "$library" ||
    ! names <<<"$recommends" | grep -qx "$library"; then
    echo "FAIL: $library is not only recommended: Depends: $depends; Recommends: $recommends"
    status=1
  fi
done

installed=yes
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "$deb" >/dev/null

listed="$(dpkg -L jottex)"
while read -r file; do
  if ! grep -qx "/usr/$file" <<<"$listed"; then
    echo "FAIL: dpkg -L jottex does not list /usr/$file"
    status=1
  fi
done < <("$top/scripts/installed-files.sh" "$(dirname "$deb")")

appstreamcli validate --no-net /usr/share/metainfo/org.example.jottex.metainfo.xml >/dev/null || {
  echo "FAIL: appstreamcli validate"
  status=1
}

# A display of our own; -displayfd tells which number was free.
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
display=":$(head -n 1 "$work/display")"

mkdir -p "$work/data" "$work/config"
DISPLAY="$display" QT_QPA_PLATFORM=xcb XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" \
  /usr/bin/jottex &
jottex_pid=$!
# The launcher's StartupWMClass names the window class that the window must carry.
class="$(sed -n 's/^StartupWMClass=//p' /usr/share/applications/jottex.desktop)"
mapped=""
for _ in $(seq 200); do
  for id in $(DISPLAY="$display" xwininfo -root -tree 2>/dev/null |
    awk -v class="(\"jottex\" \"$class\")" 'index($0, class) { print $1 }'); do
    if DISPLAY="$display" xwininfo -id "$id" | grep -q IsViewable; then
      mapped=yes
    fi
  done
  [ -n "$mapped" ] && break
  sleep 0.1
done
if [ -z "$mapped" ]; then
  echo "FAIL: no window of class $class from the installed jottex within 20 s"
  status=1
fi

# The session ends: the waiting note's autostart entry names the installed program.
kill -TERM "$jottex_pid"
wait "$jottex_pid" || true
jottex_pid=""
autostart="$work/config/autostart/jottex.desktop"
if ! grep -qx "Exec=/usr/bin/jottex" "$autostart" 2>/dev/null; then
  echo "FAIL: the autostart entry does not start /usr/bin/jottex: $(grep '^Exec=' "$autostart" 2>&1)"
  status=1
fi

# Purged, the package leaves nothing behind, not even the "rc" state of kept configuration.
purge
if dpkg-query -W -f='${Status}' jottex 2>/dev/null | grep -q .; then
  echo "FAIL: after the purge dpkg still knows jottex: $(dpkg-query -W -f='${Status}' jottex)"
  status=1
fi
[ $status -eq 0 ] && echo "package checked: $(basename "$deb")"
exit $status
