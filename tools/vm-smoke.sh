#!/usr/bin/env bash
# One short job in the virtual machine, for kernels that run 32-bit code and
# so never need it: the path that keeps `make test` green where no 32-bit code
# runs must not break unseen. The guest boots (its kernel and initramfs made
# if missing), sees the checkout and runs one i686 test binary under 32-bit
# Wine. A guest that ends early shows the end of its console (vm-run.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export ZIMBEL_WINE_ARCH=win32
source "$here/wine-env.sh"
export ZIMBEL_TIME_SCALE=${ZIMBEL_TIME_SCALE:-10}
start=$SECONDS
if ! "$here/vm-run.sh" "$here/wine-tests.sh" -R '^model_tests$' --no-tests=error; then
  echo "vm-smoke: FAILED (the guest's whole console: $ZIMBEL_BUILD/vm/console.log)" >&2
  exit 1
fi
echo "vm-smoke: the virtual machine ran an i686 test binary in $((SECONDS - start)) s"
