#!/usr/bin/env bash
# Runs one command inside a warm Wine session: a persistent wineserver and a
# sleeping Windows program keep Wine's system processes alive between tests
# (else each test pays for restarting them), and neither may inherit the
# command's output pipe (else ctest waits for them until its timeout).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

cleanup() {
  [ -n "${keepalive:-}" ] && kill "$keepalive" 2>/dev/null
  wineserver -k >/dev/null 2>&1
  wait 2>/dev/null
}
trap cleanup EXIT

wineserver -p 60 </dev/null >/dev/null 2>&1
"$WINELOADER" "$ZIMBEL_WINE_BUILD/tests/support/keepalive.exe" </dev/null >/dev/null 2>&1 &
keepalive=$!
"$@"
