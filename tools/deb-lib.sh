# What the package tests share; each sets fail() and asRoot first.

# debRoot PACKAGE.deb ROOT: a throwaway root whose dpkg database holds this
# machine's records of the packages PACKAGE depends on, so its computed
# dependencies are checked against real versions and nothing is forced; then
# PACKAGE installed there. Sourced by the package tests.
debRoot() {
  local deb=$1 root=$2 admin=$2/var/lib/dpkg arch package
  mkdir -p "$admin/info" "$admin/updates"
  : >"$admin/available"
  arch=$(dpkg --print-architecture)
  for package in $(dpkg-deb -f "$deb" Depends | sed 's/([^)]*)//g; s/[,|]/ /g'); do
    dpkg-query -s "$package:$arch" >>"$admin/status" || fail "$package is not installed here"
    echo >>"$admin/status"
    : >"$admin/info/$(dpkg-query -W -f='${binary:Package}' "$package:$arch").list"
  done
  "${asRoot[@]}" dpkg --root="$root" --install "$deb" >/dev/null
}

# manMatchesHelp PROGRAM ROOT WORK: man finds the program's page where the
# package put it, mandoc finds no fault in it, and it lists exactly the
# options --help lists (left in WORK/help, "NAMES VALUE | what it does").
manMatchesHelp() {
  local exe=$1 root=$2 work=$3 name page
  name=$(basename "$exe")
  page=$(man --manpath="$root/usr/share/man" -w "$name")
  [ "$page" = "$root/usr/share/man/man1/$name.1.gz" ] || fail "man finds '$page'"
  mandoc -T lint -W warning "$page"
  "$exe" --help | sed -nE 's/^  ((-[a-z], )?--[a-z-]+( [A-Z#]+)?) +(.*)$/\1 | \4/p' >"$work/help"
  mandoc -T ascii -O width=300 "$page" | col -bx | awk '
    /^[A-Z]/ { on = $0 == "OPTIONS"; next }
    on && /^       -/ { sub(/^ +/, ""); names = $0; next }
    on && names != "" { sub(/^ +/, ""); print names " | " $0; names = "" }' >"$work/man"
  [ -s "$work/help" ] || fail "--help lists no option"
  diff -u --label help "$work/help" --label man "$work/man" || fail "the manual page's options are not --help's"
}
