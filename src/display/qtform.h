// What the Qt forms of every folder share: texts between code page 850 and
// Qt, and the placing of a dialog over the main window.
#pragma once

#include <QString>

#include <string>

class QBoxLayout;
class QPushButton;
class QWidget;

namespace planox {

// A code page 850 text as a Qt widget shows it.
QString QtText(const std::string& oem);
// A text from a Qt widget in code page 850 ("?" for what it cannot hold).
std::string OemText(const QString& text);

// Gives a dialog the main window's font scaled by Settings.FontScale,
// scales its size by Settings.InputWindowScale percent and, with centre,
// centres it over the main window and moves it 20 pixels lower (the offset
// from the main window's corner is never negative).
void PlaceDialog(QWidget* dialog, QWidget* mainWindow, bool centre = true);

// A button of a dialog's button row, added to the row: its caption (code
// page 850) and object name. The default button is the one Enter presses;
// no other button becomes the default by taking the focus.
QPushButton* RowButton(QWidget* dialog, QBoxLayout* row, const char* name, const char* caption,
                       bool isDefault = false);

}  // namespace planox
