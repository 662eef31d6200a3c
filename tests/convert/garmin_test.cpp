// The Garmin PCX5 conversion target: header, track segments, waypoints,
// the coordinate fields and the two coordinate modes, with every line
// checked against the record layouts.
#include <unistd.h>

#include <regex>

#include "base/textconv.h"
#include "convert/garmin.h"
#include "writertest.h"

namespace planox::test {
namespace {

std::tm FixedClock() {
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 9;  // October: "OKT"
  t.tm_mday = 8;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 7;
  return t;
}

class GarminWriterTest : public WriterTest {
 protected:
  void SetUp() override {
    WriterTest::SetUp();
    SetGarminClock(FixedClock);
  }
  void TearDown() override {
    SetGarminClock(nullptr);
    WriterTest::TearDown();
  }
};

const std::vector<std::string> Header = {
    " ",
    "H  SOFTWARE NAME & VERSION",
    "I  PCX5 2.08",
    " ",
    "H  R DATUM                IDX DA            DF            DX            DY            DZ",
    "M  G WGS 84               121 +0.000000e+00 +0.000000e+00 +0.000000e+00 +0.000000e+00 +0.000000e+00",
    " ",
    "H  COORDINATE SYSTEM",
    "U  LAT LON DM",
};
const std::string TrackHeader = "H  LATITUDE    LONGITUDE    DATE      TIME     ALT    ;track";
const std::string WaypointHeader =
    "H  IDNT   LATITUDE    LONGITUDE    DATE      TIME     ALT   DESCRIPTION                              "
    "PROXIMITY     SYMBOL ;waypts";

// The record layouts, column by column.
const std::string Lat = "[NS][0-9]{2}[0-5][0-9]\\.[0-9]{5}", Lon = "[EW][0-9]{3}[0-5][0-9]\\.[0-9]{5}",
                  Date = "[0-3][0-9]-(JAN|FEB|MAR|APR|MAY|JUN|JUL|AUG|SEP|OKT|NOV|DEC)-[0-9]{2}",
                  Time = "[ 12][0-9]:[0-5][0-9]:[0-5][0-9]";
const std::regex TrackPoint("T  " + Lat + " " + Lon + " " + Date + " " + Time + " -9999");
const std::regex Waypoint("W  [^\\r\\n]{6} " + Lat + " " + Lon + " " + Date + " " + Time + " -9999 " + Date + " " +
                          Time.substr(0, Time.size() - 11) + " {25} 0\\.00000e\\+00        0");

// Checks every line of a PCX5 file; counts its record kinds.
struct Parsed {
  int tracks = 0, points = 0, waypointHeaders = 0, waypoints = 0;
  std::vector<std::string> names;
};

Parsed Parse(const std::vector<std::string>& lines) {
  Parsed p;
  EXPECT_GE(lines.size(), Header.size());
  if (lines.size() < Header.size()) return p;
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9), Header);
  for (size_t i = Header.size(); i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (l == TrackHeader) {
      EXPECT_EQ(lines[i - 1], " ");
      ++p.tracks;
    } else if (l == WaypointHeader) {
      EXPECT_EQ(lines[i - 1], "");
      ++p.waypointHeaders;
    } else if (l.empty() || l == " ") {
      EXPECT_TRUE(i + 1 < lines.size() && (lines[i + 1] == TrackHeader || lines[i + 1] == WaypointHeader)) << i;
    } else if (StartsWith(l, "T  ")) {
      EXPECT_TRUE(std::regex_match(l, TrackPoint)) << l;
      EXPECT_GT(p.tracks, 0);
      ++p.points;
    } else if (StartsWith(l, "W  ")) {
      EXPECT_TRUE(std::regex_match(l, Waypoint)) << l;
      EXPECT_GT(p.waypointHeaders, 0);
      ++p.waypoints;
      p.names.push_back(l.substr(3, 6));
    } else {
      ADD_FAILURE() << "unknown record: " << l;
    }
  }
  return p;
}

void Route() {
  PlotSelectPen(1);
  PlotMoveTo(false, 0, 0);  // (0, 0) is never a point
  PlotLine(8.5, 47.25, 9.75, -47.5);
  PlotDrawTo(false, 0, 0);
  PlotDrawTo(false, -122.125, 37.0);
  PlotTextStyle(0, 0, 2, 2);
  PlotTextAlign(0, 0);
  PlotText("Zurich main station", 8.5, 47.25);
  PlotText("ab", -0.5, -0.25);
  PlotLine(10, 10, 11, 11);  // a pen-up move: a new track
  PlotText("hut", 10.5, 10.5);
  PlotSolid({1, 1}, {2, 1}, {2, 2}, {1, 2});
  PlotCircle(1, 1, 1);
  PlotArc(1, 1, 0, 90, 1, 1);
}

