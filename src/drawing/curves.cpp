#include "drawing/curves.h"

#include <algorithm>
#include <cmath>

namespace planox {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kTwoPi = 2 * kPi;
constexpr int kMaxDegree = 15;

bool Finite(long double v) { return std::isfinite(static_cast<double>(v)); }
bool Finite(Point p) { return Finite(p.x) && Finite(p.y); }

long double Length(Point v) { return std::hypot(v.x, v.y); }

// A usable tolerance for a curve of the given size: a bad or missing one
// becomes a thousandth of the size.
long double SaneTolerance(long double tolerance, long double size) {
  if (!(tolerance > 0) || !Finite(tolerance)) tolerance = size / 1000;
  if (!(tolerance > 0)) tolerance = 1e-9L;
  return tolerance;
}

}  // namespace

// ------------------------------------------------------------ maps

Affine Affine::Then(const Affine& n) const {
  Affine r;
  r.a = n.a * a + n.b * c;
  r.b = n.a * b + n.b * d;
  r.c = n.c * a + n.d * c;
  r.d = n.c * b + n.d * d;
  r.e = n.a * e + n.b * f + n.e;
  r.f = n.c * e + n.d * f + n.f;
  return r;
}

bool Affine::KeepsCircles() const {
  long double s1 = a * a + c * c, s2 = b * b + d * d, dot = a * b + c * d;
  long double eps = 1e-9L * (s1 + s2);
  return std::fabs(s1 - s2) <= eps && std::fabs(dot) <= eps;
}

long double Affine::MaxStretch() const {
  // The largest singular value of the linear part.
  long double t = a * a + b * b + c * c + d * d, det = a * d - b * c;
  long double disc = std::max(0.0L, t * t - 4 * det * det);
  return std::sqrt((t + std::sqrt(disc)) / 2);
}

Affine ObjectToWorld(long double nx, long double ny, long double nz) {
  if (nx == 0 && ny == 0 && nz > 0) return {};  // the usual case, world already
  long double len = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (!(len > 0) || !Finite(len)) return {};
  nx /= len, ny /= len, nz /= len;
  if (nx == 0 && ny == 0 && nz > 0) return {};
  // The object x axis: world y (or z) crossed with the direction.
  long double ax, ay, az;
  if (std::fabs(nx) < 1.0L / 64 && std::fabs(ny) < 1.0L / 64) {
    ax = nz, ay = 0, az = -nx;  // (0, 1, 0) x N
  } else {
    ax = -ny, ay = nx, az = 0;  // (0, 0, 1) x N
  }
  long double al = std::sqrt(ax * ax + ay * ay + az * az);
  ax /= al, ay /= al, az /= al;
  // The object y axis: the direction crossed with the x axis.
  long double bx = ny * az - nz * ay, by = nz * ax - nx * az;
  Affine m;
  m.a = ax, m.b = bx, m.c = ay, m.d = by;
  return m;
}

// ------------------------------------------------------------ conics

std::vector<Point> ConicPoints(Point centre, Point u, Point v, long double t0, long double t1,
                               long double tolerance) {
  std::vector<Point> pts;
  if (!Finite(centre) || !Finite(u) || !Finite(v) || !Finite(t0) || !Finite(t1) || !(t1 > t0))
    return pts;
  // The curve's second derivative is at most the largest half axis a, so a
  // parameter step dt keeps every chord within a dt^2 / 8 of it.
  Affine m{u.x, v.x, u.y, v.y, 0, 0};
  long double a = m.MaxStretch();
  tolerance = SaneTolerance(tolerance, a);
  long double span = std::min(t1 - t0, kTwoPi);
  long double dt = a > 0 ? std::sqrt(8 * tolerance / a) : span;
  long double steps = std::ceil(span / std::min(dt, kPi / 4));
  size_t n = static_cast<size_t>(std::clamp(steps, 1.0L, static_cast<long double>(MaxCurvePoints - 1)));
  pts.reserve(n + 1);
  for (size_t i = 0; i <= n; ++i) {
    long double t = t0 + span * static_cast<long double>(i) / static_cast<long double>(n);
    long double ct = std::cos(t), st = std::sin(t);
    pts.push_back({centre.x + u.x * ct + v.x * st, centre.y + u.y * ct + v.y * st});
  }
  return pts;
}

