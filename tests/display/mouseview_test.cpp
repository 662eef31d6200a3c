// The mouse habits on the window mapping: wheel zoom about the cursor, the
// middle-button pan and the zoom factor of the status line.
#include <cmath>
#include <limits>

#include "display/quorgraf.h"
#include "support/windowtest.h"

namespace planox {
namespace {

class MouseView : public test::InWindow {
 protected:
  void SetUp() override {
    InWindow::SetUp();
    // A wide world, so the aspect rule narrows the horizontal scale.
    w.SetWindow(0, 0, 1, 1, -50, 10, 350, 110, true, true);
  }
  void ExpectSameWorld(int px, int py, long double x, long double y) {
    long double nx, ny;
    w.WorldAt(px, py, nx, ny);
    EXPECT_NEAR(static_cast<double>(nx), static_cast<double>(x), 1e-9 * 400) << px << "," << py;
    EXPECT_NEAR(static_cast<double>(ny), static_cast<double>(y), 1e-9 * 400) << px << "," << py;
  }
};

TEST_F(MouseView, WheelKeepsTheWorldPointUnderTheCursor) {
  const int points[][2] = {{0, 0}, {320, 240}, {17, 455}, {600, 31}};
  const long double factors[] = {1.25L, 1 / 1.25L, 1.05L, std::pow(1.25L, 7), std::pow(1.25L, -3)};
  for (const auto& p : points) {
    w.ResetZoom();
    for (long double f : factors) {
      long double x, y;
      w.WorldAt(p[0], p[1], x, y);
      const long double before = w.ZoomFactor();
      w.ZoomAt(p[0], p[1], f);
      ExpectSameWorld(p[0], p[1], x, y);
      EXPECT_NEAR(static_cast<double>(w.ZoomFactor() / before), static_cast<double>(f), 1e-9);
      // The drawn pixel of that world point is where the cursor is.
      EXPECT_NEAR(w.X(x), p[0], 1);
      EXPECT_NEAR(w.Y(y), p[1], 1);
    }
  }
}

TEST_F(MouseView, NotchesInAndOutComeBackAndResetIsExact) {
  EXPECT_DOUBLE_EQ(static_cast<double>(w.ZoomFactor()), 1.0);
  const Rect32 start = w.ZoomRect();
  for (int i = 0; i < 6; ++i) w.ZoomAt(100 + i * 30, 200 - i * 10, 1.25L);
  for (int i = 5; i >= 0; --i) w.ZoomAt(100 + i * 30, 200 - i * 10, 1 / 1.25L);
  EXPECT_EQ(w.ZoomRect(), start);
  EXPECT_NEAR(static_cast<double>(w.ZoomFactor()), 1.0, 1e-12);
  w.ZoomAt(5, 5, 3);
  w.ResetZoom();
  EXPECT_EQ(w.ZoomRect(), start);
  EXPECT_DOUBLE_EQ(static_cast<double>(w.ZoomFactor()), 1.0);
}

TEST_F(MouseView, TheWholeViewIsZoomOneOnEveryShape) {
  for (auto [width, height] : {std::pair{1280, 1000}, {900, 400}, {400, 700}}) {
    w.SetDrawingArea(width, height);
    w.SetWindow(0, 0, 1, 1, 0, 0, 10, 10, true, true);
    EXPECT_DOUBLE_EQ(static_cast<double>(w.ZoomFactor()), 1.0) << width << "x" << height;
  }
}

TEST_F(MouseView, AResizeKeepsADeepMouseZoom) {
  w.ZoomAt(200, 100, std::pow(1.25L, 25));  // the zoom rectangle is about two pixels wide
  const long double zoom = w.ZoomFactor(), x0 = w.x0(), y0 = w.y0();
  w.Resize(800, 600);
  EXPECT_NEAR(static_cast<double>(w.ZoomFactor() / zoom), 1.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(w.x0()), static_cast<double>(x0), 1e-9);
  EXPECT_NEAR(static_cast<double>(w.y0()), static_cast<double>(y0), 1e-9);
  // Too small for that zoom: the whole view.
  w.Resize(4, 3);
  EXPECT_DOUBLE_EQ(static_cast<double>(w.ZoomFactor()), 1.0);
}

TEST_F(MouseView, DeepZoomStopsWithAUsableView) {
  for (int i = 0; i < 400; ++i) w.ZoomAt(320, 240, 1.25L);
  const Rect32 z = w.ZoomRect();
  EXPECT_NE(z.right, z.left);
  EXPECT_NE(z.bottom, z.top);
  EXPECT_TRUE(std::isfinite(static_cast<double>(w.scaleX())));
  // The keys still act on what the wheel left.
  w.processKey(109);
  EXPECT_GE(w.ZoomRect().right - w.ZoomRect().left, z.right - z.left);
  // Nonsense factors change nothing.
  const Rect32 before = w.ZoomRect();
  w.ZoomAt(1, 1, 0);
  w.ZoomAt(1, 1, -2);
  w.ZoomAt(1, 1, std::numeric_limits<long double>::infinity());
  EXPECT_EQ(w.ZoomRect(), before);
}

TEST_F(MouseView, MiddleDragMovesTheDrawingByTheDraggedDistance) {
  w.ZoomAt(200, 100, 2.5L);
  const long double x = 120.5L, y = 60.25L;
  const int px = w.X(x), py = w.Y(y);
  w.PanBy(37, -21);
  EXPECT_NEAR(w.X(x), px + 37, 1);
  EXPECT_NEAR(w.Y(y), py - 21, 1);
  // Many small moves add up without drifting.
  for (int i = 0; i < 50; ++i) w.PanBy(-1, 1);
  EXPECT_NEAR(w.X(x), px + 37 - 50, 1);
  EXPECT_NEAR(w.Y(y), py - 21 + 50, 1);
  const long double zoom = w.ZoomFactor();
  w.PanBy(300, 300);
  EXPECT_NEAR(static_cast<double>(w.ZoomFactor()), static_cast<double>(zoom), 1e-12);
}

TEST_F(MouseView, AReplayKeepsTheMouseView) {
  list.clear();
  w.SetWindow(0, 0, 1, 1, -50, 10, 350, 110, true, true);  // records the window
  w.ZoomAt(123, 321, 1.25L * 1.25L);
  w.PanBy(11, 7);
  long double x, y;
  w.WorldAt(50, 60, x, y);
  NullCanvas canvas(640, 480);
  EXPECT_TRUE(w.Replay(canvas));
  ExpectSameWorld(50, 60, x, y);
}

}  // namespace
}  // namespace planox
