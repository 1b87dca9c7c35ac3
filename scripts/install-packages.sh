#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need. Idempotent and quick when
# everything is already present, so every make target can call it first.
set -euo pipefail

packages=(
  cmake make ninja-build python3 openssl zip unzip p7zip-full curl dpkg-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev libstb-dev googletest
  wine wine64 xvfb xauth x11-utils fonts-wqy-microhei imagemagick xdotool librsvg2-bin
  autoconf automake libtool pkg-config
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "install-packages: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
