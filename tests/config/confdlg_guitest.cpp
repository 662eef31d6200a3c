// The four settings dialogs driven through their widgets: fields filled
// from Settings, OK storing by the parsing rules, Cancel keeping everything,
// the directory chooser, the font and colour dialogs, and the values
// surviving Options Save and Load.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <sys/stat.h>

#include "base/session.h"
#include "base/startup.h"
#include "config/confdlg.h"
#include "config/configio.h"
#include "support/qtsupport.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using test::onModal;

std::string Text(const QLineEdit* e) { return e->text().toStdString(); }

class SettingsDialogs : public test::InTempDir {
 protected:
  // Shows the dialog modally, lets f fill it, and presses the button.
  template <class Dialog>
  void run(const std::function<void(Dialog&)>& f, const char* button = "Button_ok") {
    Dialog d;
    onModal([&](QWidget*) {
      f(d);
      d.template findChild<QPushButton*>(button)->click();
    });
    d.exec();
  }
};

TEST_F(SettingsDialogs, DirectoriesCompleteTheirSeparatorAndCutTheExtension) {
  Session.FileExtension = "dxf";
  Session.InPath = "/drawings/";
  Settings.TempDir = "/tmp/";
  Settings.LoadShapeFont = 'N';
  run<TConfDir>([](TConfDir& d) {
    EXPECT_EQ(d.windowTitle(), "Config Directory");
    EXPECT_EQ(Text(d.Edit_ext), "dxf");
    EXPECT_EQ(Text(d.Edit_grafik), "/drawings/");
    EXPECT_EQ(Text(d.Edit_temp), "/tmp/");
    EXPECT_FALSE(d.CheckBox_shp->isChecked());
    d.Edit_ext->setText("dwgx");
    d.Edit_grafik->setText("/home/me/DWG");
    d.EDit_plt->setText("/opt/help");
    d.Edit_exe->setText("");
    d.CheckBox_shp->setChecked(true);
  });
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Session.FileExtension, "dwg");  // at most 3 characters
  EXPECT_EQ(Session.InPath, "/home/me/DWG/");
  EXPECT_EQ(Settings.PltDir, "/opt/help/");
  EXPECT_EQ(Settings.TempDir, "/tmp/");
  EXPECT_EQ(Settings.HomeDir, "");
  EXPECT_EQ(Settings.LoadShapeFont, 'J');

  // Cancel keeps everything.
  run<TConfDir>(
      [](TConfDir& d) {
        d.Edit_grafik->setText("/elsewhere");
        d.CheckBox_shp->setChecked(false);
      },
      "Button_cancel");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Session.InPath, "/home/me/DWG/");
  EXPECT_EQ(Settings.LoadShapeFont, 'J');
}

TEST_F(SettingsDialogs, DirectoryChooserStartsAtTheFieldAndKeepsItOnCancel) {
  mkdir(dir.file("plans").c_str(), 0755);
  mkdir(dir.file("plans/old").c_str(), 0755);
  Session.InPath = dir.file("plans") + "/";
  run<TConfDir>([&](TConfDir& d) {
    // Cancel: the field is unchanged and AbortFlag stays clear.
    QString start;
    onModal([&](QWidget* w) {
      auto* chooser = qobject_cast<QFileDialog*>(w);
      ASSERT_NE(chooser, nullptr);
      start = chooser->directory().absolutePath();
      chooser->reject();
    });
    d.Button_grafdir->click();
    EXPECT_EQ(start.toStdString(), dir.file("plans"));
    EXPECT_EQ(Text(d.Edit_grafik), dir.file("plans") + "/");
    EXPECT_FALSE(Session.AbortFlag);

    // A choice comes back with a separator.
    onModal([&](QWidget* w) {
      auto* chooser = qobject_cast<QFileDialog*>(w);
      chooser->selectFile(QString::fromStdString(dir.file("plans/old")));
      static_cast<QDialog*>(chooser)->accept();
    });
    d.Button_grafdir->click();
    EXPECT_EQ(Text(d.Edit_grafik), dir.file("plans/old") + "/");

    // A field naming no directory starts the chooser elsewhere.
    d.Edit_temp->setText("/no/such/folder");
    onModal([&](QWidget* w) {
      auto* chooser = qobject_cast<QFileDialog*>(w);
      start = chooser->directory().absolutePath();
      chooser->reject();
    });
    d.Button_tempdir->click();
    EXPECT_EQ(start, QDir::currentPath());
    EXPECT_EQ(Text(d.Edit_temp), "/no/such/folder");
  });
  EXPECT_EQ(Session.InPath, dir.file("plans/old") + "/");
}

