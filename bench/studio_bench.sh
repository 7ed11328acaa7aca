#!/usr/bin/env bash
# quizpack studio on the 90-photo quiz of bench/make_photo_quiz.sh (1600 x 1200 photos):
#   - start: from `quizpack studio` started to its page served (medians of RUNS starts);
#   - diagnostics: from a change typed in the editor to its problems shown;
#   - preview: from a change typed in the editor to the preview showing it;
# the last two in headless Chromium, over RUNS changes each, medians (the first check and
# preview, which prepare every picture once, are reported apart).
#
#   bench/studio_bench.sh [RUNS]        (default 15; ./quizz bench runs it)
#
# Needs the host build's quizpack, ImageMagick and Debian's chromium, chromium-driver and
# python3-selenium. Everything it makes stays in build/studio-bench.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
QUIZPACK=${QUIZZ_HOST_BUILD:-$ROOT/build/host}/quizpack
WORK=${QUIZZ_BENCH_DIR:-$ROOT/build/studio-bench}
RUNS=${1:-15}
QUESTIONS=90
# shellcheck source=bench/photos.sh
. "$ROOT/bench/photos.sh"

for needed in "$QUIZPACK" "$PHOTO_CONVERT" /usr/bin/chromium; do
    if [ ! -f "$needed" ]; then
        printf 'studio_bench: skipped: %s is missing\n' "$needed" >&2
        exit 0
    fi
done
mkdir -p "$WORK"
make_photos "$WORK/media" "$QUESTIONS"
{
    printf 'title = "Photos de vacances"\ncreator = "Banc d\x27essai"\n'
    printf 'explanation = "Quatre-vingt-dix photos."\nkind = "picture"\n'
    printf 'reveal = "none"\nbackground = "#C0D8FF"\n'
    for q in $(seq 1 $QUESTIONS); do
        printf '\n[[question]]\nanswers = ["photo %d"]\npicture = "media/photo%02d.jpg"\n' "$q" "$q"
    done
} >"$WORK/quiz.toml"
cp "$WORK/quiz.toml" "$WORK/quiz.toml.start"
/usr/bin/python3 "$ROOT/bench/studio_bench.py" "$QUIZPACK" "$WORK" "$RUNS"
cp "$WORK/quiz.toml.start" "$WORK/quiz.toml"
