#!/usr/bin/env bash
# Installs what is missing, builds Harvelo and opens its window. Without a display it
# says so; arguments then go to the console front end, harvelo-cli.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARVELO_TESTS=OFF \
  -DHARVELO_BENCH=OFF >/dev/null
cmake --build build -j "$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/harvelo
fi
echo "There is no display here (DISPLAY and WAYLAND_DISPLAY are not set), so Harvelo's" >&2
echo "window cannot open. The console front end works without one:" >&2
echo "  build/cli/harvelo-cli ADDRESS...      (build/cli/harvelo-cli --help for the rest)" >&2
if [ $# -gt 0 ]; then
  exec build/cli/harvelo-cli "$@"
fi
exit 1
