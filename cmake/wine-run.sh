#!/bin/sh
# Runs a Windows program under Wine with the project's private, quiet prefix.
# The caller (./quizz) provides DISPLAY and keeps one wineserver alive for the run.
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
