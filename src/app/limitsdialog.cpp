#include "app/limitsdialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/prompts.h"
#include "base/textconv.h"
#include "display/quorgraf.h"
#include "display/qtform.h"

namespace planox {

namespace {


long double fieldValue(const QLineEdit* e) {
  return TextToReal(TrimText(OemText(e->text())));
}

}  // namespace

Tw32plotg::Tw32plotg(QWidget* parent) : QDialog(parent) {
  setObjectName("w32plotg");
  setWindowTitle(QtText("Limites du dessin"));
  setModal(true);
  auto* top = new QVBoxLayout(this);

  auto corner = [this](QGroupBox*& box, const char* boxName, const char* caption, QLabel*& la,
                       const char* laName, const char* laText, QLineEdit*& ea, const char* eaName,
                       QLabel*& lb, const char* lbName, const char* lbText, QLineEdit*& eb,
                       const char* ebName) {
    box = new QGroupBox(QtText(caption), this);
    box->setObjectName(boxName);
    auto* g = new QGridLayout(box);
    la = new QLabel(QtText(laText), box);
    la->setObjectName(laName);
    ea = new QLineEdit(box);
    ea->setObjectName(eaName);
    lb = new QLabel(QtText(lbText), box);
    lb->setObjectName(lbName);
    eb = new QLineEdit(box);
    eb->setObjectName(ebName);
    la->setBuddy(ea);
    lb->setBuddy(eb);
    g->addWidget(la, 0, 0);
    g->addWidget(ea, 0, 1);
    g->addWidget(lb, 1, 0);
    g->addWidget(eb, 1, 1);
    return box;
  };
  auto* row = new QHBoxLayout;
  row->addWidget(corner(GroupBox1, "GroupBox1", "Coin gauche en bas", Label1, "Label1", "x min", Edit1, "Edit1",
                        Label2, "Label2", "y min", Edit2, "Edit2"));
  row->addWidget(corner(GroupBox2, "GroupBox2", "Coin droit en haut", Label3, "Label3", "x max", Edit3, "Edit3",
                        Label4, "Label4", "y max", Edit4, "Edit4"));
  top->addLayout(row);

  auto* buttons = new QHBoxLayout;
  Button_OK = RowButton(this, buttons, "Button_OK", "OK", true);
  Button_cancel = RowButton(this, buttons, "Button_cancel", "Annuler");
  buttons->addStretch();
  Button_help = RowButton(this, buttons, "Button_help", "&Aide");
  top->addLayout(buttons);

  connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button_cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button_help, &QPushButton::clicked, this, &Tw32plotg::Button_helpClick);
  Edit1->setFocus();
}

void Tw32plotg::SetFields(const WorldWindow& w) {
  Edit1->setText(QtText(RealToText(static_cast<double>(w.xmin))));
  Edit2->setText(QtText(RealToText(static_cast<double>(w.ymin))));
  Edit3->setText(QtText(RealToText(static_cast<double>(w.xmax))));
  Edit4->setText(QtText(RealToText(static_cast<double>(w.ymax))));
}

Extents Tw32plotg::Values() const {
  return Extents{fieldValue(Edit1), fieldValue(Edit2), fieldValue(Edit3), fieldValue(Edit4)};
}

void Tw32plotg::reject() {
  Session.AbortFlag = true;
  QDialog::reject();
}

// The help text is shown while the dialog stays up; it does not count as
// a cancel of the dialog.
void Tw32plotg::Button_helpClick() {
  const bool abort = Session.AbortFlag;
  ShowHelpText(9010);
  Session.AbortFlag = abort;
}

}  // namespace planox
