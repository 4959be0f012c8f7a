#!/usr/bin/env bash
# Installs, with apt-get, only the Debian 12 packages that are missing.
# Usage: scripts/install-deps.sh build|test
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libcurl4-openssl-dev libxxhash-dev)
if [ "${1:-build}" = test ]; then
  # The test command caches compiler output between its two builds and between runs.
  packages+=(ccache)
fi
# The window: wxWidgets on GTK 3; dpkg-dev and file let `cpack -G DEB` find the
# package's library dependencies.
packages+=(libwxgtk3.2-dev libgtk-3-dev dpkg-dev file)
# Inspector: the browser's DevTools protocol, and its message box.
packages+=(libboost-dev nlohmann-json3-dev x11-utils)
# agentscout: the X11 window titles.
packages+=(libx11-dev xdg-utils)
# The Firefox session store read for "Get from Browser".
packages+=(liblz4-dev)
if [ "${1:-build}" = test ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev libssl-dev curl wget
    chromium xvfb firefox-esr
    xauth)
  # The peers and the server of bench/parallel_bench (and openssl for its throw-away CA).
  packages+=(wget2 nginx openssl)
  # ... and GNU time for the peak memory of harvelo-cli alone.
  packages+=(time)
  # bench/real_pages.sh serves its pages with Python (it takes npm from nodejs where
  # that is installed, and skips the npm pages where it is not).
  packages+=(python3)
  # The compressed pages' tests compress what their servers send (nginx serves the
  # HTTP/2 tests too).
  packages+=(zlib1g-dev libbrotli-dev libzstd-dev)
  # The package test: lintian on the .deb, and the checkers of its desktop entry and
  # AppStream metadata.
  packages+=(lintian appstream desktop-file-utils)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
