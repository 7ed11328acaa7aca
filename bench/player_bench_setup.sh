# shellcheck shell=bash disable=SC2034  # the variables are for the scripts that source this
# Sourced first by the benchmarks that start the player under Wine (bench/startup_bench.sh,
# bench/web_bench.sh), with the script's own arguments:
#   - the build folders (QUIZZ_HOST_BUILD and QUIZZ_WIN_BUILD choose others), the programs
#     they run (quizpack, the player, the start-up probe), RUNS (the first argument,
#     default 7) and the 90 questions of their quizzes;
#   - say, which prefixes a line on standard error with the script's name;
#   - make_photos (bench/photos.sh);
#   - one Wine session for the whole script: the script runs again inside it, so that no
#     run pays for starting Wine's server or display.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build
HOST_BUILD=${QUIZZ_HOST_BUILD:-$BUILD/host}
WIN_BUILD=${QUIZZ_WIN_BUILD:-$BUILD/win64}
RUNS=${1:-7}
QUESTIONS=90

quizpack=$HOST_BUILD/quizpack
player=$WIN_BUILD/quizplayer.exe
probe=$WIN_BUILD/bench/startup_probe.exe

BENCH_NAME=$(basename "$0" .sh)
say() { printf '%s: %s\n' "$BENCH_NAME" "$*" >&2; }

# shellcheck source=tools/wine_session.sh
. "$ROOT/tools/wine_session.sh"
# shellcheck source=bench/photos.sh
. "$ROOT/bench/photos.sh"

run_script_in_wine_session "$0" "$@"
