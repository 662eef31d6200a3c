#include "display/quorgraf.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "base/fileio.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"

namespace planox {

// ---------------------------------------------------------------------------
// Record numbers

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Scientific digits of x: mantissa digits (8, trailing zeros kept) and the
// decimal exponent.
void Digits(double x, char (&digits)[9], int& exponent) {
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 7);
  *r.ptr = 0;
  const char* p = buf;
  if (*p == '-') ++p;
  int n = 0;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9' && n < 8) digits[n++] = *p;
  while (n < 8) digits[n++] = '0';
  digits[8] = 0;
  exponent = *p == 'e' ? std::atoi(p + 1) : 0;
}

// Reads a number field; anything unreadable is 0.
double ReadNumber(std::string_view s) {
  size_t a = 0;
  while (a < s.size() && (s[a] == ' ' || s[a] == '\t')) ++a;
  if (a < s.size() && s[a] == '+') ++a;
  size_t b = s.size();
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r' || s[b - 1] == '\n')) --b;
  if (a >= b || b - a > 64) return 0;
  char buf[72];
  size_t n = 0;
  for (size_t i = a; i < b; ++i) buf[n++] = s[i] == ',' ? '.' : s[i];
  double v = 0;
  auto r = std::from_chars(buf, buf + n, v);
  if (r.ec != std::errc() || r.ptr != buf + n) return 0;
  return v;
}

// Reads an integer field in plain decimal; anything else is 0.
double ReadInteger(std::string_view s) {
  size_t a = 0;
  while (a < s.size() && s[a] == ' ') ++a;
  if (a < s.size() && s[a] == '+') ++a;
  size_t b = s.size();
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\r' || s[b - 1] == '\n')) --b;
  long long v = 0;
  auto r = std::from_chars(s.data() + a, s.data() + b, v);
  if (r.ec != std::errc() || r.ptr != s.data() + b) return 0;
  return static_cast<double>(std::clamp<long long>(v, -(1LL << 31), (1LL << 31) - 1));
}

int32_t Clamp32(long long v) {
  return static_cast<int32_t>(std::clamp<long long>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int FieldCountOf(int code) {
  switch (code) {
    case RecCircle: return 3;
    case RecLine: return 4;
    case RecArc: return 8;
    case RecText: return 2;
    case RecSolid: return 8;
    case RecColor: return 1;
    case RecTextStyle: return 4;
    case RecWindow: return 8;
    case RecLineStyle: return 1;
    case RecLineWidth: return 1;
    case RecSleep: return 1;
    default: return -1;
  }
}

// Which fields of a record are integers (written in plain decimal).
bool IntegerField(int code, int k) {
  switch (code) {
    case RecColor:
    case RecLineStyle:
    case RecLineWidth:
    case RecSleep: return true;
    case RecTextStyle: return k == 2;
    case RecWindow: return k < 4;
    default: return false;
  }
}

}  // namespace

std::string RecordReal(double x) {
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
  if (x == 0) return "0";
  char d[9];
  int e = 0;
  Digits(x, d, e);
  int last = 7;
  while (last > 0 && d[last] == '0') --last;
  std::string s;
  if (x < 0) s += '-';
  if (e >= -5 && e < 8) {
    if (e < 0) {
      s += "0.";
      s.append(static_cast<size_t>(-e - 1), '0');
      s.append(d, static_cast<size_t>(last + 1));
    } else {
      s.append(d, static_cast<size_t>(e + 1));
      if (last > e) {
        s += '.';
        s.append(d + e + 1, static_cast<size_t>(last - e));
      }
    }
  } else {
    s += d[0];
    if (last > 0) {
      s += '.';
      s.append(d + 1, static_cast<size_t>(last));
    }
    s += 'E';
    if (e < 0) s += '-';
    const int a = std::abs(e);
    if (a < 10) s += '0';
    s += std::to_string(a);
  }
  return s;
}

namespace {

// The value through the text of 8 significant digits, the reference for
// every case the arithmetic below cannot settle.
double RecordValueThroughText(double x) {
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 7);
  double v = 0;
  std::from_chars(buf, r.ptr, v);
  return v;
}

// The powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLastExactPower = 22;

}  // namespace

