#!/usr/bin/env bash
# Installs everything Corvane needs to build, run and test on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
PKGS=(
  build-essential cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-serialport-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-qpa-plugins qt6-translations-l10n
  libqt6svg6
  libgl-dev libegl-dev libgl1-mesa-dri libglx-mesa0 mesa-utils
  libudev-dev udev
  liblua5.4-dev libqscintilla2-qt6-dev
  fonts-noto-cjk fonts-dejavu-core
  socat lrzsz
  xvfb xauth x11-utils imagemagick clang libclang-rt-14-dev
  help2man dpkg-dev appstream desktop-file-utils
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
