// SVG for cutters and ISO G-code for today's controllers, from drawings
// read by the program's own reader: golden files of a polyline with an arc
// cut clockwise (bulge -1) as it is and scaled with an offset, the corpus
// read by rsvg-convert, Python's XML parser, rs274 and the toolpath
// engine, and the rules each writer keeps on any input.
#include <unistd.h>

#include <cmath>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>

#include "base/textconv.h"
#include "drawing/dxfin.h"
#include "drawing/sinks.h"
#include "plottest.h"
#include "writertest.h"

namespace planox::test {

namespace {

// A layer in colour 1, a polyline from (0, 0) to (20, 0) whose segment
// bulges -1 (a half circle cut clockwise over (10, 10)), on to (20, 10),
// and a line back.
const char* const PolylineDxf =
    "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n1\n0\nLAYER\n2\n0\n70\n0\n62\n1\n6\nCONTINUOUS\n"
    "0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
    "0\nPOLYLINE\n8\n0\n66\n1\n10\n0\n20\n0\n30\n0\n"
    "0\nVERTEX\n8\n0\n10\n0\n20\n0\n30\n0\n42\n-1\n"
    "0\nVERTEX\n8\n0\n10\n20\n20\n0\n30\n0\n"
    "0\nVERTEX\n8\n0\n10\n20\n20\n10\n30\n0\n"
    "0\nSEQEND\n8\n0\n"
    "0\nLINE\n8\n0\n10\n20\n20\n10\n30\n0\n11\n0\n21\n10\n31\n0\n"
    "0\nENDSEC\n0\nEOF\n";

class Machines : public WriterTest {
 protected:
  // Reads the drawing file and converts it to the target (NcSyntax as
  // set); the output's name, "" when the reader refused the drawing or
  // nothing was written.
  std::string ConvertFile(const std::string& file, int target, const std::string& plotFile) {
    InstallPlotDriver();
    bool converted = ConvertDrawing(file, target, plotFile);
    SetPlotSink(nullptr);
    std::string out = plotFile + "." + TargetExtension(target);
    return converted && access(out.c_str(), F_OK) == 0 ? path(out) : "";
  }