// ------------------------------------------------------------ splines

namespace {

struct Homogeneous {
  long double x, y, w;
};

// The span index i with knots[i] <= u < knots[i + 1], within [p, n - 1].
size_t FindSpan(const std::vector<long double>& k, size_t n, int p, long double u) {
  size_t lo = static_cast<size_t>(p), hi = n;  // the answer lies in [lo, hi)
  if (u >= k[n]) {
    size_t i = n - 1;
    while (i > lo && k[i] >= k[n]) --i;
    return i;
  }
  while (hi - lo > 1) {
    size_t mid = (lo + hi) / 2;
    if (u < k[mid])
      hi = mid;
    else
      lo = mid;
  }
  return lo;
}

// De Boor's algorithm in homogeneous coordinates.
Point DeBoor(const Spline& s, const std::vector<long double>& w, long double u) {
  const int p = s.degree;
  const size_t n = s.control.size();
  size_t span = FindSpan(s.knots, n, p, u);
  Homogeneous d[kMaxDegree + 1];
  for (int j = 0; j <= p; ++j) {
    const Point& c = s.control[span - static_cast<size_t>(p) + static_cast<size_t>(j)];
    long double wj = w[span - static_cast<size_t>(p) + static_cast<size_t>(j)];
    d[j] = {c.x * wj, c.y * wj, wj};
  }
  for (int r = 1; r <= p; ++r) {
    for (int j = p; j >= r; --j) {
      size_t i = span - static_cast<size_t>(p) + static_cast<size_t>(j);
      long double denom = s.knots[i + static_cast<size_t>(p - r) + 1] - s.knots[i];
      long double alpha = denom > 0 ? (u - s.knots[i]) / denom : 0;
      d[j] = {(1 - alpha) * d[j - 1].x + alpha * d[j].x, (1 - alpha) * d[j - 1].y + alpha * d[j].y,
              (1 - alpha) * d[j - 1].w + alpha * d[j].w};
    }
  }
  return {d[p].x / d[p].w, d[p].y / d[p].w};
}

long double ChordDistance(Point a, Point b, Point m) {
  long double dx = b.x - a.x, dy = b.y - a.y, l = std::hypot(dx, dy);
  if (l == 0) return std::hypot(m.x - a.x, m.y - a.y);
  return std::fabs((m.x - a.x) * dy - (m.y - a.y) * dx) / l;
}

void Refine(const Spline& s, const std::vector<long double>& w, long double u0, Point p0,
            long double u1, Point p1, long double tol, int depth, std::vector<Point>& out) {
  long double um = (u0 + u1) / 2;
  Point pm = DeBoor(s, w, um);
  if (depth > 0 && out.size() < MaxCurvePoints && ChordDistance(p0, p1, pm) > tol) {
    Refine(s, w, u0, p0, um, pm, tol, depth - 1, out);
    Refine(s, w, um, pm, u1, p1, tol, depth - 1, out);
    return;
  }
  out.push_back(p1);
}

// Cubic pieces through the fit points, as a spline of Bezier segments:
// tangents from the neighbours, weighted by the chord lengths.
Spline ThroughFitPoints(std::vector<Point> fit, bool closed) {
  Spline s;
  if (closed && fit.size() > 2) fit.push_back(fit.front());
  size_t m = fit.size();
  std::vector<long double> d(m - 1);
  for (size_t i = 0; i + 1 < m; ++i)
    d[i] = std::max(Length({fit[i + 1].x - fit[i].x, fit[i + 1].y - fit[i].y}), 1e-30L);
  auto chord = [&](size_t i) {
    return Point{(fit[i + 1].x - fit[i].x) / d[i], (fit[i + 1].y - fit[i].y) / d[i]};
  };
  std::vector<Point> t(m);
  for (size_t i = 1; i + 1 < m; ++i) {
    Point a = chord(i - 1), b = chord(i);
    long double wa = d[i] / (d[i - 1] + d[i]), wb = d[i - 1] / (d[i - 1] + d[i]);
    t[i] = {a.x * wa + b.x * wb, a.y * wa + b.y * wb};
  }
  if (closed && m > 3) {
    Point a = chord(m - 2), b = chord(0);
    long double wa = d[0] / (d[m - 2] + d[0]), wb = d[m - 2] / (d[m - 2] + d[0]);
    t[0] = t[m - 1] = {a.x * wa + b.x * wb, a.y * wa + b.y * wb};
  } else if (m > 2) {
    // Ends: the tangent of the parabola through the end and its neighbour's.
    Point a = chord(0), b = chord(m - 2);
    t[0] = {2 * a.x - t[1].x, 2 * a.y - t[1].y};
    t[m - 1] = {2 * b.x - t[m - 2].x, 2 * b.y - t[m - 2].y};
  } else {
    t[0] = t[1] = chord(0);
  }
  s.degree = 3;
  for (size_t i = 0; i + 1 < m; ++i) {
    long double k = d[i] / 3;
    s.control.push_back(fit[i]);
    s.control.push_back({fit[i].x + t[i].x * k, fit[i].y + t[i].y * k});
    s.control.push_back({fit[i + 1].x - t[i + 1].x * k, fit[i + 1].y - t[i + 1].y * k});
  }
  s.control.push_back(fit.back());
  s.knots.assign(4, 0);
  for (size_t i = 1; i + 1 < m; ++i) s.knots.insert(s.knots.end(), 3, static_cast<long double>(i));
  s.knots.insert(s.knots.end(), 4, static_cast<long double>(m - 1));
  return s;
}

}  // namespace

