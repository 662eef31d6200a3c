#include "convert/oututil.h"

#include <cmath>

#include "app/session.h"
#include "app/textconv.h"
#include "convert/plot.h"

namespace planox {

std::string PointRealText(double x) { return CommaToPoint(RealToText(x)); }

std::string PointRealDecimals(double x, int decimals) {
  return CommaToPoint(RealToTextDecimals(x, decimals));
}

std::string PointFixed(double x, int decimals, bool trimZeros) {
  char buf[400];
  double half = 0.5 * std::pow(10.0, -decimals);
  if (std::fabs(x) < half) x = 0;
  int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, x);
  std::string s(buf, n > 0 && n < static_cast<int>(sizeof buf) ? n : 0);
  if (trimZeros && s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
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

bool ConversionFailed() { return Session.AbortFlag; }

}  // namespace planox
