#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the screenshots, the fuzzers and the
# package check need (locales: the charmaps a test builds a Shift_JIS locale from; file:
# CPack's dependency computation; lintian: the check of the packages).
# Does nothing when they are all present already. Arguments name more packages to install.
set -euo pipefail
packages=(
  build-essential cmake pkg-config unzip
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  fonts-ipafont-gothic xvfb xauth desktop-file-utils
  clang libclang-rt-14-dev
  hyperfine ccache lintian file
  locales
  libcpp-httplib-dev wrk chromium
)
packages+=("$@")  # what a script needs beyond these (scripts/build-windows.sh)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
