#!/usr/bin/env bash
# Installs the Debian packages Psykrona needs to build, test and run, and
# nothing when they are all there already.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  dpkg-dev file
  qt6-base-dev qt6-svg-dev libqt6svg6-dev
  libxml2-dev libjpeg62-turbo-dev libpng-dev
  libxml2-utils time
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation
  qt6-translations-l10n
  xvfb xauth
  locales
  clang libclang-rt-14-dev clang-tidy
  g++-mingw-w64-x86-64-posix
)

missing=()
for p in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
# node and npm run the reference implementation of the ASHRAE formulas in
# the tests; any node on the path will do.
if ! command -v node > /dev/null || ! command -v npm > /dev/null; then
  missing+=(nodejs npm)
fi
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [[ $(id -u) -ne 0 ]]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
