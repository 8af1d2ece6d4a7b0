#!/usr/bin/env bash
# The house rules, as CI checks them: every C++ file laid out as
# .clang-format says, and data members named as .clang-tidy says.
# Installs clang-format and clang-tidy where missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

missing=()
for p in clang clang-format clang-tidy; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# The compile commands of a clang configuration inside the tree, so that
# the headers, seen through build-tidy/include, find .clang-tidy too.
cmake -S . -B build-tidy -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCMAKE_CXX_COMPILER=clang++ > /dev/null
if ! run-clang-tidy -p build-tidy -j "$(nproc)" -quiet \
    "$top/(platform|prep|search|tools|placeholder|tests|bench|fuzz|packaging)/" > build-tidy/clang-tidy.log 2>&1; then
  sed 's/\x1b\[[0-9;]*m//g' build-tidy/clang-tidy.log | grep 'error:' | sort -u
  exit 1
fi
echo "style: every C++ file laid out and named by the house rules"
