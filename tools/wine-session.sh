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
# The command starts only once the keep-alive program has brought Wine's
# system processes up: a test that started them would hand them its pipe.
ready=$(mktemp -u /tmp/zimbel-wine-ready.XXXXXX)
"$WINELOADER" "$ZIMBEL_WINE_BUILD/tests/support/keepalive.exe" "$ready" </dev/null >/dev/null 2>&1 &
keepalive=$!
for ((tenths = 0; tenths < 600 * ${ZIMBEL_TIME_SCALE:-1}; tenths++)); do
  [ -e "$ready" ] && break
  sleep 0.1
done
if [ ! -e "$ready" ]; then
  echo "wine-session: Wine's system processes did not come up" >&2
  exit 1
fi
rm -f "$ready"
# A script that wants a warm session can tell that it runs in one.
export ZIMBEL_WINE_SESSION=1
"$@"
