#!/usr/bin/env bash
# The Debian package, checked as Debian checks packages and used as an author would use it:
# lintian reports no error (its whole output is printed); the control fields; unpacked into
# a scratch root, the installed quizpack gives its version and makes, checks, builds and
# exports a new quiz; man renders the manual page without a warning.
#
#   tests/dist/check_deb.sh DEB VERSION
set -euo pipefail

deb=$1 version=$2
# shellcheck source=tests/dist/package_check.sh
. "$(dirname "$0")/package_check.sh"

check_package_name "$deb" "quizz_${version}_$(dpkg --print-architecture).deb"

echo "== lintian $(basename "$deb")"
lintian --fail-on error --display-info "$deb" || fail "lintian reports errors (above)"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Recommends)" = ffmpeg ] || fail "Recommends: $(field Recommends)"
field Depends | grep -q 'libc6' || fail "Depends: $(field Depends)"

root=$work/root
dpkg -x "$deb" "$root"
quizpack=$root/usr/bin/quizpack
[ "$("$quizpack" --version)" = "quizpack $version" ] || fail "quizpack --version: $("$quizpack" --version)"
cd "$work"
run() {
    "$quizpack" "$@" >"$work/out" 2>&1 || { cat "$work/out" >&2; fail "quizpack $* failed"; }
}
run new text Quiz
run check Quiz/quiz.toml
run build Quiz/quiz.toml -o quiz.exe
grep -q "from $root/usr/share/quizz/quizplayer.exe" "$work/out" ||
    fail "build did not take the installed player: $(cat "$work/out")"
run export Quiz/quiz.toml -o quiz.html
grep -q "<meta name=\"generator\" content=\"quizpack $version\">" quiz.html ||
    fail "the exported page does not name quizpack $version as its generator"
run check "$root/usr/share/doc/quizz/samples/picture/quiz.toml"

MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/quizpack.1.gz" >manual 2>warnings ||
    fail "man -l failed: $(cat warnings)"
[ ! -s warnings ] || fail "man -l warns: $(cat warnings)"
grep -q "^ *quizpack - " manual || fail "the manual page has no NAME line: $(head -5 manual)"
echo "check_deb: $(basename "$deb") passes"
