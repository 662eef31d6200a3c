// The Qt windows of the help: the help-picture window TForm_hilfebild and
// the error help dialog Thelperr.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "help/hbild.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace planox {

class TForm_hilfebild : public QDialog {
  Q_OBJECT
 public:
  // entries: the pictures, then the action entries; the spin button moves
  // among the first `pictures` of them.
  TForm_hilfebild(QWidget* parent, const std::vector<std::string>& entries, int pictures, int selected);
  ~TForm_hilfebild() override;  // remembers the position
  PictureWindowAnswer answer() const { return answer_; }
  void reject() override;       // Escape and closing the window are OK

  QComboBox* ListBox1;
  QToolButton *SpinUp, *SpinDown;  // SpinButton1
  QPushButton *Button_ok, *Button_help, *Button_neu, *Button_aendern, *Button_einfuegen, *Button_loeschen;

 private:
  void finish(int selected, int action);
  PictureWindowAnswer answer_;
};

class Thelperr : public QDialog {
  Q_OBJECT
 public:
  Thelperr(QWidget* parent, const std::string& message, const std::string& cause, const std::string& remedy);
  bool changed() const { return changed_; }

  QLabel *Label_meldung, *Label_ursache, *Label_abhilfe;
  QLineEdit* Edit_meldung;
  QPlainTextEdit *Memo_ursache, *Memo_abhilfe;
  QPushButton *Button_ok, *Button_help;

 private:
  void Button_okClick();
  std::string message_;
  bool changed_ = false;
};

// Connects the browser and the error help to these windows, shown over the
// main window.
void InstallHelpWindows(QWidget* mainWindow);

}  // namespace planox
