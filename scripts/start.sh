#!/usr/bin/env bash
# Runs one search on the prepared data in demo/: the search application's
# own example (Sapporo, Chuo ward, towns beginning with ﾐﾅ).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top/demo"
echo "kana town index: $top/demo/Zip_Code"
echo "\$ yubin search --pref ほ --city さ --ward ち --town みな"
"$top/build/tools/yubin/yubin" search --pref ほ --city さ --ward ち --town みな
