#!/usr/bin/env bash
# The answer fields' keys on a full board under Wine: F1 on a 90-question, two-answer quiz
# (180 fields retyped and graded), F1 with one field left to try, Tab and Return, as medians
# and maxima of several runs (bench/win/f1_bench_win.cpp).
#
#   bench/f1_bench.sh [RUNS]        (default 7; ./quizz bench runs it)
#
# Needs the Windows build (build/win64). QUIZZ_WIN_BUILD and WINEPREFIX choose other
# folders.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
WIN_BUILD=${QUIZZ_WIN_BUILD:-$ROOT/build/win64}
RUNS=${1:-7}
# shellcheck source=tools/wine_session.sh
. "$ROOT/tools/wine_session.sh"

bench=$WIN_BUILD/bench/f1_bench.exe
if [ ! -f "$bench" ]; then
    echo "f1_bench: skipped: $bench is missing (build the win64 preset first)" >&2
    exit 0
fi
in_wine_session wine "$bench" "$RUNS"
