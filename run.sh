#!/usr/bin/env bash
# Installs what is missing, builds Harvelo and starts it. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARVELO_TESTS=OFF \
  -DHARVELO_BENCH=OFF >/dev/null
cmake --build build -j "$(nproc)"

if [ -x build/app/harvelo ]; then
  exec build/app/harvelo "$@"
fi
echo "Harvelo's window is not built yet; the console front end is build/cli/harvelo-cli." >&2
if [ -x build/cli/harvelo-cli ]; then
  exec build/cli/harvelo-cli "$@"
fi
exit 1
