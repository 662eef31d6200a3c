// Printing: the print job that replays the graphics window's display list
// with a printer page as the second target, the default printer of the
// batch run (or a PDF file where no printer is installed), and the view
// written to a PDF, SVG or PNG file.
//
// Every page is drawn by the window's own replay (GraphWindow::Replay)
// through the printer mapping, with the print settings of Settings:
// ScreendumpScale and PrintScaleVertical, the origin in millimetres,
// ScreendumpBorder and WindowsPrintMode.
#pragma once

#include <QSize>

#include <string>

class QPaintDevice;
class QPrinter;

namespace planox {

class TFquorgra;
struct PrinterTarget;

// Sets up a printer for the default printer; where no printer is
// installed, for a PDF file named after the drawing (Session.DrawingName +
// ".pdf") in the current directory. Returns false in that second case.
bool UseDefaultPrinter(QPrinter& printer);

// The print job: the window repaints once, then its list is replayed onto
// the printer page (texts on the page only) on a copy of the window's
// mapping, so a window repaint that is pausing for messages can neither
// refuse nor cut short the page. A PDF file is written beside its name and
// renamed over it when complete. Reports a printer that cannot start a
// job and sets AbortFlag.
void PrintWindow(TFquorgra& window, QPrinter& printer);

// The batch run's print: the current drawing on the default printer, or
// into its PDF file, saying so.
void PrintOnDefaultPrinter(TFquorgra& window);

// The print replay of the window's current view onto any paint device
// (the print preview, the exported files), on a copy of the window's
// mapping so the window itself does not change. With fit, the whole
// drawing as "ajuster" prints it. False when the replay stopped early.
bool ReplayPage(TFquorgra& window, QPaintDevice& device, bool fit);

// Writes what the window shows (its colours on its background) to a file,
// chosen by the name's extension: ".pdf" and ".svg" as vector pages the
// size of the drawing area, ".png" as an image of the given size (the
// drawing area's when empty; at most MaxImageSide on each side), the view
// kept in proportion and centred.
// The file is written beside its name and renamed over it when complete.
// Reports a failure, leaves no file and sets AbortFlag.
void ExportView(TFquorgra& window, const std::string& fileName, QSize size = {});

}  // namespace planox
