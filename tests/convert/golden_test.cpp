// Byte-for-byte outputs of small drawings for every target and CNC
// dialect, kept in tests/convert/golden (each file checked by hand). The
// PostScript date line is the only line that changes from run to run; it
// is compared in form only. PLANOX_UPDATE_GOLDEN=1 writes the files anew.
#include <cstdlib>
#include <regex>

#include "convert/targets.h"
#include "plottest.h"

namespace planox::test {
namespace {

// The drawing every target converts: connected lines, a dashed line, a
// circle, arcs on and off whole degrees, a short arc, a backwards arc, a
// solid, a text and a short polyline with a repeated point.
void Standard() {
  PlotSelectPen(1);
  PlotLine(0, 0, 10, 5);
  PlotLine(10, 5, 20, 5);
  PlotLineType(3);
  PlotLine(20, 20, 40, 20);
  PlotLineType(0);
  PlotSelectPen(2);
  PlotCircle(50, 50, 10);
  PlotArc(50, 50, 10.5, 100.25, 20, 1);
  PlotArc(50, 50, -10, 10, 20, -1);
  PlotArc(80, 80, 30, 31.5, 5, 1);
  PlotSolid({60, 0}, {70, 0}, {70, 10}, {60, 10});
  PlotTextStyle(0, 0, 5, 3);
  PlotTextAlign(0, 0);
  PlotText("Hi (x)", 10, 60);
  PlotSelectPen(5);
  PlotMoveTo(false, 30, 30);
  PlotDrawTo(false, 31, 30);
  PlotDrawTo(false, 31, 29);
  PlotDrawTo(false, 31, 29);
}

struct Case {
  const char* name;
  int target;
  std::function<void()> setup;
  std::function<void()> body;
};

const Case cases[] = {
    {"hpgl_standard", TargetHpgl, [] {}, Standard},
    {"hpgl_first_line", TargetHpgl, [] {}, [] { PlotSelectPen(1); PlotLine(0, 0, 10, 5); }},
    {"hpgl_arcs", TargetHpgl, [] {},
     [] {
       PlotSelectPen(1);
       PlotArc(0, 0, 10.5, 100.25, 10, 1);  // chord to 11, AA 89, chord from 100
       PlotArc(0, 0, 20, 21.5, 10, 1);      // 1.5 degrees: a chord only
       PlotArc(0, 0, 350, 10, 10, 1);       // sweep 20
     }},
    {"hpgl_rotated", TargetHpgl, [] { Settings.Rotate90 = 'J'; },
     [] { PlotSelectPen(3); PlotLine(1, 1, 2, 2); }},
    {"hpgl2_standard", TargetHpgl2, [] {}, Standard},
    {"hpgl2_differences", TargetHpgl2, [] {},
     [] {
       PlotSelectPen(1);
       PlotLine(0, 0, 1, 0);   // +1 mm: Oa, 0: _
       PlotLine(1, 0, 0, -1);  // -1 mm: Pa
       PlotLine(0, -1, 0, -1.0125);
     }},
    {"laser_standard", TargetHpglLaser, [] {}, Standard},
    {"laser_pen", TargetHpglLaser, [] {}, [] { PlotSelectPen(5); PlotLine(0, 0, 1, 1); }},
    {"aristo_standard", TargetAristo, [] {}, Standard},
    {"aristo_pen_line", TargetAristo, [] { Settings.Rotate90 = 'J'; },
     [] {
       PlotSelectPen(2);
       PlotMoveTo(false, 10, 5);  // D23I2G0D0X1000Y500
       PlotTextStyle(3, 45, 5, 2.5);
       PlotTextAlign(0, 0);
       PlotText("it's \x84\x94\x81\xe1\xe4", 10, 5);
     }},
    {"lasercomb_standard", TargetLasercomb, [] {}, Standard},
    {"lasercomb_mm", TargetLasercomb, [] { Settings.NcSyntax = 2; }, Standard},
    {"cnc1_standard", TargetCnc, [] {}, Standard},
    {"cnc1_line", TargetCnc, [] {}, [] { PlotSelectPen(1); PlotLine(0, 0, 10, 0); }},
    {"cnc2_standard", TargetCnc, [] { Settings.NcSyntax = 2; }, Standard},
    {"cnc3_standard", TargetCnc, [] { Settings.NcSyntax = 3; }, Standard},
    {"cnc3_arc", TargetCnc, [] { Settings.NcSyntax = 3; },
     [] { PlotSelectPen(1); PlotArc(10, 10, 0, 90, 5, 1); }},
    {"cnc4_standard", TargetCnc, [] { Settings.NcSyntax = 4; }, Standard},
    {"cnc4_hole", TargetCnc, [] { Settings.NcSyntax = 4; },
     [] { PlotSelectPen(1); PlotCircle(20, 10, 3); PlotCircle(30, 10, 3); }},
    {"ps_standard", TargetPostscript, [] {}, Standard},
    {"ps_circle", TargetPostscript, [] {}, [] { PlotSelectPen(1); PlotCircle(0, 0, 10); }},
    {"ps_text", TargetPostscript, [] { Settings.TextStyle = "Helvetica"; },
     [] {
       PlotSelectPen(1);
       PlotTextStyle(0, 90, 5, 3);
       PlotTextAlign(0, 0);
       PlotText("a(b)c\\", 20, 20);
     }},
    {"ps_path300", TargetPostscript, [] { Settings.Rotate90 = 'J'; },
     [] {
       PlotSelectPen(1);
       PlotMoveTo(false, 0, 1);
       for (int i = 1; i <= 300; ++i) PlotDrawTo(false, i * 0.5, (i % 2) ? 0 : 1);
     }},
};

class Golden : public Defaults {};

// The PostScript date line in a fixed form.
std::string Masked(const std::string& s) {
  static const std::regex date("% Datum: [0-9]{2}\\.[0-9]{2}\\.[0-9]{4}  Zeit: [0-9]{1,2}:[0-9]{2}\r\n");
  return std::regex_replace(s, date, "% Datum: DATE  Zeit: TIME\r\n");
}

TEST_F(Golden, EveryTargetAndDialect) {
  bool update = std::getenv("PLANOX_UPDATE_GOLDEN") != nullptr;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetSettings();
    ResetSession();
    c.setup();
    std::string out = Masked(Convert(c.target, c.body));
    std::string file = SourceDir() + "/tests/convert/golden/" + c.name + "." + TargetExtension(c.target);
    if (update) WriteFile(file, out);
    EXPECT_EQ(out, ReadFile(file));
    EXPECT_FALSE(Session.AbortFlag);
  }
}

}  // namespace
}  // namespace planox::test
