// The main window's load, save, info, block and convert commands, driven
// through the menu with real dialogs and real files.
#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "app/blocksel.h"
#include "app/infodialog.h"
#include "app/planox1.h"
#include "app/recent.h"
#include "base/session.h"
#include "base/textconv.h"
#include "base/startup.h"
#include "app/limitsdialog.h"
#include "config/configio.h"
#include "display/quorgraf.h"
#include "display/shpin.h"
#include "convert/plotkonv.h"
#include "drawing/dxfinvar.h"
#include "support/qtsupport.h"
#include "support/testsupport.h"

namespace planox {
namespace {

// Types the corners into the limits dialog and presses OK.
void EnterLimits(Tw32plotg* d, const char* xmin, const char* ymin, const char* xmax, const char* ymax) {
  d->Edit1->setText(xmin);
  d->Edit2->setText(ymin);
  d->Edit3->setText(xmax);
  d->Edit4->setText(ymax);
  d->Button_OK->click();
}

using test::onModal;

std::string text(const QLineEdit* e) { return e->text().toStdString(); }

class Commands : public test::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    Settings.TempDir = dir.path() + "/";
    for (const char* s : {"floorplan.dxf", "flange.dxf"})
      test::WriteFile(dir.file(s), test::ReadFile(test::SourceDir() + "/samples/" + s));
    hh = std::make_unique<Thh>(std::vector<std::string>{});
    hh->FormCreate();
  }
  void TearDown() override {
    hh.reset();
    InTempDir::TearDown();
  }
  void open(const std::string& name) {
    ui.answerText(dir.file(name));
    hh->item("mi_fileOpen")->trigger();
    ASSERT_FALSE(Session.AbortFlag) << name;
  }
  size_t listSize() { return hh->quorGraf().list().size(); }
  const WorldWindow& limits() { return hh->quorGraf().DrawingLimits(); }
  std::string lastBox() {
    for (auto it = ui.records.rbegin(); it != ui.records.rend(); ++it)
      if (it->kind == "box") return it->text;
    return "";
  }
  // Sets the converter dialog to a target (PostScript unless told) into a
  // file and presses a button.
  static void convertTo(QWidget* w, const std::string& file, const char* button = "Button_ok", int target = 10) {
    auto* d = qobject_cast<Tplotkonvert*>(w);
    ASSERT_NE(d, nullptr);
    d->targets->button(target - 1)->click();
    d->channels->button(2)->click();
    d->Edit_file->setText(QString::fromStdString(file));
    d->findChild<QPushButton*>(button)->click();
  }

  std::unique_ptr<Thh> hh;
};

TEST_F(Commands, OpenFillsTheDisplayListOfEachSample) {
  for (const char* name : {"floorplan.dxf", "flange.dxf"}) {
    open(name);
    EXPECT_GT(listSize(), 20u) << name;
    EXPECT_GT(ElementCount, 0u) << name;
    EXPECT_EQ(Session.RecentFiles[0], dir.path() + "/" + name);
  }
  EXPECT_EQ(Session.RecentFiles[1], dir.path() + "/floorplan.dxf");
  EXPECT_EQ(hh->windowTitle().toStdString(), "Planox  -  flange.dxf");
}

TEST_F(Commands, LimitsDialogReadsCommaAndGarbage) {
  Tw32plotg d;
  EXPECT_EQ(d.windowTitle(), "Limites du dessin");
  EXPECT_EQ(d.GroupBox1->title(), "Coin gauche en bas");
  EXPECT_EQ(d.GroupBox2->title(), "Coin droit en haut");
  EXPECT_EQ(d.Button_OK->text(), "OK");
  EXPECT_EQ(d.Button_cancel->text(), "Annuler");
  EXPECT_EQ(d.Button_help->text(), "&Aide");
  d.SetFields(WorldWindow{-2, 0.5, 120, 1e6});
  EXPECT_EQ(TextToReal(FromDisplayText(text(d.Edit1))), -2);
  EXPECT_EQ(TextToReal(FromDisplayText(text(d.Edit3))), 120);
  d.Edit1->setText("12,5");
  d.Edit2->setText("abc");
  d.Edit3->setText(" 7.25");
  d.Edit4->setText("");
  Extents e = d.Values();
  EXPECT_EQ(e.XMin, 12.5L);
  EXPECT_EQ(e.YMin, 0);
  EXPECT_EQ(e.XMax, 7.25L);
  EXPECT_EQ(e.YMax, 0);

  // Help leaves the dialog up and is no cancel; Escape is.
  d.show();
  d.Button_help->click();
  EXPECT_TRUE(d.isVisible());
  EXPECT_FALSE(Session.AbortFlag);
  QTest::keyClick(&d, Qt::Key_Escape);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(d.result(), QDialog::Rejected);
}