namespace {

// |x| (finite, not 0) times or divided by an exact power of ten, landing in
// the 8-digit mantissa range [1e7, 1e8) with one rounding: m, and the power
// k (m = |x| * 10^k). False where the exact powers do not reach.
bool ScaledMantissa(double x, double& m, int& k) {
  const double a = std::fabs(x);
  // The binary exponent of a (from its bits where a is normal), and from it
  // the decimal exponent, or one less: for every exponent a double has,
  // times 315653 / 2^20 rounded down is the same as times log10(2).
  uint64_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  const int binary = (bits >> 52) ? static_cast<int>(bits >> 52) - 1023 : std::ilogb(a);
  const int e = (binary * 315653) >> 20;
  auto scaled = [a](int p) { return p >= 0 ? a * kExactPowersOfTen[p] : a / kExactPowersOfTen[-p]; };
  k = 7 - e;
  if (k < -kLastExactPower || k > kLastExactPower) return false;
  m = scaled(k);
  if (m >= 1e8) {
    if (--k < -kLastExactPower) return false;
    m = scaled(k);
  }
  return m >= 1e7 && m < 1e8;
}

// The whole part of a mantissa from ScaledMantissa.
double WholePart(double m) { return static_cast<double>(static_cast<int64_t>(m)); }

}  // namespace

// The number cut to 8 significant digits without the text: unless the one
// rounding of the scaled mantissa could have moved it across a half, the
// nearest integer is the mantissa the text would have, and dividing (or
// multiplying) it by the same exact power gives the correctly rounded value
// that reading the text gives.
double RecordValue(double x) {
  if (!std::isfinite(x) || x == 0) return x;
  double m;
  int k;
  if (!ScaledMantissa(x, m, k)) return RecordValueThroughText(x);
  const double whole = WholePart(m);
  if (std::fabs(m - whole - 0.5) < 1e-6) return RecordValueThroughText(x);
  const double digits = m - whole < 0.5 ? whole : whole + 1;
  const double v = k >= 0 ? digits / kExactPowersOfTen[k] : digits * kExactPowersOfTen[-k];
  return x < 0 ? -v : v;
}

bool RecordValueSettled(double x, double error) {
  if (!std::isfinite(x) || x == 0 || !(error >= 0)) return false;
  double m;
  int k;
  if (!ScaledMantissa(x, m, k)) return false;
  // The error in mantissa units, with the scaling's own rounding.
  const double spread = (k >= 0 ? error * kExactPowersOfTen[k] : error / kExactPowersOfTen[-k]) + 1e-7;
  if (m - spread < 1e7 || m + spread >= 1e8) return false;
  return std::fabs(m - WholePart(m) - 0.5) > spread;
}

// ---------------------------------------------------------------------------
// Display list

void DisplayList::clear() {
  recs_.clear();
  values_.clear();
  texts_.clear();
}

bool DisplayList::room(size_t n, uint32_t& first) {
  if (values_.size() + n + BlockArray<double, 16>::kBlock > std::numeric_limits<uint32_t>::max()) return false;
  first = static_cast<uint32_t>(values_.extend(n));
  return true;
}

void DisplayList::append(int code, std::initializer_list<double> fields) {
  uint32_t first;
  if (fields.size() > 8 || !room(fields.size(), first)) return;
  double* v = &values_[first];
  for (double f : fields) *v++ = RecordValue(f);
  recs_.push_back({first, static_cast<int16_t>(code), static_cast<uint8_t>(fields.size())});
}

void DisplayList::setField(size_t i, int k, double value) {
  if (i < recs_.size() && k >= 0 && k < recs_[i].count) values_[recs_[i].first + k] = RecordValue(value);
}

void DisplayList::appendText(double x, double y, std::string text) {
  uint32_t first;
  if (texts_.size() >= std::numeric_limits<uint32_t>::max() || !room(3, first)) return;
  values_[first] = RecordValue(x);
  values_[first + 1] = RecordValue(y);
  values_[first + 2] = static_cast<double>(texts_.size());
  texts_.push_back(std::move(text));
  recs_.push_back({first, RecText, 2});
}

