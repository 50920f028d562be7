#!/usr/bin/env bash
# Installs every Debian package that building, running, simulating and testing Velkamo needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-connectivity-dev qt6-5compat-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
  libqt6svg6 qt6-image-formats-plugins qt6-qpa-plugins
  libcpp-httplib-dev libssl-dev
  qtkeychain-qt6-dev gnome-keyring
  librsvg2-bin
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-tools
  pipewire pipewire-bin gstreamer1.0-pipewire
  ffmpeg
  xvfb xauth x11-apps imagemagick fonts-noto-cjk fonts-dejavu-core
  iproute2 util-linux e2fsprogs curl
  libprotobuf-dev protobuf-compiler
  dbus python3-dbusmock
  dpkg-dev desktop-file-utils appstream
  clang libclang-rt-14-dev
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  case "$p" in *-) continue ;; esac
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
echo "setup: all packages present"