TEST_F(GarminWriterTest, FileTypesMatchGolden) {
  for (int type : {1, 2, 3}) {
    ConverterChoices.GarminFileType = type;
    std::string text = Convert(TargetGarmin, Route);
    EXPECT_EQ(outputName, std::string("PLOT.") + (type == 1 ? "WPT" : type == 2 ? "TRK" : "GRM"));
    ExpectGolden(std::string("route.") + (type == 1 ? "wpt" : type == 2 ? "trk" : "grm"), text);
    Parsed p = Parse(CrLfLines(text));
    EXPECT_EQ(p.tracks, type == 1 ? 0 : 2) << type;
    EXPECT_EQ(p.points, type == 1 ? 0 : 5) << type;
    EXPECT_EQ(p.waypoints, type == 2 ? 0 : 3) << type;
    EXPECT_EQ(p.waypointHeaders, type == 1 ? 1 : type == 2 ? 0 : 2) << type;
    if (type != 2) {
      EXPECT_EQ(p.names, (std::vector<std::string>{"ZURICH", "AB    ", "HUT   "}));
    }
  }
}

TEST_F(GarminWriterTest, CoordinateFields) {
  EXPECT_EQ(GarminLatitude(-47.5), "S4730.00000");
  EXPECT_EQ(GarminLatitude(47.25), "N4715.00000");
  EXPECT_EQ(GarminLatitude(0), "N0000.00000");
  EXPECT_EQ(GarminLatitude(-0.25), "S0015.00000");
  EXPECT_EQ(GarminLongitude(8.5), "E00830.00000");
  EXPECT_EQ(GarminLongitude(-122.125), "W12207.50000");
  EXPECT_EQ(GarminLongitude(12.9999999999), "E01300.00000");  // no 60 minutes
  EXPECT_EQ(GarminDate(FixedClock()), "08-OKT-26");
  EXPECT_EQ(GarminTime(FixedClock()), " 9:05:07");
  Settings.DecimalPlaces = 5;
  Settings.DecimalSeparator = 2;
  EXPECT_EQ(GarminLatitude(-47.5), "S4730.00000");  // the columns stay
}

TEST_F(GarminWriterTest, ArealModeWidensLongitudes) {
  ConverterChoices.GarminFileType = 2;
  Settings.NcSyntax = 2;
  auto track = [] {
    PlotSelectPen(1);
    PlotLine(30, 60, 170, 60);
  };
  std::vector<std::string> left = CrLfLines(Convert(TargetGarmin, track));
  Parse(left);
  ASSERT_GE(left.size(), 13u);
  EXPECT_EQ(left[11].substr(15, 12), "E060" "00.00000");  // 0 + 30 / cos 60
  EXPECT_EQ(left[12].substr(15, 12), "E340" "00.00000");
  ConverterChoices.GarminXReference = 2;
  std::vector<std::string> right = CrLfLines(Convert(TargetGarmin, track));
  ASSERT_GE(right.size(), 13u);
  EXPECT_EQ(right[11].substr(15, 12), "W120" "00.00000");  // 180 - 150 / cos 60
  EXPECT_EQ(right[12].substr(15, 12), "E160" "00.00000");
}

TEST_F(GarminWriterTest, OutOfFieldCoordinatesAreReportedNotWritten) {
  ConverterChoices.GarminFileType = 3;
  std::string text = Convert(TargetGarmin, [] {
    BadDrawing();
    PlotSelectPen(1);
    PlotLine(1000, 5, 6, 7);
    PlotTextStyle(0, 0, 2, 2);
    PlotText("far", 5, 120);
  });
  Parsed p = Parse(CrLfLines(text));
  EXPECT_GT(p.points, 0);
  EXPECT_EQ(std::count(p.names.begin(), p.names.end(), "FAR   "), 0);
  bool reported = false;
  for (const auto& r : ui.records) reported |= r.text.find("PCX5") != std::string::npos;
  EXPECT_TRUE(reported);

  ConverterChoices.GarminFileType = 1;
  PlotBegin(TargetGarmin, 3);
  Route();
  Session.AbortFlag = true;
  PlotEnd();
  EXPECT_NE(access("PLOT.WPT", F_OK), 0);

  // A conversion that never reaches its end: its file never appears.
  Session.AbortFlag = false;
  PlotBegin(TargetGarmin, 3);
  Route();
  EXPECT_NE(access("PLOT.WPT", F_OK), 0);
  PlotBegin(TargetDxf, 3);
  PlotEnd();
  EXPECT_NE(access("PLOT.WPT", F_OK), 0);
  EXPECT_EQ(access("PLOT.dxf", F_OK), 0);
}

}  // namespace
}  // namespace planox::test
