#!/usr/bin/env bash
# Starts the program on a data file under Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
"$here/wine-prefix.sh"
exe="$ZIMBEL_WINE_BUILD/shell/zimbelplot.exe"
if [ ! -f "$exe" ]; then
  echo "zimbelplot.exe is not built yet: the main window is still to come."
  exit 0
fi
exec "$WINELOADER" "$exe" "$@"