  // svgstat.py's line for each file, by file name.
  std::map<std::string, std::string> SvgStats(const std::vector<std::string>& files, int& rc) {
    std::string args;
    for (const std::string& f : files) args += " " + Quoted(f);
    std::string log;
    rc = Shell(Python3() + " " + SourceDir() + "/tests/convert/tools/svgstat.py" + args, log);
    std::map<std::string, std::string> stats;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) stats[line.substr(0, line.find(' '))] = line;
    return stats;
  }
};

TEST_F(Machines, PolylineGoldenFiles) {
  WriteFile(path("POLY.DXF"), PolylineDxf);
  for (bool scaled : {false, true}) {
    Settings.PlotScale = scaled ? 0.5 : 1.0;
    Settings.PlotOriginX = scaled ? 10 : 0;
    Settings.PlotOriginY = scaled ? 20 : 0;
    std::string name = scaled ? "polyline_scaled" : "polyline_bulge";
    std::string svg = ConvertFile(path("POLY.DXF"), TargetSvg, "T");
    ASSERT_FALSE(svg.empty());
    ExpectGolden("svg_" + name + ".svg", ReadFile(svg));
    Settings.NcSyntax = 5;
    std::string iso = ConvertFile(path("POLY.DXF"), TargetCnc, "T");
    ASSERT_FALSE(iso.empty());
    ExpectGolden("iso_" + name + ".cnc", ReadFile(iso));
    Settings.NcSyntax = 1;
  }
}

// Small drawings: one path per connected run of draws, one segment (L or
// A command) per drawn line or arc piece, circles, solids and texts as
// their own elements.
TEST_F(Machines, SvgElementsPerDrawnSegment) {
  struct Case {
    const char* name;
    std::function<void()> body;
    const char* counts;
  };
  const Case cases[] = {
      {"lines", [] { PlotSelectPen(1); PlotLine(0, 0, 1, 0); PlotLine(5, 5, 6, 6); PlotLine(7, 7, 8, 8); },
       "paths=3 segments=3 filled=0 circles=0 texts=0"},
      {"chain", [] { PlotSelectPen(1); PlotLine(0, 0, 1, 0); PlotLine(1, 0, 1, 1); PlotDrawTo(false, 0, 1); },
       "paths=1 segments=3 filled=0 circles=0 texts=0"},
      {"arc in a chain",
       [] { PlotSelectPen(1); PlotLine(0, 0, 10, 0); PlotArc(10, 5, 270, 90, 5, 1); PlotDrawTo(false, 0, 10); },
       "paths=1 segments=3 filled=0 circles=0 texts=0"},
      {"dash breaks a chain",
       [] { PlotSelectPen(1); PlotLine(0, 0, 1, 0); PlotLineType(3); PlotLine(1, 0, 2, 0); },
       "paths=2 segments=2 filled=0 circles=0 texts=0"},
      {"whole circle arc", [] { PlotSelectPen(1); PlotArc(0, 0, 0, 360, 5, 1); },
       "paths=1 segments=2 filled=0 circles=0 texts=0"},
      {"circle, solid, text",
       [] {
         PlotSelectPen(1);
         PlotCircle(0, 0, 1);
         PlotSolid({0, 0}, {1, 0}, {1, 1}, {0, 1});
         PlotTextStyle(0, 0, 2, 2);
         PlotText("x", 0, 0);
       },
       "paths=1 segments=3 filled=1 circles=1 texts=1"},
  };
  std::vector<std::string> files;
  for (const Case& c : cases) {
    Session.PlotFile = "S" + IntToText(static_cast<long long>(files.size()));
    Convert(TargetSvg, c.body);
    files.push_back(path(outputName));
  }
  int rc = 0;
  auto stats = SvgStats(files, rc);
  EXPECT_EQ(rc, 0);
  for (size_t k = 0; k < files.size(); ++k) {
    EXPECT_NE(stats[files[k]].find(cases[k].counts), std::string::npos) << cases[k].name << ": " << stats[files[k]];
    EXPECT_NE(stats[files[k]].find("pens=pen-1 "), std::string::npos) << stats[files[k]];
  }
}

// Whatever the drawing holds, the file is well-formed XML with one group
// per pen, and no number of the file is out of the ordinary.
TEST_F(Machines, SvgStaysValidOnBadInput) {
  std::string svg = Convert(TargetSvg, [] {
    BadDrawing();
    PlotSelectPen(2);
    PlotTextStyle(0, 0, 3, 3);
    PlotText(std::string("]]><!--\x1b\x7f&amp;") + '\0' + "x", 4, 4);
  });
  ASSERT_FALSE(svg.empty());
  int rc = 0;
  auto stats = SvgStats({path(outputName)}, rc);
  EXPECT_EQ(rc, 0) << stats.begin()->second;
  std::string line = stats[path(outputName)];
  EXPECT_NE(line.find("pens=pen-3,pen-1,pen-2,pen-4,pen-5,pen-6,pen-7,pen-8,pen-9,pen-10,pen-11,pen-12,pen-13,"
                      "pen-14,pen-15,pen-16 "),
            std::string::npos)
      << line;
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);
  EXPECT_FALSE(std::regex_search(svg, std::regex("[0-9]{10}")));  // no coordinate of ten digits
  // The page is the drawing's, not stretched to the values left out.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(svg, m, std::regex("width=\"([0-9.]+)mm\" height=\"([0-9.]+)mm\"")));
  EXPECT_LT(std::stod(m[1]), 1000);
  EXPECT_LT(std::stod(m[2]), 1000);

  // Elements beyond a thousand kilometres are left out and counted.
  Convert(TargetSvg, [] {
    PlotSelectPen(2);
    PlotLine(0, 0, 1e12, 5);
    PlotCircle(1e15, 0, 1);
    PlotArc(0, 0, 0, 90, 1e300, 1);
    PlotSolid({0, 0}, {1, 0}, {1, -1e13}, {0, 1});
    PlotLine(0, 0, 1e8, 5);  // a hundred kilometres stay
  });
  EXPECT_EQ(PlotSkippedValues(), 4);
  EXPECT_NE(ReadFile(outputName).find("L100000000 5"), std::string::npos);
}

