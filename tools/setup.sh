#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Idempotent: when every package is already present it installs nothing.
set -euo pipefail

packages=(
  make g++ cmake python3 python3-pytest
  g++-mingw-w64-i686 binutils-mingw-w64-i686 libz-mingw-w64-dev
  wine xvfb imagemagick
  googletest libtomlplusplus-dev libcli11-dev
  default-jdk-headless junit4
  openjdk-17-jre-headless:i386 libwine-dev:i386 gcc-multilib
  wine64 libwine-dev:amd64 openjdk-17-jre-headless
  gcc-mingw-w64-x86-64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  clang osslsigncode openssl zlib1g-dev libarchive-tools
  # Real third-party programs that Debian packages as jars: the main job's
  # JFlex (with the CUP jars) and Rhino, for the tests against plain java.
  jflex rhino
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
  as_root apt-get update -q
  as_root apt-get install -y -q "${missing[@]}"
fi

# Wine's 32-bit loader only where the kernel runs 32-bit programs (some
# virtual machines' kernels have no 32-bit support). Where it cannot run,
# it must not be installed either: the `wine` command would pick it and
# fail instead of starting 64-bit programs with the 64-bit loader.
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  installed wine32:i386 || as_root apt-get install -y -q wine32:i386
elif installed wine32:i386; then
  echo "setup: this kernel cannot run 32-bit programs; removing wine32:i386"
  as_root apt-get remove -y -q wine32:i386
fi