void DisplayList::appendLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  const size_t semi = line.find(';');
  std::string_view head = line.substr(0, semi);
  long long code = 0;
  {
    size_t a = 0;
    while (a < head.size() && head[a] == ' ') ++a;
    auto r = std::from_chars(head.data() + a, head.data() + head.size(), code);
    if (r.ec != std::errc() || r.ptr != head.data() + head.size()) code = 0;
  }
  const int n = FieldCountOf(static_cast<int>(std::clamp<long long>(code, -1, 100)));
  if (n < 0) {
    // Unknown code: kept as it was read, draws nothing.
    uint32_t first;
    if (texts_.size() >= std::numeric_limits<uint32_t>::max() || !room(1, first)) return;
    values_[first] = static_cast<double>(texts_.size());
    texts_.emplace_back(line);
    recs_.push_back({first, 0, 0});
    return;
  }
  std::string_view rest = semi == std::string_view::npos ? std::string_view() : line.substr(semi + 1);
  bool more = semi != std::string_view::npos;
  double f[8] = {};
  for (int k = 0; k < n; ++k) {
    if (!more) break;
    size_t s = rest.find(';');
    if (code == RecText && k == n - 1) {
      // The y field ends at the next ";"; the text is everything after it.
      f[k] = ReadNumber(rest.substr(0, s));
      rest = s == std::string_view::npos ? std::string_view() : rest.substr(s + 1);
      break;
    }
    const bool integer = IntegerField(static_cast<int>(code), k) && code != RecWindow;
    f[k] = integer ? ReadInteger(rest.substr(0, s)) : ReadNumber(rest.substr(0, s));
    more = s != std::string_view::npos;
    rest = more ? rest.substr(s + 1) : std::string_view();
  }
  if (code == RecText) {
    appendText(f[0], f[1], std::string(rest));
    return;
  }
  uint32_t first;
  if (!room(n, first)) return;
  for (int k = 0; k < n; ++k) values_[first + k] = RecordValue(f[k]);
  recs_.push_back({first, static_cast<int16_t>(code), static_cast<uint8_t>(n)});
}

const std::string& DisplayList::text(size_t i) const {
  static const std::string empty;
  const Rec& r = recs_[i];
  if (r.code != 0 && r.code != RecText) return empty;
  const auto index = static_cast<size_t>(values_[r.first + r.count]);
  return index < texts_.size() ? texts_[index] : empty;
}

std::string DisplayList::line(size_t i) const {
  const Rec& r = recs_[i];
  if (r.code == 0) return text(i);
  std::string s = std::to_string(r.code);
  const double* f = fields(i);
  for (int k = 0; k < r.count; ++k) {
    s += ';';
    if (IntegerField(r.code, k) && std::isfinite(f[k]) && std::abs(f[k]) < 1e15 && f[k] == std::trunc(f[k]))
      s += std::to_string(static_cast<long long>(f[k]));
    else
      s += RecordReal(f[k]);
  }
  if (r.code == RecText) {
    s += ';';
    s += text(i);
  }
  return s;
}

// ---------------------------------------------------------------------------
// Mapping

int32_t RoundPixel(long double v) {
  if (!(v < 2147483647.0L)) return std::isnan(v) ? 0 : std::numeric_limits<int32_t>::max();
  if (!(v > -2147483648.0L)) return std::numeric_limits<int32_t>::min();
  // Adding and taking away 1.5 * 2^52 rounds a double to an integer in the
  // current (nearest, ties to even) rounding mode, without a library call.
  constexpr double magic = 6755399441055744.0;
  const double d = static_cast<double>(v);
  return static_cast<int32_t>((d + magic) - magic);
}

GraphWindow::GraphWindow() {
  int w = Settings.ScreenWidth, h = Settings.ScreenHeight;
  if (w == 0 || w == 65535) w = 640;
  if (h == 0 || h == 65535) h = 480;
  W_ = w;
  H_ = h;
}

void GraphWindow::SetDrawingArea(int w, int h) {
  W_ = std::clamp(w, 1, 65534);
  H_ = std::clamp(h, 1, 65534);
}

void GraphWindow::record(int code, std::initializer_list<double> fields) {
  if (list_) list_->append(code, fields);
}

Rect32 GraphWindow::viewportOf(const Viewport& f) const {
  Rect32 v{RoundPixel(f.vx1 * W_), RoundPixel((1 - f.vy2) * H_), RoundPixel(f.vx2 * W_), RoundPixel((1 - f.vy1) * H_)};
  if (f.inset) {
    v.left = Clamp32(v.left + 1LL);
    v.top = Clamp32(v.top + 1LL);
    v.right = Clamp32(v.right - 1LL);
    v.bottom = Clamp32(v.bottom - 1LL);
  }
  return v;
}

