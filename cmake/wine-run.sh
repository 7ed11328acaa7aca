#!/usr/bin/env bash
# CTest's emulator for the Windows build: runs a Windows program under Wine with the project's
# settings (tools/wine_session.sh). The caller (./quizz test) provides DISPLAY and keeps one
# wineserver alive for the run.
#
# When QUIZZ_WINE_RERUN_LOG names a file, a program that fails runs once more and the failed
# run is listed in that file: under Wine a test process now and then dies at start with no
# output at all. Only Windows programs come through here, so native tests never run twice.
# shellcheck source=tools/wine_session.sh
. "$(dirname "$0")/../tools/wine_session.sh"

[ -n "${QUIZZ_WINE_RERUN_LOG:-}" ] || exec wine "$@"
status=0
wine "$@" || status=$?
[ "$status" -ne 0 ] || exit 0
printf 'wine-run: exit status %d; running it once more\n' "$status" >&2
printf '%d\t%s\n' "$status" "$*" >>"$QUIZZ_WINE_RERUN_LOG"
exec wine "$@"
