// The Qt prompt dialogs: forms, captions, buttons, keys, help buttons and
// placement, driven both directly and through the prompts while modal.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/dialogs.h"
#include "base/session.h"
#include "support/qtsupport.h"
#include "support/testsupport.h"

namespace planox {
namespace {

class Dialogs : public test::Defaults {
 protected:
  void TearDown() override {
    SetHelpHooks(nullptr, nullptr);
    Defaults::TearDown();
  }
};

using test::onModal;

void expectButtons(const PromptDialog& d) {
  EXPECT_EQ(d.helpTextButton()->text(), "&Aide-Texte");
  EXPECT_EQ(d.helpPictureButton()->text(), "Aide-&Image");
  EXPECT_EQ(d.cancelButton()->text(), "Annuler");
  EXPECT_EQ(d.okButton()->text(), "OK");
}

TEST_F(Dialogs, ListDialogKeys) {
  std::vector<std::string> choices{"1", "2", "3", "4", "5", "6", "7", "8"};
  ChoiceListDialog d(nullptr, "Bloc", choices, 3);
  EXPECT_EQ(d.objectName(), "in_codedialog");
  EXPECT_EQ(d.windowTitle(), "Choisir");
  EXPECT_EQ(d.promptLabel()->text(), "Bloc");
  expectButtons(d);
  EXPECT_EQ(d.list()->count(), 8);
  EXPECT_EQ(d.chosen(), 3);

  // Enter in the list accepts and clears the flag.
  d.show();
  Session.AbortFlag = true;
  QTest::keyClick(d.list(), Qt::Key_Down);
  QTest::keyClick(d.list(), Qt::Key_Return);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.chosen(), 4);
  EXPECT_FALSE(Session.AbortFlag);

  // A double click accepts as well.
  ChoiceListDialog d2(nullptr, "Bloc", choices, 1);
  d2.show();
  QListWidgetItem* item = d2.list()->item(6);
  d2.list()->scrollToItem(item);
  QRect r = d2.list()->visualItemRect(item);
  QTest::mouseClick(d2.list()->viewport(), Qt::LeftButton, {}, r.center());
  QTest::mouseDClick(d2.list()->viewport(), Qt::LeftButton, {}, r.center());
  EXPECT_EQ(d2.result(), QDialog::Accepted);
  EXPECT_EQ(d2.chosen(), 7);

