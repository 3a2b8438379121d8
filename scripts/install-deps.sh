#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, skipping what is
# there already. Needs root (or sudo).
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format googletest
          libbenchmark-dev mingw-w64 wine wine64 xvfb socat imagemagick x11-apps
          locales python3 librsvg2-bin fonts-wine fonts-wqy-microhei
          fonts-arphic-uming
          nsis x11-utils
          libserialport-dev pkg-config
          help2man lintian dpkg-dev file man-db bsdextrautils
          inkscape python3-lxml python3-numpy python3-cssselect
          strace)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
