// The replay of the display list onto the window canvas and, during a
// print job, the printer canvas. Every real is clipped or clamped before it
// becomes a pixel, so no record, however wild its numbers, can overflow an
// integer or ask the canvas for an absurd figure, font or pen.
#include <algorithm>
#include <cmath>
#include <optional>

#include "base/cpustate.h"
#include "base/prompts.h"
#include "base/session.h"
#include "display/quorgraf.h"

namespace planox {

namespace {

constexpr long double kLimit = 1 << 22;  // largest figure box in pixels that is drawn
constexpr int kMaxFontPixels = 4096;
constexpr int kMaxPenWidth = 100;
constexpr int kMaxPauseMs = 5000;

constexpr Rgb kBlack{0, 0, 0};

// World to device pixels for one canvas. The window maps as
// X = L + round((x - x0) * scaleX); the printer as
// PX = round(PW * ox / 210) + round(PW * ((x - x0) * scaleX + L) * sx / W).
struct Mapper {
  bool printer = false;
  long double L = 0, B = 0, x0 = 0, y0 = 0, sx = 1, sy = 1;
  long double offX = 0, offY = 0, kx = 1, ky = 1;
  long double width = 0, height = 0;  // canvas size

  // Unrounded device coordinates, used for clipping.
  long double fx(long double x) const {
    const long double u = (x - x0) * sx;
    return printer ? offX + kx * (u + L) : L + u;
  }
  long double fy(long double y) const {
    const long double v = (y - y0) * sy;
    return printer ? offY + ky * (B - v) : B - v;
  }
  int32_t rx(long double x) const {
    const long double u = (x - x0) * sx;
    return printer ? int32_t(offX) + RoundPixel(kx * (u + L)) : int32_t(L) + RoundPixel(u);
  }
  int32_t ry(long double y) const {
    const long double v = (y - y0) * sy;
    return printer ? int32_t(offY) + RoundPixel(ky * (B - v)) : int32_t(B) - RoundPixel(v);
  }
  bool inside(long double px, long double py) const {
    return px >= -2 && py >= -2 && px <= width + 2 && py <= height + 2;
  }
};

// Cohen-Sutherland clipping of a segment to the canvas with a small margin.
// The clipped coordinate is set to the edge exactly and the other one moves
// along the slope, so a horizontal or vertical line from -1e300 to 1e300
// still lands on its row or column.
bool ClipSegment(long double& x1, long double& y1, long double& x2, long double& y2, long double w, long double h) {
  const long double xmin = -4, ymin = -4, xmax = w + 4, ymax = h + 4;
  auto outcode = [&](long double x, long double y) {
    return (x < xmin ? 1 : 0) | (x > xmax ? 2 : 0) | (y < ymin ? 4 : 0) | (y > ymax ? 8 : 0);
  };
  int c1 = outcode(x1, y1), c2 = outcode(x2, y2);
  for (int round = 0; round < 8; ++round) {
    if (!(c1 | c2)) return true;
    if (c1 & c2) return false;
    const int c = c1 ? c1 : c2;
    long double x, y;
    const long double dx = x2 - x1, dy = y2 - y1;
    if (c & 1) {
      x = xmin;
      y = y1 + (xmin - x1) * (dy / dx);
    } else if (c & 2) {
      x = xmax;
      y = y1 + (xmax - x1) * (dy / dx);
    } else if (c & 4) {
      y = ymin;
      x = x1 + (ymin - y1) * (dx / dy);
    } else {
      y = ymax;
      x = x1 + (ymax - y1) * (dx / dy);
    }
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    if (c == c1) {
      x1 = x;
      y1 = y;
      c1 = outcode(x1, y1);
    } else {
      x2 = x;
      y2 = y;
      c2 = outcode(x2, y2);
    }
  }
  return !(c1 | c2);
}

bool Finite(long double v) { return std::isfinite(v); }

struct Target {
  Canvas* canvas = nullptr;
  Mapper map;
  Rgb colour{0, 0, 0};
  Rgb fill{0, 0, 0};
  PenStyle style = PenStyle::Solid;
  int width = 1;
  bool penDirty = true;