TEST_F(Commands, OpenLimitShowsTheDrawingInTheTypedWindow) {
  ui.answerText(dir.file("floorplan.dxf"));
  // The fields show the window saved last (here the logo's).
  const WorldWindow old = limits();
  std::string shown[4];
  onModal([&](QWidget* w) {
    auto* d = qobject_cast<Tw32plotg*>(w);
    ASSERT_NE(d, nullptr);
    shown[0] = text(d->Edit1), shown[1] = text(d->Edit2), shown[2] = text(d->Edit3), shown[3] = text(d->Edit4);
    EnterLimits(d, "0", "0", "100", "50");
  });
  hh->item("mi_FileOpenLimit")->trigger();
  EXPECT_EQ(shown[0], RealToText(static_cast<double>(old.xmin)));
  EXPECT_EQ(shown[1], RealToText(static_cast<double>(old.ymin)));
  EXPECT_EQ(shown[2], RealToText(static_cast<double>(old.xmax)));
  EXPECT_EQ(shown[3], RealToText(static_cast<double>(old.ymax)));
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(limits().xmin, 0);
  EXPECT_EQ(limits().ymin, 0);
  EXPECT_EQ(limits().xmax, 100);
  EXPECT_EQ(limits().ymax, 50);
  EXPECT_EQ(hh->quorGraf().window().World().xmax, 100);
  EXPECT_GT(listSize(), 20u);
  EXPECT_EQ(Session.RecentFiles[0], dir.path() + "/floorplan.dxf");
  EXPECT_EQ(Session.PlotFile, "floorplan");

  // Cancel: the drawing is read but neither drawn nor listed.
  const size_t before = listSize();
  ui.answerText(dir.file("flange.dxf"));
  onModal([](QWidget* w) { qobject_cast<Tw32plotg*>(w)->Button_cancel->click(); });
  hh->item("mi_FileOpenLimit")->trigger();
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(listSize(), before);
  EXPECT_EQ(limits().xmax, 100);
  EXPECT_EQ(Session.RecentFiles[0], dir.path() + "/floorplan.dxf");
  EXPECT_EQ(Session.RecentFiles[1], "");

  // A window without height is refused the same way.
  ui.answerText(dir.file("flange.dxf"));
  onModal([](QWidget* w) {
    auto* d = qobject_cast<Tw32plotg*>(w);
    EnterLimits(d, "abc", "5", "10", "5");
  });
  hh->item("mi_FileOpenLimit")->trigger();
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(listSize(), before);
  EXPECT_EQ(limits().ymax, 50);
  EXPECT_TRUE(hh->FormPaint());
}

