#!/usr/bin/env bash
# The exporter's package as a user gets it. lintian finds no error. dpkg
# installs it into a throwaway root whose database holds this machine's
# records of the packages it depends on, so the computed dependencies are
# checked against real versions and nothing is forced. The installed program
# says its version and draws an example as the build tree's does; man and
# bash find the manual page and the completion where the package put them,
# and both list exactly the options --help lists. The package purges without
# a trace. Last, the tree's install puts down the same files and its
# uninstall takes them all back (the tree's other packages' files with them).
set -euo pipefail
deb=${1:?usage: deb-test.sh PACKAGE.deb RELEASE-TREE [OTHER.deb...]}
tree=${2:?usage: deb-test.sh PACKAGE.deb RELEASE-TREE [OTHER.deb...]}
# The tree's other packages: its install puts down their files too.
others=("${@:3}")
work=$(mktemp -d /tmp/zimbel-deb-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "deb-test: $*" >&2; exit 1; }
# dpkg writes files owned by root; elsewhere fakeroot pretends.
asRoot=()
[ "$(id -u)" -eq 0 ] || asRoot=(fakeroot)

lintian --fail-on error "$deb"

root=$work/root
source "$(dirname "$0")/deb-lib.sh"
debRoot "$deb" "$root"

exe=$root/usr/bin/zimbelplot-export
docs=$root/usr/share/doc/zimbelplot-export
[ "$("$exe" --version)" = "$(printf 'zimbelplot ver %s\tVNR' "$(dpkg-deb -f "$deb" Version)")" ] ||
  fail "--version says '$("$exe" --version)'"
"$exe" --auto-ratio "$docs/examples/wave.txt" -o "$work/wave.png"
"$tree/export/zimbelplot-export" --auto-ratio "$docs/examples/wave.txt" -o "$work/built.png"
cmp "$work/wave.png" "$work/built.png"

manMatchesHelp "$exe" "$root" "$work"

completion=$root/usr/share/bash-completion/completions/zimbelplot-export
[ -f "$completion" ] || fail "no completion at $completion"
# What bash offers for the last word of a command line, one a line, sorted;
# '=' is a word of its own, as bash's word breaks make it.
offers() (
  cd "$docs"
  source /usr/share/bash-completion/bash_completion
  source "$completion"
  read -ra COMP_WORDS <<<"${1//=/ = }"
  [[ $1 != *" " ]] || COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$1 COMP_POINT=${#1}
  _zimbelplot_export zimbelplot-export "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort
)
expect() {
  [ "$(offers "$1")" = "$(printf '%s\n' "${@:2}" | sort)" ] || fail "'$1' completes to: $(offers "$1" | tr '\n' ' ')"
}
mapfile -t names < <(sed 's/ | .*//' "$work/help" | grep -oE -- '--?[a-z-]+')
expect 'zimbelplot-export -' "${names[@]}"
expect 'zimbelplot-export --line-style d' dash dash-dot dash-dot-dot dot
expect 'zimbelplot-export --show=a' axes
expect 'zimbelplot-export --width ' ""
expect 'zimbelplot-export -o ex' examples
expect 'zimbelplot-export --auto-ratio examples/w' examples/wave.txt

"${asRoot[@]}" dpkg --root="$root" --purge zimbelplot-export >/dev/null
[ "$(ls -A "$root")" = var ] || fail "the purge left $(ls -A "$root")"

# The tree's own install into a staging folder: the package's files, all of
# them taken back by its uninstall.
stage=$work/stage
DESTDIR=$stage cmake --install "$tree" --prefix /usr >/dev/null
cp "$tree/install_manifest.txt" "$work/installed-files.txt"
diff <(cd "$stage" && find . -type f | sort) \
  <(for package in "$deb" "${others[@]}"; do dpkg-deb -c "$package"; done | awk '$1 !~ /^d/ { print $6 }' | sort) ||
  fail "make install and the package put down different files"
"$(dirname "$0")/uninstall.sh" "$work/installed-files.txt" "$stage"
left=$(find "$stage" \( -type f -o -name 'zimbelplot-*' \) -print)
[ -z "$left" ] || fail "uninstall left $left"
echo "deb-test: $(basename "$deb") passes"
