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
# Icons, the save button bitmap and the GIF awards are encoded by the small
# python helper embedded below, so their exact layout (colour depth, palette
# size, no extension blocks) does not depend on ImageMagick's encoders.

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

# ---------------------------------------------------------------------------
# Python helper: raw pixels in, ICO / PNG / BMP / GIF87a out, plus checks.
# ---------------------------------------------------------------------------
cat > "$WORK/pix.py" <<'PY'
import hashlib, math, struct, sys, zlib

def die(msg):
    sys.stderr.write("make-pictures: %s\n" % msg)
    sys.exit(1)

def load(path, w, h, ch):
    data = open(path, "rb").read()
    if len(data) != w * h * ch:
        die("%s: expected %d bytes of raw pixels, got %d" % (path, w * h * ch, len(data)))
    return [tuple(data[i:i + ch]) for i in range(0, len(data), ch)]

# ---- icons ---------------------------------------------------------------
def icon_image(raw, size):
    px = load(raw, size, size, 4)
    for p in px:
        if p[3] not in (0, 255):
            die("%s: icon pixels must be fully opaque or fully clear" % raw)
    opaque = sorted({p[:3] for p in px if p[3] == 255})
    clear = any(p[3] == 0 for p in px)
    # Clear pixels are drawn as black in the colour bits with the mask bit set,
    # so black has to be in the palette whenever something is see-through.
    pal = [(0, 0, 0)] + [c for c in opaque if c != (0, 0, 0)]
    if len(pal) > 16:
        die("%s: %d colours, an icon image may use 16" % (raw, len(pal)))
    pal += [(0, 0, 0)] * (16 - len(pal))
    index = {}
    for i, c in enumerate(pal):
        index.setdefault(c, i)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):          # rows are stored bottom-up
        row = px[y * size:(y + 1) * size]
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, p in enumerate(row):
            i = index[p[:3]] if p[3] == 255 else 0
            line[x // 2] |= i << (4 if x % 2 == 0 else 0)
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in pal)
    return header + palette + bytes(xor) + bytes(mask)

def write_ico(out, parts):
    images = [(size, icon_image(raw, size)) for size, raw in parts]
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    open(out, "wb").write(head + entries + b"".join(d for _, d in images))

def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

def write_png(out, raw, size):
    px = load(raw, size, size, 4)
    opaque = sorted({p[:3] for p in px if p[3] == 255})
    clear = any(p[3] == 0 for p in px)
    pal = ([(0, 0, 0)] if clear else []) + opaque
    depth = 4 if len(pal) <= 16 else 8
    index = {c: i + (1 if clear else 0) for i, c in enumerate(opaque)}
    rows = bytearray()
    for y in range(size):
        rows.append(0)
        vals = [index[p[:3]] if p[3] == 255 else 0 for p in px[y * size:(y + 1) * size]]
        if depth == 8:
            rows += bytes(vals)
        else:
            for x in range(0, size, 2):
                rows.append((vals[x] << 4) | (vals[x + 1] if x + 1 < size else 0))
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, depth, 3, 0, 0, 0))
    data += png_chunk(b"PLTE", b"".join(bytes(c) for c in pal))
    if clear:
        data += png_chunk(b"tRNS", b"\x00")
    data += png_chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    data += png_chunk(b"IEND", b"")
    open(out, "wb").write(data)

def check_ico(path, sizes):
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind, count) != (0, 1, len(sizes)):
        die("%s: bad icon directory" % path)
    for n, size in enumerate(sizes):
        w, h, colours, _, planes, bpp, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        hsize, bw, bh, bplanes, bbpp, comp = struct.unpack_from("<IiiHHI", data, offset)
        if (w, h, colours, bpp) != (size, size, 16, 4) or (bw, bh, bbpp, comp) != (size, 2 * size, 4, 0):
            die("%s: image %d is not a %dx%d 16-colour bitmap" % (path, n, size, size))
        if offset + length > len(data):
            die("%s: image %d runs past the end of the file" % (path, n))

