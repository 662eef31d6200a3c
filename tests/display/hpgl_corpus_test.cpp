// What the converter writes, drawn back: every corpus drawing is converted
// to HP-GL, HP-GL/2 and the laser job, each file is drawn by the HP-GL
// interpreter, and its lines and arcs are compared with those of the
// drawing's own display list, both ways.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <unordered_map>

#include "base/session.h"
#include "base/textconv.h"
#include "config/configio.h"
#include "convert/plot.h"
#include "display/hpglin.h"
#include "display/quorgraf.h"
#include "drawing/dxfin.h"
#include "drawing/sinks.h"
#include "support/testsupport.h"

namespace planox {
namespace {

constexpr double TwoPi = 2 * M_PI;

// A segment, or an arc counter-clockwise from angle a over sweep.
struct Shape {
  bool arc = false;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double cx = 0, cy = 0, r = 0, a = 0, sweep = 0;

  double length() const { return arc ? r * sweep : std::hypot(x2 - x1, y2 - y1); }
  void at(double t, double& x, double& y) const {
    if (arc) {
      x = cx + r * std::cos(a + t * sweep);
      y = cy + r * std::sin(a + t * sweep);
    } else {
      x = x1 + t * (x2 - x1);
      y = y1 + t * (y2 - y1);
    }
  }
  double distance(double x, double y) const {
    if (!arc) {
      const double dx = x2 - x1, dy = y2 - y1, l2 = dx * dx + dy * dy;
      double t = l2 > 0 ? ((x - x1) * dx + (y - y1) * dy) / l2 : 0;
      t = std::clamp(t, 0.0, 1.0);
      return std::hypot(x - x1 - t * dx, y - y1 - t * dy);
    }
    double d = std::fmod(std::atan2(y - cy, x - cx) - a, TwoPi);
    if (d < 0) d += TwoPi;
    if (d <= sweep) return std::fabs(std::hypot(x - cx, y - cy) - r);
    double ex, ey, sx, sy;
    at(0, sx, sy);
    at(1, ex, ey);
    return std::min(std::hypot(x - sx, y - sy), std::hypot(x - ex, y - ey));
  }
};

std::vector<Shape> Shapes(const DisplayList& l) {
  std::vector<Shape> v;
  for (size_t i = 0; i < l.size(); ++i) {
    const double* f = l.fields(i);
    switch (l.code(i)) {
      case RecLine:
        // A line without length plots nothing.
        if (f[0] != f[2] || f[1] != f[3]) v.push_back({false, f[0], f[1], f[2], f[3]});
        break;
      case RecCircle: v.push_back({true, 0, 0, 0, 0, f[0], f[1], f[2], 0, TwoPi}); break;
      case RecArc: {
        Shape s{true};
        s.cx = (f[0] + f[2]) / 2;
        s.cy = (f[1] + f[3]) / 2;
        s.r = (f[2] - f[0]) / 2;
        s.a = std::atan2(f[5] - s.cy, f[4] - s.cx);
        s.sweep = std::fmod(std::atan2(f[7] - s.cy, f[6] - s.cx) - s.a, TwoPi);
        if (s.sweep <= 0) s.sweep += TwoPi;
        v.push_back(s);
        break;
      }
      case RecSolid:
        for (int k = 0; k < 4; ++k)
          v.push_back({false, f[2 * k], f[2 * k + 1], f[(2 * k + 2) % 8], f[(2 * k + 3) % 8]});
        break;
      default: break;
    }
  }
  return v;
}

// The shapes of one list found by position: each is entered in the grid
// cells its path runs through.
class Grid {
 public:
  Grid(const std::vector<Shape>& shapes, double cell) : shapes_(shapes), cell_(cell) {
    for (size_t i = 0; i < shapes.size(); ++i) {
      const Shape& s = shapes[i];
      const int steps = static_cast<int>(std::min(100000.0, std::ceil(s.length() / (cell / 2)))) + 1;
      long long last = std::numeric_limits<long long>::min();
      for (int k = 0; k <= steps; ++k) {
        double x, y;
        s.at(static_cast<double>(k) / steps, x, y);
        const long long key = keyOf(x, y);
        if (key != last) cells_[key].push_back(static_cast<uint32_t>(i));
        last = key;
      }
    }
  }
  double nearest(double x, double y) const {
    double best = std::numeric_limits<double>::infinity();
    const long long cx = cellOf(x), cy = cellOf(y);
    for (long long i = cx - 1; i <= cx + 1; ++i)
      for (long long j = cy - 1; j <= cy + 1; ++j) {
        auto it = cells_.find(i * 2000003 + j);
        if (it == cells_.end()) continue;
        for (uint32_t k : it->second) best = std::min(best, shapes_[k].distance(x, y));
      }
    return best;
  }

