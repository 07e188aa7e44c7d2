#!/usr/bin/env bash
# Takes back what `make install` put down under DESTDIR (given again, as to
# the install): the files its manifest lists, then the documentation
# folders, when nothing else is left in them.
set -euo pipefail
manifest=${1:?usage: uninstall.sh MANIFEST [DESTDIR]}
destdir=${2:-}
[ -f "$manifest" ] || { echo "nothing to uninstall: no $manifest"; exit 1; }
while IFS= read -r file || [ -n "$file" ]; do rm -f -- "$destdir$file"; done <"$manifest"
docs=$destdir$(dirname -- "$(grep -m1 '/README\.md$' "$manifest")")
rmdir -- "$docs/examples" "$docs" 2>/dev/null || true
rm -- "$manifest"
