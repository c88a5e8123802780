#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Draws every picture Keyvale uses and writes them into resources/pictures/, and the
# desktop icons, in the hicolor theme's layout, into resources/icons/.
#
#   bash resources/make-pictures.sh
#
# Needs ImageMagick 6 (convert, identify) and python3 (standard library only).
# Everything is drawn from geometric primitives; the only text uses the DejaVu
# Sans Bold font file named below, so the output is the same on every run.
# Icons, the save button bitmap and the GIF awards are encoded by
# make-pictures.py beside this script, so their exact layout (colour depth,
# palette size, no extension blocks) does not depend on ImageMagick's encoders.

set -euo pipefail
export LC_ALL=C
export MAGICK_THREAD_LIMIT=1

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
OUT="$HERE/pictures"
ICONS="$HERE/icons"
ICON_SIZES="16 22 24 32 48 64 128 256"
FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

for tool in convert identify python3; do
    command -v "$tool" >/dev/null || { echo "make-pictures: '$tool' not found" >&2; exit 1; }
done
[ -f "$FONT" ] || { echo "make-pictures: font $FONT not found" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT"

# Raw pixels in, ICO / PNG / BMP / GIF87a out, plus checks: make-pictures.py.
pix() { python3 "$HERE/make-pictures.py" "$@"; }

# ---------------------------------------------------------------------------
# Drawing helpers
# ---------------------------------------------------------------------------

# star CX CY OUTER INNER POINTS [TURN]: point list of a star polygon
star() {
    awk -v cx="$1" -v cy="$2" -v R="$3" -v r="$4" -v n="$5" -v turn="${6:-0}" 'BEGIN {
        pi = atan2(0, -1); s = ""
        for (i = 0; i < 2 * n; i++) {
            d = (i % 2 == 0) ? R : r
            a = (turn - 90 + i * 180 / n) * pi / 180
            s = s sprintf("%.2f,%.2f ", cx + d * cos(a), cy + d * sin(a))
        }
        print s
    }'
}

# rays CX CY RADIUS COUNT: "polygon" draw commands for every other wedge of a sunburst
rays() {
    awk -v cx="$1" -v cy="$2" -v R="$3" -v n="$4" 'BEGIN {
        pi = atan2(0, -1)
        for (i = 0; i < n; i += 2) {
            a = i * 2 * pi / n; b = (i + 1) * 2 * pi / n
            printf "polygon %.2f,%.2f %.2f,%.2f %.2f,%.2f ", cx, cy,
                cx + R * cos(a), cy + R * sin(a), cx + R * cos(b), cy + R * sin(b)
        }
    }'
}

# ring CX CY DIST RADIUS COUNT: "circle" draw commands for COUNT dots on a ring
ring() {
    awk -v cx="$1" -v cy="$2" -v D="$3" -v r="$4" -v n="$5" 'BEGIN {
        pi = atan2(0, -1)
        for (i = 0; i < n; i++) {
            a = i * 2 * pi / n - pi / 2
            x = cx + D * cos(a); y = cy + D * sin(a)
            printf "circle %.2f,%.2f %.2f,%.2f ", x, y, x + r, y
        }
    }'
}

# leaves CX CY RADIUS COUNT: draw commands for a laurel wreath's two branches
leaves() {
    awk -v cx="$1" -v cy="$2" -v R="$3" -v n="$4" 'BEGIN {
        pi = atan2(0, -1)
        for (side = -1; side <= 1; side += 2)
            for (k = 0; k < n; k++) {
                a = 105 + k * 135 / (n - 1)
                if (side > 0) a = 180 - a
                x = cx + R * cos(a * pi / 180); y = cy + R * sin(a * pi / 180)
                turn = (side < 0) ? a + 90 - 35 : a - 90 + 35
                printf "push graphic-context translate %.2f,%.2f rotate %.2f ellipse 0,0 4.2,1.8 0,360 pop graphic-context ", x, y, turn
            }
    }'
}

# Every picture the windows show is drawn twice: as designed, and at twice the size as
# its "@2x" companion (award01.jpg and award01@2x.jpg), which Qt shows on screens of
# twice the pixel density. The smooth pictures (JPEG, GIF) come from the same drawing
# commands at both sizes (scaled, below). The pixel-drawn icons and the save button's
# bitmap have drawings of their own at twice the size: the same pictures with lines,
# bevels and highlights one pixel wide at that size, so that diagonals and curves
# step by one pixel, not by two.
SCALES="1 2"

# named FILE SCALE: FILE's name at SCALE, award01.jpg 2 -> award01@2x.jpg
named() {
    if [ "$2" = 1 ]; then
        echo "$1"
    elif [[ $1 == *.* ]]; then
        echo "${1%.*}@${2}x.${1##*.}"
    else
        echo "$1@${2}x"
    fi
}

