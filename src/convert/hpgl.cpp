// HP-GL (target 1), HP-GL/2 (9) and the HP-GL/2 job of a laser printer (11).
// Coordinates are plotter units, 40 per mm. Commands are written without
// line ends, each one passed on at once.
//
// HP-GL/2 writes lines in the polyline-encoded form: relative differences
// of 7-bit base-32 digits inside a "PE" block that opens on the first move
// or draw and closes before any other command.
#include <cmath>

#include "base/session.h"
#include "base/textconv.h"
#include "base/vektor.h"
#include "convert/oututil.h"
#include "convert/writer.h"

namespace planox {

namespace {

// Plotter units and points appended to the command being built.
void Unit(std::string& s, double mm) { AppendInt(s, RoundUnit(mm * 40)); }
void Point(std::string& s, double x, double y) {
  Unit(s, x);
  s += ',';
  Unit(s, y);
}

bool Whole(double a) { return a == std::floor(a); }


// A label ends at ETX; an ETX inside the text would end it early and hand
// the rest to the plotter as commands, so it is left out.


// Character sizes in cm: plotters take -128 to 128 without 0, so a text
// of no height or of a corrupt size gets the nearest size they accept.
double CharSize(double cm) {
  if (std::fabs(cm) < 0.005) return cm < 0 ? -0.01 : 0.01;
  return std::fmax(-127.99, std::fmin(127.99, cm));
}

class HpglWriter : public PlotWriter {
 public:
  enum Kind { Plain, Encoded, Laser };
  explicit HpglWriter(Kind k) : kind_(k) {}
  double limit() const override { return IntegerLimit(40); }

  void header() override {
    if (kind_ == Laser) {
      PlotWrite("\x1b" "E" "\x1b" "%0B");
      PlotWriteLine("IN;SD1,341;");
    } else {
      PlotWrite("\x1b.(;IN;");
    }
  }
  void windowReset() override {
    closeBlock();
    PlotWrite("IW;");
  }
  void initialSettings() override {
    if (kind_ == Encoded)
      PlotWrite("PA0,0;");
    else
      PlotWrite("DF;SD1,341;");
  }
  void trailer() override {
    closeBlock();
    if (kind_ == Laser) {
      PlotWriteLine("\x1b%0A");
      PlotWriteLine("\x1b" "E");
    }
  }
  void rotate(int angle) override {
    closeBlock();
    command("RO");
    AppendInt(cmd_, angle);
    write(";");
  }
  void selectPen(int n) override {
    closeBlock();
    command("SP");
    AppendInt(cmd_, n);
    write(";");
    if (kind_ == Laser) {
      command("PW");
      AppendRealText(cmd_, n * 0.08);
      write(";");
    }
  }
  void setSpeed(int v) override {
    if (kind_ == Laser) return;
    closeBlock();
    command("VS");
    AppendInt(cmd_, RoundUnit(v * 0.1));
    write(";");
  }
  void penUp() override { PlotWrite(PlotState.encodedOpen ? "<" : "PU;"); }
  void penDown() override {
    if (!PlotState.encodedOpen) PlotWrite("PD;");
  }
  void moveTo(double x, double y) override { go(x, y, false); }
  void drawTo(double x, double y) override { go(x, y, true); }
  // Plain HP-GL goes to the absolute point; an encoded block steps there
  // from the current point, after "<" when the pen is up.
  void go(double x, double y, bool draw) {
    if (!encoding()) {
      absolute(x, y);
      positionUnknown_ = false;
      return;
    }
    if (!PlotState.encodedOpen) openBlock(draw);
    command(draw ? "" : "<");
    Difference(cmd_, PlotState.curX, x);
    Difference(cmd_, PlotState.curY, y);
    PlotWrite(cmd_);
  }
  bool forcesLineMove() const override { return encoding(); }

