#include "help/helpforms.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "display/qtform.h"
#include "help/helperr.h"
#include "help/helptext.h"

namespace planox {

namespace {

QWidget* mainWindow = nullptr;
QPoint lastPicturePosition;
bool pictureWindowPlaced = false;


// The help of a dialog's own button; it does not count as a cancel.
void dialogHelp(int number) {
  const bool abort = Session.AbortFlag;
  ShowHelpText(number);
  Session.AbortFlag = abort;
}

}  // namespace

// ---- TForm_hilfebild ----

TForm_hilfebild::TForm_hilfebild(QWidget* parent, const std::vector<std::string>& entries, int pictures,
                                 int selected)
    : QDialog(parent, Qt::Tool) {
  setObjectName("Form_hilfebild");
  setWindowTitle(QtText(std::string(ProgramTitle) + " " + "Aide-Image"));
  auto* top = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  ListBox1 = new QComboBox(this);
  ListBox1->setObjectName("ListBox1");
  for (const std::string& e : entries) ListBox1->addItem(QtText(e));
  ListBox1->setCurrentIndex(selected >= 1 && selected <= static_cast<int>(entries.size()) ? selected - 1 : -1);
  ListBox1->setMinimumContentsLength(40);
  row->addWidget(ListBox1, 1);
  auto* spin = new QWidget(this);
  spin->setObjectName("SpinButton1");
  auto* spinLayout = new QVBoxLayout(spin);
  spinLayout->setContentsMargins(0, 0, 0, 0);
  spinLayout->setSpacing(0);
  SpinUp = new QToolButton(spin);
  SpinUp->setObjectName("SpinButton1_up");
  SpinUp->setArrowType(Qt::UpArrow);
  SpinDown = new QToolButton(spin);
  SpinDown->setObjectName("SpinButton1_down");
  SpinDown->setArrowType(Qt::DownArrow);
  spinLayout->addWidget(SpinUp);
  spinLayout->addWidget(SpinDown);
  row->addWidget(spin);
  top->addLayout(row);

  auto* buttons = new QHBoxLayout;
  auto button = [&](QPushButton*& b, const char* name, const std::string& caption) {
    b = new QPushButton(QtText(caption), this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    buttons->addWidget(b);
  };
  button(Button_ok, "Button_ok", "OK");
  button(Button_help, "Button_help", "&Aide");
  button(Button_neu, "Button_neu", "&Nouveau");
  button(Button_aendern, "Button_aendern", "&Changer");
  button(Button_einfuegen, "Button_einfuegen", "&Ins\x82rer");
  button(Button_loeschen, "Button_loeschen", "&Supprimer");
  Button_ok->setDefault(true);
  top->addLayout(buttons);

  const int n = pictures;
  auto current = [this] { return ListBox1->currentIndex() + 1; };
  connect(ListBox1, &QComboBox::activated, this, [this](int index) { finish(index + 1, 0); });
  connect(SpinUp, &QToolButton::clicked, this, [this, current] {
    if (current() > 1) finish(current() - 1, 0);
  });
  connect(SpinDown, &QToolButton::clicked, this, [this, current, n] {
    if (current() < n) finish(current() + 1, 0);
  });
  connect(Button_ok, &QPushButton::clicked, this, &TForm_hilfebild::reject);
  connect(Button_help, &QPushButton::clicked, this, [] { dialogHelp(HelpNumber); });
  connect(Button_neu, &QPushButton::clicked, this, [this, current] { finish(current(), 1); });
  connect(Button_einfuegen, &QPushButton::clicked, this, [this, current] { finish(current(), 2); });
  connect(Button_loeschen, &QPushButton::clicked, this, [this, current] { finish(current(), 3); });
  connect(Button_aendern, &QPushButton::clicked, this, [this, current] { finish(current(), 9); });
  answer_.ok = true;
  answer_.selected = selected;
}

TForm_hilfebild::~TForm_hilfebild() {
  lastPicturePosition = pos();
  pictureWindowPlaced = true;
}

void TForm_hilfebild::finish(int selected, int action) {
  answer_ = {false, selected, action};
  accept();
}

void TForm_hilfebild::reject() {
  answer_.ok = true;
  QDialog::reject();
}

// ---- Thelperr ----

Thelperr::Thelperr(QWidget* parent, const std::string& message, const std::string& cause,
                   const std::string& remedy)
    : QDialog(parent), message_(message) {
  setObjectName("helperr");
  setWindowTitle(QtText("Message d'erreur"));
  auto* grid = new QGridLayout(this);
  Label_meldung = new QLabel(QtText("Message d'erreur"), this);
  Label_meldung->setObjectName("Label_meldung");
  Edit_meldung = new QLineEdit(QtText(message), this);
  Edit_meldung->setObjectName("Edit_meldung");
  Edit_meldung->setReadOnly(true);
  Label_ursache = new QLabel(QtText("Motif"), this);
  Label_ursache->setObjectName("Label_ursache");
  Memo_ursache = new QPlainTextEdit(QtText(cause), this);
  Memo_ursache->setObjectName("Memo_ursache");
  Label_abhilfe = new QLabel(QtText("Secours"), this);
  Label_abhilfe->setObjectName("Label_abhilfe");
  Memo_abhilfe = new QPlainTextEdit(QtText(remedy), this);
  Memo_abhilfe->setObjectName("Memo_abhilfe");
  for (QPlainTextEdit* m : {Memo_ursache, Memo_abhilfe}) {
    m->setMinimumWidth(420);
    m->setFixedHeight(70);
  }
  Button_ok = new QPushButton("OK", this);
  Button_ok->setObjectName("Button_ok");
  Button_ok->setDefault(true);
  Button_help = new QPushButton(QtText("&Aide"), this);
  Button_help->setObjectName("Button_help");
  Button_help->setAutoDefault(false);
  grid->addWidget(Label_meldung, 0, 0);
  grid->addWidget(Edit_meldung, 0, 1);
  grid->addWidget(Label_ursache, 1, 0);
  grid->addWidget(Memo_ursache, 1, 1);
  grid->addWidget(Label_abhilfe, 2, 0);
  grid->addWidget(Memo_abhilfe, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button_ok);
  buttons->addStretch();
  buttons->addWidget(Button_help);
  grid->addLayout(buttons, 3, 0, 1, 2);
  connect(Memo_ursache, &QPlainTextEdit::textChanged, this, [this] { changed_ = true; });
  connect(Memo_abhilfe, &QPlainTextEdit::textChanged, this, [this] { changed_ = true; });
  connect(Button_ok, &QPushButton::clicked, this, &Thelperr::Button_okClick);
  connect(Button_help, &QPushButton::clicked, this, [] { dialogHelp(1970); });
}

void Thelperr::Button_okClick() {
  if (changed_ && AskYesNo("Save Changes ?", 'J') == 'J' && !Session.AbortFlag)
    SaveErrorHelp(message_, OemText(Memo_ursache->toPlainText()),
                  OemText(Memo_abhilfe->toPlainText()));
  accept();
}

// ---- Wiring ----

void InstallHelpWindows(QWidget* main) {
  mainWindow = main;
  if (!main) {
    SetPictureWindow(nullptr);
    SetErrorHelpDialog(nullptr);
    return;
  }
  SetPictureWindow([](const std::vector<std::string>& entries, int pictures, int selected) {
    TForm_hilfebild d(mainWindow, entries, pictures, selected);
    PlaceDialog(&d, mainWindow, !pictureWindowPlaced);
    if (pictureWindowPlaced) d.move(lastPicturePosition);
    d.exec();
    return d.answer();
  });
  SetErrorHelpDialog([](const std::string& message, const std::string& cause, const std::string& remedy) {
    Thelperr d(mainWindow, message, cause, remedy);
    PlaceDialog(&d, mainWindow);
    d.exec();
  });
}

}  // namespace planox
