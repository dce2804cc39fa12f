#!/usr/bin/env bash
# crclist as a user gets it, from its Debian package unpacked into a scratch root and from
# cmake --install to a prefix: the program runs, verifies the sample disc, its manual page renders
# with every command and option that its --help names, and its bash completion completes.
# Usage: crclist-install.sh DEB BUILD WORK VERSION SAMPLE_DISC
set -euo pipefail
deb=$1 build=$2 work=$3 version=$4 sample=$5
tests=$(dirname "$0")/../crclist
rm -rf "$work"
mkdir -p "$work"

status=0
fail() { echo "FAIL $*"; status=1; }

check_installed() {
  local what=$1 prefix=$2
  local crclist=$prefix/bin/crclist page=$prefix/share/man/man1/crclist.1.gz
  local completion=$prefix/share/bash-completion/completions/crclist
  [ -x "$crclist" ] || { fail "$what: no $crclist"; return; }
  [ "$("$crclist" --version)" = "crclist $version" ] ||
    fail "$what: --version says $("$crclist" --version)"
  "$crclist" verify --quiet "$sample" 2>/dev/null || fail "$what: the sample disc does not verify"
  [ -f "$page" ] || { fail "$what: no $page"; return; }
  "$tests/manual-page-test.sh" "$page" "$crclist" "$version" || fail "$what: the manual page"
  [ -f "$completion" ] || { fail "$what: no $completion"; return; }
  "$tests/completion-test.sh" "$completion" || fail "$what: the bash completion"
  echo "$what: crclist $version runs, verifies the sample disc, its manual page renders and" \
       "its completion completes"
}

dpkg-deb --extract "$deb" "$work/root"
check_installed "the Debian package" "$work/root/usr"
# Every shared library the program loads comes from a package it depends on.
depends=$(dpkg-deb --field "$deb" Depends)
for library in $(ldd "$work/root/usr/bin/crclist" | awk '$2 == "=>" {print $3}'); do
  # dpkg knows a library by the path its package installs, which /lib may stand for /usr/lib in.
  package=$({ dpkg-query --search "$library" "/usr$library" 2>/dev/null || true; } | head -n 1 |
            cut -d: -f1)
  [ -n "$package" ] || fail "no installed package holds $library, which crclist loads"
  [[ $depends =~ (^|, )"$package"( |,|$) ]] ||
    fail "the Debian package does not depend on $package, for $library: $depends"
done

cmake --install "$build" --prefix "$work/prefix" >/dev/null
check_installed "cmake --install" "$work/prefix"
exit $status
