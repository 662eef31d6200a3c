// SVG (target 13): a drawing for today's laser and vinyl cutters, whose
// software reads SVG and assigns its operations by stroke colour. The page
// is the drawn geometry in real millimetres; the coordinates inside are the
// output millimetres of the driver, turned into SVG's downward y by one
// transform on an outer group (which also carries the 90-degree rotation).
// Every pen is one group id="pen-N" in its own colour; connected draws
// are one path, arcs stay arcs, circles circles, solids filled paths,
// line types dash arrays, texts either shape-font strokes or <text>.
//
// The page size is only known at the end, so the elements are collected
// per pen (in work files once they grow large) and the whole document is
// written by the trailer.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "convert/oututil.h"
#include "convert/writer.h"

namespace planox {

namespace {

std::string N(double mm) { return PointFixed(mm, 3, true); }

double ArcX(double cx, double r, double t) { return cx + r * std::cos(t * M_PI / 180.0); }
double ArcY(double cy, double r, double t) { return cy + r * std::sin(t * M_PI / 180.0); }

// Dash arrays in mm for line types 1 dotted, 2 dash-dot, 3 dashed.
const char* const kDashes[4] = {"", "0.5 1", "6 1.5 0.5 1.5", "3 1.5"};

// XML text: code page 850 to UTF-8 with the markup characters escaped;
// control characters, which XML 1.0 cannot hold, become blanks.
std::string XmlText(const std::string& oem) {
  std::string out;
  for (char c : BlankControls(oem)) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else out += Cp850ToUtf8(std::string_view(&c, 1));
  }
  return out;
}

// A font family name that stays one quoted name in an attribute.
std::string FontFamily(const std::string& name) {
  std::string f;
  for (unsigned char c : name)
    if (std::isalnum(c) || c == ' ' || c == '-' || c == '_') f += static_cast<char>(c);
  f = TrimText(f);
  return f.empty() ? "sans-serif" : "'" + f + "', sans-serif";
}

struct Box {
  double xMin = HUGE_VAL, yMin = HUGE_VAL, xMax = -HUGE_VAL, yMax = -HUGE_VAL;
  bool empty() const { return xMin > xMax; }
  void add(double x, double y) {
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
    yMin = std::min(yMin, y);
    yMax = std::max(yMax, y);
  }
};

class SvgWriter final : public PlotWriter {
 public:
  ~SvgWriter() override {
    for (Group& g : groups_)
      if (g.spill) std::fclose(g.spill);
  }

  // A thousand kilometres: beyond any cutter, and SVG readers lose their
  // precision long before.
  double limit() const override { return 1e9; }
  bool returnsHome() const override { return false; }
  void rotate(int angle) override { rotated_ = angle == 90; }

  void selectPen(int n) override {
    endPath();
    useGroup(n);
  }

  void moveTo(double, double) override { endPath(); }
  void textMove(double, double) override { endPath(); }

  void drawTo(double x, double y) override {
    startPath();
    path_ += "L" + P(x, y);
    box_.add(x, y);
  }

  void solid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4) override {
    endPath();
    for (const PlotPoint* p : {&p1, &p2, &p3, &p4}) box_.add(p->x, p->y);
    element("<path d=\"M" + P(p1.x, p1.y) + "L" + P(p2.x, p2.y) + "L" + P(p3.x, p3.y) + "L" + P(p4.x, p4.y) +
            "Z\" fill=\"" + colour(pen()) + "\"" + dash() + "/>");
  }

  void circle(double cx, double cy, double r) override {
    endPath();
    box_.add(cx - r, cy - r);
    box_.add(cx + r, cy + r);
    element("<circle cx=\"" + N(cx) + "\" cy=\"" + N(cy) + "\" r=\"" + N(r) + "\"" + dash() + "/>");
  }

