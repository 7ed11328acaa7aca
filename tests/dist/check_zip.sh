#!/usr/bin/env bash
# The Windows zip, used as a Windows author would use it: it unpacks into one folder that
# holds quizpack.exe, LISEZMOI.txt (UTF-8 with a byte order mark and Windows line ends, so
# that Notepad shows its accents), the documentation and the samples; under Wine the
# unpacked quizpack.exe gives its version, speaks French to a French user and builds a
# sample into a quiz that starts.
#
#   tests/dist/check_zip.sh ZIP VERSION STARTUP_PROBE
#
# STARTUP_PROBE is the Windows build's bench/startup_probe.exe, which starts a quiz and
# waits for its board. Runs inside the caller's Wine session when there is one.
set -euo pipefail

zip=$1 version=$2 probe=$3
# shellcheck source=tests/dist/package_check.sh
. "$(dirname "$0")/package_check.sh"
# shellcheck source=tools/wine_session.sh
. "$(dirname "$0")/../../tools/wine_session.sh" # the prefix's settings: WINE_SETTINGS_REG


check_package_name "$zip" "quizz-$version-windows.zip"
(cd "$work" && cmake -E tar xf "$zip")
top=$work/quizz-$version-windows
for file in quizpack.exe LISEZMOI.txt copyright.txt docs/description.md \
    samples/picture/quiz.toml samples/picture/media/q01.jpg; do
    [ -f "$top/$file" ] || fail "the zip has no quizz-$version-windows/$file"
done

lisezmoi=$top/LISEZMOI.txt
[ "$(head -c 3 "$lisezmoi" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    fail "LISEZMOI.txt does not open with UTF-8's byte order mark"
iconv -f UTF-8 -t UTF-8 "$lisezmoi" >/dev/null || fail "LISEZMOI.txt is not UTF-8"
[ "$(grep -c $'\r$' "$lisezmoi")" = "$(wc -l <"$lisezmoi")" ] ||
    fail "LISEZMOI.txt has lines without Windows line ends"

cd "$top"
said=$(wine quizpack.exe --version | tr -d '\r')
[ "$said" = "quizpack $version" ] || fail "quizpack.exe --version: $said"
# A French interface language makes it speak French. Wine gives a process the interface
# language of its LC_ALL; LANG alone is not enough where no French locale is installed.
said=$(env -u QUIZPACK_LANG LC_ALL=fr_FR.UTF-8 wine quizpack.exe check 2>&1 | tr -d '\r' || true)
# A process in another locale makes Wine rewrite the prefix's font substitutes for its code
# pages, and again when the next one comes back: the prefix's own settings go back after that.
wine quizpack.exe --version >/dev/null 2>&1 || true
wine regedit "$WINE_SETTINGS_REG" </dev/null >/dev/null 2>&1 || fail "the Wine settings not restored"
case $said in
*"quizpack check : indiquez un fichier de description"*) ;;
*) fail "quizpack.exe in French: $said" ;;
esac


wine quizpack.exe build 'samples\picture\quiz.toml' -o essai.exe >"$work/build.log" 2>&1 ||
    { cat "$work/build.log" >&2; fail "quizpack.exe build failed"; }
wine "$probe" essai.exe --runs 1 || fail "the quiz quizpack.exe built does not start"
echo "check_zip: $(basename "$zip") passes"