TEST_F(SettingsDialogs, GraphicsFieldsSizeFontAndBackground) {
  Settings.ScreenWidth = 1023;
  Settings.ScreenHeight = 767;
  Settings.ScreenTextRatio = 0.8;
  Settings.BackgroundColour = 1;
  run<Tconfgraf>([](Tconfgraf& d) {
    EXPECT_EQ(d.windowTitle(), "Configuration Graphique");
    EXPECT_EQ(Text(d.Edit_x), "1024");
    EXPECT_EQ(Text(d.Edit_y), "768");
    EXPECT_EQ(d.Panel_colour->text(), "1024 x 768");
    EXPECT_EQ(Text(d.Edit_textbreitenfaktor), "0.8");
    EXPECT_EQ(Text(d.Edit_font), "Arial");
    EXPECT_EQ(d.colourItems->checkedId(), 0);
    d.colourItems->button(1)->click();
    d.Edit_x->setText("800");
    d.Edit_y->setText("600");
    d.Edit_textbreitenfaktor->setText("1,5");
    d.Edit_texthoehenfaktor->setText("abc");
    d.Edit_zoomfaktor->setText("1.1");
    d.Edit_panfaktor->setText("0.05");
    d.CheckBox_border->setChecked(true);
    // The font dialog's choice goes into the font field.
    onModal([](QWidget* w) {
      auto* fonts = qobject_cast<QFontDialog*>(w);
      ASSERT_NE(fonts, nullptr);
      fonts->setCurrentFont(QFont("Liberation Serif"));
      fonts->accept();
    });
    d.Button_font->click();
    EXPECT_EQ(Text(d.Edit_font), QFont("Liberation Serif").family().toStdString());
  });
  EXPECT_FALSE(Settings.ColourGraphics);
  // The window of 800 x 600 has a client area of 800 x 600 at the next start.
  EXPECT_EQ(Settings.ScreenWidth, 799);
  EXPECT_EQ(Settings.ScreenHeight, 599);
  EXPECT_DOUBLE_EQ(double(Settings.ScreenTextRatio), 1.5);
  EXPECT_EQ(Settings.TextHeightFactor, 0);
  EXPECT_DOUBLE_EQ(double(Settings.Zoom), 1.1);
  EXPECT_DOUBLE_EQ(double(Settings.Panorama), 0.05);
  EXPECT_TRUE(Settings.ScreendumpBorder);
  EXPECT_EQ(Settings.ScreenTextStyle, QFont("Liberation Serif").family().toStdString());

  // "Max." takes the screen's size less the window frame; the background
  // colour is kept at once, even when the dialog is then cancelled.
  run<Tconfgraf>(
      [](Tconfgraf& d) {
        d.Button_maxClick();
        const QSize screen = d.screen()->size();
        EXPECT_EQ(Text(d.Edit_x), std::to_string(screen.width() + d.geometry().width() - d.frameGeometry().width()));
        EXPECT_EQ(Text(d.Edit_y), std::to_string(screen.height() + d.geometry().height() - d.frameGeometry().height()));
        onModal([](QWidget* w) {
          auto* colours = qobject_cast<QColorDialog*>(w);
          ASSERT_NE(colours, nullptr);
          EXPECT_EQ(colours->currentColor(), QColor(1, 0, 0));
          colours->setCurrentColor(QColor(0x12, 0x34, 0x56));
          colours->accept();
        });
        d.Button_colourClick();
        EXPECT_EQ(d.Panel_colour->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
        d.Edit_zoomfaktor->setText("9");
      },
      "Button_cancel");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Settings.BackgroundColour, 0x563412);
  EXPECT_EQ(Settings.ScreenWidth, 799);
  EXPECT_DOUBLE_EQ(double(Settings.Zoom), 1.1);
}

