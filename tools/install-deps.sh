#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, only when something
# is missing, so that a second `make test` starts at once. Packages named as
# arguments are wanted too (the virtual machine's, only where it is used).
set -euo pipefail

packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 xvfb xauth locales
  fonts-wine fonts-ipafont-gothic fonts-ipafont-mincho cmake googletest
  imagemagick clang libclang-rt-14-dev make g++
  libcairo2-dev libpng-dev libdeflate-dev pngcheck libxml2-utils gnuplot-nox zip
  dpkg-dev fakeroot lintian mandoc man-db bsdextrautils bash-completion
  nginx-light wrk curl iproute2 cmark-gfm python3 "$@")
# The web build's compiler and bundler, the browser tests' browser and
# systemd (only for systemd-analyze, which rates the server's unit offline;
# where systemd is not running, installing it starts nothing), without their
# recommends (about 1 GB more; headless Chromium needs none of them).
lean=(emscripten esbuild chromium systemd)
# The browser driver installs through npm and runs on node 18 or newer. Many
# machines bring their own node and npm outside Debian's packages: those stay.
command -v node >/dev/null || lean+=(nodejs)
command -v npm >/dev/null || lean+=(npm)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# A mirror caught mid-sync fails one list or another for a while; what the
# install needs is most often in the lists fetched, so after three tries it
# goes on and the install itself says what it could not find.
update() {
  local try
  for try in 1 2 3; do
    $sudo apt-get update -qq && return
    sleep $((try * 10))
  done
  echo "install-deps: apt-get update failed three times; going on with the lists it has" >&2
}

installed() { LC_ALL=C dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
missingLean=()
for p in "${lean[@]}"; do installed "$p" || missingLean+=("$p"); done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo dpkg --add-architecture i386
  update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if [ ${#missingLean[@]} -gt 0 ]; then
  echo "Installing: ${missingLean[*]}"
  [ ${#missing[@]} -gt 0 ] || update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missingLean[@]}" >/dev/null
fi

# Wine takes its ANSI code page (932, Shift-JIS) from the Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

major=$(node -p 'process.versions.node.split(".")[0]')
[ "$major" -ge 18 ] || { echo "install-deps: node $(node --version) is older than 18, which the browser tests need" >&2; exit 1; }