  void pen() {
    if (penDirty) {
      canvas->setPen(colour, style, width);
      penDirty = false;
    }
  }

  void drawLine(long double x1, long double y1, long double x2, long double y2) {
    const Mapper& m = map;
    const long double u1 = (x1 - m.x0) * m.sx, v1 = (y1 - m.y0) * m.sy;
    const long double u2 = (x2 - m.x0) * m.sx, v2 = (y2 - m.y0) * m.sy;
    if (!m.printer) {
      // The common case: the window, both ends well inside.
      long double a = m.L + u1, b = m.B - v1, c = m.L + u2, d = m.B - v2;
      if (m.inside(a, b) && m.inside(c, d)) {
        pen();
        canvas->line(int32_t(m.L) + RoundPixel(u1), int32_t(m.B) - RoundPixel(v1), int32_t(m.L) + RoundPixel(u2),
                     int32_t(m.B) - RoundPixel(v2));
        return;
      }
    }
    long double a = map.fx(x1), b = map.fy(y1), c = map.fx(x2), d = map.fy(y2);
    if (!Finite(a) || !Finite(b) || !Finite(c) || !Finite(d)) return;
    pen();
    if (map.inside(a, b) && map.inside(c, d)) {
      canvas->line(map.rx(x1), map.ry(y1), map.rx(x2), map.ry(y2));
      return;
    }
    if (!ClipSegment(a, b, c, d, map.width, map.height)) return;
    canvas->line(RoundPixel(a), RoundPixel(b), RoundPixel(c), RoundPixel(d));
  }

  // The box of a circle or arc, when it can be drawn and may be seen.
  bool box(const double* f, int32_t (&r)[4]) const {
    const long double a = map.fx(f[0]), b = map.fy(f[1]), c = map.fx(f[2]), d = map.fy(f[3]);
    for (long double v : {a, b, c, d})
      if (!Finite(v) || std::fabs(v) > kLimit) return false;
    if (std::max(a, c) < -2 || std::min(a, c) > map.width + 2 || std::max(b, d) < -2 || std::min(b, d) > map.height + 2)
      return false;
    r[0] = map.rx(f[0]);
    r[1] = map.ry(f[1]);
    r[2] = map.rx(f[2]);
    r[3] = map.ry(f[3]);
    return true;
  }

  void drawCircle(const double* f) {
    const long double x = f[0], y = f[1], rad = f[2];
    const double b[4] = {double(x - rad), double(y - rad), double(x + rad), double(y + rad)};
    int32_t r[4];
    if (!Finite(rad) || !box(b, r)) return;
    pen();
    canvas->ellipse(r[0], r[3], r[2], r[1]);
  }

  void drawArc(const double* f) {
    int32_t r[4];
    if (!box(f, r)) return;
    const long double p[4] = {map.fx(f[4]), map.fy(f[5]), map.fx(f[6]), map.fy(f[7])};
    for (long double v : p)
      if (!Finite(v) || std::fabs(v) > kLimit) return;
    pen();
    canvas->arc(r[0], r[3], r[2], r[1], map.rx(f[4]), map.ry(f[5]), map.rx(f[6]), map.ry(f[7]));
  }

