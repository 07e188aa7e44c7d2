#!/usr/bin/env bash
# Starts the program on a data file under Wine: on the user's display when
# there is one. Without a display it runs on a virtual one, saves a
# screenshot (to $ZIMBEL_SCREENSHOT or build/screenshot.png), closes the
# program and exits.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
exe="$ZIMBEL_WINE_BUILD/shell/zimbelplot.exe"
control="$ZIMBEL_WINE_BUILD/tests/support/runcontrol.exe"

if [ "${1:-}" = --headless ]; then
  shot=$2
  shift 2
  wineserver -p 60 </dev/null >/dev/null 2>&1 || true  # one may already run
  "$WINELOADER" "$exe" "$@" </dev/null >/dev/null 2>&1 &
  program=$!
  cleanup() {
    kill "$program" 2>/dev/null || true
    wineserver -k >/dev/null 2>&1 || true
    wait || true
  }
  trap cleanup EXIT
  if ! "$WINELOADER" "$control" wait 60 </dev/null 2>/dev/null; then
    echo "The program window did not appear within 60 s." >&2
    exit 1
  fi
  import -window root "$shot"
  "$WINELOADER" "$control" close 20 </dev/null 2>/dev/null || echo "The program did not close within 20 s." >&2
  echo "Screenshot: $shot"
  exit 0
fi

"$here/wine-prefix.sh"
if [ ! -f "$exe" ]; then
  echo "$exe is not built: run make wine-build." >&2
  exit 1
fi
if [ -n "${DISPLAY:-}" ]; then
  exec "$WINELOADER" "$exe" "$@"
fi
shot=${ZIMBEL_SCREENSHOT:-$ZIMBEL_BUILD/screenshot.png}
mkdir -p "$(dirname "$shot")"
exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" --headless "$(realpath -m "$shot")" "$@"
