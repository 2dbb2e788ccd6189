#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12 (run as root).
set -euo pipefail

# binutils: readelf for the RUNPATH test; dpkg-dev and file: dpkg-shlibdeps and CPack's package build.
# libglib2.0-dev: GIO, which names the desktop's certificate viewer; qt6-translations-l10n: Qt's
# own texts in Chinese.
# libp11-kit-dev and p11-kit: the token-backed key's PKCS#11 access; softhsm2: the token of its tests.
# libqpdf-dev, libgif-dev and zlib1g-dev: reading the PDF a seal goes on, the seal's picture and the
# appearance's streams; ghostscript, qpdf and poppler-utils: the stamping tests' producers and checkers.
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libssl-dev libgtest-dev libgmock-dev
          libglib2.0-dev qt6-translations-l10n fonts-noto-cjk clang clang-format libclang-rt-14-dev openssl
          binutils dpkg-dev file libp11-kit-dev p11-kit softhsm2
          libqpdf-dev libgif-dev zlib1g-dev ghostscript qpdf poppler-utils)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
