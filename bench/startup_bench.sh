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

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$ROOT/build
HOST_BUILD=${QUIZZ_HOST_BUILD:-$BUILD/host}
WIN_BUILD=${QUIZZ_WIN_BUILD:-$BUILD/win64}
WORK=${QUIZZ_BENCH_DIR:-$BUILD/startup-bench}
RUNS=${1:-7}
QUESTIONS=90
CONVERT=/usr/bin/convert  # ImageMagick itself, whatever else is first in PATH

export WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

say() { printf 'startup_bench: %s\n' "$*" >&2; }

# Runs this script again inside one Xvfb with one wineserver kept alive for all runs, so
# no run pays for starting Wine's server or display.
if [ -z "${QUIZZ_BENCH_IN_WINE:-}" ]; then
    export QUIZZ_BENCH_IN_WINE=1
    # shellcheck disable=SC2016
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        /usr/lib/wine/wineserver64 -p </dev/null >/dev/null 2>&1 &
        wine wineboot </dev/null >/dev/null 2>&1
        "$@"; rc=$?
        /usr/lib/wine/wineserver64 -k >/dev/null 2>&1
        exit $rc' _ "$0" "$@"
fi

quizpack=$HOST_BUILD/quizpack
player=$WIN_BUILD/quizplayer.exe
probe=$WIN_BUILD/bench/startup_probe.exe
for needed in "$quizpack" "$player"; do
    if [ ! -x "$needed" ] && [ ! -f "$needed" ]; then
        say "skipped: $needed is missing (build the host and win64 presets first)"
        exit 0
    fi
done
if [ ! -f "$probe" ]; then
    # Until the Windows build makes it, build the probe here with the cross compiler.
    probe=$WORK/startup_probe.exe
    mkdir -p "$WORK"
    if [ ! -f "$probe" ] || [ "$ROOT/bench/win/startup_probe_win.cpp" -nt "$probe" ]; then
        x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -static \
            "$ROOT/bench/win/startup_probe_win.cpp" -lpsapi -o "$probe"
    fi
fi

# Settings of the prefix the tests use too: a virtual desktop (closing a window costs 2 s
# without a window manager) and no crash dialog.
settings=$WORK/wine-settings.reg
mkdir -p "$WORK"
cat >"$settings" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
wine regedit "$settings" </dev/null >/dev/null 2>&1

# Ninety distinct camera-sized photos: one plasma picture, its hue turned per question.
make_photos() {
    local media=$WORK/media
    mkdir -p "$media"
    [ -f "$media/photo90.jpg" ] && return 0
    say "drawing $QUESTIONS photos of 1600 x 1200"
    "$CONVERT" -size 1600x1200 plasma:fractal -blur 0x1 "$media/base.png"
    local q
    for q in $(seq 1 $QUESTIONS); do
        "$CONVERT" "$media/base.png" -roll "+$((q * 17))+$((q * 11))" \
            -modulate 100,100,$((q * 200 / QUESTIONS)) -quality 85 \
            "$media/photo$(printf '%02d' "$q").jpg"
    done
    rm -f "$media/base.png"
}

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

make_photos
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
