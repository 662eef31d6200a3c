#include "convert/plot.h"

#include <cmath>
#include <limits>
#include <memory>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "convert/targets.h"
#include "convert/channel.h"
#include "convert/writer.h"
#include "display/shpin.h"
#include "drawing/report.h"

namespace planox {

PlotStateRecord PlotState;

namespace {

OutputChannel channel;
bool writeFailed = false;  // a write of the running conversion failed
PlotWriter idleWriter;     // before the first PlotBegin: writes nothing
std::unique_ptr<PlotWriter> current;
std::string fileName;  // of the file channel

PlotWriter& W() { return current ? *current : idleWriter; }

// A value the current target can write: finite and within its limit.
bool Fits(double v) { return std::isfinite(v) && std::fabs(v) <= W().limit(); }
bool Fits(double x, double y) { return Fits(x) && Fits(y); }
bool Fits(const PlotPoint& p) { return Fits(p.x, p.y); }

// Every point of a circle or an arc lies within |centre| + radius.
bool RoundFits(double cx, double cy, double r) {
  return Fits(cx, cy) && Fits(r) && r >= 0 && Fits(std::fabs(cx) + r, std::fabs(cy) + r);
}

// An element left out for a value the target cannot write.
void Skip() { ++PlotState.skippedValues; }

// Angles of arcs: a negative angle gets 360 added; values still outside
// 0..360 (a corrupt drawing) are folded into that range.
double NormaliseAngle(double a) {
  if (a < 0) a += 360;
  if (a < 0 || a > 360) {
    a = std::fmod(a, 360.0);
    if (a < 0) a += 360;
  }
  return a;
}

// The shape-font stroker draws through the driver's own operations.
class DriverStroke final : public ShapeStrokeSink {
 public:
  void penUp() override { PlotPenUp(); }
  void penDown() override { PlotPenDown(); }
  void moveTo(double x, double y) override { PlotMoveTo(false, x, y); }
  void drawTo(double x, double y) override { PlotDrawTo(false, x, y); }
  bool penIsDown() const override { return PlotState.penDown; }
};

}  // namespace

std::string PlotWriter::extension() const { return TargetExtension(PlotState.target); }

void PlotWriter::solid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4) {
  PlotLine(p1.x, p1.y, p2.x, p2.y);
  PlotLine(p2.x, p2.y, p3.x, p3.y);
  PlotLine(p3.x, p3.y, p4.x, p4.y);
  PlotLine(p4.x, p4.y, p1.x, p1.y);
}

long long RoundUnit(double v) {
  // HP-GL/2 and PostScript interpreters take 32-bit integers; larger values
  // of a corrupt drawing are clamped to the last one they accept.
  constexpr double limit = MaxDeviceUnit;
  if (std::isnan(v)) return 0;
  if (v > limit) return static_cast<long long>(limit);
  if (v < -limit) return -static_cast<long long>(limit);
  return static_cast<long long>(std::nearbyint(v));
}

namespace {

// A write of the running conversion failed (a full disk, a port gone): the
// conversion ends, it is said once and even while a read keeps messages
// quiet, and nothing of a file output is kept. A failure while the header
// is written is left to PlotBegin.
void WriteFailed() {
  writeFailed = true;
  Session.AbortFlag = true;
  if (!PlotState.outputOpen) return;
  const bool show = Session.ShowErrors;
  Session.ShowErrors = true;
  ReportError("Erreur d'\x82" "criture : " + channel.name());
  Session.ShowErrors = show;
  channel.discard();
  PlotState.outputOpen = false;
}

}  // namespace

void PlotWrite(std::string_view text) {
  if (channel.isOpen() && !channel.write(text)) WriteFailed();
}

void PlotWriteLine(std::string_view text) {
  if (channel.isOpen() && !channel.writeLine(text)) WriteFailed();
}

const std::string& PlotFileName() { return fileName; }

long PlotSkippedValues() { return PlotState.skippedValues; }

void PlotCountSkipped() { Skip(); }

void PlotBeep() { Ui().beep(); }

bool PlotUsesShapeFont() {
  return Settings.UseShapeFont == 'J' && Settings.LoadShapeFont == 'J' && ShapeFont.loaded;
}

