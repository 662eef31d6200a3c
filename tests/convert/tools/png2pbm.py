"""Reads PNG files (8-bit RGB or RGBA, not interlaced, as rsvg-convert
writes them); a pixel is ink when it is not fully transparent and not white.
  png2pbm.py in.png out.pbm      writes the ink as a raw PBM
  png2pbm.py --count a.png ...   prints "name inkpixels" for each file"""
import struct
import sys
import zlib


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def ink_rows(name):
    """The width and the rows of the picture, each a list of ink flags."""
    data = open(name, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit("not a PNG: " + name)
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            w, h, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    if depth != 8 or colour not in (2, 6) or interlace:
        sys.exit("unsupported PNG form: " + name)
    bpp = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = w * bpp
    prev = bytearray(stride)
    rows = []
    i = 0
    for _ in range(h):
        f = raw[i]
        line = bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            line[x] = (line[x] + (0, a, b, (a + b) // 2, paeth(a, b, c))[f]) & 255
        prev = line
        rows.append([(bpp == 3 or line[x * bpp + 3] > 0) and line[x * bpp:x * bpp + 3] != b"\xff\xff\xff"
                     for x in range(w)])
    return w, rows


if sys.argv[1] == "--count":
    for name in sys.argv[2:]:
        print(name, sum(sum(r) for r in ink_rows(name)[1]))
else:
    w, rows = ink_rows(sys.argv[1])
    with open(sys.argv[2], "wb") as out:
        out.write(b"P4\n%d %d\n" % (w, len(rows)))
        for r in rows:
            packed = bytearray((w + 7) // 8)
            for x, ink in enumerate(r):
                if ink:
                    packed[x // 8] |= 0x80 >> (x % 8)
            out.write(packed)
