#include "display/hpglin.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "base/session.h"
#include "display/quorgraf.h"
#include "support/testsupport.h"

namespace planox {
namespace {

std::string num(double v) {
  if (std::fabs(v) < 1e-9) v = 0;
  char b[32];
  std::snprintf(b, sizeof b, "%.6g", v);
  return b;
}

// Writes down every call the interpreter makes, one line per call.
struct Calls : GraphicsSink {
  std::vector<std::string> log;
  long lines = 0;
  bool quiet = false;  // count lines only
  void put(std::string s) { log.push_back(std::move(s)); }
  void H_ClearViewPort() override {}
  void H_SetLineStyleName(const std::string& name) override { put("style " + name); }
  void H_SetColor(int n) override {
    if (!quiet) put("colour " + std::to_string(n));
  }
  void H_Line(double a, double b, double c, double d) override {
    ++lines;
    if (!quiet) put("line " + num(a) + " " + num(b) + " " + num(c) + " " + num(d));
  }
  void H_Circle(double x, double y, double r) override { put("circle " + num(x) + " " + num(y) + " " + num(r)); }
  void H_Arc(double x, double y, double a1, double a2, double r) override {
    put("arc " + num(x) + " " + num(y) + " " + num(a1) + " " + num(a2) + " " + num(r));
  }
  void H_Solid(double, double, double, double, double, double, double, double) override { put("solid"); }
  void H_SetTextStyle(int f, double a, double h, double w) override {
    put("style " + std::to_string(f) + " " + num(a) + " " + num(h) + " " + num(w));
  }
  void H_SetTextJustify(int, int) override {}
  void H_OutTextXY(double x, double y, const std::string& t) override { put("text " + num(x) + " " + num(y) + " " + t); }

