#!/usr/bin/env bash
# The server's package as a user gets it. lintian finds no error. Installed
# into a throwaway root (as the exporter's is), the program says its version,
# its manual page lists exactly the options --help lists, and, serving the
# page the package put down on a free port of 127.0.0.1, it answers the page
# and a picture equal to the build tree exporter's. The service unit is
# rated by systemd-analyze (exposure 2.0 or lower) without a running
# systemd. The package purges without a trace.
set -euo pipefail
deb=${1:?usage: serve-deb-test.sh PACKAGE.deb RELEASE-TREE PAGE-TREE}
tree=${2:?usage: serve-deb-test.sh PACKAGE.deb RELEASE-TREE PAGE-TREE}
pageTree=${3:?usage: serve-deb-test.sh PACKAGE.deb RELEASE-TREE PAGE-TREE}
work=$(mktemp -d /tmp/zimbel-serve-deb-XXXXXX)
server=
cleanUp() {
  if [ -n "$server" ]; then kill -TERM "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanUp EXIT
fail() { echo "serve-deb-test: $*" >&2; exit 1; }
asRoot=()
[ "$(id -u)" -eq 0 ] || asRoot=(fakeroot)
source "$(dirname "$0")/deb-lib.sh"

lintian --fail-on error "$deb"
root=$work/root
debRoot "$deb" "$root"

exe=$root/usr/bin/zimbelplot-serve
[ "$("$exe" --version)" = "$(printf 'zimbelplot ver %s\tVNR' "$(dpkg-deb -f "$deb" Version)")" ] ||
  fail "--version says '$("$exe" --version)'"
manMatchesHelp "$exe" "$root" "$work"
[ -f "$root/usr/share/bash-completion/completions/zimbelplot-serve" ] || fail "no completion"
[ -f "$root/usr/share/doc/zimbelplot-serve/nginx.conf" ] || fail "no nginx example"

# The page by default is the one the package put down beside the program.
"$exe" --listen 127.0.0.1:0 >"$work/address" 2>"$work/log" &
server=$!
for _ in $(seq 1 100); do [ -s "$work/address" ] && break; sleep 0.1; done
url=$(head -1 "$work/address")
[ -n "$url" ] || fail "the installed server did not start: $(cat "$work/log")"
cmp <(curl -sf "$url") "$pageTree/index.html" || fail "the installed page is not the built one"
wave=$(dirname "$0")/../examples/wave.txt
link=$("$tree/export/zimbelplot-export" --format link --auto-ratio "$wave")
"$tree/export/zimbelplot-export" --auto-ratio "$wave" -o "$work/want.png"
curl -sf -o "$work/got.png" "$url$link.png" || fail "no picture from the installed server"
cmp "$work/want.png" "$work/got.png" || fail "the installed server's picture is not the exporter's"
kill -TERM "$server"
wait "$server" || fail "SIGTERM: exit status $?"
server=

unit=$root/usr/lib/systemd/system/zimbelplot-serve.service
exposure=$(systemd-analyze security --offline=true "$unit" | sed -nE 's/.*Overall exposure level for [^:]*: ([0-9.]+).*/\1/p')
awk -v e="$exposure" 'BEGIN { exit !(e != "" && e <= 2.0) }' || fail "the unit's exposure is '$exposure', over 2.0"

"${asRoot[@]}" dpkg --root="$root" --purge zimbelplot-serve >/dev/null
[ "$(ls -A "$root")" = var ] || fail "the purge left $(ls -A "$root")"
echo "serve-deb-test: $(basename "$deb") passes; the unit's exposure is $exposure"
