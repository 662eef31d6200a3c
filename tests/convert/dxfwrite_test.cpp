// The DXF conversion target: layout of header, tables and entities, the
// ezdxf library as an independent reader, and the program's own reader
// converting the output again.
#include <unistd.h>

#include <cmath>

#include "base/session.h"
#include "drawing/dxfin.h"
#include "drawing/sinks.h"
#include "writertest.h"

namespace planox::test {
namespace {

using DxfWriterTest = WriterTest;

// The group value after the n-th occurrence (0-based) of a code/value pair.
std::string ValueAfter(const std::vector<std::string>& lines, const std::string& code, const std::string& value,
                       int skip, int n = 0) {
  for (size_t i = 0; i + 1 < lines.size(); i += 1)
    if (lines[i] == code && lines[i + 1] == value && n-- == 0)
      return i + 1 + 2 * skip < lines.size() ? lines[i + 1 + 2 * skip] : "";
  return "<none>";
}

// ezdxf reads the file, audits it and lists the entities; the script prints
// "audit <errors> <fixes>" and one line per entity.
const char* const EzdxfScript = R"PY(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
a = doc.audit()
print("audit", len(a.errors), len(a.fixes))
for e in doc.modelspace():
    t = e.dxftype(); d = e.dxf
    if t == "LINE": print(t, d.layer, "%g %g %g %g" % (d.start.x, d.start.y, d.end.x, d.end.y))
    elif t == "CIRCLE": print(t, d.layer, "%g %g %g" % (d.center.x, d.center.y, d.radius))
    elif t == "ARC": print(t, d.layer, "%g %g %g %g %g" % (d.center.x, d.center.y, d.radius, d.start_angle, d.end_angle))
    elif t == "SOLID": print(t, d.layer, " ".join("%g %g" % (p.x, p.y) for p in (d.vtx0, d.vtx1, d.vtx2, d.vtx3)))
    elif t == "TEXT": print(t, d.layer, "%g %g %g" % (d.insert.x, d.insert.y, d.height), len(d.text))
    else: print(t)
print("layers", len(doc.layers), "linetypes", " ".join(sorted(l.dxf.name for l in doc.linetypes)))
)PY";

std::string Ezdxf(const std::string& file, int& rc) {
  // Debian's python3, which has python3-ezdxf, before any other on the path.
  std::string python = access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
  return Shell(python + " -c " + Quoted(EzdxfScript) + " " + Quoted(file), rc);
}

TEST_F(DxfWriterTest, SmallDrawingMatchesGolden) {
  Session.DrawingExtents = {0, 0, 100, 200};
  ExpectGolden("sample.dxf", Convert(TargetDxf, SampleDrawing));
}

TEST_F(DxfWriterTest, HeaderTablesAndEntityGroups) {
  Session.DrawingExtents = {-10, -20, 30, 40};
  Settings.PlotScale = 2;
  Settings.PlotOriginX = 5;
  std::vector<std::string> l = CrLfLines(Convert(TargetDxf, [] {
    SampleDrawing();
    PlotSelectPen(16);
    PlotTextStyle(0, 0, 0, 3);
    PlotText("zero", 1, 1);
  }));
  ASSERT_GT(l.size(), 20u);
  EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + 8),
            (std::vector<std::string>{"  0", "SECTION", "  2", "HEADER", "  9", "$EXTMIN", " 10", "-15.000000"}));
  EXPECT_EQ(ValueAfter(l, "  9", "$EXTMAX", 1), "65.000000");
  EXPECT_EQ(ValueAfter(l, "  9", "$LIMMAX", 2), "80.000000");
  EXPECT_EQ(ValueAfter(l, "  9", "$LTSCALE", 1), "15");
  EXPECT_EQ(l.back(), "EOF");
  EXPECT_EQ(l[l.size() - 3], "ENDSEC");

  // The tables end with the unpadded "0" and "ENDTAB" before ENDSEC.
  auto tablesEnd = std::find(l.begin(), l.end(), "ENTITIES");
  ASSERT_NE(tablesEnd, l.end());
  size_t e = tablesEnd - l.begin();
  EXPECT_EQ(std::vector<std::string>(l.begin() + e - 11, l.begin() + e - 3),
            (std::vector<std::string>{"  3", "TXT8", "  4", "", "0", "ENDTAB", "  0", "ENDSEC"}));
  EXPECT_EQ(CountOf(l, "LAYER"), 17);
  EXPECT_EQ(ValueAfter(l, "  2", "15", 2), "16");  // layer 15 has colour 16

  // The line (1, 2)-(3, 4) with six decimals, the chained line from the
  // current point, pen 9 on layer 8.
  EXPECT_EQ(ValueAfter(l, "  0", "LINE", 1), "0");
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(ValueAfter(l, "  0", "LINE", 2 + i), std::vector<std::string>({"1.000000", "2.000000", "3.000000", "4.000000"})[i]);
  EXPECT_EQ(ValueAfter(l, "  0", "LINE", 2, 1), "3.000000");
  EXPECT_EQ(ValueAfter(l, "  0", "LINE", 1, 2), "8");
  // The arc from 0 to 360 is a circle; the part arc keeps its angles.
  EXPECT_EQ(CountOf(l, "CIRCLE"), 2);
  EXPECT_EQ(ValueAfter(l, "  0", "ARC", 5), "30.000000");
  // Solid corners in DXF order: the third is p4, the fourth p3.
  EXPECT_EQ(ValueAfter(l, "  0", "SOLID", 6), "0.000000");
  EXPECT_EQ(ValueAfter(l, "  0", "SOLID", 7), "10.000000");
  EXPECT_EQ(ValueAfter(l, "  0", "SOLID", 8), "10.000000");
  EXPECT_EQ(ValueAfter(l, "  0", "SOLID", 9), "10.000000");
  // Text: height, text, style, width factor 2/2.5, angle, slant; a style of
  // height 0 gives height 0 and the width factor TextWidthRatio.
  EXPECT_EQ(ValueAfter(l, "  0", "TEXT", 4), "2.500000");
  EXPECT_EQ(ValueAfter(l, "  0", "TEXT", 5), "Hello");
  EXPECT_EQ(ValueAfter(l, "  0", "TEXT", 7), "0.8");
  EXPECT_EQ(ValueAfter(l, "  0", "TEXT", 1, 1), "15");
  EXPECT_EQ(ValueAfter(l, "  0", "TEXT", 4, 1), "0.000000");
  EXPECT_EQ(ValueAfter(l, "  0", "TEXT", 7, 1), "1");
}