# ---- 16-colour BMP -------------------------------------------------------
def write_bmp(out, raw, w, h):
    px = load(raw, w, h, 3)
    pal = sorted(set(px))
    if len(pal) > 16:
        die("%s: %d colours, the bitmap may use 16" % (raw, len(pal)))
    pal += [(0, 0, 0)] * (16 - len(pal))
    index = {}
    for i, c in enumerate(pal):
        index.setdefault(c, i)
    stride = ((w * 4 + 31) // 32) * 4
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray(stride)
        for x in range(w):
            line[x // 2] |= index[px[y * w + x]] << (4 if x % 2 == 0 else 0)
        rows += line
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in pal)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    open(out, "wb").write(head + info + palette + bytes(rows))

def check_bmp(path, w, h, length):
    data = open(path, "rb").read()
    if len(data) != length or data[:2] != b"BM":
        die("%s: expected a %d-byte bitmap, got %d bytes" % (path, length, len(data)))
    hsize, bw, bh, planes, bpp, comp = struct.unpack_from("<IiiHHI", data, 14)
    if (hsize, bw, bh, planes, bpp, comp) != (40, w, h, 1, 4, 0):
        die("%s: not an uncompressed %dx%d 4-bit bitmap" % (path, w, h))

# ---- GIF87a with a full 256-entry colour table ---------------------------
def lzw(indices, min_size=8):
    clear, end = 1 << min_size, (1 << min_size) + 1
    out = bytearray()
    acc = nbits = 0

    def put(code, width):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def reset():
        return {(i,): i for i in range(clear)}, end + 1, min_size + 1

    table, next_code, width = reset()
    put(clear, width)
    current = ()
    for k in indices:
        grown = current + (k,)
        if grown in table:
            current = grown
            continue
        put(table[current], width)
        table[grown] = next_code
        if next_code == (1 << width) and width < 12:
            width += 1
        next_code += 1
        if next_code == 4096:
            put(clear, width)
            table, next_code, width = reset()
        current = (k,)
    if current:
        put(table[current], width)
    put(end, width)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)

def write_gif(out, raw, w, h):
    px = load(raw, w, h, 3)
    pal = sorted(set(px))
    if len(pal) > 256:
        die("%s: %d colours, a GIF may use 256" % (raw, len(pal)))
    index = {c: i for i, c in enumerate(pal)}
    pal += [(0, 0, 0)] * (256 - len(pal))
    data = bytearray(b"GIF87a")
    data += struct.pack("<HHBBB", w, h, 0xF7, 0, 0)   # global table, 8-bit, 256 entries
    data += b"".join(bytes(c) for c in pal)
    data += b"," + struct.pack("<HHHHB", 0, 0, w, h, 0)
    data.append(8)
    stream = lzw([index[p] for p in px])
    for i in range(0, len(stream), 255):
        block = stream[i:i + 255]
        data.append(len(block))
        data += block
    data += b"\x00;"
    open(out, "wb").write(bytes(data))

def check_gif(path, w, h):
    data = open(path, "rb").read()
    if data[:6] != b"GIF87a":
        die("%s: signature is %r, not GIF87a" % (path, data[:6]))
    sw, sh, packed, _, _ = struct.unpack_from("<HHBBB", data, 6)
    if (sw, sh) != (w, h):
        die("%s: screen is %dx%d, not %dx%d" % (path, sw, sh, w, h))
    if not packed & 0x80 or packed & 7 != 7:
        die("%s: no 256-entry global colour table" % path)
    pos = 13 + 3 * 256
    images = 0
    while True:
        if pos >= len(data):
            die("%s: missing trailer" % path)
        kind = data[pos]
        if kind == 0x3B:
            break
        if kind == 0x21:
            die("%s: contains an extension block" % path)
        if kind != 0x2C:
            die("%s: unexpected block 0x%02X" % (path, kind))
        images += 1
        ipacked = data[pos + 9]
        pos += 10
        if ipacked & 0x80:
            pos += 3 * (2 << (ipacked & 7))
        pos += 1                                  # LZW minimum code size
        while data[pos]:
            pos += 1 + data[pos]
        pos += 1
    if images != 1 or pos != len(data) - 1:
        die("%s: expected exactly one image and nothing after the trailer" % path)