// A drawing of many megabytes: every element in its pen's group, in the
// order drawn, with two pens taking turns.
TEST_F(Machines, SvgOfALargeDrawingKeepsEveryElementInOrder) {
  constexpr int kLines = 30000;
  std::string svg = Convert(TargetSvg, [] {
    for (int i = 0; i < kLines; ++i) {
      PlotSelectPen(1);
      PlotLine(i, 0, i, 1);
      PlotSelectPen(2);
      PlotLine(i, 2, i, 3);
    }
  });
  ASSERT_GT(svg.size(), 1500000u);
  for (int pen : {1, 2}) {
    std::string group = "<g id=\"pen-" + std::to_string(pen) + "\" stroke=\"" + (pen == 1 ? "#FF0000" : "#FFFF00") +
                        "\">\r\n";
    for (int i = 0; i < kLines; ++i)
      group += "<path d=\"M" + std::to_string(i) + " " + std::to_string(2 * pen - 2) + "L" + std::to_string(i) + " " +
               std::to_string(2 * pen - 1) + "\"/>\r\n";
    group += "</g>\r\n";
    EXPECT_NE(svg.find(group), std::string::npos) << "pen " << pen;
  }
  EXPECT_EQ(svg.size() - svg.rfind("</svg>\r\n"), 8u);
}

TEST_F(Machines, SvgOfAnEmptyDrawingHasThePageOfItsExtents) {
  Session.DrawingExtents = {10, 20, 110, 70};
  Settings.PlotScale = 2;
  std::string svg = Convert(TargetSvg, [] {});
  EXPECT_NE(svg.find("width=\"200.1mm\" height=\"100.1mm\" viewBox=\"19.95 -140.05 200.1 100.1\""), std::string::npos)
      << svg;
  int rc = 0;
  SvgStats({path(outputName)}, rc);
  EXPECT_EQ(rc, 0);
}

// Feeds, spindle and tools as the settings and the pen table say; line
// numbers only when asked; a program name that cannot break its comment.
TEST_F(Machines, IsoSettingsReachTheProgram) {
  Settings.NcSyntax = 5;
  Settings.SpindleSpeed = 18000;
  Settings.PlungeFeed = 120;
  Settings.MillingDepth = 1.5;
  Settings.ToolDistance = 5;
  Session.PlotFile = "A(B)";
  std::string out = Convert(TargetCnc, [] {
    PlotSelectPen(1);
    PlotSetSpeed(25);
    PlotLine(0, 0, 10, 0);
  });
  std::vector<std::string> lines = CrLfLines(out);
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], "(A B )");
  EXPECT_EQ(CountOf(lines, "M3 S18000"), 1);
  EXPECT_EQ(CountOf(lines, "G1 Z-1.500 F120"), 1);
  EXPECT_EQ(CountOf(lines, "G1 X10.000 Y0.000 F1500"), 1);  // 25 mm/s
  EXPECT_EQ(CountOf(lines, "G0 Z5.000"), 2);                // at the start, before the way home
  EXPECT_EQ(lines.back(), "M30");
  for (const std::string& l : lines) EXPECT_NE(l[0], 'N') << l;

  Settings.NcLineNumbers = 'J';
  lines = CrLfLines(Convert(TargetCnc, [] { PlotSelectPen(1); }));
  for (size_t k = 0; k < lines.size(); ++k) EXPECT_TRUE(StartsWith(lines[k], "N" + IntToText(10 * (k + 1)) + " ")) << lines[k];
}

// Arcs whose ends meet once written to three decimals: a short one is not
// cut (a controller would read a whole circle), a long one is cut as two
// half circles; a point-sized radius is nothing to cut.
TEST_F(Machines, IsoArcsThatCloseOnTheGrid) {
  Settings.NcSyntax = 5;
  std::string out = Convert(TargetCnc, [] {
    PlotSelectPen(1);
    PlotArc(0, 0, 10, 10.000001, 50, 1);
    PlotArc(0, 0, 10, 9.999999, 50, 1);
    PlotArc(5, 5, 0, 90, 0.0001, 1);
  });
  std::vector<std::string> lines = CrLfLines(out);
  int arcs = 0;
  for (const std::string& l : lines) arcs += StartsWith(l, "G3 ") || StartsWith(l, "G2 ");
  EXPECT_EQ(arcs, 2) << out;
  std::string file = path("arcs.ngc");
  WriteFile(file, out);
  std::string log;
  EXPECT_FALSE(Rs274Moves(file, log).empty()) << log;
}

