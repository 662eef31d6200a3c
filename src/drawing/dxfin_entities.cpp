// The entity readers. Every entity is read by the same group-pair loop
// (ReadCodes, dxfin_codes.h): the entity's table of codes says which member
// each group code fills; the reader then works out the geometry and hands
// it to an emitter. This part holds the table of entities and the readers
// of the plain shapes (LINE, CIRCLE, ARC, SOLID, TRACE, ELLIPSE, SPLINE,
// POINT, 3DFACE); texts, polylines, insertions and hatches have parts of
// their own.
//
// Adding an entity: a struct with its members and its table of codes, a
// reader that emits it (see ReadLineEntity), and one row in EntityReaders.
#include <algorithm>
#include <cmath>
#include <span>

#include "drawing/dxfin_codes.h"

namespace planox::dxfin {

namespace {

struct LineEntity {
  int32_t slot = 0;
  long double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  static constexpr Code<LineEntity> codes[] = {
      LayerCode(&LineEntity::slot),  {10, &LineEntity::x1}, {20, &LineEntity::y1},
      {11, &LineEntity::x2}, {21, &LineEntity::y2}};
};

template <class Source>
void ReadLineEntity(Source& s, int mode) {
  LineEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, LineEntity>(s, e, e.codes)) return;
  if (s.Replay()) {
    Point a = TransformPoint(e.x1, e.y1), b = TransformPoint(e.x2, e.y2);
    e.x1 = a.x, e.y1 = a.y, e.x2 = b.x, e.y2 = b.y;
  }
  EmitLine(mode, e.slot, e.x1, e.y1, e.x2, e.y2);
}

// CIRCLE and ARC.
struct RoundEntity : Extrusion {
  int32_t slot = 0;
  long double cx = 0, cy = 0, r = 0, start = 0, end = 0;
  static constexpr Code<RoundEntity> codes[] = {
      LayerCode(&RoundEntity::slot), {10, &RoundEntity::cx},    {20, &RoundEntity::cy},
      {40, &RoundEntity::r},         {50, &RoundEntity::start}, {51, &RoundEntity::end},
      {210, &RoundEntity::ex},       {220, &RoundEntity::ey},   {230, &RoundEntity::ez}};
};

template <class Source>
void ReadCircleOrArc(Source& s, int mode, bool arc) {
  RoundEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, RoundEntity>(s, e, e.codes)) return;
  const Affine m = EntityMap<Source>(e);
  const Transform& t = BlockTransform;
  const bool flat = ObjectToWorld(e.ex, e.ey, e.ez).IsIdentity();
  if (!flat || (s.Replay() && !(t.ScaleX == t.ScaleY && t.ScaleX > 0))) {
    // Seen from below, mirrored or stretched by an insertion.
    EmitMappedArc(mode, e.slot, m, {{e.cx, e.cy}, e.r, e.start, e.end}, !arc);
    return;
  }
  if (s.Replay()) {
    Point c = TransformPoint(e.cx, e.cy);
    e.cx = c.x, e.cy = c.y;
    e.r *= t.ScaleX;
    e.start += t.Angle;
    e.end += t.Angle;
  }
  if (arc)
    EmitArc(mode, e.slot, e.cx, e.cy, e.r, e.start, e.end, 1);
  else
    EmitCircle(mode, e.slot, e.cx, e.cy, e.r);
}

template <class Source>
void ReadCircle(Source& s, int mode) {
  ReadCircleOrArc(s, mode, false);
}

template <class Source>
void ReadArc(Source& s, int mode) {
  ReadCircleOrArc(s, mode, true);
}

// SOLID and TRACE: four corners.
struct SolidEntity : Extrusion {
  int32_t slot = 0;
  long double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
  static constexpr Code<SolidEntity> codes[] = {
      LayerCode(&SolidEntity::slot), {10, &SolidEntity::x1}, {20, &SolidEntity::y1},
      {11, &SolidEntity::x2},        {21, &SolidEntity::y2}, {12, &SolidEntity::x3},
      {22, &SolidEntity::y3},        {13, &SolidEntity::x4}, {23, &SolidEntity::y4},
      {210, &SolidEntity::ex},       {220, &SolidEntity::ey}, {230, &SolidEntity::ez}};
};

