#include "config/confdlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "display/qtcanvas.h"
#include "display/qtform.h"

namespace planox {

namespace {

int32_t IntField(const QLineEdit* e) {
  return static_cast<int32_t>(std::clamp<long long>(TextToInt(OemText(e->text())), INT32_MIN, INT32_MAX));
}
double RealField(const QLineEdit* e) { return TextToReal(OemText(e->text())); }

int32_t ColourValue(const QColor& c) { return c.red() | c.green() << 8 | c.blue() << 16; }

QPushButton* AddButton(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QtText(caption), parent);
  b->setObjectName(name);
  return b;
}

}  // namespace

QButtonGroup* AddRadioItems(QGroupBox* group, std::initializer_list<const char*> items) {
  auto* buttons = new QButtonGroup(group);
  auto* layout = new QVBoxLayout(group);
  int id = 0;
  for (const char* item : items) {
    auto* r = new QRadioButton(QtText(item), group);
    layout->addWidget(r);
    buttons->addButton(r, id++);
  }
  return buttons;
}

std::string ChooseDirectory(QWidget* parent, const std::string& field) {
  QFileDialog d(parent);
  d.setObjectName("DirectoryChooser");
  d.setFileMode(QFileDialog::Directory);
  d.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  const QString start = QtText(WithoutSeparator(field));
  d.setDirectory(!start.isEmpty() && QDir(start).exists() ? start : QDir::currentPath());
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) {
    Session.AbortFlag = false;
    return field;
  }
  return WithSeparator(Utf8ToCp850(d.selectedFiles().first().toStdString()));
}

// ---------------------------------------------------------------------------

SettingsDialog::SettingsDialog(QWidget* parent, const char* objectName, const char* caption, int helpNumber)
    : QDialog(parent) {
  setObjectName(objectName);
  setWindowTitle(QtText(caption));
  setModal(true);
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  auto* top = new QVBoxLayout(this);
  grid_ = new QGridLayout;
  top->addLayout(grid_);
  auto* row = new QHBoxLayout;
  Button_ok = AddButton(this, "Button_ok", "OK");
  Button_cancel = AddButton(this, "Button_cancel", "Annuler");
  Button_help = AddButton(this, "Button_help", "&Aide");
  Button_ok->setDefault(true);
  row->addStretch();
  for (QPushButton* b : {Button_ok, Button_cancel, Button_help}) row->addWidget(b);
  top->addLayout(row);
  connect(Button_ok, &QPushButton::clicked, this, [this] {
    store();
    accept();
  });
  connect(Button_cancel, &QPushButton::clicked, this, &SettingsDialog::reject);
  connect(Button_help, &QPushButton::clicked, this, [helpNumber] { ShowHelpText(helpNumber); });
}

void SettingsDialog::reject() {
  Session.AbortFlag = true;
  QDialog::reject();
}

QLineEdit* SettingsDialog::addField(int row, const char* label, const char* name, const std::string& value,
                                    int column) {
  auto* l = new QLabel(QtText(label), this);
  auto* e = new QLineEdit(QtText(value), this);
  e->setObjectName(name);
  l->setBuddy(e);
  grid_->addWidget(l, row, column);
  grid_->addWidget(e, row, column + 1);
  return e;
}

// ---------------------------------------------------------------------------
// Directories

