// Numeric and plane-geometry helpers shared by the reader, the display and
// the writers, with the numeric error log that collects their messages.
// Angles are radians unless a helper says degrees.
#pragma once

#include <cmath>
#include <string>
#include <vector>

namespace planox {

struct Point {
  long double x = 0, y = 0;
};

long double DegToRad(long double deg);
long double RadToDeg(long double rad);
long double TanChecked(long double angle);
long double Distance(long double dx, long double dy);
long double VectorAngle(long double dx, long double dy);
Point PolarToXY(long double angle, long double length);
long double Log10Checked(long double x);
long double Power10(long double x);
long double FloorReal(long double x);
int DecimalExponent(long double x);
Point Rotate(long double x, long double y, long double angle);
Point RotateAbout(Point p, Point centre, long double angle);
Point RotateTranslate(Point base, long double angleDeg, Point offset);
Point ScaleRotateTranslate(Point base, long double angleDeg, Point offset, long double fx, long double fy);
bool NearlyEqual(long double a, long double b);
long double MaxReal(long double a, long double b);
long MaxInt(long a, long b);
long MinInt(long a, long b);
long ClampInt(long low, long high, long value);
long double SweepAngle(long double endDeg, long double startDeg);

struct ArcGeometry {
  Point centre;
  long double radius = 0;
  long double startAngle = 0, endAngle = 0;  // radians, counter-clockwise
};
// The point at angle t (degrees) on the circle of centre cx, cy and radius
// r, in the double precision the writers work in.
inline double ArcX(double cx, double r, double t) { return cx + r * std::cos(t * M_PI / 180.0); }
inline double ArcY(double cy, double r, double t) { return cy + r * std::sin(t * M_PI / 180.0); }

// Fills arc from two points and the signed included angle phi (radians).
// When phi is a multiple of 2 pi only the log entry is made and arc is left
// as it was.
void GetArcCenter(Point p1, Point p2, long double phi, ArcGeometry& arc);

// Numeric error log: at most 11 entries of at most 36 characters each.
void LogError(const std::string& message);
const std::vector<std::string>& ErrorLog();
void ClearErrorLog();

}  // namespace planox
