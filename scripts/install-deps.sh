#!/usr/bin/env bash
# Installs what building, running and testing Quillet needs on a Debian machine (as root, or through
# sudo). Does nothing when everything is already there.
set -euo pipefail
packages=(cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  nlohmann-json3-dev libcli11-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth fonts-liberation2 python3 clang libclang-rt-14-dev help2man)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
