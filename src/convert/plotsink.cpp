// The driver's operations behind the plot sink that the reader and the
// entity emitters call.
#include <cmath>

#include "convert/plot.h"
#include "drawing/report.h"
#include "drawing/sinks.h"

namespace planox {

namespace {

// Every drawing element the emitters hand over is counted once: as left out
// when its colour selects no pen or a value is not a finite number, else as
// written (texts only once the target has taken them).
bool admitted(std::initializer_list<double> values) {
  if (PlotState.currentPen == 0) {
    CountLoss(Loss::NoPen);
    return false;
  }
  for (double v : values)
    if (!std::isfinite(v)) {
      CountLoss(Loss::NotFinite);
      return false;
    }
  return true;
}

bool written(std::initializer_list<double> values) {
  if (!admitted(values)) return false;
  CountWritten();
  return true;
}

class Driver final : public PlotSink {
 public:
  void PlotBegin(int syntaxCode, int deviceCode) override { planox::PlotBegin(syntaxCode, deviceCode); }
  void PlotEnd() override { planox::PlotEnd(); }
  void PlotAbort() override { planox::PlotAbort(); }
  void PlotRotate(int angle) override { planox::PlotRotate(angle); }
  void PlotSelectPen(int pen) override { planox::PlotSelectPen(pen); }
  void PlotLineType(int code) override { planox::PlotLineType(code); }
  void PlotMoveTo(bool force, double x, double y) override { planox::PlotMoveTo(force, x, y); }
  void PlotDrawTo(bool force, double x, double y) override { planox::PlotDrawTo(force, x, y); }
  void PlotLine(double x1, double y1, double x2, double y2) override {
    if (written({x1, y1, x2, y2})) planox::PlotLine(x1, y1, x2, y2);
  }
  void PlotCircle(double x, double y, double r) override {
    if (written({x, y, r})) planox::PlotCircle(x, y, r);
  }
  void PlotArc(double x, double y, double a1, double a2, double r, double direction) override {
    if (written({x, y, a1, a2, r})) planox::PlotArc(x, y, a1, a2, r, direction);
  }
  void PlotSolid(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                 double y4) override {
    if (written({x1, y1, x2, y2, x3, y3, x4, y4})) planox::PlotSolid({x1, y1}, {x2, y2}, {x3, y3}, {x4, y4});
  }
  void PlotTextStyle(int font, double angle, double height, double width) override {
    planox::PlotTextStyle(font, angle, height, width);
  }
  void PlotTextAlign(int horizontal, int vertical) override { planox::PlotTextAlign(horizontal, vertical); }
  void PlotText(const std::string& text, double x, double y) override {
    if (admitted({x, y}) && planox::PlotText(text, x, y)) CountWritten();
  }
  std::vector<std::string> PlotOutputFiles(int syntaxCode, int deviceCode) const override {
    return planox::PlotOutputFiles(syntaxCode, deviceCode);
  }
};

}  // namespace

PlotSink& DriverPlotSink() {
  static Driver driver;
  return driver;
}

void InstallPlotDriver() { SetPlotSink(&DriverPlotSink()); }

}  // namespace planox
