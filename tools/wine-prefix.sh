#!/usr/bin/env bash
# Creates the test prefix once; the stamp file lets later runs skip the ~14 s.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
stamp="$WINEPREFIX/.zimbel-ready"
[ -f "$stamp" ] && exit 0

rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
# In the emulated machine on a busy host the first boot can outlast Wine's
# own wait for it (exit 53 seen); a second boot finds the prefix half made
# and finishes it.
if ! wine wineboot -i >/dev/null 2>&1; then
  wineserver -k || true
  wine wineboot -i >/dev/null 2>&1
fi
wineserver -w

# Debian's Wine does not find its own fonts; without them captions draw as symbols.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
ln -sf /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

reg() { wine reg add "$@" /f >/dev/null 2>&1; }
# A virtual desktop: without a window manager every hide of a top-level window waits 2 s.
reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1000x740
# A crash must end the process, not wait on a modal dialog.
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
# The dialog font names the Japanese system fonts; GDI+ needs them to exist.
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic
wineserver -w
touch "$stamp"
