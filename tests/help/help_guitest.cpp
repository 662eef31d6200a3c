// The help in the main window: both Help items, the prompts' two help
// buttons and the dialogs' help buttons with the shipped help, the error
// help dialog, and HP-GL files opened like drawings.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <memory>

#include "app/dialogs.h"
#include "app/planox1.h"
#include "base/session.h"
#include "base/textconv.h"
#include "app/limitsdialog.h"
#include "convert/confpen.h"
#include "convert/plotkonv.h"
#include "display/hpglin.h"
#include "base/vektor.h"
#include "drawing/dxfinvar.h"
#include "help/helperr.h"
#include "help/helpforms.h"
#include "support/qtsupport.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using test::onModal;

class HelpWindow : public test::Defaults {
 protected:
  void SetUp() override {
    Defaults::SetUp();
    ResetDrawingModel();
    ResetHpglState();
    ClearErrorLog();
    oldStart = StartDir();
    SetStartDir(dir.path());
    Settings.TempDir = dir.path() + "/";
    hh = std::make_unique<Thh>(std::vector<std::string>{});
    hh->FormCreate();
    Settings.PltDir = dir.path();  // no help here: the shipped help serves
  }
  void TearDown() override {
    hh.reset();
    ClearErrorLog();
    SetStartDir(oldStart);
    Defaults::TearDown();
  }
  size_t lines() const {
    size_t n = 0;
    const DisplayList& l = hh->quorGraf().list();
    for (size_t i = 0; i < l.size(); ++i) n += l.code(i) == RecLine || l.code(i) == RecArc || l.code(i) == RecCircle;
    return n;
  }
  // The last box's caption and text.
  std::string box(const char* what = "text") const {
    for (auto it = ui.records.rbegin(); it != ui.records.rend(); ++it)
      if (it->kind == "box") return std::string(what) == "caption" ? it->caption : it->text;
    return "";
  }

  test::TempDir dir;
  std::string oldStart;
  std::unique_ptr<Thh> hh;
};

TEST_F(HelpWindow, PromptButtonsShowTheTextAndThePicture) {
  TextPromptDialog d(hh.get(), "Nom", 30, "PLOT");
  HelpNumber = 5220;
  d.helpTextButton()->click();
  EXPECT_EQ(box("caption"), "TEXTE D'AIDE No.5220");
  EXPECT_NE(box().find("Echelle du trac\x82"), std::string::npos) << box();
  EXPECT_EQ(lines(), 0u);
  d.helpPictureButton()->click();
  EXPECT_GT(lines(), 10u);
  EXPECT_EQ(hh->quorGraf().DrawingLimits().xmax, 160);
  EXPECT_EQ(ui.records.size(), 1u);
  EXPECT_FALSE(Session.AbortFlag);
}

TEST_F(HelpWindow, EveryDialogHelpButtonHasItsText) {
  {
    Tw32plotg d(hh.get());
    d.Button_help->click();
    EXPECT_EQ(box("caption"), "TEXTE D'AIDE No.9010");
  }
  {
    Tplotkonvert d(hh.get());
    d.findChild<QPushButton*>("Button_hilfe")->click();
    EXPECT_EQ(box("caption"), "TEXTE D'AIDE No.9100");
  }
  {
    TForm_confPentable d(hh.get());
    d.Button_help->click();
    EXPECT_EQ(box("caption"), "TEXTE D'AIDE No.5100");  // the PostScript target
    d.Button_help2->click();
    EXPECT_EQ(box("caption"), "TEXTE D'AIDE No.5120");
  }
  {
    Thelperr d(hh.get(), "m", "c", "r");
    d.Button_help->click();
    EXPECT_EQ(box("caption"), "TEXTE D'AIDE No.1970");
  }
  for (const auto& r : ui.records) EXPECT_EQ(r.text.find("Aucune Aide"), std::string::npos) << r.caption;
}

