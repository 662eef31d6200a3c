#!/usr/bin/env python3
"""Draws the help pictures of data/help/ as HP-GL files and writes their
index planox.dbh. Run it again after changing a picture:

    scripts/make-help-pictures.py [output folder]

The pictures themselves are described in scripts/help-pictures.jsonl, one
drawing command a line.

Every picture is drawn for the help world of 160 x 120 mm, in plotter
units of 0.025 mm, with the commands the help-picture interpreter knows:
IN, SP, PU, PD, CI, AA, SI, DI, LB. Texts are code page 850."""
import json
import math
import os
import sys

UNIT = 40  # plotter units per millimetre


def u(v):
    return str(round(v * UNIT))


class Picture:
    def __init__(self, name, description):
        self.name, self.description = name, description
        self.out = ["IN;"]
        self.size(2.2, 3.2)

    def pen(self, n):
        self.out.append(f"SP{n};")

    def line(self, *pts):
        (x, y), rest = pts[0], pts[1:]
        self.out.append(f"PU{u(x)},{u(y)};PD" + ",".join(f"{u(a)},{u(b)}" for a, b in rest) + ";PU;")

    def rect(self, x1, y1, x2, y2):
        self.line((x1, y1), (x2, y1), (x2, y2), (x1, y2), (x1, y1))

    def dashed(self, x1, y1, x2, y2, dash=2.0):
        n = max(1, int(math.hypot(x2 - x1, y2 - y1) / dash))
        for k in range(0, n, 2):
            a, b = k / n, min(1, (k + 1) / n)
            self.line((x1 + (x2 - x1) * a, y1 + (y2 - y1) * a), (x1 + (x2 - x1) * b, y1 + (y2 - y1) * b))

    def circle(self, x, y, r):
        self.out.append(f"PU{u(x)},{u(y)};CI{u(r)};")

    def arc(self, cx, cy, r, start, sweep):
        t = math.radians(start)
        self.out.append(f"PU{u(cx + r * math.cos(t))},{u(cy + r * math.sin(t))};PD;AA{u(cx)},{u(cy)},{sweep};PU;")

    def arrow(self, x1, y1, x2, y2, head=2.0):
        self.line((x1, y1), (x2, y2))
        t = math.atan2(y2 - y1, x2 - x1)
        for s in (math.pi * 0.85, -math.pi * 0.85):
            self.line((x2, y2), (x2 + head * math.cos(t + s), y2 + head * math.sin(t + s)))

    def size(self, w, h):
        # SI takes centimetres.
        self.out.append(f"SI{w / 10:.2f},{h / 10:.2f};")

    def text(self, x, y, s, angle=0):
        t = math.radians(angle)
        self.out.append(f"DI{round(math.cos(t) * 100)},{round(math.sin(t) * 100)};PU{u(x)},{u(y)};LB")
        self.out.append(s)
        self.out.append("\x03")

    def title(self, s):
        self.pen(7)
        self.size(3, 4.5)
        self.text(8, 110, s)
        self.size(2.2, 3.2)

    def key(self, x, y, label, w=16):
        self.rect(x, y, x + w, y + 9)
        self.text(x + 2, y + 3, label)

    def data(self):
        body = "".join(self.out) + "SP0;"
        chunks, line = [], ""
        for part in body.split(";"):
            if not part:
                continue
            if len(line) + len(part) > 70:
                chunks.append(line)
                line = ""
            line += part + ";"
        chunks.append(line)
        return ("\r\n".join(chunks) + "\r\n").encode("latin-1")


def pictures(path):
    """The pictures of the description file: a line ["picture", name,
    description] starts a picture, every other line is one drawing command,
    the name of a Picture method and its arguments."""
    result = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            op, *args = json.loads(line)
            if op == "picture":
                result.append(Picture(*args))
            else:
                getattr(result[-1], op)(*args)
    return result


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "help")
    os.makedirs(out, exist_ok=True)
    index = []
    for p in pictures(os.path.join(here, "help-pictures.jsonl")):
        assert len(p.name) <= 8 and len(p.description) <= 50, p.name
        with open(os.path.join(out, p.name + ".plt"), "wb") as f:
            f.write(p.data())
        index.append(f'"{p.name}","{p.description}"\r\n')
    with open(os.path.join(out, "planox.dbh"), "wb") as f:
        f.write("".join(index).encode("latin-1"))


if __name__ == "__main__":
    main()
