// What a conversion wrote and what it left out, by cause. The reader, the
// emitters and the output driver count into one record while a drawing is
// converted; the main window shows it in the result message and the batch
// run writes it as one line on standard error. Every place that drops a
// drawing element on purpose counts it here, so nothing is lost in silence.
#pragma once

#include <array>
#include <string>

namespace planox {

enum class Loss : int {
  UnreadType,      // entities of a type the reader does not read
  LayerOff,        // entities on layers that are not drawn
  NoPen,           // elements whose colour selects no pen
  Text,            // texts the target has no command for
  UndefinedBlock,  // insertions of blocks the drawing does not define
  TooDeep,         // insertions nested deeper than the reader follows
  NotFinite,       // elements with values the target cannot take
};
inline constexpr int LossCauses = 7;

struct ConversionReport {
  long long written = 0;  // drawing elements handed to the target
  std::array<long long, LossCauses> lost{};

  long long count(Loss cause) const { return lost[static_cast<int>(cause)]; }
  long long totalLost() const;
};

// The record of the running (or last) conversion.
const ConversionReport& Report();
void ClearReport();
void CountWritten();
void CountLoss(Loss cause, long long n = 1);

// The report as one line of text (code page 850): the number of elements
// written, then what was left out, by cause; the types not read are named
// from the last read's EntitiesNotRead.
std::string ReportText(const ConversionReport& report);

// Shows the report of the last conversion after lead: as a message, or as a
// warning when no drawing element was written.
void ShowReport(const std::string& lead);

// Converts the current drawing (ReadDrawing in conversion mode; every read
// but a block's display starts a fresh report). True when the output was written completely; false when
// the conversion was refused or failed (AbortFlag is then set).
bool ConvertDrawing();

}  // namespace planox
