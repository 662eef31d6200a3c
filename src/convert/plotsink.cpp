// The driver's operations behind the plot sink that the reader and the
// entity emitters call.
#include "convert/plot.h"
#include "drawing/sinks.h"

namespace planox {

namespace {

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
  void PlotLine(double x1, double y1, double x2, double y2) override { planox::PlotLine(x1, y1, x2, y2); }
  void PlotCircle(double x, double y, double r) override { planox::PlotCircle(x, y, r); }
  void PlotArc(double x, double y, double a1, double a2, double r, double direction) override {
    planox::PlotArc(x, y, a1, a2, r, direction);
  }
  void PlotSolid(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                 double y4) override {
    planox::PlotSolid({x1, y1}, {x2, y2}, {x3, y3}, {x4, y4});
  }
  void PlotTextStyle(int font, double angle, double height, double width) override {
    planox::PlotTextStyle(font, angle, height, width);
  }
  void PlotTextAlign(int horizontal, int vertical) override { planox::PlotTextAlign(horizontal, vertical); }
  void PlotText(const std::string& text, double x, double y) override { planox::PlotText(text, x, y); }
};

}  // namespace

PlotSink& DriverPlotSink() {
  static Driver driver;
  return driver;
}

void InstallPlotDriver() { SetPlotSink(&DriverPlotSink()); }

}  // namespace planox