template <class Source>
void ReadSolid(Source& s, int mode) {
  SolidEntity e;
  e.slot = s.StartLayer(0);
  if (!ReadCodes<Source, SolidEntity>(s, e, e.codes)) return;
  long double x[4] = {e.x1, e.x2, e.x3, e.x4}, y[4] = {e.y1, e.y2, e.y3, e.y4};
  if (s.Replay()) {
    // Work files hold the corners in outline order already.
    for (int i = 0; i < 4; ++i) {
      Point p = TransformPoint(x[i], y[i]);
      x[i] = p.x, y[i] = p.y;
    }
  } else {
    std::swap(x[2], x[3]);  // DXF order 1, 2, 3, 4 to the outline 1, 2, 4, 3
    std::swap(y[2], y[3]);
    const Affine m = ObjectToWorld(e.ex, e.ey, e.ez);
    for (int i = 0; i < 4 && !m.IsIdentity(); ++i) {
      Point p = m.Apply({x[i], y[i]});
      x[i] = p.x, y[i] = p.y;
    }
  }
  EmitSolid(mode, e.slot, x, y);
}

// ELLIPSE: in world coordinates; the extrusion decides which way the
// parameter runs.
struct EllipseEntity : Extrusion {
  int32_t slot = 0;
  long double cx = 0, cy = 0, mx = 1, my = 0, mz = 0, ratio = 1, start = 0, end = 2 * M_PIl;
  static constexpr Code<EllipseEntity> codes[] = {
      LayerCode(&EllipseEntity::slot), {10, &EllipseEntity::cx},    {20, &EllipseEntity::cy},
      {11, &EllipseEntity::mx},        {21, &EllipseEntity::my},    {31, &EllipseEntity::mz},
      {40, &EllipseEntity::ratio},     {41, &EllipseEntity::start}, {42, &EllipseEntity::end},
      {210, &EllipseEntity::ex},       {220, &EllipseEntity::ey},   {230, &EllipseEntity::ez}};
};

template <class Source>
void ReadEllipse(Source& s, int mode) {
  EllipseEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, EllipseEntity>(s, e, e.codes)) return;
  long double len = std::sqrt(e.ex * e.ex + e.ey * e.ey + e.ez * e.ez);
  if (!(len > 0) || !std::isfinite(static_cast<double>(len))) e.ex = 0, e.ey = 0, e.ez = len = 1;
  const long double nx = e.ex / len, ny = e.ey / len, nz = e.ez / len;
  // The minor axis: the direction crossed with the major axis.
  Point u{e.mx, e.my}, v{e.ratio * (ny * e.mz - nz * e.my), e.ratio * (nz * e.mx - nx * e.mz)};
  Point c{e.cx, e.cy};
  if (s.Replay()) {
    const Affine b = BlockAffine();
    c = b.Apply(c), u = b.Linear(u), v = b.Linear(v);
  }
  EmitConic(mode, e.slot, c, u, v, e.start, e.end);
}

// SPLINE: degree, knots, weights and control points, or fit points.
struct SplineEntity {
  int32_t slot = 0, flags = 0, degree = 3;
  Spline spline;
  void Take(int code, long double v) {
    switch (code) {
      case 40: spline.knots.push_back(v); break;
      case 41: spline.weights.push_back(v); break;
      case 10: spline.control.push_back({v, 0}); break;
      case 11: spline.fit.push_back({v, 0}); break;
      case 20:
        if (!spline.control.empty()) spline.control.back().y = v;
        break;
      case 21:
        if (!spline.fit.empty()) spline.fit.back().y = v;
        break;
      default: break;
    }
  }
  static constexpr Code<SplineEntity> codes[] = {
      LayerCode(&SplineEntity::slot), {70, &SplineEntity::flags}, {71, &SplineEntity::degree},
      {10, &SplineEntity::Take},      {20, &SplineEntity::Take},  {11, &SplineEntity::Take},
      {21, &SplineEntity::Take},      {40, &SplineEntity::Take},  {41, &SplineEntity::Take}};
};

template <class Source>
void ReadSpline(Source& s, int mode) {
  SplineEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, SplineEntity>(s, e, e.codes)) return;
  e.spline.degree = e.degree;
  e.spline.closed = e.flags & 1;
  const Affine m = EntityMap<Source>(Extrusion{});
  std::vector<Point> pts = SplinePoints(e.spline, ChordTolerance() / m.MaxStretch());
  for (Point& p : pts) p = m.Apply(p);
  EmitPolyline(mode, e.slot, pts);
}

// POINT: a dot on screen; a pen-down dot in a conversion (a drill hole
// for the drilling machines).
struct PointEntity {
  int32_t slot = 0;
  long double x = 0, y = 0;
  static constexpr Code<PointEntity> codes[] = {
      LayerCode(&PointEntity::slot), {10, &PointEntity::x}, {20, &PointEntity::y}};
};

