#!/usr/bin/env bash
# Installs the Debian packages Jottex needs that this machine lacks.
# Usage: scripts/deps.sh run|test|package
set -euo pipefail

run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-multimedia-dev libgl-dev
  fonts-comic-neue fonts-dejavu
  libenchant-2-dev hunspell-en-us
  qt6-l10n-tools
)
test_packages=(
  xvfb openbox xdotool x11-utils xcompmgr tint2 unrtf lld
  clang libclang-rt-14-dev clang-format clang-tidy
  desktop-file-utils shared-mime-info xdg-utils libglib2.0-bin
  poppler-utils
  libsm-dev
  # the notes folder's end-to-end test carries it between two Syncthing peers
  syncthing
)
# cpack's DEB generator finds the runtime dependencies with dpkg-shlibdeps and file; the package
# check runs lintian and validates the AppStream data.
package_packages=(dpkg-dev file xvfb x11-utils lintian appstream desktop-file-utils)

packages=("${run_packages[@]}")
case "${1:-run}" in
  test) packages+=("${test_packages[@]}") ;;
  package) packages+=("${package_packages[@]}") ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