void GraphWindow::SetWindow(long double vx1, long double vy1, long double vx2, long double vy2,
                            long double xmin, long double ymin, long double xmax, long double ymax,
                            bool keepAspect, bool inset) {
  viewport_ = {vx1, vy1, vx2, vy2, inset, keepAspect};
  const Rect32 v = viewportOf(viewport_);
  vp_ = v;
  if (list_) windowRecords_.push_back({list_->size(), viewport_});
  record(RecWindow, {double(v.left), double(v.top), double(v.right), double(v.bottom), double(xmin),
                     double(ymin), double(xmax), double(ymax)});
  world_ = {xmin, ymin, xmax, ymax};
  keepAspect_ = keepAspect;
  // A window without width or height (or one that is not a number) cannot
  // be mapped.
  if (!(xmax != xmin) || !(ymax != ymin) || !std::isfinite(xmax - xmin) || !std::isfinite(ymax - ymin)) {
    Session.AbortFlag = true;
    return;
  }
  SetScale(v.left, v.top, v.right, v.bottom);
}

void GraphWindow::Resize(int w, int h) {
  w = std::clamp(w, 1, 65534);
  h = std::clamp(h, 1, 65534);
  if (w == W_ && h == H_) return;
  const Rect32 old = vp_;
  SetDrawingArea(w, h);
  // Every window record is mapped anew onto the new drawing area.
  if (list_)
    for (const auto& [index, fractions] : windowRecords_) {
      if (index >= list_->size() || list_->code(index) != RecWindow) continue;
      const Rect32 r = viewportOf(fractions);
      list_->setField(index, 0, r.left);
      list_->setField(index, 1, r.top);
      list_->setField(index, 2, r.right);
      list_->setField(index, 3, r.bottom);
    }
  vp_ = viewportOf(viewport_);
  // The zoom shows the same part of the world window as before, with the
  // fractions a mouse zoom left; one too deep for the new size shows the
  // whole viewport.
  auto along = [](long double z, int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
    return a1 == a0 ? (long double)b0 : b0 + (z - a0) * (b1 - b0) / (a1 - a0);
  };
  const RectReal& z = zoomExact_;
  const RectReal mapped{along(z.left, old.left, old.right, vp_.left, vp_.right),
                        along(z.top, old.top, old.bottom, vp_.top, vp_.bottom),
                        along(z.right, old.left, old.right, vp_.left, vp_.right),
                        along(z.bottom, old.top, old.bottom, vp_.top, vp_.bottom)};
  if (!setZoomExact(mapped)) ResetZoom();
}

void GraphWindow::SetScale(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (right == left || bottom == top) return;
  zoom_ = {left, top, right, bottom};
  zoomExact_ = {static_cast<long double>(left), static_cast<long double>(top), static_cast<long double>(right),
                static_cast<long double>(bottom)};
  apply(zoomExact_);
}

bool GraphWindow::setZoomExact(const RectReal& r) {
  if (!(r.right - r.left != 0) || !(r.bottom - r.top != 0)) return false;
  const Rect32 rounded{RoundPixel(r.left), RoundPixel(r.top), RoundPixel(r.right), RoundPixel(r.bottom)};
  // Deeper than the integer rectangle can say: the keys and the band would
  // lose the view, so the zoom stops here.
  if (rounded.right == rounded.left || rounded.bottom == rounded.top) return false;
  zoom_ = rounded;
  zoomExact_ = r;
  apply(zoomExact_);
  return true;
}

void GraphWindow::apply(const RectReal& r) {
  const long double left = r.left, top = r.top, right = r.right, bottom = r.bottom;
  const long double L = vp_.left, R = vp_.right, T = vp_.top, B = vp_.bottom;
  if (R == L || B == T) return;  // a viewport without width or height keeps the old mapping
  const long double dx = world_.xmax - world_.xmin, dy = world_.ymax - world_.ymin;
  const long double nx0 = world_.xmin + (left - L) / (R - L) * dx;
  const long double nx1 = world_.xmin + (right - L) / (R - L) * dx;
  const long double ny0 = world_.ymin + (top - T) / (B - T) * dy;
  const long double ny1 = world_.ymin + (bottom - T) / (B - T) * dy;
  long double sx = (R - L) / (nx1 - nx0);
  long double sy = (B - T) / (ny1 - ny0);
  // World units are square: the smaller scale wins.
  if (keepAspect_) sx = sy = std::min(sx, sy);
  if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(nx0) || !std::isfinite(ny0)) return;
  x0_ = nx0;
  x1_ = nx1;
  y0_ = ny0;
  y1_ = ny1;
  scaleX_ = sx;
  scaleY_ = sy;
}

