#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12. Safe to run again:
# packages that are already there are skipped.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config
      qt6-base-dev qt6-multimedia-dev libgl-dev
      libgtest-dev libgmock-dev libcli11-dev
      zlib1g-dev nettle-dev libboost-dev  # the checksums: CRC32, SHA-256, CRC-16
      xvfb xauth
      xdotool               # types into the window under Xvfb: the end-to-end test, the pictures
      fonts-dejavu-core fonts-noto-mono  # the fixed-pitch fonts the layout tests and the pictures use
      imagemagick           # import: scripts/screenshot.sh captures the screen with it
      dpkg-dev lintian      # the Debian package: its computed dependencies, its check
      man-db groff-base     # man --warnings reads the manual pages
      sigrok-cli            # an independent two-wire decoder for the serial EEPROM tests
      binutils              # objcopy makes Intel HEX and S-record files for the image tests
      clang libclang-rt-14-dev)  # libFuzzer and its sanitizers for the parsers' fuzz targets
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