void PlotBegin(int syntaxCode, int deviceCode) {
  if (!FindTarget(syntaxCode)) {
    ReportError("Undefinierter Syntaxcode " + IntToText(syntaxCode));
    Session.AbortFlag = true;
    syntaxCode = 1;
  }
  if (deviceCode < 1 || deviceCode > 3) {
    ReportError("Undefinierter Ansteuercode " + IntToText(deviceCode));
    Session.AbortFlag = true;
    deviceCode = 1;
  }
  channel.discard();  // an earlier conversion that never reached PlotEnd
  PlotState = PlotStateRecord{};
  PlotState.target = syntaxCode;
  PlotState.channel = deviceCode;
  PlotWriterFactory factory = FindPlotWriter(syntaxCode);
  current = factory ? factory() : std::make_unique<PlotWriter>();

  fileName.clear();
  if (deviceCode == 3) fileName = Session.PlotFile + "." + current->extension();

  // Probe: open, one empty line, close, open again, so that a file starts
  // empty and a printer has received a blank line.
  writeFailed = false;
  if (!channel.open(deviceCode, fileName)) {
    Session.AbortFlag = true;
    return;
  }
  if (!channel.probe()) {
    channel.discard();
    Session.AbortFlag = true;
    return;
  }

  PlotState.penDown = false;
  PlotState.curX = PlotState.curY = 0;
  current->header();
  if (writeFailed) {
    PlotBeep();
    Session.AbortFlag = true;
    channel.discard();
    return;
  }
  PlotState.encodedOpen = false;
  current->windowReset();
  PlotPenUp();
  PlotState.hAlign = 0;
  PlotState.vAlign = 2;
  PlotState.textHeight = PlotState.textWidth = 5.0;
  current->initialSettings();
  PlotSetSpeed(500);
  PlotState.outputOpen = true;
}

void PlotEnd() {
  if (channel.isOpen()) {
    W().windowReset();
    if (W().returnsHome()) PlotMoveTo(true, 0, 0);
    W().trailer();
    if (Session.AbortFlag) {
      // The conversion failed on its way: nothing of it is kept.
      channel.discard();
    } else if (!channel.close()) {
      WriteFailed();
    }
  }
  PlotState.outputOpen = false;
}

void PlotAbort() {
  channel.discard();
  PlotState.outputOpen = false;
}

void PlotSelectPen(int n) {
  if (n < 0) return;  // no such pen
  if (n > 15) {
    n %= 16;
    if (n == 0) n = 16;
  }
  if (n == PlotState.currentPen) return;
  PlotPenUp();
  if (n == 0) {
    PlotState.currentPen = 0;
    return;
  }
  W().selectPen(n);
  PlotState.currentPen = static_cast<uint8_t>(n);
  // The speed column is indexed by the pen; pen 16 has no entry.
  if (n < static_cast<int>(Settings.PenSpeeds.size())) PlotSetSpeed(Settings.PenSpeeds[n]);
}

void PlotSetSpeed(int v) {
  if (v == 0 || v == PlotState.lastSpeed) return;
  W().setSpeed(v);
  PlotState.lastSpeed = v;
}

void PlotPenUp() {
  if (PlotState.currentPen == 0 || !PlotState.penDown) return;
  W().penUp();
  PlotState.penDown = false;
}

void PlotPenDown() {
  if (PlotState.currentPen == 0 || PlotState.penDown) return;
  W().penDown();
  PlotState.penDown = true;
}

// Whether a pen is chosen and the point is one the machine can take; a
// point beyond it is left out, counted, and the position is lost.
static bool Reachable(double x, double y) {
  if (PlotState.currentPen == 0) return false;
  if (Fits(x, y)) return true;
  Skip();
  PlotState.positionLost = true;
  return false;
}

void PlotMoveTo(bool force, double x, double y) {
  if (!Reachable(x, y)) return;
  if (!force && !PlotState.positionLost && std::fabs(x - PlotState.curX) < 0.00001 &&
      std::fabs(y - PlotState.curY) < 0.00001)
    return;
  if (PlotState.penDown && !PlotState.encodedOpen) PlotPenUp();
  W().moveTo(x, y);
  PlotState.curX = x;
  PlotState.curY = y;
  PlotState.positionLost = false;
}

