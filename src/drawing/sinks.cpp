#include "drawing/sinks.h"

namespace planox {

namespace {

class NullGraphicsSink final : public GraphicsSink {
 public:
  void H_ClearViewPort() override {}
  void H_SetLineStyleName(const std::string&) override {}
  void H_SetColor(int) override {}
  void H_Line(double, double, double, double) override {}
  void H_Circle(double, double, double) override {}
  void H_Arc(double, double, double, double, double) override {}
  void H_Solid(double, double, double, double, double, double, double, double) override {}
  void H_SetTextStyle(int, double, double, double) override {}
  void H_SetTextJustify(int, int) override {}
  void H_OutTextXY(double, double, const std::string&) override {}
};

class NullPlotSink final : public PlotSink {
 public:
  void PlotBegin(int, int) override {}
  void PlotEnd() override {}
  void PlotAbort() override {}
  void PlotRotate(int) override {}
  void PlotSelectPen(int) override {}
  void PlotLineType(int) override {}
  void PlotMoveTo(bool, double, double) override {}
  void PlotDrawTo(bool, double, double) override {}
  void PlotLine(double, double, double, double) override {}
  void PlotCircle(double, double, double) override {}
  void PlotArc(double, double, double, double, double, double) override {}
  void PlotSolid(double, double, double, double, double, double, double, double) override {}
  void PlotTextStyle(int, double, double, double) override {}
  void PlotTextAlign(int, int) override {}
  void PlotText(const std::string&, double, double) override {}
};

NullGraphicsSink nullGraphics;
NullPlotSink nullPlot;
GraphicsSink* graphics = &nullGraphics;
PlotSink* plot = &nullPlot;

}  // namespace

void SetGraphicsSink(GraphicsSink* sink) { graphics = sink ? sink : &nullGraphics; }
void SetPlotSink(PlotSink* sink) { plot = sink ? sink : &nullPlot; }
GraphicsSink& CurrentGraphicsSink() { return *graphics; }
PlotSink& CurrentPlotSink() { return *plot; }

}  // namespace planox