TEST_F(Commands, InfoBeforeAndAfterAFile) {
  DrawingInfo none = CollectDrawingInfo(limits());
  EXPECT_EQ(none.fileName, dir.path() + "/.dxf");
  EXPECT_EQ(none.fileSize, "0 Bytes");
  EXPECT_EQ(none.fileDate, "??.??.???? - ??:??:??");
  EXPECT_EQ(none.xyMin, " 0 / 0");
  EXPECT_EQ(none.xyMax, " 0 / 0");
  EXPECT_EQ(none.elements, "0");
  EXPECT_EQ(none.texts, "0");
  EXPECT_EQ(none.blocks, "0");

  open("floorplan.dxf");
  std::string fields[8];
  onModal([&](QWidget* w) {
    auto* d = qobject_cast<TForm_hpvinfo*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Info");
    EXPECT_TRUE(d->Edit_filename->isReadOnly());
    QLineEdit* e[8] = {d->Edit_filename, d->Edit_filesize, d->Edit_filedate, d->Edit_xymin,
                       d->Edit_xymax,    d->Edit_elements, d->Edit_texts,    d->Edit_block};
    for (int i = 0; i < 8; ++i) fields[i] = text(e[i]);
    d->Button_ok->click();
  });
  hh->item("mi_ViewInfo")->trigger();
  EXPECT_EQ(fields[0], dir.path() + "/floorplan.dxf");
  EXPECT_EQ(fields[1], "3885 Bytes");
  ASSERT_EQ(fields[2].size(), 21u);
  EXPECT_EQ(fields[2].substr(2, 1) + fields[2].substr(5, 1) + fields[2].substr(10, 3), ".. - ");
  EXPECT_EQ(fields[3], "-2 / -2");
  EXPECT_EQ(fields[4], "14 / 11");
  EXPECT_EQ(fields[5], IntToText(ElementCount));
  EXPECT_NE(fields[5], "0");
  EXPECT_EQ(fields[7], "3");

  // A path with blanks is shown without them; the file is still found.
  std::string spaced = dir.file("two words.dxf");
  test::WriteFile(spaced, test::ReadFile(dir.file("flange.dxf")));
  open("two words.dxf");
  DrawingInfo s = CollectDrawingInfo(limits());
  EXPECT_EQ(s.fileName, dir.path() + "/twowords.dxf");
  EXPECT_EQ(s.fileSize, "2810 Bytes");
}

TEST_F(Commands, SaveAsCopiesByteForByteAndAsksBeforeOverwriting) {
  hh->item("mi_FileSaveAs")->trigger();
  EXPECT_EQ(lastBox(), "Aucun fichier ouvert");

  open("floorplan.dxf");
  ui.answerText(dir.file("copy.txt"));  // the typed extension gives way to the drawing's
  hh->item("mi_FileSaveAs")->trigger();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(test::ReadFile(dir.file("copy.dxf")), test::ReadFile(dir.file("floorplan.dxf")));
  EXPECT_EQ(Session.DrawingName, "floorplan");
  EXPECT_EQ(Session.RecentFiles[0], dir.path() + "/copy.dxf");
  EXPECT_EQ(Session.RecentFiles[1], dir.path() + "/floorplan.dxf");

  // An existing destination: No keeps it as it was.
  test::WriteFile(dir.file("copy.dxf"), "keep");
  ui.answerText(dir.file("copy.dxf"));
  ui.answerYesNoCancel(0);
  hh->item("mi_FileSaveAs")->trigger();
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(test::ReadFile(dir.file("copy.dxf")), "keep");

  // Saving onto the drawing itself leaves it whole.
  const std::string original = test::ReadFile(dir.file("floorplan.dxf"));
  ui.answerText(dir.file("floorplan.dxf"));
  ui.answerYesNoCancel(1);
  hh->item("mi_FileSaveAs")->trigger();
  EXPECT_EQ(test::ReadFile(dir.file("floorplan.dxf")), original);
}

TEST_F(Commands, BlocksAreOfferedAndShownFitted) {
  hh->item("mi_viewblocks")->trigger();
  EXPECT_EQ(lastBox(), "No block found !");

  open("floorplan.dxf");
  ASSERT_EQ(BlockCount, 3);
  ui.answerChoice(3);
  hh->item("mi_viewblocks")->trigger();
  ASSERT_EQ(ui.records.back().kind, "choice");
  EXPECT_EQ(ui.records.back().text, "Select Block");
  EXPECT_EQ(ui.records.back().helpNumber, 5450);
  EXPECT_EQ(ui.records.back().choices, (std::vector<std::string>{"DOOR", "CHAIR", "TABLE"}));
  EXPECT_EQ(SelectedBlock, 3);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_GT(listSize(), 2u);
  const WorldWindow& w = hh->quorGraf().window().World();
  EXPECT_DOUBLE_EQ(double(w.xmin), double(BoundingBox.XMin));
  EXPECT_DOUBLE_EQ(double(w.ymax), double(BoundingBox.YMax));
  EXPECT_LT(w.xmax - w.xmin, 16);  // the block, not the drawing

  // The choice made is offered next time; a cancel changes nothing.
  const size_t shown = listSize();
  ui.answerCancel();
  hh->item("mi_viewblocks")->trigger();
  EXPECT_EQ(ui.records.back().preset, "3");
  EXPECT_EQ(SelectedBlock, 3);
  EXPECT_EQ(listSize(), shown);
}