TEST_F(DxfWriterTest, DecimalsSeparatorAndLayerColours) {
  Settings.DxfDecimals = 3;
  Settings.DecimalSeparator = 2;
  Settings.DecimalPlaces = 5;
  DxfSingleColourLayers = true;
  std::vector<std::string> l = CrLfLines(Convert(TargetDxf, [] {
    PlotSelectPen(1);
    PlotLine(1, 2, 3, 4.25);
    PlotTextStyle(0, 12.5, 2, 3);
    PlotText("t", 0, 0);
  }));
  EXPECT_EQ(ValueAfter(l, "  0", "LINE", 2), "1.000");
  EXPECT_EQ(ValueAfter(l, "  0", "LINE", 5), "4.250");
  EXPECT_EQ(ValueAfter(l, "  0", "TEXT", 8), "12.500");  // a point, whatever the separator
  EXPECT_EQ(ValueAfter(l, "  2", "15", 2), "1");
}

TEST_F(DxfWriterTest, EzdxfReadsAndAuditsTheOutput) {
  Session.DrawingExtents = {0, 0, 100, 200};
  Convert(TargetDxf, SampleDrawing);
  int rc = 0;
  std::string out = Ezdxf(path(outputName), rc);
  ASSERT_EQ(rc, 0) << out;
  EXPECT_NE(out.find("audit 0 0\n"), std::string::npos) << out;
  EXPECT_NE(out.find("LINE 0 1 2 3 4\n"), std::string::npos) << out;
  EXPECT_NE(out.find("LINE 0 3 4 5 0\n"), std::string::npos) << out;
  EXPECT_NE(out.find("LINE 8 -1.5 0.25 100 200\n"), std::string::npos) << out;
  EXPECT_NE(out.find("CIRCLE 1 10 10 5\n"), std::string::npos) << out;
  EXPECT_NE(out.find("CIRCLE 1 20 20 3\n"), std::string::npos) << out;
  EXPECT_NE(out.find("ARC 1 20 20 3 30 120\n"), std::string::npos) << out;
  EXPECT_NE(out.find("SOLID 1 0 0 10 0 0 10 10 10\n"), std::string::npos) << out;
  EXPECT_NE(out.find("TEXT 1 30 40 2.5 5\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" CONTINUOUS DASHDOT DASHED\n"), std::string::npos) << out;
}

TEST_F(DxfWriterTest, BadInputStaysReadable) {
  Session.DrawingExtents = {std::nanl(""), -1e300L, 1e300L, 5};
  std::string text = Convert(TargetDxf, BadDrawing);
  CrLfLines(text);
  int rc = 0;
  std::string out = Ezdxf(path(outputName), rc);
  ASSERT_EQ(rc, 0) << out;
  EXPECT_NE(out.find("audit 0 0\n"), std::string::npos) << out;
  EXPECT_EQ(text.find("nan"), std::string::npos);
  EXPECT_NE(out.find("TEXT 2 1 1 0 13\n"), std::string::npos) << out;  // control characters as blanks
}

TEST_F(DxfWriterTest, FailedConversionKeepsThePreviousOutput) {
  PlotBegin(TargetDxf, 3);
  SampleDrawing();
  Session.AbortFlag = true;  // the read stopped part-way
  PlotEnd();
  EXPECT_NE(access("PLOT.dxf", F_OK), 0);
  WriteFile("PLOT.dxf", "old");
  Session.AbortFlag = false;
  PlotBegin(TargetDxf, 3);
  SampleDrawing();
  Session.AbortFlag = true;
  PlotEnd();
  EXPECT_EQ(ReadFile("PLOT.dxf"), "old");
}

// The program's own reader converts the output to DXF once more: the
// lines, circles, arcs, solids and texts come back with the same groups.
TEST_F(DxfWriterTest, OwnReaderConvertsTheOutputAgain) {
  Session.DrawingExtents = {0, 0, 100, 200};
  std::string first = Convert(TargetDxf, [] {
    PlotSelectPen(1);
    PlotLine(1, 2, 3, 4);
    PlotSelectPen(2);
    PlotCircle(10, 10, 5);
    PlotArc(20, 20, 30, 120, 3, 1);
    PlotSolid({0, 0}, {10, 0}, {10, 10}, {0, 10});
    PlotTextStyle(0, 30, 2.5, 2);
    PlotTextAlign(0, 0);
    PlotText("Hello", 30, 40);
  });
  Session.InPath = dir.path();
  Session.DrawingName = "PLOT";
  Session.FileExtension = "dxf";
  Session.PlotFile = "BACK";
  Settings.SyntaxCode = TargetDxf;
  Settings.DeviceCode = 3;
  Session.AbortFlag = false;
  InstallPlotDriver();
  ReadDrawing(ReadForConversion);
  SetPlotSink(nullptr);
  EXPECT_FALSE(Session.AbortFlag);
  for (const auto& r : ui.records) ADD_FAILURE() << r.caption << r.text;
  std::string second = ReadFile(path("BACK.dxf"));
  auto entities = [](const std::string& s) {
    size_t a = s.find("ENTITIES\r\n");
    return a == std::string::npos ? std::string() : s.substr(a);
  };
  EXPECT_FALSE(entities(first).empty());
  EXPECT_EQ(entities(second), entities(first));
}

}  // namespace
}  // namespace planox::test
