// Values of any size from a corrupt drawing: every output stays readable
// by its consumer or the operation is skipped; nothing crashes or hangs.
#include <climits>
#include <cmath>
#include <limits>
#include <regex>
#include <sstream>

#include "plottest.h"

namespace planox::test {
namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();
const double bad[] = {nan, inf, -inf, 1e300, -1e300, -5, 0, 1e-300, 4.5e15};

void Wild() {
  for (int pen : {INT_MIN, -1, 0, 1, 255, 256, 1000, INT_MAX}) PlotSelectPen(pen);
  PlotSelectPen(3);
  for (int code : {-1, 4, 99, 2, 0}) PlotLineType(code);
  for (double v : bad) {
    PlotMoveTo(false, v, 1);
    PlotDrawTo(false, 1, v);
    PlotDrawTo(true, v, v);
    PlotLine(v, 0, 0, v);
    PlotCircle(v, 1, 2);
    PlotCircle(1, 1, v);
    PlotArc(1, 1, v, 90, 3, 1);
    PlotArc(1, 1, 0, v, 3, -1);
    PlotArc(1, 1, 0, 90, v, v);
    PlotArc(v, v, 10.5, 20.25, 3, 1);
    PlotSolid({v, 0}, {1, v}, {2, 2}, {0, 2});
    PlotTextStyle(0, v, 5, 3);
    PlotTextStyle(0, 30, v, 3);
    PlotTextStyle(0, 30, 5, v);
    PlotTextAlign(2, 1);
    PlotText(std::string("a\0(\\)\x03\xff)", 8), v, 1);
    PlotText("z", 1, 1);
  }
  PlotTextStyle(0, 0, 0, 3);  // zero height
  PlotText("zero", 5, 5);
  PlotLine(1, 1, 2, 2);
}

// The same without dashes: a dashed line across a corrupt coordinate is
// valid but takes a renderer millions of dashes.
void WildContinuous() {
  Wild();
  PlotLineType(0);
}

class BadInput : public Defaults {
 protected:
  TempDir dir;
};

TEST_F(BadInput, PostscriptStaysValid) {
  ASSERT_TRUE(HaveTool("gs"));
  std::string ps = Convert(TargetPostscript, Wild);
  EXPECT_EQ(ps.find("nan"), std::string::npos);
  EXPECT_EQ(ps.find("inf"), std::string::npos);
  std::string f = dir.file("w.ps"), log;
  WriteFile(f, ps);
  EXPECT_EQ(Shell("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage " + f, log), 0) << log;
  EXPECT_EQ(log.find("Error"), std::string::npos) << log;
}

TEST_F(BadInput, HpglFamilyStaysValid) {
  ASSERT_TRUE(HaveTool("hp2xx"));
  for (int target : {TargetHpgl, TargetHpgl2, TargetHpglLaser}) {
    SCOPED_TRACE(target);
    std::string out = Convert(target, WildContinuous);
    EXPECT_EQ(out.find("nan"), std::string::npos);
    EXPECT_EQ(out.find("inf"), std::string::npos);
    if (target == TargetHpglLaser) out = out.substr(out.find("\x1b%0B") + 4, out.find("\x1b%0A") - out.find("\x1b%0B") - 4);
    std::string f = dir.file("w.plt"), log;
    WriteFile(f, out);
    EXPECT_EQ(Shell("hp2xx -m pbm -f " + dir.file("w.pbm") + " " + f, log), 0) << log;
    // Pens above 8 are beyond this renderer (it names them, as an
    // unexpected event); anything else would be an error in the output.
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    EXPECT_NE(log.find("HPGL command(s) ignored: 0"), std::string::npos) << log;
  }
}

TEST_F(BadInput, NumbersStayNumbers) {
  // Aristo, Lasercomb and every CNC dialect: each line is made of the
  // target's words and plain numbers.
  ASSERT_TRUE(HaveTool("node"));
  for (int target : {TargetAristo, TargetLasercomb}) {
    std::string out = Convert(target, Wild);
    EXPECT_EQ(out.find("nan"), std::string::npos);
    EXPECT_EQ(out.find("inf"), std::string::npos);
  }
  const std::regex cnc("(%T|; T|G[0-9]{2}( (MP|[A-Z][-+]?[0-9]+(\\.[0-9]{3})?))*|M0[26] T[0-9]+|M02|M30|T0)?");
  for (int dialect : {1, 2, 3, 4}) {
    SCOPED_TRACE(dialect);
    Settings.NcSyntax = dialect;
    std::string out = Convert(TargetCnc, Wild);
    std::istringstream in(out);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
      ASSERT_FALSE(line.empty());
      ASSERT_EQ(line.back(), '\r');
      line.pop_back();
      EXPECT_TRUE(std::regex_match(line, cnc)) << line;
      ++lines;
    }
    EXPECT_GT(lines, 10);
    if (dialect != 2) {
      std::string f = dir.file("w.cnc"), log;
      WriteFile(f, out);
      EXPECT_EQ(Shell("node " + SourceDir() + "/tests/convert/node/toolpath.js " + f + " >/dev/null", log), 0) << log;
    }
  }
}

}  // namespace
}  // namespace planox::test
