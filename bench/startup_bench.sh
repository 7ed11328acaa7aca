#!/usr/bin/env bash
# Start-up of quiz executables under Wine: the time from process start to the question
# board fully built (every field created and graded, the score and code boxes written),
# and the peak working set, as medians of several runs, for
#   - a 90-question picture quiz of 1600 x 1200 photos, pictures downscaled by quizpack,
#   - the same quiz built with --keep-pictures (the player shrinks every photo itself),
#   - a 90-question text quiz,
#   - a quiz without questions (the cost of starting any quiz under Wine).
#
#   bench/startup_bench.sh [RUNS]        (default 7; ./quizz bench runs it)
#
# Needs the host build's quizpack (build/host), the Windows build (build/win64) and
# ImageMagick. QUIZZ_HOST_BUILD, QUIZZ_WIN_BUILD and WINEPREFIX choose other folders.
# Generated photos, descriptions and executables are kept in build/startup-bench.
set -euo pipefail

# shellcheck source=bench/player_bench_setup.sh
. "$(dirname "$0")/player_bench_setup.sh"
WORK=${QUIZZ_BENCH_DIR:-$BUILD/startup-bench}
for needed in "$quizpack" "$player"; do
    if [ ! -x "$needed" ] && [ ! -f "$needed" ]; then
        say "skipped: $needed is missing (build the host and win64 presets first)"
        exit 0
    fi
done
if [ ! -f "$probe" ]; then
    say "skipped: $probe is missing (build the win64 preset first)"
    exit 0
fi

codes_line() {
    local q codes=""
    for q in $(seq 1 "$1"); do
        codes+="\"CODE$q\", "
    done
    printf 'codes = [%s]\n' "${codes%, }"
}

# description KIND QUESTIONS > FILE
description() {
    local kind=$1 count=$2 q
    printf 'title = "Banc d\x27essai : %s"\ncreator = "Quizz"\n' "$kind"
    printf 'explanation = "Mesure du d\xc3\xa9marrage."\nkind = "%s"\n' "$kind"
    printf 'answers_per_question = 1\nlabels = ["", ""]\nreveal = "none"\nbackground = "#C0D8FF"\n'
    codes_line "$count"
    for q in $(seq 1 "$count"); do
        printf '\n[[question]]\nanswers = ["R\xc3\xa9ponse %d"]\n' "$q"
        if [ "$kind" = picture ]; then
            printf 'picture = "media/photo%02d.jpg"\n' "$q"
        else
            printf 'text = "Question num\xc3\xa9ro %d : quelle est la bonne r\xc3\xa9ponse ?"\n' "$q"
        fi
    done
}

# build NAME KIND QUESTIONS [quizpack options...]
build_quiz() {
    local name=$1 kind=$2 count=$3
    shift 3
    local toml=$WORK/$name.toml exe=$WORK/$name.exe
    description "$kind" "$count" >"$toml"
    if [ ! -f "$exe" ] || [ "$toml" -nt "$exe" ] || [ "$quizpack" -nt "$exe" ] ||
        [ "$player" -nt "$exe" ]; then
        if ! "$quizpack" build "$toml" -o "$exe" --player "$player" "$@" >"$WORK/$name.log" 2>&1
        then
            say "quizpack build failed for $name (see $WORK/$name.log)"
            return 1
        fi
    fi
}

make_photos "$WORK/media" "$QUESTIONS"
results=()
measure() {
    local name=$1 label=$2 exe=$WORK/$1.exe workdir=$WORK/run-$1
    mkdir -p "$workdir"
    say "$label: $RUNS runs"
    local out
    out=$(wine "$probe" "$(winepath -w "$exe")" --runs "$RUNS" \
        --workdir "$(winepath -w "$workdir")" </dev/null 2>&1 | tr -d '\r') || true
    printf '%s\n' "$out" | sed 's/^/    /' >&2
    local summary
    summary=$(printf '%s\n' "$out" | grep '^median:' || echo "median: failed")
    local size
    size=$(du -k "$exe" | cut -f1)
    results+=("$(printf '%-44s %8s KB  %s' "$label" "$size" "${summary#median: }")")
}

failed=0
for row in "picture-downscaled|picture|$QUESTIONS" "picture-kept|picture|$QUESTIONS|--keep-pictures" \
    "text|text|$QUESTIONS" "empty|text|0"; do
    IFS='|' read -r name kind count option <<<"$row"
    # shellcheck disable=SC2086
    build_quiz "$name" "$kind" "$count" $option || { failed=1; continue; }
done
[ -f "$WORK/picture-downscaled.exe" ] &&
    measure picture-downscaled "90 pictures, downscaled by quizpack"
[ -f "$WORK/picture-kept.exe" ] &&
    measure picture-kept "90 pictures of 1600 x 1200 (--keep-pictures)"
[ -f "$WORK/text.exe" ] && measure text "90 text questions"
[ -f "$WORK/empty.exe" ] && measure empty "no questions"

echo "Start-up under Wine, process start to board built (medians of $RUNS runs):"
printf '%-44s %11s  %s\n' "quiz" "exe size" "start-up, peak working set"
for line in "${results[@]}"; do
    echo "$line"
done
exit $failed
