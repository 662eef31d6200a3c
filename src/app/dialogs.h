// The Qt form of the prompts: the four modal prompt dialogs, the message
// boxes, the file dialogs and the wait cursor behind the UserInterface seam.
// Texts arrive and leave in code page 850 and are converted at the widgets.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include <string>
#include <vector>

#include "base/prompts.h"
#include "display/qtform.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace planox {

// What the prompt dialogs share: the prompt label, the buttons "&Aide-Texte",
// "Aide-&Image", "Annuler" and "OK" and their keys. Escape, "Annuler" and
// closing the window set AbortFlag; Enter accepts. The help buttons show the
// help text or picture of HelpNumber while the dialog stays up.
class PromptDialog : public QDialog {
  Q_OBJECT
 public:
  PromptDialog(QWidget* parent, const char* objectName, const std::string& caption,
               const std::string& prompt);
  QLabel* promptLabel() const { return prompt_; }
  QPushButton* helpTextButton() const { return helpText_; }
  QPushButton* helpPictureButton() const { return helpPicture_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* okButton() const { return ok_; }
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  // Where the dialog's own field goes (between the prompt and the buttons).
  QVBoxLayout* body() const { return body_; }
  // The yes/no dialog leaves AbortFlag as the help display left it.
  virtual bool helpClearsAbort() const { return true; }
  virtual void enterPressed() {}

 private:
  void showHelp(bool picture);
  QVBoxLayout* body_;
  QLabel* prompt_;
  QPushButton *helpText_, *helpPicture_, *cancel_, *ok_;
};

// More than seven choices: a list (form in_codedialog); Enter in the list or
// a double click accepts.
class ChoiceListDialog : public PromptDialog {
  Q_OBJECT
 public:
  ChoiceListDialog(QWidget* parent, const std::string& prompt, const std::vector<std::string>& choices,
                   int current);
  QListWidget* list() const { return list_; }
  int chosen() const;  // 1-based

 protected:
  void enterPressed() override;

 private:
  QListWidget* list_;
};

// Up to seven choices: a radio group n * 25 + 25 pixels high (form
// in_radiodialog).
class RadioChoiceDialog : public PromptDialog {
  Q_OBJECT
 public:
  RadioChoiceDialog(QWidget* parent, const std::string& prompt, const std::vector<std::string>& choices,
                    int current);
  QGroupBox* group() const { return group_; }
  int chosen() const;  // 1-based

 private:
  QGroupBox* group_;
  QButtonGroup* buttons_;
};

// Yes or no (form in_janeindialog): a group "Choisir" with "&Oui" and "&Non".
class YesNoDialog : public PromptDialog {
  Q_OBJECT
 public:
  YesNoDialog(QWidget* parent, const std::string& prompt, char current);
  QRadioButton* yesButton() const { return yes_; }
  QRadioButton* noButton() const { return no_; }
  char answer() const;  // 'J' or 'N'

 protected:
  bool helpClearsAbort() const override { return false; }

 private:
  QRadioButton *yes_, *no_;
};

// One line of text (form in_textdialog), sizeable; the prompt is a
// word-wrapped label 300 pixels wide.
class TextPromptDialog : public PromptDialog {
  Q_OBJECT
 public:
  TextPromptDialog(QWidget* parent, const std::string& prompt, int maxLength, const std::string& text);
  QLineEdit* edit() const { return edit_; }
  std::string text() const;  // code page 850

 private:
  QLineEdit* edit_;
};

class QtUi : public UserInterface {
 public:
  explicit QtUi(QWidget* mainWindow) : main_(mainWindow) {}
  bool choiceDialog(const std::string& prompt, const std::vector<std::string>& choices, int& current) override;
  bool yesNoDialog(const std::string& prompt, char& answer) override;
  bool textDialog(const std::string& prompt, int maxLength, std::string& text) override;
  int yesNoCancelBox(const std::string& caption, const std::string& question) override;
  void messageBox(const std::string& caption, const std::string& text) override;
  std::string openFileDialog(const std::string& filter, const std::string& startDir) override;
  std::string saveFileDialog(const std::string& filter, const std::string& startDir) override;
  void setWaitCursor(bool on) override;
  void beep() override;
  // Work that lasts progressDelay gets a modal progress dialog (object name
  // "TProgress"; Escape or "Annuler" cancels) that lets window messages
  // through; the main window keeps its picture and repaints once the work
  // is over.
  void progressBegin(const std::string& what) override;
  bool progressStep(int percent) override;
  void progressEnd() override;
  std::chrono::milliseconds progressDelay = ProgressDelay;

 private:
  int runModal(QDialog& d);
  QWidget* main_;
  int progressDepth_ = 0;
  bool progressCancelled_ = false;
  std::string progressWhat_;
  QElapsedTimer progressClock_, eventsClock_;
  QProgressDialog* progress_ = nullptr;
};

}  // namespace planox
