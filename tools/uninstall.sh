#!/usr/bin/env bash
# Takes back what `make install` put down under DESTDIR (given again, as to
# the install): the files its manifest lists, then the program's own folders
# (documentation, examples, the page: those named zimbelplot-* and what is
# in them), deepest first, when nothing else is left in them.
set -euo pipefail
manifest=${1:?usage: uninstall.sh MANIFEST [DESTDIR]}
destdir=${2:-}
[ -f "$manifest" ] || { echo "nothing to uninstall: no $manifest"; exit 1; }
while IFS= read -r file || [ -n "$file" ]; do rm -f -- "$destdir$file"; done <"$manifest"
while IFS= read -r file || [ -n "$file" ]; do
  dir=$(dirname -- "$file")
  while [[ $dir == */zimbelplot-* ]]; do
    echo "$dir"
    dir=$(dirname -- "$dir")
  done
done <"$manifest" | sort -u | awk '{ print length, $0 }' | sort -rn | cut -d' ' -f2- |
  while IFS= read -r dir; do rmdir -- "$destdir$dir" 2>/dev/null || true; done
rm -- "$manifest"
