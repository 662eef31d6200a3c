// The converter dialog and the pen table: components, captions, what OK,
// Cancel and the settings button store, and the grid for each kind of
// target.
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "base/session.h"
#include "base/textconv.h"
#include "convert/confpen.h"
#include "convert/plotkonv.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using Converter = test::Defaults;
using PenTable = test::Defaults;

std::string text(const QLineEdit* e) { return e->text().toStdString(); }

TEST_F(Converter, ShowsTheCurrentSettings) {
  Settings.SerialPort = 2;
  Session.PlotFile = "PLAN";
  Settings.PlotScale = 2.5;
  Settings.PlotOriginY = -10;
  Tplotkonvert d;
  EXPECT_EQ(d.windowTitle(), "Planox");
  EXPECT_EQ(d.RadioGroup1->title(), "Code de sortie   : ");
  EXPECT_EQ(d.RadioGroup2->title(), "appareil de sortie ");
  const char* items[13] = {"HP-GL", "Aristo",  "Lasercomb", "CNC",        "DXF",        "Turbo Pascal", "IGES",
                           "Turbo C", "HP-GL/2", "Postscript", "HPGL-Laser", "Garmin GPS", "SVG"};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(d.targets->button(i)->text().toStdString(), items[i]);
  EXPECT_EQ(d.targets->checkedId(), 9);  // PostScript by default
  EXPECT_EQ(d.channels->button(0)->text(), "serial Port");
  EXPECT_EQ(d.channels->button(1)->text(), "parallel Port");
  EXPECT_EQ(d.channels->button(2)->text(), "File");
  EXPECT_EQ(d.channels->checkedId(), 2);
  EXPECT_EQ(d.Label1->text().toStdString(), "Echelle \u00ABtracer\u00BB");
  EXPECT_EQ(d.Label2->text(), "Largeur/hauteur du texte");
  EXPECT_EQ(d.Label3->text().toStdString(), "D\u00E9calage x");
  EXPECT_EQ(d.Label4->text().toStdString(), "D\u00E9calage y");
  EXPECT_EQ(text(d.Edit_com), "2");
  EXPECT_EQ(text(d.Edit_lpt), "1");
  EXPECT_EQ(text(d.Edit_file), "PLAN");
  EXPECT_EQ(TextToReal(text(d.Edit1)), 2.5);
  EXPECT_EQ(TextToReal(text(d.Edit2)), 1);
  EXPECT_EQ(TextToReal(text(d.Edit4)), -10);
  EXPECT_EQ(d.Button_ok->text(), "OK");
  EXPECT_EQ(d.Button_cancel->text(), "Annuler");
  EXPECT_EQ(d.Button_einstellungen->text(), "&Configuration");
  EXPECT_EQ(d.Button_hilfe->text(), "&Aide");

  // Only the chosen channel's field can be typed in.
  EXPECT_TRUE(d.Edit_file->isEnabled());
  EXPECT_FALSE(d.Edit_com->isEnabled());
  d.show();
  QTest::mouseClick(d.channels->button(0), Qt::LeftButton);
  EXPECT_TRUE(d.Edit_com->isEnabled());
  EXPECT_FALSE(d.Edit_lpt->isEnabled());
  EXPECT_FALSE(d.Edit_file->isEnabled());
}

TEST_F(Converter, OkStoresTheFields) {
  Settings.TextWidthRatio = 0.123456789L;  // shown rounded, kept exact
  Tplotkonvert d;
  d.targets->button(3)->click();
  d.channels->button(1)->click();
  d.Edit_lpt->setText("3");
  d.Edit_file->setText("OUT");
  d.Edit1->setText("2,5");
  d.Edit3->setText("abc");
  d.Edit4->setText(" -7.5");
  ConverterResult = 1;
  d.Button_ok->click();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(ConverterResult, 1);
  EXPECT_EQ(Settings.SyntaxCode, 4);
  EXPECT_EQ(Settings.DeviceCode, 2);
  EXPECT_EQ(Settings.LptPort, 3);
  EXPECT_EQ(Session.PlotFile, "OUT");
  EXPECT_EQ(Settings.PlotScale, 2.5L);
  EXPECT_EQ(Settings.PlotOriginX, 0);
  EXPECT_EQ(Settings.PlotOriginY, -7.5L);
  EXPECT_EQ(Settings.TextWidthRatio, 0.123456789L);
}

TEST_F(Converter, CancelKeepsEverythingAndSettingsAsksForTheEditor) {
  {
    Tplotkonvert d;
    d.targets->button(0)->click();
    d.Edit1->setText("9");
    d.show();
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(Session.AbortFlag);
    EXPECT_EQ(Settings.SyntaxCode, 10);
    EXPECT_EQ(Settings.PlotScale, 1.0L);
  }
  Session.AbortFlag = false;
  {
    Tplotkonvert d;
    d.Button_cancel->click();
    EXPECT_TRUE(Session.AbortFlag);
    EXPECT_EQ(d.result(), QDialog::Rejected);
  }
  Session.AbortFlag = false;
  {
    Tplotkonvert d;
    d.targets->button(4)->click();
    ConverterResult = 1;
    d.Button_einstellungen->click();
    EXPECT_EQ(ConverterResult, ConverterRunSettings);
    EXPECT_EQ(Settings.SyntaxCode, 5);
    EXPECT_FALSE(Session.AbortFlag);
    // Help shows the dialog's help and is no cancel.
    Tplotkonvert h;
    h.show();
    h.Button_hilfe->click();
    EXPECT_FALSE(Session.AbortFlag);
    EXPECT_TRUE(h.isVisible());
  }
}

