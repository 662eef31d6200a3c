// The printer mapping of the print replay with the figures of a real page:
// a drawing area of 1014 x 708 pixels on an A4 page of 4961 x 7016 printer
// pixels (600 dots per inch), and the export's command line.
#include <array>
#include <cmath>

#include "base/session.h"
#include "display/quorgraf.h"
#include "print/exportargs.h"
#include "support/windowtest.h"

namespace planox {
namespace {

// The canvas is larger than the page, so nothing the tests look at is cut
// at the canvas edge.
struct PageCanvas : Canvas {
  int w = 10000, h = 10000;
  std::vector<std::array<int, 4>> lines;
  std::vector<int> penWidths;
  std::vector<Rgb> pens, textColours;
  std::vector<TextFont> fonts;
  int width() const override { return w; }
  int height() const override { return h; }
  void setPen(Rgb c, PenStyle, int width) override {
    pens.push_back(c);
    penWidths.push_back(width);
  }
  void line(int x1, int y1, int x2, int y2) override { lines.push_back({x1, y1, x2, y2}); }
  void ellipse(int, int, int, int) override {}
  void arc(int, int, int, int, int, int, int, int) override {}
  void polygon(const int (&)[8], Rgb) override {}
  void text(int, int, const TextFont& f, Rgb c, const std::string&) override {
    fonts.push_back(f);
    textColours.push_back(c);
  }
};

struct SleepHost : WindowHost {
  int sleeps = 0;
  void invalidateWindow() override {}
  void processMessages() override {}
  void setWaitCursor(bool) override {}
  void overlayLine(int, int, int, int, Rgb) override {}
  void bandChanged() override {}
  void sleepMs(int) override { ++sleeps; }
};

class PrinterMapping : public test::InWindow {
 protected:
  void SetUp() override {
    InWindow::SetUp();
    w.SetDrawingArea(1014, 708);
    w.setHost(&host);
    // World units are the drawing area's pixels: x = X, y = 708 - Y.
    w.SetWindow(0, 0, 1, 1, 0, 0, 1014, 708, false, false);
    target.canvas = &page;
    target.pageWidth = 4961;
    target.pageHeight = 7016;
  }
  bool print() { return w.Replay(window, &target); }

