// The writer of one conversion target. The driver (convert/plot.h) applies
// the rules common to every target and then hands each operation to the
// writer of the current SyntaxCode, which writes the target's commands
// through PlotWrite / PlotWriteLine and may call back into the driver's
// operations (an arc that starts with PlotMoveTo, a solid drawn as four
// PlotLine calls). The driver's state (current point, text point, text
// style) is PlotState, which a writer may read; what only one writer
// counts (path lines, procedure lines) it keeps as its own members, and a
// writer is made anew for every conversion.
//
// Every hook has a default that writes nothing, so a target only overrides
// what it has commands for. When a hook is called the driver has already
// checked that a pen is selected (where the operation draws) and, for move
// and draw, that the point is new; it updates the current point after
// moveTo/drawTo return.
//
// Adding a target:
// 1. a file of its own (convert/xxx.cpp) with a class derived from
//    PlotWriter that overrides the hooks it has commands for, and its
//    factory `std::unique_ptr<PlotWriter> MakeXxxWriter()` declared below;
// 2. one row in the target table (convert/targets.cpp) with the next
//    number: names, extension, /C code, the factory, pen table and
//    configuration-editor facts, and its name in PlotTarget (convert/plot.h);
// 3. its golden files (tests/convert/golden) and a case in the golden test.
// Nothing else names targets: the batch options, the converter dialog, the
// pen table, the configuration file and the tests read the table.
#pragma once

#include <memory>
#include <string>

#include "convert/plot.h"

namespace planox {

class PlotWriter {
 public:
  virtual ~PlotWriter() = default;

  // The output file's extension; the default is the target's table entry.
  virtual std::string extension() const;

  // Called by PlotBegin after the channel probe: the target's header.
  virtual void header() {}
  // The window reset of PlotBegin's initial settings and of PlotEnd.
  virtual void windowReset() {}
  // The target's part of the initial settings, after the window reset,
  // the pen-up and the text reset and before PlotSetSpeed (500).
  virtual void initialSettings() {}
  // The largest coordinate or length, in output millimetres, that the
  // target's numbers and machine take. The driver leaves out (and counts)
  // every element that reaches beyond it or holds a value that is not
  // finite, so no writer ever sees one.
  virtual double limit() const { return 1e15; }
  // PlotEnd: true when the end returns to (0, 0) with a forced move.
  virtual bool returnsHome() const { return true; }
  // PlotEnd: the trailer, written before the channel closes.
  virtual void trailer() {}

  virtual void rotate(int /*angle*/) {}
  virtual void selectPen(int /*pen*/) {}
  virtual void setSpeed(int /*speed*/) {}
  virtual void penUp() {}
  virtual void penDown() {}
  // PlotMoveTo: called after the pen-up (which the driver skips while
  // PlotState.encodedOpen is set).
  virtual void moveTo(double /*x*/, double /*y*/) {}
  // PlotDrawTo: called after the pen-down.
  virtual void drawTo(double /*x*/, double /*y*/) {}
  // True when PlotLine forces its first move.
  virtual bool forcesLineMove() const { return false; }

  // Corners in outline order; the default draws the outline as four lines.
  virtual void solid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4);
  virtual void circle(double /*cx*/, double /*cy*/, double /*r*/) {}
  // Angles already normalised to 0..360; direction < 0: the arc is meant
  // clockwise from end to start (only its sign counts).
  virtual void arc(double /*cx*/, double /*cy*/, double /*a1*/, double /*a2*/, double /*r*/,
                   double /*direction*/) {}
  virtual void lineType(int /*code*/) {}

  // Only called when texts use the target's own text command.
  virtual void textStyle(int /*font*/, double /*angle*/, double /*height*/, double /*width*/) {}
  // The move command to the aligned text start (PlotTextMoveTo).
  virtual void textMove(double /*x*/, double /*y*/) {}
  // True when the label is placed at the unaligned insertion point: the
  // driver then moves there after the text move.
  virtual bool labelsAtInsertionPoint() const { return false; }
  // The target's own text command; false when the target has none (the
  // driver then beeps).
  virtual bool text(const std::string& /*text*/) { return false; }
};

using PlotWriterFactory = std::unique_ptr<PlotWriter> (*)();

// The factory of a target (its row in convert/targets.h), nullptr when none
// is known.
PlotWriterFactory FindPlotWriter(int syntaxCode);

// The writers of this folder.
std::unique_ptr<PlotWriter> MakeHpglWriter();       // 1
std::unique_ptr<PlotWriter> MakeAristoWriter();     // 2
std::unique_ptr<PlotWriter> MakeLasercombWriter();  // 3
std::unique_ptr<PlotWriter> MakeCncWriter();        // 4
std::unique_ptr<PlotWriter> MakeHpgl2Writer();      // 9
std::unique_ptr<PlotWriter> MakePostscriptWriter(); // 10
std::unique_ptr<PlotWriter> MakeHpglLaserWriter();  // 11
std::unique_ptr<PlotWriter> MakeSvgWriter();        // 13

// Device units shared by the writers: round to the nearest integer, halves
// to the even neighbour; values outside the integer range are clamped and
// a nan becomes 0, so every output stays a valid number.
long long RoundUnit(double v);
// The largest integer device unit (HP-GL/2 and PostScript interpreters take
// 32-bit integers), and the limit() of a target writing `unitsPerMm`
// integer units per millimetre.
inline constexpr double MaxDeviceUnit = 1073741823.0;
inline constexpr double IntegerLimit(double unitsPerMm) { return MaxDeviceUnit / unitsPerMm; }

}  // namespace planox