template <class Source>
void ReadPoint(Source& s, int mode) {
  PointEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, PointEntity>(s, e, e.codes)) return;
  Point p = s.Replay() ? TransformPoint(e.x, e.y) : Point{e.x, e.y};
  if (mode == ReadForDisplay)
    EmitLine(mode, e.slot, p.x, p.y, p.x, p.y);
  else
    EmitCircle(mode, e.slot, p.x, p.y, 0);
}

// 3DFACE: its visible edges, seen from above.
struct FaceEntity {
  int32_t slot = 0, hidden = 0;
  long double x[4] = {0, 0, 0, 0}, y[4] = {0, 0, 0, 0};
  int32_t hasFourth = 0;
  void Corner(int code, long double v) {
    int i = code % 10;
    (code < 20 ? x[i] : y[i]) = v;
    if (i == 3) hasFourth = 1;
  }
  static constexpr Code<FaceEntity> codes[] = {
      LayerCode(&FaceEntity::slot), {70, &FaceEntity::hidden},   {10, &FaceEntity::Corner},
      {20, &FaceEntity::Corner},    {11, &FaceEntity::Corner},   {21, &FaceEntity::Corner},
      {12, &FaceEntity::Corner},    {22, &FaceEntity::Corner},   {13, &FaceEntity::Corner},
      {23, &FaceEntity::Corner}};
};

template <class Source>
void ReadFace(Source& s, int mode) {
  FaceEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, FaceEntity>(s, e, e.codes)) return;
  if (!e.hasFourth) e.x[3] = e.x[2], e.y[3] = e.y[2];
  Point p[4];
  for (int i = 0; i < 4; ++i) p[i] = s.Replay() ? TransformPoint(e.x[i], e.y[i]) : Point{e.x[i], e.y[i]};
  for (int i = 0; i < 4; ++i) {
    const Point &a = p[i], &b = p[(i + 1) % 4];
    if ((e.hidden & (1 << i)) || (a.x == b.x && a.y == b.y)) continue;
    EmitLine(mode, e.slot, a.x, a.y, b.x, b.y);
  }
}

// ------------------------------------------------------------ the entity table

template <class Source>
struct EntityReader {
  std::string_view name;  // the code-0 value, in capitals
  void (*read)(Source& s, int mode);
};

template <class Source>
constexpr EntityReader<Source> EntityReaders[] = {
    {"LINE", ReadLineEntity<Source>},
    {"POLYLINE", ReadPolyline<Source>},
    {"CIRCLE", ReadCircle<Source>},
    {"ARC", ReadArc<Source>},
    {"TEXT", ReadText<Source>},
    {"MTEXT", ReadMText<Source>},
    {"ATTRIB", ReadAttribute<Source>},
    {"SOLID", ReadSolid<Source>},
    {"TRACE", ReadSolid<Source>},
    {"INSERT", ReadInsert<Source>},
    {"DIMENSION", ReadDimension<Source>},
    {"ARC_DIMENSION", ReadDimension<Source>},
    {"LARGE_RADIAL_DIMENSION", ReadDimension<Source>},
    {"LWPOLYLINE", ReadLwPolyline<Source>},
    {"ELLIPSE", ReadEllipse<Source>},
    {"SPLINE", ReadSpline<Source>},
    {"POINT", ReadPoint<Source>},
    {"3DFACE", ReadFace<Source>},
    {"LEADER", ReadLeader<Source>},
    {"MULTILEADER", ReadMLeader<Source>},
    {"MLEADER", ReadMLeader<Source>},
    {"HATCH", ReadHatch<Source>},
    {"ACAD_TABLE", ReadTable<Source>},
};

// Hands the current code-0 pair to its entity reader; false when it names
// no entity.
template <class Source>
bool ReadEntity(Source& s, int mode) {
  for (const EntityReader<Source>& r : EntityReaders<Source>) {
    if (IsKeyword(s.value, r.name)) {
      r.read(s, mode);
      return true;
    }
  }
  return false;
}

}  // namespace

bool ReadFileEntity(int mode) {
  FileSource s;
  s.Sync();
  return ReadEntity(s, mode);
}

void ReplayEntities(const WorkFile& file, int mode) {
  WorkSource s(file);
  if (!s.Next()) return;
  for (;;) {
    if (s.code != 0) {
      if (!s.Next()) break;
      continue;
    }
    if (IsKeyword(s.value, "EOF")) break;
    if (!ReadEntity(s, mode) && !s.Next()) break;
    if (Session.AbortFlag || s.Ended()) break;
  }
}

}  // namespace planox::dxfin