int32_t GraphWindow::X(long double x) const { return Clamp32(vp_.left + (long long)RoundPixel((x - x0_) * scaleX_)); }
int32_t GraphWindow::Y(long double y) const { return Clamp32(vp_.bottom - (long long)RoundPixel((y - y0_) * scaleY_)); }

void GraphWindow::Header(long double xmin, long double ymin, long double xmax, long double ymax) {
  SetWindow(0, 0, 1, 1, xmin, ymin, xmax, ymax, true, true);
  SetLineStyle(0);
  SaveLimit();
}

void GraphWindow::SaveLimit() { DrawingLimits = world_; }

void GraphWindow::RestoreLimit() {
  SetWindow(0, 0, 1, 1, DrawingLimits.xmin, DrawingLimits.ymin, DrawingLimits.xmax, DrawingLimits.ymax, true, true);
}

void GraphWindow::ReSetWindow() {
  SetWindow(0, 0, 1, 1, 0, 0, 1, 1, false, false);
  ResetZoom();
}

void GraphWindow::ResetZoom() { SetScale(vp_.left, vp_.top, vp_.right, vp_.bottom); }
void GraphWindow::SaveViewPort() { savedVp_ = vp_; }
void GraphWindow::RetrieveViewPort() { vp_ = savedVp_; }

void GraphWindow::Regen() {
  RestoreLimit();
  SetWindow(0, 0, 1, 1, 0, 0, 1, 1, true, true);
  ResetZoom();
  SetScale(zoom_.left, zoom_.top, zoom_.right, zoom_.bottom);
  ClearViewPort();
}

void GraphWindow::Clear() {
  if (list_) list_->clear();
  windowRecords_.clear();
  // An empty list holds no colour, style or width: the next selection of
  // each must be recorded even when it equals the last one recorded before,
  // or the new picture would be replayed in the replay's start colour.
  colour_ = style_ = width_ = -1;
  if (host_) host_->invalidateWindow();
}

void GraphWindow::ClearViewPort() {
  SetWaitCursor();
  if (host_) host_->invalidateWindow();
}

void GraphWindow::SetWaitCursor() {
  if (host_) host_->setWaitCursor(true);
}
void GraphWindow::SetOldCursor() {
  if (host_) host_->setWaitCursor(false);
}

// ---------------------------------------------------------------------------
// Recording

void GraphWindow::line(long double x1, long double y1, long double x2, long double y2) {
  record(RecLine, {double(x1), double(y1), double(x2), double(y2)});
}

void GraphWindow::circle(long double x, long double y, long double radius) {
  record(RecCircle, {double(x), double(y), double(radius)});
}

namespace {

// The ends of an arc as the recording has them: the centre plus the radius
// times the cosine and sine of each angle, worked out in extended precision
// and cut to record precision.
struct ArcEnds {
  double sx, sy, ex, ey;
};

ArcEnds ArcEndsExtended(long double x, long double y, long double a1, long double a2, long double r) {
  const long double s1 = a1 * kPi / 180, s2 = a2 * kPi / 180;
  return {double(x + r * std::cos(s1)), double(y + r * std::sin(s1)), double(x + r * std::cos(s2)),
          double(y + r * std::sin(s2))};
}

// The same ends in double precision, which costs a tenth of the extended
// trigonometry. Each end is off the extended one by at most a few units in
// the last place of the radius and of the end itself; where that could
// change the recorded value (an end near a half of the last recorded digit,
// or next to nothing against the centre and radius) the extended ends are
// worked out instead, so the records are the same either way.
ArcEnds ArcEndsOf(double x, double y, double a1, double a2, double r) {
  constexpr double kLargestAngle = 1e4;  // degrees; beyond, the extended angle itself is less exact
  if (std::fabs(a1) <= kLargestAngle && std::fabs(a2) <= kLargestAngle) {
    constexpr double kRadian = 3.14159265358979323846 / 180;
    const double s1 = std::fmod(a1, 360.0) * kRadian, s2 = std::fmod(a2, 360.0) * kRadian;
    const ArcEnds e{x + r * std::cos(s1), y + r * std::sin(s1), x + r * std::cos(s2), y + r * std::sin(s2)};
    const double radiusError = 8e-15 * std::fabs(r);
    auto settled = [radiusError](double v) { return RecordValueSettled(v, radiusError + 8e-16 * std::fabs(v)); };
    if (settled(e.sx) && settled(e.sy) && settled(e.ex) && settled(e.ey)) return e;
  }
  return ArcEndsExtended(x, y, a1, a2, r);
}

}  // namespace

