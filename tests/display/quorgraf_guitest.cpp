// Pixel tests of the replay on offscreen images, and the graphics window
// with keys and mouse under the offscreen platform.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <functional>

#include "base/session.h"
#include "display/qtcanvas.h"
#include "display/tfquorgra.h"
#include "support/windowtest.h"

namespace planox {
namespace {

class Pixels : public test::InWindow {
 protected:
  void SetUp() override {
    InWindow::SetUp();
    w.SetWindow(0, 0, 1, 1, 0, 0, 640, 480, true, false);
  }
  // The window's canvas (pixels written directly, texts by a painter), or
  // the painter canvas that the printer uses.
  QImage render(QColor ground = Qt::white) {
    QImage img(641, 481, QImage::Format_RGB32);
    img.fill(ground);
    if (painter) {
      QPainter p(&img);
      PainterCanvas c(p, img.width(), img.height());
      w.Replay(c);
    } else {
      ImageCanvas c(img);
      w.Replay(c);
    }
    return img;
  }
  bool painter = false;
  // Number of changes between drawn and blank along a row.
  static int Transitions(const QImage& img, int y, int x1, int x2, QRgb blank) {
    int n = 0;
    bool last = img.pixel(x1, y) != blank;
    for (int x = x1 + 1; x < x2; ++x) {
      const bool on = img.pixel(x, y) != blank;
      if (on != last) ++n;
      last = on;
    }
    return n;
  }

 public:
  // Bounding box of the pixels that are not the ground colour.
  static QRect Ink(const QImage& img, QRgb ground) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) != ground) r |= QRect(x, y, 1, 1);
    return r;
  }

 protected:
  // Runs body once on the window's own canvas and once through the
  // painter, each time on an empty display list.
  void OnEachCanvas(const std::function<void()>& body) {
    for (bool viaPainter : {false, true}) {
      SCOPED_TRACE(viaPainter ? "painter" : "image");
      painter = viaPainter;
      list.clear();
      body();
    }
  }
};

TEST_F(Pixels, LinesLandWhereTheMappingSays) {
  OnEachCanvas([&] {
    w.ResetZoom();
    w.SetColor(0);
    w.SetColor(12);
    w.line(0, 100, 640, 100);
    w.line(200, 0, 200, 480);
    const QImage img = render();
    EXPECT_EQ(img.pixel(320, 380), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(200, 50), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(320, 379), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(201, 50), qRgb(255, 255, 255));

    // Zoomed in about the centre: the line at y = 100 moves away from it.
    w.SetScale(160, 120, 480, 360);
    const QImage zoomed = render();
    EXPECT_EQ(zoomed.pixel(320, 380), qRgb(255, 255, 255));  // y = 100 is now below the window
    EXPECT_EQ(zoomed.pixel(80, 50), qRgb(255, 0, 0));        // x = (200 - 160) * 2
  });
}

TEST_F(Pixels, ColourZeroAndMonochrome) {
  OnEachCanvas([&] {
    Settings.ColourGraphics = true;
    Settings.BackgroundColour = 0x00ff00;  // green
    w.SetColor(9);
    w.Solid(10, 10, 100, 10, 100, 100, 10, 100);
    w.SetColor(0);
    w.line(0, 50, 640, 50);
    QImage img = render();
    EXPECT_EQ(img.pixel(50, 420), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(50, 440), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(50, 480 - 50), qRgb(0, 255, 0));  // erased through the solid
    EXPECT_EQ(img.pixel(300, 480 - 50), qRgb(0, 255, 0));

    Settings.ColourGraphics = false;
    img = render();
    EXPECT_EQ(img.pixel(50, 420), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(50, 430), qRgb(0, 255, 0));
  });
}

