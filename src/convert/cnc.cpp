// CNC (target 4): a G-code milling or drilling program. Lines, arcs and
// circles are tool paths in the XY plane, pen up and down are the retract
// and plunge on Z, pens are tool numbers. Four dialects (NcSyntax):
// 1 DIN 66025, 2 SM, 3 Deckel, 4 DIN 66025 with circles drilled as holes.
// An arc counter-clockwise in the drawing is written as G02 and the same
// arc cut backwards as G03: the machines this is written for count the
// sense that way.
#include <cmath>

#include "app/session.h"
#include "app/textconv.h"
#include "convert/writer.h"

namespace planox {

namespace {

std::string N(double mm) { return RealToTextDecimals(mm, 3); }
double ArcX(double cx, double r, double t) { return cx + r * std::cos(t * M_PI / 180.0); }
double ArcY(double cy, double r, double t) { return cy + r * std::sin(t * M_PI / 180.0); }

class CncWriter final : public PlotWriter {
 public:
  // Six digits before the point: a kilometre is beyond any machine's travel.
  double limit() const override { return 999999.999; }
  void header() override {
    // The retract and plunge lines stay the same for the whole program.
    up_ = "G00 Z" + N(Settings.ToolDistance);
    down_ = "G01 Z" + N(-Settings.MillingDepth);
    if (dialect() == 2) {
      PlotWriteLine("; " + BlankControls(Session.PlotFile));
      PlotWriteLine("");
      return;
    }
    PlotWriteLine("%" + BlankControls(Session.PlotFile));
    PlotWriteLine("");
    PlotWriteLine("G90");
    PlotMoveTo(true, 0, 0);
  }
  bool returnsHome() const override { return dialect() != 2; }
  void trailer() override {
    if (dialect() == 3) {
      PlotWriteLine("T0");
      PlotWriteLine("M30");
    } else {
      PlotWriteLine("M02");
    }
  }
  void setSpeed(int v) override {
    PlotWriteLine((dialect() == 3 ? "G00 Z100.000 S+1000 F" : "G00 Z100.000 S1000 M03 F") + IntToText(v));
  }
  void selectPen(int n) override {
    if (dialect() == 2) return;
    PlotWriteLine((dialect() == 3 ? "G17 T" : "M06 T") + IntToText(n));
  }
  void penUp() override { PlotWriteLine(up_); }
  void penDown() override { PlotWriteLine(down_); }
  void moveTo(double x, double y) override { Position("G00 X", x, y); }
  void drawTo(double x, double y) override { Position("G01 X", x, y); }
  void textMove(double x, double y) override { moveTo(x, y); }

  void circle(double cx, double cy, double r) override {
    if (dialect() == 4) {
      PlotMoveTo(false, cx, cy);
      PlotPenDown();
      return;
    }
    PlotMoveTo(false, cx + r, cy);
    arc(cx, cy, 0, 360, r, 1);
  }
  void arc(double cx, double cy, double a1, double a2, double r, double direction) override {
    double x1 = ArcX(cx, r, a1), y1 = ArcY(cy, r, a1);
    double x2 = ArcX(cx, r, a2), y2 = ArcY(cy, r, a2);
    bool backwards = direction < 0;
    double sx = backwards ? x2 : x1, sy = backwards ? y2 : y1;  // first point cut
    double ex = backwards ? x1 : x2, ey = backwards ? y1 : y2;  // last point
    PlotMoveTo(false, sx, sy);
    PlotPenDown();
    std::string s = (backwards ? "G03 X" : "G02 X") + N(ex) + " Y" + N(ey);
    switch (dialect()) {
      case 2: s += " MP X" + N(cx) + " Y" + N(cy); break;
      case 3: s += " I" + N(cx - sx) + " J" + N(cy - sy); break;
      default: s += " I" + N(cx) + " J" + N(cy); break;
    }
    PlotWriteLine(s);
    PlotState.curX = ex;
    PlotState.curY = ey;
  }

 private:
  void Position(const char* word, double x, double y) {
    line_.assign(word);
    line_ += N(x);
    line_ += " Y";
    line_ += N(y);
    PlotWriteLine(line_);
  }
  std::string up_, down_, line_;
  static int dialect() { return Settings.NcSyntax >= 1 && Settings.NcSyntax <= 4 ? Settings.NcSyntax : 1; }
};

}  // namespace

std::unique_ptr<PlotWriter> MakeCncWriter() { return std::make_unique<CncWriter>(); }

}  // namespace planox
