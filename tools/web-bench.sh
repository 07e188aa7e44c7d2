#!/usr/bin/env bash
# The page's figures in headless Chromium (medians), after `make web`.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec node "$here/web-bench.mjs" "$@"
