#!/usr/bin/env bash
# Runs every fuzzer in fuzz/ for SECONDS each (default 20), one after the
# other, in the clang build build-sanitize/ (made here if missing). New
# inputs that the fuzzers find go to build-sanitize/fuzz/found/NAME, never
# into the seed corpora; a failing input is kept as
# build-sanitize/fuzz/crash/NAME-*. Ends with the first failing fuzzer.
# fuzz/NAME.dict, where present, gives the fuzzer the tokens that matter;
# fuzz/NAME.options, where present, holds further libFuzzer flags for it,
# one a line (a larger -max_len, for one).
set -euo pipefail
seconds=${1:-20}
case $seconds in
  ''|*[!0-9]*|0) echo "usage: scripts/fuzz.sh [SECONDS]  (a whole number above 0)" >&2; exit 2 ;;
esac
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source scripts/clang-build.sh

install_clang
configure_clang_build > /dev/null
cmake --build "$sanitize_dir" -j"$(nproc)" --target fuzzers

# Absolute: some fuzzers work in a scratch directory of their own.
out="$top/$sanitize_dir/fuzz"
passed=0
for source in fuzz/*_fuzzer.cpp; do
  name=$(basename "$source" .cpp)
  mkdir -p "$out/found/$name" "$out/crash"
  echo "== $name: $seconds s"
  log="$out/$name.log"
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=("-dict=$top/fuzz/$name.dict")
  options=()
  [ -f "fuzz/$name.options" ] && mapfile -t options < <(grep -v -e '^#' -e '^$' "fuzz/$name.options")
  if ! "$out/$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$out/crash/$name-" "${dict[@]}" "${options[@]}" \
      "$out/found/$name" "$top/fuzz/corpus/$name" > "$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name failed; the input is in $out/crash/" >&2
    exit 1
  fi
  grep -E '^(Done|stat::new_units_added)' "$log" || true
  passed=$((passed + 1))
done
echo "fuzzers: $passed passed, 0 failed"
