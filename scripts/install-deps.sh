#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the screenshots and the fuzzers need.
# Does nothing when they are all present already.
set -euo pipefail
packages=(
  build-essential cmake pkg-config unzip
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  fonts-ipafont-gothic xvfb xauth desktop-file-utils
  clang libclang-rt-14-dev
  hyperfine ccache
  libcpp-httplib-dev wrk chromium
)
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
