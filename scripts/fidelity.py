#!/usr/bin/python3
"""Fidelity check: how close this program's PostScript output of each corpus
drawing comes to an independent rendering of the same drawing.

For every drawing of the corpus folder, the ezdxf library's drawing add-on
renders the model space with matplotlib, and this program converts the
drawing to PostScript, which Ghostscript renders. Both images are cropped to
their ink and scaled to the same size; the score is the F-score of ink lying
within a few pixels of the other image's ink. Each drawing is scored twice:
with texts, and with texts left out of both renderings ("geometry").

Prints a table per drawing and the distribution, writes them to
<out>/fidelity.txt, and keeps the two renderings of the worst drawings side
by side in <out>/worst/ (reference left, this program right, both over each
other in colour at the end: reference red, this program blue).

Exits 1 when a conversion failed or crashed, 0 otherwise; with --strict
also when the targets are not met. Without the corpus it says so and exits 0.
"""

import argparse
import concurrent.futures
import hashlib
import inspect
import io
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

RENDER = 1000     # long side of both renderings, in pixels
CANVAS = 500      # long side of the compared images
RADIUS = 3        # pixels within which ink counts as matching
INK = 245         # grey values below this are ink (white background)
TEXT_TYPES = ("TEXT", "MTEXT", "ATTRIB", "ATTDEF")


# ---------------------------------------------------------------- rendering

def render_reference(dxf, png, texts):
    """The ezdxf rendering, black and colours on white."""
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    from ezdxf import recover
    from ezdxf.addons.drawing import Frontend, RenderContext
    from ezdxf.addons.drawing.config import Configuration
    from ezdxf.addons.drawing.matplotlib import MatplotlibBackend
    from ezdxf.addons.drawing.properties import LayoutProperties

    # The renderer takes only capitals in \U+XXXX escapes.
    with open(dxf, "rb") as f:
        data = re.sub(rb"\\U\+([0-9A-Fa-f]{4})", lambda m: b"\\U+" + m.group(1).upper(), f.read())
    doc, _ = recover.read(io.BytesIO(data))
    msp = doc.modelspace()
    if not texts:
        for layout in [msp] + list(doc.blocks):
            for e in list(layout):
                if e.dxftype() in TEXT_TYPES:
                    layout.delete_entity(e)
                elif e.dxftype() == "INSERT":
                    e.delete_all_attribs()
                elif e.dxftype() == "MULTILEADER" and e.context.mtext is not None:
                    e.context.mtext.default_content = ""
    fig = plt.figure(figsize=(RENDER / 100, RENDER / 100), dpi=100)
    ax = fig.add_axes([0, 0, 1, 1])
    ax.set_axis_off()
    ctx = RenderContext(doc)
    config = Configuration.defaults().with_changes(lineweight_scaling=0)
    props = LayoutProperties.from_layout(msp)
    props.set_colors("#ffffff")
    Frontend(ctx, MatplotlibBackend(ax), config=config).draw_layout(msp, finalize=True, layout_properties=props)
    fig.savefig(png, dpi=100, facecolor="#ffffff")
    plt.close(fig)


def postscript_bbox(ps):
    """The ink box of a PostScript file in points, or None when it has none."""
    far = 1e6  # the output may lie anywhere; move it onto a huge page
    r = subprocess.run(
        ["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=bbox", "-r10",
         f"-dDEVICEWIDTHPOINTS={2 * far:.0f}", f"-dDEVICEHEIGHTPOINTS={2 * far:.0f}", "-dFIXEDMEDIA",
         "-c", f"{far:.0f} {far:.0f} translate", "-f", ps],
        capture_output=True, text=True, timeout=300)
    m = re.search(r"%%HiResBoundingBox: (\S+) (\S+) (\S+) (\S+)", r.stderr + r.stdout)
    if not m:
        return None
    x0, y0, x1, y1 = (float(v) - far for v in m.groups())
    if x1 <= x0 or y1 <= y0:
        return None
    return x0, y0, x1, y1


def render_box(ps, png, box, size=RENDER):
    """Ghostscript's rendering of the part of the output inside box (points),
    fitted into size pixels."""
    x0, y0, x1, y1 = box
    pad = max(x1 - x0, y1 - y0) * 0.01 + 0.5
    x0, y0, x1, y1 = x0 - pad, y0 - pad, x1 + pad, y1 + pad
    dpi = size * 72 / max(x1 - x0, y1 - y0)
    w, h = max(1, round((x1 - x0) * dpi / 72)), max(1, round((y1 - y0) * dpi / 72))
    subprocess.run(
        ["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pnggray", f"-r{dpi:.6f}",
         f"-g{w}x{h}", "-dFIXEDMEDIA", "-o", png, "-c", f"{-x0:.6f} {-y0:.6f} translate", "-f", ps],
        capture_output=True, timeout=300, check=True)
    return x0, y0, dpi, h


