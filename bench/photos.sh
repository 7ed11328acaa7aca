# Sourced by the benchmarks that need camera-sized photos.
#
#   make_photos DIR COUNT    draws DIR/photo01.jpg ... photoCOUNT.jpg, 1600 x 1200, once
#
# One noisy gradient (noise keeps JPEG from packing it into nothing, as real photos do),
# rolled and turned to another hue for each photo, so that no two are alike. Needs
# ImageMagick's convert.

PHOTO_CONVERT=/usr/bin/convert # ImageMagick itself, whatever else is first in PATH

make_photos() {
    local media=$1 count=$2 q
    mkdir -p "$media"
    [ -f "$media/photo$(printf '%02d' "$count").jpg" ] && return 0
    printf 'drawing %d photos of 1600 x 1200 into %s\n' "$count" "$media" >&2
    "$PHOTO_CONVERT" -size 1600x1200 gradient:'#2050a0'-'#f0c070' -attenuate 0.5 \
        +noise Gaussian -blur 0x0.5 "$media/base.png"
    for q in $(seq 1 "$count"); do
        "$PHOTO_CONVERT" "$media/base.png" -roll "+$((q * 17))+$((q * 11))" \
            -modulate 100,100,$((q * 200 / count)) -quality 90 \
            "$media/photo$(printf '%02d' "$q").jpg"
    done
    rm -f "$media/base.png"
}
