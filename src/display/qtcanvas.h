// The replay canvas on a QPainter: the window image, a plain QImage (tests,
// benchmarks) and the printer all draw through it.
#pragma once

#include <QFont>
#include <QPainter>

#include <map>
#include <tuple>

#include "display/quorgraf.h"

namespace planox {

class PainterCanvas : public Canvas {
 public:
  // The painter must stay active while the canvas is used; width and
  // height are the device size in pixels.
  PainterCanvas(QPainter& painter, int width, int height);

  int width() const override { return width_; }
  int height() const override { return height_; }
  void setPen(Rgb colour, PenStyle style, int width) override;
  void line(int x1, int y1, int x2, int y2) override;
  void ellipse(int left, int top, int right, int bottom) override;
  void arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) override;
  void polygon(const int (&xy)[8], Rgb fill) override;
  void text(int x, int y, const TextFont& font, Rgb colour, const std::string& utf8) override;

 private:
  const QFont& fontFor(const TextFont& font);

  QPainter& p_;
  int width_, height_;
  using FontKey = std::tuple<std::string, int, int, int, bool, bool, bool>;
  std::map<FontKey, QFont> fonts_;
};

QColor ToQColor(Rgb c);

}  // namespace planox
