#!/usr/bin/env bash
# Installs with apt-get whatever the build, the tests and the program need and is missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config python3
    libgtest-dev libgmock-dev libbenchmark-dev libblkid-dev
    qt6-base-dev fonts-wqy-microhei
    dosfstools mtools ntfs-3g util-linux
    xvfb xauth
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