TEST_F(Commands, BlockOfOneStraightLineIsStillFitted) {
  test::WriteFile(dir.file("line.dxf"),
                  "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nBAR\n70\n0\n10\n0\n20\n0\n"
                  "0\nLINE\n8\n0\n10\n0\n20\n3\n11\n10\n21\n3\n0\nENDBLK\n0\nENDSEC\n"
                  "0\nSECTION\n2\nENTITIES\n0\nINSERT\n8\n0\n2\nBAR\n10\n5\n20\n5\n0\nENDSEC\n0\nEOF\n");
  open("line.dxf");
  ui.answerChoice(1);
  hh->item("mi_viewblocks")->trigger();
  EXPECT_FALSE(Session.AbortFlag);
  const WorldWindow& w = hh->quorGraf().window().World();
  EXPECT_EQ(w.xmin, 0);
  EXPECT_EQ(w.xmax, 10);
  EXPECT_LT(w.ymin, 3);
  EXPECT_GT(w.ymax, 3);
  EXPECT_TRUE(hh->FormPaint());
}

TEST_F(Commands, ConvertCurrentFileWritesTheFileAndSaysOk) {
  open("floorplan.dxf");
  const std::string out = dir.file("OUT");
  onModal([&](QWidget* w) { convertTo(w, out); });
  hh->item("mi_convertCurFile")->trigger();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Settings.SyntaxCode, 10);
  const std::string ps = test::ReadFile(out + ".ps");
  EXPECT_NE(ps.find("%!"), std::string::npos);
  EXPECT_GT(ps.size(), 500u);
  // The result message: the file, then what was written and left out.
  EXPECT_EQ(lastBox().rfind(out + " OK\n", 0), 0u) << lastBox();
  EXPECT_NE(lastBox().find("\x82l\x82ments de dessin \x82" "crits"), std::string::npos) << lastBox();

  // Cancel converts nothing.
  std::remove((out + ".ps").c_str());
  const size_t boxes = ui.records.size();
  onModal([](QWidget* w) { qobject_cast<Tplotkonvert*>(w)->Button_cancel->click(); });
  hh->item("mi_convertCurFile")->trigger();
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_TRUE(test::ReadFile(out + ".ps").empty());
  EXPECT_EQ(ui.records.size(), boxes);

  // The settings button leads into the settings editor; its Cancel ends
  // the command before anything is converted.
  onModal([&](QWidget* w) { convertTo(w, out, "Button_einstellungen"); });
  hh->item("mi_convertCurFile")->trigger();
  EXPECT_EQ(ConverterResult, ConverterRunSettings);
  ASSERT_GT(ui.records.size(), boxes);
  EXPECT_EQ(ui.records[boxes].kind, "choice");
  EXPECT_EQ(ui.records[boxes].text, "Plot-Syntax");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_TRUE(test::ReadFile(out + ".ps").empty());
}

// A conversion refused because it would overwrite the drawing says why and
// never OK.
TEST_F(Commands, ARefusedConversionNeverSaysOk) {
  open("floorplan.dxf");
  const std::string drawing = test::ReadFile(dir.file("floorplan.dxf"));
  onModal([&](QWidget* w) { convertTo(w, dir.file("floorplan"), "Button_ok", 5); });
  hh->item("mi_convertCurFile")->trigger();
  EXPECT_EQ(Settings.SyntaxCode, 5);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_NE(lastBox().find("identiques"), std::string::npos) << lastBox();
  for (const auto& r : ui.records) EXPECT_EQ(r.text.find(" OK"), std::string::npos) << r.text;
  EXPECT_EQ(test::ReadFile(dir.file("floorplan.dxf")), drawing);
}

