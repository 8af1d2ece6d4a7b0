#!/usr/bin/env bash
# Builds the whole test suite with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/ and runs it. A sanitizer
# error fails its test; leaks inside the system's libraries are suppressed
# (scripts/lsan-suppressions.txt), leaks in our code are not.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source scripts/clang-build.sh

install_clang
configure_clang_build
cmake --build "$sanitize_dir" -j"$(nproc)"
# The Qt tests drive real windows with a 75 ms timer; slowed down by the
# sanitizers on a busy machine, a tick can land between two steps of a
# script. A test gets a second run; one that fails twice fails the suite.
QT_QPA_PLATFORM=offscreen ctest --test-dir "$sanitize_dir" --output-on-failure -j2 \
  --repeat until-pass:2
