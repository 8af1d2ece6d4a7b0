#!/usr/bin/env bash
# Starts the main program on the prepared data in demo/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
echo "kana town index ready: $top/demo/Zip_Code"
echo "search it with: cd $top/demo && $top/build/tools/yubin/yubin search --help"
echo "for example (Sapporo, Chuo ward, towns beginning with mina):"
echo "  cd $top/demo && $top/build/tools/yubin/yubin search --pref ほ --city さ --ward ち --town みな"
