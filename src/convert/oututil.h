// Small helpers shared by the exchange and source-code writers (DXF, IGES,
// Pascal, C, Garmin): numbers that must keep a decimal point whatever the
// separator setting and the drawing extents after the coordinate pipeline.
#pragma once

#include <cstdio>
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
void AppendPointFixed(std::string& out, double x, int decimals, bool trimZeros = false);

// A value that cannot be written (nan, infinity) becomes 0.
double FiniteOrZero(long double x);

struct PlotExtents {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
// Session.DrawingExtents as stored, and after x * PlotScale + PlotOriginX
// (y likewise).
PlotExtents StoredExtents();
PlotExtents PlotterExtents();

// A work file for a writer that holds part of its output back until the
// trailer: made beside the output (in the private work folder for a port)
// under a name of its own ("<prefix>-XXXXXX.$$$"), so conversions never
// share one, and its name removed at once, so nothing is left behind
// however the conversion ends. nullptr when none can be made; `name` is
// the name tried.
std::FILE* OpenWorkFile(const std::string& prefix, std::string& name);
// Writes the whole work file to the channel as it stands (PlotWrite), until
// the conversion fails. False when the work file could not be read.
bool CopyWorkFile(std::FILE* work);

// The start of an arc for the targets whose arc command sweeps whole
// degrees (HP-GL, ARISTO): to the arc's start point at a1, on by a line to
// the first whole degree where a1 is not whole, and the pen down. Returns
// the sweep in whole degrees from there to the last whole degree before a2.
long long BeginWholeDegreeArc(double cx, double cy, double r, double a1, double a2);

// True when the running conversion has failed (AbortFlag is set): a
// trailer then writes nothing, and the driver keeps no output.
bool ConversionFailed();

}  // namespace planox
