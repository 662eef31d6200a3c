// What the Qt forms of every folder share: the placing of a dialog over
// the main window.
#pragma once

class QWidget;

namespace planox {

// Gives a dialog the main window's font scaled by Settings.FontScale,
// scales its size by Settings.InputWindowScale percent and, with centre,
// centres it over the main window and moves it 20 pixels lower (the offset
// from the main window's corner is never negative).
void PlaceDialog(QWidget* dialog, QWidget* mainWindow, bool centre = true);

}  // namespace planox
