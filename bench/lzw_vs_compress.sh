#!/bin/bash
# The LZW block codec beside Debian's ncompress (`compress`, the classic LZW) on the same
# data: the benchmark's French text and random bytes.
#
#   bench/lzw_vs_compress.sh [BUILD_DIR]      (default: build/host)
#
# The codec packs blocks of at most 65535 bytes, so lzw_bench measures it on one block
# (61440 bytes of text, 48000 random bytes: the largest round size whose packed stream
# still fits a block) and reports bytes per second. compress gets a 6 MiB file of the
# same data (the block is its first part), so that its start-up costs nothing.
#
# Figures are MB/s (10^6 bytes per second of plain data, both ways), the best of several
# runs. "cpu" counts the processor time of the process (user + system), "wall" the
# elapsed time: on a busy machine the wall figures move a lot, the cpu figures little.
#
# The codec keeps its working tables between calls, so a call obtains only the output
# buffer it hands out. Memory that glibc gives back to the system costs a page fault per
# fresh page at the next call (tens of microseconds on some virtual machines); the "kept
# memory" lines run the same benchmark with glibc keeping freed memory (GLIBC_TUNABLES)
# and should match the plain lines. Compare both with compress.
set -euo pipefail

build=${1:-build/host}
bench="$build/bench/lzw_bench"
runs=5
size=$((6 * 1024 * 1024))

if [ ! -x "$bench" ]; then
    echo "lzw_vs_compress: $bench is missing; build it first:" >&2
    echo "  cmake --preset host && cmake --build build/host --target lzw_bench" >&2
    exit 2
fi
if ! command -v compress >/dev/null || ! command -v uncompress >/dev/null; then
    echo "lzw_vs_compress: needs ncompress (apt-get install ncompress)" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bench" --write-text "$work/text" "$size"
"$bench" --write-random "$work/random" "$size"

# best MB/s of $runs runs of a command, as "cpu wall"
best_rate() {
    local bytes=$1
    shift
    local best_cpu=0 best_wall=0 times real user sys cpu wall
    for _ in $(seq "$runs"); do
        times=$( { TIMEFORMAT='%3R %3U %3S'; time "$@" >/dev/null 2>&1; } 2>&1 )
        read -r real user sys <<<"$times"
        cpu=$(awk -v b="$bytes" -v u="$user" -v s="$sys" \
            'BEGIN { t = u + s; print (t > 0 ? b / t / 1e6 : 0) }')
        wall=$(awk -v b="$bytes" -v r="$real" 'BEGIN { print (r > 0 ? b / r / 1e6 : 0) }')
        best_cpu=$(awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { print (a > b ? a : b) }')
        best_wall=$(awk -v a="$wall" -v b="$best_wall" 'BEGIN { print (a > b ? a : b) }')
    done
    echo "$best_cpu $best_wall"
}

compress -c "$work/text" >"$work/text.Z"
compress -c "$work/random" >"$work/random.Z"
read -r ct_enc_cpu ct_enc_wall <<<"$(best_rate "$size" compress -c "$work/text")"
read -r ct_dec_cpu ct_dec_wall <<<"$(best_rate "$size" uncompress -c "$work/text.Z")"
read -r cr_enc_cpu cr_enc_wall <<<"$(best_rate "$size" compress -c "$work/random")"
read -r cr_dec_cpu cr_dec_wall <<<"$(best_rate "$size" uncompress -c "$work/random.Z")"

# lzw_bench as CSV: per repetition, name, iterations, real_time, cpu_time, unit, bytes/s
run_bench() {
    "$@" "$bench" --benchmark_filter='^BM_(Encode|Decode)(Text|Random)(ListScan)?$' \
        --benchmark_repetitions="$runs" --benchmark_format=csv 2>/dev/null
}
run_bench env >"$work/fresh.csv"
run_bench env GLIBC_TUNABLES=glibc.malloc.trim_threshold=1073741824 >"$work/kept.csv"

# best "cpu wall" MB/s of one benchmark: cpu from bytes_per_second, wall from real_time
codec_rate() {
    awk -F, -v name="\"$2\"" -v bytes="$3" '
        $1 == name {
            cpu = $6 / 1e6
            scale = ($5 == "ns") ? 1e-9 : ($5 == "us") ? 1e-6 : 1e-3
            wall = bytes / ($3 * scale) / 1e6
            if (cpu > best_cpu) best_cpu = cpu
            if (wall > best_wall) best_wall = wall
        }
        END { printf "%.1f %.1f\n", best_cpu, best_wall }' "$1"
}

row() {  # label, "cpu wall" of encode, "cpu wall" of decode
    local ec ew dc dw
    read -r ec ew <<<"$2"
    read -r dc dw <<<"$3"
    printf '%-44s %8.1f %8.1f   %8.1f %8.1f\n' "$1" "$ec" "$ew" "$dc" "$dw"
}

echo
echo "MB/s (10^6 plain bytes per second), best of $runs runs"
printf '%-44s %8s %8s   %8s %8s\n' "" "encode" "" "decode" ""
printf '%-44s %8s %8s   %8s %8s\n' "" "cpu" "wall" "cpu" "wall"
for data in text random; do
    if [ "$data" = text ]; then name=Text bytes=61440; else name=Random bytes=48000; fi
    echo "-- $data"
    row "LZW codec, $bytes-byte block" \
        "$(codec_rate "$work/fresh.csv" "BM_Encode$name" $bytes)" \
        "$(codec_rate "$work/fresh.csv" "BM_Decode$name" $bytes)"
    row "LZW codec, $bytes-byte block, kept memory" \
        "$(codec_rate "$work/kept.csv" "BM_Encode$name" $bytes)" \
        "$(codec_rate "$work/kept.csv" "BM_Decode$name" $bytes)"
    row "LZW codec encode with the list scan" \
        "$(codec_rate "$work/kept.csv" "BM_Encode${name}ListScan" $bytes)" "0 0"
    if [ "$data" = text ]; then
        row "ncompress, 6 MiB file" "$ct_enc_cpu $ct_enc_wall" "$ct_dec_cpu $ct_dec_wall"
    else
        row "ncompress, 6 MiB file" "$cr_enc_cpu $cr_enc_wall" "$cr_dec_cpu $cr_dec_wall"
    fi
done
echo
echo "packed sizes: text block $(awk -F, '$1 == "\"BM_DecodeText\"" { print $NF; exit }' \
    "$work/fresh.csv" | tr -d '"') bytes, random block $(awk -F, \
    '$1 == "\"BM_DecodeRandom\"" { print $NF; exit }' "$work/fresh.csv" | tr -d '"') bytes;" \
    "compress: text $(stat -c %s "$work/text.Z"), random $(stat -c %s "$work/random.Z") of $size"