void GraphWindow::Arc(long double x, long double y, long double a1, long double a2, long double r) {
  auto frac = [](long double v) { return v - std::truncl(v); };
  long double sweep = (frac(a2 / 360) - frac(a1 / 360)) * 360;
  if (sweep < 0) sweep += 360;
  // The drawing interface hands over doubles; a caller with more digits
  // gets the extended ends.
  const bool doubles = double(x) == x && double(y) == y && double(a1) == a1 && double(a2) == a2 && double(r) == r;
  const ArcEnds e = doubles ? ArcEndsOf(double(x), double(y), double(a1), double(a2), double(r))
                            : ArcEndsExtended(x, y, a1, a2, r);
  if (std::fabs(sweep) >= 4)
    record(RecArc, {double(x - r), double(y - r), double(x + r), double(y + r), e.sx, e.sy, e.ex, e.ey});
  else
    line(e.sx, e.sy, e.ex, e.ey);
}

void GraphWindow::OutTextXY(long double x, long double y, const std::string& utf8) {
  if (list_) list_->appendText(double(x), double(y), utf8);
}

void GraphWindow::Solid(long double x1, long double y1, long double x2, long double y2, long double x3,
                        long double y3, long double x4, long double y4) {
  record(RecSolid, {double(x1), double(y1), double(x2), double(y2), double(x3), double(y3), double(x4), double(y4)});
}

void GraphWindow::Rectangle(long double x1, long double y1, long double x2, long double y2) {
  line(x1, y1, x2, y1);
  line(x2, y1, x2, y2);
  line(x2, y2, x1, y2);
  line(x1, y2, x1, y1);
}

void GraphWindow::MoveTo(long double x, long double y) {
  penX_ = X(x);
  penY_ = Y(y);
}

void GraphWindow::LineTo(long double x, long double y) {
  const int32_t nx = X(x), ny = Y(y);
  if (host_) host_->overlayLine(penX_, penY_, nx, ny, WindowColour(colour_ >= 0 && colour_ < 16 ? colour_ : 1));
  penX_ = nx;
  penY_ = ny;
}

void GraphWindow::SetColor(int n) {
  if (n <= MaxColour && n != colour_) record(RecColor, {double(n)});
  colour_ = n;
}

void GraphWindow::SetLineStyle(int n) {
  if (n != style_) record(RecLineStyle, {double(n)});
  style_ = n;
}

void GraphWindow::SetLineWidth(int n) {
  if (n != width_) record(RecLineWidth, {double(n)});
  width_ = n;
}

void GraphWindow::SetTextStyle(int font, long double angle, long double height, long double width) {
  record(RecTextStyle, {double(height), double(width), double(font), double(angle)});
}

void GraphWindow::SleepMs(int n) { record(RecSleep, {double(n)}); }

bool GraphWindow::GetDirection(long double a) {
  return (a > 45 && a < 135) || (a > 225 && a < 315) || (a > -135 && a < -45);
}

// The maker's logo: a ring of 41 magenta segments standing on a blue plinth
// of 13 slanted blocks, closed by a blue tail of 3 blocks.
void GraphWindow::DrawQuorvelLogo() {
  Header(-1, -1, 38, 33);
  SetLineStyle(0);
  SetColor(9);
  for (int i = 0; i < 13; ++i) {
    const long double x = 0.3L + i * 2.85L;
    Solid(x, 0, x + 2.2L, 0, x + 2.8L, 2.6L, x + 0.6L, 2.6L);
  }
  SetColor(13);
  const long double cx = 18.5L, cy = 18, ro = 13, ri = 9.5L;
  for (int i = 0; i < 41; ++i) {
    const long double a = 2 * kPi * i / 41 + kPi / 2, b = 2 * kPi * (i + 1) / 41 + kPi / 2 - 0.02L;
    Solid(cx + ri * std::cos(a), cy + ri * std::sin(a), cx + ro * std::cos(a), cy + ro * std::sin(a),
          cx + ro * std::cos(b), cy + ro * std::sin(b), cx + ri * std::cos(b), cy + ri * std::sin(b));
  }
  SetColor(9);
  for (int i = 0; i < 3; ++i) {
    const long double x = 24 + i * 3.3L, y = 10 - i * 2.6L;
    Solid(x, y, x + 2.1L, y + 1.8L, x + 4.4L, y - 0.6L, x + 2.3L, y - 2.4L);
  }
  MoveTo(0, 0);
}