 private:
  long long cellOf(double v) const { return static_cast<long long>(std::floor(v / cell_)); }
  long long keyOf(double x, double y) const { return cellOf(x) * 2000003 + cellOf(y); }
  const std::vector<Shape>& shapes_;
  double cell_;
  std::unordered_map<long long, std::vector<uint32_t>> cells_;
};

struct Match {
  long samples = 0, within = 0;
  double worst = 0;
};

// How much of `from` lies within tol of `to`.
Match Compare(const std::vector<Shape>& from, const Grid& to, double cell, double tol) {
  Match m;
  for (const Shape& s : from) {
    const int n = static_cast<int>(std::min(64.0, std::ceil(s.length() / cell))) + 1;
    for (int k = 0; k <= n; ++k) {
      double x, y;
      s.at(static_cast<double>(k) / n, x, y);
      const double d = to.nearest(x, y);
      ++m.samples;
      if (d <= tol) ++m.within;
      if (std::isfinite(d)) m.worst = std::max(m.worst, d);
      else m.worst = std::max(m.worst, cell);
    }
  }
  return m;
}

class ConvertedPlots : public test::Defaults {
 protected:
  void SetUp() override {
    test::Defaults::SetUp();
    Settings.TempDir = dir.path();
    char buf[4096];
    old_ = getcwd(buf, sizeof buf) ? buf : "/";
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    quor.H_Init();
    InstallPlotDriver();
  }
  void TearDown() override {
    SetPlotSink(nullptr);
    quor.H_Done();
    if (chdir(old_.c_str()) != 0) ADD_FAILURE() << "cannot go back";
    test::Defaults::TearDown();
  }
  bool read(const std::string& file, int mode) {
    Session.InPath = DirectoryPart(file);
    Session.DrawingName = BaseName(file);
    Session.FileExtension = file.substr(file.rfind('.') + 1);
    Session.AbortFlag = false;
    ReadDrawing(ReadHeaderOnly);
    if (Session.AbortFlag) return false;
    Session.AbortFlag = false;
    ReadDrawing(mode);
    return !Session.AbortFlag;
  }

  test::TempDir dir;
  GraphWindow window;
  QuorGraf quor{window};
  std::string old_;
};

TEST_F(ConvertedPlots, DrawTheSameLinesAsTheDrawing) {
  SKIP_WITHOUT_CORPUS();
  struct Totals {
    int files = 0;
    Match drawingInPlot, plotInDrawing;
    std::string worstFile;
    double worst = 0;
  };
  std::map<int, Totals> totals;
  const double tol = 0.05;  // two plotter units
  for (const std::string& file : test::CorpusFiles()) {
    SCOPED_TRACE(file);
    quor.H_Clear();
    SetGraphicsSink(&quor);  // the plot files' windows took it over
    if (!read(file, ReadForDisplay)) continue;
    const std::vector<Shape> drawing = Shapes(quor.list());
    if (drawing.empty()) continue;
    for (int target : {TargetHpgl, TargetHpgl2, TargetHpglLaser}) {
      Session.PlotFile = "P" + IntToText(target);
      Settings.SyntaxCode = static_cast<uint16_t>(target);
      Settings.DeviceCode = 3;
      if (!read(file, ReadForConversion)) continue;
      const std::string out = Session.PlotFile + "." + TargetExtension(target);
      GraphWindow w;
      QuorGraf q(w);
      q.H_Init();
      ResetHpglState();
      ASSERT_TRUE(InterpretHpglFile(out, q)) << out;
      const std::vector<Shape> plot = Shapes(q.list());
      q.H_Done();
      double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
      for (const Shape& s : drawing) {
        for (double t : {0.0, 0.5, 1.0}) {
          double x, y;
          s.at(t, x, y);
          x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
      }
      const double cell = std::max({(x1 - x0) / 400, (y1 - y0) / 400, 1.0});
      const Grid plotGrid(plot, cell), drawingGrid(drawing, cell);
      const Match a = Compare(drawing, plotGrid, cell, tol), b = Compare(plot, drawingGrid, cell, tol);
      Totals& t = totals[target];
      ++t.files;
      t.drawingInPlot.samples += a.samples;
      t.drawingInPlot.within += a.within;
      t.plotInDrawing.samples += b.samples;
      t.plotInDrawing.within += b.within;
      const double worst = std::max(a.worst, b.worst);
      if (worst > t.worst) t.worst = worst, t.worstFile = file;
      std::remove(out.c_str());
    }
  }
  for (const auto& [target, t] : totals) {
    const double a = 100.0 * t.drawingInPlot.within / std::max(1L, t.drawingInPlot.samples);
    const double b = 100.0 * t.plotInDrawing.within / std::max(1L, t.plotInDrawing.samples);
    std::printf("target %d: %d drawings, %.3f%% of the drawing within %.2f mm of the plot, %.3f%% of the plot "
                "within %.2f mm of the drawing; worst %.3g mm in %s\n",
                target, t.files, a, tol, b, tol, t.worst, t.worstFile.c_str());
    EXPECT_GT(t.files, 50);
    EXPECT_GE(a, 99.8) << "target " << target;
    EXPECT_GE(b, 99.9) << "target " << target;
  }
}

}  // namespace
}  // namespace planox
