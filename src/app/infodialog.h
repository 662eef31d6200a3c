// The drawing information dialog of View Info: the current file's name,
// size and date, the window it is shown in and the model's counts. It only
// reads; nothing changes.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace planox {

struct WorldWindow;

class TForm_hpvinfo : public QDialog {
  Q_OBJECT
 public:
  // limits: DrawingLimits of the graphics window.
  TForm_hpvinfo(QWidget* parent, const WorldWindow& limits);

  QLabel *Label_filename, *Label_filesize, *Label_filedate, *Label_xymin, *Label_xymax, *Label_elements,
      *Label_texts, *Label_block;
  QLineEdit *Edit_filename, *Edit_filesize, *Edit_filedate, *Edit_xymin, *Edit_xymax, *Edit_elements,
      *Edit_texts, *Edit_block;
  QPushButton* Button_ok;
};

// What the dialog shows, as code page 850 texts in the order of its rows.
struct DrawingInfo {
  std::string fileName, fileSize, fileDate, xyMin, xyMax, elements, texts, blocks;
};
DrawingInfo CollectDrawingInfo(const WorldWindow& limits);

}  // namespace planox
