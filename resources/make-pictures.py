#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The byte-level half of make-pictures.sh: raw pixels in, exact files out.

ImageMagick draws every picture as raw pixels; this program encodes the formats
whose layout must not depend on ImageMagick's encoders (16-colour icons and
bitmap, GIF87a with a full colour table, palette PNGs), writes the desktop
icon's scalable drawing, and checks the finished files. Standard library only.

    make-pictures.py ico OUT SIZE RAW [SIZE RAW ...]   RGBA squares, largest first
    make-pictures.py png OUT RAW SIZE                  RGBA square, palette PNG
    make-pictures.py png-rgba OUT RAW SIZE             RGBA square, 8-bit RGBA PNG
    make-pictures.py bmp OUT RAW W H                   RGB, 16-colour bitmap
    make-pictures.py gif OUT RAW W H                   RGB, GIF87a
    make-pictures.py keycap-mvg SIZE                   prints ImageMagick drawing commands
    make-pictures.py keycap-svg OUT
    make-pictures.py check-ico FILE SIZE [SIZE ...]
    make-pictures.py check-bmp FILE W H LENGTH
    make-pictures.py check-gif FILE W H
"""

import inspect
import math
import struct
import sys
import zlib


def die(msg):
    sys.stderr.write("make-pictures: %s\n" % msg)
    sys.exit(1)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def load(path, w, h, ch):
    """The pixels of a raw file of w x h pixels of ch bytes each, as tuples."""
    data = read(path)
    if len(data) != w * h * ch:
        die("%s: expected %d bytes of raw pixels, got %d" % (path, w * h * ch, len(data)))
    return [tuple(data[i:i + ch]) for i in range(0, len(data), ch)]


def palette16(colours, too_many):
    """A 16-entry palette (padded with black) and each colour's first index in it."""
    if len(colours) > 16:
        die(too_many % len(colours))
    pal = colours + [(0, 0, 0)] * (16 - len(colours))
    index = {}
    for i, c in enumerate(pal):
        index.setdefault(c, i)
    return pal, index


# ---- icons ---------------------------------------------------------------

def icon_image(raw, size):
    px = load(raw, size, size, 4)
    for p in px:
        if p[3] not in (0, 255):
            die("%s: icon pixels must be fully opaque or fully clear" % raw)
    opaque = sorted({p[:3] for p in px if p[3] == 255})
    # Clear pixels are drawn as black in the colour bits with the mask bit set,
    # so black has to be in the palette whenever something is see-through.
    pal, index = palette16([(0, 0, 0)] + [c for c in opaque if c != (0, 0, 0)],
                           "%s: %%d colours, an icon image may use 16" % raw)
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
    write(out, head + entries + b"".join(d for _, d in images))


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
    write(out, data)


def check_ico(path, sizes):
    data = read(path)
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind, count) != (0, 1, len(sizes)):
        die("%s: bad icon directory" % path)
    for n, size in enumerate(sizes):
        w, h, colours, _, planes, bpp, length, offset = \
            struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        hsize, bw, bh, bplanes, bbpp, comp = struct.unpack_from("<IiiHHI", data, offset)
        if (w, h, colours, bpp) != (size, size, 16, 4) \
                or (bw, bh, bbpp, comp) != (size, 2 * size, 4, 0):
            die("%s: image %d is not a %dx%d 16-colour bitmap" % (path, n, size, size))
        if offset + length > len(data):
            die("%s: image %d runs past the end of the file" % (path, n))


# ---- 16-colour BMP -------------------------------------------------------

def write_bmp(out, raw, w, h):
    px = load(raw, w, h, 3)
    pal, index = palette16(sorted(set(px)),
                           "%s: %%d colours, the bitmap may use 16" % raw)
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
    write(out, head + info + palette + bytes(rows))


def check_bmp(path, w, h, length):
    data = read(path)
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
    write(out, bytes(data))


def check_gif(path, w, h):
    data = read(path)
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
    px = read(raw)
    if len(px) != size * size * 4:
        die("%s: expected %d bytes of raw pixels, got %d" % (raw, size * size * 4, len(px)))
    rows = b"".join(b"\x00" + px[y * size * 4:(y + 1) * size * 4] for y in range(size))
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    data += png_chunk(b"IDAT", zlib.compress(rows, 9))
    data += png_chunk(b"IEND", b"")
    write(out, data)


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
    # corners of the body (c) and of the face (f): top right, bottom right, bottom left
    ctr, cbr, cbl = (BODY[2], BODY[1]), (BODY[2], BODY[3]), (BODY[0], BODY[3])
    ftr, fbr, fbl = (FACE[2], FACE[1]), (FACE[2], FACE[3]), (FACE[0], FACE[3])
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
        ("#FFE8D0", None, 0,
         [(8.0, 4.0), (23.5, 4.0), (23.5, 4.9), (8.3, 4.9), (8.3, 5.3), (7.9, 5.3)]),
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
        out += ["push graphic-context",
                "fill %s" % (fill or "none"), "stroke %s" % (stroke or "none")]
        if stroke:
            out += ["stroke-width %.3f" % (width * s), "stroke-linejoin round"]
        out += ["polygon " + points(pts, s), "pop graphic-context"]
    return "\n".join(out) + "\n"


def keycap_svg(out):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<!-- SPDX-License-Identifier: GPL-3.0-or-later -->',
             '<!-- Drawn by resources/make-pictures.sh; do not edit. -->',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256"'
             ' viewBox="0 0 32 32">',
             '  <title>Keyvale</title>']
    for fill, stroke, width, pts in keycap():
        attrs = 'fill="%s"' % (fill or "none")
        if stroke:
            attrs += ' stroke="%s" stroke-width="%g" stroke-linejoin="round"' % (stroke, width)
        lines.append('  <polygon %s points="%s"/>' % (attrs, points(pts)))
    lines.append("</svg>")
    write(out, ("\n".join(lines) + "\n").encode("ascii"))


# ---- command line --------------------------------------------------------

def ico_command(out, *rest):
    write_ico(out, [(int(rest[i]), rest[i + 1]) for i in range(0, len(rest), 2)])


COMMANDS = {
    "ico": ico_command,
    "png": lambda out, raw, size: write_png(out, raw, int(size)),
    "png-rgba": lambda out, raw, size: write_png_rgba(out, raw, int(size)),
    "bmp": lambda out, raw, w, h: write_bmp(out, raw, int(w), int(h)),
    "gif": lambda out, raw, w, h: write_gif(out, raw, int(w), int(h)),
    "keycap-mvg": lambda size: sys.stdout.write(keycap_mvg(int(size))),
    "keycap-svg": keycap_svg,
    "check-ico": lambda path, *sizes: check_ico(path, [int(s) for s in sizes]),
    "check-bmp": lambda path, w, h, length: check_bmp(path, int(w), int(h), int(length)),
    "check-gif": lambda path, w, h: check_gif(path, int(w), int(h)),
}


def main(argv):
    if len(argv) < 2 or argv[1] not in COMMANDS:
        die("unknown helper command %s; see the top of %s" % (" ".join(argv[1:2]), argv[0]))
    command = COMMANDS[argv[1]]
    try:
        inspect.signature(command).bind(*argv[2:])
    except TypeError:
        die("wrong arguments for %s: %s" % (argv[1], " ".join(argv[2:])))
    command(*argv[2:])


if __name__ == "__main__":
    main(sys.argv)