TConfDir::TConfDir(QWidget* parent) : SettingsDialog(parent, "ConfDir", "Config Directory", 9000) {
  Edit_ext = addField(0, "Nom du fichier", "Edit_ext", Session.FileExtension);
  Edit_ext->setMaxLength(3);
  Edit_grafik = addField(1, "Annuaire de dessins", "Edit_grafik", Session.InPath);
  Edit_temp = addField(2, "Annuaire temporaire ou disque virtuel", "Edit_temp", Settings.TempDir);
  EDit_plt = addField(3, "Annuaire d'Aide-Image (plt, dem, hlp)", "EDit_plt", Settings.PltDir);
  Edit_exe = addField(4, "Annuaire QUORVEL", "Edit_exe", Settings.HomeDir);
  Button_grafdir = AddButton(this, "Button_grafdir", "...");
  Button_tempdir = AddButton(this, "Button_tempdir", "...");
  Button_pltdir = AddButton(this, "Button_pltdir", "...");
  Button_programdir = AddButton(this, "Button_programdir", "...");
  const std::pair<QPushButton*, QLineEdit*> browse[] = {
      {Button_grafdir, Edit_grafik}, {Button_tempdir, Edit_temp}, {Button_pltdir, EDit_plt}, {Button_programdir, Edit_exe}};
  int row = 1;
  for (auto [button, edit] : browse) {
    grid()->addWidget(button, row++, 2);
    connect(button, &QPushButton::clicked, this,
            [this, edit] { edit->setText(QtText(ChooseDirectory(this, OemText(edit->text())))); });
  }
  CheckBox_shp = new QCheckBox(QtText("Charger TXT.SHP ?"), this);
  CheckBox_shp->setObjectName("CheckBox_shp");
  CheckBox_shp->setChecked(Settings.LoadShapeFont != 'N');
  grid()->addWidget(CheckBox_shp, 5, 0, 1, 3);
  Edit_grafik->setMinimumWidth(320);
}

void TConfDir::store() {
  Session.FileExtension = LeftText(OemText(Edit_ext->text()), 3);
  Session.InPath = WithSeparator(OemText(Edit_grafik->text()));
  Settings.InPath = Session.InPath;
  Settings.TempDir = WithSeparator(OemText(Edit_temp->text()));
  Settings.PltDir = WithSeparator(OemText(EDit_plt->text()));
  Settings.HomeDir = WithSeparator(OemText(Edit_exe->text()));
  Settings.LoadShapeFont = CheckBox_shp->isChecked() ? 'J' : 'N';
}

// ---------------------------------------------------------------------------
// Graphics window

Tconfgraf::Tconfgraf(QWidget* parent) : SettingsDialog(parent, "confgraf", "Configuration Graphique", 1940) {
  RadioGroup_colour = new QGroupBox(QtText("Couleur des graphiques"), this);
  RadioGroup_colour->setObjectName("RadioGroup_colour");
  colourItems = AddRadioItems(RadioGroup_colour, {"color", "monochrom"});
  colourItems->button(Settings.ColourGraphics ? 0 : 1)->setChecked(true);
  grid()->addWidget(RadioGroup_colour, 0, 0, 1, 3);

  Edit_font = addField(1, "Font", "Edit_font", Settings.ScreenTextStyle);
  Edit_font->setMaxLength(60);
  Button_font = AddButton(this, "Button_font", "Font...");
  grid()->addWidget(Button_font, 1, 2);
  Edit_textbreitenfaktor =
      addField(2, "Largeur/hauteur du texte", "Edit_textbreitenfaktor", RealToText(double(Settings.ScreenTextRatio)));
  Edit_texthoehenfaktor =
      addField(3, "Taille du texte", "Edit_texthoehenfaktor", RealToText(double(Settings.TextHeightFactor)));

  auto* size = new QGroupBox(QtText("Grandeur de la fen\x88tre"), this);
  size->setObjectName("GroupBox_size");
  auto* sizeRow = new QHBoxLayout(size);
  Edit_x = new QLineEdit(QString::number(Settings.ScreenWidth + 1), size);
  Edit_x->setObjectName("Edit_x");
  Edit_y = new QLineEdit(QString::number(Settings.ScreenHeight + 1), size);
  Edit_y->setObjectName("Edit_y");
  Button_max = AddButton(size, "Button_max", "Max.");
  sizeRow->addWidget(Edit_x);
  sizeRow->addWidget(Edit_y);
  sizeRow->addWidget(Button_max);
  grid()->addWidget(size, 4, 0, 1, 3);

  Panel_colour = new QLabel(this);
  Panel_colour->setObjectName("Panel_colour");
  Panel_colour->setAlignment(Qt::AlignCenter);
  Panel_colour->setAutoFillBackground(true);
  Panel_colour->setMinimumHeight(40);
  Button_colour = AddButton(this, "Button_colour", "Couleur de l'arri\x8Are plan...");
  grid()->addWidget(Panel_colour, 5, 0, 1, 2);
  grid()->addWidget(Button_colour, 5, 2);

  Edit_zoomfaktor = addField(6, "Zoom", "Edit_zoomfaktor", RealToText(double(Settings.Zoom)));
  Edit_panfaktor = addField(7, "Panorama", "Edit_panfaktor", RealToText(double(Settings.Panorama)));
  CheckBox_border = new QCheckBox(QtText("Bordure"), this);
  CheckBox_border->setObjectName("CheckBox_border");
  CheckBox_border->setChecked(Settings.ScreendumpBorder);
  grid()->addWidget(CheckBox_border, 8, 0, 1, 3);

  connect(Button_font, &QPushButton::clicked, this, &Tconfgraf::Button_fontClick);
  connect(Button_max, &QPushButton::clicked, this, &Tconfgraf::Button_maxClick);
  connect(Button_colour, &QPushButton::clicked, this, &Tconfgraf::Button_colourClick);
  connect(Edit_x, &QLineEdit::textChanged, this, &Tconfgraf::showPanel);
  connect(Edit_y, &QLineEdit::textChanged, this, &Tconfgraf::showPanel);
  showPanel();
}

