// The output driver: turns drawing operations into the language of the
// current target and writes it to the current channel. One conversion is
// PlotBegin, any number of drawing operations, PlotEnd. Coordinates and
// lengths are output millimetres (the emitters have already applied
// PlotScale and PlotOrigin), angles are degrees counter-clockwise.
//
// The driver keeps the plotter state (PlotState) and applies the rules that
// hold for every target (pen 0 silences everything, repeated moves and
// zero-length draws are dropped, pens fold into 1..16, text alignment);
// what each target writes comes from its writer (convert/writer.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace planox {

struct PlotPoint {
  double x = 0, y = 0;
};

struct PlotStateRecord {
  int target = 1;   // SyntaxCode 1..13 (HP-GL/2 switches it to 1 for a moment)
  int channel = 3;  // DeviceCode 1 serial, 2 parallel, 3 file
  double curX = 0, curY = 0;    // last position reached by a move or draw
  double textX = 0, textY = 0;  // aligned start of the current text
  bool penDown = false;
  uint8_t currentPen = 100;  // 0: no pen, every drawing operation is skipped; 100: none chosen yet
  int hAlign = 0;            // 0 left, 1 centre, 2 right
  int vAlign = 2;            // 0 none, 1 half height, 2 full height
  double textHeight = 5.0, textWidth = 5.0;
  double textAngle = 0;
  int lastSpeed = 0;
  int lineType = 0;
  bool encodedOpen = false;  // HP-GL/2 polyline-encoded block
  bool outputOpen = false;
  bool textBeeped = false;     // a text the target cannot write has beeped
  bool positionLost = false;   // the last move or draw was left out
  bool textStyleFits = true;   // the current text style can be written
  long skippedValues = 0;      // elements left out for values the target cannot write
};

extern PlotStateRecord PlotState;

// Targets (SyntaxCode).
enum PlotTarget {
  TargetHpgl = 1,
  TargetAristo = 2,
  TargetLasercomb = 3,
  TargetCnc = 4,
  TargetDxf = 5,
  TargetPascal = 6,
  TargetIges = 7,
  TargetC = 8,
  TargetHpgl2 = 9,
  TargetPostscript = 10,
  TargetHpglLaser = 11,
  TargetGarmin = 12,
  TargetSvg = 13,
};

// Everything else about each target: convert/targets.h.

// The files a conversion to the target over the channel would write
// (Session.PlotFile with each extension the target may use); none over a
// port.
std::vector<std::string> PlotOutputFiles(int syntaxCode, int deviceCode);

// The sink operations.
void PlotBegin(int syntaxCode, int deviceCode);
void PlotEnd();
// Ends a conversion that did not reach PlotEnd: a file output is removed
// (an older file of its name stays as it was).
void PlotAbort();
void PlotSelectPen(int pen);
void PlotSetSpeed(int speed);
void PlotPenUp();
void PlotPenDown();
void PlotMoveTo(bool force, double x, double y);
void PlotDrawTo(bool force, double x, double y);
void PlotLine(double x1, double y1, double x2, double y2);
void PlotSolid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4);
void PlotCircle(double cx, double cy, double r);
void PlotArc(double cx, double cy, double startAngle, double endAngle, double r, double direction);
void PlotLineType(int code);
void PlotRotate(int angle);
void PlotTextStyle(int font, double angle, double height, double width);
void PlotTextAlign(int horizontal, int vertical);
// False when the text was not written: no pen, or a target without a text
// command (counted in the conversion report; the first one beeps).
bool PlotText(const std::string& text, double x, double y);
// Pen up and the target's move to the aligned text start, which becomes
// the text point; the current point stays where it is.
void PlotTextMoveTo(double x, double y);

// Writing to the channel of the running conversion, for the writers.
// PlotWrite writes without line end (a port receives it at once);
// PlotWriteLine adds CR LF. A failure is reported ("Erreur d'écriture : "
// and the file or port), sets AbortFlag and ends the output; later writes
// do nothing.
void PlotWrite(std::string_view text);
void PlotWriteLine(std::string_view text);
// The system beep (texts on targets without a text command).
void PlotBeep();

// Elements of the running (or last) conversion that were left out because
// a value was not finite or beyond what the target's numbers and machine
// take; a writer that finds such a value itself counts it with
// PlotCountSkipped.
long PlotSkippedValues();
void PlotCountSkipped();

// The output file of the last PlotBegin on the file channel
// (PlotFile + "." + the target's extension), "" for a port.
const std::string& PlotFileName();

// True when texts are stroked with the shape font instead of the target's
// own text command.
bool PlotUsesShapeFont();

}  // namespace planox

namespace planox {
class PlotSink;
// The driver as the plot sink of the entity emitters (drawing/sinks.h).
PlotSink& DriverPlotSink();
// Registers DriverPlotSink with SetPlotSink.
void InstallPlotDriver();
}  // namespace planox
