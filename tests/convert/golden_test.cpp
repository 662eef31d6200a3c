// Byte-for-byte outputs of small drawings for every target and CNC
// dialect, kept in tests/convert/golden (each file checked by hand). The
// PostScript date line is the only line that changes from run to run; it
// is compared in form only. PLANOX_UPDATE_GOLDEN=1 writes the files anew.
#include <cstdlib>
#include <regex>

#include "convert/targets.h"
#include "display/shpin.h"
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

// Small drawings, one subject each.
void Line() {
  PlotSelectPen(1);
  PlotLine(0, 0, 10, 0);
}
// Counter-clockwise from 0 to 90 degrees, then the same arc cut clockwise
// (as a polyline with bulge -1 hands it over), then one of 270 degrees.
void Arcs() {
  PlotSelectPen(1);
  PlotArc(0, 0, 0, 90, 10, 1);
  PlotArc(30, 0, 0, 90, 10, -1);
  PlotArc(60, 0, 90, 0, 10, 1);
}
void Circle() {
  PlotSelectPen(1);
  PlotCircle(20, 20, 10);
}
void Solid() {
  PlotSelectPen(1);
  PlotSolid({0, 0}, {20, 0}, {20, 10}, {0, 10});
}
void Dashed() {
  PlotSelectPen(1);
  for (int code : {3, 1, 2, 0}) {
    PlotLineType(code);
    PlotLine(0, code * 5, 40, code * 5);
  }
}
// The markup characters and an accented letter (code page 850).
void Text() {
  PlotSelectPen(1);
  PlotTextStyle(0, 30, 5, 4);
  PlotTextAlign(0, 0);
  PlotText("A<B&\"\x82", 10, 10);
}
// Pen 1, pen 2, pen 1 again: still one group per pen.
void TwoPens() {
  PlotSelectPen(1);
  PlotLine(0, 0, 10, 0);
  PlotSelectPen(2);
  PlotLine(0, 5, 10, 5);
  PlotSelectPen(1);
  PlotLine(0, 10, 10, 10);
}
void UseShapeFont() {
  ASSERT_TRUE(LoadShapeFont(FindShapeFontFile()));
  Settings.UseShapeFont = Settings.LoadShapeFont = 'J';
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

    // Today's machines: SVG for cutters and ISO G-code (dialect 5).
    {"svg_standard", TargetSvg, [] {}, Standard},
    {"svg_line", TargetSvg, [] {}, Line},
    {"svg_arcs", TargetSvg, [] {}, Arcs},
    {"svg_circle", TargetSvg, [] {}, Circle},
    {"svg_solid", TargetSvg, [] {}, Solid},
    {"svg_dashed", TargetSvg, [] {}, Dashed},
    {"svg_text", TargetSvg, [] { Settings.TextStyle = "Helvetica"; }, Text},
    {"svg_text_shape", TargetSvg, UseShapeFont, Text},
    {"svg_two_pens", TargetSvg, [] { Settings.SvgStrokeWidth = 0.25; }, TwoPens},
    {"svg_rotated", TargetSvg, [] { Settings.Rotate90 = 'J'; }, Arcs},
    {"iso_standard", TargetCnc, [] { Settings.NcSyntax = 5; }, Standard},
    {"iso_line", TargetCnc, [] { Settings.NcSyntax = 5; }, Line},
    {"iso_arcs", TargetCnc, [] { Settings.NcSyntax = 5; }, Arcs},
    {"iso_circle", TargetCnc, [] { Settings.NcSyntax = 5; }, Circle},
    {"iso_solid", TargetCnc, [] { Settings.NcSyntax = 5; }, Solid},
    {"iso_dashed", TargetCnc, [] { Settings.NcSyntax = 5; }, Dashed},
    {"iso_text_shape", TargetCnc, [] { Settings.NcSyntax = 5; UseShapeFont(); }, Text},
    {"iso_two_pens", TargetCnc,
     [] {
       Settings.NcSyntax = 5;
       Settings.NcLineNumbers = 'J';
       Settings.PenSpeeds[2] = 20;
     },
     TwoPens},
};

class Golden : public Defaults {
 protected:
  void TearDown() override {
    ClearShapeFont();
    Defaults::TearDown();
  }
};

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
