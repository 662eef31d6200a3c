// CNC (target 4): a G-code milling or drilling program. Lines, arcs and
// circles are tool paths in the XY plane, pen up and down are the retract
// and plunge on Z, pens are tool numbers. Five dialects (NcSyntax):
// 1 DIN 66025, 2 SM, 3 Deckel, 4 DIN 66025 with circles drilled as holes,
// 5 ISO G-code as today's controllers read it.
// In dialects 1 to 4 an arc counter-clockwise in the drawing is written as
// G02 and the same arc cut backwards as G03: the machines they are written
// for count the sense that way. Dialect 5 (IsoWriter) uses the ISO sense.
#include <cmath>

#include "base/session.h"
#include "base/textconv.h"
#include "base/vektor.h"
#include "convert/oututil.h"
#include "convert/writer.h"

namespace planox {

namespace {

std::string N(double mm) { return RealToTextDecimals(mm, 3); }

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
    line_.assign(dialect() == 3 ? "G00 Z100.000 S+1000 F" : "G00 Z100.000 S1000 M03 F");
    AppendInt(line_, v);
    PlotWriteLine(line_);
  }
  void selectPen(int n) override {
    if (dialect() == 2) return;
    line_.assign(dialect() == 3 ? "G17 T" : "M06 T");
    AppendInt(line_, n);
    PlotWriteLine(line_);
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
    line_.clear();
    Put(backwards ? "G03 X" : "G02 X", ex);
    Put(" Y", ey);
    switch (dialect()) {
      case 2: Put(" MP X", cx), Put(" Y", cy); break;
      case 3: Put(" I", cx - sx), Put(" J", cy - sy); break;
      default: Put(" I", cx), Put(" J", cy); break;
    }
    PlotWriteLine(line_);
    PlotState.curX = ex;
    PlotState.curY = ey;
  }

 private:
  // A word and its value appended to the line being built.
  void Put(const char* word, double mm) {
    line_ += word;
    AppendRealDecimals(line_, mm, 3);
  }
  void Position(const char* word, double x, double y) {
    line_.clear();
    Put(word, x);
    Put(" Y", y);
    PlotWriteLine(line_);
  }
  std::string up_, down_, line_;
  static int dialect() { return Settings.NcSyntax >= 1 && Settings.NcSyntax <= 4 ? Settings.NcSyntax : 1; }
};

// ISO 6983 G-code for GRBL and LinuxCNC: millimetres, absolute, XY plane,
// feed per minute; G2 clockwise and G3 counter-clockwise with I and J
// relative to the arc's start point; feeds in mm/min; comments in
// parentheses. The spindle starts before the first plunge of each tool
// and stops before a tool change and at the end. The first tool is only
// named (T without M6), so a one-tool program runs on a controller that
// leaves tool changes to its sender.
class IsoWriter final : public PlotWriter {
 public:
  double limit() const override { return 999999.999; }
  void header() override {
    // A comment cannot hold parentheses (no nesting).
    std::string name = BlankControls(Session.PlotFile);
    for (char& c : name) c = c == '(' || c == ')' ? ' ' : c;
    // The retract and plunge words stay the same for the whole program.
    up_ = "G0 Z" + N(Settings.ToolDistance);
    down_ = "G1 Z" + N(-Settings.MillingDepth);
    line("(" + name + ")");
    line("G21 G90 G17 G94");
    line(up_);
    PlotMoveTo(true, 0, 0);
  }
  void trailer() override {
    stopSpindle();
    line("M30");
  }
  void setSpeed(int v) override { feed_ = static_cast<long long>(v) * 60; }
  void selectPen(int n) override {
    stopSpindle();
    begin(tool_ == 0 ? "T" : "M6 T");
    AppendInt(words_, n);
    words_ += tool_ == 0 ? " (pen " : " (tool change: pen ";
    AppendInt(words_, n);
    words_ += ')';
    end();
    tool_ = n;
  }
  void penUp() override { line(up_); }
  void penDown() override {
    if (!spindleOn_) {
      begin("M3 S");
      AppendInt(words_, Settings.SpindleSpeed);
      end();
      spindleOn_ = true;
    }
    begin(down_);
    feed(Settings.PlungeFeed);
    end();
  }
  void moveTo(double x, double y) override {
    begin();
    Put("G0 X", x);
    Put(" Y", y);
    end();
  }
  void drawTo(double x, double y) override {
    begin();
    Put("G1 X", x);
    Put(" Y", y);
    feed(feed_);
    end();
  }
  void textMove(double x, double y) override { moveTo(x, y); }

