#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when missing.
# This is the one list of packages of the project.
set -euo pipefail
PACKAGES=(
  cmake make g++ pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev fontconfig fonts-dejavu-core
  libpng-dev libpugixml-dev
  libsdl2-dev
)
# Extra packages for the CI checks: the fuzzer toolchain and a virtual display.
if [ "${1:-}" = "--ci" ]; then
  PACKAGES+=(clang-14 libclang-rt-14-dev xvfb xauth xdotool)
fi
missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