  SleepHost host;
  PageCanvas window, page;
  PrinterTarget target;
};

TEST_F(PrinterMapping, DrawingAreaFillsThePageAndTheOriginShiftsIt) {
  w.line(0, 708, 1014, 0);  // corner to corner of the drawing area
  w.line(500, 600, 500, 600);
  ASSERT_TRUE(print());
  ASSERT_EQ(page.lines.size(), 2u);
  EXPECT_EQ(page.lines[0], (std::array<int, 4>{0, 0, 4961, 7016}));
  // round(4961 * 500 / 1014), round(7016 * (708 - 600) / 708)
  EXPECT_EQ(page.lines[1], (std::array<int, 4>{2446, 1070, 2446, 1070}));

  // 10 mm on a page 4961 pixels wide: round(4961 * 10 / 210) = 236, on
  // both axes (the page width gives the millimetres for y as well).
  target.originX = 10;
  target.originY = 10;
  page.lines.clear();
  ASSERT_TRUE(print());
  EXPECT_EQ(page.lines[0], (std::array<int, 4>{236, 236, 236 + 4961, 236 + 7016}));

  // Scales enlarge from the page's top-left corner, each axis on its own.
  target.originX = target.originY = 0;
  target.scaleX = 0.5;
  target.scaleY = 2;
  page.lines.clear();
  ASSERT_TRUE(print());
  EXPECT_EQ(page.lines[1], (std::array<int, 4>{1223, 2140, 1223, 2140}));
  // A scale of 0 puts everything at the top-left corner.
  target.scaleX = target.scaleY = 0;
  page.lines.clear();
  ASSERT_TRUE(print());
  EXPECT_EQ(page.lines[1], (std::array<int, 4>{0, 0, 0, 0}));
}

TEST_F(PrinterMapping, PensTextsColoursAndPauses) {
  w.SetColor(12);
  w.SetLineWidth(3);
  w.SetTextStyle(0, 0, 10, 5);
  w.OutTextXY(100, 100, "T");
  w.SleepMs(20);
  w.line(0, 0, 10, 10);
  w.SetColor(0);
  w.line(0, 0, 10, 10);
  Settings.BackgroundColour = 0x0000ff;  // red in the low byte
  ASSERT_TRUE(print());
  EXPECT_EQ(host.sleeps, 0);  // no pauses while printing
  EXPECT_EQ(page.penWidths.front(), 12);  // width record 3 gives 4 x 3
  EXPECT_EQ(window.penWidths.front(), 3);
  ASSERT_EQ(page.fonts.size(), 1u);
  EXPECT_TRUE(window.fonts.empty());  // texts on the printer only
  // Cell height 10 * 1.6 screen pixels: round(7016 * 16 / 708) = 159;
  // width 5 * 1.1 * 0.8: round(4961 * 4.4 / 1014) = 22.
  EXPECT_EQ(page.fonts[0].height, 159);
  EXPECT_EQ(page.fonts[0].width, 22);
  // Monochrome: coloured lines and texts black, colour 0 the background.
  EXPECT_EQ(page.textColours[0], (Rgb{0, 0, 0}));
  EXPECT_EQ(page.pens[0], (Rgb{0, 0, 0}));
  EXPECT_EQ(page.pens.back(), (Rgb{255, 0, 0}));

  Settings.WindowsPrintMode = 2;
  page = PageCanvas{};
  ASSERT_TRUE(print());
  EXPECT_EQ(page.pens[0], PaletteColour(12));
  EXPECT_EQ(page.textColours[0], PaletteColour(12));
  // Without a print job the pause is made.
  w.Replay(window);
  EXPECT_EQ(host.sleeps, 1);
}

TEST_F(PrinterMapping, BorderFramesTheWorldWindowAndAZeroWindowEndsTheReplay) {
  target.border = true;
  Settings.ColourGraphics = true;
  w.line(100, 100, 200, 200);
  ASSERT_TRUE(print());
  ASSERT_EQ(page.lines.size(), 5u);
  EXPECT_EQ(page.pens[0], PaletteColour(11));
  EXPECT_EQ(page.lines[0], (std::array<int, 4>{0, 7016, 0, 0}));
  EXPECT_EQ(page.lines[1], (std::array<int, 4>{0, 0, 4961, 0}));
  EXPECT_EQ(page.lines[2], (std::array<int, 4>{4961, 0, 4961, 7016}));
  EXPECT_EQ(page.lines[3], (std::array<int, 4>{4961, 7016, 0, 7016}));

  list.append(RecWindow, {0, 0, 1014, 708, 5, 5, 5, 10});
  w.line(0, 0, 10, 10);
  page = PageCanvas{};
  EXPECT_FALSE(print());
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(page.lines.size(), 5u);  // the border and the one line before the record
}

TEST(ExportArguments, CommandLine) {
  ExportRequest r;
  std::string error;
  EXPECT_FALSE(ParseExportArgs({"plan.dxf"}, r, error));
  EXPECT_FALSE(ParseExportArgs({"A*.DXF", "/CPS", "/G"}, r, error));

  ASSERT_TRUE(ParseExportArgs({"--export", "out.svg", "plan.dxf"}, r, error));
  EXPECT_EQ(error, "");
  EXPECT_EQ(r.output, "out.svg");
  EXPECT_EQ(r.drawing, "plan.dxf");

  r = {};
  ASSERT_TRUE(ParseExportArgs({"plan.dxf", "--size", "640x480", "--export", "Out.PNG"}, r, error));
  EXPECT_EQ(error, "");
  EXPECT_EQ(r.width, 640);
  EXPECT_EQ(r.height, 480);
  EXPECT_EQ(r.drawing, "plan.dxf");

  // Every incomplete or wrong request says why.
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--export"},
                                             {"--export", "out.svg"},
                                             {"--export", "out.txt", "plan.dxf"},
                                             {"--export", "out.svg", "a.dxf", "b.dxf"},
                                             {"--export", "out.svg", "--size", "10x10", "plan.dxf"},
                                             {"--export", "out.png", "--size", "0x10", "plan.dxf"},
                                             {"--export", "out.png", "plan.dxf", "--size"}}) {
    r = {};
    EXPECT_TRUE(ParseExportArgs(bad, r, error));
    EXPECT_NE(error, "") << bad.size();
  }
}

TEST(ExportArguments, SizesAndTypes) {
  int w = 0, h = 0;
  EXPECT_TRUE(ParseImageSize("800x600", w, h));
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  EXPECT_TRUE(ParseImageSize("1X10000", w, h));
  for (const char* bad : {"", "800", "x600", "800x", "800x600x2", "-5x5", "5x10001", "8 x 6", "99999999999x1"})
    EXPECT_FALSE(ParseImageSize(bad, w, h)) << bad;
  EXPECT_EQ(w, 1);  // a failed parse leaves the values

  EXPECT_EQ(ExportType("a/b.c/plan.SVG"), "svg");
  EXPECT_EQ(ExportType("plan.pdf"), "pdf");
  EXPECT_EQ(ExportType("plan.png"), "png");
  EXPECT_EQ(ExportType("plan.ps"), "");
  EXPECT_EQ(ExportType("dir.png/plan"), "");
  EXPECT_EQ(ExportType("plan"), "");
}

}  // namespace
}  // namespace planox