# ---- the desktop icon, large and scalable -------------------------------
def write_png_rgba(out, raw, size):
    """An 8-bit RGBA PNG, for the smooth icons with see-through edges."""
    px = open(raw, "rb").read()
    if len(px) != size * size * 4:
        die("%s: expected %d bytes of raw pixels, got %d" % (raw, size * size * 4, len(px)))
    rows = b"".join(b"\x00" + px[y * size * 4:(y + 1) * size * 4] for y in range(size))
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    data += png_chunk(b"IDAT", zlib.compress(rows, 9))
    data += png_chunk(b"IEND", b"")
    open(out, "wb").write(data)

# The program icon's key cap on a 32-unit square, the grid of the 32-pixel design,
# seen a little from the front: the top face sits high, so the front skirt is the
# deepest and the right one the shaded side. One list of shapes feeds both the
# scalable icon and the drawing of the large ones.
BODY = (1.0, 1.0, 31.0, 31.0, 3.5)          # left top right bottom, corner radius
FACE = (6.5, 3.0, 25.5, 22.0, 1.5)

def rounded(x0, y0, x1, y1, r, steps=16):
    pts = []
    for cx, cy, a0 in ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0),
                       (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)):
        for i in range(steps + 1):
            a = math.radians(a0 + 90.0 * i / steps)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts

def clip(poly, a, b):
    """The part of a convex polygon to the right of the line from a to b, as seen
    on the screen (y grows downwards)."""
    def side(p):
        return (b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0])
    out = []
    for i, p in enumerate(poly):
        q = poly[(i + 1) % len(poly)]
        sp, sq = side(p), side(q)
        if sp >= 0:
            out.append(p)
        if (sp >= 0) != (sq >= 0):
            t = sp / (sp - sq)
            out.append((p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1])))
    return out

def keycap():
    """(fill, stroke, stroke width, points) from back to front."""
    body = rounded(*BODY)
    ctl, ctr, cbr, cbl = [(BODY[0], BODY[1]), (BODY[2], BODY[1]), (BODY[2], BODY[3]), (BODY[0], BODY[3])]
    ftl, ftr, fbr, fbl = [(FACE[0], FACE[1]), (FACE[2], FACE[1]), (FACE[2], FACE[3]), (FACE[0], FACE[3])]
    # The skirts are the parts of the body between the corners' diagonals.
    front = clip(clip(clip(body, fbl, fbr), cbl, fbl), fbr, cbr)
    right = clip(clip(clip(body, fbr, ftr), cbr, fbr), ftr, ctr)
    blue = "#0000C0"
    return [
        ("#C08040", None, 0, body),
        ("#904820", None, 0, front),
        ("#A86030", None, 0, right),
        ("#FFC080", "#D89050", 0.5, rounded(*FACE)),
        # light on the face's top and left edges
        ("#FFE8D0", None, 0, [(8.0, 4.0), (23.5, 4.0), (23.5, 4.9), (8.3, 4.9), (8.3, 5.3), (7.9, 5.3)]),
        ("#FFE8D0", None, 0, [(7.0, 5.0), (7.9, 5.0), (7.9, 20.0), (7.0, 20.0)]),
        # the letter K
        (blue, None, 0, [(10.0, 6.0), (14.0, 6.0), (14.0, 19.0), (10.0, 19.0)]),
        (blue, None, 0, [(14.0, 10.8), (19.2, 6.0), (24.0, 6.0), (14.0, 15.2)]),
        (blue, None, 0, [(15.4, 11.6), (24.0, 19.0), (19.3, 19.0), (13.0, 13.6)]),
        (None, "#000080", 1.0, body),
    ]

def points(pts, scale=1.0):
    return " ".join("%.3f,%.3f" % (x * scale, y * scale) for x, y in pts)

def keycap_mvg(size):
    """ImageMagick drawing commands for the key cap on a square of size pixels."""
    s = size / 32.0
    out = ["viewbox 0 0 %d %d" % (size, size)]
    for fill, stroke, width, pts in keycap():
        out += ["push graphic-context", "fill %s" % (fill or "none"), "stroke %s" % (stroke or "none")]
        if stroke:
            out += ["stroke-width %.3f" % (width * s), "stroke-linejoin round"]
        out += ["polygon " + points(pts, s), "pop graphic-context"]
    return "\n".join(out) + "\n"

