#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again:
# it installs only what is missing.
set -euo pipefail

# install_missing LABEL APT-OPTIONS PACKAGE...: installs those not installed yet.
install_missing() {
  local label="$1" options="$2"
  shift 2
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ "${#missing[@]}" -gt 0 ] || return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "$label: ${missing[*]}"
  $sudo apt-get update -qq
  # shellcheck disable=SC2086 # the options are separate words
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $options "${missing[@]}"
}

packages=(g++ cmake ninja-build zlib1g-dev libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core
  subversion libsvn-dev pkg-config dpkg-dev lintian
  nginx-light libnginx-mod-http-dav-ext)
packages+=(libsquish-dev) # the texture benchmark's reference encoders
if command -v clang++ >/dev/null 2>&1 || [ "${MW_WITH_CLANG:-0}" = 1 ]; then
  packages+=(clang)
fi
install_missing "Installing" "" "${packages[@]}"

# The Windows cross build and its tests under Wine (scripts/test-windows.sh):
# the MinGW-w64 compilers with the posix thread model, zlib and GoogleTest's
# sources for them, and wine64. Without recommended packages: Wine's fonts,
# sound and desktop integration are of no use to console programs.
if [ "${MW_SKIP_WINDOWS:-0}" != 1 ]; then
  install_missing "Installing for the Windows build" "--no-install-recommends" \
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine64
fi
