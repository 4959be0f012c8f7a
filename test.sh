#!/usr/bin/env bash
# Installs what is missing, builds Harvelo and its tests, and runs the whole suite.
#   BUILD_DIR=build-asan HARVELO_SANITIZE=ON ./test.sh   runs it under ASan and UBSan.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test

build_dir=${BUILD_DIR:-build}
sanitize=${HARVELO_SANITIZE:-OFF}
# Compiler output is cached between builds and between clones of the repository: the
# paths it records are taken relative to the checkout, and the build folder's own path
# is left out of what identifies an object.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache \
  -DHARVELO_SANITIZE="$sanitize" -DHARVELO_TESTS=ON >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
# Every test runs once: a test that fails on a loaded machine is mended, not retried.
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600
