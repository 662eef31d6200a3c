// Curves turned into polylines within their tolerance, object coordinates
// mapped onto the world plane, filled areas cut into pieces.
#include <cmath>
#include <limits>

#include "drawing/curves.h"
#include "support/testsupport.h"

namespace planox {
namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

double D(long double x) { return static_cast<double>(x); }

// The largest distance of a chord's midpoint from the ellipse through the
// origin with half axes a (x) and b (y), measured along the ray.
double WorstChord(const std::vector<Point>& pts, double a, double b) {
  double worst = 0;
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    double mx = D(pts[i].x + pts[i + 1].x) / 2, my = D(pts[i].y + pts[i + 1].y) / 2;
    double k = 1 / std::sqrt(mx * mx / (a * a) + my * my / (b * b));  // ray scale to the curve
    worst = std::max(worst, std::hypot(mx, my) * (k - 1));
  }
  return worst;
}

TEST(Curves, ObjectCoordinatesAndArcImages) {
  Affine up = ObjectToWorld(0, 0, 1);
  EXPECT_TRUE(up.IsIdentity());
  EXPECT_TRUE(ObjectToWorld(0, 0, 0).IsIdentity());
  EXPECT_TRUE(ObjectToWorld(std::nan(""), 0, 1).IsIdentity());

  // Seen from below, object x runs to the world's left, y stays.
  Affine down = ObjectToWorld(0, 0, -2);
  EXPECT_AT(down.Apply({3, 4}), -3, 4);
  EXPECT_TRUE(down.KeepsCircles());
  EXPECT_TRUE(down.Mirrors());

  // A turning, scaling map.
  Affine turn{0, -2, 2, 0, 1, 1};
  EXPECT_AT(turn.Apply({1, 0}), 1, 3);
  EXPECT_TRUE(turn.KeepsCircles());
  EXPECT_FALSE(turn.Mirrors());

  // A direction along world x: object x is world y, object y leaves the plane.
  Affine side = ObjectToWorld(1, 0, 0);
  EXPECT_AT(side.Apply({1, 0}), 0, 1);
  EXPECT_AT(side.Apply({0, 1}), 0, 0);
  EXPECT_FALSE(side.KeepsCircles());

  // Non-uniform scaling does not keep circles; its largest stretch is known.
  Affine squash{3, 0, 0, 1, 0, 0};
  EXPECT_FALSE(squash.KeepsCircles());
  EXPECT_NEAR(D(squash.MaxStretch()), 3, 1e-12);
  Affine both = squash.Then(turn);
  EXPECT_AT(both.Apply({1, 1}), -1, 7);
}

TEST(Curves, EllipsesWithinTheirTolerance) {
  // Half ellipse, half axes 10 and 4, from parameter 0 to pi.
  auto pts = ConicPoints({0, 0}, {10, 0}, {0, 4}, 0, kPi, 0.01L);
  ASSERT_GE(pts.size(), 3u);
  EXPECT_AT(pts.front(), 10, 0);
  EXPECT_AT(pts.back(), -10, 0);
  EXPECT_LE(WorstChord(pts, 10, 4), 0.01);
  // A finer tolerance takes more points, roughly as its square root.
  auto fine = ConicPoints({0, 0}, {10, 0}, {0, 4}, 0, kPi, 0.0001L);
  EXPECT_LE(WorstChord(fine, 10, 4), 0.0001);
  EXPECT_GT(fine.size(), 8 * pts.size());
  EXPECT_LT(fine.size(), 12 * pts.size());
  // Conjugate half axes that are not at a right angle: still the same
  // tolerance, measured on the ellipse they span (a sheared circle).
  auto sheared = ConicPoints({0, 0}, {3, 0}, {2, 1}, 0, 2 * kPi, 0.001L);
  for (size_t i = 0; i + 1 < sheared.size(); ++i) {
    // Back through the inverse shear the points lie on a circle of radius 3.
    double mx = D(sheared[i].x + sheared[i + 1].x) / 2, my = D(sheared[i].y + sheared[i + 1].y) / 2;
    double ux = mx - 2 * my, uy = 3 * my;
    EXPECT_LE(3 - std::hypot(ux, uy), 0.001 * 3 + 1e-12);
  }
  // Only one turn is ever drawn; a huge tolerance still gives the shape;
  // bad input gives nothing.
  EXPECT_AT(ConicPoints({0, 0}, {1, 0}, {0, 1}, 0, 7 * kPi, 0.01L).back(), 1, 0);
  EXPECT_GE(ConicPoints({0, 0}, {10, 0}, {0, 4}, 0, kPi, 1e9L).size(), 5u);
  EXPECT_EQ(ConicPoints({0, 0}, {10, 0}, {0, 4}, 0, kPi, 1e-300L).size(), MaxCurvePoints);
  EXPECT_TRUE(ConicPoints({0, 0}, {1, 0}, {0, 1}, 1, 1, 0.1L).empty());
  EXPECT_TRUE(ConicPoints({0, 0}, {std::numeric_limits<long double>::infinity(), 0}, {0, 1}, 0, 1,
                          0.1L)
                  .empty());
  EXPECT_FALSE(ConicPoints({0, 0}, {1, 0}, {0, 1}, 0, 1, -5).empty());  // a bad tolerance is replaced
}

