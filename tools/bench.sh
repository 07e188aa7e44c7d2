#!/usr/bin/env bash
# Runs the render benchmark under Wine and prints its figures.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
"$here/wine-prefix.sh"
bench="$ZIMBEL_WINE_BUILD/tests/render/render_bench.exe"
cd "$(dirname "$bench")"
echo "render benchmark: $ZIMBEL_WINE_ARCH build under $WINELOADER"
xvfb-run -a -s "-screen 0 1280x800x24" "$here/wine-session.sh" "$WINELOADER" "$bench"