TEST_F(PenTable, GridFollowsTheTarget) {
  Settings.SyntaxCode = 1;
  Settings.PenSpeeds[2] = 250;
  TForm_confPentable d;
  EXPECT_EQ(d.windowTitle(), "Config PenTable");
  ASSERT_EQ(d.ComboBox1->count(), 13);
  EXPECT_FALSE(d.ComboBox1->isEditable());
  EXPECT_EQ(d.ComboBox1->currentIndex(), 0);
  EXPECT_EQ(d.StringGrid1->rowCount(), 16);
  EXPECT_EQ(d.StringGrid1->columnCount(), 3);
  EXPECT_EQ(d.Cell(0, 0), "Couleur");
  EXPECT_EQ(d.Cell(1, 0), "Pen No.");
  EXPECT_EQ(d.Cell(2, 0), "Pen Speed [mm/s]");
  EXPECT_EQ(d.Cell(0, 1), "1 (rouge)");
  EXPECT_EQ(d.Cell(0, 7), "7 (blanc)");
  EXPECT_EQ(d.Cell(0, 8), "8 (brun)");
  EXPECT_EQ(d.Cell(0, 9), "9 ()");
  EXPECT_EQ(d.Cell(1, 8), "0");
  EXPECT_EQ(d.Cell(1, 15), "7");
  EXPECT_EQ(d.Cell(2, 2), "250");
  EXPECT_FALSE(d.Button_help2->isHidden());
  EXPECT_EQ(d.Button_help->text(), "&Aide");
  EXPECT_EQ(d.Button_help2->text(), "&Aide");
  // Headers and colour names are fixed.
  EXPECT_FALSE(d.StringGrid1->item(0, 1)->flags() & Qt::ItemIsEditable);
  EXPECT_FALSE(d.StringGrid1->item(3, 0)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(d.StringGrid1->item(3, 1)->flags() & Qt::ItemIsEditable);

  d.ComboBox1->setCurrentIndex(3);  // CNC
  EXPECT_EQ(Settings.SyntaxCode, 4);
  EXPECT_EQ(d.Cell(1, 0), "Tool No.");
  EXPECT_EQ(d.Cell(2, 0), "Pen Speed [mm/s]");
  EXPECT_EQ(d.Cell(2, 5), "500");

  d.ComboBox1->setCurrentIndex(9);  // PostScript
  EXPECT_EQ(Settings.SyntaxCode, 10);
  EXPECT_EQ(d.Cell(1, 0), "Epaisseur du trait");
  EXPECT_EQ(d.Cell(2, 0), "");
  EXPECT_EQ(d.Cell(2, 5), "");
  EXPECT_FALSE(d.StringGrid1->item(5, 2)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(d.Button_help2->isHidden());

  d.ComboBox1->setCurrentIndex(4);  // DXF
  EXPECT_EQ(d.Cell(1, 0), "Couleur");
  d.ComboBox1->setCurrentIndex(8);  // HP-GL/2 has speeds
  EXPECT_EQ(d.Cell(2, 0), "Pen Speed [mm/s]");
  d.ComboBox1->setCurrentIndex(12);  // SVG: the stroke colour of each pen, no speeds
  EXPECT_EQ(Settings.SyntaxCode, 13);
  EXPECT_EQ(d.Cell(1, 0), "Couleur");
  EXPECT_EQ(d.Cell(2, 0), "");
}

TEST_F(PenTable, OkStoresTheCellsCancelOnlyTheTarget) {
  Settings.SyntaxCode = 1;
  {
    TForm_confPentable d;
    d.StringGrid1->item(3, 1)->setText("12");
    d.SetCell(1, 4, "x");
    d.SetCell(2, 3, "250");
    d.Button_ok->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
  }
  EXPECT_EQ(Settings.PenNumbers[0], 0);
  EXPECT_EQ(Settings.PenNumbers[3], 12);
  EXPECT_EQ(Settings.PenNumbers[4], 0);  // not a number: the colour is not output
  EXPECT_EQ(Settings.PenNumbers[5], 5);
  EXPECT_EQ(Settings.PenSpeeds[3], 250);
  EXPECT_EQ(Settings.PenSpeeds[4], 500);

  {
    TForm_confPentable d;
    d.ComboBox1->setCurrentIndex(10);
    d.SetCell(1, 2, "9");
    d.Button_cancel->click();
  }
  EXPECT_EQ(Settings.SyntaxCode, 11);
  EXPECT_EQ(Settings.PenNumbers[2], 2);

  // A target without speeds leaves the speed column alone.
  {
    TForm_confPentable d;
    d.SetCell(1, 2, "6");
    d.Button_ok->click();
  }
  EXPECT_EQ(Settings.PenNumbers[2], 6);
  EXPECT_EQ(Settings.PenSpeeds[3], 250);
  EXPECT_FALSE(Session.AbortFlag);
}

}  // namespace
}  // namespace planox