# scaled SCALE CONVERT-ARGS...: convert, drawn as designed (SCALE 1) or twice as large
# (SCALE 2). Every -size doubles, and every -draw goes through a transform that maps
# each pixel of the design (centred on whole coordinates) onto the 2 x 2 pixels that
# stand for it. Two of ImageMagick's ways are made up for, so that shapes keep their
# weight:
# - it fills a shape half a pixel beyond its outline (rectangle 4,3 7,3 is a row of
#   four pixels), a half that does not grow with the transform: a fill without a
#   stroke gets a stroke of its own colour, 0.75 wide, which fills the 2 x 2 pixels
#   of each designed edge pixel and no more (opaque fills only: a see-through one
#   would be painted twice there);
# - it draws a stroke of up to two pixels by its distance from the path, with round
#   ends and corners; a wider one it outlines with square ends, and closes a lone
#   open arc with a straight line: round ends and corners keep the grown strokes
#   looking like the designed ones.
scaled() {
    local arg option='' fill=black stroke=none extra args=()
    if [ "$1" = 1 ]; then shift; convert "$@"; return; fi
    shift
    for arg in "$@"; do
        case $option in
            -size) arg="$((${arg%x*} * 2))x$((${arg#*x} * 2))" ;;
            -fill) fill=$arg ;;
            -stroke) stroke=$arg ;;
            -draw)
                extra=
                if [ "$stroke" = none ] && [ "$fill" != none ] &&
                    [[ ! $fill =~ ^#[0-9A-Fa-f]{8}$ && $arg != text* ]]; then
                    extra="stroke '$fill' stroke-width 0.75"
                fi
                arg="affine 2,0,0,2,0.5,0.5 stroke-linecap round stroke-linejoin round $extra $arg" ;;
        esac
        option=$arg
        args+=("$arg")
    done
    convert "${args[@]}"
}

# icon NAME SIZE DRAW-ARGS...: crisp (not anti-aliased) drawing on a clear square of
# SIZE pixels into NAME-SIZE.rgba; the companions' drawings are named NAME@2x
icon() {
    local name=$1 size=$2; shift 2
    convert -size "${size}x${size}" xc:none +antialias -strokewidth 1 "$@" \
        -depth 8 "RGBA:$WORK/$name-$size.rgba"
}

# ico NAME: NAME.ico from the 32 and 16 pixel drawings, and NAME@2x.ico from the
# NAME@2x drawings of 64 and 32 pixels
ico() {
    local scale name
    for scale in $SCALES; do
        name=$(named "$1" "$scale")
        pix ico "$OUT/$name.ico" "$((32 * scale))" "$WORK/$name-$((32 * scale)).rgba" \
            "$((16 * scale))" "$WORK/$name-$((16 * scale)).rgba"
    done
}

# jpeg FILE CONVERT-ARGS...: smooth drawing saved as a plain baseline JPEG
jpeg() {
    local file=$1 scale; shift
    for scale in $SCALES; do
        scaled "$scale" "$@" -strip -colorspace sRGB -type TrueColor -sampling-factor 1x1 \
            -quality 92 -interlace None "JPEG:$OUT/$(named "$file" "$scale")"
    done
}

# gif FILE W H CONVERT-ARGS...: smooth drawing, reduced to at most 256 colours
gif() {
    local file=$1 w=$2 h=$3 scale f; shift 3
    for scale in $SCALES; do
        f=$(named "$file" "$scale")
        scaled "$scale" "$@" -alpha off +dither -colors 256 -depth 8 "RGB:$WORK/$f.rgb"
        pix gif "$OUT/$f" "$WORK/$f.rgb" "$((w * scale))" "$((h * scale))"
    done
}

# ---------------------------------------------------------------------------
# Program icon: an orange key cap with a blue "K"
# ---------------------------------------------------------------------------
icon keyvale 32 \
    -stroke '#000080' -fill '#C08040' -draw 'polygon 4,1 27,1 30,4 30,27 27,30 4,30 1,27 1,4' \
    -stroke none -fill '#904820' -draw 'polygon 3,29 28,29 25,22 6,22' \
    -fill '#A86030' -draw 'polygon 29,4 29,27 25,21 25,3' \
    -stroke '#D89050' -fill '#FFC080' -draw 'polygon 7,3 24,3 25,4 25,20 24,21 7,21 6,20 6,4' \
    -stroke none -fill '#FFE8D0' -draw 'rectangle 8,4 23,4' -draw 'rectangle 7,5 7,19' \
    -fill '#0000C0' -draw 'rectangle 10,6 13,18' \
    -draw 'polygon 13,11 19,6 23,6 14,14' -draw 'polygon 15,11 23,18 19,18 13,13' \
    -fill none -stroke '#000080' -draw 'polygon 4,1 27,1 30,4 30,27 27,30 4,30 1,27 1,4'
icon keyvale 16 \
    -stroke '#000080' -fill '#C08040' -draw 'polygon 2,0 13,0 15,2 15,13 13,15 2,15 0,13 0,2' \
    -stroke none -fill '#904820' -draw 'polygon 2,14 13,14 12,11 3,11' \
    -fill '#FFC080' -draw 'rectangle 3,1 12,10' \
    -fill '#0000C0' -draw 'rectangle 5,3 6,9' \
    -draw 'polygon 7,5 9,3 10,3 10,4 7,7' -draw 'polygon 8,6 10,8 10,9 9,9 7,7'
# Twice the size: the corners cut at 45 degrees, the skirts' edges ending on them, a
# one-pixel rim and light on the top face, and the "K" with one-pixel steps
icon keyvale@2x 64 \
    -stroke '#000080' -fill '#C08040' -draw 'polygon 8,2 55,2 61,8 61,55 55,61 8,61 2,55 2,8' \
    -stroke none -fill '#904820' -draw 'polygon 5,58 8,61 55,61 58,58 51,44 12,44' \
    -fill '#A86030' -draw 'polygon 51,5 58,5 61,8 61,55 60,56 52,43' \
    -stroke '#D89050' -fill '#FFC080' -draw 'roundrectangle 12,6 51,43 3,3' \
    -stroke none -fill '#FFE8D0' -draw 'rectangle 15,7 48,7' -draw 'rectangle 13,9 13,40' \
    -fill '#0000C0' -draw 'rectangle 20,12 27,37' \
    -draw 'polygon 27,22 38,12 47,12 28,29' -draw 'polygon 31,22 47,37 38,37 27,27' \
    -fill none -stroke '#000080' -draw 'polygon 8,2 55,2 61,8 61,55 55,61 8,61 2,55 2,8'
icon keyvale@2x 32 \
    -stroke '#000080' -fill '#C08040' -draw 'polygon 4,0 27,0 31,4 31,27 27,31 4,31 0,27 0,4' \
    -stroke none -fill '#904820' -draw 'polygon 2,29 4,31 27,31 29,29 25,22 6,22' \
    -fill '#A86030' -draw 'polygon 26,2 29,2 31,4 31,27 30,28 26,21' \
    -stroke '#D89050' -fill '#FFC080' -draw 'roundrectangle 6,2 25,21 1,1' \
    -stroke none -fill '#FFE8D0' -draw 'rectangle 8,3 23,3' -draw 'rectangle 7,4 7,19' \
    -fill '#0000C0' -draw 'rectangle 10,6 13,18' \
    -draw 'polygon 13,11 18,6 22,6 14,14' -draw 'polygon 15,11 22,18 18,18 13,13' \
    -fill none -stroke '#000080' -draw 'polygon 4,0 27,0 31,4 31,27 27,31 4,31 0,27 0,4'
ico keyvale
pix png "$OUT/keyvale-32.png" "$WORK/keyvale-32.rgba" 32
pix png "$OUT/keyvale-16.png" "$WORK/keyvale-16.rgba" 16

# ---------------------------------------------------------------------------
# Score dialog icon: a gold cup on a blue plinth
# ---------------------------------------------------------------------------
icon dlgscore 32 \
    -fill none -stroke '#604000' -strokewidth 1 \
    -draw 'ellipse 7,9 6,6 90,270' -draw 'ellipse 24,9 6,6 270,450' \
    -draw 'ellipse 7,9 3,3 90,270' -draw 'ellipse 24,9 3,3 270,450' \
    -stroke '#F0B020' -strokewidth 2 \
    -draw 'ellipse 7,9 4.5,4.5 90,270' -draw 'ellipse 24,9 4.5,4.5 270,450' \
    -strokewidth 1 -stroke '#604000' -fill '#F0B020' \
    -draw 'path "M 7,2 L 24,2 L 24,8 Q 24,19 15.5,19 Q 7,19 7,8 Z"' \
    -stroke none -fill '#FFF0A0' -draw 'rectangle 10,4 11,12' \
    -fill '#C08000' -draw 'rectangle 19,4 21,12' \
    -stroke '#604000' -fill '#C08000' -draw 'rectangle 14,19 17,23' \
    -draw 'rectangle 10,23 21,26' \
    -fill '#3040A0' -draw 'rectangle 7,26 24,30' \
    -stroke none -fill '#FFF0A0' -draw 'rectangle 12,28 19,28'
icon dlgscore 16 \
    -fill none -stroke '#C08000' \
    -draw 'ellipse 4,5 3,3 90,270' -draw 'ellipse 11,5 3,3 270,450' \
    -stroke '#604000' -fill '#F0B020' \
    -draw 'path "M 3,1 L 12,1 L 12,4 Q 12,9 7.5,9 Q 3,9 3,4 Z"' \
    -stroke none -fill '#FFF0A0' -draw 'rectangle 5,2 5,5' \
    -fill '#C08000' -draw 'rectangle 7,9 8,11' -draw 'rectangle 5,11 10,12' \
    -fill '#3040A0' -draw 'rectangle 3,13 12,15'
# Twice the size: handles as outlined half rings, light down the bowl's left and its
# shade following the curve on the right; the small cup keeps its plain handles
icon dlgscore@2x 64 \
    -stroke '#604000' -fill '#F0B020' \
    -draw 'path "M 14,6 A 12,12 0 0 0 14,30 L 14,24 A 6,6 0 0 1 14,12 Z"' \
    -draw 'path "M 49,6 A 12,12 0 0 1 49,30 L 49,24 A 6,6 0 0 0 49,12 Z"' \
    -draw 'path "M 14,4 L 49,4 L 49,16 Q 49,39 31.5,39 Q 14,39 14,16 Z"' \
    -stroke none -fill '#C08000' -draw 'path "M 40,5 L 48,5 L 48,16 Q 48,38 31.5,38 Q 42,34 42,16 Z"' \
    -fill '#FFF0A0' -draw 'path "M 19,8 L 22,8 L 22,20 Q 22,26 24,29 Q 19,25 19,18 Z"' \
    -stroke '#604000' -fill '#C08000' -draw 'rectangle 28,39 35,47' -draw 'rectangle 20,46 43,53' \
    -fill '#3040A0' -draw 'rectangle 14,52 49,61' \
    -stroke none -fill '#FFF0A0' -draw 'rectangle 24,56 39,57'
icon dlgscore@2x 32 \
    -fill none -stroke '#C08000' -strokewidth 2 \
    -draw 'ellipse 7,10 4.5,4.5 90,270' -draw 'ellipse 24,10 4.5,4.5 270,450' \
    -strokewidth 1 -stroke '#604000' -fill '#F0B020' \
    -draw 'path "M 6,2 L 25,2 L 25,8 Q 25,19 15.5,19 Q 6,19 6,8 Z"' \
    -stroke none -fill '#C08000' -draw 'path "M 20,3 L 24,3 L 24,8 Q 24,18 15.5,18 Q 21,15 21,8 Z"' \
    -fill '#FFF0A0' -draw 'rectangle 9,4 10,11' \
    -stroke '#604000' -fill '#C08000' -draw 'rectangle 14,19 17,23' -draw 'rectangle 10,22 21,26' \
    -fill '#3040A0' -draw 'rectangle 6,26 25,31'
ico dlgscore

# ---------------------------------------------------------------------------
# OK button: a green check mark
# ---------------------------------------------------------------------------
icon cmdok 32 \
    -stroke '#004000' -fill '#00A800' \
    -draw 'polygon 2,16 7,11 12,16 25,3 30,8 12,26' \
    -stroke '#80F080' -draw 'line 4,16 7,13' -draw 'line 12,18 25,5'
icon cmdok 16 \
    -stroke '#004000' -fill '#00A800' \
    -draw 'polygon 1,8 4,5 6,7 12,1 15,4 6,13'
# Twice the size: one-pixel outline and 45-degree edges, light along the edges facing
# up and left, shade along those facing down
icon cmdok@2x 64 \
    -stroke '#004000' -fill '#00A800' -draw 'polygon 4,32 14,22 24,32 50,6 60,16 24,52' \
    -stroke '#008000' -draw 'line 5,32 24,51' -draw 'line 24,51 59,16' \
    -stroke '#40D040' -draw 'line 7,32 14,25' -draw 'line 26,33 50,9' \
    -stroke '#80F080' -draw 'line 6,32 14,24' -draw 'line 26,32 50,8' \
    -fill none -stroke '#004000' -draw 'polygon 4,32 14,22 24,32 50,6 60,16 24,52'
icon cmdok@2x 32 \
    -stroke '#004000' -fill '#00A800' -draw 'polygon 2,16 8,10 12,14 24,2 30,8 12,26' \
    -stroke '#008000' -draw 'line 3,16 12,25' -draw 'line 12,25 29,8' \
    -stroke '#80F080' -draw 'line 3,16 8,11' -draw 'line 13,14 24,3' \
    -fill none -stroke '#004000' -draw 'polygon 2,16 8,10 12,14 24,2 30,8 12,26'
ico cmdok

# ---------------------------------------------------------------------------
# Report button: a ruled sheet of paper with a red tick
# ---------------------------------------------------------------------------
icon cmdscore 32 \
    -stroke '#404040' -fill white -draw 'polygon 5,1 21,1 27,7 27,30 5,30' \
    -fill '#C0C0C0' -draw 'polygon 21,1 21,7 27,7' \
    -stroke '#0000C0' -draw 'line 8,6 18,6' -draw 'line 8,10 24,10' -draw 'line 8,14 24,14' \
    -draw 'line 8,18 24,18' -draw 'line 8,22 16,22' \
    -fill none -stroke '#E00000' -strokewidth 2 -draw 'polyline 17,24 20,27 25,20'
icon cmdscore 16 \
    -stroke '#404040' -fill white -draw 'polygon 2,0 10,0 13,3 13,15 2,15' \
    -fill '#C0C0C0' -draw 'polygon 10,0 10,3 13,3' \
    -stroke '#0000C0' -draw 'line 4,4 8,4' -draw 'line 4,6 11,6' -draw 'line 4,8 11,8' \
    -draw 'line 4,10 7,10' \
    -stroke '#E00000' -draw 'line 8,12 9,13' -draw 'line 9,13 12,10' \
    -draw 'line 8,11 9,12' -draw 'line 9,12 12,9'
# Twice the size: a one-pixel edge, ruled lines one pixel deep with a paler one under
# each, and a tick whose steps are single pixels
icon cmdscore@2x 64 \
    -stroke '#404040' -fill white -draw 'polygon 10,2 43,2 55,14 55,61 10,61' \
    -fill '#C0C0C0' -draw 'polygon 43,2 43,14 55,14' \
    -stroke '#0000C0' -draw 'line 16,12 37,12' -draw 'line 16,20 49,20' -draw 'line 16,28 49,28' \
    -draw 'line 16,36 49,36' -draw 'line 16,44 33,44' \
    -stroke '#8080E0' -draw 'line 16,13 37,13' -draw 'line 16,21 49,21' -draw 'line 16,29 49,29' \
    -draw 'line 16,37 49,37' -draw 'line 16,45 33,45' \
    -fill none -stroke '#E00000' -strokewidth 5 \
    -draw 'stroke-linecap round stroke-linejoin round polyline 34.5,48.5 40.5,54.5 50.5,40.5'
icon cmdscore@2x 32 \
    -stroke '#404040' -fill white -draw 'polygon 4,0 21,0 27,6 27,31 4,31' \
    -fill '#C0C0C0' -draw 'polygon 21,0 21,6 27,6' \
    -stroke '#0000C0' -draw 'line 8,8 17,8' -draw 'line 8,12 23,12' -draw 'line 8,16 23,16' \
    -draw 'line 8,20 15,20' \
    -stroke '#8080E0' -draw 'line 8,9 17,9' -draw 'line 8,13 23,13' -draw 'line 8,17 23,17' \
    -draw 'line 8,21 15,21' \
    -fill none -stroke '#E00000' \
    -draw 'polyline 17,23 19,25 25,18' -draw 'polyline 16,23 19,26 25,19' -draw 'polyline 16,24 19,27 25,20'
ico cmdscore

# ---------------------------------------------------------------------------
# Save button: a floppy disk (16-colour Windows bitmap, 246 bytes; 630 at twice the size)
# ---------------------------------------------------------------------------
# bitmap FILE SIZE DRAW-ARGS...: crisp drawing on the button's grey, SIZE pixels square
bitmap() {
    local file=$1 size=$2; shift 2
    convert -size "${size}x${size}" xc:'#C0C0C0' +antialias -strokewidth 1 "$@" \
        -alpha off -depth 8 "RGB:$WORK/$file.rgb"
    pix bmp "$OUT/$file" "$WORK/$file.rgb" "$size" "$size"
}
bitmap cmdsave.bmp 16 \
    -stroke black -fill '#202090' -draw 'polygon 1,1 13,1 14,2 14,14 1,14' \
    -stroke none -fill '#C0C0C0' -draw 'rectangle 4,2 11,5' \
    -fill '#202090' -draw 'rectangle 9,3 10,4' \
    -fill white -draw 'rectangle 3,8 12,13' \
    -fill '#808080' -draw 'rectangle 4,10 11,10' -draw 'rectangle 4,12 11,12' \
    -fill '#6060D0' -draw 'rectangle 2,2 2,12'
# Twice the size: a one-pixel outline and cut corner, the shutter raised by a light
# and a dark edge, label lines one pixel deep
bitmap cmdsave@2x.bmp 32 \
    -stroke black -fill '#202090' -draw 'polygon 2,2 26,2 29,5 29,29 2,29' \
    -stroke none -fill '#6060D0' -draw 'rectangle 3,3 3,27' \
    -fill '#C0C0C0' -draw 'rectangle 8,3 23,11' \
    -fill white -draw 'rectangle 8,3 8,10' \
    -fill '#808080' -draw 'rectangle 9,11 23,11' -draw 'rectangle 23,3 23,10' \
    -fill '#202090' -draw 'rectangle 18,5 21,8' \
    -fill white -draw 'rectangle 6,16 25,28' \
    -fill '#808080' -draw 'rectangle 8,20 23,20' -draw 'rectangle 8,24 23,24'

# ---------------------------------------------------------------------------
# Exit button: an open door with an arrow leading out
# ---------------------------------------------------------------------------
jpeg cmdexit.jpg -size 64x60 gradient:'#0A5A1A-#003008' \
    -stroke '#2A1A08' -strokewidth 2 -fill '#FFE8A0' -draw 'rectangle 20,8 44,54' \
    -stroke none -fill '#FFF6D8' -draw 'polygon 21,9 43,9 43,53 33,53' \
    -stroke '#2A1A08' -strokewidth 1 -fill '#8B5A2B' -draw 'polygon 20,8 31,14 31,50 20,54' \
    -fill '#6A4020' -draw 'polygon 22,12 29,16 29,30 22,28' -draw 'polygon 22,33 29,34 29,47 22,50' \
    -fill '#F0C040' -stroke none -draw 'circle 28.5,32 28.5,33.6' \
    -stroke white -strokewidth 1.5 -fill '#E02020' \
    -draw 'polygon 33,27 45,27 45,21 58,31 45,41 45,35 33,35' \
    -stroke none -fill '#001C04' -draw 'rectangle 0,55 63,59'

# ---------------------------------------------------------------------------
# The learner at the keyboard
# ---------------------------------------------------------------------------
jpeg imgplayer.jpg -size 76x109 gradient:'#3858E0-#0A1470' \
    -stroke '#B05810' -strokewidth 1 -fill '#FF9A40' -draw 'roundrectangle 20,44 56,92 9,9' \
    -stroke none -fill '#FFC080' -draw 'polygon 33,44 43,44 38,52' \
    -fill '#E8B080' -draw 'rectangle 34,38 42,46' \
    -stroke '#A06830' -fill '#F4C898' -draw 'circle 38,28 38,40' \
    -stroke none -fill '#4A2A10' -draw 'ellipse 38,25 13,11 180,360' \
    -draw 'polygon 25,25 29,21 31,27 25,30' -draw 'polygon 51,25 47,21 45,27 51,30' \
    -fill '#1A1A40' -draw 'circle 33.5,30 33.5,31.6' -draw 'circle 42.5,30 42.5,31.6' \
    -fill none -stroke '#A04020' -strokewidth 1.4 -draw 'ellipse 38,33 4,2.5 20,160' \
    -stroke '#D07020' -strokewidth 7 -draw 'polyline 24,52 19,72 29,86' -draw 'polyline 52,52 57,72 47,86' \
    -stroke none -fill '#6A3A14' -draw 'rectangle 0,92 75,108' \
    -fill '#9A6028' -draw 'rectangle 0,90 75,94' \
    -stroke '#404858' -strokewidth 1 -fill '#D8DCE4' -draw 'roundrectangle 10,82 66,96 2,2' \
    -stroke none -fill '#9098A8' \
    -draw 'rectangle 13,85 17,87' -draw 'rectangle 19,85 23,87' -draw 'rectangle 25,85 29,87' \
    -draw 'rectangle 31,85 35,87' -draw 'rectangle 37,85 41,87' -draw 'rectangle 43,85 47,87' \
    -draw 'rectangle 49,85 53,87' -draw 'rectangle 55,85 63,87' \
    -draw 'rectangle 13,89 19,91' -draw 'rectangle 21,89 25,91' -draw 'rectangle 27,89 31,91' \
    -draw 'rectangle 33,89 37,91' -draw 'rectangle 39,89 43,91' -draw 'rectangle 45,89 49,91' \
    -draw 'rectangle 51,89 63,91' -draw 'rectangle 22,93 54,94' \
    -stroke '#A06830' -fill '#F4C898' -draw 'ellipse 30,87 4,3 0,360' -draw 'ellipse 46,87 4,3 0,360'

# ---------------------------------------------------------------------------
# Awards 1-8 (JPEG)
# ---------------------------------------------------------------------------
# 1: gold star on a night-blue field
jpeg award01.jpg -size 49x40 gradient:'#3050D0-#0C1A60' \
    -fill '#FFFFFF' -draw "polygon $(star 7 7 4 1 4)" -draw "polygon $(star 42 33 3 1 4)" \
    -stroke '#A06800' -strokewidth 1.2 -fill '#FFD030' -draw "polygon $(star 24.5 21 17 7 5)" \
    -stroke none -fill '#FFF0A0' -draw "polygon 24.5,6 27,15 24.5,21 22,15"

# 2: round gold medal on a red and blue ribbon
jpeg award02.jpg -size 49x41 gradient:'#FFF6DC-#EAD49A' \
    -stroke '#600010' -strokewidth 1 -fill '#D02030' -draw 'polygon 12,0 21,0 29,19 20,19' \
    -stroke '#101860' -fill '#2848D0' -draw 'polygon 37,0 28,0 20,19 29,19' \
    -stroke '#805000' -fill '#F0B020' -draw 'circle 24.5,27 24.5,39.5' \
    -fill '#FFD850' -draw 'circle 24.5,27 24.5,36' \
    -stroke none -fill '#C08000' -draw "polygon $(star 24.5 27.5 7 3 5)"

# 3: a laurel wreath around a gold grade
jpeg award03.jpg -size 49x41 gradient:'#F4F0FF-#BCB0E0' \
    -fill none -stroke '#2A6A20' -strokewidth 1.2 \
    -draw 'ellipse 24.5,19 14,14 100,245' -draw 'ellipse 24.5,19 14,14 295,440' \
    -stroke '#1E5A18' -strokewidth 0.8 -fill '#48A838' -draw "$(leaves 24.5 19 14 7)" \
    -stroke '#801018' -strokewidth 0.8 -fill '#D82838' \
    -draw 'polygon 24.5,33 19,39 22,40 24.5,36 27,40 30,39' \
    -draw 'circle 24.5,33.5 24.5,35.5' \
    -stroke '#7A5000' -strokewidth 0.8 -fill '#FFC820' -font "$FONT" -pointsize 15 \
    -draw 'text 15.5,25 "A"' -pointsize 11 -draw 'text 27,19 "+"'

# 4: blue rosette with two tails
jpeg award04.jpg -size 49x41 gradient:'#FFFFFF-#C8D0DC' \
    -stroke '#10206A' -strokewidth 1 -fill '#2A50D8' \
    -draw 'polygon 18,18 24,22 18,40 14,36 10,39' -draw 'polygon 31,18 25,22 31,40 35,36 39,39' \
    -fill '#3A64F0' -draw "$(ring 24.5 16 11 4.5 12)" \
    -fill '#1A3AB0' -draw 'circle 24.5,16 24.5,27' \
    -fill '#F8F8FF' -draw 'circle 24.5,16 24.5,23' \
    -stroke none -fill '#D02030' -draw "polygon $(star 24.5 16.5 6 2.5 5)"

# 5: a pink flower on green
jpeg award05.jpg -size 49x41 gradient:'#E0F8C8-#78C060' \
    -stroke '#2A7A20' -strokewidth 2 -fill none -draw 'path "M 24.5,22 Q 22,32 25,41"' \
    -stroke '#1E6A18' -strokewidth 1 -fill '#3AA030' -draw 'ellipse 32,33 6,2.5 0,360' \
    -stroke '#B02070' -fill '#FF70B8' -draw "$(ring 24.5 15 8 6 6)" \
    -stroke '#A07000' -fill '#FFD820' -draw 'circle 24.5,15 24.5,20' \
    -stroke none -fill '#FFF4B0' -draw 'circle 23,13.5 23,15'

# 6: a jewelled crown on dark red
jpeg award06.jpg -size 49x41 gradient:'#B02030-#3A0010' \
    -stroke '#7A5000' -strokewidth 1 -fill '#FFCC30' \
    -draw 'polygon 7,30 5,10 15,19 24.5,5 34,19 44,10 42,30' \
    -fill '#E0A010' -draw 'rectangle 7,30 42,36' \
    -stroke none -fill '#FFF0A0' -draw 'circle 5,10 5,12' -draw 'circle 24.5,5 24.5,7.2' -draw 'circle 44,10 44,12' \
    -fill '#E02020' -draw 'circle 24.5,24 24.5,27.5' \
    -fill '#2060F0' -draw 'circle 14,26 14,28.5' \
    -fill '#20C060' -draw 'circle 35,26 35,28.5' \
    -fill '#FFF6C0' -draw 'rectangle 9,32 40,33'

# 7: a red heart on pink
jpeg award07.jpg -size 49x41 gradient:'#FFE0EC-#F090B8' \
    -stroke '#80001A' -strokewidth 1.2 -fill '#E8203A' \
    -draw 'path "M 24.5,37 C 3,22 8,3 24.5,12 C 41,3 46,22 24.5,37 Z"' \
    -stroke none -fill '#FF98A8' -draw 'ellipse 16,14 4,2.5 0,360' \
    -fill white -draw "polygon $(star 40 7 5 1.3 4)" -draw "polygon $(star 8 32 3.5 1 4)"

# 8: a smiling sun on teal
jpeg award08.jpg -size 49x41 gradient:'#40C8C0-#0A5A60' \
    -fill '#FFE070' -draw "$(rays 24.5 20.5 22 24)" \
    -stroke '#B07000' -strokewidth 1 -fill '#FFD020' -draw 'circle 24.5,20.5 24.5,33' \
    -stroke none -fill '#503000' -draw 'circle 20,17 20,19' -draw 'circle 29,17 29,19' \
    -fill none -stroke '#503000' -strokewidth 1.6 -draw 'ellipse 24.5,22 6,5 20,160' \
    -stroke none -fill '#FF9A70' -draw 'circle 16.5,23 16.5,25' -draw 'circle 32.5,23 32.5,25'

# ---------------------------------------------------------------------------
# Awards 9-12 (GIF87a, 256-colour table)
# ---------------------------------------------------------------------------
# 9: a rainbow with clouds
gif award09.gif 49 44 -size 49x44 gradient:'#7ACBFF-#E8F6FF' \
    \( -size 49x44 xc:none \
       -fill '#E82020' -draw 'circle 24.5,38 24.5,15' \
       -fill '#F89020' -draw 'circle 24.5,38 24.5,18' \
       -fill '#F8E020' -draw 'circle 24.5,38 24.5,21' \
       -fill '#30B030' -draw 'circle 24.5,38 24.5,24' \
       -fill '#2060E0' -draw 'circle 24.5,38 24.5,27' \
       -fill '#8030C0' -draw 'circle 24.5,38 24.5,30' \
       \( -size 49x44 xc:none -fill black -draw 'circle 24.5,38 24.5,33' \
          -draw 'rectangle 0,38 48,43' \) -compose DstOut -composite \) \
    -compose Over -composite \
    -stroke '#B8C8D8' -strokewidth 1 -fill white \
    -draw 'circle 6,37 6,42' -draw 'circle 11,34 11,40' -draw 'circle 15,39 15,43' \
    -draw 'circle 43,37 43,42' -draw 'circle 38,34 38,40' -draw 'circle 34,39 34,43' \
    -stroke none -draw 'rectangle 3,38 16,43' -draw 'rectangle 33,38 46,43'

# 10: a cut gem
gif award10.gif 48 48 -size 48x48 radial-gradient:'#3A4AA0-#0A0A30' \
    -fill '#FFFFFF' -draw "polygon $(star 8 9 4 1 4)" -draw "polygon $(star 41 40 3 0.8 4)" \
    -stroke '#0A3050' -strokewidth 1 \
    -fill '#60E0FF' -draw 'polygon 8,18 15,9 33,9 40,18 24,41' \
    -fill '#A8F4FF' -draw 'polygon 15,9 20,18 28,18 33,9' \
    -fill '#30B0E0' -draw 'polygon 8,18 20,18 24,41' -draw 'polygon 28,18 40,18 24,41' \
    -fill '#D8FCFF' -draw 'polygon 15,9 8,18 20,18' \
    -fill '#1890C8' -draw 'polygon 33,9 40,18 28,18' \
    -fill '#80E8FF' -draw 'polygon 20,18 28,18 24,41' \
    -stroke none -fill white -draw "polygon $(star 18 13 3.5 0.8 4)"

# 11: a rocket climbing through the night
gif award11.gif 56 47 -size 56x47 gradient:'#06082A-#304090' \
    -fill '#FFFFFF' -draw 'circle 6,6 6,7' -draw 'circle 48,9 48,10' -draw 'circle 14,30 14,30.8' \
    -draw 'circle 50,36 50,36.8' -draw 'circle 38,4 38,4.8' -draw 'circle 8,41 8,41.8' \
    -fill '#FFE8A0' -draw 'circle 44,22 44,25' \
    -fill '#FF8020' -draw 'polygon 18,34 22,38 12,45' \
    -fill '#FFE040' -draw 'polygon 19,35 21,37 15,42' \
    -stroke '#501010' -strokewidth 1 -fill '#E03030' \
    -draw 'polygon 18,26 12,28 16,32' -draw 'polygon 28,36 26,42 22,38' \
    -fill '#F0F0F8' -draw 'polygon 38,8 34,22 24,34 18,30 26,18' \
    -fill '#E03030' -draw 'polygon 38,8 30,10 36,16' \
    -fill '#40A0FF' -stroke '#203060' -draw 'circle 29,20 29,23'

# 12: a flag on a mountain top
gif award12.gif 53 41 -size 53x41 gradient:'#FFC880-#80B0F0' \
    -stroke none -fill '#6A7A90' -draw 'polygon 0,41 10,24 18,30 30,8 53,41' \
    -fill '#4A5870' -draw 'polygon 30,8 53,41 34,41 33,22' \
    -fill white -draw 'polygon 30,8 25,17 28,16 31,19 34,15 36,17' \
    -fill '#3A8A30' -draw 'polygon 0,41 0,34 12,30 24,36 40,33 53,38 53,41' \
    -stroke '#402010' -strokewidth 1 -draw 'line 30,8 30,-1' \
    -stroke '#700010' -fill '#E02030' -draw 'polygon 30,0 40,2.5 30,5'

# ---------------------------------------------------------------------------
# Awards 13-14 (larger JPEG)
# ---------------------------------------------------------------------------
# 13: a grand cup in front of a sunburst
jpeg award13.jpg -size 118x90 radial-gradient:'#FFF0B0-#E07010' \
    -fill '#FFFFFF38' -draw "$(rays 59 42 90 32)" \
    -fill none -stroke '#FFD040' -strokewidth 5 \
    -draw 'ellipse 39,30 11,11 90,270' -draw 'ellipse 79,30 11,11 270,450' \
    -stroke '#7A4A00' -strokewidth 1.5 -fill '#FFD040' \
    -draw 'path "M 37,14 L 81,14 L 81,28 Q 81,58 59,58 Q 37,58 37,28 Z"' \
    -fill '#E8A820' -draw 'rectangle 54,58 64,67' -draw 'roundrectangle 44,67 74,73 2,2' \
    -fill '#4A2A10' -draw 'rectangle 38,73 80,84' \
    -stroke none -fill '#FFF6C8' -draw 'rectangle 44,19 48,44' \
    -fill '#C07A00' -draw "polygon $(star 59 34 11 4.5 5)" \
    -fill '#F0D080' -draw 'rectangle 48,77 70,79' \
    -fill white -draw "polygon $(star 20 18 6 1.5 4)" -draw "polygon $(star 99 16 5 1.3 4)" \
    -draw "polygon $(star 101 64 4 1 4)" -draw "polygon $(star 16 66 4 1 4)"

# 14: the winners' podium
jpeg award14.jpg -size 128x91 gradient:'#2A3AB0-#A0B8FF' \
    -stroke none \
    -fill '#FF5050' -draw 'rectangle 14,12 17,15' -draw 'rectangle 100,22 103,25' \
    -fill '#50E070' -draw 'rectangle 30,30 33,33' -draw 'rectangle 110,8 113,11' \
    -fill '#FFE040' -draw 'rectangle 86,36 89,39' -draw 'rectangle 22,44 25,47' \
    -fill '#60C0FF' -draw 'rectangle 6,30 9,33' -draw 'rectangle 118,40 121,43' \
    -stroke '#303848' -strokewidth 1 \
    -fill '#D8DCE8' -draw 'rectangle 10,56 46,90' \
    -fill '#FFD040' -draw 'rectangle 46,44 82,90' \
    -fill '#D08848' -draw 'rectangle 82,64 118,90' \
    -stroke '#8A5A00' -strokewidth 1.2 -fill '#FFD020' -draw "polygon $(star 64 24 17 7 5)" \
    -stroke none -font "$FONT" -pointsize 20 -fill '#202838' \
    -draw 'text 22,80 "2"' -draw 'text 58,72 "1"' -draw 'text 94,86 "3"'

# ---------------------------------------------------------------------------
# Desktop icons: the program icon in the hicolor theme, named by the application id
# ---------------------------------------------------------------------------
# 16 and 32 pixels are the program's own designs; 22 and 24 are drawn pixel by pixel
# in the same way; 48 and up are the scalable drawing, drawn eight times as large
# (at most 2048 pixels) and averaged down so that every edge is smooth.
APP_ID=org.larkmoor.Keyvale
hicolor() { echo "$ICONS/hicolor/$1/apps"; }
for size in $ICON_SIZES; do mkdir -p "$(hicolor "${size}x${size}")"; done
mkdir -p "$(hicolor scalable)"

cp "$OUT/keyvale-16.png" "$(hicolor 16x16)/$APP_ID.png"
cp "$OUT/keyvale-32.png" "$(hicolor 32x32)/$APP_ID.png"
icon keycap 24 \
    -stroke '#000080' -fill '#C08040' -draw 'polygon 3,1 20,1 22,3 22,20 20,22 3,22 1,20 1,3' \
    -stroke none -fill '#904820' -draw 'polygon 3,21 20,21 18,17 5,17' \
    -fill '#A86030' -draw 'polygon 21,3 21,20 19,16 19,2' \
    -stroke '#D89050' -fill '#FFC080' -draw 'polygon 5,2 17,2 18,3 18,15 17,16 5,16 4,15 4,3' \
    -stroke none -fill '#FFE8D0' -draw 'rectangle 6,3 17,3' -draw 'rectangle 5,4 5,14' \
    -fill '#0000C0' -draw 'rectangle 7,5 9,14' \
    -draw 'polygon 10,9 14,5 16,5 10,11' -draw 'polygon 11,9 16,14 14,14 10,11' \
    -fill none -stroke '#000080' -draw 'polygon 3,1 20,1 22,3 22,20 20,22 3,22 1,20 1,3'
icon keycap 22 \
    -stroke '#000080' -fill '#C08040' -draw 'polygon 3,1 18,1 20,3 20,18 18,20 3,20 1,18 1,3' \
    -stroke none -fill '#904820' -draw 'polygon 3,19 18,19 16,16 5,16' \
    -fill '#A86030' -draw 'polygon 19,3 19,18 17,15 17,2' \
    -stroke '#D89050' -fill '#FFC080' -draw 'polygon 5,2 15,2 16,3 16,14 15,15 5,15 4,14 4,3' \
    -stroke none -fill '#FFE8D0' -draw 'rectangle 6,3 15,3' -draw 'rectangle 5,4 5,13' \
    -fill '#0000C0' -draw 'rectangle 7,5 8,13' \
    -draw 'polygon 9,8 12,5 14,5 9,10' -draw 'polygon 10,9 14,13 12,13 9,10' \
    -fill none -stroke '#000080' -draw 'polygon 3,1 18,1 20,3 20,18 18,20 3,20 1,18 1,3'
for size in 22 24; do
    pix png "$(hicolor "${size}x${size}")/$APP_ID.png" "$WORK/keycap-$size.rgba" "$size"
done
for size in 48 64 128 256; do
    big=$((size * 8 > 2048 ? 2048 : size * 8))
    convert -size "${big}x${big}" xc:none -draw "$(pix keycap-mvg "$big")" \
        -filter Box -resize "${size}x${size}" -depth 8 "RGBA:$WORK/keycap-$size.rgba"
    pix png-rgba "$(hicolor "${size}x${size}")/$APP_ID.png" "$WORK/keycap-$size.rgba" "$size"
done
pix keycap-svg "$(hicolor scalable)/$APP_ID.svg"

# Every picture; CMakeLists.txt compiles the same list into the program. The windows
# show all but the two PNGs, each with its @2x companion.
SHOWN="keyvale.ico dlgscore.ico cmdok.ico cmdscore.ico cmdsave.bmp cmdexit.jpg imgplayer.jpg
award01.jpg award02.jpg award03.jpg award04.jpg award05.jpg award06.jpg award07.jpg
award08.jpg award09.gif award10.gif award11.gif award12.gif award13.jpg award14.jpg"
FILES="keyvale-32.png keyvale-16.png $(for f in $SHOWN; do named "$f" 2; done) $SHOWN"

# ---------------------------------------------------------------------------
# Checks: format and size of every file, exact layouts, distinct awards, at every scale
# ---------------------------------------------------------------------------
fail=0
expect() {   # FILE FORMAT W H [W H ...]: the size of each frame as designed
    local name=$1 format=$2 file scale want got i; shift 2
    local sizes=("$@")
    for scale in $SCALES; do
        want=$(for ((i = 0; i < ${#sizes[@]}; i += 2)); do
                   echo "$format $((sizes[i] * scale)) $((sizes[i + 1] * scale))"
               done)
        file=$(named "$name" "$scale")
        got=$(identify -format '%m %w %h\n' "$OUT/$file" 2>/dev/null) || got="unreadable"
        if [ "$got" != "$want" ]; then
            echo "make-pictures: $file is '${got//$'\n'/, }', expected '${want//$'\n'/, }'" >&2
            fail=1
        fi
    done
}
expect keyvale.ico    ICO 32 32 16 16
expect dlgscore.ico   ICO 32 32 16 16
expect cmdok.ico      ICO 32 32 16 16
expect cmdscore.ico   ICO 32 32 16 16
SCALES=1 expect keyvale-32.png PNG 32 32
SCALES=1 expect keyvale-16.png PNG 16 16
expect cmdsave.bmp    BMP3 16 16
expect cmdexit.jpg    JPEG 64 60
expect imgplayer.jpg  JPEG 76 109
expect award01.jpg    JPEG 49 40
for n in 02 03 04 05 06 07 08; do expect "award$n.jpg" JPEG 49 41; done
expect award09.gif    GIF 49 44
expect award10.gif    GIF 48 48
expect award11.gif    GIF 56 47
expect award12.gif    GIF 53 41
expect award13.jpg    JPEG 118 90
expect award14.jpg    JPEG 128 91
[ "$fail" = 0 ] || exit 1

for f in keyvale dlgscore cmdok cmdscore; do
    pix check-ico "$OUT/$f.ico" 32 16
    pix check-ico "$OUT/$f@2x.ico" 64 32
done
pix check-bmp "$OUT/cmdsave.bmp" 16 16 246
pix check-bmp "$OUT/cmdsave@2x.bmp" 32 32 630
while read -r n w h; do
    for scale in $SCALES; do
        file=$(named "award$n.gif" "$scale")
        pix check-gif "$OUT/$file" "$((w * scale))" "$((h * scale))"
        # The GIFs must decode to exactly the pixels that went in.
        if ! cmp -s <(convert "$OUT/$file" -depth 8 RGB:-) "$WORK/$file.rgb"; then
            echo "make-pictures: $file does not decode to its source pixels" >&2
            exit 1
        fi
    done
done <<'GIFS'
09 49 44
10 48 48
11 56 47
12 53 41
GIFS

sums() { for f in "$@"; do convert "$OUT/$f" -alpha off -depth 8 RGB:- | sha256sum; done; }
AWARDS=$(for n in 01 02 03 04 05 06 07 08 13 14; do echo "award$n.jpg"; done; \
         for n in 09 10 11 12; do echo "award$n.gif"; done)
for scale in $SCALES; do
    # Four window/button icons and fourteen awards must all look different.
    # shellcheck disable=SC2046  # one name a word
    if [ "$(sums $(for f in dlgscore keyvale cmdok cmdscore; do named "$f.ico" "$scale"; done) |
            sort -u | wc -l)" != 4 ]; then
        echo "make-pictures: two of the icons are identical (scale $scale)" >&2; exit 1
    fi
    awards=$(for f in $AWARDS; do named "$f" "$scale"; done)
    # Compare at one common size so equal pictures of different sizes are caught too.
    dups=$(for f in $awards; do
               convert "$OUT/$f" -resize '16x16!' -depth 8 RGB:- | sha256sum
           done | sort | uniq -d)
    # shellcheck disable=SC2086  # one name a word
    if [ -n "$dups" ] || [ "$(sums $awards | sort -u | wc -l)" != 14 ]; then
        echo "make-pictures: two award pictures are identical (scale $scale)" >&2; exit 1
    fi
done

# The desktop icons: one PNG of each size, and a scalable icon that parses.
for size in $ICON_SIZES; do
    file=$(hicolor "${size}x${size}")/$APP_ID.png
    got=$(identify -format '%m %w %h' "$file" 2>/dev/null) || got="unreadable"
    if [ "$got" != "PNG $size $size" ]; then
        echo "make-pictures: ${file#"$HERE/"} is '$got', expected 'PNG $size $size'" >&2
        exit 1
    fi
done
python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
    "$(hicolor scalable)/$APP_ID.svg" ||
    { echo "make-pictures: the scalable icon is not well-formed XML" >&2; exit 1; }

echo "make-pictures: wrote $(wc -w <<<"$FILES") pictures to $OUT"
echo "make-pictures: wrote $(wc -w <<<"$ICON_SIZES") desktop icons and a scalable one to $ICONS"
