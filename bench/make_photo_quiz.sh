#!/usr/bin/env bash
# Build cost of a 90-question picture quiz made of 1600 x 1200 photos: the time quizpack
# build takes and the size of the executable it writes, with the pictures downscaled to
# the size the player shows them (the default) and kept as they are (--keep-pictures).
#
#   bench/make_photo_quiz.sh [RUNS]     (default 3; median wall and CPU times are reported)
#
# Needs ImageMagick, the host build's quizpack (build/host) and a player program
# (build/win64/quizplayer.exe). QUIZZ_HOST_BUILD, QUIZZ_PLAYER_EXE and QUIZZ_BENCH_DIR
# choose others. The photos (about 250 KB each, drawn once), the description and both
# executables stay in build/photo-quiz; nothing of it is meant to be committed.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
HOST_BUILD=${QUIZZ_HOST_BUILD:-$ROOT/build/host}
PLAYER=${QUIZZ_PLAYER_EXE:-$ROOT/build/win64/quizplayer.exe}
WORK=${QUIZZ_BENCH_DIR:-$ROOT/build/photo-quiz}
RUNS=${1:-3}
QUESTIONS=90
QUIZPACK=$HOST_BUILD/quizpack
# shellcheck source=bench/photos.sh
. "$ROOT/bench/photos.sh"

say() { printf 'make_photo_quiz: %s\n' "$*" >&2; }

for needed in "$QUIZPACK" "$PLAYER" "$PHOTO_CONVERT"; do
    if [ ! -f "$needed" ]; then
        say "skipped: $needed is missing (build the host and win64 presets, install imagemagick)"
        exit 0
    fi
done

write_description() {
    local q
    {
        printf 'title = "Photos de vacances"\ncreator = "Banc d\x27essai"\n'
        printf 'explanation = "Quatre-vingt-dix photos."\nkind = "picture"\n'
        printf 'reveal = "none"\nbackground = "#C0D8FF"\n'
        for q in $(seq 1 $QUESTIONS); do
            printf '\n[[question]]\nanswers = ["photo %d"]\npicture = "media/photo%02d.jpg"\n' \
                "$q" "$q"
        done
    } >"$WORK/quiz.toml"
}

# The median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# measure NAME [quizpack options...]: prints "NAME wall cpu bytes" (median wall and CPU
# seconds: on a busy machine the CPU time says more than the wall time)
measure() {
    local name=$1 run timing
    shift
    local exe=$WORK/$name.exe walls=() cpus=()
    for run in $(seq 1 "$RUNS"); do
        timing=$( { TIMEFORMAT='%R %U %S'; time "$QUIZPACK" build "$WORK/quiz.toml" -o "$exe" \
            --player "$PLAYER" "$@" >"$WORK/$name.log"; } 2>&1 )
        walls+=("${timing%% *}")
        cpus+=("$(echo "$timing" | awk '{ print $2 + $3 }')")
    done
    printf '%s %s %s %s\n' "$name" "$(printf '%s\n' "${walls[@]}" | median)" \
        "$(printf '%s\n' "${cpus[@]}" | median)" "$(stat -c %s "$exe")"
}

mkdir -p "$WORK"
make_photos "$WORK/media" "$QUESTIONS"
write_description
photos=$(du -cb "$WORK"/media/photo*.jpg | tail -1 | cut -f1)
say "$QUESTIONS photos, $((photos / 1024)) KB in all; $RUNS builds each, medians"
printf '%-24s %9s %9s %15s\n' "90 photos 1600x1200" "wall (s)" "CPU (s)" "executable (B)"
measure downscaled | awk '{ printf "%-24s %9.2f %9.2f %15d\n", "downscaled to 260x195", $2, $3, $4 }'
measure kept --keep-pictures | awk '{ printf "%-24s %9.2f %9.2f %15d\n", "--keep-pictures", $2, $3, $4 }'
