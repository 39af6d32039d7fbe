#!/usr/bin/env bash
# Installs every Debian package the build, the client and the tests need.
# Idempotent: packages already present are skipped, and the package lists are
# refreshed only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qtbase5-dev qtwebengine5-dev libqt5webchannel5-dev libqt5x11extras5-dev
  qtwebengine5-dev-tools
  libpugixml-dev liblzma-dev libsodium-dev
  libx11-dev libxtst-dev libxcb1-dev
  xvfb xauth x11-utils
  lldb
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
