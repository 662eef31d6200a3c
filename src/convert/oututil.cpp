#include "convert/oututil.h"

#include <unistd.h>

#include <cmath>

#include <cstdio>
#include <vector>

#include "base/prompts.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/textconv.h"
#include "base/vektor.h"
#include "convert/plot.h"

namespace planox {

std::FILE* OpenWorkFile(const std::string& prefix, std::string& name) {
  const std::string dir = PlotState.channel == 3 ? std::string("./") : WorkDir();
  name = dir + prefix + "-XXXXXX.$$$";
  int fd = mkstemps(name.data(), 4);
  if (fd < 0) return nullptr;
  std::remove(name.c_str());
  std::FILE* f = fdopen(fd, "w+b");
  if (!f) ::close(fd);
  return f;
}

bool CopyWorkFile(std::FILE* work) {
  if (std::fflush(work) != 0 || std::fseek(work, 0, SEEK_SET) != 0) return false;
  // A megabyte at a time, which the channel passes on without a copy.
  std::vector<char> buf(1 << 20);
  size_t n;
  while (!ConversionFailed() && (n = std::fread(buf.data(), 1, buf.size(), work)) > 0)
    PlotWrite(std::string_view(buf.data(), n));
  return !std::ferror(work);
}

std::string PointRealText(double x) {
  std::string s;
  AppendRealText(s, x, true);
  return s;
}

std::string PointRealDecimals(double x, int decimals) {
  std::string s;
  AppendRealDecimals(s, x, decimals, true);
  return s;
}

void AppendPointFixed(std::string& out, double x, int decimals, bool trimZeros) {
  static const double halves[] = {0.5,  0.5e-1, 0.5e-2, 0.5e-3, 0.5e-4, 0.5e-5,
                                  0.5e-6, 0.5e-7, 0.5e-8, 0.5e-9, 0.5e-10};
  const double half = decimals >= 0 && decimals <= 10 ? halves[decimals] : 0.5 * std::pow(10.0, -decimals);
  if (std::fabs(x) < half) x = 0;
  const std::size_t start = out.size();
  AppendFixed(out, x, decimals < 0 ? 6 : decimals);
  if (trimZeros && out.find('.', start) != std::string::npos) {
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
  }
}

std::string PointFixed(double x, int decimals, bool trimZeros) {
  std::string s;
  AppendPointFixed(s, x, decimals, trimZeros);
  return s;
}

double FiniteOrZero(long double x) {
  double d = static_cast<double>(x);
  return std::isfinite(d) ? d : 0.0;
}

PlotExtents StoredExtents() {
  const Extents& e = Session.DrawingExtents;
  return {FiniteOrZero(e.XMin), FiniteOrZero(e.YMin), FiniteOrZero(e.XMax), FiniteOrZero(e.YMax)};
}

PlotExtents PlotterExtents() {
  const Extents& e = Session.DrawingExtents;
  auto x = [](long double v) { return FiniteOrZero(v * Settings.PlotScale + Settings.PlotOriginX); };
  auto y = [](long double v) { return FiniteOrZero(v * Settings.PlotScale + Settings.PlotOriginY); };
  return {x(e.XMin), y(e.YMin), x(e.XMax), y(e.YMax)};
}

long long BeginWholeDegreeArc(double cx, double cy, double r, double a1, double a2) {
  const double c1 = std::ceil(a1);
  double sweep = std::floor(a2) - c1;
  if (sweep < 0) sweep += 360;
  const double x1 = ArcX(cx, r, a1), y1 = ArcY(cy, r, a1);
  if (a1 == c1)
    PlotMoveTo(false, x1, y1);
  else
    PlotLine(x1, y1, ArcX(cx, r, c1), ArcY(cy, r, c1));
  PlotPenDown();
  return static_cast<long long>(sweep);
}

bool ConversionFailed() { return Session.AbortFlag; }

}  // namespace planox
