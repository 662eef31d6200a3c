// The IGES conversion target: the fixed records, the sections and their
// counts, the work file, and Open CASCADE's IGES reader loading the output.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>

#include "base/textconv.h"

#include "convert/iges.h"
#include "writertest.h"

namespace planox::test {
namespace {

using IgesWriterTest = WriterTest;

// The date of the Global section changes every day; golden files hold a
// fixed one.
std::string FixedDate(std::string s) {
  return std::regex_replace(s, std::regex("15H[0-9]{8}\\.081107"), "15H20261208.081107");
}

std::vector<std::string> Section(const std::vector<std::string>& lines, char letter) {
  std::vector<std::string> out;
  for (const std::string& l : lines)
    if (l.size() == 80 && l[72] == letter) out.push_back(l);
  return out;
}

struct Loaded {
  int entities = -1, roots = -1, shapes = -1, fails = -1;
  std::string log;
};

Loaded Load(const std::string& file) {
  Loaded r;
  int rc = 0;
  r.log = Shell(std::string(PLANOX_IGESLOAD) + " " + Quoted(file), rc);
  std::smatch m;
  if (rc == 0 && std::regex_search(r.log, m, std::regex("entities (\\d+) roots (\\d+) shapes (\\d+) fails (\\d)"))) {
    r.entities = std::stoi(m[1]);
    r.roots = std::stoi(m[2]);
    r.shapes = std::stoi(m[3]);
    r.fails = std::stoi(m[4]);
  }
  return r;
}

// Every record is 80 columns with its section letter and a sequence number
// that counts up from 1 within the section.
void ExpectRecords(const std::vector<std::string>& lines) {
  std::map<char, int> sequence;
  for (const std::string& l : lines) {
    ASSERT_EQ(l.size(), 80u) << l;
    char letter = l[72];
    EXPECT_NE(std::string("SGDPT").find(letter), std::string::npos) << l;
    EXPECT_EQ(l.substr(73), IntToTextZero(++sequence[letter], 7)) << l;
  }
}

TEST_F(IgesWriterTest, SmallDrawingMatchesGolden) {
  Session.DrawingExtents = {0, 0, 100, 200};
  ExpectGolden("sample.igs", FixedDate(Convert(TargetIges, SampleDrawing)));
}

TEST_F(IgesWriterTest, SectionsDirectoryAndParameterRecords) {
  Session.DrawingExtents = {0, 0, 100, 250};
  std::vector<std::string> l = CrLfLines(Convert(TargetIges, [] {
    PlotSelectPen(3);
    PlotLineType(2);
    PlotLine(1, 2, 3, 4);
    PlotSelectPen(9);
    PlotCircle(10, 20, 5);
    PlotTextStyle(0, 90, 2, 1);
    PlotTextAlign(0, 0);
    PlotText(std::string(70, 'W'), 5, 6);
    PlotLine(1000.125, 2000.25, -3000.5, 4000.75);
  }));
  ExpectRecords(l);
  std::vector<std::string> s = Section(l, 'S'), g = Section(l, 'G'), d = Section(l, 'D'), p = Section(l, 'P');
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(TrimText(s[0].substr(0, 72)), "IGES-Datei generiert von Planox");
  EXPECT_EQ(TrimText(s[1].substr(0, 72)), "Uebersetzer von QUORVEL GMBH, Uebersetzerversion 3.1");
  ASSERT_EQ(g.size(), 5u);
  EXPECT_TRUE(StartsWith(g[0], ",,4HFILE,8HPLOT.igs,11HPlanox V8.3,")) << g[0];
  EXPECT_TRUE(StartsWith(g[1], "16,38,6,99,15, ")) << g[1];
  EXPECT_TRUE(StartsWith(g[2], "8HPLOT.igs,1.0,2,2HMM,32767,3.2767D1, ")) << g[2];
  EXPECT_TRUE(std::regex_search(g[3], std::regex("^15H20[0-9]{6}\\.081107,1\\.0D-8,250, "))) << g[3];
  EXPECT_TRUE(StartsWith(g[4], "6HPlanox,30HQUORVEL Industriesoftware GmbH,4,0; ")) << g[4];

  // The first entity: D numbers 1 and 2, P pointer 1, line font 2, colour
  // 3 of pen 3 in the level field, no matrix field for a line.
  ASSERT_EQ(d.size(), 8u);
  EXPECT_EQ(d[0].substr(0, 72), "     110       1       1       2       3" + std::string(24, ' ') + "00000000");
  EXPECT_EQ(d[1].substr(0, 72), "     110               3       1                                        ");
  EXPECT_EQ(p[0], "110,1.000,2.000,0.0,3.000,4.000,0.0;                                   1P0000001");
  // The circle of pen 9 (colour 10): start and end point coincide.
  EXPECT_EQ(d[2].substr(0, 24), "     100       2       1");
  EXPECT_EQ(d[2].substr(48, 8), "       0");
  EXPECT_EQ(d[3].substr(16, 16), "      10       1");
  EXPECT_EQ(p[1].substr(0, 64), PadRight("100,0.0,10.000,20.000,15.000,20.000,15.000,20.000;", 64));
  EXPECT_EQ(p[1].substr(64, 8), "       3");
  // The note: parameters cut after commas, the string on lines of its own.
  EXPECT_EQ(d[4].substr(8, 8), "       3");
  int noteLines = std::stoi(d[5].substr(24, 8));
  EXPECT_EQ(noteLines, 3);
  EXPECT_EQ(d[6].substr(8, 8), IntToTextBlank(3 + noteLines, 8));
  for (int i = 2; i < 2 + noteLines; ++i) EXPECT_EQ(p[i].substr(64, 8), "       5");
  EXPECT_EQ(TrimText(p[2].substr(0, 64)), "212,1,70,70.000,2.000,1,,1.570796,0,0,5.000,6.000,0.0,");
  EXPECT_EQ(TrimText(p[3].substr(0, 64)), "70H" + std::string(61, 'W'));
  EXPECT_EQ(TrimText(p[4].substr(0, 64)), "WWWWWWWWW;");
  EXPECT_EQ(TrimText(p.back().substr(0, 64)), "110,1000.125,2000.250,0.0,-3000.500,4000.750,0.0;");

  std::string t = "S0000003G0000005D0000008P" + IntToTextZero(static_cast<long long>(p.size()), 7);
  EXPECT_EQ(l.back(), PadRight(t, 72) + "T0000001");
  EXPECT_EQ(l.size(), 3 + 5 + 8 + p.size() + 1);
}

TEST_F(IgesWriterTest, ParameterSplitAndHelpers) {
  std::string text = "106,1,5,0.0";
  for (int i = 0; i < 5; ++i) text += ",1234567.125,-7654321.250";
  text += ";";
  std::vector<std::string_view> parts = IgesSplitParameters(text);
  std::string joined;
  for (std::string_view part : parts) {
    EXPECT_LE(part.size(), 64u);
    joined += part;
  }
  EXPECT_EQ(joined, text);
  for (size_t i = 0; i + 1 < parts.size(); ++i) EXPECT_EQ(parts[i].back(), ',');
  EXPECT_TRUE(IgesSplitParameters(std::string(65, '9') + ";").empty());
  EXPECT_EQ(IgesHollerith("\x84" "b"), "2H\x84" "b");  // bytes, not characters
  std::vector<int> colours;
  for (int pen = 1; pen <= 16; ++pen) colours.push_back(IgesColour(pen));
  EXPECT_EQ(colours, (std::vector<int>{2, 5, 3, 7, 4, 6, 0, 8, 10, 11, 12, 13, 14, 15, 1, 0}));
}

TEST_F(IgesWriterTest, DrawingWithoutEntities) {
  std::string text = Convert(TargetIges, [] {});
  ExpectGolden("empty.igs", FixedDate(text));
  std::vector<std::string> l = CrLfLines(text);
  ExpectRecords(l);
  EXPECT_EQ(l.size(), 9u);
  EXPECT_EQ(l.back(), PadRight("S0000003G0000005D0000000P0000000", 72) + "T0000001");
  Loaded r = Load(path(outputName));
  EXPECT_EQ(r.entities, 0) << r.log;
}

TEST_F(IgesWriterTest, OpenCascadeLoadsAndTransfersEveryEntity) {
  Session.DrawingExtents = {0, 0, 100, 200};
  std::vector<std::string> l = CrLfLines(Convert(TargetIges, SampleDrawing));
  int entities = static_cast<int>(Section(l, 'D').size()) / 2;
  EXPECT_EQ(entities, 8);  // 3 lines, 2 circles, 1 arc, 1 path, 1 note
  Loaded r = Load(path(outputName));
  EXPECT_EQ(r.entities, entities) << r.log;
  EXPECT_EQ(r.fails, 0) << r.log;
  // Every entity but the note is geometry that becomes a shape.
  EXPECT_EQ(r.roots, entities - 1) << r.log;
  EXPECT_EQ(r.shapes, entities - 1) << r.log;
}

TEST_F(IgesWriterTest, BadInputStaysLoadable) {
  Session.DrawingExtents = {std::nanl(""), -1e300L, 1e300L, 5};
  std::vector<std::string> l = CrLfLines(Convert(TargetIges, BadDrawing));
  ExpectRecords(l);
  Loaded r = Load(path(outputName));
  EXPECT_EQ(r.entities, static_cast<int>(Section(l, 'D').size()) / 2) << r.log;
  EXPECT_EQ(r.fails, 0) << r.log;
  EXPECT_EQ(r.shapes, r.roots) << r.log;
  // The line to 1e300 does not fit a parameter line: reported, not written.
  bool reported = false;
  for (const auto& rec : ui.records) reported |= rec.text.find("IGES") != std::string::npos;
  EXPECT_TRUE(reported);
}

// No work file is left beside the output, whether the conversion ends
// normally or fails; a failed conversion keeps the previous output.
TEST_F(IgesWriterTest, WorkFileNeverStaysBehind) {
  auto files = [this] {
    std::vector<std::string> names;
    DIR* d = opendir(dir.path().c_str());
    while (dirent* e = d ? readdir(d) : nullptr)
      if (e->d_name[0] != '.' && std::string(e->d_name).rfind("planox-", 0) != 0) names.push_back(e->d_name);
    if (d) closedir(d);
    std::sort(names.begin(), names.end());
    return names;
  };
  Convert(TargetIges, SampleDrawing);
  EXPECT_EQ(files(), std::vector<std::string>{"PLOT.igs"});

  // A failed conversion keeps the previous output and no work file.
  PlotBegin(TargetIges, 3);
  SampleDrawing();
  Session.AbortFlag = true;
  PlotEnd();
  EXPECT_EQ(files(), std::vector<std::string>{"PLOT.igs"});

  // A conversion that never reaches its end leaves no work file either.
  Session.AbortFlag = false;
  PlotBegin(TargetIges, 3);
  SampleDrawing();
  EXPECT_EQ(files(), std::vector<std::string>{"PLOT.igs"});
  PlotEnd();

  // On a port the work file is made in the private work folder.
  setenv("PLANOX_LPT1", path("lpt1").c_str(), 1);
  Settings.LptPort = 1;
  PlotBegin(TargetIges, 2);
  SampleDrawing();
  PlotEnd();
  unsetenv("PLANOX_LPT1");
  std::vector<std::string> port = CrLfLines(ReadFile(path("lpt1")));
  ASSERT_FALSE(port.empty());
  if (port[0].empty()) port.erase(port.begin());  // the probe's blank line on a real port
  ExpectRecords(port);
  EXPECT_EQ(Section(port, 'P').size(), 10u);
  EXPECT_EQ(files(), (std::vector<std::string>{"PLOT.igs", "lpt1"}));
}

}  // namespace
}  // namespace planox::test
