// The readers of polylines: POLYLINE with its VERTEX entities, and
// LWPOLYLINE; segments with a bulge are arcs.
#include <cmath>

#include "base/prompts.h"
#include "base/textconv.h"
#include "drawing/dxfin_codes.h"

namespace planox::dxfin {

namespace {

// POLYLINE: the header, then VERTEX entities up to SEQEND.
struct PolylineEntity : Extrusion {
  int32_t slot = 0;
  int32_t flags = 0;
  static constexpr Code<PolylineEntity> codes[] = {
      LayerCode(&PolylineEntity::slot), {70, &PolylineEntity::flags},
      {210, &PolylineEntity::ex},       {220, &PolylineEntity::ey},
      {230, &PolylineEntity::ez}};
};

// A vertex's layer (0: none given) is its own: it does not carry over to
// the entities after it.
struct Vertex {
  int32_t layer = 0;
  long double x = 0, y = 0, bulge = 0;
  static constexpr Code<Vertex> codes[] = {Code<Vertex>(8, &Vertex::layer, Code<Vertex>::OwnLayer),
                                           {10, &Vertex::x},
                                           {20, &Vertex::y},
                                           {42, &Vertex::bulge}};
  // The included angle of the segment to the next vertex, in degrees.
  long double Angle() const {
    return bulge == 0 ? 0 : RadToDeg(4 * std::atan(static_cast<double>(bulge)));
  }
};

// One polyline segment from p to q with the included angle a (degrees).
void EmitSegment(int mode, int slot, Point p, Point q, long double a) {
  if (a == 0) {
    EmitLine(mode, slot, p.x, p.y, q.x, q.y);
    return;
  }
  ArcGeometry arc;
  arc.centre = {(p.x + q.x) / 2, (p.y + q.y) / 2};
  GetArcCenter(p, q, DegToRad(a), arc);
  EmitArc(mode, slot, arc.centre.x, arc.centre.y, arc.radius, RadToDeg(arc.startAngle),
          RadToDeg(arc.endAngle), a);
}

// LWPOLYLINE: the vertices and their bulges in one entity.
struct LwPolylineEntity : Extrusion {
  int32_t slot = 0, flags = 0;
  std::vector<Point> points;
  std::vector<long double> bulges;
  void Vertex(int code, long double v) {
    if (code == 10) {
      points.push_back({v, 0});
      bulges.push_back(0);
    } else if (!points.empty()) {
      (code == 20 ? points.back().y : bulges.back()) = v;
    }
  }
  static constexpr Code<LwPolylineEntity> codes[] = {
      LayerCode(&LwPolylineEntity::slot), {70, &LwPolylineEntity::flags},
      {10, &LwPolylineEntity::Vertex},    {20, &LwPolylineEntity::Vertex},
      {42, &LwPolylineEntity::Vertex},    {210, &LwPolylineEntity::ex},
      {220, &LwPolylineEntity::ey},       {230, &LwPolylineEntity::ez}};
};

}  // namespace

// The same for a segment of object coordinates under a map: an arc that
// the map keeps round stays an arc (turned round when mirrored).
void EmitMappedSegment(int mode, int slot, const Affine& m, Point p, Point q, long double a) {
  if (m.IsIdentity()) {
    EmitSegment(mode, slot, p, q, a);
  } else if (a == 0 || m.KeepsCircles()) {
    EmitSegment(mode, slot, m.Apply(p), m.Apply(q), m.Mirrors() ? -a : a);
  } else {
    std::vector<Point> pts = BulgePoints(p, q, a, ChordTolerance() / m.MaxStretch());
    for (Point& x : pts) x = m.Apply(x);
    EmitPolyline(mode, slot, pts);
  }
}

template <class Source>
void ReadPolyline(Source& s, int mode) {
  PolylineEntity e;
  e.slot = s.StartLayer(0);
  if (!ReadCodes<Source, PolylineEntity>(s, e, e.codes)) return;
  if (!IsKeyword(s.value, "VERTEX")) {
    ReportError("Fehler in DXF-Datei Zeile " + IntToText(LineNumber));
    return;
  }
  const bool replay = s.Replay();
  // A mirroring insertion turns the bulges round.
  const long double turn =
      replay && BlockTransform.ScaleX * BlockTransform.ScaleY < 0 ? -1.0L : 1.0L;
  // Flat polylines lie in their object coordinates; 3D ones and meshes
  // (flags 8, 16, 64) in the world's.
  const Affine ocs = replay || (e.flags & (8 | 16 | 64)) ? Affine{} : ObjectToWorld(e.ex, e.ey, e.ez);
  auto place = [&](const Vertex& v) {
    return replay ? TransformPoint(v.x, v.y) : Point{v.x, v.y};
  };
  auto segment = [&](int slot, Point p, Point q, long double a) {
    EmitMappedSegment(mode, slot, ocs, p, q, a);
  };
  Vertex v;
  if (!ReadCodes<Source, Vertex>(s, v, v.codes)) return;
  Point p0 = place(v), p = p0;
  long double a = v.Angle() * turn;
  int layer = replay ? e.slot : 0;
  for (;;) {
    if (s.code != 0 || IsKeyword(s.value, "SEQEND")) break;
    // Without SEQEND the vertex list ends at the next entity.
    if (!IsKeyword(s.value, "VERTEX")) break;
    v = Vertex{};
    if (!ReadCodes<Source, Vertex>(s, v, v.codes)) return;
    if (v.layer != 0) layer = v.layer;
    Point q = place(v);
    segment(layer, p, q, a);
    p = q;
    a = v.Angle() * turn;
  }
  if (e.flags == 1) segment(e.slot, p, p0, a);
}

template <class Source>
void ReadLwPolyline(Source& s, int mode) {
  LwPolylineEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, LwPolylineEntity>(s, e, e.codes)) return;
  const Affine m = EntityMap<Source>(e);
  const size_t n = e.points.size();
  for (size_t i = 0; i + 1 < n; ++i)
    EmitMappedSegment(mode, e.slot, m, e.points[i], e.points[i + 1], BulgeAngle(e.bulges[i]));
  if ((e.flags & 1) && n > 2)
    EmitMappedSegment(mode, e.slot, m, e.points[n - 1], e.points[0], BulgeAngle(e.bulges[n - 1]));
}

// Each reader is made for both pair sources.
template void ReadPolyline(FileSource&, int);
template void ReadPolyline(WorkSource&, int);
template void ReadLwPolyline(FileSource&, int);
template void ReadLwPolyline(WorkSource&, int);

}  // namespace planox::dxfin
