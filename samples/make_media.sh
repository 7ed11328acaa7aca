#!/bin/bash
# Remakes every media file of the sample quizzes:
#   picture/media/*.jpg  drawn with ImageMagick (convert)
#   audio/media/*.mp3    spoken with espeak-ng (French voice), padded and levelled with sox, encoded with lame
#   video/media/*.avi    written by tools/avi/make_avi.cpp, compiled into a temporary folder
#
# Needs: imagemagick, espeak-ng, sox, lame, g++ (Debian: apt-get install imagemagick espeak-ng
# sox lame g++ fonts-dejavu-core).
#
# Usage: samples/make_media.sh [pictures|audio|video]...   (all three when none is named)
#
# The same tool versions give the same bytes: nothing below depends on the date, the clock or
# a random number. Other versions of ImageMagick, espeak-ng or lame may give slightly different
# files; the quizzes work the same with them.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

font=DejaVu-Sans
bold=DejaVu-Sans-Bold

need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || {
            echo "make_media.sh: $tool is missing" >&2
            exit 1
        }
    done
}

# Every picture is saved the same way: baseline JPEG, three colour channels, quality 80, no
# metadata, so the player's picture loader takes it and the file stays small.
save_jpeg() { # convert arguments..., the last one being the output file
    local out=${*: -1}
    convert "${@:1:$#-1}" -strip -type TrueColor -interlace None -quality 80 "$out"
    printf '  %-28s %6d bytes\n' "${out#"$here"/}" "$(stat -c %s "$out")"
}

# A reveal card: a coloured background, a big answer word, a smaller line under it and, on the
# left, whatever extra drawing is given (convert arguments applied before the text).
card() { # out width height background word line [convert arguments...]
    local out=$1 w=$2 h=$3 bg=$4 word=$5 line=$6
    shift 6
    save_jpeg -size "${w}x${h}" "xc:$bg" "$@" \
        -font "$bold" -pointsize 26 -fill "#202020" -gravity NorthEast -annotate +14+40 "$word" \
        -font "$font" -pointsize 15 -fill "#404040" -gravity NorthEast -annotate +14+82 "$line" \
        -gravity NorthWest -fill none -stroke "#808080" -strokewidth 2 \
        -draw "rectangle 1,1 $((w - 2)),$((h - 2))" "$out"
}

