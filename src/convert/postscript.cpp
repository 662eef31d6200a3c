// PostScript (target 10): a one-page program in 1/300 inch units that a
// printer prints directly; it starts and ends with the end-of-job
// character. Connected lines are collected into paths that are stroked in
// pieces of at most 241 segments, which keeps old interpreters within
// their path limits.
#include <cmath>

#include "base/session.h"
#include "base/textconv.h"
#include "base/vektor.h"
#include "convert/writer.h"

namespace planox {

namespace {

// Device units per millimetre.
constexpr double UnitsPerMm = 72 * 0.0393700787 * 4.1666667;
std::string D(double mm) { return IntToText(RoundUnit(mm * UnitsPerMm)); }
// Device units and points appended to the line being built.
void D(std::string& s, double mm) { AppendInt(s, RoundUnit(mm * UnitsPerMm)); }
void P(std::string& s, double x, double y) {
  D(s, x);
  s += ' ';
  D(s, y);
}

// A font name must stay one PostScript name: delimiters and blanks would
// split it or open a string.
std::string FontName(const std::string& s) {
  std::string n;
  for (unsigned char c : s) n += (c <= ' ' || std::string_view("()<>[]{}/%").find(c) != std::string_view::npos) ? '-' : c;
  return n.empty() ? "Courier" : n;
}

// Inside a string a backslash starts an escape; doubled it is itself.
std::string StringText(const std::string& s) {
  std::string t;
  for (char c : PlotterText(BlankControls(s))) {
    if (c == '\\' || c == '(' || c == ')') t += '\\';
    t += c;
  }
  return t;
}

class PostscriptWriter final : public PlotWriter {
 public:
  // Interpreters keep coordinates in fixed point and refuse an arc far
  // outside any page: a million units (85 m) at most.
  double limit() const override { return 1e6 / UnitsPerMm; }
  void header() override {
    PlotWriteLine("\x04%!PostScript-Adobe-1.0");
    PlotWriteLine("% ");
    PlotWriteLine("% Dateiname: " + BlankControls(Session.PlotFile) + ".PS");
    std::string who = "% generiert von " + LeftText(ProgramTitle, 41);
    who = LeftText(who + " Version ", 50);
    PlotWriteLine(LeftText(who + VersionText, 55));
    PlotWriteLine("% Datum: " + TodayText() + "  Zeit: " + NowTimeText());
    PlotWriteLine("% ");
    for (const char* l : {"/m {moveto} def", "/l {lineto} def", "/s {stroke} def", "/n {newpath} def",
                          "/r {rotate} def", "/w {setlinewidth} def", "2 setlinejoin"})
      PlotWriteLine(l);
    if (Settings.Rotate90 == 'N') {
      PlotWriteLine("20 20 translate");
    } else {
      PlotWriteLine("420 20 translate");
      PlotWriteLine("90 rotate");
    }
    PlotWriteLine(RealToText(0.24) + " " + RealToText(0.24) + " scale");
    PlotWriteLine("n");
    PlotWriteLine("0 0 m");
    hasPoint_ = true;
  }
  void trailer() override {
    PlotWriteLine("s");
    PlotWriteLine("showpage");
    PlotWriteLine("");
    PlotWriteLine("%%EOF");
    PlotWrite("\x04");
  }
  void selectPen(int n) override {
    newPath();
    PlotWriteLine(IntToText(n) + " w");
    m(PlotState.curX, PlotState.curY);
  }
  void moveTo(double x, double y) override {
    if (pathSegments_ > 240) newPath();
    m(x, y);
  }
  void drawTo(double x, double y) override {
    if (pathSegments_ >= 241) PlotMoveTo(true, PlotState.curX, PlotState.curY);
    // After a fill, a dash or a font change the path is empty; a draw
    // that continues from there needs its start point again.
    if (!hasPoint_) m(PlotState.curX, PlotState.curY);
    line_.clear();
    P(line_, x, y);
    line_ += " l";
    PlotWriteLine(line_);
    ++pathSegments_;
  }
  bool forcesLineMove() const override { return true; }
  void solid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4) override {
    newPath();
    PlotMoveTo(true, p1.x, p1.y);
    PlotDrawTo(true, p2.x, p2.y);
    PlotDrawTo(true, p3.x, p3.y);
    PlotDrawTo(true, p4.x, p4.y);
    PlotDrawTo(true, p1.x, p1.y);
    PlotWriteLine("closepath");
    PlotWriteLine("fill");
    PlotWriteLine("n");
    hasPoint_ = false;
  }
  void circle(double cx, double cy, double r) override { arc(cx, cy, 0, 360, r, 1); }
  void arc(double cx, double cy, double a1, double a2, double r, double) override {
    m(ArcX(cx, r, a1), ArcY(cy, r, a1));
    line_.clear();
    P(line_, cx, cy);
    line_ += ' ';
    D(line_, r);
    line_ += ' ';
    AppendRealText(line_, a1);
    line_ += ' ';
    AppendRealText(line_, a2);
    line_ += " arc";
    PlotWriteLine(line_);
  }
  void lineType(int code) override {
    static const char* const dash[4] = {"[] 0 setdash", "[10] 0 setdash", "[80 12] 40 setdash",
                                        "[30 15] 0 setdash"};
    PlotWriteLine("s");
    PlotWriteLine("n");
    hasPoint_ = false;
    PlotWriteLine(dash[code]);
  }
  void textStyle(int, double, double height, double) override {
    PlotWriteLine("s");
    PlotWriteLine("n");
    hasPoint_ = false;
    fontSize_ = D(height);
    PlotWriteLine("/" + FontName(Settings.TextStyle) + " findfont " + fontSize_ + " scalefont setfont");
  }
  void textMove(double x, double y) override { m(x, y); }
  bool text(const std::string& text) override {
    double angle = PlotState.textAngle, w = PlotState.textWidth, h = PlotState.textHeight;
    // Width to height as the settings allow it (0.01 .. 100, either sign).
    double ratio = h != 0 && std::isfinite(w / h) ? w / h : 1;
    ratio = std::fmax(-100.0, std::fmin(100.0, ratio));
    if (std::fabs(ratio) < 0.01) ratio = ratio < 0 ? -0.01 : 0.01;
    // A font scaled to nothing cannot show anything (the interpreter
    // stops on its singular matrix).
    if (fontSize_ == "0") return true;
    PlotWriteLine("gsave");
    if (angle != 0) PlotWrite(RealToText(angle) + " r ");
    PlotWriteLine(RealToText(1.4 * (1.4 * ratio)) + " " + RealToText(1.4) + " scale");
    PlotWriteLine("(" + StringText(text) + ") show");
    if (angle != 0) PlotWriteLine(RealToText(-angle) + " r");
    PlotWriteLine("grestore");
    return true;
  }

 private:
  void m(double x, double y) {
    line_.clear();
    P(line_, x, y);
    line_ += " m";
    PlotWriteLine(line_);
    hasPoint_ = true;
  }
  void newPath() {
    PlotWriteLine("s");
    PlotWriteLine("n");
    pathSegments_ = 0;
    hasPoint_ = false;
  }
  bool hasPoint_ = false;
  int pathSegments_ = 0;  // "l" lines since the last "n"
  std::string fontSize_;
  std::string line_;  // the line being built
};

}  // namespace

std::unique_ptr<PlotWriter> MakePostscriptWriter() { return std::make_unique<PostscriptWriter>(); }

}  // namespace planox
