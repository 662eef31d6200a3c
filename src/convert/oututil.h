// Small helpers shared by the exchange and source-code writers (DXF, IGES,
// Pascal, C, Garmin): numbers that must keep a decimal point whatever the
// separator setting, the drawing extents after the coordinate pipeline, and
// the clean-up of an output that a failed conversion left half written.
#pragma once

#include <string>

namespace planox {

// RealToText and RealToTextDecimals with "." as the decimal separator:
// these outputs are read by programs for which "," separates values.
std::string PointRealText(double x);
std::string PointRealDecimals(double x, int decimals);
// A finite value with exactly `decimals` decimals and a point, whatever the
// number settings: machine languages that others read (G-code for today's
// controllers, SVG). "-0.000" is written as "0.000"; with trimZeros the
// trailing zeros and a bare point go ("12.5", "3").
std::string PointFixed(double x, int decimals, bool trimZeros = false);

// A value that cannot be written (nan, infinity) becomes 0.
double FiniteOrZero(long double x);

struct PlotExtents {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
// Session.DrawingExtents as stored, and after x * PlotScale + PlotOriginX
// (y likewise).
PlotExtents StoredExtents();
PlotExtents PlotterExtents();

// True when the running conversion has failed (AbortFlag is set).
bool ConversionFailed();

// The output file of a file conversion (Session.PlotFile + "." + extension
// in the current directory), remembered when the header is written. A
// conversion that fails part-way leaves no file that looks complete: the
// trailer of a failed conversion calls Discard, and a conversion that never
// reaches its trailer (the reader stopped, the header could not be
// written) loses its file when its writer goes, at the next conversion or
// at program end. Nothing is removed for port channels.
class OutputGuard {
 public:
  OutputGuard() = default;
  OutputGuard(const OutputGuard&) = delete;
  OutputGuard& operator=(const OutputGuard&) = delete;
  ~OutputGuard();
  void Begin(const std::string& extension);
  // The conversion ended: a complete file stays.
  void Finish() { path_.clear(); }
  // The conversion failed: the file is removed and the removal reported.
  void Discard();

 private:
  std::string path_;  // absolute, empty when nothing is to be removed
};

}  // namespace planox
