#include "display/qtcanvas.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <algorithm>
#include <cmath>

namespace planox {

namespace {

constexpr int kMaxTextChars = 1000;

Qt::PenStyle QtStyle(PenStyle s) {
  switch (s) {
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::DashDot: return Qt::DashDotLine;
    case PenStyle::Dash: return Qt::DashLine;
    default: return Qt::SolidLine;
  }
}

QRect BoxOf(int left, int top, int right, int bottom) {
  return QRect(QPoint(std::min(left, right), std::min(top, bottom)),
               QPoint(std::max(left, right), std::max(top, bottom)));
}

}  // namespace

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

PainterCanvas::PainterCanvas(QPainter& painter, int width, int height) : p_(painter), width_(width), height_(height) {
  p_.setBrush(Qt::NoBrush);
  p_.setPen(QPen(Qt::black, 0));
  p_.setBackgroundMode(Qt::TransparentMode);
}

void PainterCanvas::setPen(Rgb colour, PenStyle style, int width) {
  QPen pen(ToQColor(colour), std::max(width, 0) <= 1 ? 0 : width, QtStyle(style), Qt::FlatCap, Qt::MiterJoin);
  p_.setPen(pen);
}

void PainterCanvas::line(int x1, int y1, int x2, int y2) { p_.drawLine(x1, y1, x2, y2); }

void PainterCanvas::ellipse(int left, int top, int right, int bottom) {
  p_.setBrush(Qt::NoBrush);
  p_.drawEllipse(BoxOf(left, top, right, bottom));
}

void PainterCanvas::arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  const QRect r = BoxOf(left, top, right, bottom);
  const double cx = (double(r.left()) + r.right()) / 2, cy = (double(r.top()) + r.bottom()) / 2;
  const double rx = std::max(1.0, r.width() / 2.0), ry = std::max(1.0, r.height() / 2.0);
  // The ray through each point meets the ellipse at this parameter angle.
  const double a1 = std::atan2((cy - ys) / ry, (xs - cx) / rx) * 180 / M_PI;
  const double a2 = std::atan2((cy - ye) / ry, (xe - cx) / rx) * 180 / M_PI;
  double span = a2 - a1;
  while (span <= 0) span += 360;
  p_.setBrush(Qt::NoBrush);
  p_.drawArc(r, int(std::lround(a1 * 16)), int(std::lround(span * 16)));
}

void PainterCanvas::polygon(const int (&xy)[8], Rgb fill) {
  const QPoint pts[4] = {{xy[0], xy[1]}, {xy[2], xy[3]}, {xy[4], xy[5]}, {xy[6], xy[7]}};
  p_.setBrush(ToQColor(fill));
  p_.drawPolygon(pts, 4);
  p_.setBrush(Qt::NoBrush);
}

const PainterCanvas::CachedFont& PainterCanvas::fontFor(const TextFont& f) {
  FontKey key{f.face, f.height, f.width, f.weight, f.italic, f.underline, f.strikeOut};
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  if (fonts_.size() > 256) fonts_.clear();
  QFont font(QString::fromUtf8(f.face.c_str()));
  font.setStyleStrategy(QFont::PreferOutline);
  // The height is the cell height (ascent plus descent), as the original
  // toolbox asked for it; Qt sizes fonts by the em, so convert.
  font.setPixelSize(std::max(1, f.height));
  const double cell = QFontMetricsF(font).height();
  if (cell > 0) font.setPixelSize(std::max(1, int(std::lround(f.height * f.height / cell))));
  if (f.width > 0) {
    const double avg = QFontMetricsF(font).averageCharWidth();
    if (avg > 0) font.setStretch(std::clamp(int(std::lround(100.0 * f.width / avg)), 1, 4000));
  }
  font.setWeight(f.weight >= 700 ? QFont::Bold : QFont::Normal);
  font.setItalic(f.italic);
  font.setUnderline(f.underline);
  font.setStrikeOut(f.strikeOut);
  return fonts_.emplace(key, CachedFont{font, QRawFont::fromFont(font), QFontMetricsF(font).ascent()}).first->second;
}

void PainterCanvas::text(int x, int y, const TextFont& font, Rgb colour, const std::string& utf8) {
  QString s = QString::fromUtf8(utf8.data(), qsizetype(std::min<size_t>(utf8.size(), 4 * kMaxTextChars)));
  if (s.size() > kMaxTextChars) s.truncate(kMaxTextChars);
  if (s.isEmpty()) return;
  const CachedFont& f = fontFor(font);
  const QPen pen = p_.pen();
  p_.setPen(ToQColor(colour));
  const int tenths = font.escapement % 3600;
  const QTransform saved = p_.transform();
  if (tenths != 0) {
    p_.translate(x, y);
    p_.rotate(-tenths / 10.0);
    x = y = 0;
  }
  if (f.raw.isValid()) {
    // Drawing texts are plain labels: one glyph per character, placed by
    // their advances, is what they need and costs far less than shaping.
    QList<quint32> glyphs = f.raw.glyphIndexesForString(s);
    QList<QPointF> advances = f.raw.advancesForGlyphIndexes(glyphs);
    QList<QPointF> positions(glyphs.size());
    QPointF at(0, 0);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
      positions[i] = at;
      at += advances[i];
    }
    QGlyphRun run;
    run.setRawFont(f.raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    run.setUnderline(font.underline);
    run.setStrikeOut(font.strikeOut);
    p_.drawGlyphRun(QPointF(x, y + f.ascent), run);
  } else {
    if (p_.font() != f.font) p_.setFont(f.font);
    p_.drawText(QPointF(x, y + f.ascent), s);
  }
  if (tenths != 0) p_.setTransform(saved);
  p_.setPen(pen);
}

namespace {
QImage& AsRgb32(QImage& image) {
  if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32 &&
      image.format() != QImage::Format_ARGB32_Premultiplied)
    image.convertTo(QImage::Format_RGB32);
  return image;
}
}  // namespace

ImageCanvas::ImageCanvas(QImage& image)
    : RasterCanvas(reinterpret_cast<uint32_t*>(AsRgb32(image).bits()), image.width(), image.height(),
                   int(image.bytesPerLine() / 4)),
      image_(image) {}

ImageCanvas::~ImageCanvas() {
  texts_.reset();
  if (painter_) painter_->end();
}

void ImageCanvas::text(int x, int y, const TextFont& font, Rgb colour, const std::string& utf8) {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    texts_ = std::make_unique<PainterCanvas>(*painter_, image_.width(), image_.height());
  }
  texts_->text(x, y, font, colour, utf8);
}

}  // namespace planox