std::vector<Point> SplinePoints(const Spline& given, long double tolerance) {
  std::vector<Point> out;
  Spline s;
  if (given.control.size() >= 2) {
    s = given;
  } else {
    std::vector<Point> fit;
    for (const Point& p : given.fit)
      if (Finite(p)) fit.push_back(p);
    if (fit.size() < 2) return out;
    s = ThroughFitPoints(std::move(fit), given.closed);
  }
  const size_t n = s.control.size();
  for (const Point& p : s.control)
    if (!Finite(p)) return out;
  s.degree = std::clamp(s.degree, 1, std::min(kMaxDegree, static_cast<int>(n) - 1));
  const size_t p = static_cast<size_t>(s.degree);
  bool knotsOk = s.knots.size() == n + p + 1;
  for (size_t i = 0; knotsOk && i < s.knots.size(); ++i)
    knotsOk = Finite(s.knots[i]) && (i == 0 || s.knots[i] >= s.knots[i - 1]);
  if (knotsOk) knotsOk = s.knots[p] < s.knots[n];
  if (!knotsOk) {
    s.knots.assign(n + p + 1, 0);
    for (size_t i = p + 1; i < n; ++i) s.knots[i] = static_cast<long double>(i - p);
    for (size_t i = n; i < n + p + 1; ++i) s.knots[i] = static_cast<long double>(n - p);
  }
  std::vector<long double> w(n, 1);
  if (s.weights.size() == n &&
      std::all_of(s.weights.begin(), s.weights.end(), [](long double x) { return x > 0 && Finite(x); }))
    w = s.weights;

  long double size = 0;
  for (size_t i = 1; i < n; ++i)
    size += Length({s.control[i].x - s.control[i - 1].x, s.control[i].y - s.control[i - 1].y});
  tolerance = SaneTolerance(tolerance, size);
  // A few points per knot span, then halved where the chord strays.
  const int perSpan = std::max(4, 2 * s.degree);
  Point prev = DeBoor(s, w, s.knots[p]);
  out.push_back(prev);
  for (size_t i = p; i < n && out.size() < MaxCurvePoints; ++i) {
    long double a = s.knots[i], b = s.knots[i + 1];
    if (!(b > a)) continue;
    for (int j = 1; j <= perSpan; ++j) {
      long double u0 = a + (b - a) * (j - 1) / perSpan, u1 = j == perSpan ? b : a + (b - a) * j / perSpan;
      Point next = DeBoor(s, w, u1);
      Refine(s, w, u0, prev, u1, next, tolerance, 10, out);
      prev = next;
    }
  }
  if (!std::all_of(out.begin(), out.end(), [](Point q) { return Finite(q); })) out.clear();
  return out;
}