  void solid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4) override {
    if (kind_ == Plain) {
      PlotWriter::solid(p1, p2, p3, p4);
    } else if (kind_ == Laser) {
      PlotMoveTo(true, p1.x, p1.y);
      PlotWrite("PM0;");
      PlotDrawTo(true, p2.x, p2.y);
      PlotDrawTo(true, p3.x, p3.y);
      PlotDrawTo(true, p4.x, p4.y);
      PlotDrawTo(true, p1.x, p1.y);
      PlotWrite("PM2;FP;EP;");
    } else {
      closeBlock();
      beginPlain();
      PlotMoveTo(true, p1.x, p1.y);
      PlotWrite("PM0");
      PlotWriter::solid(p1, p2, p3, p4);
      PlotWrite("PM2FPEP");
      endPlain();
    }
  }
  void circle(double cx, double cy, double r) override {
    PlotMoveTo(false, cx, cy);
    if (kind_ == Encoded && PlotState.encodedOpen) {
      closeBlock();
      PlotPenDown();
    }
    command("CI");
    Unit(cmd_, r);
    write(";");
  }
  void arc(double cx, double cy, double a1, double a2, double r, double) override {
    double x1 = ArcX(cx, r, a1), y1 = ArcY(cy, r, a1);
    double x2 = ArcX(cx, r, a2), y2 = ArcY(cy, r, a2);
    if (kind_ != Encoded && std::fabs(a2 - a1) < 2) {
      PlotLine(x1, y1, x2, y2);
      return;
    }
    if (kind_ == Encoded) {
      if (PlotState.encodedOpen) {
        closeBlock();
        PlotPenDown();
      }
      beginPlain();
    }
    const double c2 = std::floor(a2);
    const long long sweep = BeginWholeDegreeArc(cx, cy, r, a1, a2);
    command("AA");
    Point(cmd_, cx, cy);
    cmd_ += ',';
    AppendInt(cmd_, sweep);
    write(";");
    if (kind_ == Encoded) {
      if (Whole(a2))
        PlotMoveTo(false, x2, y2);
      else
        PlotLine(ArcX(cx, r, c2), ArcY(cy, r, c2), x2, y2);
      endPlain();
    } else if (!Whole(a2)) {
      PlotLine(ArcX(cx, r, c2), ArcY(cy, r, c2), x2, y2);
    }
    PlotState.curX = x2;
    PlotState.curY = y2;
  }
  void lineType(int code) override {
    closeBlock();
    static const char* const dash[4] = {"LT;", "LT1,0.6;", "LT4,4;", "LT2,1;"};
    PlotWrite(dash[code]);
  }
  void textStyle(int, double angle, double height, double width) override {
    closeBlock();
    double t = angle * M_PI / 180.0;
    PlotWrite("SD1,341;");
    command("SI");
    AppendRealDecimals(cmd_, CharSize(width * 0.0625), 2);
    cmd_ += ',';
    AppendRealDecimals(cmd_, CharSize(height * 0.1), 2);
    write(";");
    command("DI");
    AppendInt(cmd_, RoundUnit(128 * std::cos(t)));
    cmd_ += ',';
    AppendInt(cmd_, RoundUnit(128 * std::sin(t)));
    write(";");
  }
  void textMove(double x, double y) override {
    // The text move is absolute even on HP-GL/2: the current point does not
    // follow it, so a relative move would leave the encoded path off.
    closeBlock();
    absolute(x, y);
    positionUnknown_ = kind_ == Encoded;
  }
  bool labelsAtInsertionPoint() const override { return true; }
  bool text(const std::string& text) override {
    closeBlock();
    PlotWrite("LB" + BlankControls(text) + "\x03");
    // The label leaves the pen at its end.
    positionUnknown_ = kind_ == Encoded;
    return true;
  }

 private:
  bool encoding() const { return kind_ == Encoded && !plain_; }

  // A command is built in cmd_ and written whole: its letters, the numbers
  // appended straight to it, and its end.
  void command(const char* letters) { cmd_.assign(letters); }
  void write(const char* end) {
    cmd_ += end;
    PlotWrite(cmd_);
  }
  // The absolute move to a point.
  void absolute(double x, double y) {
    command("PA");
    Point(cmd_, x, y);
    write(";");
  }

  // While a solid or an arc is written in plain HP-GL the target is HP-GL.
  void beginPlain() {
    plain_ = true;
    PlotState.target = TargetHpgl;
  }
  void endPlain() {
    plain_ = false;
    PlotState.target = TargetHpgl2;
  }

  void openBlock(bool forDraw) {
    if (PlotState.penDown) PlotWrite("PU;");
    PlotState.penDown = false;
    // After a label the plotter is not at the current point: start from
    // it with an absolute move so that the relative path stays true.
    if (positionUnknown_) absolute(PlotState.curX, PlotState.curY);
    positionUnknown_ = false;
    // Inside the block "<" lifts the pen for the next pair; a draw that
    // opens the block must not start with it.
    PlotWrite(forDraw ? "PE7" : "PE7<");
    PlotState.encodedOpen = true;
    PlotState.penDown = true;
  }
  void closeBlock() {
    if (!PlotState.encodedOpen) return;
    PlotWrite("<;");
    PlotState.encodedOpen = false;
    PlotWrite("PU;");
    PlotState.penDown = false;
  }
  // The step from one point to the next in whole plotter units, taken
  // between the two rounded positions: the plotter then stands exactly on
  // each rounded point, however long the path, instead of adding up the
  // rounding of every step.
  static void Difference(std::string& s, double from, double to) {
    const long long d = RoundUnit(to * 40) - RoundUnit(from * 40);
    const long long v = d < 0 ? -d : d;
    long long b = 2 * v + (d < 0 ? 1 : 0);
    while (b > 31) {
      s += static_cast<char>(b % 32 + 63);
      b /= 32;
    }
    s += static_cast<char>(b + 95);
  }

  Kind kind_;
  std::string cmd_;
  bool plain_ = false;
  bool positionUnknown_ = false;
};

}  // namespace

std::unique_ptr<PlotWriter> MakeHpglWriter() { return std::make_unique<HpglWriter>(HpglWriter::Plain); }
std::unique_ptr<PlotWriter> MakeHpgl2Writer() { return std::make_unique<HpglWriter>(HpglWriter::Encoded); }
std::unique_ptr<PlotWriter> MakeHpglLaserWriter() { return std::make_unique<HpglWriter>(HpglWriter::Laser); }

}  // namespace planox
