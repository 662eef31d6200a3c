#include "convert/garmin.h"

#include <cmath>
#include <cstdio>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "convert/oututil.h"

namespace planox {

ConverterChoicesRecord ConverterChoices;

namespace {

GarminClock clockHook = nullptr;

std::tm Now() { return clockHook ? clockHook() : LocalNow(); }

// Degrees and minutes of |v|: the minutes are rounded to five decimals
// first, so 59.999999 minutes carry into the next degree instead of being
// written as 60.00000.
void DegreesMinutes(double v, long long& degrees, double& minutes) {
  double units = std::nearbyint(std::fabs(v) * 60.0 * 100000.0);
  degrees = static_cast<long long>(std::floor(units / 6000000.0));
  minutes = (units - static_cast<double>(degrees) * 6000000.0) / 100000.0;
}

// Minutes in a fixed field of two integer digits and five decimals with a
// decimal point; the columns of the records do not move with the number
// settings.
std::string MinutesText(double minutes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%08.5f", minutes);
  return buf;
}

std::string Coordinate(double v, char positive, char negative, int width) {
  long long degrees = 0;
  double minutes = 0;
  DegreesMinutes(v, degrees, minutes);
  std::string s(1, v >= 0 ? positive : negative);
  return s + IntToTextZero(degrees, width) + MinutesText(minutes);
}

// The identifier is a fixed column: control characters become blanks.
std::string Identifier(const std::string& text) {
  return BlankControls(PadRight(UpperText(text), 6));
}

const char* const TrackHeader = "H  LATITUDE    LONGITUDE    DATE      TIME     ALT    ;track";
const char* const WaypointHeader =
    "H  IDNT   LATITUDE    LONGITUDE    DATE      TIME     ALT   DESCRIPTION                   "
    "           PROXIMITY     SYMBOL ;waypts";

class GarminWriter final : public PlotWriter {
 public:
  GarminWriter()
      : fileType_(ConverterChoices.GarminFileType >= 1 && ConverterChoices.GarminFileType <= 3
                      ? ConverterChoices.GarminFileType
                      : 1),
        areal_(Settings.NcSyntax == 2),
        xReference_(ConverterChoices.GarminXReference == 2 ? 2 : 1) {}

  std::string extension() const override {
    static const char* const names[] = {"WPT", "TRK", "GRM"};
    return names[fileType_ - 1];
  }

  void header() override {
    for (const char* line :
         {" ", "H  SOFTWARE NAME & VERSION", "I  PCX5 2.08", " ",
          "H  R DATUM                IDX DA            DF            DX            DY            DZ",
          "M  G WGS 84               121 +0.000000e+00 +0.000000e+00 +0.000000e+00 +0.000000e+00 "
          "+0.000000e+00",
          " ", "H  COORDINATE SYSTEM", "U  LAT LON DM"})
      PlotWriteLine(line);
  }


  void moveTo(double x, double y) override {
    if (fileType_ == 1 || (x == 0 && y == 0)) return;
    std::string point;
    if (!Position(x, y, point)) return;
    PlotWriteLine(" ");
    PlotWriteLine(TrackHeader);
    PlotWriteLine("T  " + point + " -9999");
    waypointHeaderDone_ = false;
  }

  void drawTo(double x, double y) override {
    if (fileType_ == 1 || (x == 0 && y == 0)) return;
    std::string point;
    if (Position(x, y, point)) PlotWriteLine("T  " + point + " -9999");
  }

  // Solids, like circles and arcs, are not part of a route.
  void solid(const PlotPoint&, const PlotPoint&, const PlotPoint&, const PlotPoint&) override {}

  bool text(const std::string& text) override {
    if (fileType_ == 2) return true;
    std::string point;
    if (!Position(PlotState.textX, PlotState.textY, point)) return true;
    if (!waypointHeaderDone_) {
      PlotWriteLine("");
      PlotWriteLine(WaypointHeader);
      waypointHeaderDone_ = true;
    }
    std::tm t = Now();
    std::string description = PadRight(GarminDate(t) + " " + GarminTime(t).substr(0, 5), 40);
    PlotWriteLine("W  " + Identifier(text) + " " + point + " -9999 " + description +
                  " 0.00000e+00        0");
    return true;
  }

 private:
  // Latitude, longitude, date and time of a point; false (reported once
  // per conversion) when a coordinate does not fit its field.
  bool Position(double x, double y, std::string& out) {
    if (areal_) {
      double c = std::cos(y * M_PI / 180.0);
      x = xReference_ == 1 ? (x - 0.0) / c : 180.0 - (180.0 - x) / c;
    }
    if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(y) >= 99.999995 ||
        std::fabs(x) >= 999.999995) {
      if (!rangeReported_)
        ReportError("Coordonn\x82" "e hors du format PCX5, point ignor\x82 : " + PointRealText(x) +
                    " " + PointRealText(y));
      rangeReported_ = true;
      PlotCountSkipped();
      return false;
    }
    std::tm t = Now();
    out = GarminLatitude(y) + " " + GarminLongitude(x) + " " + GarminDate(t) + " " + GarminTime(t);
    return true;
  }

  int fileType_;
  bool areal_;
  int xReference_;
  bool waypointHeaderDone_ = false;
  bool rangeReported_ = false;
};

}  // namespace

void SetGarminClock(GarminClock clock) { clockHook = clock; }

std::string GarminLatitude(double y) { return Coordinate(y, 'N', 'S', 2); }
std::string GarminLongitude(double x) { return Coordinate(x, 'E', 'W', 3); }

std::string GarminDate(const std::tm& t) {
  static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                       "JUL", "AUG", "SEP", "OKT", "NOV", "DEC"};
  int m = t.tm_mon >= 0 && t.tm_mon < 12 ? t.tm_mon : 0;
  return IntToTextZero(t.tm_mday, 2) + "-" + months[m] + "-" + IntToTextZero((t.tm_year + 1900) % 100, 2);
}

std::string GarminTime(const std::tm& t) {
  return IntToTextBlank(t.tm_hour, 2) + ":" + IntToTextZero(t.tm_min, 2) + ":" + IntToTextZero(t.tm_sec, 2);
}

std::unique_ptr<PlotWriter> MakeGarminWriter() { return std::make_unique<GarminWriter>(); }

}  // namespace planox
