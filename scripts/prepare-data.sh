#!/usr/bin/env bash
# Imports the bundled KEN_ALL.CSV into demo/ALL_ZIP.TXT and builds the kana
# town index below demo/ZIP_CODE. Rebuilds only when the import changed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
yubin="$top/build/tools/yubin/yubin"
demo="$top/demo"
mkdir -p "$demo"
cd "$demo"
[ -f KEN_ALL.CSV ] || cmake -E tar xf "$top/data/ken_all.zip"
if [ ! -f ALL_ZIP.TXT ] || [ KEN_ALL.CSV -nt ALL_ZIP.TXT ] || [ ! -f ZIP_CODE/.built ] || [ ALL_ZIP.TXT -nt ZIP_CODE/.built ]; then
  "$yubin" import KEN_ALL.CSV ALL_ZIP.TXT
  # Every build appends, so a fresh index needs the old one removed first.
  rm -rf ZIP_CODE Zip_Code
  "$yubin" build
  touch ZIP_CODE/.built
fi
echo "kana town index: $demo/ZIP_CODE"