  // Part of the path: a backwards arc (direction < 0) runs clockwise from
  // the end point to the start point, so a polyline stays one path.
  void arc(double cx, double cy, double a1, double a2, double r, double direction) override {
    double span = a2 - a1;
    if (span < 0) span += 360;
    if (span == 0) return;
    const bool backwards = direction < 0;
    const double from = backwards ? a2 : a1;
    const double sign = backwards ? -1 : 1;
    PlotMoveTo(false, ArcX(cx, r, from), ArcY(cy, r, from));
    startPath();
    // Pieces of at most 180 degrees: one flag pair fits every piece, and a
    // whole circle keeps two distinct end points.
    const int pieces = span > 180 ? 2 : 1;
    double x = 0, y = 0;
    for (int k = 1; k <= pieces; ++k) {
      double t = from + sign * span * k / pieces;
      x = ArcX(cx, r, t);
      y = ArcY(cy, r, t);
      path_ += "A" + N(r) + " " + N(r) + " 0 0 " + (backwards ? "0 " : "1 ") + P(x, y);
    }
    addArcBox(cx, cy, r, a1, span);
    PlotState.curX = x;
    PlotState.curY = y;
  }

  void lineType(int code) override {
    endPath();
    dash_ = code;
  }

  bool text(const std::string& text) override {
    endPath();
    const double x = PlotState.textX, y = PlotState.textY, h = PlotState.textHeight, w = PlotState.textWidth;
    const double angle = PlotState.textAngle;
    if (h == 0 || text.empty()) return true;
    // Width to height as the settings allow it (0.01 .. 100).
    double ratio = std::fabs(w / h);
    ratio = std::clamp(ratio, 0.01, 100.0);
    // The text's box for the page: its length as the driver aligns it.
    const double length = static_cast<double>(text.size() + 1) * std::fabs(w);
    const double c = std::cos(angle * M_PI / 180), s = std::sin(angle * M_PI / 180);
    for (double u : {0.0, length})
      for (double v : {0.0, h}) box_.add(x + u * c - v * s, y + u * s + v * c);
    element("<text transform=\"translate(" + P(x, y) + ") rotate(" + N(std::fmod(angle, 360)) + ") scale(" +
            N(ratio) + " -1)\" font-size=\"" + N(std::fabs(h)) + "\" font-family=\"" +
            FontFamily(Settings.TextStyle) + "\" fill=\"" + colour(pen()) +
            "\" stroke=\"none\" xml:space=\"preserve\">" + XmlText(text) + "</text>");
    return true;
  }

  void trailer() override {
    endPath();
    Box b = box_;
    if (b.empty()) {
      PlotExtents e = PlotterExtents();
      b.add(e.xMin, e.yMin);
      b.add(e.xMax, e.yMax);
    }
    // Half a stroke around the geometry, so that no line is cut at the
    // page edge (and a single straight line still has a height).
    const double m = strokeWidth() / 2;
    const double w = b.xMax - b.xMin + 2 * m, h = b.yMax - b.yMin + 2 * m;
    // y points up: (x, y) is drawn at (x, -y); turned by 90 degrees
    // counter-clockwise, (x, y) becomes (-y, x) and is drawn at (-y, -x).
    const double pageW = rotated_ ? h : w, pageH = rotated_ ? w : h;
    const double left = rotated_ ? -b.yMax - m : b.xMin - m;
    const double top = rotated_ ? -b.xMax - m : -b.yMax - m;
    PlotWriteLine("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>");
    PlotWriteLine("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + N(pageW) + "mm\" height=\"" +
                  N(pageH) + "mm\" viewBox=\"" + N(left) + " " + N(top) + " " + N(pageW) + " " + N(pageH) + "\">");
    PlotWriteLine("<title>" + XmlText(Session.PlotFile) + "</title>");
    PlotWriteLine(std::string("<g transform=\"") + (rotated_ ? "matrix(0 -1 -1 0 0 0)" : "scale(1 -1)") +
                  "\" fill=\"none\" stroke-width=\"" + N(strokeWidth()) +
                  "\" stroke-linecap=\"round\" stroke-linejoin=\"round\">");
    for (Group& g : groups_) {
      if (g.body.empty() && !g.spill) continue;
      PlotWriteLine("<g id=\"pen-" + IntToText(g.pen) + "\" stroke=\"" + colour(g.pen) + "\">");
      writeSpilled(g);
      PlotWrite(g.body);
      PlotWriteLine("</g>");
    }
    PlotWriteLine("</g>");
    PlotWriteLine("</svg>");
  }

