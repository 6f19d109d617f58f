#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs that are missing, and says which.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev
  libgtest-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsdl2-dev libxcb1-dev libglib2.0-dev xdg-utils
  xvfb xdotool x11-utils openbox imagemagick
  libcli11-dev nlohmann-json3-dev
  desktop-file-utils shared-mime-info dpkg-dev file
  libqt6svg6 appstream lintian
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all needed packages are installed"
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "setup: installing packages needs root; run this as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
