#!/usr/bin/env bash
# Runs the Windows test binaries under Wine on a virtual X display.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
"$here/wine-prefix.sh"
echo "Wine tests: $ZIMBEL_WINE_ARCH build under $WINELOADER"
exec xvfb-run -a -s "-screen 0 1280x800x24" "$here/wine-session.sh" \
  ctest --test-dir "$ZIMBEL_WINE_BUILD" --output-on-failure "$@"
