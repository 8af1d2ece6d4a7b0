#!/usr/bin/env bash
# The installed tree: cmake --install into a temporary prefix, which is then
# moved (nothing in it may name where it was made or first put; its
# programs find their backend module relative to themselves), and
# yubin start run as the desktop entry runs it, with a fresh home and the
# search application's own example keyed by DIALOG_SCRIPT. The first start
# makes the workspace and finds 0600061; a second one goes straight to the
# search; a preparation that fails part-way leaves the workspace in use as
# it was; installed data newer than the workspace's makes a new one; a
# workspace a search runs in stays until the search ends.
#   installed_tree_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
tmp=$(mktemp -d)
searching=
# A search still waiting for its script is ended with the test.
trap '[ -z "$searching" ] || kill -9 "$searching" 2>/dev/null; chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/first" > /dev/null
mv "$tmp/first" "$tmp/prefix"
prefix=$tmp/prefix

for file in bin/tolvane bin/kestrum bin/vesk bin/qgrep bin/yubin \
    share/yubin/ken_all.zip share/yubin/jigyosyo.zip share/yubin/utf_ken_all.zip \
    share/yubin/郵便番号検索ヘルプ.hlp share/man/man1/yubin.1.gz share/man/man1/qgrep.1.gz \
    share/doc/yubin/copyright; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
# The programs load the window system's backend, a module of the tree,
# from where the tree now is (vesk shows its window offscreen and ends).
module=$(find "$prefix" -name yubin-dialog-qt.so)
[ -n "$module" ] || fail "the Qt backend's module is not installed"
loaded=$(cd "$tmp" && QT_QPA_PLATFORM=offscreen LD_DEBUG=libs "$prefix/bin/vesk" 2>&1 | grep "calling init: .*yubin-dialog-qt.so" || true)
[[ $loaded == *"$prefix/"* ]] || fail "vesk did not load the Qt backend's module from $prefix: $loaded"

for name in tolvane kestrum; do
  desktop-file-validate "$prefix/share/applications/$name.desktop" || fail "$name.desktop does not validate"
  grep -q "^Icon=$name$" "$prefix/share/applications/$name.desktop" || fail "$name.desktop names another icon"
  for size in 16 32 48 256; do
    png=$prefix/share/icons/hicolor/${size}x$size/apps/$name.png
    # The width in the PNG header, bytes 17 to 20.
    width=$(od -An -tu4 --endian=big -j16 -N4 "$png" | tr -d ' ')
    [ "$width" = "$size" ] || fail "$png is $width pixels wide"
  done
  grep -q "<path fill=" "$prefix/share/icons/hicolor/scalable/apps/$name.svg" || fail "no SVG icon of $name"
done
for page in yubin qgrep tolvane kestrum vesk; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done

export HOME=$tmp/home XDG_DATA_HOME=$tmp/data DIALOG_SCRIPT=$source/scripts/sapporo-lookup.txt
mkdir -p "$HOME"
root=$XDG_DATA_HOME/yubin
status=0
start() {
  status=0
  "$prefix/bin/yubin" start "$@" > "$tmp/out" 2> "$tmp/err" || status=$?
}
found_0600061() { grep -q "=>>> 0600061 <<=" "$tmp/out"; }
milliseconds() { echo $(( $(date +%s%N) / 1000000 )); }

# The first start makes the workspace.
t0=$(milliseconds)
start
first=$(( $(milliseconds) - t0 ))
[ "$status" -eq 0 ] || fail "first start: status $status: $(cat "$tmp/err")"
found_0600061 || fail "first start: 0600061 not found: $(cat "$tmp/out")"
grep -q "^yubin start: \[4/5\] building the kana town index" "$tmp/err" || fail "no progress lines: $(cat "$tmp/err")"
[ "$(readlink "$root/current")" = workspace-1 ] || fail "current is not workspace-1"
workspace=$root/workspace-1
setting=$(tr -d '\0' < "$workspace/Tolvane.ini")
[ "$setting" = "$workspace/Zip_Code/" ] || fail "Tolvane.ini names $setting"
for file in KEN_ALL.CSV JIGYOSYO.CSV ALL_ZIP.TXT Zip_Code/郵便番号検索ヘルプ.hlp; do
  [ -f "$workspace/$file" ] || fail "the workspace lacks $file"
done
[ "$(readlink "$workspace/qgrep")" = "$prefix/bin/qgrep" ] || fail "qgrep links to $(readlink "$workspace/qgrep")"
[ "$(readlink "$workspace/vesk")" = "$prefix/bin/vesk" ] || fail "vesk links to $(readlink "$workspace/vesk")"

