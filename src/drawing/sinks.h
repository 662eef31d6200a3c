// The two places the entity emitters send a drawing to: the drawing
// interface of the graphics window (display reads) and the output driver
// (conversion reads). The reader knows them only through these interfaces;
// the graphics window and the driver implement them and register their
// object with SetGraphicsSink / SetPlotSink. Until something is registered
// the calls go to sinks that do nothing.
//
// Coordinates, lengths and angles are drawing units and degrees for the
// graphics sink, output millimetres (after PlotScale and PlotOrigin) and
// degrees for the plot sink. Texts are code page 850 bytes.
#pragma once

#include <string>
#include <vector>

namespace planox {

// The calls the emitters make of the drawing interface QuorGraf.
class GraphicsSink {
 public:
  virtual ~GraphicsSink() = default;
  virtual void H_ClearViewPort() = 0;
  virtual void H_SetLineStyleName(const std::string& name) = 0;
  virtual void H_SetColor(int n) = 0;
  virtual void H_Line(double x1, double y1, double x2, double y2) = 0;
  virtual void H_Circle(double x, double y, double radius) = 0;
  virtual void H_Arc(double x, double y, double startAngle, double endAngle, double radius) = 0;
  virtual void H_Solid(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                       double y4) = 0;
  virtual void H_SetTextStyle(int font, double angle, double height, double width) = 0;
  virtual void H_SetTextJustify(int horizontal, int vertical) = 0;
  virtual void H_OutTextXY(double x, double y, const std::string& text) = 0;
};

// The calls the reader and the emitters make of the output driver. PlotBegin
// sets Session.AbortFlag when the channel cannot be opened.
class PlotSink {
 public:
  virtual ~PlotSink() = default;
  virtual void PlotBegin(int syntaxCode, int deviceCode) = 0;
  virtual void PlotEnd() = 0;
  // The read ended before PlotEnd: nothing of the output is kept.
  virtual void PlotAbort() = 0;
  virtual void PlotRotate(int angle) = 0;
  virtual void PlotSelectPen(int pen) = 0;
  virtual void PlotLineType(int code) = 0;
  virtual void PlotMoveTo(bool force, double x, double y) = 0;
  virtual void PlotDrawTo(bool force, double x, double y) = 0;
  virtual void PlotLine(double x1, double y1, double x2, double y2) = 0;
  virtual void PlotCircle(double x, double y, double radius) = 0;
  // direction: the signed included angle of a polyline arc, 1 for ARC.
  virtual void PlotArc(double x, double y, double startAngle, double endAngle, double radius,
                       double direction) = 0;
  // Corners in outline order.
  virtual void PlotSolid(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                         double y4) = 0;
  virtual void PlotTextStyle(int font, double angle, double height, double width) = 0;
  virtual void PlotTextAlign(int horizontal, int vertical) = 0;
  virtual void PlotText(const std::string& text, double x, double y) = 0;
  // The files a conversion to the target over the channel would write,
  // which the reader refuses to overwrite with its own drawing.
  virtual std::vector<std::string> PlotOutputFiles(int syntaxCode, int deviceCode) const {
    (void)syntaxCode, (void)deviceCode;
    return {};
  }
};

// Registry. nullptr puts the do-nothing sink back. The objects stay owned
// by the caller and must outlive their registration.
void SetGraphicsSink(GraphicsSink* sink);
void SetPlotSink(PlotSink* sink);
GraphicsSink& CurrentGraphicsSink();
PlotSink& CurrentPlotSink();

}  // namespace planox