def keycap_svg(out):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<!-- SPDX-License-Identifier: GPL-3.0-or-later -->',
             '<!-- Drawn by resources/make-pictures.sh; do not edit. -->',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 32 32">',
             '  <title>Keyvale</title>']
    for fill, stroke, width, pts in keycap():
        attrs = 'fill="%s"' % (fill or "none")
        if stroke:
            attrs += ' stroke="%s" stroke-width="%g" stroke-linejoin="round"' % (stroke, width)
        lines.append('  <polygon %s points="%s"/>' % (attrs, points(pts)))
    lines.append("</svg>")
    open(out, "w").write("\n".join(lines) + "\n")

def main(argv):
    cmd = argv[1]
    if cmd == "ico":
        out, rest = argv[2], argv[3:]
        write_ico(out, [(int(rest[i]), rest[i + 1]) for i in range(0, len(rest), 2)])
    elif cmd == "png":
        write_png(argv[2], argv[3], int(argv[4]))
    elif cmd == "bmp":
        write_bmp(argv[2], argv[3], int(argv[4]), int(argv[5]))
    elif cmd == "gif":
        write_gif(argv[2], argv[3], int(argv[4]), int(argv[5]))
    elif cmd == "png-rgba":
        write_png_rgba(argv[2], argv[3], int(argv[4]))
    elif cmd == "keycap-mvg":
        sys.stdout.write(keycap_mvg(int(argv[2])))
    elif cmd == "keycap-svg":
        keycap_svg(argv[2])
    elif cmd == "check-ico":
        check_ico(argv[2], [int(s) for s in argv[3:]])
    elif cmd == "check-bmp":
        check_bmp(argv[2], int(argv[3]), int(argv[4]), int(argv[5]))
    elif cmd == "check-gif":
        check_gif(argv[2], int(argv[3]), int(argv[4]))
    else:
        die("unknown helper command %s" % cmd)

main(sys.argv)
PY
pix() { python3 "$WORK/pix.py" "$@"; }

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

# icon NAME SIZE DRAW-ARGS...: crisp (not anti-aliased) drawing on a clear square
icon() {
    local name=$1 size=$2; shift 2
    convert -size "${size}x${size}" xc:none +antialias -strokewidth 1 "$@" \
        -depth 8 "RGBA:$WORK/$name-$size.rgba"
}

# jpeg FILE CONVERT-ARGS...: smooth drawing saved as a plain baseline JPEG
jpeg() {
    local file=$1; shift
    convert "$@" -strip -colorspace sRGB -type TrueColor -sampling-factor 1x1 \
        -quality 92 -interlace None "JPEG:$OUT/$file"
}

