#!/usr/bin/env bash
# Imports the bundled KEN_ALL.CSV into demo/ALL_ZIP.TXT and builds the kana
# town index below demo/Zip_Code (the build creates "Zip_Code" and writes
# below "ZIP_CODE": one directory, as names compare without regard to case).
# Rebuilds only when the import changed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
yubin="$top/build/tools/yubin/yubin"
demo="$top/demo"
mkdir -p "$demo"
cd "$demo"
[ -f KEN_ALL.CSV ] || cmake -E tar xf "$top/data/ken_all.zip"
if [ ! -f ALL_ZIP.TXT ] || [ KEN_ALL.CSV -nt ALL_ZIP.TXT ] || [ ! -f .index-built ] || [ ALL_ZIP.TXT -nt .index-built ]; then
  "$yubin" import KEN_ALL.CSV ALL_ZIP.TXT
  # Every build appends, so a fresh index needs the old one removed first.
  rm -rf ZIP_CODE Zip_Code .index-built
  "$yubin" build
  touch .index-built
fi
echo "kana town index: $demo/Zip_Code"
