#include "display/lstyle.h"
#include "drawing/dxfinvar.h"

#include "base/session.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using Colours = test::Defaults;

TEST_F(Colours, DrawingColoursToPalette) {
  EXPECT_EQ(GetColorTurbo(0), 0);
  EXPECT_EQ(GetColorTurbo(1), 12);
  EXPECT_EQ(GetColorTurbo(2), 14);
  EXPECT_EQ(GetColorTurbo(5), 9);
  EXPECT_EQ(GetColorTurbo(7), 15);
  EXPECT_EQ(GetColorTurbo(8), 1);
  EXPECT_EQ(GetColorTurbo(9), 2);
  EXPECT_EQ(GetColorTurbo(15), 8);
  EXPECT_EQ(GetColorTurbo(16), 12);  // (16 and 15) + 1 = 1, then red
  EXPECT_EQ(GetColorTurbo(31), 9);   // 16, then 16 - 7
  EXPECT_EQ(GetColorTurbo(257), 12); // low 8 bits
  EXPECT_EQ(GetColorTurbo(-1), 9);   // 255 -> 16 -> 9
  EXPECT_EQ(PaletteColour(12), (Rgb{255, 0, 0}));
  EXPECT_EQ(PaletteColour(15), (Rgb{255, 255, 255}));
  EXPECT_EQ(PaletteColour(2), PaletteColour(10));
}

TEST_F(Colours, WindowAndPrinterRules) {
  Settings.BackgroundColour = 0x102030;
  EXPECT_EQ(WindowColour(0), (Rgb{0x30, 0x20, 0x10}));
  EXPECT_EQ(WindowColour(9), (Rgb{0, 0, 255}));
  EXPECT_EQ(PrinterColour(9), (Rgb{0, 0, 0}));  // monochrome print mode
  EXPECT_EQ(PrinterColour(0), (Rgb{0x30, 0x20, 0x10}));
  Settings.WindowsPrintMode = 2;
  EXPECT_EQ(PrinterColour(9), (Rgb{0, 0, 255}));
  EXPECT_EQ(FillColour(9, true), (Rgb{0, 0, 255}));
  Settings.ColourGraphics = false;
  EXPECT_EQ(WindowColour(9), (Rgb{0, 0, 0}));
  EXPECT_EQ(WindowColour(0), (Rgb{0x30, 0x20, 0x10}));
  EXPECT_EQ(FillColour(9, true), (Rgb{0, 0, 0}));
  EXPECT_EQ(FillColour(0, false), (Rgb{0x30, 0x20, 0x10}));
}

TEST_F(Colours, LineTypeNamesForScreenAndOutput) {
  EXPECT_EQ(ScreenLineStyle("DOTTED"), 1);
  EXPECT_EQ(ScreenLineStyle("PUNKT"), 1);
  EXPECT_EQ(ScreenLineStyle("CENTER"), 2);
  EXPECT_EQ(ScreenLineStyle("STRICHPUNKT"), 2);
  EXPECT_EQ(ScreenLineStyle("HIDDEN"), 3);
  EXPECT_EQ(ScreenLineStyle("VERDECKT"), 3);
  EXPECT_EQ(ScreenLineStyle("MITTE"), 0);
  EXPECT_EQ(ScreenLineStyle("dotted"), 0);
  EXPECT_EQ(ScreenLineStyle(""), 0);
  EXPECT_EQ(OutputLineType("DASHDOT"), 2);
  EXPECT_EQ(OutputLineType("MITTE"), 2);
  EXPECT_EQ(OutputLineType("VERDECKT"), 3);
  EXPECT_EQ(OutputLineType("PUNKT"), 1);
  EXPECT_EQ(OutputLineType("CENTER"), 0);
  EXPECT_EQ(OutputLineType("HIDDEN"), 0);
  EXPECT_EQ(OutputLineType("dotted"), 0);
  EXPECT_EQ(OutputLineType(std::string("DASHED") + std::string(40, ' ')), 0);
}

}  // namespace
}  // namespace planox