void PlotDrawTo(bool force, double x, double y) {
  if (!Reachable(x, y)) return;
  // The stroke from a point that was left out cannot be drawn: the pen
  // goes on from here.
  if (PlotState.positionLost) {
    PlotMoveTo(true, x, y);
    return;
  }
  if (!force && x == PlotState.curX && y == PlotState.curY) return;
  if (!PlotState.penDown) PlotPenDown();
  W().drawTo(x, y);
  PlotState.curX = x;
  PlotState.curY = y;
}

void PlotLine(double x1, double y1, double x2, double y2) {
  if (PlotState.currentPen == 0) return;
  if (!Fits(x1, y1) || !Fits(x2, y2)) return Skip();
  PlotMoveTo(W().forcesLineMove(), x1, y1);
  PlotDrawTo(false, x2, y2);
}

void PlotSolid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4) {
  if (PlotState.currentPen == 0) return;
  if (!Fits(p1) || !Fits(p2) || !Fits(p3) || !Fits(p4)) return Skip();
  W().solid(p1, p2, p3, p4);
}

void PlotCircle(double cx, double cy, double r) {
  if (PlotState.currentPen == 0) return;
  if (!RoundFits(cx, cy, r)) return Skip();
  W().circle(cx, cy, r);
}

void PlotArc(double cx, double cy, double a1, double a2, double r, double direction) {
  if (PlotState.currentPen == 0) return;
  if (!RoundFits(cx, cy, r) || !std::isfinite(a1) || !std::isfinite(a2)) return Skip();
  W().arc(cx, cy, NormaliseAngle(a1), NormaliseAngle(a2), r, std::isnan(direction) ? 1 : direction);
}

void PlotLineType(int code) {
  if (code < 0 || code > 3 || code == PlotState.lineType) return;
  W().lineType(code);
  PlotState.lineType = code;
}

void PlotRotate(int angle) { W().rotate(angle); }

void PlotTextStyle(int font, double angle, double height, double width) {
  // Texts in a style the target cannot write are left out until the next
  // style.
  PlotState.textStyleFits = std::isfinite(angle) && Fits(height, width);
  if (!PlotState.textStyleFits) return;
  PlotState.textAngle = angle;
  PlotState.textHeight = height;
  PlotState.textWidth = width;
  if (!PlotUsesShapeFont()) W().textStyle(font, angle, height, width);
}

void PlotTextAlign(int horizontal, int vertical) {
  PlotState.hAlign = horizontal;
  PlotState.vAlign = vertical;
}

void PlotTextMoveTo(double x, double y) {
  if (PlotState.penDown) PlotPenUp();
  W().textMove(x, y);
  PlotState.textX = x;
  PlotState.textY = y;
}

bool PlotText(const std::string& text, double x, double y) {
  if (PlotState.currentPen == 0) return false;
  if (!PlotState.textStyleFits || !Fits(x, y)) {
    Skip();
    return false;
  }
  // The alignment codes refer to the page axes: a text at 90 degrees is
  // aligned along y, every other angle as if it ran along x.
  double n = static_cast<double>(text.size()) + 1;
  double w = PlotState.textWidth, h = PlotState.textHeight;
  int H = PlotState.hAlign, V = PlotState.vAlign;
  double ax = x, ay = y;
  if (std::nearbyint(PlotState.textAngle) != 90) {
    if (H == 1) ax -= n * w / 2;
    if (H == 2) ax -= n * w;
    if (V == 1) ay -= h / 2;
    if (V == 2) ay -= h;
  } else {
    if (H == 1) ax += h / 2;
    if (H == 2) ax += h;
    if (V == 1) ay -= n * w / 2;
    if (V == 2) ay -= n * w;
  }
  if (!Fits(ax, ay)) {
    Skip();
    return false;
  }
  PlotTextMoveTo(ax, ay);
  // The plotter has gone to the aligned start while the current point
  // stayed: the move to the insertion point must always be written.
  if (W().labelsAtInsertionPoint()) PlotMoveTo(true, x, y);
  if (!PlotUsesShapeFont()) {
    if (W().text(text)) return true;
    // A target without a text command: the texts are counted, and the
    // first of a conversion beeps.
    CountLoss(Loss::Text);
    if (!PlotState.textBeeped) PlotBeep();
    PlotState.textBeeped = true;
    return false;
  }
  DriverStroke stroke;
  StrokeShapeText(text, PlotState.textX, PlotState.textY, PlotState.textHeight, PlotState.textAngle, stroke);
  return true;
}

}  // namespace planox