void Tconfgraf::showPanel() {
  QPalette p = Panel_colour->palette();
  const QColor ground = ToQColor(RgbFromValue(Settings.BackgroundColour));
  p.setColor(QPalette::Window, ground);
  p.setColor(QPalette::WindowText, ground.lightness() < 128 ? Qt::white : Qt::black);
  Panel_colour->setPalette(p);
  Panel_colour->setText(Edit_x->text() + " x " + Edit_y->text());
}

void Tconfgraf::Button_fontClick() {
  QFontDialog d(QFont(Edit_font->text()), this);
  d.setOption(QFontDialog::DontUseNativeDialog);
  if (d.exec() == QDialog::Accepted) Edit_font->setText(d.selectedFont().family().left(60));
}

void Tconfgraf::Button_maxClick() {
  const QScreen* s = screen();
  const QSize screenSize = s ? s->size() : QSize(1024, 768);
  Edit_x->setText(QString::number(screenSize.width() + geometry().width() - frameGeometry().width()));
  Edit_y->setText(QString::number(screenSize.height() + geometry().height() - frameGeometry().height()));
}

void Tconfgraf::Button_colourClick() {
  QColorDialog d(ToQColor(RgbFromValue(Settings.BackgroundColour)), this);
  d.setOption(QColorDialog::DontUseNativeDialog);
  if (d.exec() != QDialog::Accepted) return;
  Settings.BackgroundColour = ColourValue(d.selectedColor());
  showPanel();
}

void Tconfgraf::store() {
  Settings.ColourGraphics = colourItems->checkedId() == 0;
  Settings.ScreenTextStyle = LeftText(OemText(Edit_font->text()), 60);
  Settings.ScreenTextRatio = RealField(Edit_textbreitenfaktor);
  Settings.TextHeightFactor = RealField(Edit_texthoehenfaktor);
  Settings.ScreenWidth = static_cast<uint16_t>(std::clamp<long long>(TextToInt(OemText(Edit_x->text())) - 1, 0, 65535));
  Settings.ScreenHeight = static_cast<uint16_t>(std::clamp<long long>(TextToInt(OemText(Edit_y->text())) - 1, 0, 65535));
  Settings.Panorama = RealField(Edit_panfaktor);
  Settings.Zoom = RealField(Edit_zoomfaktor);
  Settings.ScreendumpBorder = CheckBox_border->isChecked();
}

// ---------------------------------------------------------------------------
// Layer colours