// ---------------------------------------------------------------------------
// View control

void GraphWindow::processKey(int key) {
  bool inTable = true;
  switch (key) {
    case 27:
    case 116:
      KeyAction = {0, '?'};
      ResetZoom();
      break;
    case 33: KeyAction = {0, 'I'}; break;
    case 34: KeyAction = {0, 'Q'}; break;
    case 37: KeyAction = {0, 'K'}; break;
    case 38: KeyAction = {0, 'H'}; break;
    case 39: KeyAction = {0, 'M'}; break;
    case 40: KeyAction = {0, 'P'}; break;
    case 107: KeyAction = {'+', ' '}; break;
    case 109: KeyAction = {'-', ' '}; break;
    default: inTable = false;
  }
  if (inTable) ClearViewPort();

  const long long left = zoom_.left, top = zoom_.top, right = zoom_.right, bottom = zoom_.bottom;
  if (KeyAction[0] == '+' || KeyAction[0] == '-') {
    const long long cx = (left + right) / 2, cy = (top + bottom) / 2;
    const long double z = Settings.Zoom;
    const bool out = KeyAction[0] == '-';
    const long long hy = RoundPixel(out ? (bottom - top) * z : (bottom - top) / z) / 2;
    const long long hx = RoundPixel(out ? (right - left) * z : (right - left) / z) / 2;
    SetScale(Clamp32(cx - hx), Clamp32(cy - hy), Clamp32(cx + hx), Clamp32(cy + hy));
  } else if (KeyAction[0] == 0) {
    const long double p = Settings.Panorama;
    const long long dx = RoundPixel(p * (right - left));
    const long long dy = RoundPixel(p * (bottom - top));
    const long long dy5 = RoundPixel(p * 5 * (bottom - top));
    switch (KeyAction[1]) {
      case 'H': SetScale(Clamp32(left), Clamp32(top - dy), Clamp32(right), Clamp32(bottom - dy)); break;
      case 'P': SetScale(Clamp32(left), Clamp32(top + dy), Clamp32(right), Clamp32(bottom + dy)); break;
      case 'K': SetScale(Clamp32(left + dx), Clamp32(top), Clamp32(right + dx), Clamp32(bottom)); break;
      case 'M': SetScale(Clamp32(left - dx), Clamp32(top), Clamp32(right - dx), Clamp32(bottom)); break;
      case 'I': SetScale(Clamp32(left), Clamp32(top - dy5), Clamp32(right), Clamp32(bottom - dy5)); break;
      case 'Q': SetScale(Clamp32(left), Clamp32(top + dy5), Clamp32(right), Clamp32(bottom + dy5)); break;
      case '?': ResetZoom(); break;
      default: break;
    }
  }
}

void GraphWindow::FormMouseDown(MouseButton button, int x, int y) {
  if (button == MouseButton::Right) {
    ResetZoom();
    ClearViewPort();
  } else if (button == MouseButton::Left) {
    if (doubleClick_) {
      RestoreLimit();
      ResetZoom();
      ReSetWindow();
      ClearViewPort();
    } else if (!dragging_) {
      dragging_ = true;
      startX_ = endX_ = x;
      startY_ = endY_ = y;
      if (host_) host_->bandChanged();
    }
  }
  doubleClick_ = false;
}

void GraphWindow::FormMouseMove(int x, int y) {
  if (!dragging_) return;
  endX_ = x;
  endY_ = y;
  if (host_) host_->bandChanged();
}

