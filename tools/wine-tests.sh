#!/usr/bin/env bash
# Runs the Windows test binaries under Wine on a virtual X display.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
"$here/wine-prefix.sh"
echo "Wine tests: $ZIMBEL_WINE_ARCH build under $WINELOADER"
# Ten minutes for one test binary, stretched on a slow (emulated) machine.
timeout=$((600 * ${ZIMBEL_TIME_SCALE:-1}))
exec xvfb-run -a -s "-screen 0 1280x800x24" "$here/wine-session.sh" \
  ctest --test-dir "$ZIMBEL_WINE_BUILD" --output-on-failure --timeout "$timeout" "$@"
