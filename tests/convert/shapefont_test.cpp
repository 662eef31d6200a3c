// The shape font: the loader's syntax and messages, the stroking codes,
// the program's own TXT.SHP and texts stroked through the driver.
#include <cmath>
#include <vector>

#include "display/shpin.h"
#include "base/vektor.h"
#include "plottest.h"

namespace planox::test {
namespace {

class ShapeFontTest : public Defaults {
 protected:
  void TearDown() override {
    ClearShapeFont();
    Defaults::TearDown();
  }
  static const std::array<uint8_t, ShapeGlyphBytes>& Glyph(int code) {
    return ShapeFont.glyphs[code - ShapeFirstCode];
  }
};

// Records what stroking asks of the driver.
struct Trace : ShapeStrokeSink {
  std::vector<std::string> ops;
  bool down = false;
  void penUp() override { ops.push_back("U"), down = false; }
  void penDown() override { ops.push_back("D"), down = true; }
  void moveTo(double x, double y) override { ops.push_back("M" + Pt(x, y)); }
  void drawTo(double x, double y) override { ops.push_back("L" + Pt(x, y)); }
  bool penIsDown() const override { return down; }
  static std::string Pt(double x, double y) {
    char b[64];
    std::snprintf(b, sizeof b, "%.3f,%.3f", x + 0.0, y + 0.0);
    return b;
  }
};

const std::string Header = "*0,4,test font\r\n21,7,2,0\r\n";

TEST_F(ShapeFontTest, NumbersAndDefinitions) {
  ASSERT_TRUE(LoadShapeFontText(Header +
                                "*65,6,A\r\n2,14,8,(-10,-20),0\r\n"
                                "*66,5,B\r\n012,0A,\r\n1,\r\n2,0\r\n"  // hex, continued lines
                                "*67,2,C\r\n1\n2,0\n"                  // a token goes on across the line end
                                "*129,2,ue\r\n020,0\r\n"
                                "*68,2,never read\r\n1,0\r\n"));
  EXPECT_EQ(ShapeFont.above, 21);
  EXPECT_EQ(ShapeFont.below, 7);
  EXPECT_EQ(ShapeFont.modes, 2);
  EXPECT_EQ(std::vector<int>(Glyph(65).begin(), Glyph(65).begin() + 7), (std::vector<int>{2, 14, 8, 246, 236, 0, 0}));
  EXPECT_EQ(std::vector<int>(Glyph(66).begin(), Glyph(66).begin() + 5), (std::vector<int>{18, 10, 1, 2, 0}));
  EXPECT_EQ(Glyph(67)[0], 12);
  EXPECT_EQ(Glyph(129)[0], 32);
  EXPECT_EQ(Glyph(68)[0], 0);  // loading ended after 129
  EXPECT_TRUE(ui.records.empty());

  // A shape numbered 130 is read, discarded and ends the loading.
  ASSERT_TRUE(LoadShapeFontText(Header + "*130,2,x\r\n17,0\r\n*65,2,A\r\n17,0\r\n"));
  EXPECT_EQ(Glyph(65)[0], 0);

  // Bad digits: a hex digit goes to the numeric log, a bad number is
  // reported; both count as 0.
  ClearErrorLog();
  ASSERT_TRUE(LoadShapeFontText(Header + "*65,3,A\r\n0G1,x7,0\r\n*129,1,e\r\n0\r\n"));
  ASSERT_EQ(ErrorLog().size(), 1u);
  // (the log keeps the start of each message)
  EXPECT_EQ(ErrorLog()[0].rfind("Fehlerhafter Hex-Code \"G\" !", 0), 0u);
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, "Ung\x81ltiges Zeichen x7 !");
  EXPECT_EQ(Glyph(65)[0], 1);
  EXPECT_EQ(Glyph(65)[1], 0);
}

TEST_F(ShapeFontTest, FaultyFiles) {
  // Wrong first line: reported, the header is not read, the next line
  // then fails as a definition line.
  EXPECT_FALSE(LoadShapeFontText("*1,4,font\r\n21,7,2,0\r\n"));
  ASSERT_EQ(ui.records.size(), 2u);
  EXPECT_EQ(ui.records[0].text, "Invalid SHP file !");
  EXPECT_EQ(ui.records[1].text, "Invalid SHP Char 2 !");
  EXPECT_TRUE(Session.AbortFlag);

  ui.records.clear();
  EXPECT_FALSE(LoadShapeFontText(Header + "*65,51,A\r\n0\r\n"));
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, "TXT.SHP: more than 50 Bytes/character");
  EXPECT_FALSE(ShapeFont.loaded);
  // 306 taken as a byte is 50: allowed.
  EXPECT_TRUE(LoadShapeFontText(Header + "*65,306,A\r\n0\r\n*129,1,x\r\n0\r\n"));

  // No height above the base line: the scale would be infinite.
  ui.records.clear();
  EXPECT_FALSE(LoadShapeFontText("*0,4,flat\r\n0,7,2,0\r\n*65,2,A\r\n17,0\r\n*129,1,x\r\n0\r\n"));
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_NE(ui.records[0].text.find("height above the base line is 0"), std::string::npos);
  EXPECT_FALSE(ShapeFont.loaded);

  // A truncated file and a missing file.
  EXPECT_TRUE(LoadShapeFontText(Header + "*65,5,A\r\n17,1"));
  EXPECT_EQ(Glyph(65)[0], 17);
  ui.records.clear();
  TempDir dir;
  EXPECT_FALSE(LoadShapeFont(dir.file("TXT.SHP")));
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_FALSE(ui.records.empty());
}

