#!/usr/bin/env bash
# The Debian package as cpack makes it from the build directory: the files
# of an installation below /usr and nothing elsewhere, no path of the build
# or source tree inside, the Depends on the libraries and the font, and
# where lintian is installed, no error from it.
#   debian_package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$tmp" && cpack -G DEB -B "$tmp" --config "$build/CPackConfig.cmake" > cpack.log 2>&1) ||
  fail "cpack: $(cat "$tmp/cpack.log")"
deb=$(ls "$tmp"/*.deb)

dpkg-deb --contents "$deb" | awk '{print $6}' > "$tmp/contents"
for path in usr/bin/tolvane usr/bin/kestrum usr/bin/vesk usr/bin/qgrep usr/bin/yubin usr/lib/yubin/yubin-dialog-qt.so \
    usr/share/yubin/ken_all.zip usr/share/yubin/jigyosyo.zip usr/share/yubin/郵便番号検索ヘルプ.hlp \
    usr/share/applications/tolvane.desktop usr/share/applications/kestrum.desktop \
    usr/share/icons/hicolor/16x16/apps/tolvane.png usr/share/icons/hicolor/256x256/apps/kestrum.png \
    usr/share/icons/hicolor/scalable/apps/tolvane.svg \
    usr/share/man/man1/yubin.1.gz usr/share/man/man1/qgrep.1.gz usr/share/doc/yubin/copyright; do
  grep -qx "\./$path" "$tmp/contents" || fail "the package lacks /$path"
done
outside=$(grep -v -e '^\./$' -e '^\./usr/' "$tmp/contents" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
! grep -q '^\./usr/local' "$tmp/contents" || fail "files under /usr/local"
dpkg-deb -x "$deb" "$tmp/root"
named=$(grep -rlF -e "$build" -e "$source" "$tmp/root" || true)
[ -z "$named" ] || fail "the build or source tree is named in: $named"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in libqt6widgets6 libarchive13 fonts-noto-cjk fonts-ipafont-gothic; do
  [[ $depends == *"$package"* ]] || fail "Depends lacks $package"
done

if command -v lintian > /dev/null; then
  lintian --fail-on error "$deb" > "$tmp/lintian" 2>&1 || fail "lintian: $(cat "$tmp/lintian")"
  echo "lintian: $(grep -c '^E:' "$tmp/lintian" || true) errors, $(grep -c '^W:' "$tmp/lintian" || true) warnings"
fi
