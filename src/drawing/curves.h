// Plane geometry of the entities that have no output operation of their
// own: ellipses, B-splines and circles under a map that does not keep them
// circles are turned into points of a polyline within a chord tolerance;
// entities drawn in an object coordinate system are mapped onto the world
// x-y plane; a filled outline is cut into four-cornered pieces the solid
// output can fill.
#pragma once

#include <vector>

#include "base/vektor.h"

namespace planox {

// x' = a x + b y + e, y' = c x + d y + f.
struct Affine {
  long double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  Point Apply(Point p) const { return {a * p.x + b * p.y + e, c * p.x + d * p.y + f}; }
  // The map of a direction (no translation).
  Point Linear(Point v) const { return {a * v.x + b * v.y, c * v.x + d * v.y}; }
  // This map first, then next.
  Affine Then(const Affine& next) const;
  bool IsIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && e == 0 && f == 0; }
  // True when circles stay circles (mirrored or not).
  bool KeepsCircles() const;
  bool Mirrors() const { return a * d - b * c < 0; }
  // The largest factor by which the map stretches a length.
  long double MaxStretch() const;
};

// The map from an entity's object coordinates to the world x-y plane for
// the extrusion direction (nx, ny, nz), by the arbitrary-axis rule; points
// off the x-y plane are projected straight down. (0, 0, 1) and a direction
// of zero length give the identity; (0, 0, -1) mirrors x.
Affine ObjectToWorld(long double nx, long double ny, long double nz);

// An arc counter-clockwise from start to end (degrees).
struct ArcPiece {
  Point centre;
  long double radius = 0, start = 0, end = 0;
};
// Points of centre + u cos t + v sin t for t from t0 to t1 (radians,
// t1 > t0), both ends included, so that no chord strays more than
// tolerance from the curve. At most maxPoints points.
std::vector<Point> ConicPoints(Point centre, Point u, Point v, long double t0, long double t1,
                               long double tolerance);

// A rational B-spline: degree, knot vector, weights (empty: all 1) and
// control points; without control points the curve runs through the fit
// points.
struct Spline {
  int degree = 3;
  std::vector<long double> knots, weights;
  std::vector<Point> control, fit;
  bool closed = false;
};
// Points along the spline within tolerance; empty when it has no shape
// (fewer than two points). Knot vectors that do not fit the control points
// are replaced by clamped uniform ones.
std::vector<Point> SplinePoints(const Spline& s, long double tolerance);

// Included angle in degrees of a polyline bulge (4 arctan b).
long double BulgeAngle(long double bulge);

// Points along the arc segment of a polyline from p to q with included
// angle a (degrees) as a polyline, both ends included; a line when a is 0.
std::vector<Point> BulgePoints(Point p, Point q, long double a, long double tolerance);

// Four corners of a piece of a filled area, in outline order.
struct Quad {
  Point p[4];
};
// Cuts the area inside closed outlines (even-odd rule: islands are holes)
// into horizontal trapezoids. Empty when it would take more than maxPieces.
std::vector<Quad> FillPieces(const std::vector<std::vector<Point>>& outlines, size_t maxPieces);

// One family of parallel pattern lines of a hatch, in object coordinates:
// direction (degrees), a point of the first line, the offset from one line
// to the next, and the dash lengths (positive: drawn, negative: gaps,
// none: a solid line).
struct PatternLine {
  long double angle = 0;
  Point base, offset;
  std::vector<long double> dashes;
};
struct Segment {
  Point a, b;
};
// The pieces of the pattern lines, mapped by m, that lie inside closed
// outlines (world coordinates, even-odd rule). Empty when the pattern would
// take more than maxSegments pieces.
std::vector<Segment> PatternSegments(const std::vector<std::vector<Point>>& outlines, const Affine& m,
                                     const std::vector<PatternLine>& lines, size_t maxSegments);

// A cap on the points one curve may give, whatever its tolerance.
inline constexpr size_t MaxCurvePoints = 20000;

}  // namespace planox