TEST(Curves, BSplines) {
  // Clamped cubic with four control points: the Bezier curve.
  Spline s;
  s.degree = 3;
  s.control = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
  s.knots = {0, 0, 0, 0, 1, 1, 1, 1};
  auto pts = SplinePoints(s, 0.001L);
  ASSERT_GT(pts.size(), 10u);
  EXPECT_AT(pts.front(), 0, 0);
  EXPECT_AT(pts.back(), 10, 0);
  // Every point lies on the Bezier curve: x(t) determines t, then y must match.
  for (const Point& p : pts) {
    double lo = 0, hi = 1;
    for (int i = 0; i < 60; ++i) {
      double t = (lo + hi) / 2, x = 10 * (3 * (1 - t) * t * t + t * t * t);
      (x < D(p.x) ? lo : hi) = t;
    }
    double t = lo, y = 30 * (1 - t) * (1 - t) * t + 30 * (1 - t) * t * t;
    EXPECT_NEAR(D(p.y), y, 1e-6);
  }
  // The same curve with a knot vector that does not fit: clamped uniform
  // knots give the same Bezier curve.
  Spline bad = s;
  bad.knots = {0, 1, 0};
  auto again = SplinePoints(bad, 0.001L);
  ASSERT_EQ(again.size(), pts.size());
  EXPECT_AT(again[again.size() / 2], D(pts[pts.size() / 2].x), D(pts[pts.size() / 2].y));

  // Rational quadratic: a quarter of the unit circle, exactly.
  Spline r;
  r.degree = 2;
  r.control = {{1, 0}, {1, 1}, {0, 1}};
  r.weights = {1, std::sqrt(0.5L), 1};
  r.knots = {0, 0, 0, 1, 1, 1};
  auto arc = SplinePoints(r, 1e-4L);
  ASSERT_GT(arc.size(), 5u);
  for (const Point& p : arc) EXPECT_NEAR(D(std::hypot(p.x, p.y)), 1, 1e-12);
  EXPECT_LE(WorstChord(arc, 1, 1), 1e-4);
  // Weights that are not all positive are dropped: a parabola, not a circle.
  r.weights = {1, -1, 1};
  auto parabola = SplinePoints(r, 1e-4L);
  EXPECT_AT(parabola[parabola.size() / 2], 0.75, 0.75);

  // Unclamped (periodic) knots: the curve lives on the inner knot range.
  Spline u;
  u.degree = 2;
  u.control = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  u.knots = {0, 1, 2, 3, 4, 5, 6};
  auto inner = SplinePoints(u, 0.01L);
  EXPECT_AT(inner.front(), 5, 0);
  EXPECT_AT(inner.back(), 5, 10);

  // Fit points without control points: the curve runs through each.
  Spline fit;
  fit.fit = {{0, 0}, {10, 5}, {20, 0}, {30, 5}};
  auto through = SplinePoints(fit, 0.01L);
  for (const Point& want : fit.fit) {
    double best = 1e9;
    for (const Point& p : through) best = std::min(best, D(std::hypot(p.x - want.x, p.y - want.y)));
    EXPECT_LT(best, 1e-9);
  }

  // Degrees beyond the control points are lowered; curves without shape
  // or with points that are no numbers give nothing.
  Spline high;
  high.degree = 40;
  high.control = {{0, 0}, {1, 1}};
  auto line = SplinePoints(high, 0.01L);
  EXPECT_AT(line.front(), 0, 0);
  EXPECT_AT(line.back(), 1, 1);
  Spline one;
  one.control = {{1, 1}};
  EXPECT_TRUE(SplinePoints(one, 0.01L).empty());
  Spline nan;
  nan.control = {{0, 0}, {std::nan(""), 1}, {2, 2}};
  EXPECT_TRUE(SplinePoints(nan, 0.01L).empty());
  // A tolerance of nothing stops at the cap.
  EXPECT_LE(SplinePoints(s, 1e-300L).size(), MaxCurvePoints + 8);
}

