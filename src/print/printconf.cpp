#include "print/printconf.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "config/confdlg.h"
#include "display/qtform.h"
#include "display/tfquorgra.h"
#include "print/printer.h"

namespace planox {

namespace {

constexpr int kHelpNumber = 1030;
constexpr int kPrinterNameLength = 40;

QPushButton* AddButton(QWidget* parent, QBoxLayout* row, const char* name, const char* caption) {
  auto* b = new QPushButton(QtText(caption), parent);
  b->setObjectName(name);
  row->addWidget(b);
  return b;
}

QLabel* AddLabel(QWidget* parent, const char* name, const char* caption) {
  auto* l = new QLabel(QtText(caption), parent);
  l->setObjectName(name);
  return l;
}

QLineEdit* AddEdit(QWidget* parent, const char* name) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  return e;
}

}  // namespace

TForm_printconf::TForm_printconf(TFquorgra& window, QWidget* parent)
    : QDialog(parent), window_(window), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setObjectName("Form_printconf");
  setModal(true);
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  auto* top = new QVBoxLayout(this);

  auto* printerRow = new QHBoxLayout;
  Button_printer = AddButton(this, printerRow, "Button_printer", "Imprimante...");
  Label_printer = AddLabel(this, "Label_printer", "");
  Label_printer->setMinimumWidth(Label_printer->fontMetrics().averageCharWidth() * kPrinterNameLength);
  printerRow->addWidget(Label_printer, 1);
  top->addLayout(printerRow);

  auto* fields = new QGridLayout;
  Label_scalex = AddLabel(this, "Label_scalex", "\x82" "chelle x");
  Label_scaley = AddLabel(this, "Label_scaley", "\x82" "chelle y");
  Label_xorigin = AddLabel(this, "Label_xorigin", "Point zero x");
  Label_yorigin = AddLabel(this, "Label_yorigin", "Point zero y");
  Edit_scalex = AddEdit(this, "Edit_scalex");
  Edit_scaley = AddEdit(this, "Edit_scaley");
  Edit_xorigin = AddEdit(this, "Edit_xorigin");
  Edit_yorigin = AddEdit(this, "Edit_yorigin");
  const std::pair<QLabel*, QLineEdit*> rows[] = {
      {Label_scalex, Edit_scalex}, {Label_scaley, Edit_scaley}, {Label_xorigin, Edit_xorigin}, {Label_yorigin, Edit_yorigin}};
  for (int i = 0; i < 4; ++i) {
    rows[i].first->setBuddy(rows[i].second);
    fields->addWidget(rows[i].first, i % 2, (i / 2) * 2);
    fields->addWidget(rows[i].second, i % 2, (i / 2) * 2 + 1);
  }
  top->addLayout(fields);

  auto* groups = new QHBoxLayout;
  RadioGroup_hochquer = new QGroupBox(QtText("Impression"), this);
  RadioGroup_hochquer->setObjectName("RadioGroup_hochquer");
  hochquerItems = AddRadioItems(RadioGroup_hochquer, {"Portrait", "Paysage"});
  RadioGroup_printmono = new QGroupBox(QtText("ombrage"), this);
  RadioGroup_printmono->setObjectName("RadioGroup_printmono");
  printmonoItems = AddRadioItems(RadioGroup_printmono, {"Monochrome", "Couleur / nuance de gris"});
  groups->addWidget(RadioGroup_hochquer);
  groups->addWidget(RadioGroup_printmono);
  top->addLayout(groups);

  CheckBox_umrandung = new QCheckBox(QtText("Bordure"), this);
  CheckBox_umrandung->setObjectName("CheckBox_umrandung");
  CheckBox_anpassen = new QCheckBox(QtText("ajuster"), this);
  CheckBox_anpassen->setObjectName("CheckBox_anpassen");
  auto* checks = new QHBoxLayout;
  checks->addWidget(CheckBox_umrandung);
  checks->addWidget(CheckBox_anpassen);
  checks->addStretch();
  top->addLayout(checks);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  Button_ok = AddButton(this, buttons, "Button_ok", "OK");
  Button_cancel = AddButton(this, buttons, "Button_cancel", "Annuler");
  Button_preview = AddButton(this, buttons, "Button_preview", "Aper\x87u");
  Button_help = AddButton(this, buttons, "Button_help", "&Aide");
  Button_ok->setDefault(true);
  top->addLayout(buttons);

  connect(Button_printer, &QPushButton::clicked, this, &TForm_printconf::Button_printerClick);
  connect(Button_ok, &QPushButton::clicked, this, &TForm_printconf::Button_okClick);
  connect(Button_cancel, &QPushButton::clicked, this, &TForm_printconf::Button_cancelClick);
  connect(Button_help, &QPushButton::clicked, this, &TForm_printconf::Button_helpClick);
  connect(Button_preview, &QPushButton::clicked, this, &TForm_printconf::Button_previewClick);

  UseDefaultPrinter(*printer_);
  FormCreate();
}

