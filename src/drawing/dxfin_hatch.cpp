// The reader of HATCH: the boundary paths drawn as outlines, solid and
// gradient hatches filled, pattern hatches cut into their lines.
#include <algorithm>
#include <cmath>

#include "drawing/dxfin_codes.h"

namespace planox::dxfin {

namespace {

// HATCH: every boundary path drawn as its outline, solid and gradient
// hatches also filled. The groups of the paths repeat and mean different
// things by their place, so they are kept in order and taken apart after.
struct HatchEntity : Extrusion {
  int32_t slot = 0, solid = 0, gradient = 0;
  std::vector<std::pair<int, long double>> pairs;
  void Keep(int code, long double v) { pairs.push_back({code, v}); }
  static constexpr Code<HatchEntity> codes[] = {
      LayerCode(&HatchEntity::slot), {70, &HatchEntity::solid},  {450, &HatchEntity::gradient},
      {210, &HatchEntity::ex},       {220, &HatchEntity::ey},    {230, &HatchEntity::ez},
      {10, &HatchEntity::Keep},      {20, &HatchEntity::Keep},   {11, &HatchEntity::Keep},
      {21, &HatchEntity::Keep},      {12, &HatchEntity::Keep},   {22, &HatchEntity::Keep},
      {13, &HatchEntity::Keep},      {23, &HatchEntity::Keep},   {40, &HatchEntity::Keep},
      {42, &HatchEntity::Keep},      {50, &HatchEntity::Keep},   {51, &HatchEntity::Keep},
      {72, &HatchEntity::Keep},      {73, &HatchEntity::Keep},   {74, &HatchEntity::Keep},
      {91, &HatchEntity::Keep},      {92, &HatchEntity::Keep},   {93, &HatchEntity::Keep},
      {94, &HatchEntity::Keep},      {95, &HatchEntity::Keep},   {96, &HatchEntity::Keep},
      {97, &HatchEntity::Keep},      {78, &HatchEntity::Keep},   {53, &HatchEntity::Keep},
      {43, &HatchEntity::Keep},      {44, &HatchEntity::Keep},   {45, &HatchEntity::Keep},
      {46, &HatchEntity::Keep},      {79, &HatchEntity::Keep},   {49, &HatchEntity::Keep}};
};

// A pattern of more pieces than this is left out (the outline stays).
constexpr size_t kMaxPatternSegments = 50000;

// Takes the boundary paths of a hatch apart, drawing each edge's outline
// as it goes and collecting the points of each path for the fill.
class HatchPaths {
 public:
  HatchPaths(const HatchEntity& e, const Affine& m, int mode)
      : p_(e.pairs), m_(m), mode_(mode), slot_(e.slot) {}

  std::vector<std::vector<Point>> Read() {
    std::vector<std::vector<Point>> outlines;
    while (i_ < p_.size() && !At(91)) ++i_;  // past the elevation point
    long paths = static_cast<long>(Take(91));
    for (long k = 0; k < paths && i_ < p_.size(); ++k) {
      while (i_ < p_.size() && !At(92)) ++i_;
      if (i_ >= p_.size()) break;
      path_.clear();
      if (static_cast<long>(Take(92)) & 2)
        ReadPolylinePath();
      else
        ReadEdgePath();
      if (path_.size() > 2) outlines.push_back(path_);
    }
    return outlines;
  }

  // The pattern's line families, which follow the paths.
  std::vector<PatternLine> Pattern() {
    std::vector<PatternLine> lines;
    while (i_ < p_.size() && !At(78)) ++i_;
    long n = Count(78);
    for (long k = 0; k < n && At(53); ++k) {
      PatternLine l;
      l.angle = Take(53);
      l.base = {Take(43), Take(44)};
      l.offset = {Take(45), Take(46)};
      long dashes = Count(79);
      for (long j = 0; j < dashes && At(49); ++j) l.dashes.push_back(Take(49));
      lines.push_back(std::move(l));
    }
    return lines;
  }

 private:
  bool At(int code) const { return i_ < p_.size() && p_[i_].first == code; }
  long double Take(int code, long double otherwise = 0) { return At(code) ? p_[i_++].second : otherwise; }
  long Count(int code) {
    long double n = Take(code);
    return n > 0 && n < static_cast<long double>(p_.size()) ? static_cast<long>(n) : 0;
  }
  long double Tolerance() const { return ChordTolerance() / m_.MaxStretch(); }

  // Adds an edge's points (object coordinates) to the path, turned round
  // when its far end is the nearer one.
  void Add(std::vector<Point> pts) {
    if (pts.empty()) return;
    if (!path_.empty()) {
      Point last = path_.back();
      auto d = [&](Point q) { return std::hypot(q.x - last.x, q.y - last.y); };
      if (d(pts.back()) < d(pts.front())) std::reverse(pts.begin(), pts.end());
    }
    for (Point& q : pts) path_.push_back(m_.Apply(q));
  }

