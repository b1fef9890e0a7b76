#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Varnak needs.
set -eu
packages=(
  build-essential cmake pkg-config
  libgtkmm-2.4-dev libarchive-dev
  libgtest-dev googletest libbenchmark-dev
  fonts-dejavu-core unicode-data
  xvfb xdotool x11-apps imagemagick xclip
  less vim ncurses-bin desktop-file-utils
  tmux htop vttest
  zip unzip 7zip p7zip-full arj lhasa unar bzip2 gzip tar
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