// ------------------------------------------------------------ bulges

long double BulgeAngle(long double bulge) { return RadToDeg(4 * std::atan(bulge)); }

std::vector<Point> BulgePoints(Point p, Point q, long double a, long double tolerance) {
  if (a == 0 || (p.x == q.x && p.y == q.y)) return {p, q};
  ArcGeometry arc;
  arc.centre = {(p.x + q.x) / 2, (p.y + q.y) / 2};
  GetArcCenter(p, q, DegToRad(a), arc);
  // Run from p: counter-clockwise for a positive angle, else clockwise.
  long double t0 = std::atan2(p.y - arc.centre.y, p.x - arc.centre.x);
  long double span = std::fabs(DegToRad(a)), turn = a > 0 ? arc.radius : -arc.radius;
  Point pu{arc.radius * std::cos(t0), arc.radius * std::sin(t0)};
  Point pv{-turn * std::sin(t0), turn * std::cos(t0)};
  std::vector<Point> pts = ConicPoints(arc.centre, pu, pv, 0, span, tolerance);
  if (!pts.empty()) {
    pts.front() = p;
    pts.back() = q;
  }
  return pts;
}

// ------------------------------------------------------------ filled areas

std::vector<Quad> FillPieces(const std::vector<std::vector<Point>>& outlines, size_t maxPieces) {
  struct Edge {
    Point lo, hi;  // lo.y < hi.y
    long double XAt(long double y) const {
      return lo.x + (hi.x - lo.x) * (y - lo.y) / (hi.y - lo.y);
    }
  };
  std::vector<Edge> edges;
  std::vector<long double> ys;
  for (const auto& o : outlines) {
    for (size_t i = 0; i < o.size(); ++i) {
      Point a = o[i], b = o[(i + 1) % o.size()];
      if (!Finite(a) || !Finite(b)) return {};
      ys.push_back(a.y);
      if (a.y == b.y) continue;
      edges.push_back(a.y < b.y ? Edge{a, b} : Edge{b, a});
    }
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.lo.y < b.lo.y; });

  std::vector<Quad> pieces;
  std::vector<const Edge*> active;
  std::vector<std::pair<long double, const Edge*>> row;
  size_t next = 0;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    long double y0 = ys[k], y1 = ys[k + 1], ym = (y0 + y1) / 2;
    while (next < edges.size() && edges[next].lo.y <= y0) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(), [&](const Edge* e) { return e->hi.y <= y0; }),
                 active.end());
    row.clear();
    for (const Edge* e : active) row.push_back({e->XAt(ym), e});
    std::sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i + 1 < row.size(); i += 2) {
      if (pieces.size() >= maxPieces) return {};
      const Edge* l = row[i].second;
      const Edge* r = row[i + 1].second;
      pieces.push_back(Quad{{{l->XAt(y0), y0}, {r->XAt(y0), y0}, {r->XAt(y1), y1}, {l->XAt(y1), y1}}});
    }
  }
  return pieces;
}

// ------------------------------------------------------------ hatch patterns

