#!/usr/bin/env bash
# Writes build/zimbelplot-<version>-win32.zip: the two PE32 programs, the
# README and the examples, in one folder named after the version; and
# build/zimbelplot-<version>-web.zip: the page for any static host, with the
# one-file page beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^const char kAppVersion\[\] = "\(.*\)";/\1/p' "$root/model/AboutText.cpp")
[ -n "$version" ] || { echo "no kAppVersion in model/AboutText.cpp"; exit 1; }
name="zimbelplot-$version"
stage="$root/build/dist/$name"
zip="$root/build/$name-win32.zip"

rm -rf "$root/build/dist" "$zip"
mkdir -p "$stage/examples"
cp "$root/build/win32/shell/zimbelplot.exe" "$root/build/win32/export/zimbelplot-export.exe" "$root/README.md" "$stage/"
cp "$root"/examples/*.txt "$stage/examples/"
(cd "$root/build/dist" && zip -q -r -X "$zip" "$name")
rm -rf "$root/build/dist"
echo "$zip"

web="$root/build/$name-web.zip"
rm -rf "$root/build/dist" "$web"
mkdir -p "$root/build/dist/$name-web"
for file in $(sed -n 's/^\([^# ][^ ]*\) .*/\1/p' "$root/web/PageFiles.txt") zimbelplot.html; do
  cp "$root/build/web/$file" "$root/build/dist/$name-web/"
done
cp "$root"/examples/*.txt "$root/build/dist/$name-web/"
(cd "$root/build/dist" && zip -q -r -X "$web" "$name-web")
rm -rf "$root/build/dist"
echo "$web"
