// The print dialog: the printer, the print scales and origin, orientation,
// colour mode, border and "ajuster"; OK prints the graphics window, "Aperçu"
// shows the page OK would print.
//
// Every opening starts from the same values (scale 1, origin (0, 0), no
// border, landscape): they are written into the print settings of Settings
// and the printer when the dialog is made, whatever the last print used.
#pragma once

#include <QDialog>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace planox {

class TFquorgra;

// The values every print dialog starts from; the orientation 1 means
// portrait, any other value landscape.
struct PrintStartValues {
  double scaleX = 1, scaleY = 1;
  int32_t originX = 0, originY = 0;
  bool border = false;
  int orientation = 2;
};

class TForm_printconf : public QDialog {
  Q_OBJECT
 public:
  // Prints the window's display list; the printer is the default one, or
  // a PDF file named after the drawing where none is installed.
  explicit TForm_printconf(TFquorgra& window, QWidget* parent = nullptr);
  ~TForm_printconf() override;

  QPrinter& printer() { return *printer_; }

  QPushButton *Button_printer, *Button_ok, *Button_cancel, *Button_help, *Button_preview;
  QLabel *Label_printer, *Label_scalex, *Label_scaley, *Label_xorigin, *Label_yorigin;
  QLineEdit *Edit_scalex, *Edit_scaley, *Edit_xorigin, *Edit_yorigin;
  QGroupBox *RadioGroup_hochquer, *RadioGroup_printmono;
  QButtonGroup *hochquerItems, *printmonoItems;  // ids 0 and 1
  QCheckBox *CheckBox_umrandung, *CheckBox_anpassen;

  void Button_printerClick();
  void Button_okClick();
  void Button_cancelClick();
  void Button_helpClick();
  void Button_previewClick();
  void reject() override;  // Escape and closing the window: as Cancel

 protected:
  void showEvent(QShowEvent* event) override;  // FormActivate

 private:
  void FormCreate();
  void showPrinter();
  // The fields into Settings and the printer's orientation.
  void readFields();

  TFquorgra& window_;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace planox
