#!/usr/bin/env bash
# Installs what is missing (Debian packages), builds everything and prepares
# the bundled postal data in demo/. Safe to run again.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

# The build's libraries, the display for the window tests, and what the
# installation and package tests use (dpkg-dev and file for cpack's
# dependency list, desktop-file-utils, man-db, lintian), libcurl for yubin
# update's downloads.
packages=(g++ cmake make unzip libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-translations-l10n libxcb1-dev libpcre2-dev libre2-dev libarchive-dev
          zlib1g-dev fonts-noto-cjk fonts-ipafont-gothic xvfb openbox xdotool
          dpkg-dev file desktop-file-utils man-db lintian libncurses-dev tmux
          libcurl4-openssl-dev ca-certificates)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

bash scripts/prepare-data.sh
