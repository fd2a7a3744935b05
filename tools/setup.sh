#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine.
# Quick and silent when everything is already present.
set -euo pipefail

packages=(
  cmake make g++ googletest libgtest-dev libbenchmark-dev
  mingw-w64 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 xvfb xauth
  clang llvm libclang-rt-dev valgrind
  espeak-ng sox
  libasound2:i386 libasound2-plugins:i386 alsa-utils
  locales fonts-ipafont-gothic fonts-wine
  x11-apps imagemagick
  python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Japanese session for the localised dialog tests.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
