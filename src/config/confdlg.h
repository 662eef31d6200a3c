// The settings dialogs of the Options menu: directories (TConfDir),
// graphics window (Tconfgraf), layer colours (TConfColor) and print scale
// (Tconfprin). Each edits a group of Settings in memory; the user keeps them
// with Options Save. OK copies the fields into Settings and closes; Cancel
// (and Escape) sets AbortFlag and closes without copying; "&Aide" shows the
// dialog's help text and leaves it open. Texts in and out of the fields are
// code page 850, converted at the widgets.
#pragma once

#include <QDialog>

#include <array>
#include <initializer_list>
#include <string>

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace planox {

// Radio buttons in a group box, one per item, with ids from 0.
QButtonGroup* AddRadioItems(QGroupBox* group, std::initializer_list<const char*> items);

// The directory chooser: starts at the field's directory when it exists,
// returns the chosen directory with a separator, or the field unchanged
// (and AbortFlag clear) when cancelled.
std::string ChooseDirectory(QWidget* parent, const std::string& field);

// What the four dialogs share: caption, the button row "OK", "Annuler",
// "&Aide" and the help number.
class SettingsDialog : public QDialog {
  Q_OBJECT
 public:
  QPushButton *Button_ok, *Button_cancel, *Button_help;
  void reject() override;

 protected:
  SettingsDialog(QWidget* parent, const char* objectName, const char* caption, int helpNumber);
  // The dialog's fields go into this grid; the buttons come below it.
  QGridLayout* grid() const { return grid_; }
  // A label and a field in one row of the grid.
  QLineEdit* addField(int row, const char* label, const char* name, const std::string& value, int column = 0);
  virtual void store() = 0;

 private:
  QGridLayout* grid_;
};

class TConfDir : public SettingsDialog {
  Q_OBJECT
 public:
  explicit TConfDir(QWidget* parent = nullptr);
  QLineEdit *Edit_ext, *Edit_grafik, *Edit_temp, *EDit_plt, *Edit_exe;
  QPushButton *Button_grafdir, *Button_tempdir, *Button_pltdir, *Button_programdir;
  QCheckBox* CheckBox_shp;

 protected:
  void store() override;
};

class Tconfgraf : public SettingsDialog {
  Q_OBJECT
 public:
  explicit Tconfgraf(QWidget* parent = nullptr);
  QGroupBox* RadioGroup_colour;
  QButtonGroup* colourItems;  // 0 "color", 1 "monochrom"
  QLineEdit *Edit_font, *Edit_textbreitenfaktor, *Edit_texthoehenfaktor, *Edit_x, *Edit_y, *Edit_zoomfaktor,
      *Edit_panfaktor;
  QPushButton *Button_font, *Button_max, *Button_colour;
  QLabel* Panel_colour;
  QCheckBox* CheckBox_border;

  void Button_fontClick();
  void Button_maxClick();
  // Stores the chosen colour in BackgroundColour at once.
  void Button_colourClick();

 protected:
  void store() override;

 private:
  void showPanel();
};

class TConfColor : public SettingsDialog {
  Q_OBJECT
 public:
  explicit TConfColor(QWidget* parent = nullptr);
  std::array<QLineEdit*, 16> Edit{};  // Edit1 .. Edit16

 protected:
  void store() override;
};

class Tconfprin : public SettingsDialog {
  Q_OBJECT
 public:
  explicit Tconfprin(QWidget* parent = nullptr);
  QLineEdit *Edit_scale, *Edit_scaley, *Edit_xorigin, *Edit_yorigin;
  QPushButton* Button_same;  // "<": the y scale takes the x scale
  QCheckBox* CheckBox_border;
  QGroupBox* RadioGroup_mode;
  QButtonGroup* modeItems;  // 0 monochrome, 1 colour

 protected:
  void store() override;
};

}  // namespace planox