pictures() {
    need convert awk
    local m=$here/picture/media
    mkdir -p "$m"
    echo "pictures:"

    # 1. France: three vertical bands.
    save_jpeg -size 320x213 xc:white \
        -fill "#002395" -draw "rectangle 0,0 106,212" \
        -fill "#ED2939" -draw "rectangle 213,0 319,212" \
        -fill none -stroke "#909090" -draw "rectangle 0,0 319,212" "$m/q01.jpg"
    card "$m/r01.jpg" 270 150 "#EEF2FB" "FRANCE" "Capitale : Paris" \
        -fill "#002395" -draw "rectangle 16,45 41,105" -fill white -draw "rectangle 42,45 66,105" \
        -fill "#ED2939" -draw "rectangle 67,45 91,105"

    # 2. Japan: a red disc on white.
    save_jpeg -size 300x200 xc:white -fill "#BC002D" -draw "circle 150,100 150,40" \
        -fill none -stroke "#909090" -draw "rectangle 0,0 299,199" "$m/q02.jpg"
    card "$m/r02.jpg" 270 150 "#FBF0F0" "JAPON" "Capitale : Tokyo" \
        -fill white -stroke "#B0B0B0" -draw "rectangle 16,50 106,110" -stroke none \
        -fill "#BC002D" -draw "circle 61,80 61,62"

    # 3. Germany: three horizontal bands.
    save_jpeg -size 250x150 xc:black \
        -fill "#DD0000" -draw "rectangle 0,50 249,99" \
        -fill "#FFCE00" -draw "rectangle 0,100 249,149" "$m/q03.jpg"
    card "$m/r03.jpg" 300 150 "#FFF8E0" "ALLEMAGNE" "Capitale : Berlin" \
        -fill black -draw "rectangle 16,50 96,69" -fill "#DD0000" -draw "rectangle 16,70 96,89" \
        -fill "#FFCE00" -draw "rectangle 16,90 96,109"

    # 4. Belgium, small: the player enlarges it.
    save_jpeg -size 120x90 xc:black \
        -fill "#FDDA24" -draw "rectangle 40,0 79,89" \
        -fill "#EF3340" -draw "rectangle 80,0 119,89" "$m/q04.jpg"
    card "$m/r04.jpg" 280 150 "#F4F4F4" "BELGIQUE" "Capitale : Bruxelles" \
        -fill black -draw "rectangle 16,50 40,110" -fill "#FDDA24" -draw "rectangle 41,50 64,110" \
        -fill "#EF3340" -draw "rectangle 65,50 88,110"

    # 5. A regular hexagon, portrait.
    local hexagon numbers
    hexagon=$(awk 'BEGIN { pi = atan2(0, -1); s = "polygon";
        for (i = 0; i < 6; i++) { a = pi / 3 * i; s = s sprintf(" %.1f,%.1f", 100 + 80 * cos(a), 112 + 80 * sin(a)) }
        print s }')
    save_jpeg -size 200x260 xc:"#FFF8E0" -fill "#3A8FD0" -stroke "#1C4F7A" -strokewidth 4 \
        -draw "$hexagon" -stroke none -fill "#303030" -font "$bold" -pointsize 20 \
        -gravity South -annotate +0+14 "Quelle forme ?" "$m/q05.jpg"
    hexagon=$(awk 'BEGIN { pi = atan2(0, -1); s = "polygon";
        for (i = 0; i < 6; i++) { a = pi / 3 * i; s = s sprintf(" %.1f,%.1f", 120 + 75 * cos(a), 108 + 75 * sin(a)) }
        print s }')
    # one number beside the middle of each side, clockwise from the top one
    numbers=$(awk 'BEGIN { pi = atan2(0, -1);
        for (i = 0; i < 6; i++) { a = pi / 3 * i - pi / 2;
            printf "text %.0f,%.0f \"%d\" ", 120 + 82 * cos(a) - 6, 108 + 82 * sin(a) + 8, i + 1 } }')
    save_jpeg -size 240x240 xc:"#FFF8E0" -fill "#F2C230" -stroke "#8A6A00" -strokewidth 3 \
        -draw "$hexagon" -stroke none -fill "#B03020" -font "$bold" -pointsize 20 -draw "$numbers" \
        -fill "#303030" -pointsize 18 -gravity South -annotate +0+8 "6 côtés : l'hexagone" \
        "$m/r05.jpg"

    # 6. Saturn among fixed stars.
    local stars=""
    for xy in 20,30 62,180 95,22 140,210 210,15 250,200 300,40 335,150 30,120 320,95 180,35 120,120; do
        stars="$stars circle $xy ${xy%,*},$((${xy#*,} + 1))"
    done
    save_jpeg -size 360x240 xc:"#0B1026" -fill white -draw "$stars" \
        -fill none -stroke "#C8B27A" -strokewidth 6 -draw "ellipse 180,110 120,26 180,360" \
        -stroke none -fill "#E3C58A" -draw "circle 180,110 180,52" \
        -fill "#C9A868" -draw "rectangle 126,88 234,98" -draw "rectangle 124,118 236,126" \
        -fill none -stroke "#C8B27A" -strokewidth 6 -draw "ellipse 180,110 120,26 0,180" \
        -stroke none -fill white -font "$bold" -pointsize 18 -gravity South \
        -annotate +0+10 "Quelle planète ?" "$m/q06.jpg"
    # the eight planets in order, the sixth one ringed and named
    save_jpeg -size 340x130 xc:"#0B1026" -fill "#FFD23F" -draw "circle -30,55 -30,0" \
        -fill "#9E9E9E" -draw "circle 42,55 42,51" -fill "#E8C07A" -draw "circle 62,55 62,48" \
        -fill "#3F7FD8" -draw "circle 84,55 84,47" -fill "#C1440E" -draw "circle 104,55 104,50" \
        -fill "#D8B48A" -draw "circle 140,55 140,37" -fill "#E3C58A" -draw "circle 195,55 195,39" \
        -fill none -stroke "#FFFFFF" -strokewidth 3 -draw "ellipse 195,55 30,7 0,360" -stroke none \
        -fill "#9FE0E8" -draw "circle 245,55 245,45" -fill "#3B5BD8" -draw "circle 285,55 285,45" \
        -fill white -font "$bold" -pointsize 16 -gravity South \
        -annotate +0+10 "Saturne, 6e planète du Soleil" "$m/r06.jpg"

    # 7. A domino, portrait: five and six dots.
    local dots="" xy
    for xy in 50,50 90,50 70,70 50,90 90,90; do dots="$dots circle $xy $((${xy%,*} + 7)),${xy#*,}"; done
    for xy in 50,140 90,140 50,165 90,165 50,190 90,190; do dots="$dots circle $xy $((${xy%,*} + 7)),${xy#*,}"; done
    save_jpeg -size 140x280 xc:"#2E7D32" -fill "#FAFAF5" -stroke "#202020" -strokewidth 2 \
        -draw "roundrectangle 25,25 115,215 10,10" -stroke "#202020" -strokewidth 3 \
        -draw "line 32,120 108,120" -stroke none -fill "#151515" -draw "$dots" \
        -fill white -font "$bold" -pointsize 20 -gravity South -annotate +0+18 "Total ?" \
        "$m/q07.jpg"
    save_jpeg -size 260x130 xc:"#E8F5E9" -fill "#1B5E20" -font "$bold" -pointsize 40 \
        -gravity Center -annotate +0-12 "5 + 6 = 11" -font "$font" -pointsize 15 \
        -annotate +0+34 "onze points en tout" -fill none -stroke "#2E7D32" -strokewidth 2 \
        -gravity NorthWest -draw "rectangle 1,1 258,128" "$m/r07.jpg"

    # 8. Colours: blue plus yellow.
    save_jpeg -size 360x140 xc:white -fill "#1E64DC" -draw "circle 60,62 60,22" \
        -fill "#FAD700" -draw "circle 180,62 180,22" \
        -fill white -stroke "#A0A0A0" -strokewidth 3 -draw "circle 300,62 300,22" -stroke none \
        -fill "#303030" -font "$bold" -pointsize 36 \
        -draw "text 108,76 '+'" -draw "text 228,76 '='" -draw "text 289,76 '?'" \
        -font "$font" -pointsize 15 -draw "text 40,124 'bleu'" -draw "text 156,124 'jaune'" \
        "$m/q08.jpg"
    # overlapping discs mixed like paint (multiply): the shared part turns green
    convert -size 240x200 xc:white -fill "#00A0E6" -draw "circle 90,90 90,30" "$work/a.png"
    convert -size 240x200 xc:white -fill "#FFE600" -draw "circle 150,90 150,30" "$work/b.png"
    save_jpeg "$work/a.png" "$work/b.png" -compose Multiply -composite -compose Over \
        -fill "#303030" -font "$bold" -pointsize 17 -gravity South -annotate +0+8 \
        "bleu + jaune = vert" "$m/r08.jpg"

    # 9. A clock showing ten past ten, portrait.
    local face hands
    face=$(awk 'BEGIN { pi = atan2(0, -1);
        for (i = 1; i <= 12; i++) { a = i * pi / 6;
            printf "text %.0f,%.0f \"%d\" ", 120 + 82 * sin(a) - (i >= 10 ? 11 : 6), 118 - 82 * cos(a) + 8, i }
        }')
    hands=$(awk 'BEGIN { pi = atan2(0, -1); h = (10 + 10 / 60) * pi / 6;
        printf "line 120,118 %.0f,%.0f", 120 + 50 * sin(h), 118 - 50 * cos(h) }')
    local minute
    minute=$(awk 'BEGIN { pi = atan2(0, -1); m = 10 * pi / 30;
        printf "line 120,118 %.0f,%.0f", 120 + 66 * sin(m), 118 - 66 * cos(m) }')
    save_jpeg -size 240x280 xc:"#F0F4F8" -fill white -stroke "#34495E" -strokewidth 6 \
        -draw "circle 120,118 120,14" -stroke none -fill "#34495E" -font "$bold" -pointsize 18 \
        -draw "$face" -stroke "#222222" -strokewidth 8 -draw "$hands" -strokewidth 4 \
        -draw "$minute" -stroke none -fill "#C0392B" -draw "circle 120,118 120,112" \
        -fill "#303030" -pointsize 15 -gravity South -annotate +0+12 "Quelle heure ? (ex. 7h45)" \
        "$m/q09.jpg"
    save_jpeg -size 260x110 xc:"#101010" -fill "#39FF6A" -font DejaVu-Sans-Mono-Bold \
        -pointsize 56 -gravity Center -annotate +0-8 "10:10" -fill "#A0A0A0" -font "$font" \
        -pointsize 13 -annotate +0+38 "dix heures dix" "$m/r09.jpg"
}

