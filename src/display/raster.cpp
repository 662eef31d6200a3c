#include "display/raster.h"

#include <algorithm>
#include <cmath>

namespace planox {

namespace {

// Dash patterns in pen widths, as the window system's standard pens.
constexpr int kDot[] = {1, 2, 0};
constexpr int kDash[] = {4, 2, 0};
constexpr int kDashDot[] = {4, 2, 1, 2, 0};

constexpr double kTwoPi = 6.283185307179586476925286766559;

inline long RoundHalfUp(double v) { return v >= 0 ? long(v + 0.5) : -long(0.5 - v); }

// Clips a segment to the rectangle [0, w-1] x [0, h-1]; false when nothing
// of it is inside.
bool Clip(double& x1, double& y1, double& x2, double& y2, double w, double h) {
  const double xmax = w - 1, ymax = h - 1;
  auto code = [&](double x, double y) {
    return (x < 0 ? 1 : 0) | (x > xmax ? 2 : 0) | (y < 0 ? 4 : 0) | (y > ymax ? 8 : 0);
  };
  int c1 = code(x1, y1), c2 = code(x2, y2);
  for (int round = 0; round < 8; ++round) {
    if (!(c1 | c2)) return true;
    if (c1 & c2) return false;
    const int c = c1 ? c1 : c2;
    const double dx = x2 - x1, dy = y2 - y1;
    double x, y;
    if (c & 1) {
      x = 0;
      y = y1 - x1 * (dy / dx);
    } else if (c & 2) {
      x = xmax;
      y = y1 + (xmax - x1) * (dy / dx);
    } else if (c & 4) {
      y = 0;
      x = x1 - y1 * (dx / dy);
    } else {
      y = ymax;
      x = x1 + (ymax - y1) * (dx / dy);
    }
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    if (c == c1) {
      x1 = x, y1 = y, c1 = code(x, y);
    } else {
      x2 = x, y2 = y, c2 = code(x, y);
    }
  }
  return !(c1 | c2);
}

}  // namespace

RasterCanvas::RasterCanvas(uint32_t* pixels, int width, int height, int stride)
    : px_(pixels), width_(std::max(width, 0)), height_(std::max(height, 0)), stride_(stride) {}

void RasterCanvas::setPen(Rgb c, PenStyle style, int width) {
  colour_ = 0xff000000u | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
  penWidth_ = std::clamp(width, 1, 1000);
  switch (style) {
    case PenStyle::Dot: pattern_ = kDot; break;
    case PenStyle::Dash: pattern_ = kDash; break;
    case PenStyle::DashDot: pattern_ = kDashDot; break;
    default: pattern_ = nullptr;
  }
}

inline void RasterCanvas::plot(long x, long y, bool xMajor) {
  if (penWidth_ == 1) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) px_[y * stride_ + x] = colour_;
    return;
  }
  // A wide pen: a span across the line's main direction.
  const long from = -(penWidth_ / 2), to = from + penWidth_;
  for (long k = from; k < to; ++k) {
    const long xx = xMajor ? x : x + k, yy = xMajor ? y + k : y;
    if (xx >= 0 && yy >= 0 && xx < width_ && yy < height_) px_[yy * stride_ + xx] = colour_;
  }
}