TEST_F(ShapeFontTest, StrokingCodes) {
  // Vectors, skip flag, codes 8 and 9; zero bytes inside 8 and 9 do not
  // end the glyph.
  ASSERT_TRUE(LoadShapeFontText(Header +
                                "*65,4,up\r\n1,024,2,0\r\n"  // pen down, 2 units up (hex 24), pen up
                                "*66,8,skip\r\n14,1,14,8,5,5,020,0\r\n"   // skip pen down, skip an 8
                                "*67,12,pairs\r\n1,9,3,0,0,4,0,0,14,020,020,0\r\n"
                                "*68,50,long\r\n"
                                "17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,\r\n"
                                "17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,17,9,\r\n"
                                "*69,1,empty\r\n"
                                "0\r\n"
                                "*129,1,x\r\n0\r\n"));
  // Height 2.1 on a font 21 units high: 0.1 per unit.
  Trace t;
  StrokeShapeText("A", 0, 0, 2.1, 0, t);
  EXPECT_EQ(t.ops, (std::vector<std::string>{"D", "L0.000,0.200", "U"}));
  // At 90 degrees up becomes left.
  t = Trace{};
  StrokeShapeText("A", 1, 1, 21, 90, t);
  EXPECT_EQ(t.ops, (std::vector<std::string>{"D", "L-1.000,1.000", "U"}));
  // Skip flag: pen down skipped, code 8 skipped, the vector drawn.
  t = Trace{};
  StrokeShapeText("B", 0, 0, 21, 0, t);
  EXPECT_EQ(t.ops, (std::vector<std::string>{"M2.000,0.000"}));
  // Code 9 pairs up to (0, 0), then the skip flag takes the next vector.
  t = Trace{};
  StrokeShapeText("C", 0, 0, 21, 0, t);
  EXPECT_EQ(t.ops, (std::vector<std::string>{"D", "L3.000,0.000", "L3.000,4.000", "L5.000,4.000"}));
  // A glyph without end byte stops at its buffer's end; so does a 9 there.
  t = Trace{};
  StrokeShapeText("D", 0, 0, 21, 0, t);
  EXPECT_EQ(t.ops.size(), 49u);
  // Codes outside 32..129 are skipped without moving.
  t = Trace{};
  StrokeShapeText(std::string("\x1f\x82", 2), 0, 0, 21, 0, t);
  EXPECT_TRUE(t.ops.empty());
}

TEST_F(ShapeFontTest, ProgramFontCoversItsCodes) {
  ASSERT_TRUE(LoadShapeFont(DataDir() + "/TXT.SHP"));
  EXPECT_TRUE(ui.records.empty());
  EXPECT_EQ(ShapeFont.above, 21);
  for (int c = ShapeFirstCode; c <= ShapeLastCode; ++c) {
    Trace t;
    StrokeShapeText(std::string(1, static_cast<char>(c)), 0, 0, 21, 0, t);
    ASSERT_FALSE(t.ops.empty()) << c;
    // Each glyph ends with the pen up at the next character's origin.
    EXPECT_FALSE(t.down) << c;
    EXPECT_EQ(t.ops.back().substr(0, 1), "M") << c;
    EXPECT_NE(t.ops.back().find(",0.000"), std::string::npos) << c;
    if (c != ' ') {
      EXPECT_NE(std::find(t.ops.begin(), t.ops.end(), "D"), t.ops.end()) << c;
    }
  }
  // StartDir first.
  TempDir dir;
  WriteFile(dir.file("TXT.SHP"), Header + "*129,1,x\r\n0\r\n");
  std::string old = StartDir();
  SetStartDir(dir.path());
  EXPECT_EQ(FindShapeFontFile(), dir.file("TXT.SHP"));
  SetStartDir(old);
}

TEST_F(ShapeFontTest, DriverStrokesTexts) {
  ASSERT_TRUE(LoadShapeFontText(Header + "*65,4,A\r\n1,024,2,0\r\n*129,1,x\r\n0\r\n"));
  Settings.UseShapeFont = 'J';
  Settings.LoadShapeFont = 'J';
  std::string out = Convert(TargetHpgl, [] {
    PlotSelectPen(1);
    PlotTextStyle(0, 0, 2.1, 2);  // no style command: the text is stroked
    PlotTextAlign(0, 0);
    PlotText("AA", 10, 10);
  });
  EXPECT_EQ(out, "\x1b.(;IN;IW;DF;SD1,341;VS50;RO0;SP1;PA400,400;PA400,400;PD;PA400,408;PU;PD;PA400,416;"
                 "PU;IW;PA0,0;");
  // CNC mills the strokes: plunge, cut, retract; no beep.
  out = Convert(TargetCnc, [] {
    PlotSelectPen(1);
    PlotTextStyle(0, 0, 21, 2);
    PlotTextAlign(0, 0);
    PlotText("A", 10, 10);
  });
  EXPECT_NE(out.find("G00 X10.000 Y10.000\r\nG01 Z-0.300\r\nG01 X10.000 Y12.000\r\nG00 Z1.000\r\n"),
            std::string::npos);
  EXPECT_EQ(ui.beeps, 0);
  // With the font not loaded at start-up the target's own text is used.
  Settings.LoadShapeFont = 'N';
  out = Convert(TargetHpgl, [] {
    PlotSelectPen(1);
    PlotText("A", 10, 10);
  });
  EXPECT_NE(out.find("LBA\x03"), std::string::npos);
}

}  // namespace
}  // namespace planox::test
