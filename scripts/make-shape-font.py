#!/usr/bin/env python3
"""Generates data/TXT.SHP, the program's shape font, from the public-domain
Hershey simplex roman font (Debian package hershey-fonts-data).

Codes 32..126 are the Hershey glyphs; 127 (a house), 128 (C cedilla) and
129 (u umlaut) of code page 850 are composed from them. Each glyph fits the
loader's 50 bytes: vectors along the 16 shape directions take one byte,
other displacements go into code 8 or code 9 blocks, and a glyph that is
still too long is simplified until it fits.

Usage: make-shape-font.py [hershey.jhf] [output]
"""
import math
import os
import sys

SOURCE = "/usr/share/hershey-fonts/rowmans.jhf"
HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT = os.path.join(HERE, "..", "data", "TXT.SHP")
LIMIT = 50
BASELINE = 9  # Hershey y of the base line (y grows downwards)
ABOVE, BELOW = 21, 7

DIRS = [(1, 0), (1, 0.5), (1, 1), (0.5, 1), (0, 1), (-0.5, 1), (-1, 1), (-1, 0.5),
        (-1, 0), (-1, -0.5), (-1, -1), (-0.5, -1), (0, -1), (0.5, -1), (1, -1), (1, -0.5)]


def read_jhf(path):
    glyphs = []
    with open(path, encoding="latin-1") as f:
        text = f.read().split("\n")
    i = 0
    while i < len(text):
        line = text[i].rstrip("\r")
        i += 1
        if not line.strip():
            continue
        count = int(line[5:8])
        data = line[8:]
        while len(data) < 2 * count and i < len(text):
            data += text[i].rstrip("\r")
            i += 1
        pairs = [data[k:k + 2] for k in range(0, 2 * count, 2)]
        left, right = ord(pairs[0][0]) - 82, ord(pairs[0][1]) - 82
        strokes, cur = [], []
        for p in pairs[1:]:
            if p == " R":
                if cur:
                    strokes.append(cur)
                cur = []
            else:
                cur.append((ord(p[0]) - 82 - left, BASELINE - (ord(p[1]) - 82)))
        if cur:
            strokes.append(cur)
        glyphs.append((strokes, right - left))
    return glyphs


def vector_byte(dx, dy):
    for d, (ux, uy) in enumerate(DIRS):
        for length in range(1, 16):
            if dx == length * ux and dy == length * uy:
                return (length << 4) | d
    return None


def encode_run(moves):
    """Bytes for consecutive displacements with one pen state: the
    cheapest mix of one-byte vectors, code 8 steps and code 9 blocks."""
    n = len(moves)

    def single(dx, dy):
        v = vector_byte(dx, dy)
        return [v] if v is not None else [8, dx & 0xFF, dy & 0xFF]

    best = [None] * (n + 1)
    best[0] = []
    for i in range(1, n + 1):
        options = [best[i - 1] + single(*moves[i - 1])]
        for j in range(i - 1):
            block = [9]
            for dx, dy in moves[j:i]:
                block += [dx & 0xFF, dy & 0xFF]
            options.append(best[j] + block + [0, 0])
        best[i] = min(options, key=len)
    return best[n]


def split(dx, dy):
    """A displacement as steps that each fit a signed byte."""
    n = max(1, math.ceil(max(abs(dx), abs(dy)) / 127))
    out, px, py = [], 0, 0
    for k in range(1, n + 1):
        x, y = round(dx * k / n), round(dy * k / n)
        out.append((x - px, y - py))
        px, py = x, y
    return out


def encode(strokes, advance):
    out, x, y = [], 0, 0
    for stroke in strokes:
        sx, sy = stroke[0]
        if (sx, sy) != (x, y):
            out += encode_run(split(sx - x, sy - y))
        x, y = sx, sy
        out.append(0x01)  # pen down
        draws = []
        for px, py in stroke[1:]:
            draws += split(px - x, py - y)
            x, y = px, py
        if draws:
            out += encode_run(draws)
        else:
            out += [8, 0, 0]  # a dot
        out.append(0x02)  # pen up
    if (advance, 0) != (x, y):
        out += encode_run(split(advance - x, -y))
    out.append(0)
    return out


def simplify(points, tolerance):
    """Douglas-Peucker on one stroke, end points kept."""
    if len(points) < 3:
        return points
    (ax, ay), (bx, by) = points[0], points[-1]
    length = math.hypot(bx - ax, by - ay)
    best, index = -1.0, 0
    for i in range(1, len(points) - 1):
        px, py = points[i]
        if length == 0:
            d = math.hypot(px - ax, py - ay)
        else:
            d = abs((bx - ax) * (ay - py) - (ax - px) * (by - ay)) / length
        if d > best:
            best, index = d, i
    if best <= tolerance:
        return [points[0], points[-1]]
    return simplify(points[:index + 1], tolerance)[:-1] + simplify(points[index:], tolerance)


def fit(strokes, advance):
    tolerance = 0.0
    while True:
        shaped = [simplify(s, tolerance) for s in strokes] if tolerance else strokes
        data = encode(shaped, advance)
        if len(data) <= LIMIT:
            return data
        tolerance += 0.25


def compose(glyphs):
    c_strokes, c_adv = glyphs[ord("C") - 32]
    u_strokes, u_adv = glyphs[ord("u") - 32]
    cedilla = [[(c_adv // 2, 0), (c_adv // 2, -2), (c_adv // 2 + 2, -3), (c_adv // 2, -5)]]
    dots = [[(u_adv // 2 - 3, 17), (u_adv // 2 - 3, 16)], [(u_adv // 2 + 3, 17), (u_adv // 2 + 3, 16)]]
    house = [[(3, 0), (3, 10), (9, 16), (15, 10), (15, 0), (3, 0)]]
    # The Hershey "@" has too many points for 50 bytes: a plainer one.
    at = [[(16, 9), (15, 12), (12, 13), (9, 12), (8, 9), (9, 6), (12, 5), (15, 6), (16, 9)],
          [(16, 13), (16, 7), (18, 5), (20, 7), (21, 11), (19, 16), (14, 18), (9, 17), (5, 13),
           (4, 8), (6, 3), (11, 0), (17, 1)]]
    return {64: (at, 25), 127: (house, 18), 128: (c_strokes + cedilla, c_adv), 129: (u_strokes + dots, u_adv)}


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else SOURCE
    output = sys.argv[2] if len(sys.argv) > 2 else OUTPUT
    glyphs = read_jhf(source)[:95]
    table = {32 + i: g for i, g in enumerate(glyphs)}
    table.update(compose(glyphs))
    lines = ["*0,4,PLANOX simplex (Hershey simplex roman)", f"{ABOVE},{BELOW},2,0"]
    for code in range(32, 130):
        strokes, advance = table[code]
        data = fit(strokes, advance)
        values = [str(b - 256 if b > 127 else b) for b in data]
        lines.append(f"*{code},{len(data)},CHAR{code}")
        row = ""
        for k, v in enumerate(values):
            last = k == len(values) - 1
            item = v if last else v + ","
            if len(row) + len(item) > 72:
                lines.append(row)
                row = ""
            row += item
        lines.append(row)
    with open(output, "w", newline="\r\n", encoding="ascii") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
