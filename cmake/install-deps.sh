#!/bin/bash
# Installs what the builds and tests need on Debian 12, without prompts, and
# only when something is missing.
set -e
PACKAGES=(
  cmake ninja-build g++ clang ccache pkg-config python3 clang-format
  libgtest-dev googletest libbenchmark-dev libgmp-dev libmuparser-dev libmimalloc-dev
  libfmt-dev libintelrdfpmath-dev nlohmann-json3-dev libsqlite3-dev
  libclang-rt-14-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
  wine wine64 xvfb xauth x11-utils x11-apps imagemagick
  nsis p7zip-full file
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=; [ "$(id -u)" = 0 ] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
