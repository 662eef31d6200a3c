// Small helpers shared by the exchange and source-code writers (DXF, IGES,
// Pascal, C, Garmin): numbers that must keep a decimal point whatever the
// separator setting and the drawing extents after the coordinate pipeline.
#pragma once

#include <string>

namespace planox {

// RealToText and RealToTextDecimals with "." as the decimal separator:
// these outputs are read by programs for which "," separates values.
std::string PointRealText(double x);
std::string PointRealDecimals(double x, int decimals);

// A value that cannot be written (nan, infinity) becomes 0.
double FiniteOrZero(long double x);

struct PlotExtents {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
// Session.DrawingExtents as stored, and after x * PlotScale + PlotOriginX
// (y likewise).
PlotExtents StoredExtents();
PlotExtents PlotterExtents();

// True when the running conversion has failed (AbortFlag is set): a
// trailer then writes nothing, and the driver keeps no output.
bool ConversionFailed();

}  // namespace planox
