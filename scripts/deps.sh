#!/usr/bin/env bash
# Installs the Debian packages Jottex needs that this machine lacks.
# Usage: scripts/deps.sh run|test
set -euo pipefail

run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev
  fonts-comic-neue fonts-dejavu
)
test_packages=(
  xvfb openbox xdotool x11-utils unrtf
  clang libclang-rt-14-dev clang-format clang-tidy
)

packages=("${run_packages[@]}")
if [ "${1:-run}" = test ]; then
  packages+=("${test_packages[@]}")
fi

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
