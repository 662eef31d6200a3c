// The emitters: one entity, in drawing units and degrees, to where the
// read mode sends it: the current block work file inside a definition, the
// plot sink when converting, the graphics sink when displaying. Values
// that are not finite are dropped here, before any sink sees them.
#include <algorithm>
#include <cmath>

#include "base/session.h"
#include "base/textconv.h"
#include "drawing/dxfin_parts.h"
#include "drawing/report.h"
#include "drawing/sinks.h"

namespace planox {

namespace dxfin {
int NormalSlot(int slot) { return (slot < 1 || slot > MaxLayers) ? 1 : slot; }
}  // namespace dxfin

using dxfin::NormalSlot;

namespace {

bool Finite(long double v) { return std::isfinite(static_cast<double>(v)); }

const Layer& LayerOf(int slot) { return LayerTable[NormalSlot(slot)]; }

const std::string& LineTypeNameOf(const Layer& l) {
  int t = l.LineType;
  if (t < 0 || t > MaxLineTypes) t = 0;
  return LineTypeTable[t];
}

bool NotDrawn(const Layer& l) { return l.Flags == 65; }
// A conversion leaves out what lies on a layer that is not drawn, and says so.
bool LeftOut(const Layer& l) {
  if (!NotDrawn(l)) return false;
  CountLoss(Loss::LayerOff);
  return true;
}

double PlotX(long double x) {
  return static_cast<double>(x * Settings.PlotScale + Settings.PlotOriginX);
}
double PlotY(long double y) {
  return static_cast<double>(y * Settings.PlotScale + Settings.PlotOriginY);
}
double PlotLength(long double l) { return static_cast<double>(l * Settings.PlotScale); }

// Whether an entity outside a block definition is drawn in this mode; when
// it is, its layer's style is selected on the sink first. The display
// counts every entity in count, drawn or not. Texts and solids have no
// line type.
bool SelectLayerStyle(int mode, int slot, uint32_t& count, bool lineType = true) {
  const Layer& l = LayerOf(slot);
  if (mode == ReadForConversion) {
    if (LeftOut(l)) return false;
    PlotSink& p = CurrentPlotSink();
    if (lineType) p.PlotLineType(OutputLineType(LineTypeNameOf(l)));
    p.PlotSelectPen(Settings.PenNumbers[PenColour(l.Colour)]);
    return true;
  }
  if (mode != ReadForDisplay) return false;
  ++count;
  if (NotDrawn(l)) return false;
  GraphicsSink& g = CurrentGraphicsSink();
  g.H_SetLineStyleName(LineTypeNameOf(l));
  g.H_SetColor(ScreenColour(l.Colour));
  return true;
}

// Work files carry the layer as its slot number minus one.
DxfWriter& BlockOnLayer(int slot) {
  DxfWriter& w = dxfin::BlockWriter();
  w.DxfSetLayer(IntToText(slot - 1));
  return w;
}

}  // namespace

// ------------------------------------------------------------ colours

int ScreenColour(int colour) {
  static const int light[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  // Numbers outside 0..15 are folded into the palette first (PenColour).
  int c = PenColour(colour);
  return c >= 1 && c <= 7 ? light[c] : c;
}

int PenColour(int colour) {
  // A negative colour marks a layer that is switched off; its colour is the
  // positive value. Numbers above 15 wrap around the 16 pens.
  long long c = colour;
  if (c < 0) c = -c;
  return static_cast<int>(c % 16);
}

// ------------------------------------------------------------ emitters

void EmitLine(int mode, int slot, long double x1, long double y1, long double x2, long double y2) {
  if (!Finite(x1) || !Finite(y1) || !Finite(x2) || !Finite(y2)) return;
  slot = NormalSlot(slot);
  WidenBoundingBox(x1, y1);
  WidenBoundingBox(x2, y2);
  if (InBlockDefinition) {
    BlockOnLayer(slot).DxfLine(double(x1), double(y1), double(x2), double(y2));
    return;
  }
  if (!SelectLayerStyle(mode, slot, ElementCount)) return;
  if (mode == ReadForConversion)
    CurrentPlotSink().PlotLine(PlotX(x1), PlotY(y1), PlotX(x2), PlotY(y2));
  else
    CurrentGraphicsSink().H_Line(double(x1), double(y1), double(x2), double(y2));
}

void EmitCircle(int mode, int slot, long double cx, long double cy, long double r) {
  if (!Finite(cx) || !Finite(cy) || !Finite(r)) return;
  slot = NormalSlot(slot);
  WidenBoundingBox(cx + r, cy + r);
  WidenBoundingBox(cx - r, cy - r);
  if (InBlockDefinition) {
    BlockOnLayer(slot).DxfCircle(double(cx), double(cy), double(r));
    return;
  }
  if (!SelectLayerStyle(mode, slot, ElementCount)) return;
  if (mode == ReadForConversion)
    CurrentPlotSink().PlotCircle(PlotX(cx), PlotY(cy), PlotLength(r));
  else
    CurrentGraphicsSink().H_Circle(double(cx), double(cy), double(r));
}

void EmitArc(int mode, int slot, long double cx, long double cy, long double r, long double start,
             long double end, long double sweep) {
  if (!Finite(cx) || !Finite(cy) || !Finite(r) || !Finite(start) || !Finite(end) ||
      !Finite(sweep))
    return;
  slot = NormalSlot(slot);
  WidenBoundingBox(cx + r, cy + r);
  WidenBoundingBox(cx - r, cy - r);
  if (InBlockDefinition) {
    BlockOnLayer(slot).DxfArc(double(cx), double(cy), double(start), double(end), double(r));
    return;
  }
  if (!SelectLayerStyle(mode, slot, ElementCount)) return;
  if (mode == ReadForConversion)
    CurrentPlotSink().PlotArc(PlotX(cx), PlotY(cy), double(start), double(end), PlotLength(r),
                              double(sweep));
  else
    CurrentGraphicsSink().H_Arc(double(cx), double(cy), double(start), double(end), double(r));
}

void EmitText(int mode, int slot, const std::string& text, long double x, long double y,
              long double height, long double widthFactor, long double rotation,
              long double oblique) {
  (void)oblique;  // slanted text is not drawn slanted
  if (!Finite(x) || !Finite(y) || !Finite(height) || !Finite(widthFactor) || !Finite(rotation))
    return;
  slot = NormalSlot(slot);
  long double n = static_cast<long double>(text.size());
  double a = static_cast<double>(DegToRad(rotation));
  WidenBoundingBox(x + n * height * widthFactor * std::cos(a),
                   y + n * height * widthFactor * std::sin(a));
  if (InBlockDefinition) {
    DxfWriter& w = BlockOnLayer(slot);
    w.DxfTextStyle(double(height * widthFactor), double(height), double(rotation));
    w.DxfText(text, double(x), double(y));
    return;
  }
  if (!SelectLayerStyle(mode, slot, TextCount, false)) return;
  if (mode == ReadForConversion) {
    PlotSink& p = CurrentPlotSink();
    p.PlotTextStyle(0, double(rotation), PlotLength(height),
                    PlotLength(height * widthFactor * Settings.TextWidthRatio));
    p.PlotTextAlign(0, 0);
    p.PlotText(text, PlotX(x), PlotY(y));
  } else {
    GraphicsSink& g = CurrentGraphicsSink();
    g.H_SetTextStyle(2, double(rotation), double(height),
                     double(height * widthFactor * Settings.ScreenTextRatio * 0.8L));
    g.H_SetTextJustify(0, 0);
    g.H_OutTextXY(double(x), double(y), text);
  }
}

void EmitSolid(int mode, int slot, const long double (&x)[4], const long double (&y)[4]) {
  for (int i = 0; i < 4; ++i)
    if (!Finite(x[i]) || !Finite(y[i])) return;
  slot = NormalSlot(slot);
  for (int i = 0; i < 4; ++i) WidenBoundingBox(x[i], y[i]);
  if (InBlockDefinition) {
    BlockOnLayer(slot).DxfSolid(double(x[0]), double(y[0]), double(x[1]), double(y[1]),
                                double(x[2]), double(y[2]), double(x[3]), double(y[3]));
    return;
  }
  if (!SelectLayerStyle(mode, slot, ElementCount, false)) return;
  if (mode == ReadForConversion)
    CurrentPlotSink().PlotSolid(PlotX(x[0]), PlotY(y[0]), PlotX(x[1]), PlotY(y[1]), PlotX(x[2]),
                                PlotY(y[2]), PlotX(x[3]), PlotY(y[3]));
  else
    CurrentGraphicsSink().H_Solid(double(x[0]), double(y[0]), double(x[1]), double(y[1]),
                                  double(x[2]), double(y[2]), double(x[3]), double(y[3]));
}

// ------------------------------------------------------------ shapes

namespace {

// Filled areas are cut into at most this many solids.
constexpr size_t kMaxFillPieces = 20000;

}  // namespace

namespace dxfin {

void EmitPolyline(int mode, int slot, const std::vector<Point>& points, bool closed) {
  for (size_t i = 0; i + 1 < points.size(); ++i)
    EmitLine(mode, slot, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
  if (closed && points.size() > 2)
    EmitLine(mode, slot, points.back().x, points.back().y, points.front().x, points.front().y);
}

void EmitConic(int mode, int slot, Point c, Point u, Point v, long double t0, long double t1) {
  constexpr long double turn = 2 * 3.141592653589793238462643383279502884L;
  if (!std::isfinite(static_cast<double>(t1 - t0))) return;
  const bool full = std::fabs(t1 - t0) < 1e-9L || std::fabs(std::fabs(t1 - t0) - turn) < 1e-9L;
  const long double lu = std::hypot(u.x, u.y), lv = std::hypot(v.x, v.y);
  const long double dot = u.x * v.x + u.y * v.y, cross = u.x * v.y - u.y * v.x;
  if (lu > 0 && std::fabs(lu - lv) <= 1e-9L * lu && std::fabs(dot) <= 1e-9L * lu * lu) {
    if (full) {
      EmitCircle(mode, slot, c.x, c.y, lu);
      return;
    }
    // Counter-clockwise from the start, or clockwise: then the other way round.
    long double at = RadToDeg(std::atan2(u.y, u.x)), a0 = RadToDeg(t0), a1 = RadToDeg(t1);
    if (cross > 0)
      EmitArc(mode, slot, c.x, c.y, lu, at + a0, at + a1, 1);
    else
      EmitArc(mode, slot, c.x, c.y, lu, at - a1, at - a0, 1);
    return;
  }
  if (full) {
    t0 = 0, t1 = turn;
  } else {
    t1 = t0 + std::fmod(t1 - t0, turn);
    if (t1 <= t0) t1 += turn;
  }
  EmitPolyline(mode, slot, ConicPoints(c, u, v, t0, t1, dxfin::ChordTolerance()));
}

void EmitMappedArc(int mode, int slot, const Affine& m, const ArcPiece& arc, bool full) {
  const long double t0 = full ? 0 : DegToRad(arc.start), t1 = full ? 0 : DegToRad(arc.end);
  EmitConic(mode, slot, m.Apply(arc.centre), m.Linear({arc.radius, 0}), m.Linear({0, arc.radius}),
            t0, t1);
}

bool EmitFilled(int mode, int slot, const std::vector<std::vector<Point>>& outlines) {
  std::vector<Quad> pieces = FillPieces(outlines, kMaxFillPieces);
  for (const Quad& q : pieces) {
    long double x[4], y[4];
    for (int i = 0; i < 4; ++i) x[i] = q.p[i].x, y[i] = q.p[i].y;
    EmitSolid(mode, slot, x, y);
  }
  return !pieces.empty();
}

void EmitPlacedText(int mode, int slot, const PlacedText& t, long double oblique) {
  EmitText(mode, slot, t.text, t.at.x, t.at.y, t.height, t.widthFactor, t.rotation, oblique);
}

}  // namespace dxfin

}  // namespace planox
