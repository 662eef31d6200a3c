// The Garmin GPS conversion target: a PCX5 2.08 text file in which drawn
// lines become track points and texts become waypoints. The drawing is
// read as geographic degrees: x is the longitude, y the latitude.
//
// The file type (ConverterChoices.GarminFileType: 1 WPT waypoints, 2 TRK
// track, 3 GRM both) and the X reference (ConverterChoices.GarminXReference)
// come from the converter settings editor; the coordinate mode is the
// NcSyntax setting (1 coordinates unchanged, 2 x widened by 1 / cos(lat)
// from the reference longitude, 0 for x min and 180 for x max).
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

#include "base/session.h"
#include "convert/writer.h"

namespace planox {

// Converter choices that EditConfiguration sets but the configuration file
// does not store; both start as 1 at every program start. The file type is
// Settings.GarminFileType itself (one value, whichever name is used).
struct ConverterChoicesRecord {
  uint16_t& GarminFileType = Settings.GarminFileType;  // 1 WPT, 2 TRK, 3 GRM
  uint16_t GarminXReference = 1;  // Garmin coordinate mode 2: 1 x min (left), 2 x max (right)
};
extern ConverterChoicesRecord ConverterChoices;

// The moment a record is stamped with; tests install a fixed one
// (nullptr restores the system clock).
using GarminClock = std::tm (*)();
void SetGarminClock(GarminClock clock);

// The fields of the records.
std::string GarminLatitude(double y);   // "N" / "S", dd, minutes 00.00000
std::string GarminLongitude(double x);  // "E" / "W", ddd, minutes 00.00000
std::string GarminDate(const std::tm& t);  // 08-DEC-26
std::string GarminTime(const std::tm& t);  // " 9:05:07"

std::unique_ptr<PlotWriter> MakeGarminWriter();  // target 12

}  // namespace planox