void RasterCanvas::segment(long x1, long y1, long x2, long y2, bool continuePattern) {
  if (!continuePattern && pattern_) {
    patternIndex_ = 0;
    patternLeft_ = pattern_[0] * penWidth_;
  }
  const long margin = penWidth_;
  const bool inside = x1 >= margin && y1 >= margin && x2 >= margin && y2 >= margin && x1 < width_ - margin &&
                      x2 < width_ - margin && y1 < height_ - margin && y2 < height_ - margin;
  if (!inside) {
    double a = double(x1), b = double(y1), c = double(x2), d = double(y2);
    if (!Clip(a, b, c, d, double(width_), double(height_))) return;
    x1 = RoundHalfUp(a);
    y1 = RoundHalfUp(b);
    x2 = RoundHalfUp(c);
    y2 = RoundHalfUp(d);
  }
  const long dx = std::labs(x2 - x1), dy = -std::labs(y2 - y1);
  const long sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  const bool xMajor = dx >= -dy;
  long err = dx + dy;
  long x = x1, y = y1;
  // A polyline piece leaves its last pixel to the next piece.
  const long steps = std::max(dx, -dy) + (continuePattern ? 0 : 1);
  for (long i = 0; i < steps; ++i) {
    if (!pattern_) {
      plot(x, y, xMajor);
    } else {
      if (!(patternIndex_ & 1)) plot(x, y, xMajor);
      if (--patternLeft_ <= 0) {
        ++patternIndex_;
        if (!pattern_[patternIndex_]) patternIndex_ = 0;
        patternLeft_ = pattern_[patternIndex_] * penWidth_;
      }
    }
    const long e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void RasterCanvas::line(int x1, int y1, int x2, int y2) { segment(x1, y1, x2, y2, false); }

// An elliptic curve from parameter angle `from` through `span` radians,
// counter-clockwise on the screen, as a polyline of pieces about 4 pixels
// long (they stay within a pixel of the true curve down to a radius of 2).
void RasterCanvas::curve(double cx, double cy, double rx, double ry, double from, double span) {
  const double w = penWidth_;
  if (cx + rx < -w || cx - rx > width_ + w || cy + ry < -w || cy - ry > height_ + w) return;
  // A canvas wholly inside the ellipse, well away from the curve, sees nothing of it.
  if (rx > 0 && ry > 0) {
    bool allInside = true;
    for (double px : {-w, width_ + w})
      for (double py : {-w, height_ + w}) {
        const double u = (px - cx) / rx, v = (py - cy) / ry;
        allInside &= u * u + v * v < 0.98;
      }
    if (allInside) return;
  }
  const double r = std::max(rx, ry);
  const int n = int(std::clamp(std::ceil(span * r / 4), 8.0, 4096.0));
  const double step = span / n, cs = std::cos(step), sn = std::sin(step);
  double c = std::cos(from), s = std::sin(from);
  long px = RoundHalfUp(cx + rx * c), py = RoundHalfUp(cy - ry * s);
  if (pattern_) {
    patternIndex_ = 0;
    patternLeft_ = pattern_[0] * penWidth_;
  }
  for (int i = 0; i < n; ++i) {
    const double nc = c * cs - s * sn;
    s = s * cs + c * sn;
    c = nc;
    const long qx = RoundHalfUp(cx + rx * c), qy = RoundHalfUp(cy - ry * s);
    segment(px, py, qx, qy, true);
    px = qx;
    py = qy;
  }
  plot(px, py, true);
}

void RasterCanvas::ellipse(int left, int top, int right, int bottom) {
  const double l = std::min(left, right), r = std::max(left, right);
  const double t = std::min(top, bottom), b = std::max(top, bottom);
  curve((l + r) / 2, (t + b) / 2, (r - l) / 2, (b - t) / 2, 0, kTwoPi);
}

void RasterCanvas::arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  const double l = std::min(left, right), r = std::max(left, right);
  const double t = std::min(top, bottom), b = std::max(top, bottom);
  const double cx = (l + r) / 2, cy = (t + b) / 2;
  const double rx = std::max((r - l) / 2, 0.5), ry = std::max((b - t) / 2, 0.5);
  // The ray through each point meets the ellipse at this parameter angle.
  const double a1 = std::atan2((cy - ys) / ry, (xs - cx) / rx);
  const double a2 = std::atan2((cy - ye) / ry, (xe - cx) / rx);
  double span = a2 - a1;
  while (span <= 0) span += kTwoPi;
  curve(cx, cy, (r - l) / 2, (b - t) / 2, a1, span);
}

void RasterCanvas::polygon(const int (&xy)[8], Rgb fill) {
  const uint32_t f = 0xff000000u | (uint32_t(fill.r) << 16) | (uint32_t(fill.g) << 8) | fill.b;
  int minY = xy[1], maxY = xy[1];
  for (int k = 1; k < 4; ++k) {
    minY = std::min(minY, xy[2 * k + 1]);
    maxY = std::max(maxY, xy[2 * k + 1]);
  }
  const int y0 = std::max(minY, 0), y1 = std::min(maxY, height_ - 1);
  for (int y = y0; y <= y1; ++y) {
    const double yc = y + 0.5;
    double xs[4];
    int n = 0;
    for (int k = 0; k < 4; ++k) {
      const double ax = xy[2 * k], ay = xy[2 * k + 1];
      const double bx = xy[(2 * k + 2) % 8], by = xy[(2 * k + 3) % 8];
      if ((ay <= yc && by > yc) || (by <= yc && ay > yc)) xs[n++] = ax + (yc - ay) * (bx - ax) / (by - ay);
    }
    for (int a = 1; a < n; ++a)  // at most four crossings
      for (int b = a; b > 0 && xs[b - 1] > xs[b]; --b) std::swap(xs[b - 1], xs[b]);
    uint32_t* row = px_ + long(y) * stride_;
    for (int k = 0; k + 1 < n; k += 2) {
      const long a = std::max(0L, RoundHalfUp(xs[k])), b = std::min(long(width_) - 1, RoundHalfUp(xs[k + 1]));
      for (long x = a; x <= b; ++x) row[x] = f;
    }
  }
  // The outline in the pen, as the original polygon call drew it.
  for (int k = 0; k < 4; ++k) segment(xy[2 * k], xy[2 * k + 1], xy[(2 * k + 2) % 8], xy[(2 * k + 3) % 8], false);
}

}  // namespace planox
