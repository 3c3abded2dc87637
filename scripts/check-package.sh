#!/usr/bin/env bash
# Installs the package that scripts/package.sh made into this machine, checks that dpkg lists
# every installed file, starts the installed jottex under Xvfb until its note window maps, ends
# it as a logout does (its autostart entry must start the installed program), and removes the
# package again. Changes the machine: run it where installing is fine.
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
cleanup() {
  [ -n "$jottex_pid" ] && kill "$jottex_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -q jottex >/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "$deb" >/dev/null

status=0
listed="$(dpkg -L jottex)"
while read -r file; do
  if ! grep -qx "/usr/$file" <<<"$listed"; then
    echo "FAIL: dpkg -L jottex does not list /usr/$file"
    status=1
  fi
done < <("$top/scripts/installed-files.sh" "$(dirname "$deb")")

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
[ $status -eq 0 ] && echo "package checked: $(basename "$deb")"
exit $status
