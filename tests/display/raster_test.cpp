#include "display/raster.h"

#include <gtest/gtest.h>

#include <vector>

namespace planox {
namespace {

// A 40 x 30 canvas inside a larger buffer whose border must stay untouched.
struct Guarded {
  static constexpr int W = 40, H = 30, G = 8, S = W + 2 * G;
  std::vector<uint32_t> buf = std::vector<uint32_t>(S * (H + 2 * G), 0u);
  RasterCanvas canvas{buf.data() + G * S + G, W, H, S};
  uint32_t at(int x, int y) const { return buf[(y + G) * S + x + G]; }
  bool guardClean() const {
    for (int y = 0; y < H + 2 * G; ++y)
      for (int x = 0; x < S; ++x) {
        const bool inside = x >= G && x < G + W && y >= G && y < G + H;
        if (!inside && buf[y * S + x] != 0) return false;
      }
    return true;
  }
};

constexpr uint32_t kRed = 0xffff0000u;

TEST(RasterCanvas, LinesAndPatterns) {
  Guarded g;
  g.canvas.setPen({255, 0, 0}, PenStyle::Solid, 1);
  g.canvas.line(2, 3, 12, 3);
  for (int x = 2; x <= 12; ++x) EXPECT_EQ(g.at(x, 3), kRed) << x;
  EXPECT_EQ(g.at(13, 3), 0u);
  g.canvas.line(5, 5, 5, 5);  // a single point
  EXPECT_EQ(g.at(5, 5), kRed);
  g.canvas.setPen({255, 0, 0}, PenStyle::Dot, 1);
  g.canvas.line(0, 10, 39, 10);
  EXPECT_EQ(g.at(0, 10), kRed);
  EXPECT_EQ(g.at(1, 10), 0u);
  EXPECT_EQ(g.at(2, 10), 0u);
  EXPECT_EQ(g.at(3, 10), kRed);
  g.canvas.setPen({255, 0, 0}, PenStyle::Dash, 1);
  g.canvas.line(0, 12, 39, 12);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(g.at(x, 12), kRed);
  EXPECT_EQ(g.at(4, 12), 0u);
  EXPECT_EQ(g.at(6, 12), kRed);
  EXPECT_TRUE(g.guardClean());
}

TEST(RasterCanvas, NothingLandsOutsideTheCanvas) {
  Guarded g;
  g.canvas.setPen({255, 0, 0}, PenStyle::Solid, 7);
  g.canvas.line(-1000000, 15, 1000000, 15);
  g.canvas.line(20, -2000000000, 20, 2000000000);
  g.canvas.line(-50, -50, 90, 80);
  g.canvas.line(0, 0, 39, 0);
  g.canvas.line(39, 29, 39, 0);
  g.canvas.ellipse(-100, -100, 140, 130);
  g.canvas.ellipse(-4000000, -4000000, 4000000, 4000000);
  g.canvas.arc(-10, -10, 50, 40, 50, 15, -10, 15);
  const int far[8] = {-3000000, -3000000, 3000000, -3000000, 3000000, 3000000, -3000000, 3000000};
  g.canvas.polygon(far, {0, 0, 255});
  EXPECT_TRUE(g.guardClean());
  EXPECT_EQ(g.at(0, 0), 0xff0000ffu);  // the huge quadrilateral covers everything
}

TEST(RasterCanvas, FilledQuadrilateralAndCircle) {
  Guarded g;
  g.canvas.setPen({0, 0, 255}, PenStyle::Solid, 1);
  const int q[8] = {5, 5, 15, 5, 15, 12, 5, 12};
  g.canvas.polygon(q, {0, 0, 255});
  EXPECT_EQ(g.at(10, 8), 0xff0000ffu);
  EXPECT_EQ(g.at(5, 5), 0xff0000ffu);
  EXPECT_EQ(g.at(15, 12), 0xff0000ffu);
  EXPECT_EQ(g.at(16, 8), 0u);
  g.canvas.setPen({255, 0, 0}, PenStyle::Solid, 1);
  g.canvas.ellipse(20, 5, 36, 21);  // centre (28, 13), radius 8
  EXPECT_EQ(g.at(36, 13), kRed);
  EXPECT_EQ(g.at(20, 13), kRed);
  EXPECT_EQ(g.at(28, 5), kRed);
  EXPECT_EQ(g.at(28, 21), kRed);
  EXPECT_EQ(g.at(28, 13), 0u);
  EXPECT_TRUE(g.guardClean());
}

}  // namespace
}  // namespace planox
