# Sourced by sanitize.sh and fuzz.sh: installs clang and its sanitizer
# runtimes where missing, and configures build-sanitize/, one clang build
# with AddressSanitizer and UndefinedBehaviorSanitizer (the first error ends
# the program) and libFuzzer's coverage, so the fuzzers built there see the
# whole library code. The test programs run the same under it.

clang_packages=(clang libclang-rt-14-dev)

install_clang() {
  local missing=() p
  for p in "${clang_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

sanitize_dir=build-sanitize

configure_clang_build() {
  local sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all"
  cmake -S . -B "$sanitize_dir" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DYUBIN_BENCHMARKS=OFF \
    "-DCMAKE_CXX_FLAGS=$sanitize -fsanitize=fuzzer-no-link -fno-omit-frame-pointer" \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" \
    "-DCMAKE_EXE_LINKER_FLAGS=$sanitize" \
    "-DCMAKE_SHARED_LINKER_FLAGS=$sanitize"
}

# What the sanitizers do when a program built here runs.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