  void circle(double cx, double cy, double r) override { arc(cx, cy, 0, 360, r, 1); }

  // The arc from its first cut point: P(a1) counter-clockwise, or P(a2)
  // clockwise when the direction is negative. Arcs are computed from the
  // points as written, so the controller finds the same radius at both
  // ends; a whole circle is cut as two half circles.
  void arc(double cx, double cy, double a1, double a2, double r, double direction) override {
    double span = a2 - a1;
    if (span < 0) span += 360;
    const bool cw = direction < 0;
    const double from = cw ? a2 : a1, sign = cw ? -1 : 1;
    const double sx = R(ArcX(cx, r, from)), sy = R(ArcY(cy, r, from));
    const double ex = R(ArcX(cx, r, from + sign * span)), ey = R(ArcY(cy, r, from + sign * span));
    const bool closed = sx == ex && sy == ey;
    // Nothing to cut: a point, or an arc shorter than the output's
    // resolution (which a controller would read as a whole circle).
    if (R(r) == 0 || (closed && span < 180)) return;
    PlotMoveTo(false, sx, sy);
    PlotPenDown();
    if (closed || span == 360) {
      const double mx = R(ArcX(cx, r, from + sign * 180)), my = R(ArcY(cy, r, from + sign * 180));
      cut(cw, mx, my, cx - sx, cy - sy);
      cut(cw, sx, sy, cx - mx, cy - my);
    } else {
      cut(cw, ex, ey, cx - sx, cy - sy);
    }
    PlotState.curX = closed ? sx : ex;
    PlotState.curY = closed ? sy : ey;
  }

 private:
  static std::string N(double mm) { return PointFixed(mm, 3); }
  // A value as the controller reads it back.
  static double R(double mm) { return std::nearbyint(mm * 1000) / 1000; }

  // A line is built in words_: its number when lines are numbered, then
  // the words, each value appended straight to it.
  void begin(std::string_view words = {}) {
    words_.clear();
    if (Settings.NcLineNumbers == 'J') {
      number_ += 10;
      words_ += 'N';
      AppendInt(words_, number_);
      words_ += ' ';
    }
    words_ += words;
  }
  void end() { PlotWriteLine(words_); }
  void line(std::string_view s) {
    begin(s);
    end();
  }
  // The F word when the feed changes.
  void feed(long long f) {
    if (f == currentFeed_ || f <= 0) return;
    currentFeed_ = f;
    words_ += " F";
    AppendInt(words_, f);
  }
  void cut(bool cw, double x, double y, double i, double j) {
    begin();
    Put(cw ? "G2 X" : "G3 X", x);
    Put(" Y", y);
    Put(" I", i);
    Put(" J", j);
    feed(feed_);
    end();
  }
  // A word and its value appended to the line being built.
  void Put(const char* word, double mm) {
    words_ += word;
    AppendPointFixed(words_, mm, 3);
  }
  void stopSpindle() {
    if (spindleOn_) line("M5");
    spindleOn_ = false;
  }

  std::string up_, down_, words_;
  long long feed_ = 0, currentFeed_ = 0;
  int tool_ = 0;
  long long number_ = 0;
  bool spindleOn_ = false;
};

}  // namespace

std::unique_ptr<PlotWriter> MakeCncWriter() {
  if (Settings.NcSyntax == 5) return std::make_unique<IsoWriter>();
  return std::make_unique<CncWriter>();
}

}  // namespace planox
