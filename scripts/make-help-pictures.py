#!/usr/bin/env python3
"""Draws the help pictures of data/help/ as HP-GL files and writes their
index planox.dbh. Run it again after changing a picture:

    scripts/make-help-pictures.py [output folder]

Every picture is drawn for the help world of 160 x 120 mm, in plotter
units of 0.025 mm, with the commands the help-picture interpreter knows:
IN, SP, PU, PD, CI, AA, SI, DI, LB. Texts are code page 850."""
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


def pen_table():
    p = Picture("stylos", "Table des stylos : couleur du calque -> stylo")
    p.title("Table des stylos")
    p.pen(7)
    p.text(10, 96, "Couleur DXF")
    p.text(62, 96, "Stylo du traceur")
    p.text(115, 96, "Vitesse")
    names = ["rouge", "jaune", "vert", "cyan", "bleu", "magenta", "blanc"]
    for k in range(7):
        y = 86 - k * 11
        p.pen(k + 1)
        p.text(10, y, f"{k + 1} {names[k]}")
        p.line((36, y + 1.5), (56, y + 1.5))
        p.pen(7)
        p.arrow(40, y + 1.5, 60, y + 1.5)
        p.circle(68, y + 1.5, 3)
        p.text(74, y, f"stylo {k + 1}")
        p.text(115, y, "500 mm/s")
    p.text(10, 6, "La cellule grise est fixe : le stylo suit la couleur.")
    return p


def scale_origin():
    p = Picture("echelle", "Echelle et d\x82calage du dessin sur la feuille")
    p.title("Echelle et d\x82calage")
    p.pen(7)
    p.rect(10, 10, 150, 100)
    p.text(120, 12, "feuille")
    p.pen(2)
    p.text(12, 92, "0,0 du traceur")
    p.circle(10, 10, 1.5)
    p.pen(5)
    p.dashed(10, 30, 40, 30)
    p.dashed(40, 10, 40, 30)
    p.arrow(10, 22, 40, 22)
    p.text(16, 24, "D\x82calage x")
    p.arrow(46, 10, 46, 30)
    p.text(48, 18, "D\x82calage y")
    p.pen(3)
    p.rect(40, 30, 70, 50)
    p.text(42, 52, "Echelle 1")
    p.pen(1)
    p.rect(40, 30, 100, 70)
    p.text(72, 72, "Echelle 2 : tout x 2")
    p.pen(7)
    p.text(12, 2, "mm sur la feuille = unit\x82s du dessin x \x82chelle + d\x82calage")
    return p


def rotation():
    p = Picture("rotation", "Tourner le trac\x82 de 90 degr\x82s")
    p.title("Rotation de 90 degr\x82s")
    p.pen(7)
    p.rect(8, 20, 72, 64)
    p.text(10, 14, "sans rotation")
    p.rect(88, 10, 132, 74)
    p.text(90, 4, "avec rotation (RO90)")
    for x0, y0, turned in ((8, 20, False), (88, 10, True)):
        p.pen(3)
        if not turned:
            p.line((x0 + 6, y0 + 6), (x0 + 40, y0 + 6), (x0 + 40, y0 + 26), (x0 + 6, y0 + 6))
            p.text(x0 + 20, y0 + 30, "F")
        else:
            p.line((x0 + 38, y0 + 6), (x0 + 38, y0 + 40), (x0 + 18, y0 + 40), (x0 + 38, y0 + 6))
            p.text(x0 + 12, y0 + 22, "F", angle=90)
    p.pen(1)
    p.arc(80, 88, 10, 0, 90)
    p.arrow(80, 98, 77, 98)
    p.pen(7)
    p.text(94, 86, "90 degr\x82s, sens inverse des aiguilles")
    return p


def milling():
    p = Picture("fraisage", "Fraisage : profondeur de coupe et distance d'outil")
    p.title("Fraisage CNC")
    p.pen(7)
    p.line((10, 40), (150, 40))
    p.text(120, 42, "surface")
    p.line((10, 20), (150, 20))
    p.text(120, 14, "pi\x8ace")
    p.pen(5)
    p.rect(60, 62, 70, 92)
    p.text(72, 86, "outil")
    p.pen(1)
    p.dashed(40, 62, 60, 62)
    p.arrow(44, 40, 44, 62)
    p.arrow(44, 62, 44, 40)
    p.text(12, 52, "Distance d'outil")
    p.text(12, 47, "(retrait, mm)")
    p.pen(3)
    p.rect(90, 32, 100, 40)
    p.dashed(100, 32, 118, 32)
    p.arrow(114, 40, 114, 32, head=1.5)
    p.text(103, 26, "Profondeur de coupe (mm)")
    p.pen(7)
    p.arrow(70, 62, 90, 40)
    p.text(10, 4, "Z0 = surface, descente de la profondeur, remont\x82e de la distance")
    return p


