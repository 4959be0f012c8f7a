#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer with ASan and UBSan, the core library
# instrumented for coverage) and runs each for a number of inputs.
#   fuzz/run.sh [RUNS] [NAME...]    RUNS defaults to 1000000; NAME is e.g. fuzz_quote_file
#   BUILD_DIR=build-fuzz            where to build (the default)
# The saved corpus in fuzz/corpus/NAME seeds each run and is not modified; new inputs
# go to BUILD_DIR/fuzz/work/NAME, crashing inputs to BUILD_DIR/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-1000000}
if [ $# -gt 0 ]; then shift; fi
build_dir=${BUILD_DIR:-build-fuzz}

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cc; do
    names+=("$(basename "$source" .cc)")
  done
fi

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHARVELO_FUZZ=ON -DHARVELO_TESTS=ON -DHARVELO_BENCH=OFF -DHARVELO_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target "${names[@]}"

status=0
for name in "${names[@]}"; do
  work="$build_dir/fuzz/work/$name"
  artifacts="$build_dir/fuzz/artifacts/$name/"
  mkdir -p "$work" "$artifacts" "fuzz/corpus/$name"
  echo "== $name: $runs runs"
  if ! "$build_dir/fuzz/$name" -runs="$runs" -print_final_stats=1 \
      -artifact_prefix="$artifacts" "$work" "fuzz/corpus/$name"; then
    echo "== $name: FAILED, see $artifacts" >&2
    status=1
  fi
done
exit $status