  void ReadPolylinePath() {
    bool bulges = Take(72) != 0;
    Take(73);
    long n = Count(93);
    std::vector<Point> v;
    std::vector<long double> b;
    for (long j = 0; j < n && At(10); ++j) {
      v.push_back({Take(10), Take(20)});
      b.push_back(bulges || At(42) ? Take(42) : 0);
    }
    for (size_t j = 0; j < v.size() && v.size() > 1; ++j) {
      Point p = v[j], q = v[(j + 1) % v.size()];
      long double a = BulgeAngle(b[j]);
      EmitMappedSegment(mode_, slot_, m_, p, q, a);
      std::vector<Point> pts = BulgePoints(p, q, a, Tolerance());
      pts.pop_back();
      for (Point& x : pts) path_.push_back(m_.Apply(x));
    }
  }

  void ReadEdgePath() {
    long n = Count(93);
    for (long j = 0; j < n; ++j) {
      while (i_ < p_.size() && !At(72) && !At(92)) ++i_;
      if (!At(72)) return;
      switch (static_cast<int>(Take(72))) {
        case 1: LineEdge(); break;
        case 2: ArcEdge(); break;
        case 3: EllipseEdge(); break;
        case 4: SplineEdge(); break;
        default: break;
      }
    }
  }

  void LineEdge() {
    Point a{Take(10), Take(20)}, b{Take(11), Take(21)};
    Point wa = m_.Apply(a), wb = m_.Apply(b);
    EmitLine(mode_, slot_, wa.x, wa.y, wb.x, wb.y);
    Add({a, b});
  }

  // Arcs and elliptic arcs: clockwise ones are stored with their angles
  // reflected.
  void Conic(Point c, Point u, Point v, long double start, long double end, bool ccw) {
    long double t0 = DegToRad(ccw ? start : -end), t1 = DegToRad(ccw ? end : -start);
    Point wc = m_.Apply(c);
    EmitConic(mode_, slot_, wc, m_.Linear(u), m_.Linear(v), t0, t1);
    if (std::fabs(std::fabs(t1 - t0) - 2 * M_PIl) < 1e-9L || t1 == t0) t0 = 0, t1 = 2 * M_PIl;
    while (t1 < t0) t1 += 2 * M_PIl;
    std::vector<Point> pts = ConicPoints(c, u, v, t0, t1, Tolerance());
    if (!ccw) std::reverse(pts.begin(), pts.end());
    Add(std::move(pts));
  }

  void ArcEdge() {
    Point c{Take(10), Take(20)};
    long double r = Take(40), start = Take(50), end = Take(51);
    bool ccw = Take(73, 1) != 0;
    Conic(c, {r, 0}, {0, r}, start, end, ccw);
  }

  void EllipseEdge() {
    Point c{Take(10), Take(20)}, u{Take(11), Take(21)};
    long double ratio = Take(40), start = Take(50), end = Take(51);
    bool ccw = Take(73, 1) != 0;
    Conic(c, u, {-u.y * ratio, u.x * ratio}, start, end, ccw);
  }

  void SplineEdge() {
    Spline sp;
    sp.degree = static_cast<int>(std::clamp<long double>(Take(94, 3), 1, 15));
    Take(73);
    Take(74);
    long knots = Count(95);
    Count(96);
    for (long j = 0; j < knots && At(40); ++j) sp.knots.push_back(Take(40));
    while (At(10) || At(20) || At(42)) {
      if (At(10))
        sp.control.push_back({Take(10), 0});
      else if (At(20) && !sp.control.empty())
        sp.control.back().y = Take(20);
      else if (At(42))
        sp.weights.push_back(Take(42));
      else
        ++i_;
    }
    if (At(97) && i_ + 1 < p_.size() && p_[i_ + 1].first == 11) {
      long fits = Count(97);
      for (long j = 0; j < fits && At(11); ++j) sp.fit.push_back({Take(11), Take(21)});
    }
    for (int code : {12, 22, 13, 23}) Take(code);  // end tangents: not used
    std::vector<Point> pts = SplinePoints(sp, Tolerance());
    std::vector<Point> world(pts);
    for (Point& x : world) x = m_.Apply(x);
    EmitPolyline(mode_, slot_, world);
    Add(std::move(pts));
  }

  const std::vector<std::pair<int, long double>>& p_;
  size_t i_ = 0;
  const Affine& m_;
  int mode_, slot_;
  std::vector<Point> path_;
};

}  // namespace

template <class Source>
void ReadHatch(Source& s, int mode) {
  HatchEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, HatchEntity>(s, e, e.codes)) return;
  const Affine m = EntityMap<Source>(e);
  HatchPaths paths(e, m, mode);
  std::vector<std::vector<Point>> outlines = paths.Read();
  if ((e.solid & 1) || e.gradient != 0) {
    EmitFilled(mode, e.slot, outlines);
    return;
  }
  for (const Segment& g : PatternSegments(outlines, m, paths.Pattern(), kMaxPatternSegments))
    EmitLine(mode, e.slot, g.a.x, g.a.y, g.b.x, g.b.y);
}

// Each reader is made for both pair sources.
template void ReadHatch(FileSource&, int);
template void ReadHatch(WorkSource&, int);

}  // namespace planox::dxfin