TEST_F(Pixels, DottedAndDashedPensDiffer) {
  OnEachCanvas([&] {
    w.SetColor(0);
    w.SetLineStyle(0);
    w.SetColor(15);
    w.SetLineStyle(1);
    w.line(0, 400, 640, 400);
    w.SetLineStyle(3);
    w.line(0, 300, 640, 300);
    w.SetLineStyle(0);
    w.line(0, 200, 640, 200);
    const QImage img = render(Qt::black);
    const QRgb black = qRgb(0, 0, 0);
    const int dotted = Transitions(img, 80, 10, 630, black);
    const int dashed = Transitions(img, 180, 10, 630, black);
    const int solid = Transitions(img, 280, 10, 630, black);
    EXPECT_EQ(solid, 0);
    EXPECT_GT(dashed, 10);
    EXPECT_GT(dotted, dashed + 10);
  });
}

TEST_F(Pixels, CirclesArcsAndWidePens) {
  w.SetColor(12);
  w.circle(320, 240, 100);
  w.Arc(100, 100, 0, 90, 50);  // the quarter from east to north
  w.SetLineWidth(5);
  w.line(400, 50, 600, 50);
  const QImage img = render();
  const QRgb red = qRgb(255, 0, 0);
  EXPECT_EQ(img.pixel(420, 240), red);
  EXPECT_EQ(img.pixel(320, 140), red);
  EXPECT_EQ(img.pixel(220, 240), red);
  EXPECT_EQ(img.pixel(320, 340), red);
  EXPECT_NE(img.pixel(320, 240), red);
  EXPECT_EQ(img.pixel(150, 380), red);  // east end of the arc
  EXPECT_EQ(img.pixel(100, 330), red);  // north end
  EXPECT_NE(img.pixel(50, 380), red);   // the west side is not drawn
  EXPECT_NE(img.pixel(100, 430), red);  // nor the south
  for (int y = 428; y <= 432; ++y) EXPECT_EQ(img.pixel(500, y), red) << y;
  EXPECT_NE(img.pixel(500, 434), red);
}

TEST_F(Pixels, TextIsRotated) {
  w.SetColor(12);
  w.SetTextStyle(0, 0, 20, 10);
  w.OutTextXY(100, 200, "PLANOX");
  QImage img = render();
  const QRect flat = Ink(img, qRgb(255, 255, 255));
  ASSERT_FALSE(flat.isEmpty());
  EXPECT_GT(flat.width(), 2 * flat.height());
  EXPECT_NEAR(flat.bottom(), 480 - 200, 8);  // standing on its insertion point
  EXPECT_NEAR(flat.left(), 100, 4);

  list.clear();
  w.SetTextStyle(0, 90, 20, 10);
  w.OutTextXY(300, 100, "PLANOX");
  img = render();
  const QRect up = Ink(img, qRgb(255, 255, 255));
  ASSERT_FALSE(up.isEmpty());
  EXPECT_GT(up.height(), 2 * up.width());
  EXPECT_NEAR(up.bottom(), 480 - 100, 8);  // reads upwards from the point
  EXPECT_LE(up.right(), 300 + 8);
}

TEST_F(Pixels, TextWidthFollowsTheWidthField) {
  w.SetColor(12);
  w.SetTextStyle(0, 0, 20, 5);
  w.OutTextXY(50, 300, "MMMM");
  const QRect narrow = Ink(render(), qRgb(255, 255, 255));
  list.clear();
  w.SetColor(0);
  w.SetColor(12);
  w.SetTextStyle(0, 0, 20, 15);
  w.OutTextXY(50, 300, "MMMM");
  const QRect wide = Ink(render(), qRgb(255, 255, 255));
  ASSERT_FALSE(narrow.isEmpty());
  ASSERT_FALSE(wide.isEmpty());
  EXPECT_GT(wide.width(), 2 * narrow.width());
  EXPECT_NEAR(wide.height(), narrow.height(), 2);
}

