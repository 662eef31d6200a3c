// The replay canvas on a QPainter: the window image, a plain QImage (tests,
// benchmarks) and the printer all draw through it.
#pragma once

#include <QFont>
#include <QPainter>
#include <QRawFont>

#include <QImage>

#include <map>
#include <memory>
#include <tuple>

#include "display/quorgraf.h"
#include "display/raster.h"

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
  struct CachedFont {
    QFont font;
    QRawFont raw;  // glyphs straight from the font, without text shaping
    double ascent = 0;
  };
  const CachedFont& fontFor(const TextFont& font);

  QPainter& p_;
  int width_, height_;
  using FontKey = std::tuple<std::string, int, int, int, bool, bool, bool>;
  std::map<FontKey, CachedFont> fonts_;
};

// The window image: graphics drawn straight into the image's pixels, texts
// with a painter opened on the image when the first text comes.
class ImageCanvas : public RasterCanvas {
 public:
  explicit ImageCanvas(QImage& image);  // Format_RGB32 or ARGB32
  ~ImageCanvas() override;
  void text(int x, int y, const TextFont& font, Rgb colour, const std::string& utf8) override;

 private:
  QImage& image_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<PainterCanvas> texts_;
};

QColor ToQColor(Rgb c);

}  // namespace planox