TEST_F(Commands, ConvertNewFileLeavesTheCurrentDrawing) {
  open("floorplan.dxf");
  const size_t shown = listSize();
  std::string sub = dir.file("other");
  ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
  test::WriteFile(sub + "/flange.dxf", test::ReadFile(dir.file("flange.dxf")));
  ui.answerText(sub + "/flange.dxf");
  std::string offered;
  const std::string out = dir.file("NEW");
  onModal([&](QWidget* w) {
    offered = text(qobject_cast<Tplotkonvert*>(w)->Edit_file);
    convertTo(w, out);
  });
  hh->item("mi_ConvertnewFile")->trigger();
  EXPECT_EQ(offered, "flange");
  EXPECT_FALSE(test::ReadFile(out + ".ps").empty());
  EXPECT_EQ(lastBox().rfind(out + " OK\n", 0), 0u) << lastBox();
  EXPECT_EQ(Session.DrawingName, "floorplan");
  EXPECT_EQ(Session.InPath, dir.path() + "/");
  EXPECT_EQ(Session.PlotFile, "floorplan");
  EXPECT_EQ(listSize(), shown);

  // Regen still finds the current drawing.
  hh->item("mi_ViewRegen")->trigger();
  EXPECT_FALSE(Session.AbortFlag);
}

TEST_F(Commands, BlocksAfterConvertingAnotherFileAreTheShownDrawings) {
  test::WriteFile(dir.file("bolt.dxf"),
                  "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nBOLT\n70\n0\n10\n0\n20\n0\n"
                  "0\nCIRCLE\n8\n0\n10\n0\n20\n0\n40\n1\n0\nENDBLK\n0\nENDSEC\n"
                  "0\nSECTION\n2\nENTITIES\n0\nINSERT\n8\n0\n2\nBOLT\n10\n5\n20\n5\n0\nENDSEC\n0\nEOF\n");
  open("floorplan.dxf");
  ui.answerText(dir.file("bolt.dxf"));
  onModal([&](QWidget* w) { convertTo(w, dir.file("BOLTOUT")); });
  hh->item("mi_ConvertnewFile")->trigger();
  ASSERT_FALSE(test::ReadFile(dir.file("BOLTOUT.ps")).empty());
  ui.answerChoice(1);
  hh->item("mi_viewblocks")->trigger();
  ASSERT_EQ(ui.records.back().kind, "choice");
  EXPECT_EQ(ui.records.back().choices, (std::vector<std::string>{"DOOR", "CHAIR", "TABLE"}));
  EXPECT_FALSE(Session.AbortFlag);
  // The door is drawn, fitted to its own extent.
  EXPECT_GT(listSize(), 2u);
  EXPECT_LT(hh->quorGraf().window().World().xmax - hh->quorGraf().window().World().xmin, 16);
}

TEST_F(Commands, TheAboutBoxShowsTheLogo) {
  open("floorplan.dxf");
  std::string caption;
  onModal([&](QWidget* w) {
    caption = w->windowTitle().toStdString();
    qobject_cast<QDialog*>(w)->accept();
  });
  hh->item("mi_infoPlanox")->trigger();
  EXPECT_EQ(caption, "PLANOX");
  // Only the logo is left: 57 filled quadrilaterals.
  int solids = 0, lines = 0;
  for (size_t i = 0; i < listSize(); ++i) {
    solids += hh->quorGraf().list().code(i) == RecSolid;
    lines += hh->quorGraf().list().code(i) == RecLine;
  }
  EXPECT_EQ(solids, 57);
  EXPECT_EQ(lines, 0);
}

TEST_F(Commands, RecentFilesKeepTheRealNameOfTheFile) {
  open("floorplan.dxf");
  const std::string real = dir.file("floorplan.dxf");
  ASSERT_EQ(Session.RecentFiles[0], real);
  for (int i = 0; i < 2; ++i) {
    hh->item("mi_file1")->trigger();
    EXPECT_FALSE(Session.AbortFlag);
    EXPECT_EQ(Session.RecentFiles[0], real);
    EXPECT_EQ(lastBox(), "");
  }
  // An entry that differs only in case finds the file and takes its name.
  Session.RecentFiles[0] = dir.file("FLOORPLAN.DXF");
  hh->item("mi_file1")->trigger();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Session.RecentFiles[0], real);
  EXPECT_EQ(lastBox(), "");
}

TEST_F(Commands, OptionsSaveAndLoadRoundTripThroughTheChosenDirectory) {
  std::string sub = dir.file("cfg");
  ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
  Settings.PlotScale = 2.5;
  Settings.PenNumbers[3] = 9;
  ui.answerText(sub + "/mine.cfg");
  hh->item("mi_optionsSave")->trigger();
  ASSERT_FALSE(Session.AbortFlag);
  Settings.PlotScale = 1;
  Settings.PenNumbers[3] = 3;
  ui.answerText(sub + "/mine.cfg");
  hh->item("mi_optionsLoad")->trigger();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Settings.PlotScale, 2.5L);
  EXPECT_EQ(Settings.PenNumbers[3], 9);
}

