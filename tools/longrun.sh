#!/usr/bin/env bash
# The full long run by hand: 10 000 paints and 1 000 loads against the built
# program, printing its GDI objects, windows and memory (about six minutes;
# too long for ctest's per-test limit, so the binary runs on its own).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
"$here/wine-prefix.sh"
export ZIMBEL_LONG_RUN_PAINTS=${ZIMBEL_LONG_RUN_PAINTS:-10000}
export ZIMBEL_LONG_RUN_LOADS=${ZIMBEL_LONG_RUN_LOADS:-1000}
cd "$ZIMBEL_WINE_BUILD/tests/reliability"
exec xvfb-run -a -s "-screen 0 1280x800x24" "$here/wine-session.sh" \
  "$WINELOADER" ./reliability_longrun_tests.exe