TConfColor::TConfColor(QWidget* parent) : SettingsDialog(parent, "ConfColor", "Couleur", 1555) {
  static const char* const kLabels[16] = {
      "Couleur 1 (rouge)",           "Couleur 2 (jaune)",          "Couleur 3 (vert)",
      "Couleur 4 (cyan)",            "Couleur 5 (bleu)",           "Couleur 6 (magenta)",
      "Couleur 7 (blanc)",           "Couleur 8 (sombre bleu)",    "Couleur 9 (sombre vert)",
      "Couleur 10 (sombre cyan)",    "Couleur 11 (sombre rouge)",  "Couleur 12 (sombre magenta)",
      "Couleur 13 (brun)",           "Couleur 14 (clair gris)",    "Couleur 15 (sombre gris)",
      "Couleur 16 (noir)"};
  // Two groups: entries 1 to 8 and 9 to 16, side by side.
  for (int n = 0; n < 16; ++n) {
    const std::string name = "Edit" + std::to_string(n + 1);
    Edit[n] = addField(n % 8, kLabels[n], name.c_str(), IntToText(Settings.LayerColours[n]), n < 8 ? 0 : 2);
  }
}

void TConfColor::store() {
  for (int n = 0; n < 16; ++n) Settings.LayerColours[n] = IntField(Edit[n]);
}

// ---------------------------------------------------------------------------
// Print scale

Tconfprin::Tconfprin(QWidget* parent) : SettingsDialog(parent, "confprin", "Configuration Impression", 1935) {
  Edit_scale = addField(0, "Echelle x", "Edit_scale", RealToText(Settings.ScreendumpScale));
  Edit_scaley = addField(1, "Echelle y", "Edit_scaley", RealToText(Settings.PrintScaleVertical));
  Button_same = AddButton(this, "Button_same", "<");
  grid()->addWidget(Button_same, 1, 2);
  connect(Button_same, &QPushButton::clicked, this, [this] { Edit_scaley->setText(Edit_scale->text()); });

  auto* origin = new QGroupBox(QtText("Origine"), this);
  origin->setObjectName("GroupBox_origin");
  auto* originGrid = new QGridLayout(origin);
  Edit_xorigin = new QLineEdit(QString::number(Settings.ScreendumpOriginX), origin);
  Edit_xorigin->setObjectName("Edit_xorigin");
  Edit_yorigin = new QLineEdit(QString::number(Settings.ScreendumpOriginY), origin);
  Edit_yorigin->setObjectName("Edit_yorigin");
  originGrid->addWidget(new QLabel("x", origin), 0, 0);
  originGrid->addWidget(Edit_xorigin, 0, 1);
  originGrid->addWidget(new QLabel("y", origin), 1, 0);
  originGrid->addWidget(Edit_yorigin, 1, 1);
  grid()->addWidget(origin, 2, 0, 1, 3);

  CheckBox_border = new QCheckBox(QtText("Contour"), this);
  CheckBox_border->setObjectName("CheckBox_border");
  CheckBox_border->setChecked(Settings.ScreendumpBorder);
  grid()->addWidget(CheckBox_border, 3, 0, 1, 3);

  RadioGroup_mode = new QGroupBox(QtText("Ombrage"), this);
  RadioGroup_mode->setObjectName("RadioGroup_mode");
  modeItems = AddRadioItems(RadioGroup_mode, {"Monochrome", "Couleur / Niveau de gris"});
  if (QAbstractButton* b = modeItems->button(Settings.WindowsPrintMode - 1)) b->setChecked(true);
  grid()->addWidget(RadioGroup_mode, 4, 0, 1, 3);
}

void Tconfprin::store() {
  Settings.ScreendumpScale = RealField(Edit_scale);
  Settings.PrintScaleVertical = RealField(Edit_scaley);
  Settings.ScreendumpOriginX = IntField(Edit_xorigin);
  Settings.ScreendumpOriginY = IntField(Edit_yorigin);
  Settings.ScreendumpBorder = CheckBox_border->isChecked();
  // No item chosen leaves the mode as it was.
  if (modeItems->checkedId() >= 0) Settings.WindowsPrintMode = static_cast<uint16_t>(modeItems->checkedId() + 1);
}

}  // namespace planox
