#!/usr/bin/env bash
# The page's module, built by Debian's emscripten into build/web:
#   build/web/zimbelplot.js + zimbelplot.wasm, build/web/single/zimbelplot.js.
# `tools/web-build.sh test` then builds the model, renderer and C API suites
# as WebAssembly and runs them under node, and holds the module's SVG to the
# native exporter's (`make release`'s tree, built here when missing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/web"
jobs=$(nproc)
exporter="$root/build/release/export/zimbelplot-export"

# The JS optimizer needs Debian's acorn, where this node does not look.
export NODE_PATH=/usr/share/nodejs
# emcmake's own emulator flag is one node 20 refuses; node's fetch would make
# the loader fetch the .wasm by its file path.
# -Oz over -Os: 0.46 kB gzipped less of what a first visit loads, which
# keeps it under 50 kB with the core's snippet writers inside.
emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel \
  "-DCMAKE_CXX_FLAGS_MINSIZEREL=-Oz -DNDEBUG" "-DCMAKE_C_FLAGS_MINSIZEREL=-Oz -DNDEBUG" -DCMAKE_EXE_LINKER_FLAGS=-Oz \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=$(command -v node);--no-experimental-fetch" \
  -DZIMBEL_EXPORT_PATH="$exporter" >/dev/null
cmake --build "$build" -j"$jobs" --target zimbelplot zimbelplot_single

if [ "${1:-}" = test ]; then
  cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/release" -j"$jobs" --target zimbelplot-export
  cmake --build "$build" -j"$jobs"
  ctest --test-dir "$build" --output-on-failure
fi
