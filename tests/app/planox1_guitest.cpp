// The main window: its menu bar in the four languages, the recent-file
// items and the title.
#include <QMenuBar>
#include <QTest>

#include "app/planox1.h"
#include "base/session.h"
#include "support/testsupport.h"

namespace planox {
namespace {

class MainWindow : public test::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    Settings.TempDir = dir.path() + "/";
  }
  void TearDown() override {
    InTempDir::TearDown();
  }
  std::string caption(const Thh& hh, const std::string& name) {
    QAction* a = hh.item(name);
    return a ? a->text().toStdString() : "<missing " + name + ">";
  }
};

TEST_F(MainWindow, MenuBarHasEveryItemWithItsFormCaption) {
  Thh hh({});
  for (const char* name :
       {"mi_file", "mi_fileOpen", "mi_FileOpenLimit", "mi_FileSaveAs", "mi_print", "mi_file1", "mi_file4",
        "mi_fileexit", "mi_View", "mi_ViewInfo", "mi_ViewClear", "mi_ViewRedraw", "mi_ViewRegen",
        "mi_viewblocks", "mi_convert", "mi_convertCurFile", "mi_ConvertnewFile", "mi_options",
        "mi_optionsConverter", "mi_optionsPenTable", "mi_optionsDirectories", "mi_optionsPrinter",
        "mi_optionsGraphics", "mi_optionsColours", "mi_optionsSave", "mi_optionsLoad", "mi_help",
        "Mi_Hilfebild", "mi_helperror", "mi_helplanguage", "mi_helplanguageDeutsch", "mi_helplanguageEnglish",
        "mi_helplanguageFrancais", "mi_helplanguageKorea", "mi_helpwww", "mi_helpemail", "mi_infoPlanox"})
    EXPECT_NE(hh.item(name), nullptr) << name;
  EXPECT_EQ(hh.item("mi_print")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
  EXPECT_EQ(caption(hh, "mi_ViewInfo"), "&Info");
  EXPECT_EQ(hh.windowTitle().toStdString(), "PLANOX");
}

TEST_F(MainWindow, StartsInFrenchAndSwitchesLanguages) {
  Thh hh({});
  hh.FormCreate();
  EXPECT_EQ(caption(hh, "mi_file"), "&Fichier");
  EXPECT_EQ(caption(hh, "mi_ViewRegen"), "&Annuler");
  EXPECT_EQ(caption(hh, "mi_ViewRedraw"), "&Nouveau dessin");
  EXPECT_EQ(caption(hh, "mi_helplanguage"), "&Language Menu");
  // Items that the tables do not cover keep their form captions.
  EXPECT_EQ(caption(hh, "mi_ViewInfo"), "&Info");
  EXPECT_EQ(caption(hh, "mi_optionsConverter"), "Converter");
  EXPECT_EQ(caption(hh, "mi_helplanguageDeutsch"), "&Deutsch");

  hh.item("mi_helplanguageDeutsch")->trigger();
  EXPECT_EQ(caption(hh, "mi_fileOpen"), "Ö&ffnen...");
  EXPECT_EQ(caption(hh, "mi_helplanguage"), "&Sprache Menü");
  hh.item("mi_helplanguageEnglish")->trigger();
  EXPECT_EQ(caption(hh, "mi_ViewClear"), "&Delete");
  EXPECT_EQ(caption(hh, "mi_helpemail"), "&E-Mail to QUORVEL");
  hh.item("mi_helplanguageKorea")->trigger();
  EXPECT_EQ(caption(hh, "mi_file"), "파일(&F)");
  EXPECT_EQ(caption(hh, "mi_helplanguage"), "언어(&L) 메뉴");
  hh.item("mi_helplanguageFrancais")->trigger();
  EXPECT_EQ(caption(hh, "mi_ViewRegen"), "&Annuler");
  EXPECT_EQ(caption(hh, "mi_ViewRedraw"), "&Nouveau dessin");
  EXPECT_EQ(caption(hh, "mi_fileexit"), "&Quitter");
  EXPECT_EQ(hh.windowTitle().toStdString(), "Planox");
}

TEST_F(MainWindow, RecentFileItemsFollowTheList) {
  test::WriteFile(dir.file("planox.cff"), "planox Session /x/\r\n/d/A.DXF\r\n/d/B & C.DXF\r\n\r\n\r\n");
  Thh hh({});
  hh.FormCreate();
  EXPECT_TRUE(hh.item("mi_file1")->isVisible());
  EXPECT_TRUE(hh.item("mi_file2")->isVisible());
  EXPECT_FALSE(hh.item("mi_file3")->isVisible());
  EXPECT_EQ(caption(hh, "mi_file1"), "&1 /d/A.DXF");
  EXPECT_EQ(caption(hh, "mi_file2"), "&2 /d/B && C.DXF");
  hh.item("mi_helplanguageEnglish")->trigger();
  EXPECT_EQ(caption(hh, "mi_file2"), "&2 /d/B && C.DXF");

  // A recent file that no longer exists is removed, with a message.
  hh.item("mi_file1")->trigger();
  EXPECT_EQ(Session.RecentFiles[0], "/d/B & C.DXF");
  ASSERT_FALSE(ui.records.empty());
  EXPECT_EQ(ui.records.back().text, "File /d/A.DXF not found !");
  EXPECT_EQ(ui.records.back().caption, "Message:");

  Session.RecentFiles = {"", "", "", ""};
  hh.UpdateFileMenu();
  for (const char* n : {"mi_file1", "mi_file2", "mi_file3", "mi_file4"}) EXPECT_FALSE(hh.item(n)->isVisible());
}

TEST_F(MainWindow, ClientAreaComesFromTheSettings) {
  Settings.ScreenWidth = 639;
  Settings.ScreenHeight = 479;
  Thh hh({});
  hh.FormCreate();
  hh.show();
  QCoreApplication::processEvents();
  ASSERT_NE(hh.centralWidget(), nullptr);
  EXPECT_EQ(hh.centralWidget()->width(), 640);
  EXPECT_EQ(hh.centralWidget()->height(), 480);
  EXPECT_EQ(hh.pos(), QPoint(0, 0));
}

}  // namespace
}  // namespace planox
