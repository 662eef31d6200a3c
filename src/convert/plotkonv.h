// The converter dialog: target, output channel, port or file name, scale,
// text width ratio and zero-point shift of the next conversion. It edits
// the current settings; its Configuration button asks the caller to run
// the converter settings editor afterwards.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace planox {

// What the converter dialog asks its caller to do next: the caller sets it
// to 1 before showing the dialog; 300 asks for the settings editor.
extern uint16_t ConverterResult;
inline constexpr uint16_t ConverterRunSettings = 300;

class Tplotkonvert : public QDialog {
  Q_OBJECT
 public:
  explicit Tplotkonvert(QWidget* parent = nullptr);

  // Cancel, Escape and closing the window set AbortFlag.
  void reject() override;

  QGroupBox *RadioGroup1, *RadioGroup2;
  QButtonGroup *targets, *channels;  // ids 0..11 and 0..2 (code - 1)
  QLineEdit *Edit_com, *Edit_lpt, *Edit_file;
  QLabel *Label1, *Label2, *Label3, *Label4;
  QLineEdit *Edit1, *Edit2, *Edit3, *Edit4;
  QPushButton *Button_ok, *Button_cancel, *Button_einstellungen, *Button_hilfe;

 private:
  void RadioGroup2Click();
  void Button_okClick();
  void Button_einstellungenClick();
  void Button_hilfeClick();
  // Copies the fields into the settings. A field the user left as it was
  // shown keeps the exact value it stands for.
  void StoreFields();

  std::string shown_[7];  // the texts the fields were filled with
};

}  // namespace planox
