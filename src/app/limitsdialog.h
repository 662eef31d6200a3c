// The drawing-limits dialog of Open Limit: the lower-left and upper-right
// corners of the window in which the drawing is shown and converted.
#pragma once

#include <QDialog>

#include "base/session.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace planox {

struct WorldWindow;

class Tw32plotg : public QDialog {
  Q_OBJECT
 public:
  explicit Tw32plotg(QWidget* parent = nullptr);

  // Fills Edit1..Edit4 (x min, y min, x max, y max) with RealToText.
  void SetFields(const WorldWindow& w);
  // The four fields read as numbers: a first "," counts as ".", a text
  // that is not a number gives 0.
  Extents Values() const;

  // Cancel, Escape and closing the window set AbortFlag.
  void reject() override;

  QGroupBox *GroupBox1, *GroupBox2;
  QLabel *Label1, *Label2, *Label3, *Label4;
  QLineEdit *Edit1, *Edit2, *Edit3, *Edit4;
  QPushButton *Button_OK, *Button_cancel, *Button_help;

 private:
  void Button_helpClick();
};

}  // namespace planox
