// The graphics window: the widget that shows the display list. The main
// window derives from it, so the drawing fills the main window's client area
// (the central widget); menuBar() stays the QMainWindow's own.
//
// TFquorgra owns the window's core state (graph(): mapping, caches, mouse,
// KeyAction) and is its WindowHost. The drawing interface is made on it:
// `QuorGraf quor{graph()}; quor.H_Init();`.
//
// Repaints: a repaint request (ClearViewPort, Clear, a view key) schedules a
// replay of the whole display list into an image; the replay runs outside
// Qt's paint events and lets pending messages through every 50000 records,
// and a view change during such a pause starts it again. Paint events only
// show the image, the MoveTo/LineTo overlay and the rubber band.
#pragma once

#include <QImage>
#include <QMainWindow>

#include <vector>

#include "display/quorgraf.h"

class QKeyEvent;
class QLabel;
class QMouseEvent;

namespace planox {

class TFquorgra;

// The client area that shows the drawing.
class QuorgraView : public QWidget {
  Q_OBJECT
 public:
  explicit QuorgraView(TFquorgra* owner);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  TFquorgra* owner_;
  bool panning_ = false;  // the middle button is down
  QPoint panFrom_;
};

class TFquorgra : public QMainWindow, public WindowHost {
  Q_OBJECT
 public:
  explicit TFquorgra(QWidget* parent = nullptr);
  ~TFquorgra() override;

  GraphWindow& graph() { return graph_; }
  QuorgraView* view() const { return view_; }

  // Takes the drawing area W x H from Settings.ScreenWidth / ScreenHeight;
  // 0 and 65535 mean the screen's width - 10 and height - 60.
  void ApplyDrawingArea();

  // Replays the display list into the image now (normally a scheduled
  // repaint does it). Returns false when the replay stopped early.
  bool FormPaint();
  const QImage& image() const { return image_; }

  // The printer's replay (print job): draws the list into the window image
  // and the graphics and texts onto the printer target (a PainterCanvas on
  // the printer's painter), with graph().Printing set while it runs. The
  // printer canvas gets the graphics and all texts, the window image only
  // the graphics.
  bool PrintReplay(const PrinterTarget& printer);

  // View-control handlers (the key as a Qt key event; mouse positions in
  // client pixels).
  void FormKeyDown(QKeyEvent* event);
  void FormMouseDown(Qt::MouseButton button, int x, int y);
  void FormMouseMove(int x, int y);
  void FormMouseUp(int x, int y);
  void FormDblClick();

  // Windows virtual key code of a Qt key event (0 for keys without one).
  static int VirtualKey(const QKeyEvent& event);

  // The wheel: each notch (120 eighths of a degree) zooms by WheelNotch
  // about the cursor, with Ctrl by FineWheelNotch; turning away from the
  // user zooms out.
  static constexpr double WheelNotch = 1.25, FineWheelNotch = 1.05;
  void WheelZoom(int x, int y, int angleDelta, bool fine);
  // The middle button drags the drawing along.
  void DragPan(int dx, int dy);

  // The status line: the world point under the cursor (client pixels) and
  // the zoom factor; outside the drawing only the zoom factor.
  void ShowViewStatus(const QPoint& cursor);
  QLabel* viewStatus() const { return status_; }

  // While a long read or print runs, repaint requests wait (the window
  // keeps showing its last picture) and run once when it is over.
  void holdRepaints(bool on);

  // WindowHost.
  void invalidateWindow() override;
  void processMessages() override;
  void setWaitCursor(bool on) override;
  void overlayLine(int x1, int y1, int x2, int y2, Rgb colour) override;
  void bandChanged() override;
  void sleepMs(int ms) override;

 private:
  friend class QuorgraView;
  void scheduledPaint();
  bool replayInto(const PrinterTarget* printer);
  void paintView(QPainter& painter);

  struct Overlay {
    int x1, y1, x2, y2;
    Rgb colour;
  };

  GraphWindow graph_;
  QuorgraView* view_ = nullptr;
  QLabel* status_ = nullptr;
  QPoint cursor_{-1, -1};  // last cursor position over the drawing
  bool held_ = false, heldRepaint_ = false;
  QImage image_;
  std::vector<Overlay> overlays_;
  bool scheduled_ = false;
  bool rendering_ = false;
  bool again_ = false;
  bool waitCursor_ = false;
};

}  // namespace planox