  ChoiceListDialog d3(nullptr, "Bloc", choices, 1);
  d3.show();
  QTest::keyClick(&d3, Qt::Key_Escape);
  EXPECT_EQ(d3.result(), QDialog::Rejected);
  EXPECT_TRUE(Session.AbortFlag);
}

TEST_F(Dialogs, RadioYesNoAndTextDialogs) {
  RadioChoiceDialog radio(nullptr, "Couleur", {"rouge", "vert", "R&D"}, 2);
  EXPECT_EQ(radio.objectName(), "in_radiodialog");
  EXPECT_EQ(radio.windowTitle(), "Choisir");
  EXPECT_EQ(radio.group()->height(), 3 * 25 + 25);
  EXPECT_EQ(radio.chosen(), 2);
  EXPECT_EQ(radio.group()->findChildren<QRadioButton*>()[2]->text(), "R&&D");
  expectButtons(radio);
  radio.show();
  QTest::keyClick(&radio, Qt::Key_Return);
  EXPECT_EQ(radio.result(), QDialog::Accepted);

  YesNoDialog yn(nullptr, "Quitter ?", 'n');
  EXPECT_EQ(yn.objectName(), "in_janeindialog");
  EXPECT_EQ(yn.windowTitle(), QString::fromUtf8("Donnée"));
  EXPECT_EQ(yn.yesButton()->text(), "&Oui");
  EXPECT_EQ(yn.noButton()->text(), "&Non");
  EXPECT_EQ(qobject_cast<QGroupBox*>(yn.noButton()->parentWidget())->title(), "Choisir");
  EXPECT_EQ(yn.answer(), 'N');
  expectButtons(yn);
  yn.show();
  yn.yesButton()->setChecked(true);
  QTest::keyClick(&yn, Qt::Key_Enter);
  EXPECT_EQ(yn.result(), QDialog::Accepted);
  EXPECT_EQ(yn.answer(), 'J');
  EXPECT_EQ(YesNoDialog(nullptr, "", 'x').answer(), 'J');

  TextPromptDialog text(nullptr, "Nom de fichier", 8, "PLOT");
  EXPECT_EQ(text.objectName(), "in_textdialog");
  EXPECT_EQ(text.windowTitle(), QString::fromUtf8("Donnée"));
  EXPECT_EQ(text.edit()->maxLength(), 8);
  EXPECT_EQ(text.edit()->text(), "PLOT");
  EXPECT_EQ(text.promptLabel()->width(), 300);
  EXPECT_TRUE(text.promptLabel()->wordWrap());
  EXPECT_TRUE(text.isSizeGripEnabled());
  expectButtons(text);
  text.show();
  text.edit()->setText(QString::fromUtf8("Pré"));
  QTest::keyClick(text.edit(), Qt::Key_Return);
  EXPECT_EQ(text.result(), QDialog::Accepted);
  EXPECT_EQ(text.text(), "Pr\x82");
  Session.AbortFlag = false;
  text.show();
  QTest::mouseClick(text.cancelButton(), Qt::LeftButton);
  EXPECT_EQ(text.result(), QDialog::Rejected);
  EXPECT_TRUE(Session.AbortFlag);
}

TEST_F(Dialogs, SevenChoicesRadioEightList) {
  QtUi qt(nullptr);
  SetUi(&qt);
  ChoiceList = {"a", "b", "c", "d", "e", "f", "g", "h"};
  QString form;
  onModal([&](QWidget* w) {
    form = w->objectName();
    auto r = w->findChildren<QRadioButton*>();
    if (r.size() == 7) r[4]->setChecked(true);
    QTest::keyClick(w, Qt::Key_Return);
  });
  EXPECT_EQ(AskChoice("Choix", 7, 1), 5);
  EXPECT_EQ(form, "in_radiodialog");

  onModal([&](QWidget* w) {
    form = w->objectName();
    QTest::keyClick(w, Qt::Key_Escape);
  });
  EXPECT_EQ(AskChoice("Choix", 8, 2), 2);
  EXPECT_EQ(form, "in_codedialog");
  EXPECT_TRUE(Session.AbortFlag);
}

int helpTextCalls = 0, helpPictureCalls = 0, lastHelp = 0;

TEST_F(Dialogs, HelpButtonsCallTheHookAndLeaveTheDialogUp) {
  helpTextCalls = helpPictureCalls = 0;
  SetHelpHooks([](int n) { ++helpTextCalls, lastHelp = n; },
               [](int n) { ++helpPictureCalls, lastHelp = n; });
  QtUi qt(nullptr);
  SetUi(&qt);
  HelpNumber = 5200;
  bool stillUp = false, abortAfterHelp = true;
  onModal([&](QWidget* w) {
    auto* d = static_cast<PromptDialog*>(w);
    Session.AbortFlag = true;
    QTest::mouseClick(d->helpTextButton(), Qt::LeftButton);
    QTest::mouseClick(d->helpPictureButton(), Qt::LeftButton);
    stillUp = d->isVisible() && QApplication::activeModalWidget() == d;
    abortAfterHelp = Session.AbortFlag;
    d->findChild<QLineEdit*>()->setText("NEU");
    QTest::mouseClick(d->okButton(), Qt::LeftButton);
  });
  EXPECT_EQ(AskText("Nom", 30, "ALT"), "NEU");
  EXPECT_EQ(helpTextCalls, 1);
  EXPECT_EQ(helpPictureCalls, 1);
  EXPECT_EQ(lastHelp, 5200);
  EXPECT_TRUE(stillUp);
  EXPECT_FALSE(abortAfterHelp);

  // The yes/no dialog leaves the flag as the help left it.
  onModal([&](QWidget* w) {
    auto* d = static_cast<PromptDialog*>(w);
    Session.AbortFlag = true;
    QTest::mouseClick(d->helpTextButton(), Qt::LeftButton);
    abortAfterHelp = Session.AbortFlag;
    QTest::keyClick(d, Qt::Key_Return);
  });
  EXPECT_EQ(AskYesNo("Quitter ?", 'N'), 'N');
  EXPECT_TRUE(abortAfterHelp);
  EXPECT_EQ(helpTextCalls, 2);
}

TEST_F(Dialogs, MessageBoxesAndQuestion) {
  QtUi qt(nullptr);
  SetUi(&qt);
  QString title, text;
  Qt::TextFormat format = Qt::AutoText;
  onModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box) {
      ADD_FAILURE() << "no message box";
      QTest::keyClick(w, Qt::Key_Escape);
      return;
    }
    title = box->windowTitle();
    text = box->text();
    format = box->textFormat();
    QTest::keyClick(box, Qt::Key_Return);
  });
  ShowError("Donn\x82" "e fausse");
  EXPECT_EQ(title, "Erreur : ");
  EXPECT_EQ(text, QString::fromUtf8("Donnée fausse"));
  EXPECT_EQ(format, Qt::PlainText);  // names like "<b>.dxf" are not markup

  // A message longer than a field still shows in full.
  onModal([&](QWidget* w) {
    text = static_cast<QMessageBox*>(w)->text();
    QTest::keyClick(w, Qt::Key_Return);
  });
  ShowInfo(std::string(300, 'x'));
  EXPECT_EQ(text.size(), 300);

  QMessageBox::Icon icon = QMessageBox::NoIcon;
  onModal([&](QWidget* w) {
    auto* box = static_cast<QMessageBox*>(w);
    title = box->windowTitle();
    icon = box->icon();
    QTest::keyClick(box, Qt::Key_Escape);
  });
  EXPECT_FALSE(AskYesNoCancel("Remplacer ?"));
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(title, "Planox");
  EXPECT_EQ(icon, QMessageBox::Question);

  Session.AbortFlag = false;
  onModal([&](QWidget* w) {
    auto* box = static_cast<QMessageBox*>(w);
    box->button(QMessageBox::No)->click();
  });
  EXPECT_FALSE(AskYesNoCancel("Remplacer ?"));
  EXPECT_FALSE(Session.AbortFlag);
}

