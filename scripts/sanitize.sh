#!/usr/bin/env bash
# Builds the whole test suite with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/ and runs it once. A
# sanitizer error fails its test; leaks inside the system's libraries are
# suppressed (scripts/lsan-suppressions.txt), leaks in our code are not.
# The fault sweep is left to scripts/fault-sweep.sh, which shows its counts;
# the installation and package tests (label "package") check what is
# installed, which the sanitizers have nothing to add to.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source scripts/clang-build.sh

install_clang
configure_clang_build
cmake --build "$sanitize_dir" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$sanitize_dir" --output-on-failure -j2 -E '^fault_sweep$' -LE package
