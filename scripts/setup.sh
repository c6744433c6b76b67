#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again:
# it installs only what is missing.
set -euo pipefail

packages=(g++ cmake ninja-build zlib1g-dev libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core
  subversion libsvn-dev pkg-config)
if command -v clang++ >/dev/null 2>&1 || [ "${MW_WITH_CLANG:-0}" = 1 ]; then
  packages+=(clang)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
