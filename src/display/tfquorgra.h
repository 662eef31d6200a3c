// The graphics window: the widget that shows the display list. The main
// window derives from it, so the drawing fills the main window's client area.
#pragma once

#include <QMainWindow>

namespace planox {

class TFquorgra : public QMainWindow {
  Q_OBJECT
 public:
  explicit TFquorgra(QWidget* parent = nullptr) : QMainWindow(parent) {}
};

}  // namespace planox