def ink_box(ps, png):
    """The box of the output's ink in points, or None when it has none. The
    box Ghostscript gives counts moves that leave no ink, so a rendering at
    four times the size (into png) finds the ink."""
    import numpy as np
    box = postscript_bbox(ps)
    if box is None:
        return None
    x0, y0, dpi, h = render_box(ps, png, box, 4 * RENDER)
    ys, xs = np.nonzero(load_ink(png))
    if len(xs) == 0:
        return None
    px = 72 / dpi
    return (x0 + xs.min() * px, y0 + (h - 1 - ys.max()) * px,
            x0 + (xs.max() + 1) * px, y0 + (h - ys.min()) * px)


def render_output(ps, png):
    """Ghostscript's rendering of the output, its ink fitted into RENDER
    pixels; False when it has no ink."""
    box = ink_box(ps, png)
    if box is None:
        return False
    render_box(ps, png, box)
    return True


def comparable(ps, out, texts):
    """The PostScript file with the thinnest lines (pen widths are not
    compared), and without its texts unless texts is true."""
    with open(ps, "rb") as f:
        data = f.read()
    data = re.sub(rb"(?m)^\S+ w(\r?)$", rb"0 w\1", data)
    if not texts:
        data = re.sub(rb"(?m)^\(.*\) show\r?$", b"", data)
    with open(out, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------- scoring

def load_ink(png):
    import numpy as np
    from PIL import Image
    a = np.asarray(Image.open(png).convert("L"))
    return a < INK


def crop_and_scale(ink, size):
    """The ink cropped to its box and scaled to size (w, h); ink stays ink."""
    import numpy as np
    from PIL import Image
    ys, xs = np.nonzero(ink)
    if len(xs) == 0:
        return np.zeros((size[1], size[0]), bool)
    c = ink[ys.min():ys.max() + 1, xs.min():xs.max() + 1]
    img = Image.fromarray((c * 255).astype("uint8"))
    return np.asarray(img.resize(size, Image.BOX)) > 8


def aspect_size(ink):
    import numpy as np
    ys, xs = np.nonzero(ink)
    if len(xs) == 0:
        return CANVAS, CANVAS
    w, h = xs.max() - xs.min() + 1, ys.max() - ys.min() + 1
    if w >= h:
        return CANVAS, max(1, round(CANVAS * h / w))
    return max(1, round(CANVAS * w / h)), CANVAS


def dilate(a, r):
    import numpy as np
    out = np.zeros_like(a)
    h, w = a.shape
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            if dx * dx + dy * dy > r * r:
                continue
            src = a[max(0, -dy):h - max(0, dy), max(0, -dx):w - max(0, dx)]
            out[max(0, dy):h - max(0, -dy), max(0, dx):w - max(0, -dx)] |= src
    return out


def fscore(ref, out):
    """F-score of the two ink images; None when neither has ink."""
    nr, no = int(ref.sum()), int(out.sum())
    if nr == 0 and no == 0:
        return None
    if nr == 0 or no == 0:
        return 0.0
    precision = (out & dilate(ref, RADIUS)).sum() / no
    recall = (ref & dilate(out, RADIUS)).sum() / nr
    return 0.0 if precision + recall == 0 else float(2 * precision * recall / (precision + recall))


def compare(ref_png, out_png):
    """Score and the two scaled images."""
    ref = load_ink(ref_png)
    out = load_ink(out_png) if out_png else ref & False
    size = aspect_size(ref if ref.any() else out)
    r, o = crop_and_scale(ref, size), crop_and_scale(out, size)
    return fscore(r, o), r, o, int(ref.sum()), int(out.sum())


def side_by_side(r, o, png):
    import numpy as np
    from PIL import Image
    h, w = r.shape
    gap = np.ones((h, 8, 3), "uint8") * 160
    white = np.ones((h, w, 3), "uint8") * 255
    left, right, both = white.copy(), white.copy(), white.copy()
    left[r] = 0
    right[o] = 0
    both[r] = (220, 0, 0)
    both[o] = (0, 0, 220)
    both[r & o] = (90, 0, 120)
    Image.fromarray(np.concatenate([left, gap, right, gap, both], axis=1)).save(png)


# ---------------------------------------------------------------- one drawing

def check(job):
    dxf, program, cache, keep = job
    name = os.path.relpath(dxf, job_root(dxf))
    result = {"name": name, "error": ""}
    start = time.time()
    with tempfile.TemporaryDirectory(prefix="planox-fidelity-") as tmp:
        base = "d"
        shutil.copy(dxf, os.path.join(tmp, base + ".dxf"))
        ps = os.path.join(tmp, base + ".ps")
        # Converted at scale 1 first, then again at a scale that makes the
        # output about a metre wide, its ink moved to the origin, so that
        # neither the writer's resolution nor Ghostscript's limits decide the
        # score of very small or very large drawings.
        options = ["/M1"]
        for again in (False, True):
            if again:
                box = ink_box(ps, os.path.join(tmp, "box.png")) if os.path.exists(ps) and not result["error"] else None
                if box is None:
                    break
                factor = min(100.0, max(0.01, 2800 / max(box[2] - box[0], box[3] - box[1])))
                if 0.5 < factor < 2:
                    break
                mm = 25.4 / 72  # the writer's page starts 20 points from the corner
                options = [f"/M{factor:.6g}", f"/X{-factor * ((box[0] + box[2]) / 2 - 20) * mm:.6g}",
                           f"/Y{-factor * ((box[1] + box[3]) / 2 - 20) * mm:.6g}"]
                os.remove(ps)
            try:
                r = subprocess.run([program, base + ".dxf", "/CPS", "/D3"] + options, cwd=tmp,
                                   capture_output=True, timeout=120,
                                   env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
                if r.returncode < 0:
                    result["error"] = f"program ended by signal {-r.returncode}"
                elif r.returncode != 0:
                    result["note"] = f"exit {r.returncode}"
            except subprocess.TimeoutExpired:
                result["error"] = "program timed out"
        if not os.path.exists(ps) and not result["error"]:
            result["note"] = (result.get("note", "") + " no output").strip()
        images = {}
        for texts in (True, False):
            key = "text" if texts else "geometry"
            ref_png = os.path.join(tmp, f"ref-{key}.png")
            cached = None
            if cache:
                # A kept rendering stands for the drawing as this version of
                # the reference renderer draws it.
                with open(dxf, "rb") as f:
                    digest = hashlib.sha256(f.read() + inspect.getsource(render_reference).encode()).hexdigest()[:20]
                cached = os.path.join(cache, f"{digest}-{key}.png")
            if cached and os.path.exists(cached):
                shutil.copy(cached, ref_png)
            else:
                try:
                    render_reference(dxf, ref_png, texts)
                except Exception as e:  # the reference renderer's own failures
                    result[key] = None
                    result["ref_error"] = f"{type(e).__name__}: {e}"[:80]
                    continue
                if cached:
                    shutil.copy(ref_png, cached)
            out_png = None
            if os.path.exists(ps):
                src = os.path.join(tmp, f"{key}.ps")
                comparable(ps, src, texts)
                out_png = os.path.join(tmp, f"out-{key}.png")
                try:
                    if not render_output(src, out_png):
                        out_png = None
                except subprocess.SubprocessError as e:
                    result["note"] = (result.get("note", "") + f" Ghostscript: {type(e).__name__}").strip()
                    out_png = None
            score, r_img, o_img, nref, nout = compare(ref_png, out_png)
            if nref == 0 and nout > 0:
                # The reference draws nothing (entities it skips): no score.
                score = None
                result["ref_error"] = "reference draws nothing"
            result[key] = score
            result[key + "_ink"] = (nref, nout)
            images[key] = (r_img, o_img)
        result["images"] = images if keep else {}
    result["seconds"] = time.time() - start
    return result


_root = None


def job_root(_):
    return _root


# ---------------------------------------------------------------- report

def fmt(v):
    return "  -  " if v is None else f"{v:.3f}"


def main():
    global _root
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    corpora = [os.path.join(here, "..", up, "shared", "dxf-corpus") for up in ("..", os.path.join("..", ".."))]
    ap.add_argument("--corpus", default=next((c for c in corpora if os.path.isdir(c)), corpora[0]))
    ap.add_argument("--program", default=os.path.join(here, "..", "build", "src", "planox"))
    ap.add_argument("--out", default=os.path.join(here, "..", "build", "fidelity"))
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    ap.add_argument("--worst", type=int, default=6, help="drawings kept side by side per score")
    ap.add_argument("--strict", action="store_true", help="fail when the targets are not met")
    ap.add_argument("--cache", help="folder that keeps the reference renderings between runs")
    ap.add_argument("only", nargs="*", help="names (or parts of names) of drawings to check")
    a = ap.parse_args()

    corpus = os.path.abspath(a.corpus)
    if not os.path.isdir(corpus):
        print(f"fidelity: no drawing corpus at {corpus}; nothing checked")
        return 0
    if not os.access(a.program, os.X_OK):
        print(f"fidelity: program {a.program} not built", file=sys.stderr)
        return 1
    _root = corpus
    drawings = sorted(os.path.join(d, f) for d, _, fs in os.walk(corpus) for f in fs
                      if f.lower().endswith(".dxf"))
    if a.only:
        drawings = [d for d in drawings if any(o in d for o in a.only)]
    os.makedirs(a.out, exist_ok=True)
    worst_dir = os.path.join(a.out, "worst")
    shutil.rmtree(worst_dir, ignore_errors=True)
    os.makedirs(worst_dir)

    start = time.time()
    if a.cache:
        os.makedirs(a.cache, exist_ok=True)
    jobs = [(d, os.path.abspath(a.program), a.cache and os.path.abspath(a.cache), True) for d in drawings]
    with concurrent.futures.ProcessPoolExecutor(max_workers=max(1, a.jobs), initializer=set_root,
                                                initargs=(corpus,)) as pool:
        results = list(pool.map(check, jobs))
    elapsed = time.time() - start

    lines = [f"{'drawing':<52} {'text':>6} {'geom':>6} {'ink ref/out (geometry)':>24}  note"]
    for r in results:
        ink = r.get("geometry_ink")
        ink_text = f"{ink[0]}/{ink[1]}" if ink else ""
        note = " ".join(x for x in (r["error"], r.get("note", ""), r.get("ref_error", "")) if x)
        lines.append(f"{r['name']:<52} {fmt(r.get('text')):>6} {fmt(r.get('geometry')):>6} "
                     f"{ink_text:>24}  {note}")

    def distribution(key):
        v = [r[key] for r in results if r.get(key) is not None]
        if not v:
            return [f"{key}: no drawing with ink"], None, None
        bins = [(0.95, 1.01), (0.9, 0.95), (0.8, 0.9), (0.5, 0.8), (0.0, 0.5)]
        out = [f"{key}: {len(v)} drawings with ink, median {statistics.median(v):.3f}, "
               f"mean {statistics.mean(v):.3f}, >= 0.95: {sum(x >= 0.95 for x in v)} "
               f"({100 * sum(x >= 0.95 for x in v) / len(v):.0f} %)"]
        for lo, hi in bins:
            n = sum(lo <= x < hi for x in v)
            out.append(f"  {lo:.2f} .. {min(hi, 1.0):.2f}  {n:3d}  {'#' * n}")
        return out, statistics.median(v), sum(x >= 0.95 for x in v) / len(v)

    text_lines, text_median, _ = distribution("text")
    geom_lines, _, geom_share = distribution("geometry")
    no_geometry = [r["name"] for r in results
                   if r.get("geometry_ink") and r["geometry_ink"][0] > 0 and r["geometry_ink"][1] == 0]
    failed = [r["name"] for r in results if r["error"]]
    lines += ["", *text_lines, *geom_lines, ""]
    lines.append(f"drawings with content but no geometry in the output: {len(no_geometry)} "
                 + " ".join(no_geometry))
    lines.append(f"conversions that failed: {len(failed)} " + " ".join(failed))
    met = (geom_share is not None and geom_share >= 0.9 and text_median is not None
           and text_median >= 0.95 and not no_geometry)
    lines.append("targets (90 % of geometry >= 0.95, median with texts >= 0.95, "
                 f"no drawing without geometry): {'met' if met else 'not met'}")
    lines.append(f"{len(results)} drawings in {elapsed:.0f} s")

    for key in ("geometry", "text"):
        scored = sorted((r for r in results if r.get(key) is not None), key=lambda r: r[key])
        for r in scored[:a.worst]:
            if key in r["images"]:
                name = re.sub(r"[^A-Za-z0-9_.-]", "_", r["name"])
                side_by_side(*r["images"][key], os.path.join(worst_dir, f"{key}-{r[key]:.3f}-{name}.png"))

    report = "\n".join(lines)
    print(report)
    with open(os.path.join(a.out, "fidelity.txt"), "w") as f:
        f.write(report + "\n")
    if failed:
        return 1
    return 1 if a.strict and not met else 0


def set_root(root):
    global _root
    _root = root


if __name__ == "__main__":
    sys.exit(main())