TEST_F(Pixels, WildNumbersDrawNothingAbsurd) {
  OnEachCanvas([&] {
    w.SetColor(0);
    w.SetLineStyle(0);
    w.SetColor(12);
    w.circle(320, 240, 1e200);
    w.circle(320, 240, 1e6);
    w.Arc(320, 240, 0, 180, 1e7);
    w.SetLineStyle(1);
    w.line(-1e300, 240, 1e300, 240);
    w.SetTextStyle(0, 0, 1e9, 1e9);
    w.OutTextXY(0, 0, std::string(100000, 'x'));
    w.SetTextStyle(0, 0, 5, 5);
    w.OutTextXY(0, 0, std::string(100000, 'x'));
    const QImage img = render();
    EXPECT_GT(Transitions(img, 240, 0, 640, qRgb(255, 255, 255)), 100);  // the dotted line
  });
}

class Window : public test::Defaults {
 protected:
  void SetUp() override {
    test::Defaults::SetUp();
    win = std::make_unique<TFquorgra>();
    win->graph().SetDrawingArea(640, 480);
    win->resize(641, 481);
    win->show();
    QApplication::processEvents();
    // The client area is 641 x 481 pixels, whatever the status line takes.
    win->resize(win->size() + QSize(641, 481) - win->view()->size());
    QApplication::processEvents();
    quor = std::make_unique<QuorGraf>(win->graph());
    quor->H_Init();
  }
  void TearDown() override {
    quor.reset();
    win.reset();
    test::Defaults::TearDown();
  }
  std::unique_ptr<TFquorgra> win;
  std::unique_ptr<QuorGraf> quor;
};

TEST_F(Window, ShowsTheLogoAndClears) {
  quor->H_SetWindow(0, 0, 1, 1, 0, 0, 100, 100, true, true);
  quor->H_SaveLimit();
  quor->H_Clear();
  quor->H_DrawLogo();
  QApplication::processEvents();
  const QImage& img = win->image();
  ASSERT_FALSE(img.isNull());
  int magenta = 0, blue = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      if (img.pixel(x, y) == qRgb(255, 0, 255)) ++magenta;
      if (img.pixel(x, y) == qRgb(0, 0, 255)) ++blue;
    }
  EXPECT_GT(magenta, 1000);
  EXPECT_GT(blue, 100);
  EXPECT_FALSE(QApplication::overrideCursor());  // every repaint ends with the default cursor

  quor->H_Clear();
  QApplication::processEvents();
  const QRgb ground = win->image().pixel(0, 0);
  EXPECT_EQ(ground, qRgb(1, 0, 0));
  bool onlyGround = true;
  for (int y = 0; y < win->image().height(); y += 7)
    for (int x = 0; x < win->image().width(); x += 7) onlyGround &= win->image().pixel(x, y) == ground;
  EXPECT_TRUE(onlyGround);
}

