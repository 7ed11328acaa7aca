#!/usr/bin/env bash
# A screenshot of the running player for each sample quiz: every samples/NAME/quiz.toml is
# built with quizpack, started under Wine on a virtual screen, and its window saved as
# build/screenshots/NAME.png once the board is built and painted.
#
#   tools/screenshots.sh [NAME...]       (default: every sample)
#
# Needs the host build's quizpack (build/host), the Windows build (build/win64) and
# ImageMagick. QUIZZ_HOST_BUILD, QUIZZ_WIN_BUILD and WINEPREFIX choose other folders.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$ROOT/build
HOST_BUILD=${QUIZZ_HOST_BUILD:-$BUILD/host}
WIN_BUILD=${QUIZZ_WIN_BUILD:-$BUILD/win64}
OUT=${QUIZZ_SCREENSHOT_DIR:-$BUILD/screenshots}
CONVERT=/usr/bin/convert  # ImageMagick itself, whatever else is first in PATH
HOLD_MS=4000              # how long each quiz stays open: enough to paint and capture

say() { printf 'screenshots: %s\n' "$*" >&2; }

# shellcheck source=tools/wine_session.sh
. "$ROOT/tools/wine_session.sh"

# One Wine session for all the shots.
run_script_in_wine_session "$0" "$@"

quizpack=$HOST_BUILD/quizpack
player=$WIN_BUILD/quizplayer.exe
probe=$WIN_BUILD/bench/startup_probe.exe
for needed in "$quizpack" "$player"; do
    [ -f "$needed" ] || { say "$needed is missing: build the host and win64 presets first"; exit 1; }
done
[ -f "$probe" ] || { say "$probe is missing: build the win64 preset first"; exit 1; }
mkdir -p "$OUT"

# shot NAME: builds samples/NAME, runs it until its board is built, saves NAME.png.
shot() {
    local name=$1 toml=$ROOT/samples/$1/quiz.toml
    local exe=$OUT/$name.exe workdir=$OUT/run-$name log=$OUT/$name.log
    [ -f "$toml" ] || { say "no sample $toml"; return 1; }
    if ! "$quizpack" build "$toml" -o "$exe" --player "$player" >"$log" 2>&1; then
        say "$name: quizpack build failed (see $log)"
        return 1
    fi
    rm -rf "$workdir"
    mkdir -p "$workdir"
    local probeOut=$OUT/$name.probe
    : >"$probeOut"
    wine "$probe" "$(winepath -w "$exe")" --workdir "$(winepath -w "$workdir")" \
        --hold "$HOLD_MS" </dev/null >"$probeOut" 2>&1 &
    local running=$!
    local _
    for _ in $(seq 1 600); do
        grep -q '^ready' "$probeOut" && break
        kill -0 "$running" 2>/dev/null || break
        sleep 0.1
    done
    if ! grep -q '^ready' "$probeOut"; then
        wait "$running" || true
        say "$name: the board was never built:"
        sed 's/^/    /' "$probeOut" >&2
        return 1
    fi
    sleep 1  # the first paint follows the board's creation
    local x y w h
    read -r _ x y w h < <(grep '^ready' "$probeOut" | tr -d '\r')
    import -window root "$OUT/$name-screen.png"
    # The window's rectangle, kept inside the screen.
    [ "$x" -lt 0 ] && { w=$((w + x)); x=0; }
    [ "$y" -lt 0 ] && { h=$((h + y)); y=0; }
    "$CONVERT" "$OUT/$name-screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$OUT/$name.png"
    rm -f "$OUT/$name-screen.png"
    wait "$running" || say "$name: the quiz did not close cleanly (see $probeOut)"
    say "$name: $OUT/$name.png"
}

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for toml in "$ROOT"/samples/*/quiz.toml; do
        names+=("$(basename "$(dirname "$toml")")")
    done
fi
failed=0
for name in "${names[@]}"; do
    shot "$name" || failed=1
done
exit $failed