TEST_F(SettingsDialogs, ColoursStoreIntegersAndNotANumberAsZero) {
  Settings.LayerColours[15] = 99;
  run<TConfColor>([](TConfColor& d) {
    EXPECT_EQ(d.windowTitle(), "Couleur");
    EXPECT_EQ(Text(d.Edit[0]), "1");
    EXPECT_EQ(Text(d.Edit[15]), "99");
    EXPECT_EQ(d.Edit[15]->objectName(), "Edit16");
    auto* label = qobject_cast<QLabel*>(d.findChildren<QLabel*>().at(12));
    EXPECT_EQ(label->text(), "Couleur 13 (brun)");
    d.Edit[2]->setText("abc");
    d.Edit[3]->setText("42");
  });
  EXPECT_EQ(Settings.LayerColours[2], 0);
  EXPECT_EQ(Settings.LayerColours[3], 42);
  EXPECT_EQ(Settings.LayerColours[15], 99);
  run<TConfColor>([](TConfColor& d) { d.Edit[3]->setText("7"); }, "Button_cancel");
  EXPECT_EQ(Settings.LayerColours[3], 42);
}

TEST_F(SettingsDialogs, PrintScaleEqualScalesOriginsAndMode) {
  run<Tconfprin>([](Tconfprin& d) {
    EXPECT_EQ(d.windowTitle(), "Configuration Impression");
    EXPECT_EQ(Text(d.Edit_scale), "1");
    EXPECT_EQ(d.modeItems->checkedId(), 0);
    d.Edit_scale->setText("2,5");
    d.Edit_scaley->setText("1");
    d.Button_same->click();  // "<"
    EXPECT_EQ(Text(d.Edit_scaley), "2,5");
    d.Edit_xorigin->setText("-12");
    d.Edit_yorigin->setText("x");
    d.CheckBox_border->setChecked(true);
    d.modeItems->button(1)->click();
  });
  EXPECT_EQ(Settings.ScreendumpScale, 2.5);
  EXPECT_EQ(Settings.PrintScaleVertical, 2.5);
  EXPECT_EQ(Settings.ScreendumpOriginX, -12);
  EXPECT_EQ(Settings.ScreendumpOriginY, 0);
  EXPECT_TRUE(Settings.ScreendumpBorder);
  EXPECT_EQ(Settings.WindowsPrintMode, 2);
  run<Tconfprin>([](Tconfprin& d) { d.Edit_scale->setText("3"); }, "Button_cancel");
  EXPECT_EQ(Settings.ScreendumpScale, 2.5);
}

TEST_F(SettingsDialogs, HelpButtonsShowTheirNumbers) {
  static std::vector<int> shown;
  shown.clear();
  SetHelpHooks([](int n) { shown.push_back(n); }, nullptr);
  run<TConfDir>([](TConfDir& d) { d.Button_help->click(); }, "Button_cancel");
  run<Tconfgraf>([](Tconfgraf& d) { d.Button_help->click(); }, "Button_cancel");
  run<TConfColor>([](TConfColor& d) { d.Button_help->click(); }, "Button_cancel");
  run<Tconfprin>([](Tconfprin& d) { d.Button_help->click(); }, "Button_cancel");
  SetHelpHooks(nullptr, nullptr);
  EXPECT_EQ(shown, (std::vector<int>{9000, 1940, 1555, 1935}));
}

TEST_F(SettingsDialogs, ValuesSurviveOptionsSaveAndLoad) {
  run<Tconfprin>([](Tconfprin& d) {
    d.Edit_scale->setText("0.75");
    d.Edit_scaley->setText("1.25");
    d.Edit_xorigin->setText("15");
    d.modeItems->button(1)->click();
  });
  run<TConfColor>([](TConfColor& d) { d.Edit[4]->setText("13"); });
  run<Tconfgraf>([](Tconfgraf& d) {
    d.Edit_x->setText("640");
    d.Edit_texthoehenfaktor->setText("1.3");
  });
  SaveConfiguration("dialogs");
  ASSERT_FALSE(Session.AbortFlag);
  ResetSettings();
  LoadConfiguration("dialogs");
  ASSERT_FALSE(Session.AbortFlag);
  run<Tconfprin>([](Tconfprin& d) {
    EXPECT_EQ(Text(d.Edit_scale), "0.75");
    EXPECT_EQ(Text(d.Edit_scaley), "1.25");
    EXPECT_EQ(Text(d.Edit_xorigin), "15");
    EXPECT_EQ(d.modeItems->checkedId(), 1);
  });
  run<TConfColor>([](TConfColor& d) { EXPECT_EQ(Text(d.Edit[4]), "13"); });
  run<Tconfgraf>([](Tconfgraf& d) {
    EXPECT_EQ(Text(d.Edit_x), "640");
    EXPECT_EQ(Text(d.Edit_texthoehenfaktor), "1.3");
  });
}

}  // namespace
}  // namespace planox
