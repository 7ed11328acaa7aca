#!/usr/bin/env bash
# The exported web page against the quiz executable, for the same quizzes:
#   - start-up of a 90-question picture quiz of 1600 x 1200 photos (downscaled by quizpack):
#     the page in headless Chromium, from navigation to the board ready (every field created,
#     saved answers restored and graded, score written), beside the player under Wine, from
#     process start to its board built (bench/win/startup_probe_win.cpp), medians;
#   - F1 in the page over 180 unsolved fields (a 90-question quiz with two answers each);
#   - the size of the page and of the executable of bench/make_photo_quiz.sh's quiz.
#
#   bench/web_bench.sh [RUNS]        (default 7; ./quizz bench runs it)
#
# Needs the host build (build/host), the Windows build (build/win64), ImageMagick and
# Debian's chromium, chromium-driver and python3-selenium. QUIZZ_HOST_BUILD, QUIZZ_WIN_BUILD
# and WINEPREFIX choose other folders. Everything it makes stays in build/web-bench.
set -euo pipefail

# shellcheck source=bench/player_bench_setup.sh
. "$(dirname "$0")/player_bench_setup.sh"
WORK=${QUIZZ_BENCH_DIR:-$BUILD/web-bench}
for needed in "$quizpack" "$player" "$probe" /usr/bin/chromium; do
    if [ ! -f "$needed" ]; then
        say "skipped: $needed is missing (build the host and win64 presets, install chromium)"
        exit 0
    fi
done
mkdir -p "$WORK"

# description KIND ANSWERS_PER_QUESTION > FILE: 90 questions, as bench/startup_bench.sh makes
description() {
    local kind=$1 answers=$2 q codes=""
    for q in $(seq 1 $QUESTIONS); do codes+="\"CODE$q\", "; done
    printf 'title = "Banc d\x27essai : %s"\ncreator = "Quizz"\nkind = "%s"\n' "$kind" "$kind"
    printf 'answers_per_question = %d\nreveal = "none"\n' "$answers"
    [ "$answers" = 2 ] && printf 'labels = ["Un", "Deux"]\n'
    printf 'background = "#C0D8FF"\ncodes = [%s]\n' "${codes%, }"
    for q in $(seq 1 $QUESTIONS); do
        if [ "$answers" = 2 ]; then
            printf '\n[[question]]\nanswers = ["R\xc3\xa9ponse %d", "Autre %d"]\n' "$q" "$q"
        else
            printf '\n[[question]]\nanswers = ["R\xc3\xa9ponse %d"]\n' "$q"
        fi
        if [ "$kind" = picture ]; then
            printf 'picture = "media/photo%02d.jpg"\n' "$q"
        else
            printf 'text = "Question num\xc3\xa9ro %d ?"\n' "$q"
        fi
    done
}

make_photos "$WORK/media" "$QUESTIONS"
description picture 1 >"$WORK/pictures.toml"
description text 2 >"$WORK/fields.toml"
"$quizpack" build "$WORK/pictures.toml" -o "$WORK/pictures.exe" --player "$player" >/dev/null
"$quizpack" export "$WORK/pictures.toml" -o "$WORK/pictures.html" >/dev/null
"$quizpack" export "$WORK/fields.toml" -o "$WORK/fields.html" >/dev/null

say "the player under Wine: $RUNS runs"
mkdir -p "$WORK/run"
player_out=$(wine "$probe" "$(winepath -w "$WORK/pictures.exe")" --runs "$RUNS" \
    --workdir "$(winepath -w "$WORK/run")" </dev/null 2>&1 | tr -d '\r') || true
player_ms=$(printf '%s\n' "$player_out" | sed -n 's/^median: \([0-9.]*\) ms.*/\1/p')
say "the page in headless Chromium: $RUNS runs"
page_out=$(/usr/bin/python3 "$ROOT/bench/web_page_bench.py" startup "$WORK/pictures.html" "$RUNS" \
    "$WORK/pictures.toml")
page_ms=$(printf '%s\n' "$page_out" | sed -n 's/.*median \([0-9.]*\) ms empty.*/\1/p')
page_saved_ms=$(printf '%s\n' "$page_out" | sed -n 's/.*ms empty, \([0-9.]*\) ms with.*/\1/p')
f1_out=$(/usr/bin/python3 "$ROOT/bench/web_page_bench.py" f1 "$WORK/fields.html" "$RUNS")

# The page size against the executable of bench/make_photo_quiz.sh's quiz.
photo_work=$BUILD/photo-quiz
if [ ! -f "$photo_work/downscaled.exe" ] || [ ! -f "$photo_work/quiz.toml" ]; then
    say "building bench/make_photo_quiz.sh's quiz"
    QUIZZ_BENCH_DIR=$photo_work "$ROOT/bench/make_photo_quiz.sh" 1 >/dev/null
fi
"$quizpack" export "$photo_work/quiz.toml" -o "$photo_work/quiz.html" >/dev/null

echo "Web page against quiz executable ($RUNS runs each, medians):"
printf '  start-up, 90 downscaled photos: page %s ms (%s ms with 90 saved answers), ' \
    "$page_ms" "$page_saved_ms"
printf 'player under Wine %s ms' "${player_ms:-failed}"
if [ -n "$player_ms" ] && [ -n "$page_ms" ]; then
    awk -v p="$page_ms" -v w="$player_ms" 'BEGIN { printf "; page/player %.2f (goal <= 0.25)\n", p / w }'
else
    echo
fi
echo "  $f1_out (goal < 20 ms)"
page_size=$(stat -c %s "$photo_work/quiz.html")
exe_size=$(stat -c %s "$photo_work/downscaled.exe")
awk -v p="$page_size" -v e="$exe_size" 'BEGIN {
    printf "  make_photo_quiz.sh quiz: page %d bytes, executable %d bytes, page/executable %.2f (goal <= 1)\n", p, e, p / e }'