TEST_F(Window, KeysAndMouseZoomAndPan) {
  quor->H_SetWindow(0, 0, 1, 1, 0, 0, 640, 480, true, false);
  quor->H_Clear();
  quor->H_SetColor(12);
  quor->H_Line(0, 240, 640, 240);
  quor->H_ClearViewPort();
  QApplication::processEvents();
  GraphWindow& g = win->graph();
  EXPECT_EQ(win->image().pixel(320, 240), qRgb(255, 0, 0));

  QTest::keyClick(win->view(), Qt::Key_Up);
  EXPECT_EQ(g.ZoomRect(), (Rect32{0, -10, 640, 470}));
  QApplication::processEvents();
  EXPECT_EQ(win->image().pixel(320, 230), qRgb(255, 0, 0));  // the drawing moved up

  QTest::keyClick(win->view(), Qt::Key_Escape);
  EXPECT_EQ(g.ZoomRect(), (Rect32{0, 0, 640, 480}));
  QTest::keyClick(win->view(), Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(g.ZoomRect(), (Rect32{7, 5, 633, 475}));
  QTest::keyClick(win->view(), Qt::Key_Plus);  // not the keypad: repeats the remembered zoom
  EXPECT_EQ(g.ZoomRect().right - g.ZoomRect().left, 614);
  QTest::keyClick(win->view(), Qt::Key_F5);
  QTest::keyClick(win->view(), Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(g.ZoomRect(), (Rect32{-6, -5, 646, 485}));

  QTest::mouseClick(win->view(), Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(g.ZoomRect(), (Rect32{0, 0, 640, 480}));

  // A rubber band, dragged from the lower right to the upper left.
  QTest::mousePress(win->view(), Qt::LeftButton, {}, QPoint(300, 200));
  QTest::mouseMove(win->view(), QPoint(200, 150));
  EXPECT_TRUE(g.dragging());
  {
    // The band inverts what lies under it; it is not part of the image.
    const QImage shown = win->view()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(250, 150), qRgb(254, 255, 255));  // on the band, over the background
    EXPECT_EQ(shown.pixel(250, 175), qRgb(1, 0, 0));        // inside it
    EXPECT_EQ(win->image().pixel(250, 150), qRgb(1, 0, 0));
  }
  QTest::mouseRelease(win->view(), Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_FALSE(g.dragging());
  const int cw = win->view()->width(), ch = win->view()->height();
  EXPECT_EQ(g.ZoomRect().left, RoundPixel(100.0L / cw * 640));
  EXPECT_EQ(g.ZoomRect().bottom, RoundPixel((ch - 100.0L) / ch * 480));
  QApplication::processEvents();
}

TEST_F(Window, AKeyDuringAMessagePauseStartsTheReplayAgain) {
  quor->H_SetWindow(0, 0, 1, 1, 0, 0, 640, 480, true, false);
  quor->H_Clear();
  quor->H_SetColor(12);
  for (int i = 0; i < 120000; ++i) quor->H_Line(0, 240, 640, 240);
  QApplication::processEvents();
  // The key arrives while the replay lets messages through; the replay must
  // not run inside itself, and the image shows the new view when it ends.
  QCoreApplication::postEvent(win->view(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
  EXPECT_TRUE(win->FormPaint());
  EXPECT_EQ(win->graph().ZoomRect(), (Rect32{0, -10, 640, 470}));
  EXPECT_EQ(win->image().pixel(320, 230), qRgb(255, 0, 0));
  EXPECT_NE(win->image().pixel(320, 240), qRgb(255, 0, 0));
  QApplication::processEvents();
}

TEST_F(Window, PrintReplayDrawsTextsOnThePrinterOnly) {
  quor->H_SetWindow(0, 0, 1, 1, 0, 0, 640, 480, true, false);
  quor->H_Clear();
  quor->H_SetColor(12);
  quor->H_Line(0, 240, 640, 240);
  quor->H_SetTextStyle(0, 0, 20, 10);
  quor->H_OutTextXY(100, 100, "PRINT");
  QApplication::processEvents();
  QImage page(1280, 960, QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter p(&page);
  PainterCanvas printer(p, page.width(), page.height());
  PrinterTarget target;
  target.canvas = &printer;
  target.pageWidth = 1280;
  target.pageHeight = 960;
  Settings.WindowsPrintMode = 2;
  EXPECT_TRUE(win->PrintReplay(target));
  p.end();
  EXPECT_EQ(page.pixel(640, 480), qRgb(255, 0, 0));  // the page is the drawing area twice over
  EXPECT_FALSE(Pixels::Ink(page.copy(0, 600, 1280, 200), qRgb(255, 255, 255)).isEmpty());
  EXPECT_EQ(win->image().pixel(320, 240), qRgb(255, 0, 0));
  const QRgb ground = win->image().pixel(0, 0);
  EXPECT_TRUE(Pixels::Ink(win->image().copy(90, 330, 200, 60), ground).isEmpty());  // no text on the window
}

}  // namespace
}  // namespace planox