def keys():
    p = Picture("touches", "Touches : zoom et d\x82placement de la vue")
    p.title("Zoom et d\x82placement")
    p.pen(7)
    p.key(10, 84, "+ (pav\x82)", 22)
    p.text(36, 87, "zoom avant")
    p.key(10, 70, "- (pav\x82)", 22)
    p.text(36, 73, "zoom arri\x8are")
    p.key(10, 56, "Pg pr\x82c", 22)
    p.text(36, 59, "vers le haut, 5 pas")
    p.key(10, 42, "Pg suiv", 22)
    p.text(36, 45, "vers le bas, 5 pas")
    p.key(10, 28, "Echap", 22)
    p.text(36, 31, "tout le dessin (aussi F5)")
    p.pen(4)
    p.key(110, 70, "^", 10)
    p.key(98, 58, "<", 10)
    p.key(110, 58, "v", 10)
    p.key(122, 58, ">", 10)
    p.pen(7)
    p.text(96, 48, "fl\x8aches : d\x82placer")
    p.text(10, 10, "Zoom et pas : Options > Graphics (1.02 et 0.02)")
    return p


def band():
    p = Picture("elastiq", "Zoom \x85 la souris : le rectangle \x82lastique")
    p.title("Rectangle \x82lastique")
    p.pen(7)
    p.rect(10, 10, 150, 100)
    p.pen(3)
    p.circle(50, 50, 18)
    p.line((20, 20), (130, 85))
    p.pen(2)
    p.dashed(40, 35, 100, 35)
    p.dashed(100, 35, 100, 75)
    p.dashed(100, 75, 40, 75)
    p.dashed(40, 75, 40, 35)
    p.pen(7)
    p.line((100, 35), (104, 27), (102, 28), (100, 24), (99, 25), (101, 29), (98, 30), (100, 35))
    p.text(42, 78, "bouton gauche appuy\x82")
    p.text(86, 20, "rel\x83cher : zoom")
    p.text(12, 2, "Bouton droit : tout le dessin, double clic : limites")
    return p


def channels():
    p = Picture("canaux", "Sortie : fichier, port parall\x8ale, port s\x82rie")
    p.title("Canaux de sortie")
    p.pen(7)
    p.rect(8, 48, 40, 68)
    p.text(11, 56, "dessin DXF")
    p.rect(56, 48, 94, 68)
    p.text(59, 56, "convertisseur")
    p.arrow(40, 58, 56, 58)
    p.pen(3)
    p.arrow(94, 62, 112, 88)
    p.text(114, 88, "1 s\x82rie COMn")
    p.text(114, 82, "/dev/ttyS(n-1)")
    p.pen(5)
    p.arrow(94, 58, 112, 58)
    p.text(114, 58, "2 parall\x8ale LPTn")
    p.text(114, 52, "/dev/lp(n-1)")
    p.pen(1)
    p.arrow(94, 54, 112, 28)
    p.text(114, 28, "3 fichier")
    p.text(114, 22, "PLOT + .plt ...")
    p.pen(7)
    p.text(8, 6, "PLANOX_COMn / PLANOX_LPTn : un autre appareil")
    return p


PICTURES = [pen_table, scale_origin, rotation, milling, keys, band, channels]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "help")
    os.makedirs(out, exist_ok=True)
    index = []
    for make in PICTURES:
        p = make()
        assert len(p.name) <= 8 and len(p.description) <= 50, p.name
        with open(os.path.join(out, p.name + ".plt"), "wb") as f:
            f.write(p.data())
        index.append(f'"{p.name}","{p.description}"\r\n')
    with open(os.path.join(out, "planox.dbh"), "wb") as f:
        f.write("".join(index).encode("latin-1"))


if __name__ == "__main__":
    main()