# gif FILE W H CONVERT-ARGS...: smooth drawing, reduced to at most 256 colours
gif() {
    local file=$1 w=$2 h=$3; shift 3
    convert "$@" -alpha off +dither -colors 256 -depth 8 "RGB:$WORK/$file.rgb"
    pix gif "$OUT/$file" "$WORK/$file.rgb" "$w" "$h"
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
pix ico "$OUT/keyvale.ico" 32 "$WORK/keyvale-32.rgba" 16 "$WORK/keyvale-16.rgba"
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
pix ico "$OUT/dlgscore.ico" 32 "$WORK/dlgscore-32.rgba" 16 "$WORK/dlgscore-16.rgba"

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
pix ico "$OUT/cmdok.ico" 32 "$WORK/cmdok-32.rgba" 16 "$WORK/cmdok-16.rgba"

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
pix ico "$OUT/cmdscore.ico" 32 "$WORK/cmdscore-32.rgba" 16 "$WORK/cmdscore-16.rgba"

# ---------------------------------------------------------------------------
# Save button: a floppy disk (16-colour Windows bitmap, 246 bytes)
# ---------------------------------------------------------------------------
convert -size 16x16 xc:'#C0C0C0' +antialias -strokewidth 1 \
    -stroke black -fill '#202090' -draw 'polygon 1,1 13,1 14,2 14,14 1,14' \
    -stroke none -fill '#C0C0C0' -draw 'rectangle 4,2 11,5' \
    -fill '#202090' -draw 'rectangle 9,3 10,4' \
    -fill white -draw 'rectangle 3,8 12,13' \
    -fill '#808080' -draw 'rectangle 4,10 11,10' -draw 'rectangle 4,12 11,12' \
    -fill '#6060D0' -draw 'rectangle 2,2 2,12' \
    -alpha off -depth 8 "RGB:$WORK/cmdsave.rgb"
pix bmp "$OUT/cmdsave.bmp" "$WORK/cmdsave.rgb" 16 16

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

# Every picture; CMakeLists.txt compiles the same list into the program.
FILES="keyvale.ico keyvale-32.png keyvale-16.png dlgscore.ico cmdok.ico cmdscore.ico
cmdsave.bmp cmdexit.jpg imgplayer.jpg
award01.jpg award02.jpg award03.jpg award04.jpg award05.jpg award06.jpg award07.jpg
award08.jpg award09.gif award10.gif award11.gif award12.gif award13.jpg award14.jpg"

# ---------------------------------------------------------------------------
# Checks: format and size of every file, exact layouts, distinct awards
# ---------------------------------------------------------------------------
fail=0
expect() {   # FILE "FORMAT W H" (one line per frame)
    local got
    got=$(identify -format '%m %w %h\n' "$OUT/$1" 2>/dev/null) || got="unreadable"
    if [ "$got" != "$(printf '%b' "$2")" ]; then
        echo "make-pictures: $1 is '$got', expected '$2'" >&2
        fail=1
    fi
}
expect keyvale.ico    'ICO 32 32\nICO 16 16'
expect dlgscore.ico   'ICO 32 32\nICO 16 16'
expect cmdok.ico      'ICO 32 32\nICO 16 16'
expect cmdscore.ico   'ICO 32 32\nICO 16 16'
expect keyvale-32.png 'PNG 32 32'
expect keyvale-16.png 'PNG 16 16'
expect cmdsave.bmp    'BMP3 16 16'
expect cmdexit.jpg    'JPEG 64 60'
expect imgplayer.jpg  'JPEG 76 109'
expect award01.jpg    'JPEG 49 40'
for n in 02 03 04 05 06 07 08; do expect "award$n.jpg" 'JPEG 49 41'; done
expect award09.gif    'GIF 49 44'
expect award10.gif    'GIF 48 48'
expect award11.gif    'GIF 56 47'
expect award12.gif    'GIF 53 41'
expect award13.jpg    'JPEG 118 90'
expect award14.jpg    'JPEG 128 91'
[ "$fail" = 0 ] || exit 1

for f in keyvale dlgscore cmdok cmdscore; do pix check-ico "$OUT/$f.ico" 32 16; done
pix check-bmp "$OUT/cmdsave.bmp" 16 16 246
pix check-gif "$OUT/award09.gif" 49 44
pix check-gif "$OUT/award10.gif" 48 48
pix check-gif "$OUT/award11.gif" 56 47
pix check-gif "$OUT/award12.gif" 53 41

# The GIFs must decode to exactly the pixels that went in.
for n in 09 10 11 12; do
    if ! cmp -s <(convert "$OUT/award$n.gif" -depth 8 RGB:-) "$WORK/award$n.gif.rgb"; then
        echo "make-pictures: award$n.gif does not decode to its source pixels" >&2
        exit 1
    fi
done

# Four window/button icons and fourteen awards must all look different.
sums() { for f in "$@"; do convert "$OUT/$f" -alpha off -depth 8 RGB:- | sha256sum; done; }
if [ "$(sums dlgscore.ico keyvale.ico cmdok.ico cmdscore.ico | sort -u | wc -l)" != 4 ]; then
    echo "make-pictures: two of the icons are identical" >&2; exit 1
fi
AWARDS=$(for n in 01 02 03 04 05 06 07 08 13 14; do echo "award$n.jpg"; done; \
         for n in 09 10 11 12; do echo "award$n.gif"; done)
# Compare at one common size so equal pictures of different sizes are caught too.
dups=$(for f in $AWARDS; do
           convert "$OUT/$f" -resize '16x16!' -depth 8 RGB:- | sha256sum
       done | sort | uniq -d)
if [ -n "$dups" ] || [ "$(sums $AWARDS | sort -u | wc -l)" != 14 ]; then
    echo "make-pictures: two award pictures are identical" >&2; exit 1
fi

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

echo "make-pictures: wrote $(echo $FILES | wc -w) pictures to $OUT"
echo "make-pictures: wrote $(echo $ICON_SIZES | wc -w) desktop icons and a scalable one to $ICONS"
