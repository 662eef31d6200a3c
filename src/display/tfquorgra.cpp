#include "display/tfquorgra.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "base/session.h"
#include "display/qtcanvas.h"

namespace planox {

namespace {
constexpr size_t kMaxOverlays = 100000;
}

// ---------------------------------------------------------------------------
// Client area

QuorgraView::QuorgraView(TFquorgra* owner) : QWidget(owner), owner_(owner) {
  setObjectName("FQuorgraClient");
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);  // the status line follows the cursor
}

void QuorgraView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  owner_->paintView(p);
}

// The drawing area is the client area less one pixel each way; a resized
// window shows the same view mapped anew.
void QuorgraView::resizeEvent(QResizeEvent*) {
  owner_->graph().Resize(width() - 1, height() - 1);
  owner_->invalidateWindow();
}

void QuorgraView::keyPressEvent(QKeyEvent* event) { owner_->FormKeyDown(event); }

void QuorgraView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::MiddleButton) {
    panning_ = true;
    panFrom_ = p;
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  owner_->FormMouseDown(event->button(), p.x(), p.y());
}

void QuorgraView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (panning_) {
    owner_->DragPan(p.x() - panFrom_.x(), p.y() - panFrom_.y());
    panFrom_ = p;
  }
  owner_->FormMouseMove(p.x(), p.y());
  owner_->ShowViewStatus(p);
}

void QuorgraView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton && panning_) {
    panning_ = false;
    unsetCursor();
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  owner_->FormMouseUp(p.x(), p.y());
}

// Qt delivers the second press of a double click as this event; the
// original window system delivered a double-click event followed by a
// button-down event, and the view control relies on that order.
void QuorgraView::mouseDoubleClickEvent(QMouseEvent* event) {
  owner_->FormDblClick();
  const QPoint p = event->position().toPoint();
  owner_->FormMouseDown(event->button(), p.x(), p.y());
}

void QuorgraView::wheelEvent(QWheelEvent* event) {
  const QPoint p = event->position().toPoint();
  owner_->WheelZoom(p.x(), p.y(), event->angleDelta().y(), event->modifiers() & Qt::ControlModifier);
  event->accept();
}

// ---------------------------------------------------------------------------
// Window

TFquorgra::TFquorgra(QWidget* parent) : QMainWindow(parent) {
  setObjectName("FQuorgra");
  setWindowTitle("QuorGraf");
  view_ = new QuorgraView(this);
  setCentralWidget(view_);
  status_ = new QLabel(this);
  status_->setObjectName("ViewStatus");
  statusBar()->addPermanentWidget(status_, 1);
  view_->setFocus();
  graph_.setHost(this);
  ApplyDrawingArea();
}

TFquorgra::~TFquorgra() {
  graph_.cancelReplay();
  graph_.setHost(nullptr);
  setWaitCursor(false);
}

void TFquorgra::ApplyDrawingArea() {
  int w = Settings.ScreenWidth, h = Settings.ScreenHeight;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize size = screen ? screen->geometry().size() : QSize(650, 540);
  if (w == 0 || w == 65535) w = size.width() - 10;
  if (h == 0 || h == 65535) h = size.height() - 60;
  graph_.SetDrawingArea(w, h);
}

int TFquorgra::VirtualKey(const QKeyEvent& e) {
  const bool keypad = e.modifiers() & Qt::KeypadModifier;
  switch (e.key()) {
    case Qt::Key_Escape: return 27;
    case Qt::Key_F5: return 116;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Plus: return keypad ? 107 : 187;
    case Qt::Key_Minus: return keypad ? 109 : 189;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    default: break;
  }
  if ((e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z) || (e.key() >= Qt::Key_0 && e.key() <= Qt::Key_9))
    return e.key();  // letters and digits have their ASCII codes as virtual keys
  return 0;
}

void TFquorgra::FormKeyDown(QKeyEvent* event) { graph_.processKey(VirtualKey(*event)); }

void TFquorgra::FormMouseDown(Qt::MouseButton button, int x, int y) {
  MouseButton b = button == Qt::LeftButton    ? MouseButton::Left
                  : button == Qt::RightButton ? MouseButton::Right
                                              : MouseButton::Middle;
  graph_.FormMouseDown(b, x, y);
}

void TFquorgra::FormMouseMove(int x, int y) { graph_.FormMouseMove(x, y); }

void TFquorgra::FormMouseUp(int x, int y) { graph_.FormMouseUp(x, y); }

void TFquorgra::FormDblClick() { graph_.FormDblClick(); }

void TFquorgra::WheelZoom(int x, int y, int angleDelta, bool fine) {
  if (angleDelta == 0) return;
  graph_.ZoomAt(x, y, std::pow(fine ? FineWheelNotch : WheelNotch, angleDelta / 120.0));
  ShowViewStatus(QPoint(x, y));
}