TEST_F(Dialogs, WaitCursorGivesWayToDialogs) {
  QtUi qt(nullptr);
  SetUi(&qt);
  WaitCursorOn();
  WaitCursorOn();
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  Qt::CursorShape during = Qt::WaitCursor;
  onModal([&](QWidget* w) {
    during = QApplication::overrideCursor()->shape();
    QTest::keyClick(w, Qt::Key_Return);
  });
  ShowInfo("fin");
  EXPECT_EQ(during, Qt::ArrowCursor);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  QApplication::setOverrideCursor(Qt::WaitCursor);  // as another window might
  WaitCursorOff();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Dialogs, PlacementScalesAndCentresOverTheMainWindow) {
  QWidget main;
  main.setGeometry(100, 100, 800, 600);
  Settings.InputWindowScale = 150;
  TextPromptDialog probe(nullptr, "p", 10, "");
  probe.adjustSize();
  const QSize natural = probe.size();

  RadioChoiceDialog d(&main, "Couleur", {"a", "b"}, 1);
  d.setFont(main.font());
  d.adjustSize();
  const QSize base = d.size();
  PlaceDialog(&d, &main);
  EXPECT_EQ(d.size(), QSize(base.width() * 150 / 100, base.height() * 150 / 100));
  const QRect mg = main.frameGeometry();
  EXPECT_EQ(d.pos().x(), mg.x() + std::max(0, (mg.width() - d.width()) / 2));
  EXPECT_EQ(d.pos().y(), mg.y() + std::max(0, (mg.height() - d.height()) / 2) + 20);

  // Larger than the main window: the offset is not negative.
  QWidget small;
  small.setGeometry(50, 60, 20, 20);
  RadioChoiceDialog d2(&small, "Couleur", {"a"}, 1);
  PlaceDialog(&d2, &small);
  EXPECT_EQ(d2.pos(), QPoint(small.frameGeometry().x(), small.frameGeometry().y() + 20));

  // The text prompt is only scaled.
  TextPromptDialog t(&main, "p", 10, "");
  const QPoint before = t.pos();
  PlaceDialog(&t, &main, false);
  EXPECT_EQ(t.pos(), before);
  EXPECT_EQ(t.size(), QSize(natural.width() * 150 / 100, natural.height() * 150 / 100));
}

}  // namespace
}  // namespace planox
