#include "app/dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "base/session.h"
#include "base/textconv.h"
#include "display/qtform.h"
#include "display/tfquorgra.h"

namespace planox {

namespace {

// Short texts (captions, list lines, field contents) follow the display
// rule of every field.

// Prompts and messages may be longer than a field holds; they are converted
// piecewise (code page 850 is one byte a character) so that a long message
// is not shown empty.
QString displayLong(const std::string& oem) {
  QString s;
  for (size_t i = 0; i < oem.size(); i += 200) s += QtText(oem.substr(i, 200));
  return s;
}


// File names keep their length; they only change code page.
QString fileName(const std::string& oem) { return QString::fromStdString(Cp850ToUtf8(oem)); }
std::string fileName(const QString& s) { return Utf8ToCp850(s.toStdString()); }

// One filter entry whose description is the pattern itself. Masks match
// case-insensitively, so the upper- and lower-case forms are added for
// dialogs that compare exactly.
QString filterText(const std::string& pattern) {
  QString p = fileName(pattern.empty() ? std::string("*") : pattern);
  QStringList globs{p};
  if (!globs.contains(p.toLower())) globs << p.toLower();
  if (!globs.contains(p.toUpper())) globs << p.toUpper();
  return p + " (" + globs.join(' ') + ")";
}

}  // namespace


// ---- PromptDialog ----

PromptDialog::PromptDialog(QWidget* parent, const char* objectName, const std::string& caption,
                           const std::string& prompt)
    : QDialog(parent) {
  setObjectName(objectName);
  setWindowTitle(QtText(caption));
  setModal(true);
  auto* top = new QVBoxLayout(this);
  prompt_ = new QLabel(displayLong(prompt), this);
  prompt_->setTextFormat(Qt::PlainText);
  prompt_->setObjectName("Label_prompt");
  top->addWidget(prompt_);
  body_ = new QVBoxLayout;
  top->addLayout(body_);

  auto* row = new QHBoxLayout;
  helpText_ = RowButton(this, row, "Button_helptext", "&Aide-Texte");
  helpPicture_ = RowButton(this, row, "Button_helppicture", "Aide-&Image");
  row->addStretch();
  cancel_ = RowButton(this, row, "Button_cancel", "Annuler");
  ok_ = RowButton(this, row, "Button_ok", "OK", true);
  top->addLayout(row);

  connect(helpText_, &QPushButton::clicked, this, [this] { showHelp(false); });
  connect(helpPicture_, &QPushButton::clicked, this, [this] { showHelp(true); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void PromptDialog::reject() {
  Session.AbortFlag = true;
  QDialog::reject();
}

void PromptDialog::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Escape:
      reject();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      enterPressed();
      accept();
      return;
    default:
      QDialog::keyPressEvent(e);
  }
}

void PromptDialog::showHelp(bool picture) {
  if (picture)
    ShowHelpPicture(HelpNumber);
  else
    ShowHelpText(HelpNumber);
  if (helpClearsAbort()) Session.AbortFlag = false;
}

// ---- The four prompt dialogs ----

ChoiceListDialog::ChoiceListDialog(QWidget* parent, const std::string& prompt,
                                   const std::vector<std::string>& choices, int current)
    : PromptDialog(parent, "in_codedialog", "Choisir", prompt) {
  list_ = new QListWidget(this);
  list_->setObjectName("ListBox_choice");
  for (const auto& c : choices) list_->addItem(QtText(c));
  if (current >= 1 && current <= list_->count()) list_->setCurrentRow(current - 1);
  body()->addWidget(list_);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  list_->setFocus();
}

int ChoiceListDialog::chosen() const { return list_->currentRow() + 1; }

void ChoiceListDialog::enterPressed() { Session.AbortFlag = false; }

RadioChoiceDialog::RadioChoiceDialog(QWidget* parent, const std::string& prompt,
                                     const std::vector<std::string>& choices, int current)
    : PromptDialog(parent, "in_radiodialog", "Choisir", prompt) {
  group_ = new QGroupBox(this);
  group_->setObjectName("RadioGroup_choice");
  buttons_ = new QButtonGroup(this);
  auto* v = new QVBoxLayout(group_);
  for (size_t i = 0; i < choices.size(); ++i) {
    // A "&" in a choice is text, not a shortcut mark.
    auto* b = new QRadioButton(QtText(choices[i]).replace('&', "&&"), group_);
    buttons_->addButton(b, static_cast<int>(i) + 1);
    v->addWidget(b);
    if (static_cast<int>(i) + 1 == current) b->setChecked(true);
  }
  group_->setFixedHeight(static_cast<int>(choices.size()) * 25 + 25);
  body()->addWidget(group_);
  if (auto* b = buttons_->checkedButton()) b->setFocus();
}

int RadioChoiceDialog::chosen() const {
  int id = buttons_->checkedId();
  return id > 0 ? id : 1;
}

YesNoDialog::YesNoDialog(QWidget* parent, const std::string& prompt, char current)
    : PromptDialog(parent, "in_janeindialog", "Donn\x82" "e", prompt) {
  auto* group = new QGroupBox("Choisir", this);
  group->setObjectName("RadioGroup_yesno");
  auto* v = new QVBoxLayout(group);
  yes_ = new QRadioButton("&Oui", group);
  no_ = new QRadioButton("&Non", group);
  v->addWidget(yes_);
  v->addWidget(no_);
  (current == 'N' || current == 'n' ? no_ : yes_)->setChecked(true);
  body()->addWidget(group);
  (no_->isChecked() ? no_ : yes_)->setFocus();
}

char YesNoDialog::answer() const { return no_->isChecked() ? 'N' : 'J'; }

TextPromptDialog::TextPromptDialog(QWidget* parent, const std::string& prompt, int maxLength,
                                   const std::string& text)
    : PromptDialog(parent, "in_textdialog", "Donn\x82" "e", prompt) {
  promptLabel()->setFixedWidth(300);
  promptLabel()->setWordWrap(true);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("Edit_text");
  if (maxLength > 0) edit_->setMaxLength(maxLength);
  edit_->setText(QtText(text));
  edit_->selectAll();
  body()->addWidget(edit_);
  setSizeGripEnabled(true);
  edit_->setFocus();
}

std::string TextPromptDialog::text() const { return OemText(edit_->text()); }

// ---- QtUi ----

int QtUi::runModal(QDialog& d) {
  // The hourglass (whoever set it) is not wanted over a dialog that waits
  // for the user: an arrow goes on top of it while the dialog is up.
  const QCursor* c = QApplication::overrideCursor();
  const bool wait = c && c->shape() == Qt::WaitCursor;
  if (wait) QApplication::setOverrideCursor(Qt::ArrowCursor);
  int r = d.exec();
  if (wait) QApplication::restoreOverrideCursor();
  return r;
}

bool QtUi::choiceDialog(const std::string& prompt, const std::vector<std::string>& choices, int& current) {
  if (choices.size() > 7) {
    ChoiceListDialog d(main_, prompt, choices, current);
    PlaceDialog(&d, main_);
    if (runModal(d) != QDialog::Accepted || d.chosen() < 1) return false;
    current = d.chosen();
  } else {
    RadioChoiceDialog d(main_, prompt, choices, current);
    PlaceDialog(&d, main_);
    if (runModal(d) != QDialog::Accepted) return false;
    current = d.chosen();
  }
  return true;
}

bool QtUi::yesNoDialog(const std::string& prompt, char& answer) {
  YesNoDialog d(main_, prompt, answer);
  PlaceDialog(&d, main_);
  if (runModal(d) != QDialog::Accepted) return false;
  answer = d.answer();
  return true;
}

bool QtUi::textDialog(const std::string& prompt, int maxLength, std::string& text) {
  TextPromptDialog d(main_, prompt, maxLength, text);
  PlaceDialog(&d, main_, false);
  if (runModal(d) != QDialog::Accepted) return false;
  text = d.text();
  return true;
}

int QtUi::yesNoCancelBox(const std::string& caption, const std::string& question) {
  QMessageBox box(QMessageBox::Question, QtText(caption), displayLong(question),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, main_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  runModal(box);
  auto* clicked = box.clickedButton();
  if (clicked == box.button(QMessageBox::Yes)) return 1;
  if (clicked == box.button(QMessageBox::No)) return 0;
  return -1;
}

void QtUi::messageBox(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QtText(caption), displayLong(text), QMessageBox::Ok, main_);
  box.setTextFormat(Qt::PlainText);  // file names and user text, never markup
  box.setWindowModality(Qt::ApplicationModal);
  runModal(box);
}

std::string QtUi::openFileDialog(const std::string& filter, const std::string& startDir) {
  QString name = QFileDialog::getOpenFileName(main_, QString(), fileName(startDir), filterText(filter));
  return fileName(name);
}

std::string QtUi::saveFileDialog(const std::string& filter, const std::string& startDir) {
  // The overwrite question is CheckOutputFile's.
  QString name = QFileDialog::getSaveFileName(main_, QString(), fileName(startDir), filterText(filter),
                                              nullptr, QFileDialog::DontConfirmOverwrite);
  return fileName(name);
}

// The override cursor stack itself is the state, so that an hourglass set
// by the graphics window is also taken away by WaitCursorOff.
void QtUi::setWaitCursor(bool on) {
  if (on) {
    const QCursor* c = QApplication::overrideCursor();
    if (!c || c->shape() != Qt::WaitCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  }
}

void QtUi::beep() { QApplication::beep(); }

void QtUi::progressBegin(const std::string& what) {
  if (progressDepth_++ > 0) return;
  progressWhat_ = what;
  progressCancelled_ = false;
  progressClock_.start();
  eventsClock_.start();
  if (auto* window = dynamic_cast<TFquorgra*>(main_)) window->holdRepaints(true);
}

bool QtUi::progressStep(int percent) {
  if (progressDepth_ == 0) return true;
  if (!progress_ && progressClock_.elapsed() >= progressDelay.count()) {
    progress_ = new QProgressDialog(QtText(progressWhat_), QtText("Annuler"), 0, 100, main_);
    progress_->setObjectName("TProgress");
    progress_->setWindowTitle(ProgramTitle);
    progress_->setWindowModality(Qt::ApplicationModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    // Escape reaches the dialog as a key (rejected) or through its cancel
    // shortcut (canceled).
    QObject::connect(progress_, &QProgressDialog::canceled, [this] { progressCancelled_ = true; });
    QObject::connect(progress_, &QDialog::rejected, [this] { progressCancelled_ = true; });
    // The hourglass would hide the arrow the cancel button needs.
    progress_->setCursor(Qt::ArrowCursor);
    progress_->show();
    QApplication::processEvents();
  }
  if (progress_) {
    progress_->setValue(percent);
    // Often enough for a window that follows the mouse, rarely enough to
    // cost the read nothing.
    if (eventsClock_.elapsed() >= 30) {
      QApplication::processEvents();
      eventsClock_.restart();
    }
  }
  return !(progressCancelled_ || (progress_ && progress_->wasCanceled()));
}

void QtUi::progressEnd() {
  if (progressDepth_ == 0 || --progressDepth_ > 0) return;
  delete progress_;
  progress_ = nullptr;
  if (auto* window = dynamic_cast<TFquorgra*>(main_)) window->holdRepaints(false);
}

}  // namespace planox