std::vector<Segment> PatternSegments(const std::vector<std::vector<Point>>& outlines, const Affine& m,
                                     const std::vector<PatternLine>& lines, size_t maxSegments) {
  std::vector<Segment> out;
  size_t edges = 0;
  long double x0 = 1e300L, y0 = 1e300L, x1 = -1e300L, y1 = -1e300L;
  for (const auto& o : outlines) {
    edges += o.size();
    for (const Point& p : o) {
      if (!Finite(p)) return {};
      x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
  }
  if (edges == 0) return out;
  std::vector<long double> cuts;
  for (const PatternLine& pl : lines) {
    long double a = DegToRad(pl.angle);
    Point base = m.Apply(pl.base), dir = m.Linear({std::cos(a), std::sin(a)}), off = m.Linear(pl.offset);
    long double stretch = Length(dir);
    if (!(stretch > 0) || !Finite(base) || !Finite(off)) continue;
    Point u{dir.x / stretch, dir.y / stretch}, n{-u.y, u.x};
    long double spacing = off.x * n.x + off.y * n.y, shift = off.x * u.x + off.y * u.y;
    // The lines that cross the outlines' box.
    long double lo = 1e300L, hi = -1e300L;
    for (Point c : {Point{x0, y0}, Point{x1, y0}, Point{x0, y1}, Point{x1, y1}}) {
      long double d = (c.x - base.x) * n.x + (c.y - base.y) * n.y;
      lo = std::min(lo, d), hi = std::max(hi, d);
    }
    if (!(std::fabs(spacing) > 1e-12L * (hi - lo + 1))) continue;
    long double k0 = std::ceil(std::min(lo / spacing, hi / spacing));
    long double k1 = std::floor(std::max(lo / spacing, hi / spacing));
    if (!Finite(k0) || !Finite(k1)) continue;
    if ((k1 - k0 + 1) * static_cast<long double>(edges) > 2e7L) return {};
    long double cycle = 0;
    for (long double d : pl.dashes) cycle += std::fabs(d) * stretch;
    for (long double k = k0; k <= k1; ++k) {
      Point origin{base.x + k * off.x, base.y + k * off.y};
      cuts.clear();
      for (const auto& o : outlines) {
        for (size_t i = 0; i < o.size(); ++i) {
          const Point &p = o[i], &q = o[(i + 1) % o.size()];
          long double dp = (p.x - origin.x) * n.x + (p.y - origin.y) * n.y;
          long double dq = (q.x - origin.x) * n.x + (q.y - origin.y) * n.y;
          if ((dp < 0) == (dq < 0)) continue;
          long double f = dp / (dp - dq);
          Point c{p.x + (q.x - p.x) * f, p.y + (q.y - p.y) * f};
          cuts.push_back((c.x - origin.x) * u.x + (c.y - origin.y) * u.y);
        }
      }
      std::sort(cuts.begin(), cuts.end());
      auto at = [&](long double t) { return Point{origin.x + u.x * t, origin.y + u.y * t}; };
      for (size_t i = 0; i + 1 < cuts.size(); i += 2) {
        long double t0 = cuts[i], t1 = cuts[i + 1];
        if (!(cycle > 0)) {
          out.push_back({at(t0), at(t1)});
        } else {
          // Dashes run from each line's origin, shifted along the family.
          long double phase = k * shift;
          long double pos = phase + std::floor((t0 - phase) / cycle) * cycle;
          for (size_t j = 0; pos < t1; j = (j + 1) % pl.dashes.size()) {
            long double len = pl.dashes[j] * stretch, end = pos + std::fabs(len);
            if (len > 0 && end > t0) out.push_back({at(std::max(pos, t0)), at(std::min(end, t1))});
            pos = end;
            if (out.size() > maxSegments) return {};
          }
        }
        if (out.size() > maxSegments) return {};
      }
    }
  }
  return out;
}

}  // namespace planox
