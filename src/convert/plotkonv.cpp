#include "convert/plotkonv.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "convert/channel.h"
#include "convert/targets.h"
#include "display/qtform.h"

namespace planox {

uint16_t ConverterResult = 1;

namespace {

uint16_t portNumber(const std::string& text) {
  return static_cast<uint16_t>(std::clamp<long long>(TextToInt(TrimText(text)), 0, 65535));
}

}  // namespace

Tplotkonvert::Tplotkonvert(QWidget* parent) : QDialog(parent) {
  setObjectName("plotkonvert");
  setWindowTitle(ProgramTitle);
  setModal(true);
  setMinimumSize(489, 365);
  auto* top = new QVBoxLayout(this);
  auto* columns = new QHBoxLayout;
  top->addLayout(columns);

  RadioGroup1 = new QGroupBox(QtText("Code de sortie   : "), this);
  RadioGroup1->setObjectName("RadioGroup1");
  targets = new QButtonGroup(this);
  auto* g1 = new QGridLayout(RadioGroup1);
  for (const TargetRow& t : Targets()) {
    const int i = t.number - 1;
    auto* b = new QRadioButton(QtText(t.dialogLabel), RadioGroup1);
    targets->addButton(b, i);
    g1->addWidget(b, i % 7, i / 7);
  }
  if (auto* b = targets->button(Settings.SyntaxCode - 1)) b->setChecked(true);
  columns->addWidget(RadioGroup1, 2);

  RadioGroup2 = new QGroupBox(QtText(std::string("appareil de sortie") + " "), this);
  RadioGroup2->setObjectName("RadioGroup2");
  channels = new QButtonGroup(this);
  auto* g2 = new QGridLayout(RadioGroup2);
  Edit_com = new QLineEdit(QtText(IntToText(Settings.SerialPort)), RadioGroup2);
  Edit_lpt = new QLineEdit(QtText(IntToText(Settings.LptPort)), RadioGroup2);
  Edit_file = new QLineEdit(QtText(Session.PlotFile), RadioGroup2);
  Edit_com->setObjectName("Edit_com");
  Edit_lpt->setObjectName("Edit_lpt");
  Edit_file->setObjectName("Edit_file");
  QLineEdit* channelEdits[3] = {Edit_com, Edit_lpt, Edit_file};
  for (QLineEdit* e : channelEdits) e->setMinimumWidth(110);
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(QtText(ChannelName(i + 1)), RadioGroup2);
    channels->addButton(b, i);
    g2->addWidget(b, i, 0);
    g2->addWidget(channelEdits[i], i, 1);
  }
  if (auto* b = channels->button(Settings.DeviceCode - 1)) b->setChecked(true);
  columns->addWidget(RadioGroup2, 1);
  connect(channels, &QButtonGroup::idClicked, this, [this] { RadioGroup2Click(); });
  RadioGroup2Click();

  auto* values = new QGridLayout;
  top->addLayout(values);
  auto value = [&](QLabel*& label, const char* labelName, const std::string& caption, QLineEdit*& edit,
                   const char* editName, const std::string& text, int row) {
    label = new QLabel(QtText(caption), this);
    label->setObjectName(labelName);
    edit = new QLineEdit(QtText(text), this);
    edit->setObjectName(editName);
    label->setBuddy(edit);
    values->addWidget(label, row, 0);
    values->addWidget(edit, row, 1);
  };
  auto real = [](long double x) { return RealToText(static_cast<double>(x)); };
  value(Label1, "Label1", "Echelle \xAEtracer\xAF", Edit1, "Edit1", real(Settings.PlotScale), 0);
  value(Label2, "Label2", "Largeur/hauteur du texte", Edit2, "Edit2", real(Settings.TextWidthRatio), 1);
  value(Label3, "Label3", std::string("D\x82" "calage") + " x", Edit3, "Edit3", real(Settings.PlotOriginX), 2);
  value(Label4, "Label4", std::string("D\x82" "calage") + " y", Edit4, "Edit4", real(Settings.PlotOriginY), 3);

  QLineEdit* fields[7] = {Edit_com, Edit_lpt, Edit_file, Edit1, Edit2, Edit3, Edit4};
  for (int i = 0; i < 7; ++i) shown_[i] = OemText(fields[i]->text());

  auto* buttons = new QHBoxLayout;
  Button_ok = RowButton(this, buttons, "Button_ok", "OK", true);
  Button_cancel = RowButton(this, buttons, "Button_cancel", "Annuler");
  Button_einstellungen = RowButton(this, buttons, "Button_einstellungen", "&Configuration");
  buttons->addStretch();
  Button_hilfe = RowButton(this, buttons, "Button_hilfe", "&Aide");
  top->addLayout(buttons);
  connect(Button_ok, &QPushButton::clicked, this, &Tplotkonvert::Button_okClick);
  connect(Button_cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button_einstellungen, &QPushButton::clicked, this, &Tplotkonvert::Button_einstellungenClick);
  connect(Button_hilfe, &QPushButton::clicked, this, &Tplotkonvert::Button_hilfeClick);
  resize(489, 365);
}

// Only the edit field of the chosen channel can be typed in.
void Tplotkonvert::RadioGroup2Click() {
  const int id = channels->checkedId();
  Edit_com->setEnabled(id == 0);
  Edit_lpt->setEnabled(id == 1);
  Edit_file->setEnabled(id == 2);
}

void Tplotkonvert::StoreFields() {
  if (targets->checkedId() >= 0) Settings.SyntaxCode = static_cast<uint16_t>(targets->checkedId() + 1);
  if (channels->checkedId() >= 0) Settings.DeviceCode = static_cast<uint16_t>(channels->checkedId() + 1);
  QLineEdit* fields[7] = {Edit_com, Edit_lpt, Edit_file, Edit1, Edit2, Edit3, Edit4};
  std::string text[7];
  bool edited[7];
  for (int i = 0; i < 7; ++i) {
    text[i] = OemText(fields[i]->text());
    edited[i] = text[i] != shown_[i];
  }
  if (edited[0]) Settings.SerialPort = portNumber(text[0]);
  if (edited[1]) Settings.LptPort = portNumber(text[1]);
  if (edited[2]) Session.PlotFile = Settings.PlotFile = text[2];
  if (edited[3]) Settings.PlotScale = TextToReal(TrimText(text[3]));
  if (edited[4]) Settings.TextWidthRatio = TextToReal(TrimText(text[4]));
  if (edited[5]) Settings.PlotOriginX = TextToReal(TrimText(text[5]));
  if (edited[6]) Settings.PlotOriginY = TextToReal(TrimText(text[6]));
}

void Tplotkonvert::Button_okClick() {
  StoreFields();
  accept();
}

void Tplotkonvert::Button_einstellungenClick() {
  StoreFields();
  ConverterResult = ConverterRunSettings;
  accept();
}

void Tplotkonvert::Button_hilfeClick() {
  const bool abort = Session.AbortFlag;
  ShowHelpText(9100);
  Session.AbortFlag = abort;
}

void Tplotkonvert::reject() {
  Session.AbortFlag = true;
  QDialog::reject();
}

}  // namespace planox
