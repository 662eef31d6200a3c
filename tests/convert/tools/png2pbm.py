"""Turns a PNG (8-bit RGB or RGBA, not interlaced, as rsvg-convert and
Inkscape write them) into a raw PBM: a pixel is ink when it is not fully
transparent and not white. Usage: png2pbm.py in.png out.pbm"""
import struct
import sys
import zlib

data = open(sys.argv[1], "rb").read()
if data[:8] != b"\x89PNG\r\n\x1a\n":
    sys.exit("not a PNG")
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
    sys.exit("unsupported PNG form")
bpp = 4 if colour == 6 else 3
raw = zlib.decompress(idat)
stride = w * bpp
prev = bytearray(stride)
out = bytearray()
i = 0
for y in range(h):
    f = raw[i]
    line = bytearray(raw[i + 1:i + 1 + stride])
    i += 1 + stride
    for x in range(stride):
        a = line[x - bpp] if x >= bpp else 0
        b = prev[x]
        c = prev[x - bpp] if x >= bpp else 0
        if f == 1:
            line[x] = (line[x] + a) & 255
        elif f == 2:
            line[x] = (line[x] + b) & 255
        elif f == 3:
            line[x] = (line[x] + (a + b) // 2) & 255
        elif f == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
            line[x] = (line[x] + pred) & 255
    prev = line
    row = bytearray((w + 7) // 8)
    for x in range(w):
        px = line[x * bpp:x * bpp + bpp]
        alpha = px[3] if bpp == 4 else 255
        if alpha > 0 and not (px[0] == px[1] == px[2] == 255):
            row[x // 8] |= 0x80 >> (x % 8)
    out += row
with open(sys.argv[2], "wb") as f:
    f.write(b"P4\n%d %d\n" % (w, h))
    f.write(out)
