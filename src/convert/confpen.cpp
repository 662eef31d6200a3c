#include "convert/confpen.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "convert/targets.h"
#include "display/qtform.h"

namespace planox {

namespace {


constexpr int kRows = 16, kColumns = 3;

const char* const kColourNames[16] = {"", "rouge", "jaune", "vert", "cyan", "bleu", "magenta", "blanc", "brun",
                                      "", "",      "",      "",     "",     "",     ""};

std::string penHeader(int target) {
  const TargetRow* t = FindTarget(target);
  return t ? t->penHeader : "Couleur";
}

int32_t cellNumber(const std::string& text) {
  return static_cast<int32_t>(std::clamp<long long>(TextToInt(TrimText(text)), INT32_MIN, INT32_MAX));
}

}  // namespace

bool TForm_confPentable::HasSpeeds(int syntaxCode) {
  const TargetRow* t = FindTarget(syntaxCode);
  return t && t->speeds;
}

TForm_confPentable::TForm_confPentable(QWidget* parent) : QDialog(parent) {
  setObjectName("Form_confPentable");
  setWindowTitle("Config PenTable");
  setModal(true);
  auto* top = new QVBoxLayout(this);

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setEditable(false);
  for (const TargetRow& t : Targets()) ComboBox1->addItem(QtText(t.name));
  ComboBox1->setCurrentIndex(FindTarget(Settings.SyntaxCode) ? Settings.SyntaxCode - 1 : -1);
  top->addWidget(ComboBox1);

  StringGrid1 = new QTableWidget(kRows, kColumns, this);
  StringGrid1->setObjectName("StringGrid1");
  // Row 0 and column 0 are the grid's fixed cells; Qt's own headers stay
  // hidden.
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 8);
  StringGrid1->setMinimumSize(420, kRows * StringGrid1->verticalHeader()->defaultSectionSize() + 4);
  top->addWidget(StringGrid1);

  auto* buttons = new QHBoxLayout;
  Button_ok = RowButton(this, buttons, "Button_ok", "OK", true);
  Button_cancel = RowButton(this, buttons, "Button_cancel", "Annuler");
  buttons->addStretch();
  Button_help = RowButton(this, buttons, "Button_help", "&Aide");
  Button_help2 = RowButton(this, buttons, "Button_help2", "&Aide");
  top->addLayout(buttons);

  connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
  connect(Button_ok, &QPushButton::clicked, this, &TForm_confPentable::Button_okClick);
  connect(Button_cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button_help, &QPushButton::clicked, this, &TForm_confPentable::Button_helpClick);
  connect(Button_help2, &QPushButton::clicked, this, &TForm_confPentable::Button_help2Click);
  BuildGrid();
}

std::string TForm_confPentable::Cell(int col, int row) const {
  const QTableWidgetItem* it = StringGrid1->item(row, col);
  return it ? OemText(it->text()) : std::string();
}

void TForm_confPentable::SetCell(int col, int row, const std::string& text) {
  QTableWidgetItem* it = StringGrid1->item(row, col);
  if (!it) {
    it = new QTableWidgetItem;
    StringGrid1->setItem(row, col, it);
  }
  it->setText(QtText(text));
}

void TForm_confPentable::BuildGrid() {
  const int target = Settings.SyntaxCode;
  const bool speeds = HasSpeeds(target);
  StringGrid1->clearContents();
  SetCell(0, 0, "Couleur");
  SetCell(1, 0, penHeader(target));
  SetCell(2, 0, speeds ? "Pen Speed [mm/s]" : "");
  for (int c = 1; c < kRows; ++c) {
    SetCell(0, c, IntToText(c) + " (" + kColourNames[c] + ")");
    SetCell(1, c, IntToText(Settings.PenNumbers[c]));
    SetCell(2, c, speeds ? IntToText(Settings.PenSpeeds[c]) : "");
  }
  // Only the pen cells, and the speed cells where the target has speeds,
  // can be edited.
  for (int row = 0; row < kRows; ++row)
    for (int col = 0; col < kColumns; ++col) {
      QTableWidgetItem* it = StringGrid1->item(row, col);
      const bool editable = row > 0 && (col == 1 || (col == 2 && speeds));
      it->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::ItemIsEnabled);
      // The fixed cells look like the grid's header.
      if (!editable && (row == 0 || col == 0)) it->setBackground(StringGrid1->palette().button());
    }
  Button_help2->setVisible(speeds);
}

void TForm_confPentable::ComboBox1Change() {
  const int i = ComboBox1->currentIndex();
  if (i < 0) return;
  Settings.SyntaxCode = static_cast<uint16_t>(i + 1);
  BuildGrid();
}

void TForm_confPentable::Button_okClick() {
  if (ComboBox1->currentIndex() >= 0) Settings.SyntaxCode = static_cast<uint16_t>(ComboBox1->currentIndex() + 1);
  const bool speeds = HasSpeeds(Settings.SyntaxCode);
  for (int c = 1; c < kRows; ++c) {
    Settings.PenNumbers[c] = cellNumber(Cell(1, c));
    if (speeds) Settings.PenSpeeds[c] = cellNumber(Cell(2, c));
  }
  accept();
}

void TForm_confPentable::Button_helpClick() {
  const bool abort = Session.AbortFlag;
  ShowHelpText(Settings.SyntaxCode == 10 || Settings.SyntaxCode == 11 ? 5100 : 5110);
  Session.AbortFlag = abort;
}

void TForm_confPentable::Button_help2Click() {
  const bool abort = Session.AbortFlag;
  ShowHelpText(5120);
  Session.AbortFlag = abort;
}

}  // namespace planox