 private:
  // The elements of one pen. The page's size comes first and depends on
  // all of them, so they are held back to the trailer: beyond kHeldBack
  // bytes in a work file, so that memory stays flat for any drawing (in
  // memory after all where no work file can be made).
  struct Group {
    int pen;
    std::string body;
    std::FILE* spill = nullptr;
  };
  static constexpr size_t kHeldBack = 256 * 1024;

  static double strokeWidth() {
    double w = static_cast<double>(Settings.SvgStrokeWidth);
    return std::isfinite(w) && w > 0 ? w : 0.1;
  }

  // The pen's stroke colour: pens 1..8 as the pen table names them (7,
  // white in the drawing, is black on the white page), 9..16 further
  // colours that cutting software can tell apart.
  static std::string colour(int pen) {
    static const char* const kColours[17] = {"#000000", "#FF0000", "#FFFF00", "#00FF00", "#00FFFF", "#0000FF",
                                             "#FF00FF", "#000000", "#804000", "#808080", "#FF8000", "#008000",
                                             "#000080", "#800080", "#808000", "#008080", "#800000"};
    return kColours[pen >= 1 && pen <= 16 ? pen : 0];
  }

  int pen() const { return groups_.empty() ? 0 : groups_[group_].pen; }
  std::string P(double x, double y) const { return N(x) + " " + N(y); }
  std::string dash() const {
    return dash_ > 0 ? std::string(" stroke-dasharray=\"") + kDashes[dash_] + "\"" : std::string();
  }

  // A path starts at the current point when the first draw or arc comes.
  void startPath() {
    if (!path_.empty()) return;
    path_ = "M" + P(PlotState.curX, PlotState.curY);
    box_.add(PlotState.curX, PlotState.curY);
  }
  void endPath() {
    if (path_.empty()) return;
    element("<path d=\"" + path_ + "\"" + dash() + "/>");
    path_.clear();
  }

  // Pens that come back join their first group: one group per pen.
  void useGroup(int n) {
    auto it = std::find_if(groups_.begin(), groups_.end(), [n](const Group& g) { return g.pen == n; });
    if (it == groups_.end()) {
      groups_.push_back({n, {}});
      it = groups_.end() - 1;
    }
    group_ = static_cast<size_t>(it - groups_.begin());
  }

  void element(const std::string& e) {
    if (groups_.empty()) useGroup(PlotState.currentPen);
    Group& g = groups_[group_];
    g.body += e;
    g.body += "\r\n";
    if (g.body.size() >= kHeldBack) spill(g);
  }

  void spill(Group& g) {
    if (!g.spill && !noWorkFile_) {
      std::string name;
      g.spill = OpenWorkFile("QUORSVG", name);
      noWorkFile_ = !g.spill;
    }
    if (!g.spill) return;
    if (std::fwrite(g.body.data(), 1, g.body.size(), g.spill) != g.body.size()) workFailed();
    g.body.clear();
  }

  // The group's elements from its work file, before those still held.
  void writeSpilled(Group& g) {
    if (g.spill && !ConversionFailed() && !CopyWorkFile(g.spill)) workFailed();
  }

  void workFailed() {
    if (!workReported_) ReportError("Erreur d'\x82" "criture du fichier de travail SVG");
    workReported_ = true;
    Session.AbortFlag = true;
  }

  // The arc's end points and every axis point it passes.
  void addArcBox(double cx, double cy, double r, double a1, double span) {
    box_.add(ArcX(cx, r, a1), ArcY(cy, r, a1));
    box_.add(ArcX(cx, r, a1 + span), ArcY(cy, r, a1 + span));
    for (int q = 0; q < 8; ++q) {
      double t = q * 90.0;
      if (t > a1 && t < a1 + span) box_.add(ArcX(cx, r, t), ArcY(cy, r, t));
    }
  }

  std::vector<Group> groups_;
  size_t group_ = 0;
  std::string path_;
  Box box_;
  int dash_ = 0;
  bool rotated_ = false;
  bool noWorkFile_ = false, workReported_ = false;
};

}  // namespace

std::unique_ptr<PlotWriter> MakeSvgWriter() { return std::make_unique<SvgWriter>(); }

}  // namespace planox
