#!/usr/bin/env bash
# Installs every Debian package the build, the game and the tests need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git python3
  libsdl2-dev libopenal-dev libepoxy-dev libstb-dev libassimp-dev libmeshoptimizer-dev libfreetype-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxtst-dev
  clang libclang-rt-14-dev
  libgl1-mesa-dri xvfb xauth x11-utils fonts-dejavu-core
  # The window library draws its message boxes in the X server's own
  # fonts; without them a box cannot open and its text goes only to the
  # terminal.
  xfonts-base
  # The install and package tests: the validators of the desktop entry and
  # the AppStream description, and a fresh Debian root to install into.
  desktop-file-utils appstream debootstrap dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
