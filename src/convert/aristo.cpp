// Aristo (target 2) and Lasercomb (target 3). Aristo coordinates are
// integers, 100 per mm; every command is a line of its own except the pen
// command, which stands at the start of the next command's line.
// Lasercomb is HP-GL-like with line ends and 200 units per mm, or
// millimetres with dialect 2 of the CNC settings.
#include <cmath>

#include "base/fileio.h"
#include "base/session.h"
#include "base/textconv.h"
#include "base/vektor.h"
#include "convert/oututil.h"
#include "convert/writer.h"

namespace planox {

namespace {

bool Whole(double a) { return a == std::floor(a); }

std::string A(double mm) { return IntToText(RoundUnit(mm * 100)); }

// Umlauts and sharp s in both their OEM and their Windows codes, and the
// quote that introduces them.
std::string AristoText(const std::string& text) {
  std::string s;
  for (unsigned char c : text) {
    switch (c) {
      case '\'': s += "''"; break;
      case 132: case 228: s += "'a"; break;
      case 148: case 246: s += "'o"; break;
      case 129: case 252: s += "'u"; break;
      case 142: case 196: s += "'A"; break;
      case 153: case 214: s += "'O"; break;
      case 154: case 220: s += "'U"; break;
      case 225: case 223: s += "'s"; break;
      default: s += static_cast<char>(c);
    }
  }
  return s;
}

class AristoWriter final : public PlotWriter {
 public:
  double limit() const override { return IntegerLimit(100); }
  void header() override {
    PlotWriteLine("%" + BlankControls(Session.PlotFile));
    PlotWriteLine("");
    if (std::FILE* init = OpenRegularStream(WithSeparator(Settings.PltDir) + "ARISTO.TXT")) {
      std::string line;
      for (int c; (c = std::getc(init)) != EOF;) {
        if (c != '\n') {
          line.push_back(static_cast<char>(c));
          continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        PlotWriteLine(line);
        line.clear();
      }
      if (!line.empty()) PlotWriteLine(line);
      std::fclose(init);
      PlotWriteLine("");
    }
    PlotWriteLine("G90");
    PlotMoveTo(true, 0, 0);
  }
  void windowReset() override { PlotWriteLine("D80I0"); }
  void trailer() override {
    PlotWriteLine("D0");
    PlotWriteLine("M02");
  }
  void rotate(int angle) override { PlotWriteLine("D49I" + IntToText(RoundUnit(angle * 1000.0)) + "J0"); }
  void selectPen(int n) override { PlotWrite("D23I" + IntToText(n)); }
  void moveTo(double x, double y) override { PlotWriteLine("G0D0X" + A(x) + "Y" + A(y)); }
  void drawTo(double x, double y) override { PlotWriteLine("G1D1X" + A(x) + "Y" + A(y)); }
  void circle(double cx, double cy, double r) override {
    PlotMoveTo(false, cx + r, cy);
    PlotWriteLine("G3D1I" + A(cx) + "J" + A(cy));
  }
  void arc(double cx, double cy, double a1, double a2, double r, double direction) override {
    double x1 = ArcX(cx, r, a1), y1 = ArcY(cy, r, a1);
    double x2 = ArcX(cx, r, a2), y2 = ArcY(cy, r, a2);
    if (direction >= 0) {
      PlotMoveTo(false, x1, y1);
      PlotWriteLine("G3D1I" + A(cx) + "J" + A(cy) + "X" + A(x2) + "Y" + A(y2));
      PlotState.curX = x2;
      PlotState.curY = y2;
    } else {
      PlotMoveTo(false, x2, y2);
      PlotWriteLine("G2D1I" + A(cx) + "J" + A(cy) + "X" + A(x1) + "Y" + A(y1));
      PlotState.curX = x1;
      PlotState.curY = y1;
    }
  }
  void lineType(int code) override {
    static const int m[4] = {0, 2, 3, 1};
    PlotWriteLine("D12I" + IntToText(m[code]) + "J0");
  }
  void textStyle(int font, double angle, double height, double width) override {
    PlotWriteLine("D45I" + IntToText(RoundUnit(angle * 1000)));
    PlotWriteLine("D25I1J" + IntToText(font) + "K1L1");
    double ratio = height != 0 ? width / height : 0;
    PlotWriteLine("D35I" + IntToText(RoundUnit(height * 100)) + "J" + IntToText(RoundUnit(ratio * 1000)) + "W0K0");
  }
  void textMove(double x, double y) override { moveTo(x, y); }
  bool text(const std::string& text) override {
    PlotWriteLine("D25L1");
    PlotWriteLine("$" + AristoText(BlankControls(text)) + "$");
    return true;
  }
};

class LasercombWriter final : public PlotWriter {
 public:
  double limit() const override { return mm() ? PlotWriter::limit() : IntegerLimit(200); }
  void header() override {
    if (mm()) return;
    PlotWriteLine("\x1b.(");
    PlotWriteLine("\x10");
  }
  void trailer() override { PlotWriteLine("\x1b.)"); }
  void selectPen(int n) override { PlotWriteLine("SP" + IntToText(n) + ";"); }
  void setSpeed(int v) override {
    if (!mm()) PlotWriteLine("VS" + IntToText(RoundUnit(v * 0.1)) + ";");
  }
  void penUp() override { PlotWriteLine("PU;"); }
  void penDown() override { PlotWriteLine("PD;"); }
  void moveTo(double x, double y) override { PlotWriteLine("PA" + L(x) + "," + L(y) + ";"); }
  void drawTo(double x, double y) override { moveTo(x, y); }
  void circle(double cx, double cy, double r) override {
    if (mm()) {
      PlotMoveTo(false, cx, cy);
      PlotPenDown();
      PlotWriteLine("CI" + RealToText(r * 100) + ";");
    } else {
      PlotMoveTo(false, cx + r, cy);
      PlotPenDown();
      PlotWriteLine("AA" + L(cx) + "," + L(cy) + ",360;");
    }
  }
  void arc(double cx, double cy, double a1, double a2, double r, double) override {
    const double x2 = ArcX(cx, r, a2), y2 = ArcY(cy, r, a2), c2 = std::floor(a2);
    const long long sweep = BeginWholeDegreeArc(cx, cy, r, a1, a2);
    std::string centre = mm() ? RealToText(cx) + "," + RealToText(cy) : L(cx) + "," + L(cy);
    PlotWriteLine("AA" + centre + "," + IntToText(sweep) + ";");
    if (!Whole(a2)) PlotLine(ArcX(cx, r, c2), ArcY(cy, r, c2), x2, y2);
    PlotState.curX = x2;
    PlotState.curY = y2;
  }
  void textMove(double x, double y) override { moveTo(x, y); }
  bool text(const std::string& text) override {
    if (!mm()) return false;
    PlotWriteLine("LB" + BlankControls(text) + "\x03");
    return true;
  }

 private:
  static bool mm() { return Settings.NcSyntax == 2; }
  static std::string L(double v) { return mm() ? RealToText(v) : IntToText(RoundUnit(v * 200)); }
};

}  // namespace

std::unique_ptr<PlotWriter> MakeAristoWriter() { return std::make_unique<AristoWriter>(); }
std::unique_ptr<PlotWriter> MakeLasercombWriter() { return std::make_unique<LasercombWriter>(); }

}  // namespace planox
