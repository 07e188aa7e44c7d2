# Sourced by every script that runs Wine: one dedicated prefix with the
# Japanese locale, so that the ANSI code page is 932 as on a Japanese Windows.
#
# The program is 32-bit and runs under 32-bit Wine wherever the kernel runs
# 32-bit code. Some kernels run none (then even Wine's own 32-bit loader fails
# with "Exec format error"); there the local Wine runs the x86-64 build of the
# same sources, and the i686 tests go to a virtual machine (win32-tests.sh).
: "${ZIMBEL_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}"
runs_32bit_code() { /lib/i386-linux-gnu/ld-linux.so.2 --version >/dev/null 2>&1; }
if [ -z "${ZIMBEL_WINE_ARCH:-}" ]; then
  if runs_32bit_code; then
    ZIMBEL_WINE_ARCH=win32
  else
    ZIMBEL_WINE_ARCH=win64
  fi
fi
export ZIMBEL_WINE_ARCH
if [ "$ZIMBEL_WINE_ARCH" = win32 ]; then
  export WINELOADER=/usr/lib/wine/wine
  export WINESERVER=/usr/lib/wine/wineserver32
else
  export WINELOADER=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
fi
export WINEPREFIX="${WINEPREFIX:-$ZIMBEL_BUILD/wine-prefix-$ZIMBEL_WINE_ARCH}"
export WINEARCH=$ZIMBEL_WINE_ARCH
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# The Windows build tree whose binaries this Wine can run.
export ZIMBEL_WINE_BUILD="$ZIMBEL_BUILD/$ZIMBEL_WINE_ARCH"
wine() { "$WINELOADER" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
