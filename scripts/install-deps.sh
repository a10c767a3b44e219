#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine needs to build, test and run Quilvane, then checks the
# result: a configure of a small probe project with the same find_package calls must succeed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
# Qt6Charts' CMake package needs Qt6OpenGL and Qt6OpenGLWidgets (libqt6opengl6-dev), which
# needs libGL's development files. The zip and unzip tools let the tests check that the
# program's archives open with the standard tools (and read archives those tools made).
# xdg-utils brings xdg-email, through which the program hands an archive to the desktop's mail
# program; without it sending a backup or transfer by e-mail always fails.
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libgl-dev libvulkan-dev
  libzip-dev libjpeg62-turbo-dev zip unzip xdg-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    echo "install-deps: package $p did not install" >&2
    exit 1
  fi
done
if ! command -v xdg-email >/dev/null 2>&1; then
  echo "install-deps: xdg-email is not on the PATH although xdg-utils is installed;" \
       "the program cannot hand archives to a mail program" >&2
  exit 1
fi
probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
if ! cmake -S "$here/probe" -B "$probe" -G Ninja >"$probe.log" 2>&1; then
  cat "$probe.log" >&2
  echo "install-deps: the installed packages do not satisfy the build's find_package calls" \
       "(see the CMake messages above for the package that is missing)" >&2
  rm -f "$probe.log"
  exit 1
fi
rm -f "$probe.log"
echo "install-deps: all build dependencies present"
