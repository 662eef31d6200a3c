// The conversion targets: one row per target holds everything the program
// knows about it. The batch options, the converter dialog, the pen table,
// the configuration file and editor, the driver and the tests read it here.
//
// Adding a target: write its writer (a PlotWriter and its factory, see
// convert/writer.h) in a file of its own, add one row to the table in
// convert/targets.cpp with the next number, and add its golden files
// (tests/convert/golden).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "convert/writer.h"

namespace planox {

// How a target writes texts when a shape font is loaded.
enum class ShapeFontUse {
  Never,   // its own text command
  Asked,   // the configuration editor asks
  Always,  // it has no text command of its own
};

struct TargetRow {
  int number;                   // SyntaxCode
  const char* name;             // configuration editor, pen table, configuration file
  const char* dialogLabel;      // converter dialog
  const char* extension;        // output file
  const char* batchCode;        // /C on the command line, in lower case
  PlotWriterFactory make;       // its writer
  const char* penHeader;        // pen table: heading of the pen-number column
  bool speeds;                  // pen table: has a pen-speed column
  bool asksRotation;            // configuration editor: asks about a quarter turn
  ShapeFontUse shapeFont;
  const char* otherExtensions;  // further output names it may write, blank-separated
  // Configuration file: the target number written where older versions,
  // which do not know this target, read it (0: its own number). The true
  // number follows at the end of the file.
  int olderNumber = 0;
};

// Every target, by number from 1.
std::span<const TargetRow> Targets();
// The row of a target number; nullptr outside the table.
const TargetRow* FindTarget(int syntaxCode);
// The row of a /C code (any case); nullptr when none has it.
const TargetRow* TargetOfBatchCode(std::string_view code);

// Name and file extension of a target (empty outside the table).
std::string TargetName(int syntaxCode);
std::string TargetExtension(int syntaxCode);

}  // namespace planox
