#include "convert/dxfwrite.h"

#include <string_view>

#include "base/session.h"
#include "base/textconv.h"
#include "convert/oututil.h"
#include "drawing/dxfout.h"

namespace planox {

bool DxfSingleColourLayers = false;

namespace {

void Group(std::vector<std::string>& lines, int code, std::string_view value) {
  lines.push_back(IntToTextBlank(code, 3));
  lines.emplace_back(value);
}

void Real(std::vector<std::string>& lines, int code, double x) { Group(lines, code, DxfRealText(x)); }

class DxfPlotWriter final : public PlotWriter {
 public:
  DxfPlotWriter() { dxf_.SetCopy(&groups_); }

  void header() override {
    PlotExtents e = PlotterExtents();
    std::vector<std::string> lines;
    DxfHeader(lines, e.xMin, e.yMin, e.xMax, e.yMax);
    DxfTables(lines);
    DxfBeginEntities(lines);
    for (const std::string& l : lines) PlotWriteLine(l);
  }

  void trailer() override {
    if (ConversionFailed()) return;
    std::vector<std::string> lines;
    DxfEndSection(lines);
    for (const std::string& l : lines) PlotWriteLine(l);
    dxf_.DxfEnd();
    Flush();
  }

  void selectPen(int pen) override { dxf_.DxfSetLayer(IntToText(pen - 1)); }

  void drawTo(double x, double y) override {
    dxf_.DxfLine(PlotState.curX, PlotState.curY, x, y);
    Flush();
  }

  // DXF stores the corners of a solid as p1, p2, p4, p3.
  void solid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4) override {
    dxf_.DxfSolid(p1.x, p1.y, p2.x, p2.y, p4.x, p4.y, p3.x, p3.y);
    Flush();
  }

  void circle(double cx, double cy, double r) override {
    dxf_.DxfCircle(cx, cy, r);
    Flush();
  }

  void arc(double cx, double cy, double a1, double a2, double r, double) override {
    dxf_.DxfArc(cx, cy, a1, a2, r);
    Flush();
  }

  void textStyle(int, double angle, double height, double width) override {
    dxf_.DxfTextStyle(width, height, angle);
  }

  bool text(const std::string& text) override {
    dxf_.DxfText(BlankControls(text), PlotState.textX, PlotState.textY);
    Flush();
    return true;
  }

 private:
  // The entity operations collect their groups; they go to the channel here,
  // the lines of one entity written together.
  void Flush() {
    out_.clear();
    for (const DxfGroup& g : groups_) {
      AppendIntPadded(out_, g.code, 3, ' ');
      out_ += "\r\n";
      out_ += g.value;
      out_ += "\r\n";
    }
    groups_.clear();
    PlotWrite(out_);
  }

  DxfWriter dxf_;
  std::vector<DxfGroup> groups_;
  std::string out_;
};

}  // namespace

void DxfHeader(std::vector<std::string>& lines, double xmin, double ymin, double xmax, double ymax) {
  Group(lines, 0, "SECTION");
  Group(lines, 2, "HEADER");
  auto point = [&](const char* name, double x, double y) {
    Group(lines, 9, name);
    Real(lines, 10, x);
    Real(lines, 20, y);
  };
  point("$EXTMIN", xmin, ymin);
  point("$EXTMAX", xmax, ymax);
  point("$LIMMIN", xmin, ymin);
  point("$LIMMAX", xmax, ymax);
  Group(lines, 9, "$LTSCALE");
  Group(lines, 40, "15");
  Group(lines, 0, "ENDSEC");
}

void DxfTables(std::vector<std::string>& lines) {
  Group(lines, 0, "SECTION");
  Group(lines, 2, "TABLES");
  Group(lines, 0, "TABLE");
  Group(lines, 2, "LTYPE");
  Group(lines, 70, "17");

  Group(lines, 0, "LTYPE");
  Group(lines, 2, "CONTINUOUS");
  Group(lines, 70, "64");
  Group(lines, 3, "Ausgezogene Linie");
  Group(lines, 72, "65");
  Group(lines, 73, "0");
  Group(lines, 40, "0.0");

  Group(lines, 0, "LTYPE");
  Group(lines, 2, "DASHDOT");
  Group(lines, 70, "64");
  Group(lines, 3, "--. --. --.-");
  Group(lines, 72, "65");
  Group(lines, 73, "4");
  Group(lines, 40, "1.0");
  Group(lines, 49, "0.5");
  Group(lines, 49, "-0.25");
  Group(lines, 49, "0.0");
  Group(lines, 49, "-0.25");

  Group(lines, 0, "LTYPE");
  Group(lines, 2, "DASHED");
  Group(lines, 70, "64");
  Group(lines, 3, "- - - - - - ");
  Group(lines, 72, "65");
  Group(lines, 73, "2");
  Group(lines, 40, "0.375");
  Group(lines, 49, "0.25");
  Group(lines, 49, "-0.125");
  Group(lines, 0, "ENDTAB");

  Group(lines, 0, "TABLE");
  Group(lines, 2, "LAYER");
  Group(lines, 70, IntToText(24));
  for (int i = 0; i < 16; ++i) {
    Group(lines, 0, "LAYER");
    Group(lines, 2, IntToText(i));
    Group(lines, 70, "0");
    Group(lines, 62, IntToText(DxfSingleColourLayers ? 1 : i + 1));
    Group(lines, 6, "CONTINUOUS");
  }
  Group(lines, 0, "ENDTAB");

  Group(lines, 0, "TABLE");
  Group(lines, 2, "STYLE");
  Group(lines, 70, "1");
  Group(lines, 0, "STYLE");
  Group(lines, 2, "STANDARD");
  Group(lines, 70, "0");
  Group(lines, 40, "0.0");
  Group(lines, 41, "1.0");
  Group(lines, 50, "0.0");
  Group(lines, 71, "0");
  Group(lines, 42, "3.5");
  Group(lines, 3, BlankControls(UpperText(Settings.TextStyle)));
  Group(lines, 4, "");
  lines.emplace_back("0");
  lines.emplace_back("ENDTAB");
  Group(lines, 0, "ENDSEC");
}

void DxfBeginEntities(std::vector<std::string>& lines) {
  Group(lines, 0, "SECTION");
  Group(lines, 2, "ENTITIES");
}

void DxfEndSection(std::vector<std::string>& lines) { Group(lines, 0, "ENDSEC"); }

std::unique_ptr<PlotWriter> MakeDxfWriter() { return std::make_unique<DxfPlotWriter>(); }

}  // namespace planox
