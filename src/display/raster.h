// A canvas that draws straight into a 32-bit pixel buffer (0xffRRGGBB per
// pixel, rows of `stride` pixels): one-pixel and wide pens with the dotted,
// dash-dot and dashed patterns, ellipse outlines and arcs as fine polylines,
// filled quadrilaterals. It is what the window image uses for the graphics,
// because a general painter costs several times as much per short line and a
// large drawing is nearly all short lines. Texts need fonts, so text() is
// left to a subclass; here it draws nothing.
#pragma once

#include <cstdint>

#include "display/quorgraf.h"

namespace planox {

class RasterCanvas : public Canvas {
 public:
  RasterCanvas(uint32_t* pixels, int width, int height, int stride);

  int width() const override { return width_; }
  int height() const override { return height_; }
  void setPen(Rgb colour, PenStyle style, int width) override;
  void line(int x1, int y1, int x2, int y2) override;
  void ellipse(int left, int top, int right, int bottom) override;
  void arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) override;
  void polygon(const int (&xy)[8], Rgb fill) override;
  void text(int, int, const TextFont&, Rgb, const std::string&) override {}

 private:
  void segment(long x1, long y1, long x2, long y2, bool continuePattern);
  void plot(long x, long y, bool xMajor);
  void curve(double cx, double cy, double rx, double ry, double from, double span);

  uint32_t* px_;
  int width_, height_, stride_;
  uint32_t colour_ = 0xff000000;
  int penWidth_ = 1;
  const int* pattern_ = nullptr;  // on/off lengths, 0 terminated; nullptr: solid
  int patternIndex_ = 0, patternLeft_ = 0;
};

}  // namespace planox
