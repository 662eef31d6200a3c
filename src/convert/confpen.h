// The pen table dialog: for the chosen conversion target, the pen (tool,
// colour, line width) and the speed of each drawing colour 1..15. Colour 0
// is never output and is not offered.
#pragma once

#include <QDialog>

#include <string>

class QComboBox;
class QPushButton;
class QTableWidget;

namespace planox {

class TForm_confPentable : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_confPentable(QWidget* parent = nullptr);

  // The grid as cells [column][row]: row 0 holds the column headers,
  // rows 1..15 the colours (code page 850 text).
  std::string Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);

  // Targets whose pens have a speed column.
  static bool HasSpeeds(int syntaxCode);

  // Cancel, Escape and closing the window keep the grid unstored.
  QComboBox* ComboBox1;
  QTableWidget* StringGrid1;
  QPushButton *Button_ok, *Button_cancel, *Button_help, *Button_help2;

 private:
  void ComboBox1Change();
  void Button_okClick();
  void Button_helpClick();
  void Button_help2Click();
  // Fills headers and cells for Settings.SyntaxCode from the pen table.
  void BuildGrid();
};

}  // namespace planox
