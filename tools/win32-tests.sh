#!/usr/bin/env bash
# Runs the i686 test tree, the shipped PE32 included, under 32-bit Wine: here
# where the kernel runs 32-bit code, else (or with ZIMBEL_VM=1) in the virtual
# machine of vm-run.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export ZIMBEL_WINE_ARCH=win32
source "$here/wine-env.sh"
if [ -z "${ZIMBEL_VM:-}" ] && runs_32bit_code; then
  exec "$here/wine-tests.sh" "$@"
fi
# The emulated machine is 6 to 10 times slower: the tests' time bounds are
# stretched and the long run is shorter. These are the only differences.
export ZIMBEL_TIME_SCALE=${ZIMBEL_TIME_SCALE:-10}
export ZIMBEL_LONG_RUN_PAINTS=${ZIMBEL_LONG_RUN_PAINTS:-200}
export ZIMBEL_LONG_RUN_LOADS=${ZIMBEL_LONG_RUN_LOADS:-20}
start=$SECONDS
"$here/vm-run.sh" "$here/wine-tests.sh" "$@"
echo "win32 tests in the virtual machine: $((SECONDS - start)) s"
