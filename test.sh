#!/usr/bin/env bash
# Installs what is missing, builds Harvelo and its tests, and runs the whole suite.
#   BUILD_DIR=build-asan HARVELO_SANITIZE=ON ./test.sh   runs it under ASan and UBSan.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test

build_dir=${BUILD_DIR:-build}
sanitize=${HARVELO_SANITIZE:-OFF}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHARVELO_SANITIZE="$sanitize" -DHARVELO_TESTS=ON >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
# Every test runs once: a test that fails on a loaded machine is mended, not retried.
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600
