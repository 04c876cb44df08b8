#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Idempotent: when every package is already present it installs nothing.
set -euo pipefail

packages=(
  make g++ cmake python3 python3-pytest
  g++-mingw-w64-i686 binutils-mingw-w64-i686 libz-mingw-w64-dev
  wine wine32:i386 xvfb imagemagick
  googletest libtomlplusplus-dev libcli11-dev
  default-jdk-headless junit4
  openjdk-17-jre-headless:i386 libwine-dev:i386 gcc-multilib
  wine64 libwine-dev:amd64 openjdk-17-jre-headless
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  clang osslsigncode openssl zlib1g-dev libarchive-tools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
as_root apt-get update -q
as_root apt-get install -y -q "${missing[@]}"
