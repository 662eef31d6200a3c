#include "base/vektor.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>

namespace planox {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// A sine or cosine this close to 0 is 0 within the precision of the angle
// it came from: the nearest representable value to pi / 2 (or to a small
// multiple of pi) does not give an exact 0, but means it.
constexpr long double kZeroTrig = 4 * LDBL_EPSILON;

constexpr std::size_t kLogEntries = 11;
constexpr std::size_t kLogEntryLength = 36;

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// A real for a log message, in the C locale whatever LC_NUMERIC says.
std::string NumberText(long double x) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(x), std::chars_format::general, 6);
  return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("?");
}

// frac keeping the sign of its argument.
long double Frac(long double x) { return x - std::trunc(x); }

}  // namespace

long double DegToRad(long double deg) { return deg * kPi / 180; }

long double RadToDeg(long double rad) { return rad * 180 / kPi; }

long double TanChecked(long double angle) {
  long double c = std::cos(angle);
  if (std::fabs(c) < kZeroTrig) {
    LogError("Error: function tan in Unit math");
    return 1e30L;
  }
  return std::sin(angle) / c;
}

long double Distance(long double dx, long double dy) { return std::sqrt(dx * dx + dy * dy); }

long double VectorAngle(long double dx, long double dy) {
  if (dx == 0) return dy >= 0 ? kPi / 2 : -kPi / 2;
  long double a = std::atan(dy / dx);
  if (dx < 0) a += kPi;
  return a;
}

Point PolarToXY(long double angle, long double length) {
  return {length * std::cos(angle), length * std::sin(angle)};
}

long double Log10Checked(long double x) {
  if (x <= 0) return -1e30L;
  return std::log10(x);
}

long double Power10(long double x) { return std::pow(10.0L, x); }

long double FloorReal(long double x) {
  long double i = std::trunc(x);
  return x >= 0 ? i : i - 1;
}

int DecimalExponent(long double x) {
  if (x == 0 || std::isnan(x)) return 0;
  long double e = FloorReal(Log10Checked(std::fabs(x)));
  // Infinity has no decimal exponent worth more than the largest one.
  e = std::clamp(e, -100000.0L, 100000.0L);
  return static_cast<int>(std::lround(e));
}

Point Rotate(long double x, long double y, long double angle) {
  long double c = std::cos(angle), s = std::sin(angle);
  return {x * c - y * s, x * s + y * c};
}

Point RotateAbout(Point p, Point centre, long double angle) {
  Point r = Rotate(p.x - centre.x, p.y - centre.y, angle);
  return {centre.x + r.x, centre.y + r.y};
}

Point RotateTranslate(Point base, long double angleDeg, Point offset) {
  long double a = DegToRad(angleDeg);
  long double c = std::cos(a), s = std::sin(a);
  return {base.x + offset.x * c - offset.y * s, base.y + offset.x * s + offset.y * c};
}

Point ScaleRotateTranslate(Point base, long double angleDeg, Point offset, long double fx, long double fy) {
  return RotateTranslate(base, angleDeg, Point{offset.x * fx, offset.y * fy});
}

bool NearlyEqual(long double a, long double b) { return std::fabs(a - b) < 0.00001L; }

long double MaxReal(long double a, long double b) { return a > b ? a : b; }
long MaxInt(long a, long b) { return a > b ? a : b; }
long MinInt(long a, long b) { return a < b ? a : b; }

long ClampInt(long low, long high, long value) {
  if (value < low) value = low;
  if (value > high) value = high;
  return value;
}

long double SweepAngle(long double endDeg, long double startDeg) {
  long double s = (Frac(endDeg / 360) - Frac(startDeg / 360)) * 360;
  if (s < 0) s += 360;
  return s;
}

void GetArcCenter(Point p1, Point p2, long double phi, ArcGeometry& arc) {
  // One reduction of the half angle gives its sine and cosine together;
  // long double reductions are slow.
  long double halfSine, halfCosine;
  sincosl(phi / 2, &halfSine, &halfCosine);
  if (std::fabs(halfSine) < kZeroTrig || std::isnan(halfSine)) {
    LogError("Fehler in GetArcCenter (dphi = " + NumberText(phi) + " ! ");
    return;
  }
  long double dx = p2.x - p1.x, dy = p2.y - p1.y;
  long double l = Distance(dx, dy);
  Point m{(p1.x + p2.x) / 2, (p1.y + p2.y) / 2};

  Point centre = m;
  if (l == 0) {
    LogError("GetArcCenter l12=0");
  } else {
    // Half circle: the centre is the midpoint of the chord. sin(phi) is
    // 2 sin(phi/2) cos(phi/2), and the half sine is not near 0 here, so it
    // can only be near 0 when the half cosine is.
    bool halfCircle = std::fabs(halfCosine) < 1e-3L && std::fabs(std::sin(phi)) < kZeroTrig;
    long double t = 0;
    if (!halfCircle) {
      long double tangent = halfSine / halfCosine;  // as TanChecked(phi / 2)
      if (std::fabs(halfCosine) < kZeroTrig) {
        LogError("Error: function tan in Unit math");
        tangent = 1e30L;
      }
      t = (l / 2) / tangent;
    }
    centre = Point{m.x - t * dy / l, m.y + t * dx / l};
  }
  arc.centre = centre;
  arc.radius = std::fabs((l / 2) / halfSine);

  long double a1 = VectorAngle(p1.x - centre.x, p1.y - centre.y);
  long double a2 = VectorAngle(p2.x - centre.x, p2.y - centre.y);
  if (phi >= 0) {
    arc.startAngle = a1;
    arc.endAngle = a2;
  } else {
    arc.startAngle = a2;
    arc.endAngle = a1;
  }
}

void LogError(const std::string& message) {
  std::string entry = message.substr(0, kLogEntryLength);
  auto& log = Log();
  if (std::find(log.begin(), log.end(), entry) != log.end()) return;
  if (log.size() < kLogEntries) log.push_back(entry);
}

const std::vector<std::string>& ErrorLog() { return Log(); }

void ClearErrorLog() { Log().clear(); }

}  // namespace planox
