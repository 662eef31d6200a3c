// The driver's rules that hold for every target, seen through the HP-GL
// output (one command per rule, no line ends).
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "convert/plot.h"
#include "plottest.h"

namespace planox::test {
namespace {

const std::string Head = "\x1b.(;IN;IW;DF;SD1,341;VS50;RO0;";

class Driver : public Defaults {};

std::string Hpgl(const std::function<void()>& body) { return Convert(TargetHpgl, body); }

TEST_F(Driver, FirstLineAndTheEnd) {
  // Pen 1 at speed 500 needs no speed command (500 came with the initial
  // settings) and the pen already stands at (0, 0): no move.
  EXPECT_EQ(Hpgl([] {
              PlotSelectPen(1);
              PlotLine(0, 0, 10, 5);
            }),
            Head + "SP1;PD;PA400,200;IW;PU;PA0,0;");
  // A connected line costs no move; a different speed is written.
  Settings.PenSpeeds[2] = 300;
  EXPECT_EQ(Hpgl([] {
              PlotSelectPen(2);
              PlotLine(0, 0, 10, 5);
              PlotLine(10, 5, 20, 5);
            }),
            Head + "SP2;VS30;PD;PA400,200;PA800,200;IW;PU;PA0,0;");
}

TEST_F(Driver, EachPenTakesTheSpeedOfItsOwnRow) {
  Settings.PenSpeeds[1] = 100;
  Settings.PenSpeeds[2] = 250;
  Settings.PenSpeeds[15] = 300;
  EXPECT_EQ(Hpgl([] { PlotSelectPen(2); }), Head + "SP2;VS25;IW;PA0,0;");
  // Pen 16 has no row: no speed is written for it.
  EXPECT_EQ(Hpgl([] { PlotSelectPen(16); }), Head + "SP16;IW;PA0,0;");
  // The CNC feed follows the same row.
  const std::string cnc = Convert(TargetCnc, [] {
    PlotSelectPen(2);
    PlotLine(0, 0, 10, 0);
  });
  EXPECT_NE(cnc.find("F250"), std::string::npos) << cnc;
  EXPECT_EQ(cnc.find("F100"), std::string::npos) << cnc;
}

TEST_F(Driver, RepeatedMovesAndEmptyDraws) {
  EXPECT_EQ(Hpgl([] {
              PlotSelectPen(1);
              PlotMoveTo(false, 5, 5);
              PlotMoveTo(false, 5.000009, 4.999991);  // within 0.00001: dropped
              PlotDrawTo(false, 5.000009, 4.999991);  // not exactly the same: drawn
              PlotDrawTo(false, 5.000009, 4.999991);  // same point: dropped
              PlotDrawTo(true, 5.000009, 4.999991);   // forced
              PlotMoveTo(true, 5.000009, 4.999991);   // forced
            }),
            Head + "SP1;PA200,200;PD;PA200,200;PA200,200;PU;PA200,200;IW;PA0,0;");
}

TEST_F(Driver, PensFoldAndPenZeroSilences) {
  EXPECT_EQ(Hpgl([] {
              PlotSelectPen(20);  // 4
              PlotSelectPen(4);   // the same pen: nothing, not even a speed
              PlotSelectPen(16);
              PlotSelectPen(32);  // 16 again
              PlotSelectPen(17);  // 1
              PlotSelectPen(-3);  // no such pen
            }),
            Head + "SP4;SP16;SP1;IW;PA0,0;");
  EXPECT_EQ(Hpgl([] {
              PlotSelectPen(1);
              PlotLine(0, 0, 10, 0);
              PlotSelectPen(0);  // lifts the pen and silences everything
              PlotLine(1, 1, 2, 2);
              PlotCircle(5, 5, 1);
              PlotArc(5, 5, 0, 90, 1, 1);
              PlotSolid({0, 0}, {1, 0}, {1, 1}, {0, 1});
              PlotText("X", 3, 3);
              PlotMoveTo(true, 7, 7);
              PlotSelectPen(2);
              PlotLine(10, 0, 10, 10);
            }),
            Head + "SP1;PD;PA400,0;PU;SP2;PD;PA400,400;IW;PU;PA0,0;");
  // The end has no pen to return with after pen 0.
  EXPECT_EQ(Hpgl([] { PlotSelectPen(0); }), Head + "IW;");
}

TEST_F(Driver, TextAlignment) {
  // Centre alignment: a move to the aligned start, a move back to the
  // insertion point, the label.
  EXPECT_EQ(Hpgl([] {
              PlotSelectPen(1);
              PlotTextStyle(0, 0, 5, 4);
              PlotTextAlign(1, 1);
              PlotText("AB", 100, 50);  // n = 3: x - 3 * 4 / 2, y - 5 / 2
            }),
            Head + "SP1;SD1,341;SI0.25,0.50;DI128,0;PA3760,1900;PA4000,2000;LBAB\x03IW;PA0,0;");
  // At 90 degrees the codes act on the page axes: right alignment moves
  // x by the height, full height moves y by n * width.
  EXPECT_EQ(Hpgl([] {
              PlotSelectPen(1);
              PlotTextStyle(0, 90, 5, 4);
              PlotTextAlign(2, 2);
              PlotText("AB", 100, 50);
            }),
            Head + "SP1;SD1,341;SI0.25,0.50;DI0,128;PA4200,1520;PA4000,2000;LBAB\x03IW;PA0,0;");
  // The label at the current point itself is still reached again after
  // the move to the aligned start; an ETX in the text cannot end it early.
  EXPECT_EQ(Hpgl([] {
              PlotSelectPen(1);
              PlotTextAlign(0, 0);
              PlotMoveTo(false, 10, 10);
              PlotText("A\x03" "B", 10, 10);
            }),
            Head + "SP1;PA400,400;PA400,400;PA400,400;LBA B\x03IW;PA0,0;");
}

TEST_F(Driver, TextWithoutTextCommandBeeps) {
  Settings.UseShapeFont = 'N';
  std::string cnc = Convert(TargetCnc, [] {
    PlotSelectPen(1);
    PlotText("ABC", 10, 10);
  });
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_EQ(cnc.find("ABC"), std::string::npos);
}

TEST_F(Driver, AristoCopiesItsInitFile) {
  TempDir plt;
  Settings.PltDir = plt.path();
  WriteFile(plt.file("ARISTO.TXT"), "D1I2\nD3I4\r\n");
  EXPECT_EQ(Convert(TargetAristo, [] {}, false), "%T\r\n\r\nD1I2\r\nD3I4\r\n\r\nG90\r\nG0D0X0Y0\r\nD80I0\r\nD80I0\r\n"
                                                "G0D0X0Y0\r\nD0\r\nM02\r\n");
  // Lasercomb has a text command only in millimetre mode.
  Convert(TargetLasercomb, [] { PlotText("A", 1, 1); });
  EXPECT_EQ(ui.beeps, 1);
  Settings.NcSyntax = 2;
  EXPECT_NE(Convert(TargetLasercomb, [] { PlotText("A", 1, 1); }).find("PA1,-4;\r\nLBA\x03\r\n"), std::string::npos);
  EXPECT_EQ(ui.beeps, 1);
}

TEST_F(Driver, CodesAreValidated) {
  std::string out = Convert(14, [] {});
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, "Undefinierter Syntaxcode 14");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(out, "");  // the caller stops; nothing but the probe was written