  // The calls other than colour selections.
  std::vector<std::string> shapes() const {
    std::vector<std::string> v;
    for (const auto& s : log)
      if (s.rfind("colour", 0) != 0) v.push_back(s);
    return v;
  }
};

class HpglInterpreter : public test::Defaults {
 protected:
  void SetUp() override {
    test::Defaults::SetUp();
    ResetHpglState();
  }
  void TearDown() override {
    ResetHpglState();
    test::Defaults::TearDown();
  }
  std::vector<std::string> run(std::string_view text) {
    Calls c;
    InterpretHpgl(text, c);
    EXPECT_FALSE(Session.AbortFlag);
    last = c.log;
    return c.shapes();
  }
  std::vector<std::string> last;
};

using V = std::vector<std::string>;

TEST_F(HpglInterpreter, PenMovesDrawLinesInThePenColour) {
  EXPECT_EQ(run("IN;SP1;PU400,400;PD800,400,800,800;"), (V{"line 10 10 20 10", "line 20 10 20 20"}));
  EXPECT_EQ(last, (V{"colour 12", "line 10 10 20 10", "colour 12", "line 20 10 20 20"}));
  // Blanks and line ends anywhere, lower-case mnemonics, "P" and "A" in
  // coordinates dropped, PA keeps the pen state, an empty value is 0.
  EXPECT_EQ(run("sp2;\r\n p d 4 0 0 , 0 ;\nPA,P400A;PU;PA0,0;"), (V{"line -1000 -1000 10 0", "line 10 0 0 10"}));
  EXPECT_EQ(last.front(), "colour 14");
  // IN puts the pen up at the origin.
  EXPECT_EQ(run("PD;PA40,0;IN;PD;PA0,40;"), (V{"line -1000 -1000 1 0", "line 0 0 0 1"}));
  // A pair without its second value ends the list.
  EXPECT_EQ(run("PU0,0;PD40,0,80;PA120,0;"), (V{"line 0 0 1 0", "line 1 0 3 0"}));
}

TEST_F(HpglInterpreter, PenNumbersBecomeColours) {
  EXPECT_EQ(HpglPenColour(1), 12);
  EXPECT_EQ(HpglPenColour(7), 15);
  EXPECT_EQ(HpglPenColour(9), 9);
  EXPECT_EQ(HpglPenColour(0), 0);
  run("SP;PU0,0;PD40,0;");
  EXPECT_EQ(last.front(), "colour 12");  // SP alone takes the first pen
  run("SP9;PU0,0;PD40,0;");
  EXPECT_EQ(last.front(), "colour 9");
}

TEST_F(HpglInterpreter, ArcsFollowTheSweep) {
  // Pen up: nothing drawn, the position moves to the end of the arc.
  EXPECT_EQ(run("PU400,0;AA0,0,90;PD;PA0,0;"), (V{"line 0 10 0 0"}));
  EXPECT_EQ(run("PU400,0;PD;AA0,0,90;"), (V{"arc 0 0 0 90 10"}));
  // A clockwise sweep is drawn counter-clockwise from its end.
  EXPECT_EQ(run("PU400,0;PD;AA0,0,-45;PA0,0;"), (V{"arc 0 0 -45 0 10", "line 7.07107 -7.07107 0 0"}));
  EXPECT_EQ(run("PU400,0;AA0,0,-90;PD;PA0,0;"), (V{"line 0 -10 0 0"}));
  // A whole turn is the circle; no sweep draws nothing.
  EXPECT_EQ(run("PU400,0;PD;AA0,0,360;"), (V{"circle 0 0 10"}));
  EXPECT_EQ(run("PU400,0;PD;AA0,0,0;AA0,0;"), V{});
  // CI draws about the pen whatever the pen state.
  EXPECT_EQ(run("PU400,400;CI200;"), (V{"circle 10 10 5"}));
}

TEST_F(HpglInterpreter, LabelsTakeSizeDirectionAndCharacterSet) {
  // Before any DI the direction (0, 0) stands upright.
  EXPECT_EQ(run("PU400,400;LBAB\x03"), (V{"style 2 90 0 0", "text 10 10 AB"}));
  EXPECT_EQ(run("SI0.2,0.3;DI1,0;PU0,0;LBa b\r\nc\x03"), (V{"style 2 0 3 2", "text 0 0 a bc"}));
  // The sizes and direction stay for the next picture, the position not.
  EXPECT_EQ(run("LBx\x03"), (V{"style 2 0 3 2", "text -1000 -1000 x"}));
  EXPECT_EQ(run("CS3;LBU}ber o} u}\x03"), (V{"style 2 0 3 2", "text -1000 -1000 \x9a" "ber \x94 \x81"}));
  EXPECT_EQ(run("CS0;LBU}\x03"), (V{"style 2 0 3 2", "text -1000 -1000 U}"}));
  auto shapes = run("LB" + std::string(300, 'x') + "\x03");
  EXPECT_EQ(shapes.back(), "text -1000 -1000 " + std::string(255, 'x'));
}

TEST_F(HpglInterpreter, EncodedPolylines) {
  // 7-bit: +1 mm is "Oa", -1 mm "Pa", 0 "_"; "<" lifts the pen for one point.
  EXPECT_EQ(run("PU0,0;PE7_Oa<Oa_Pa_;"), (V{"line 0 0 0 1", "line 1 1 0 1"}));
  // 8-bit: one character from 191 carries the last six bits; "=" makes the
  // point absolute, ":" selects a pen, ">" and its character are passed over.
  EXPECT_EQ(run("PU0,0;PE>\x01:\x02=\xff\xbf\xc1\xc1\xbf;"), (V{"line 0 0 0 0.025", "line 0 0.025 0.025 0.025"}));
  EXPECT_EQ(last.front(), "colour 14");
}

TEST_F(HpglInterpreter, PrinterCommandsAndRunTogetherCommandsAreSteppedOver) {
  const std::string laser = "\x1b" "E" "\x1b" "%0BIN;SD1,341;\r\nSP1;PW0.08;PU;PA0,0;PD;PA400,0;"
                            "PM0;PD;PA0,400;PM2;FP;EP;\x1b%0A\r\n\x1b" "E\r\n";
  EXPECT_EQ(run(laser), (V{"line 0 0 10 0", "line 10 0 0 10"}));
  EXPECT_EQ(run("\x1b.(;IN;IW;DF;SD1,341;VS50;RO0;PU0,0;PM0PD;PA40,0;PM2FPEPPU;PA80,0;LT1,0.6;PD;PA0,0;"),
            (V{"line 0 0 1 0", "style DOTTED", "line 2 0 0 0"}));
  // Line types become the window's line styles.
  EXPECT_EQ(run("LT1,0.6;LT4,4;LT2,1;LT;LT0;"),
            (V{"style DOTTED", "style DASHDOT", "style DASHED", "style CONTINUOUS", "style CONTINUOUS"}));
  // Unknown commands are skipped to their ";", text commands included.
  EXPECT_EQ(run("PU0,0;CO\"PD40,0\";DTx;PD40,0;"), (V{"line 0 0 1 0"}));
}

TEST_F(HpglInterpreter, EndOfFileInsideACommandEndsThePicture) {
  Session.AbortFlag = true;
  EXPECT_EQ(run("PU0,0;PD40,0;PD80,"), (V{"line 0 0 1 0"}));
  EXPECT_EQ(run("PU0,0;PD;LBnever"), V{});
  EXPECT_EQ(run("PU0,0;PD;PE7Oa"), V{});
  EXPECT_EQ(run("P"), V{});
  EXPECT_EQ(run("\x1b"), V{});
}

TEST_F(HpglInterpreter, ManyElementsAreCutWithAMessage) {
  std::string text = "PU0,0;PD";
  for (long i = 0; i <= HpglElementLimit; ++i) text += "4,4,";
  text += "4,4;";
  Calls c;
  c.quiet = true;
  InterpretHpgl(text, c);
  EXPECT_EQ(c.lines, HpglElementLimit);
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_NE(ui.records[0].text.find("4000000"), std::string::npos);
}

TEST_F(HpglInterpreter, FilesThatAreMissingHugeOrNotFilesDrawNothingAndReturn) {
  test::TempDir dir;
  GraphWindow w;
  QuorGraf q(w);
  q.H_Init();
  DrawHpglPicture(q, dir.file("gone.plt"));
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, dir.file("gone.plt") + " pas trouver !");
  EXPECT_TRUE(q.list().empty());
  EXPECT_FALSE(Session.AbortFlag);