void TFquorgra::DragPan(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  graph_.PanBy(dx, dy);
}

void TFquorgra::ShowViewStatus(const QPoint& cursor) {
  cursor_ = cursor;
  const int decimals = std::clamp(Settings.DecimalPlaces, 0, 9);
  const QString zoom = QString("Zoom %1").arg(static_cast<double>(graph_.ZoomFactor()), 0, 'g', 4);
  if (!view_->rect().contains(cursor)) {
    status_->setText(zoom);
    return;
  }
  long double x, y;
  graph_.WorldAt(cursor.x(), cursor.y(), x, y);
  status_->setText(QString("X %1   Y %2   %3")
                       .arg(static_cast<double>(x), 0, 'f', decimals)
                       .arg(static_cast<double>(y), 0, 'f', decimals)
                       .arg(zoom));
}

void TFquorgra::holdRepaints(bool on) {
  held_ = on;
  if (!on && heldRepaint_) {
    heldRepaint_ = false;
    invalidateWindow();
  }
}

// ---------------------------------------------------------------------------
// Repaint

void TFquorgra::invalidateWindow() {
  if (held_) {
    heldRepaint_ = true;
    return;
  }
  if (rendering_) {
    // A view change during a message pause: start the replay again.
    again_ = true;
    graph_.cancelReplay();
  }
  if (!scheduled_) {
    scheduled_ = true;
    QTimer::singleShot(0, this, &TFquorgra::scheduledPaint);
  }
}

void TFquorgra::scheduledPaint() {
  scheduled_ = false;
  if (held_) {
    heldRepaint_ = true;
    return;
  }
  FormPaint();
}

bool TFquorgra::FormPaint() { return replayInto(nullptr); }

bool TFquorgra::PrintReplay(const PrinterTarget& printer) {
  graph_.Printing = true;
  const bool complete = replayInto(&printer);
  graph_.Printing = false;
  return complete;
}

bool TFquorgra::replayInto(const PrinterTarget* printer) {
  if (rendering_) {
    again_ = true;
    graph_.cancelReplay();
    return false;
  }
  rendering_ = true;
  bool complete = true;
  do {
    again_ = false;
    const QSize size = view_->size().expandedTo(QSize(1, 1));
    if (image_.size() != size) image_ = QImage(size, QImage::Format_RGB32);
    image_.fill(ToQColor(RgbFromValue(Settings.BackgroundColour)));
    overlays_.clear();
    {
      ImageCanvas canvas(image_);
      complete = graph_.Replay(canvas, printer);
    }
    if (printer) break;  // a print job is replayed once
  } while (again_);
  rendering_ = false;
  view_->update();
  ShowViewStatus(cursor_);
  return complete;
}

void TFquorgra::paintView(QPainter& p) {
  // Until the next replay after a resize, the part the image does not cover
  // shows the background.
  const QColor ground = ToQColor(RgbFromValue(Settings.BackgroundColour));
  const QRect all = view_->rect();
  if (image_.isNull()) {
    p.fillRect(all, ground);
  } else {
    p.drawImage(0, 0, image_);
    if (image_.width() < all.width())
      p.fillRect(QRect(image_.width(), 0, all.width() - image_.width(), all.height()), ground);
    if (image_.height() < all.height())
      p.fillRect(QRect(0, image_.height(), all.width(), all.height() - image_.height()), ground);
  }
  for (const Overlay& o : overlays_) {
    p.setPen(QPen(ToQColor(o.colour), 0));
    p.drawLine(o.x1, o.y1, o.x2, o.y2);
  }
  if (graph_.dragging()) {
    // The rubber band inverts what is under it.
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 0));
    p.setBrush(Qt::NoBrush);
    const int x1 = graph_.bandStartX(), y1 = graph_.bandStartY(), x2 = graph_.bandEndX(), y2 = graph_.bandEndY();
    p.drawLine(x1, y1, x2, y1);
    p.drawLine(x2, y1, x2, y2);
    p.drawLine(x2, y2, x1, y2);
    p.drawLine(x1, y2, x1, y1);
  }
}

void TFquorgra::processMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TFquorgra::setWaitCursor(bool on) {
  if (on == waitCursor_) return;
  waitCursor_ = on;
  if (on)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TFquorgra::overlayLine(int x1, int y1, int x2, int y2, Rgb colour) {
  if (overlays_.size() < kMaxOverlays) overlays_.push_back({x1, y1, x2, y2, colour});
  view_->update();
}

void TFquorgra::bandChanged() { view_->update(); }

void TFquorgra::sleepMs(int ms) {
  if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

}  // namespace planox
