#!/usr/bin/env bash
# Imports the bundled KEN_ALL.CSV into demo/ALL_ZIP.TXT and builds the kana
# town index below demo/Zip_Code, with the help file beside it. Rebuilds the
# index only when the import changed. Leaves both CSV files in demo/, with
# links to qgrep and vesk, for the regular-expression search.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
yubin="$top/build/tools/yubin/yubin"
demo="$top/demo"
mkdir -p "$demo"
cd "$demo"
[ -f KEN_ALL.CSV ] || cmake -E tar xf "$top/data/ken_all.zip"
[ -f JIGYOSYO.CSV ] || cmake -E tar xf "$top/data/jigyosyo.zip"
if [ ! -f ALL_ZIP.TXT ] || [ KEN_ALL.CSV -nt ALL_ZIP.TXT ] || [ ! -f Zip_Code/.built ] || [ ALL_ZIP.TXT -nt Zip_Code/.built ]; then
  "$yubin" import KEN_ALL.CSV ALL_ZIP.TXT
  # Every build appends, so a fresh index needs the old one removed first.
  rm -rf ZIP_CODE Zip_Code
  "$yubin" build
  touch Zip_Code/.built
fi
echo "kana town index: $demo/Zip_Code"

# The search application's help command opens this file in its data
# directory; the index build above may have made that directory afresh.
cp "$top/search/ui/help/郵便番号検索ヘルプ.hlp" "$demo/Zip_Code/郵便番号検索ヘルプ.hlp"
echo "help file: $demo/Zip_Code/郵便番号検索ヘルプ.hlp"

# The search reads its data directory from Tolvane.ini in its current
# directory: a 500-byte record of the CP932 text, a NUL and zero filler.
printf '%s' "$demo/Zip_Code/" | iconv -f UTF-8 -t CP932 > "$demo/Tolvane.ini.tmp"
settings_bytes=$(wc -c < "$demo/Tolvane.ini.tmp")
if [ "$settings_bytes" -gt 499 ]; then
  rm -f "$demo/Tolvane.ini.tmp"
  echo "data directory too long for Tolvane.ini: $demo/Zip_Code/" >&2
  exit 1
fi
head -c $((500 - settings_bytes)) /dev/zero >> "$demo/Tolvane.ini.tmp"
mv "$demo/Tolvane.ini.tmp" "$demo/Tolvane.ini"
echo "settings file: $demo/Tolvane.ini"

# The regular-expression search starts qgrep from the search application's
# current directory, and qgrep starts vesk from there; both searched files
# are the CSV files above.
for program in tools/qgrep/qgrep placeholder/vesk; do
  ln -sfn "$top/build/$program" "$demo/$(basename "$program")"
done
echo "grep program: $demo/qgrep (searches $demo/*.csv)"
