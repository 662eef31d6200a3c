#include "print/printer.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cstdio>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "display/qtcanvas.h"
#include "display/tfquorgra.h"
#include "print/exportargs.h"

namespace planox {

namespace {

// Screen pixels per inch of the drawing area when it becomes a page.
constexpr double kScreenDpi = 96;
// Device pixels per inch of an exported PDF page.
constexpr int kPdfDpi = 1200;

QString FileNameOf(const std::string& oem) { return QString::fromStdString(Cp850ToUtf8(oem)); }
std::string OemOf(const QString& name) { return Utf8ToCp850(name.toStdString()); }

PrinterTarget TargetOn(Canvas& canvas, const QPaintDevice& device) {
  PrinterTarget t;
  t.canvas = &canvas;
  t.pageWidth = device.width();
  t.pageHeight = device.height();
  t.scaleX = Settings.ScreendumpScale;
  t.scaleY = Settings.PrintScaleVertical;
  t.originX = Settings.ScreendumpOriginX;
  t.originY = Settings.ScreendumpOriginY;
  t.border = Settings.ScreendumpBorder;
  return t;
}

// Replays a copy of the window's state onto the page target, so neither
// the window's mapping nor its list changes, also while the window's own
// replay pauses for messages. Fitting on the copy records nothing: the
// window records "ajuster" would add come after every drawn record, so they
// change nothing on the page.
bool ReplayCopy(TFquorgra& window, const PrinterTarget& target, bool fit) {
  GraphWindow copy = window.graph().PageCopy();
  if (fit) {
    DisplayList* list = copy.list();
    copy.setList(nullptr);
    copy.RestoreLimit();
    copy.ResetZoom();
    copy.ReSetWindow();
    copy.setList(list);
  }
  NullCanvas none;  // the window's side: only the page should see this replay
  copy.Printing = true;
  return copy.Replay(none, &target);
}

// The window's look on a page: its background, its colours, the drawing
// area kept in proportion and centred.
bool PaintWindowLook(TFquorgra& window, QPaintDevice& device) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  const int w = device.width(), h = device.height();
  painter.fillRect(QRect(0, 0, w, h), ToQColor(RgbFromValue(Settings.BackgroundColour)));
  PainterCanvas canvas(painter, w, h);
  const GraphWindow& g = window.graph();
  const long double s = std::min((long double)w / g.W(), (long double)h / g.H());
  PrinterTarget t;
  t.canvas = &canvas;
  t.pageWidth = w;
  t.pageHeight = h;
  t.scaleX = s * g.W() / w;
  t.scaleY = s * g.H() / h;
  // Origins are millimetres of a page 210 mm wide.
  t.originX = (w - s * g.W()) / 2 * 210 / w;
  t.originY = (h - s * g.H()) / 2 * 210 / w;
  // The printer's colour rule in colour mode is the window's rule.
  const uint16_t mode = Settings.WindowsPrintMode;
  Settings.WindowsPrintMode = Settings.ColourGraphics ? 2 : 1;
  const bool complete = ReplayCopy(window, t, false);
  Settings.WindowsPrintMode = mode;
  return painter.end() && complete;
}

bool WriteExport(TFquorgra& window, const std::string& type, QIODevice& file, QSize size) {
  const GraphWindow& g = window.graph();
  if (type == "svg") {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(QSize(g.W(), g.H()));
    svg.setViewBox(QRect(0, 0, g.W(), g.H()));
    svg.setTitle(FileNameOf(Session.DrawingName));
    svg.setResolution(int(kScreenDpi));
    return PaintWindowLook(window, svg);
  }
  if (type == "pdf") {
    QPdfWriter pdf(&file);
    pdf.setTitle(FileNameOf(Session.DrawingName));
    pdf.setResolution(kPdfDpi);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    // One point a window pixel.
    pdf.setPageSize(QPageSize(QSize(g.W(), g.H()), QString(), QPageSize::ExactMatch));
    return PaintWindowLook(window, pdf);
  }
  if (size.isEmpty()) size = QSize(g.W(), g.H());
  QImage image(size, QImage::Format_RGB32);
  return !image.isNull() && PaintWindowLook(window, image) && image.save(&file, "PNG");
}

}  // namespace

bool UseDefaultPrinter(QPrinter& printer) {
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull() && !QPrinterInfo::availablePrinters().isEmpty()) info = QPrinterInfo::availablePrinters().first();
  if (!info.isNull()) {
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(info.printerName());
    return true;
  }
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(FileNameOf(Session.DrawingName + ".pdf"));
  return false;
}

void PrintWindow(TFquorgra& window, QPrinter& printer) {
  const QString file = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
  const std::string name = OemOf(file.isEmpty() ? printer.printerName() : file);
  if (!file.isEmpty()) printer.setOutputFileName(file + ".part");
  window.FormPaint();
  QPainter painter;
  bool done = painter.begin(&printer);
  if (done) {
    PainterCanvas canvas(painter, printer.width(), printer.height());
    ReplayCopy(window, TargetOn(canvas, printer), false);
    done = painter.end();
  }
  if (!file.isEmpty()) {
    printer.setOutputFileName(file);
    const std::string part = OemOf(file + ".part");
    if (done) done = std::rename(part.c_str(), name.c_str()) == 0;
    if (!done) std::remove(part.c_str());
  }
  if (!done) {
    ReportError("Impression impossible : " + name);
    Session.AbortFlag = true;
  }
}

void PrintOnDefaultPrinter(TFquorgra& window) {
  QPrinter printer(QPrinter::HighResolution);
  const bool installed = UseDefaultPrinter(printer);
  PrintWindow(window, printer);
  if (!installed && !Session.AbortFlag)
    ShowInfo("Aucune imprimante install\x82" "e : le dessin est \x82" "crit dans " + OemOf(printer.outputFileName()));
}

bool ReplayPage(TFquorgra& window, QPaintDevice& device, bool fit) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  PainterCanvas canvas(painter, device.width(), device.height());
  const bool complete = ReplayCopy(window, TargetOn(canvas, device), fit);
  return painter.end() && complete;
}

void ExportView(TFquorgra& window, const std::string& fileName, QSize size) {
  const std::string type = ExportType(fileName);
  std::string problem;
  if (type.empty())
    problem = " : format inconnu (pdf, svg, png)";
  else if (size.width() > MaxImageSide || size.height() > MaxImageSide)
    problem = " : taille d'image hors limites (1.." + std::to_string(MaxImageSide) + ")";
  if (problem.empty()) {
    QSaveFile file(FileNameOf(fileName));
    if (!file.open(QIODevice::WriteOnly))
      problem = " : " + OemOf(file.errorString());
    else if (!WriteExport(window, type, file, size))
      problem = " : le dessin n'a pas pu " "\x88" "tre " "\x82" "crit";
    else if (!file.commit())
      problem = " : " + OemOf(file.errorString());
    if (!problem.empty()) file.cancelWriting();
  }
  if (!problem.empty()) {
    ReportError(fileName + problem);
    Session.AbortFlag = true;
  }
}

}  // namespace planox
