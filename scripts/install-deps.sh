#!/usr/bin/env bash
# Installs the Debian packages that building, testing and playing vey3 need.
# Idempotent: packages already present are left alone, and nothing asks a question.
set -euo pipefail

packages=(
  build-essential cmake ninja-build g++ make pkg-config
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsdl1.2-compat-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  xvfb xauth xdotool libxtst-dev imagemagick
  fonts-dejavu-core libfreetype-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq || true
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
