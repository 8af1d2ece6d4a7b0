#!/usr/bin/env bash
# Runs the fault sweep (tests/fault_sweep) in the clang build
# build-sanitize/ (made here if missing), under the sanitizers, and prints
# how many faults went into each kind of file call. ctest runs the same
# sweep in every build, without the counts.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source scripts/clang-build.sh

install_clang
configure_clang_build > /dev/null
cmake --build "$sanitize_dir" -j"$(nproc)" --target fault_sweep
"$sanitize_dir/tests/fault_sweep/fault_sweep" tests/fault_sweep/ken_all_slice.csv