TEST_F(HelpWindow, PictureItemBrowsesTheShippedPictures) {
  std::vector<int> counts;
  std::string caption;
  int entries = 0;
  onModal([&](QWidget* w) {
    auto* f = qobject_cast<TForm_hilfebild*>(w);
    ASSERT_NE(f, nullptr);
    caption = f->windowTitle().toStdString();
    entries = f->ListBox1->count();
    counts.push_back(static_cast<int>(lines()));
    f->SpinDown->click();  // the second picture
    onModal([&](QWidget* w2) {
      auto* g = qobject_cast<TForm_hilfebild*>(w2);
      ASSERT_NE(g, nullptr);
      EXPECT_EQ(g->ListBox1->currentIndex(), 1);
      counts.push_back(static_cast<int>(lines()));
      g->Button_ok->click();
    });
  });
  hh->item("Mi_Hilfebild")->trigger();
  EXPECT_EQ(caption, "Planox Aide-Image");
  EXPECT_EQ(entries, 7 + 5);
  ASSERT_EQ(counts.size(), 2u);
  EXPECT_GT(counts[0], 10);
  EXPECT_GT(counts[1], 10);
  EXPECT_NE(counts[0], counts[1]);
  EXPECT_FALSE(Session.AbortFlag);
}

TEST_F(HelpWindow, ErrorItemExplainsAndSavesAnEdit) {
  hh->item("mi_helperror")->trigger();
  EXPECT_EQ(box(), "Aucune erreur dans les calculs");
  // An own copy of the error file to edit.
  test::WriteFile(dir.file("planox.err"), test::ReadFile(test::SourceDir() + "/data/help/planox.err"));
  LogError("GetArcCenter l12=0");
  ui.answerChoice(1);
  ui.answerYesNo('J');  // Save Changes ?
  std::string cause;
  onModal([&](QWidget* w) {
    auto* d = qobject_cast<Thelperr*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Edit_meldung->text().toStdString(), "GetArcCenter l12=0");
    cause = d->Memo_ursache->toPlainText().toStdString();
    d->Memo_abhilfe->setPlainText(QString::fromUtf8("Vérifier le sommet."));
    d->Button_ok->click();
  });
  hh->item("mi_helperror")->trigger();
  EXPECT_NE(cause.find("extr"), std::string::npos) << cause;
  const std::string saved = test::ReadFile(dir.file("planox.err"));
  EXPECT_NE(saved.find("GetArcCenter l12=0\r\n" + FromDisplayText(cause) + "\r\nV\x82rifier le sommet.\r\n"),
            std::string::npos);
}

TEST_F(HelpWindow, PlotFilesOpenFromTheMenuAndTheCommandLine) {
  test::WriteFile(dir.file("square.PLT"), "\x1b.(;IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU;");
  Session.DrawingName = "plan";
  ui.answerText(dir.file("square.PLT"));
  hh->item("mi_fileOpen")->trigger();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(lines(), 4u);
  EXPECT_EQ(hh->windowTitle().toStdString(), "Planox  -  square.PLT");
  EXPECT_EQ(Session.DrawingName, "plan");  // the drawing stays the current one
  EXPECT_EQ(Session.FileExtension, "dxf");
  const WorldWindow& l = hh->quorGraf().DrawingLimits();
  EXPECT_LT(l.xmin, 0);
  EXPECT_GT(l.xmax, 100);
  EXPECT_LT(l.xmax, 102);
  // The first filter offers drawings and plot files together.
  EXPECT_NE(ui.records[0].text.find("*.plt"), std::string::npos);
  // The recent-file list opens it again as a plot file.
  EXPECT_EQ(Session.RecentFiles[0], dir.file("square.PLT"));
  hh->quorGraf().H_Clear();
  hh->item("mi_file1")->trigger();
  EXPECT_EQ(lines(), 4u);
  EXPECT_EQ(Session.DrawingName, "plan");

  hh.reset();
  hh = std::make_unique<Thh>(std::vector<std::string>{dir.file("square.PLT")});
  hh->FormCreate();
  EXPECT_EQ(lines(), 4u);
  EXPECT_EQ(hh->windowTitle().toStdString(), "Planox  -  square.PLT");
}

}  // namespace
}  // namespace planox