// Every drawing of the corpus to SVG and to ISO G-code through the
// program's reader: each SVG is well-formed, and rsvg-convert renders ink
// wherever it has elements; rs274 reads each program without an error and
// cuts what the toolpath engine cuts.
TEST_F(Machines, CorpusToSvgAndIso) {
  SKIP_WITHOUT_CORPUS();
  std::vector<std::string> svgs, programs;
  int index = 0;
  for (const std::string& file : CorpusFiles()) {
    SCOPED_TRACE(file);
    std::string name = "C" + IntToText(++index);
    std::string svg = ConvertFile(file, TargetSvg, name);
    if (!svg.empty()) svgs.push_back(svg);
    Settings.NcSyntax = 5;
    std::string iso = ConvertFile(file, TargetCnc, name);
    Settings.NcSyntax = 1;
    if (!iso.empty()) programs.push_back(iso);
  }
  // A few drawings the reader refuses (binary DXF, no ENTITIES).
  EXPECT_GE(svgs.size(), CorpusFiles().size() * 3 / 4);
  EXPECT_EQ(svgs.size(), programs.size());

  int rc = 0;
  auto stats = SvgStats(svgs, rc);
  EXPECT_EQ(rc, 0);
  std::string pngs;
  std::vector<std::string> drawn;
  for (const std::string& svg : svgs) {
    const std::string& line = stats[svg];
    ASSERT_FALSE(line.empty()) << svg;
    if (std::regex_search(line, std::regex("(paths|circles|texts)=[1-9]"))) drawn.push_back(svg);
  }
  // Rendered into 128 pixels, where a hairline of a large sheet would
  // leave no ink: the copy rendered has lines two pixels wide.
  std::string log;
  for (const std::string& svg : drawn) {
    std::string text = ReadFile(svg);
    std::smatch box;
    ASSERT_TRUE(std::regex_search(text, box, std::regex("viewBox=\"\\S+ \\S+ (\\S+) (\\S+)\"")));
    double pixel = std::max(std::stod(box[1]), std::stod(box[2])) / 128;
    text = std::regex_replace(text, std::regex("stroke-width=\"[0-9.]+\""), "stroke-width=\"" + std::to_string(2 * pixel) + "\"",
                              std::regex_constants::format_first_only);
    WriteFile(svg + ".thick.svg", text);
    ASSERT_EQ(Shell("rsvg-convert -w 128 -h 128 -a -o " + Quoted(svg + ".png") + " " + Quoted(svg + ".thick.svg"), log), 0)
        << svg << "\n" << log;
    pngs += " " + Quoted(svg + ".png");
  }
  ASSERT_EQ(Shell(Python3() + " " + SourceDir() + "/tests/convert/tools/png2pbm.py --count" + pngs, log), 0) << log;
  std::istringstream counts(log);
  std::string png;
  long long ink = 0;
  int inked = 0;
  while (counts >> png >> ink) {
    EXPECT_GT(ink, 0) << png << " " << stats[png.substr(0, png.size() - 4)];
    inked += ink > 0;
  }
  EXPECT_EQ(inked, static_cast<int>(drawn.size()));
  std::cout << "[ corpus   ] " << svgs.size() << " SVG files, " << drawn.size() << " with elements, " << inked
            << " rendered with ink; " << programs.size() << " G-code programs\n";

  int agreed = 0;
  for (const std::string& program : programs) {
    SCOPED_TRACE(program);
    std::vector<Move> canon = Rs274Moves(program, log);
    ASSERT_FALSE(canon.empty()) << log.substr(0, 2000);
    std::vector<Move> engine = Toolpath(program, log);
    ASSERT_FALSE(engine.empty()) << log.substr(0, 2000);
    // The cuts (moves at depth), end point by end point.
    auto cuts = [](const std::vector<Move>& moves) {
      std::vector<Move> c;
      for (const Move& m : moves)
        if (m.z1 < 0 && m.z2 < 0) c.push_back(m);
      return c;
    };
    std::vector<Move> a = cuts(canon), b = cuts(engine);
    ASSERT_EQ(a.size(), b.size());
    bool same = true;
    for (size_t k = 0; k < a.size(); ++k) {
      bool near = std::fabs(a[k].x2 - b[k].x2) <= 0.002 * std::max(1.0, std::fabs(b[k].x2) * 1e-6) &&
                  std::fabs(a[k].y2 - b[k].y2) <= 0.002 * std::max(1.0, std::fabs(b[k].y2) * 1e-6) &&
                  a[k].kind == b[k].kind;
      EXPECT_TRUE(near) << k << ": " << a[k].x2 << "," << a[k].y2 << " / " << b[k].x2 << "," << b[k].y2;
      same &= near;
      if (!near) break;
    }
    agreed += same;
  }
  EXPECT_EQ(agreed, static_cast<int>(programs.size()));
  std::cout << "[ corpus   ] rs274 and the toolpath engine agree on " << agreed << " of " << programs.size()
            << " programs\n";
}

}  // namespace
}  // namespace planox::test