void GraphWindow::FormMouseUp(int x, int y) {
  if (!dragging_) return;
  endX_ = x;
  endY_ = y;
  dragging_ = false;
  if (host_) host_->bandChanged();
  if (startX_ == endX_ || startY_ == endY_) return;
  SetWaitCursor();
  // The band's corners in world units through the mapping on the screen,
  // then in the zoom rectangle's base units (L..R is xmin..xmax, T..B is
  // ymin..ymax).
  const long double L = vp_.left, R = vp_.right, T = vp_.top, B = vp_.bottom;
  const long double dx = world_.xmax - world_.xmin, dy = world_.ymax - world_.ymin;
  auto baseX = [&](int px) { return RoundPixel(L + (x0_ + (px - L) / scaleX_ - world_.xmin) / dx * (R - L)); };
  auto baseY = [&](int py) { return RoundPixel(T + (y0_ + (B - py) / scaleY_ - world_.ymin) / dy * (B - T)); };
  const int32_t nl = baseX(std::min(startX_, endX_)), nr = baseX(std::max(startX_, endX_));
  const int32_t nt = baseY(std::max(startY_, endY_)), nb = baseY(std::min(startY_, endY_));
  SetScale(nl, nt, nr, nb);
  ClearViewPort();
}

void GraphWindow::WorldAt(int px, int py, long double& x, long double& y) const {
  x = x0_ + (px - vp_.left) / scaleX_;
  y = y0_ + (vp_.bottom - py) / scaleY_;
}

// The zoom rectangle is in base units: L..R stands for xmin..xmax and T..B
// for ymin..ymax. A world point's base unit and back are linear, so moving
// the rectangle's corner by a world distance moves it by that distance over
// the world per base unit.
void GraphWindow::ZoomAt(int px, int py, long double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  long double wx, wy;
  WorldAt(px, py, wx, wy);
  const long double kx = (world_.xmax - world_.xmin) / (vp_.right - vp_.left);
  const long double ky = (world_.ymax - world_.ymin) / (vp_.bottom - vp_.top);
  // Both scales grow by the factor (the aspect rule keeps their ratio), so
  // the world point under the pixel stays when the left and bottom edges
  // come closer to it by the same factor.
  const long double nx0 = wx - (wx - x0_) / factor, ny0 = wy - (wy - y0_) / factor;
  const RectReal& z = zoomExact_;
  RectReal n;
  n.left = vp_.left + (nx0 - world_.xmin) / kx;
  n.top = vp_.top + (ny0 - world_.ymin) / ky;
  n.right = n.left + (z.right - z.left) / factor;
  n.bottom = n.top + (z.bottom - z.top) / factor;
  if (!std::isfinite(n.left) || !std::isfinite(n.top) || !std::isfinite(n.right) || !std::isfinite(n.bottom)) return;
  setZoomExact(n);
  ClearViewPort();
}

void GraphWindow::PanBy(int dx, int dy) {
  const long double kx = (world_.xmax - world_.xmin) / (vp_.right - vp_.left);
  const long double ky = (world_.ymax - world_.ymin) / (vp_.bottom - vp_.top);
  const long double ux = dx / scaleX_ / kx, uy = dy / scaleY_ / ky;
  if (!std::isfinite(ux) || !std::isfinite(uy)) return;
  const RectReal& z = zoomExact_;
  setZoomExact({z.left - ux, z.top + uy, z.right - ux, z.bottom + uy});
  ClearViewPort();
}

long double GraphWindow::ZoomFactor() const {
  // The scale the whole viewport gives, with the same aspect rule.
  long double sx = (vp_.right - vp_.left) / (world_.xmax - world_.xmin);
  const long double sy = (vp_.bottom - vp_.top) / (world_.ymax - world_.ymin);
  if (keepAspect_) sx = std::min(sx, sy);
  const long double f = scaleX_ / sx;
  return std::isfinite(f) ? f : 1;
}

// ---------------------------------------------------------------------------
// Drawing interface

QuorGraf::~QuorGraf() { H_Done(); }

void QuorGraf::H_Init() {
  list_.clear();
  w_.setList(&list_);
  SetGraphicsSink(this);
}

void QuorGraf::H_Done() {
  list_.clear();
  if (w_.list() == &list_) w_.setList(nullptr);
  if (&CurrentGraphicsSink() == this) SetGraphicsSink(nullptr);
}

void QuorGraf::H_OutTextXY(double x, double y, const std::string& text) { w_.OutTextXY(x, y, ToDisplayText(text)); }

void QuorGraf::H_Message(const std::string& text) { Ui().messageBox("", text); }

void QuorGraf::H_CheckFile(const std::string& name) {
  // A pipe or a device would block the open or never end: only regular
  // files count.
  if (int fd = OpenRegularFile(name); fd >= 0) {
    ::close(fd);
    return;
  }
  H_Message(RemoveBlanks(name) + " pas trouver" + " !");
  Session.AbortFlag = true;
}

}  // namespace planox