TForm_printconf::~TForm_printconf() = default;

void TForm_printconf::FormCreate() {
  setWindowTitle(QtText("Impression"));
  const PrintStartValues start;
  Settings.ScreendumpScale = start.scaleX;
  Settings.PrintScaleVertical = start.scaleY;
  Settings.ScreendumpOriginX = start.originX;
  Settings.ScreendumpOriginY = start.originY;
  Settings.ScreendumpBorder = start.border;
  printer_->setPageOrientation(start.orientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape);

  Edit_scalex->setText(QtText(RealToText(Settings.ScreendumpScale)));
  Edit_scaley->setText(QtText(RealToText(Settings.PrintScaleVertical)));
  Edit_xorigin->setText(QString::number(Settings.ScreendumpOriginX));
  Edit_yorigin->setText(QString::number(Settings.ScreendumpOriginY));
  CheckBox_umrandung->setChecked(Settings.ScreendumpBorder);
  if (QAbstractButton* b = printmonoItems->button(Settings.WindowsPrintMode - 1)) b->setChecked(true);
  hochquerItems->button(printer_->pageLayout().orientation() == QPageLayout::Landscape ? 1 : 0)->setChecked(true);
}

void TForm_printconf::showEvent(QShowEvent* event) {
  showPrinter();
  QDialog::showEvent(event);
}

void TForm_printconf::showPrinter() {
  const QString name = printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty()
                           ? printer_->outputFileName()
                           : printer_->printerName();
  Label_printer->setText(name.left(kPrinterNameLength));
}

void TForm_printconf::Button_printerClick() {
  QPrintDialog d(printer_.get(), this);
  if (d.exec() != QDialog::Accepted) return;
  showPrinter();
  hochquerItems->button(printer_->pageLayout().orientation() == QPageLayout::Landscape ? 1 : 0)->setChecked(true);
}

void TForm_printconf::readFields() {
  Settings.ScreendumpScale = TextToReal(OemText(Edit_scalex->text()));
  Settings.PrintScaleVertical = TextToReal(OemText(Edit_scaley->text()));
  auto integer = [](const QLineEdit* e) {
    return static_cast<int32_t>(std::clamp<long long>(TextToInt(OemText(e->text())), INT32_MIN, INT32_MAX));
  };
  Settings.ScreendumpOriginX = integer(Edit_xorigin);
  Settings.ScreendumpOriginY = integer(Edit_yorigin);
  Settings.ScreendumpBorder = CheckBox_umrandung->isChecked();
  if (printmonoItems->checkedId() >= 0) Settings.WindowsPrintMode = static_cast<uint16_t>(printmonoItems->checkedId() + 1);
  printer_->setPageOrientation(hochquerItems->checkedId() == 0 ? QPageLayout::Portrait : QPageLayout::Landscape);
}

void TForm_printconf::Button_okClick() {
  Session.AbortFlag = false;
  readFields();
  if (CheckBox_anpassen->isChecked()) {
    GraphWindow& g = window_.graph();
    g.RestoreLimit();
    g.ResetZoom();
    g.ReSetWindow();
    g.ClearViewPort();
  }
  PrintWindow(window_, *printer_);
  accept();
}

void TForm_printconf::Button_cancelClick() { reject(); }

void TForm_printconf::reject() {
  Session.AbortFlag = true;
  QDialog::reject();
}

void TForm_printconf::Button_helpClick() { ShowHelpText(kHelpNumber); }

void TForm_printconf::Button_previewClick() {
  readFields();
  QPrintPreviewDialog preview(printer_.get(), this);
  preview.setObjectName("PrintPreview");
  preview.setWindowTitle(QtText("Aper\x87u"));
  const bool fit = CheckBox_anpassen->isChecked();
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this, fit](QPrinter* page) { ReplayPage(window_, *page, fit); });
  preview.exec();
}

}  // namespace planox
