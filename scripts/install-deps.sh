#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need.
set -euo pipefail
PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libcurl4-openssl-dev libpugixml-dev libsqlite3-dev libsodium-dev libxlsxwriter-dev zlib1g-dev
  libssl-dev openssl libcpp-httplib-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libxml2-utils libxml2-dev
  python3-openpyxl
)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