TEST(Curves, BulgesAndFilledAreas) {
  EXPECT_NEAR(D(BulgeAngle(1)), 180, 1e-9);
  EXPECT_NEAR(D(BulgeAngle(-1)), -180, 1e-9);
  // Bulge 1 from (0, 0) to (10, 0) turns counter-clockwise: through (5, -5).
  auto half = BulgePoints({0, 0}, {10, 0}, 180, 0.01L);
  EXPECT_AT(half.front(), 0, 0);
  EXPECT_AT(half.back(), 10, 0);
  double lowest = 0;
  for (const Point& p : half) {
    EXPECT_NEAR(D(std::hypot(p.x - 5, p.y)), 5, 1e-9);
    lowest = std::min(lowest, D(p.y));
  }
  EXPECT_LT(lowest, -4.99);
  auto back = BulgePoints({0, 0}, {10, 0}, -180, 0.01L);
  for (const Point& p : back) EXPECT_GE(D(p.y), 0);
  EXPECT_EQ(BulgePoints({0, 0}, {10, 0}, 0, 0.01L).size(), 2u);

  // A square with a square hole: the pieces cover the ring exactly.
  std::vector<std::vector<Point>> ring = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}},
                                          {{3, 3}, {3, 7}, {7, 7}, {7, 3}}};
  auto pieces = FillPieces(ring, 100);
  long double area = 0;
  for (const Quad& q : pieces) {
    for (int i = 0; i < 4; ++i) {
      const Point &a = q.p[i], &b = q.p[(i + 1) % 4];
      area += (a.x * b.y - b.x * a.y) / 2;
    }
    for (const Point& p : q.p) EXPECT_FALSE(p.x > 3 && p.x < 7 && p.y > 3 && p.y < 7);
  }
  EXPECT_NEAR(D(area), 100 - 16, 1e-9);
  EXPECT_EQ(pieces.size(), 4u);  // below, the two sides of the hole, above
  // A triangle; a slanted edge is followed exactly.
  auto tri = FillPieces({{{0, 0}, {4, 0}, {0, 4}}}, 10);
  ASSERT_EQ(tri.size(), 1u);
  EXPECT_AT(tri[0].p[2], 0, 4);
  EXPECT_AT(tri[0].p[1], 4, 0);
  // Too many pieces, or points that are no numbers: nothing.
  EXPECT_TRUE(FillPieces(ring, 3).empty());
  EXPECT_TRUE(FillPieces({{{0, 0}, {std::nan(""), 0}, {0, 4}}}, 10).empty());
  EXPECT_TRUE(FillPieces({}, 10).empty());
}

TEST(Curves, HatchPatternLines) {
  std::vector<std::vector<Point>> square = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}};
  // Horizontal lines 2.5 apart through (0, 1): y = 1, 3.5, 6, 8.5, whole.
  PatternLine solid{0, {0, 1}, {0, 2.5L}, {}};
  auto segs = PatternSegments(square, {}, {solid}, 100);
  ASSERT_EQ(segs.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(D(std::fabs(segs[i].b.x - segs[i].a.x)), 10, 1e-9);
    EXPECT_NEAR(D(segs[i].a.y), 1 + 2.5 * i, 1e-9);
  }
  // Dashes of 2 with gaps of 1, from each line's origin; a hole cuts them.
  PatternLine dashed{0, {0, 1}, {0, 20}, {2, -1}};
  auto d = PatternSegments(square, {}, {dashed}, 100);
  ASSERT_EQ(d.size(), 4u);
  EXPECT_NEAR(D(d[1].a.x), 3, 1e-9);
  EXPECT_NEAR(D(d[3].b.x), 10, 1e-9);
  std::vector<std::vector<Point>> ring = square;
  ring.push_back({{3, 3}, {7, 3}, {7, 7}, {3, 7}});
  PatternLine middle{0, {0, 5}, {0, 20}, {}};
  auto cut = PatternSegments(ring, {}, {middle}, 100);
  ASSERT_EQ(cut.size(), 2u);
  // At 45 degrees, offsets along the lines shift the dashes; the map
  // (mirrored) carries the pattern with the outline.
  PatternLine diagonal{45, {0, 0}, {-1, 1}, {}};
  auto diag = PatternSegments(square, {}, {diagonal}, 1000);
  size_t crossing = 0;  // the lines x - y = -8, -6 .. 8 (the corners touch only)
  for (const Segment& g : diag) crossing += std::hypot(g.b.x - g.a.x, g.b.y - g.a.y) > 1e-9;
  EXPECT_EQ(crossing, 9u);
  auto mirrored = PatternSegments({{{0, 0}, {-10, 0}, {-10, 10}, {0, 10}}}, ObjectToWorld(0, 0, -1),
                                  {solid}, 100);
  ASSERT_EQ(mirrored.size(), 4u);
  EXPECT_NEAR(D(std::min(mirrored[0].a.x, mirrored[0].b.x)), -10, 1e-9);
  // Too many pieces, lines without spacing: nothing.
  EXPECT_TRUE(PatternSegments(square, {}, {PatternLine{0, {0, 0}, {0, 0.001L}, {}}}, 100).empty());
  EXPECT_TRUE(PatternSegments(square, {}, {PatternLine{0, {0, 0}, {5, 0}, {}}}, 100).empty());
}

}  // namespace
}  // namespace planox
