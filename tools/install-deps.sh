#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Pixelnab need.
# As root it installs them; otherwise through sudo when that works without a
# password; failing both it prints the exact command to run.
set -u
packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools cmake make wine wine64 fonts-wine xvfb xserver-xephyr xdotool
          imagemagick googletest fp-utils libchm-bin xclip nsis zip unzip x11-utils python3
          clang lld libclang-rt-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  sudo apt-get update -q && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
else
  echo "Please install the missing packages first:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