  Session.AbortFlag = false;
  ui.records.clear();
  TempDir dir;
  std::string port = dir.file("com1");
  setenv("PLANOX_COM1", port.c_str(), 1);
  PlotBegin(1, 7);  // device 7 is reported and the serial channel used
  PlotEnd();
  unsetenv("PLANOX_COM1");
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, "Undefinierter Ansteuercode 7");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(ReadFile(port), "\x1b.(;IN;IW;DF;SD1,341;VS50;IW;PA0,0;");
}

TEST_F(Driver, FileAndChannelFailures) {
  // PLOT.ps in the current directory; the probe's blank line is gone.
  TempDir dir;
  char old[4096];
  ASSERT_TRUE(getcwd(old, sizeof old));
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  PlotBegin(TargetPostscript, 3);
  PlotEnd();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(PlotFileName(), "PLOT.ps");
  std::string ps = ReadFile(dir.file("PLOT.ps"));
  EXPECT_EQ(ps.substr(0, 3), "\x04%!");

  // A name that cannot be created: AbortFlag, nothing written, no message
  // (the reader gives the channel message).
  Session.PlotFile = "no-such-dir/PLOT";
  PlotBegin(TargetHpgl, 3);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_TRUE(ui.records.empty());
  ASSERT_EQ(chdir(old), 0);

  // A port that takes nothing: the probe fails.
  Session.AbortFlag = false;
  setenv("PLANOX_LPT2", "/dev/full", 1);
  Settings.LptPort = 2;
  PlotBegin(TargetHpgl, 2);
  EXPECT_TRUE(Session.AbortFlag);
  // A port that is not there.
  Session.AbortFlag = false;
  setenv("PLANOX_LPT2", (dir.path() + "/missing/lp").c_str(), 1);
  PlotBegin(TargetHpgl, 2);
  EXPECT_TRUE(Session.AbortFlag);
  unsetenv("PLANOX_LPT2");
}

TEST_F(Driver, WriteFailureAfterTheProbeSetsAbortFlag) {
  // /dev/full takes the probe's open but fails every write: a file output
  // standing in for a port whose buffer fails after the header.
  TempDir dir;
  std::string link = dir.file("lpt");
  ASSERT_EQ(symlink("/dev/full", link.c_str()), 0);
  setenv("PLANOX_LPT1", link.c_str(), 1);
  PlotBegin(TargetPostscript, 2);
  unsetenv("PLANOX_LPT1");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_FALSE(PlotState.outputOpen);
}

}  // namespace
}  // namespace planox::test