# A second start goes straight to the search.
t0=$(milliseconds)
start
second=$(( $(milliseconds) - t0 ))
[ "$status" -eq 0 ] && found_0600061 || fail "second start: status $status: $(cat "$tmp/err")"
[ ! -s "$tmp/err" ] || fail "second start prepared again: $(cat "$tmp/err")"
echo "yubin start to the end of the scripted search: first $first ms (preparing), second $second ms"

# Newer data that cannot be written in full: the file size limit stops the
# preparation part-way, and the workspace in use stays.
(ulimit -f 2048; "$prefix/bin/yubin" start --data "$source/data" > "$tmp/out" 2> "$tmp/err") && fail "a preparation over the file size limit succeeded"
grep -q "File too large; the workspace in use stays as it was" "$tmp/err" || fail "unclear failure: $(cat "$tmp/err")"
[ "$(readlink "$root/current")" = workspace-1 ] && [ ! -e "$root/workspace-2" ] || fail "the failed preparation was left behind"
if [ "$(id -u)" -ne 0 ]; then  # root writes to a read-only directory anyway
  chmod a-w "$root"
  start --data "$source/data"
  chmod u+w "$root"
  [ "$status" -eq 1 ] && grep -q "Permission denied" "$tmp/err" || fail "read-only parent: status $status: $(cat "$tmp/err")"
fi
start
[ "$status" -eq 0 ] && found_0600061 && [ ! -s "$tmp/err" ] || fail "the earlier workspace no longer works: $(cat "$tmp/err")"

# Downloaded data, zip and CSV, dated (as a server may date it) before the
# installed files: the workspace made from it stays in use at the next start.
mkdir "$tmp/download"
cp "$source/data/ken_all.zip" "$tmp/download/"
(cd "$tmp/download" && cmake -E tar xf "$source/data/jigyosyo.zip")
touch -d 2001-01-01 "$tmp/download"/*
# The help file, which a preparation from downloaded data takes from the
# installation, older than the installed data (it stays as new as it was).
touch -d 2002-01-01 "$prefix/share/yubin/郵便番号検索ヘルプ.hlp"
start --data "$tmp/download"
[ "$status" -eq 0 ] && found_0600061 || fail "start --data: status $status: $(cat "$tmp/err")"
[ "$(readlink "$root/current")" = workspace-2 ] || fail "start --data made no workspace-2"
start
[ "$status" -eq 0 ] && [ ! -s "$tmp/err" ] || fail "the downloaded data was replaced: $(cat "$tmp/err")"

# Installed data newer than the workspace's makes a new workspace; the one
# it replaces stays for a search that may still run there.
touch "$prefix/share/yubin/jigyosyo.zip"
start
[ "$status" -eq 0 ] && found_0600061 || fail "start after an update: status $status: $(cat "$tmp/err")"
[ "$(readlink "$root/current")" = workspace-3 ] && [ -d "$root/workspace-2" ] || fail "no switch to workspace-3"

# A search running in workspace-3 (held at its script, a FIFO, after it has
# taken its directory's lock) keeps that workspace through two newer
# preparations; the first start after the search has ended removes it.
# The lock is watched in /proc/locks: trying to take it would make the
# search's own attempt fail while the test holds it.
mkfifo "$tmp/script"
(cd "$root/workspace-3" && DIALOG_SCRIPT=$tmp/script exec "$prefix/bin/tolvane" > "$tmp/held" 2>&1) &
searching=$!
held() { grep -q "FLOCK.*READ.*:$(stat -c %i "$root/workspace-3") " /proc/locks; }
for _ in $(seq 600); do held && break; sleep 0.1; done
held || fail "the search in workspace-3 never took its directory's lock"
start --data "$source/data"
start --data "$source/data"
[ -d "$root/workspace-3" ] && kept=yes || kept=no
cat "$DIALOG_SCRIPT" > "$tmp/script"
wait "$searching" && grep -q "=>>> 0600061 <<=" "$tmp/held" || fail "the search in workspace-3 failed: $(cat "$tmp/held")"
searching=
[ "$kept" = yes ] || fail "a preparation removed workspace-3, where a search was running"
start --data "$source/data"
[ "$status" -eq 0 ] && [ ! -e "$root/workspace-3" ] || fail "workspace-3 stayed after its search ended: $(cat "$tmp/err")"