# speak OUT TEXT: French speech, a little silence at both ends, mono 22.05 kHz MP3 at 32 kbit/s.
speak() {
    local out=$1 text=$2
    espeak-ng -v fr -s 145 -w "$work/speech.wav" "$text"
    # -R -D: no random dither, so the same text always gives the same bytes
    sox -R -D "$work/speech.wav" "$work/padded.wav" gain -n -1 pad 0.3 0.4
    lame --quiet -m m -b 32 --resample 22.05 "$work/padded.wav" "$out"
    printf '  %-28s %6d bytes\n' "${out#"$here"/}" "$(stat -c %s "$out")"
}

audio() {
    need espeak-ng sox lame
    local m=$here/audio/media
    mkdir -p "$m"
    echo "audio:"
    speak "$m/q01.mp3" "Question 1. Combien font 7 plus 5 ? Répondez en chiffres."
    speak "$m/q02.mp3" "Question 2. Quel animal s'écrit : C, H, E, V, A, L ?"
    speak "$m/q03.mp3" "Question 3. Je suis la capitale de l'Italie. Qui suis-je ?"
    speak "$m/q04.mp3" "Question 4. Quel jour de la semaine vient juste après mardi ?"
    speak "$m/q05.mp3" "Question 5. Je vole la nuit et je dors la tête en bas. Qui suis-je ?"
    speak "$m/q06.mp3" "Question 6. J'ai des dents mais je ne mords jamais. Je démêle les cheveux. Qui suis-je ?"
}

video() {
    need g++
    local m=$here/video/media
    mkdir -p "$m"
    echo "video:"
    g++ -std=c++17 -O2 -I"$root" -o "$work/make_avi" "$root/tools/avi/make_avi.cpp"
    "$work/make_avi" count "$m/q01.avi" >/dev/null
    "$work/make_avi" flag "$m/q02.avi" >/dev/null
    "$work/make_avi" trace "$m/q03.avi" >/dev/null
    for f in "$m"/q0?.avi; do
        printf '  %-28s %6d bytes\n' "${f#"$here"/}" "$(stat -c %s "$f")"
    done
}

[ $# -gt 0 ] || set -- pictures audio video
for part in "$@"; do
    case $part in
    pictures | audio | video) "$part" ;;
    *)
        echo "usage: make_media.sh [pictures|audio|video]..." >&2
        exit 2
        ;;
    esac
done
