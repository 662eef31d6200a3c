"""Reads SVG files with Python's XML parser and prints one line per file:
the name, then key=value pairs: the document's width, height and viewBox,
the pen group ids, and the counts of paths, drawn segments (L and A
commands), filled paths, circles and texts. A file that is not well-formed
XML prints "error NAME MESSAGE"; the exit code is the number of such files.
"""
import re
import sys
import xml.etree.ElementTree as ET

NS = "{http://www.w3.org/2000/svg}"
bad = 0
for name in sys.argv[1:]:
    try:
        root = ET.parse(name).getroot()
    except Exception as e:  # anything the parser refuses
        print("error", name, str(e).replace("\n", " "))
        bad += 1
        continue
    if root.tag != NS + "svg":
        print("error", name, "root is", root.tag)
        bad += 1
        continue
    paths = root.iter(NS + "path")
    counts = {"paths": 0, "segments": 0, "filled": 0}
    for p in paths:
        counts["paths"] += 1
        counts["segments"] += len(re.findall("[LA]", p.get("d", "")))
        if p.get("fill", "none") != "none":
            counts["filled"] += 1
    counts["circles"] = sum(1 for _ in root.iter(NS + "circle"))
    counts["texts"] = sum(1 for _ in root.iter(NS + "text"))
    pens = [g.get("id") for g in root.iter(NS + "g") if g.get("id")]
    print(name, "width=" + root.get("width", ""), "height=" + root.get("height", ""),
          "viewBox=" + root.get("viewBox", "").replace(" ", ","), "pens=" + ",".join(pens),
          " ".join("%s=%d" % kv for kv in counts.items()))
sys.exit(bad)