TEST_F(Commands, ManyBlocksOfferOnlyTheFirst135) {
  std::string dxf = "0\nSECTION\n2\nBLOCKS\n";
  for (int i = 1; i <= 200; ++i)
    dxf += "0\nBLOCK\n8\n0\n2\nB" + IntToTextZero(i, 3) + "\n70\n0\n10\n0\n20\n0\n0\nCIRCLE\n8\n0\n10\n0\n20\n0\n40\n" +
           IntToText(i) + "\n0\nENDBLK\n";
  dxf += "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n50\n21\n50\n0\nENDSEC\n0\nEOF\n";
  test::WriteFile(dir.file("many.dxf"), dxf);
  open("many.dxf");
  ASSERT_EQ(BlockCount, 200);
  ui.answerChoice(135);
  hh->item("mi_viewblocks")->trigger();
  ASSERT_EQ(ui.records.back().choices.size(), 135u);
  EXPECT_EQ(ui.records.back().choices.back(), "B135");
  EXPECT_FALSE(Session.AbortFlag);
  // Block 135 is a circle of radius 135, fitted to its own extent.
  EXPECT_DOUBLE_EQ(double(hh->quorGraf().window().World().xmax), 135.0);
}

TEST_F(Commands, RecentFilesAfterFiveOpens) {
  for (const char* n : {"A", "B", "C", "D", "E"}) {
    test::WriteFile(dir.file(std::string(n) + ".DXF"), test::ReadFile(dir.file("flange.dxf")));
    open(std::string(n) + ".DXF");
  }
  const char* expected[4] = {"E", "D", "C", "B"};
  for (int i = 0; i < 4; ++i) {
    const std::string item = "mi_file" + std::to_string(i + 1);
    EXPECT_TRUE(hh->item(item)->isVisible());
    EXPECT_EQ(hh->item(item)->text().toStdString(),
              "&" + std::to_string(i + 1) + " " + ShortenPath(dir.path() + "/" + expected[i] + ".DXF"));
  }
}

TEST_F(Commands, LimitsDialogEnterIsOk) {
  Tw32plotg d;
  d.show();
  QTest::keyClick(d.Edit2, Qt::Key_Return);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_FALSE(Session.AbortFlag);
}

class Startup : public test::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    ClearShapeFont();
  }
  void TearDown() override {
    ClearShapeFont();
    InTempDir::TearDown();
  }
};

TEST_F(Startup, ReadsTheConfigurationAndTheShapeFont) {
  Settings.TempDir = dir.path() + "/";
  Settings.PlotScale = 3;
  Settings.LoadShapeFont = 'J';
  Session.PlotFile = "KEPT";
  SaveConfiguration(ProgramName);
  // The font is found in the start directory first.
  test::WriteFile(dir.file("TXT.SHP"), test::ReadFile(test::DataDir() + "/TXT.SHP"));
  ASSERT_FALSE(Session.AbortFlag);
  ResetSettings();
  ResetSession();
  Thh hh({});
  hh.FormCreate();
  EXPECT_EQ(Settings.PlotScale, 3.0L);
  EXPECT_EQ(Session.PlotFile, "KEPT");
  EXPECT_TRUE(ShapeFont.loaded);
  EXPECT_FALSE(Session.AbortFlag);
}

TEST_F(Startup, AFaultyShapeFontEndsTheProgram) {
  Settings.LoadShapeFont = 'J';
  SaveConfiguration(ProgramName);
  test::WriteFile(dir.file("TXT.SHP"), "*65,99,A\n" + std::string(200, '1') + "\n");
  ResetSettings();
  Thh hh({});
  try {
    hh.FormCreate();
    ADD_FAILURE() << "start-up went on without the font";
  } catch (const ProgramExit& e) {
    EXPECT_EQ(e.code, 0);
  }
  EXPECT_FALSE(ShapeFont.loaded);
}

}  // namespace
}  // namespace planox