  void drawSolid(const double* f) {
    int xy[8];
    bool seen = false;
    long double minX = 1e30L, maxX = -1e30L, minY = 1e30L, maxY = -1e30L;
    for (int k = 0; k < 4; ++k) {
      const long double a = map.fx(f[2 * k]), b = map.fy(f[2 * k + 1]);
      if (!Finite(a) || !Finite(b)) return;
      minX = std::min(minX, a);
      maxX = std::max(maxX, a);
      minY = std::min(minY, b);
      maxY = std::max(maxY, b);
      const bool far = std::fabs(a) > kLimit || std::fabs(b) > kLimit;
      xy[2 * k] = far ? RoundPixel(std::clamp(a, -kLimit, kLimit)) : map.rx(f[2 * k]);
      xy[2 * k + 1] = far ? RoundPixel(std::clamp(b, -kLimit, kLimit)) : map.ry(f[2 * k + 1]);
    }
    seen = maxX >= -2 && minX <= map.width + 2 && maxY >= -2 && minY <= map.height + 2;
    if (!seen) return;
    pen();
    canvas->polygon(xy, fill);
  }
};

PenStyle StyleOf(long long n) {
  switch (n) {
    case 1: return PenStyle::Dot;
    case 2: return PenStyle::DashDot;
    case 3: return PenStyle::Dash;
    default: return PenStyle::Solid;
  }
}

int IntOf(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int>(std::clamp(std::nearbyint(v), -2147483648.0, 2147483647.0));
}

}  // namespace

GraphWindow GraphWindow::PageCopy() const {
  GraphWindow copy = *this;
  copy.host_ = nullptr;
  copy.replaying_ = copy.cancel_ = false;
  return copy;
}

bool GraphWindow::Replay(Canvas& window, const PrinterTarget* printerTarget) {
  if (replaying_ || !list_) return false;
  replaying_ = true;
  ClearUpperVectorState();
  cancel_ = false;
  SetWaitCursor();
  // The next recorded style and width are written again whatever they are.
  style_ = 99;
  width_ = 1;

  const bool printing = printerTarget && printerTarget->canvas;
  Target win;
  win.canvas = &window;
  Target prn;
  if (printing) prn.canvas = printerTarget->canvas;

  auto remap = [&] {
    Mapper m;
    m.L = vp_.left;
    m.B = vp_.bottom;
    m.x0 = x0_;
    m.y0 = y0_;
    m.sx = scaleX_;
    m.sy = scaleY_;
    m.width = window.width();
    m.height = window.height();
    win.map = m;
    if (printing) {
      const PrinterTarget& p = *printerTarget;
      m.printer = true;
      m.offX = RoundPixel(p.pageWidth * p.originX / 210);
      m.offY = RoundPixel(p.pageWidth * p.originY / 210);
      m.kx = p.pageWidth * p.scaleX / W_;
      m.ky = p.pageHeight * p.scaleY / H_;
      m.width = prn.canvas->width();
      m.height = prn.canvas->height();
      prn.map = m;
    }
  };
  remap();

  // Replay state.
  long double textHeight = 3.5L, textWidth = 3.5L, textAngle = 0;
  int textColour = 1;

  if (printing && printerTarget->border) {
    if (Settings.ColourGraphics) {
      prn.colour = PaletteColour(11);
      prn.penDirty = true;
    }
    const WorldWindow& w = world_;
    prn.drawLine(w.xmin, w.ymin, w.xmin, w.ymax);
    prn.drawLine(w.xmin, w.ymax, w.xmax, w.ymax);
    prn.drawLine(w.xmax, w.ymax, w.xmax, w.ymin);
    prn.drawLine(w.xmax, w.ymin, w.xmin, w.ymin);
  }

  bool complete = true;
  const size_t count = list_->size();
  size_t nextWindow = 0;  // in windowRecords_
  // A print job shows its progress and can be cancelled.
  std::optional<ProgressReport> progress;
  if (printing) progress.emplace("Impression");
  for (size_t i = 0; i < count; ++i) {
    if (i % 50000 == 0 && host_) {
      host_->processMessages();
      if (cancel_ || !list_ || (progress && !progress->Step(i, count))) {
        complete = false;
        break;
      }
    }
    const DisplayList& list = *list_;
    if (i >= list.size()) break;  // emptied during a pause
    const int code = list.code(i);
    const double* f = list.fields(i);
    switch (code) {
      case RecCircle:
        win.drawCircle(f);
        if (printing) prn.drawCircle(f);
        break;
      case RecLine:
        win.drawLine(f[0], f[1], f[2], f[3]);
        if (printing) prn.drawLine(f[0], f[1], f[2], f[3]);
        break;
      case RecArc:
        win.drawArc(f);
        if (printing) prn.drawArc(f);
        break;
      case RecSolid:
        win.drawSolid(f);
        if (printing) prn.drawSolid(f);
        break;
      case RecColor: {
        const int n = IntOf(f[0]);
        if (n < 0 || n > 15) break;
        textColour = n;
        win.colour = WindowColour(n);
        win.fill = FillColour(n, false);
        win.penDirty = true;
        if (printing) {
          prn.colour = PrinterColour(n);
          prn.fill = FillColour(n, true);
          prn.penDirty = true;
        }
        break;
      }
      case RecTextStyle:
        textHeight = f[0] * 1.6L * Settings.TextHeightFactor;
        textWidth = f[1] * 1.1L * Settings.ScreenTextRatio;
        textAngle = f[3];
        break;
      case RecWindow: {
        vp_ = {RoundPixel(f[0]), RoundPixel(f[1]), RoundPixel(f[2]), RoundPixel(f[3])};
        world_ = {f[4], f[5], f[6], f[7]};
        while (nextWindow < windowRecords_.size() && windowRecords_[nextWindow].first < i) ++nextWindow;
        if (nextWindow < windowRecords_.size() && windowRecords_[nextWindow].first == i)
          keepAspect_ = windowRecords_[nextWindow].second.keepAspect;
        const long double dx = world_.xmax - world_.xmin, dy = world_.ymax - world_.ymin;
        if (!(dx != 0) || !(dy != 0) || !std::isfinite(dx) || !std::isfinite(dy)) {
          Session.AbortFlag = true;
          complete = false;
          i = count;
          break;
        }
        apply(zoomExact_);
        remap();
        break;
      }
      case RecLineStyle: {
        const PenStyle s = StyleOf(IntOf(f[0]));
        win.style = s;
        win.penDirty = true;
        if (printing) {
          prn.style = s;
          prn.penDirty = true;
        }
        break;
      }
      case RecLineWidth: {
        const int n = std::clamp(IntOf(f[0]), 0, kMaxPenWidth);
        win.width = n;
        win.penDirty = true;
        if (printing) {
          prn.width = 4 * n;
          prn.penDirty = true;
        }
        break;
      }
      case RecSleep:
        if (!printing && host_) host_->sleepMs(std::clamp(IntOf(f[0]), 0, kMaxPauseMs));
        break;
      case RecText: {
        Target& t = printing ? prn : win;
        // Colour.
        Rgb colour;
        if (textColour == 0)
          colour = RgbFromValue(Settings.BackgroundColour);
        else if (!Settings.ColourGraphics || (printing && Settings.WindowsPrintMode == 1))
          colour = kBlack;
        else
          colour = PaletteColour(textColour);
        // Font.
        TextFont font;
        font.face = Settings.ScreenTextStyle;
        const int flags = TextStyleFlags;
        if (flags >= 1 && flags <= 15) {
          font.weight = (flags & 1) ? 700 : 100;
          font.italic = flags & 2;
          font.underline = flags & 4;
          font.strikeOut = flags & 8;
        }
        long double h, w;
        if (printing) {
          const PrinterTarget& p = *printerTarget;
          h = p.pageHeight * textHeight * scaleY_ * p.scaleY / H_;
          w = p.pageWidth * textWidth * scaleX_ * p.scaleX / W_;
        } else {
          h = textHeight * scaleY_;
          w = textWidth * scaleX_;
        }
        h = std::fabs(h);
        w = std::fabs(w);
        if (!Finite(h) || !Finite(w) || h < 0.5L || h > kMaxFontPixels) break;  // cannot be shown
        font.height = RoundPixel(h);
        font.width = w > 4 * kMaxFontPixels ? 4 * kMaxFontPixels : RoundPixel(w);
        if (!Finite(textAngle)) break;
        const long double a10 = std::fmod(textAngle * 10, 3600.0L);
        font.escapement = RoundPixel(a10);
        const long double rad = textAngle * 3.141592653589793238L / 180;
        const long double x = f[0] - std::sin(rad) * 0.7L * textHeight;
        const long double y = f[1] + std::cos(rad) * 0.75L * textHeight;
        const long double px = t.map.fx(x), py = t.map.fy(y);
        if (!Finite(px) || !Finite(py) || std::fabs(px) > kLimit || std::fabs(py) > kLimit) break;
        t.canvas->text(t.map.rx(x), t.map.ry(y), font, colour, list.text(i));
        break;
      }
      default: break;  // unreadable code: nothing
    }
  }

  if (progress && complete) progress->Step(count, count);
  replaying_ = false;
  SetOldCursor();
  return complete;
}

}  // namespace planox