  // A FIFO would block a plain open: it is no picture.
  ASSERT_EQ(::mkfifo(dir.file("fifo.plt").c_str(), 0600), 0);
  Calls c;
  EXPECT_FALSE(InterpretHpglFile(dir.file("fifo.plt"), c));
  EXPECT_FALSE(InterpretHpglFile(dir.path(), c));

  // 100 MB of zero bytes (a sparse file) and a binary file end.
  const std::string big = dir.file("big.plt");
  test::WriteFile(big, "PU0,0;PD40,0;");
  ASSERT_EQ(::truncate(big.c_str(), 100L << 20), 0);
  EXPECT_TRUE(InterpretHpglFile(big, c));
  EXPECT_EQ(c.lines, 1);
  std::string binary;
  for (int i = 0; i < 200000; ++i) binary += static_cast<char>((i * 7919) % 256);
  test::WriteFile(dir.file("bin.plt"), binary);
  EXPECT_TRUE(InterpretHpglFile(dir.file("bin.plt"), c));
  EXPECT_FALSE(Session.AbortFlag);
  q.H_Done();
}

TEST_F(HpglInterpreter, APictureAfterAClearKeepsItsColour) {
  // The window remembers the last colour to leave out repeated selections;
  // a cleared list must not lose the first one of the next picture.
  GraphWindow w;
  QuorGraf q(w);
  q.H_Init();
  InterpretHpgl("SP7;PU0,0;PD40,0;", q);
  q.H_Clear();
  InterpretHpgl("SP7;PU0,0;PD40,0;", q);
  ASSERT_EQ(q.list().size(), 2u);
  EXPECT_EQ(q.list().line(0), "8;15");
  q.H_Done();
}

TEST_F(HpglInterpreter, ExtentsOfAFileAndItsName) {
  test::TempDir dir;
  test::WriteFile(dir.file("a.PLT"), "SP1;PU0,0;PD400,200;PU800,800;CI40;PU0,400;PD;AA0,0,180;");
  HpglPictureState.pen = 5;
  HpglBox b;
  ASSERT_TRUE(HpglFileExtents(dir.file("a.PLT"), b));
  EXPECT_NEAR(b.xmin, -10, 1e-9);
  EXPECT_NEAR(b.ymin, -10, 1e-9);
  EXPECT_NEAR(b.xmax, 21, 1e-9);
  EXPECT_NEAR(b.ymax, 21, 1e-9);
  EXPECT_EQ(HpglPictureState.pen, 5);  // the help pictures' state is kept
  test::WriteFile(dir.file("empty.plt"), "IN;SP1;");
  EXPECT_FALSE(HpglFileExtents(dir.file("empty.plt"), b));
  for (const char* n : {"x.plt", "x.PL2", "d/x.hpg", "x.hpl", "x.HGL"}) EXPECT_TRUE(IsHpglFileName(n)) << n;
  for (const char* n : {"x.dxf", "plt", "a.plt/x", "x.plt2"}) EXPECT_FALSE(IsHpglFileName(n)) << n;
}

}  // namespace
}  // namespace planox
