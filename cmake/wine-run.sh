#!/usr/bin/env bash
# CMake's cross-compiling emulator: runs one Windows program under Wine.
arch=$1; shift
ZIMBEL_WINE_ARCH=$arch source "$(dirname "$0")/../tools/wine-env.sh"
exec "$WINELOADER" "$@"
