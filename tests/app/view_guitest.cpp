// What the main window shows of a drawing after Regen, on windows of every
// shape, after a resize and after a double click: pixel checks on the
// replayed image.
#include <QApplication>
#include <QTest>

#include "app/planox1.h"
#include "base/session.h"
#include "base/startup.h"
#include "drawing/dxfinvar.h"
#include "support/testsupport.h"

namespace planox {
namespace {

// A circle of radius 10 about the origin on layer 0 (white), in a header
// window of exactly its size.
const char* const Circle =
    "0\nSECTION\n2\nHEADER\n9\n$EXTMIN\n10\n-10\n20\n-10\n9\n$EXTMAX\n10\n10\n20\n10\n0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n0\nCIRCLE\n8\n0\n10\n0\n20\n0\n40\n10\n0\nENDSEC\n0\nEOF\n";

// The same circle and a line to (100, 50), in a stale header window that
// holds only the circle.
const char* const Stale =
    "0\nSECTION\n2\nHEADER\n9\n$EXTMIN\n10\n-10\n20\n-10\n9\n$EXTMAX\n10\n10\n20\n10\n0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n0\nCIRCLE\n8\n0\n10\n0\n20\n0\n40\n10\n"
    "0\nLINE\n8\n0\n10\n0\n20\n0\n11\n100\n21\n50\n0\nENDSEC\n0\nEOF\n";

class View : public test::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    ResetDrawingModel();
    test::WriteFile(dir.file("floorplan.dxf"), test::ReadFile(test::SourceDir() + "/samples/floorplan.dxf"));
    test::WriteFile(dir.file("circle.dxf"), Circle);
    test::WriteFile(dir.file("stale.dxf"), Stale);
  }
  void TearDown() override {
    hh.reset();
    InTempDir::TearDown();
  }
  // The main window with a client area of w x h pixels.
  void start(int w, int h) {
    Settings.ScreenWidth = static_cast<uint16_t>(w - 1);
    Settings.ScreenHeight = static_cast<uint16_t>(h - 1);
    hh = std::make_unique<Thh>(std::vector<std::string>{});
    hh->FormCreate();
    hh->show();
    settle();
  }
  void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  void open(const std::string& name) {
    hh->OpenDrawing(dir.file(name));
    ASSERT_FALSE(Session.AbortFlag);
    settle();
  }
  // The pixels that are not the background, and their bounding box.
  int ink(QRect* box = nullptr) {
    const QImage& img = hh->image();
    const QRgb ground = img.pixel(0, 0);
    int n = 0;
    QRect r;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) != ground) {
          ++n;
          r |= QRect(x, y, 1, 1);
        }
    if (box) *box = r;
    return n;
  }

  std::unique_ptr<Thh> hh;
};

TEST_F(View, EveryCommandThatRedrawsShowsTheWholeDrawing) {
  start(640, 480);
  open("floorplan.dxf");
  const int shown = ink();
  ASSERT_GT(shown, 1000);
  hh->item("mi_ViewRegen")->trigger();
  settle();
  EXPECT_EQ(ink(), shown);
  // A second drawing and the first one again.
  open("circle.dxf");
  open("floorplan.dxf");
  EXPECT_EQ(ink(), shown);
  // Clear, then the same drawing drawn again.
  hh->item("mi_ViewClear")->trigger();
  settle();
  EXPECT_EQ(ink(), 0);
  hh->item("mi_ViewRegen")->trigger();
  settle();
  EXPECT_EQ(ink(), shown);
}

TEST_F(View, CirclesAreRoundOnEveryWindowShape) {
  for (auto [w, h] : {std::pair{640, 480}, {900, 400}, {400, 700}}) {
    start(w, h);
    open("circle.dxf");
    QRect box;
    ASSERT_GT(ink(&box), 0);
    EXPECT_NEAR(box.width(), box.height(), 1) << w << "x" << h;
    EXPECT_NEAR(std::max(box.width(), box.height()), std::min(w, h) - 2, 2) << w << "x" << h;
    // A double click and the press after it: the full view, still round
    // (it spans the whole drawing area, the first view one pixel less).
    QTest::mouseDClick(hh->view(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(hh->view(), Qt::LeftButton, {}, QPoint(10, 10));
    settle();
    QRect again;
    ink(&again);
    EXPECT_NEAR(again.width(), again.height(), 1) << w << "x" << h;
    EXPECT_NEAR(again.center().x(), box.center().x(), 1) << w << "x" << h;
    EXPECT_NEAR(again.center().y(), box.center().y(), 1) << w << "x" << h;
    EXPECT_NEAR(again.width(), box.width(), 2) << w << "x" << h;
    hh.reset();
  }
}

TEST_F(View, AResizedWindowShowsTheDrawingFittedAnew) {
  start(640, 480);
  open("circle.dxf");
  QRect before;
  ink(&before);
  // What the menu bar and the status line take of the window.
  const QSize frame = hh->size() - hh->view()->size();
  for (auto [w, h] : {std::pair{900, 700}, {300, 500}}) {
    hh->resize(QSize(w, h) + frame);
    settle();
    ASSERT_EQ(hh->view()->size(), QSize(w, h));
    QRect box;
    ASSERT_GT(ink(&box), 0);
    EXPECT_NEAR(box.width(), box.height(), 1) << w << "x" << h;
    EXPECT_NEAR(box.width(), std::min(w, h) - 3, 2) << w << "x" << h;
    EXPECT_TRUE(QRect(0, 0, w, h).contains(box)) << w << "x" << h;
  }
}

// Content beyond stale header extents is shown, and zoom-all keeps it.
TEST_F(View, ContentBeyondTheHeaderExtentsIsShown) {
  start(640, 480);
  open("stale.dxf");
  const WorldWindow& l = hh->quorGraf().DrawingLimits();
  EXPECT_LE(l.xmin, -10);
  EXPECT_LE(l.ymin, -10);
  EXPECT_GE(l.xmax, 100);
  EXPECT_GE(l.ymax, 50);
  // The header's own drawing stays in its window.
  open("circle.dxf");
  EXPECT_EQ(hh->quorGraf().DrawingLimits().xmax, 10);
}

}  // namespace
}  // namespace planox
