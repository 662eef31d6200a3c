// Printing through the print dialog into PDF files that poppler renders
// back (pdftoppm), the batch run's /G, the print preview and the exported
// views, all on the real main window with a drawing read from a file.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QXmlStreamReader>

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>

#include "app/planox1.h"
#include "base/session.h"
#include "base/startup.h"
#include "config/confdlg.h"
#include "drawing/drawing_support.h"
#include "drawing/dxfinvar.h"
#include "print/printconf.h"
#include "print/printer.h"
#include "support/qtsupport.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using test::G;
using test::onModal;

// The dependency script installs poppler's pdftoppm: a missing one fails.
bool HavePdftoppm() { return test::RunProgram({"/usr/bin/env", "pdftoppm", "-v"}, ".").exitCode == 0; }
#define REQUIRE_POPPLER() ASSERT_TRUE(HavePdftoppm()) << "pdftoppm (poppler-utils) is not installed"

// The box of the pixels that differ from the ground by more than a trace
// (grey pages: darker than light grey).
QRect Ink(const QImage& image, QRgb ground = qRgb(255, 255, 255)) {
  const bool grey = image.format() == QImage::Format_Grayscale8;
  int left = image.width(), top = image.height(), right = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* bytes = image.constScanLine(y);
    const QRgb* row = reinterpret_cast<const QRgb*>(bytes);
    for (int x = 0; x < image.width(); ++x) {
      if (grey ? bytes[x] > 200
               : std::abs(qRed(row[x]) - qRed(ground)) + std::abs(qGreen(row[x]) - qGreen(ground)) +
                         std::abs(qBlue(row[x]) - qBlue(ground)) <
                     60)
        continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Pixels of clear colour (one channel well apart from another).
int Coloured(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)}) > 80) ++n;
    }
  return n;
}

// A rectangle 1000 x 100 with a diagonal in red, a text in the middle of
// its lower half, and a green line; the header gives the extents.
std::string Drawing() {
  using test::Line;
  using test::Section;
  const std::string header = Section("HEADER", G(9, "$EXTMIN") + G(10, 0.0) + G(20, 0.0) + G(9, "$EXTMAX") +
                                                   G(10, 1000.0) + G(20, 100.0));
  const std::string tables =
      Section("TABLES", G(0, "TABLE") + G(2, "LAYER") + test::LayerEntry("R", 1) + test::LayerEntry("V", 3) + G(0, "ENDTAB"));
  const std::string text = G(0, "TEXT") + G(8, "R") + G(10, 600.0) + G(20, 20.0) + G(40, 20.0) + G(1, "PRINT");
  const std::string entities = Section("ENTITIES", Line(0, 0, 1000, 0, "R") + Line(1000, 0, 1000, 100, "R") +
                                                       Line(1000, 100, 0, 100, "R") + Line(0, 100, 0, 0, "R") +
                                                       Line(0, 0, 500, 100, "R") + Line(900, 10, 900, 90, "V") + text);
  return header + tables + entities + test::Eof();
}

class Printing : public test::Defaults {
 protected:
  void SetUp() override {
    Defaults::SetUp();
    ResetDrawingModel();
    oldStart = StartDir();
    SetStartDir(dir.path());
    Settings.TempDir = dir.path() + "/";
    // The drawing area of the figures: 1014 x 708 pixels.
    Settings.ScreenWidth = 1014;
    Settings.ScreenHeight = 708;
    test::WriteFile(dir.file("T.dxf"), Drawing());
    hh = std::make_unique<Thh>(std::vector<std::string>{});
    hh->FormCreate();
    hh->OpenDrawing(dir.file("T.dxf"));
    ASSERT_FALSE(Session.AbortFlag);
    ASSERT_EQ(hh->graph().W(), 1014);
    ASSERT_EQ(hh->graph().H(), 708);
  }
  void TearDown() override {
    hh.reset();
    SetStartDir(oldStart);
    Defaults::TearDown();
  }

  // A PDF printer on an A4 page at 600 dots per inch, the whole page
  // printable: device pixels are the rendered pixels.
  static void ToPdf(QPrinter& printer, const std::string& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    printer.setResolution(600);
  }

  // Print from the menu: the dialog's printer writes name, setup changes
  // the dialog, OK prints (portrait unless setup says otherwise).
  std::string print(const std::string& name, const std::function<void(TForm_printconf&)>& setup = {}) {
    const std::string file = dir.file(name);
    onModal([&](QWidget* w) {
      auto* d = qobject_cast<TForm_printconf*>(w);
      ASSERT_NE(d, nullptr);
      ToPdf(d->printer(), file);
      d->hochquerItems->button(0)->click();
      if (setup) setup(*d);
      d->Button_ok->click();
      pageWidth = d->printer().width();
      pageHeight = d->printer().height();
    });
    hh->item("mi_print")->trigger();
    return file;
  }

  // The page as pdftoppm renders it: in colour, or in grey at full size.
  QImage render(const std::string& pdf, int dpi) {
    const std::string out = pdf + "-page";
    const auto r = test::RunProgram({"/usr/bin/env", "pdftoppm", "-r", std::to_string(dpi), "-singlefile", pdf, out}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return QImage(QString::fromStdString(out + ".ppm")).convertToFormat(QImage::Format_RGB32);
  }
  QImage renderGrey(const std::string& pdf) {
    const std::string out = pdf + "-grey";
    const auto r = test::RunProgram({"/usr/bin/env", "pdftoppm", "-r", "600", "-gray", "-singlefile", pdf, out}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    QImageReader::setAllocationLimit(256);
    return QImage(QString::fromStdString(out + ".pgm"));
  }

  // The page pixel of a window pixel at print scales 1 and origin 0.
  int pageX(long double x) const { return int(std::lround(pageWidth * x / hh->graph().W())); }
  int pageY(long double y) const { return int(std::lround(pageHeight * y / hh->graph().H())); }

  test::TempDir dir;
  std::string oldStart;
  std::unique_ptr<Thh> hh;
  int pageWidth = 0, pageHeight = 0;
};

TEST_F(Printing, PageMappingOfTheDrawingAreaAndTheOrigin) {
  REQUIRE_POPPLER();
  const QRect plain = Ink(renderGrey(print("plain.pdf")));
  // Qt's A4 is 595 x 842 points: 4958 x 7017 pixels at 600 dots per inch.
  ASSERT_EQ(pageWidth, 4958);
  ASSERT_EQ(pageHeight, 7017);
  // The drawing fills the viewport's width (one pixel inside the drawing
  // area on each side): its right end is the page's right edge less one
  // window pixel.
  const Rect32 vp = hh->graph().ViewportPixels();
  EXPECT_NEAR(plain.left(), pageX(vp.left), 2);
  EXPECT_NEAR(plain.right(), pageX(vp.right), 2);
  EXPECT_EQ(pageX(vp.right + 1), 4958);
  EXPECT_NEAR(plain.bottom(), pageY(vp.bottom), 2);

  // Origin x 10 mm shifts the drawing right by round(4958 * 10 / 210) =
  // 236 printer pixels, origin y 10 mm down by as many.
  const QRect shifted = Ink(renderGrey(print("shifted.pdf", [](TForm_printconf& d) {
    d.Edit_xorigin->setText("10");
    d.Edit_yorigin->setText("10");
  })));
  EXPECT_NEAR(shifted.left() - plain.left(), 236, 1);
  EXPECT_NEAR(shifted.top() - plain.top(), 236, 1);
  EXPECT_GE(shifted.right(), pageWidth - 2);  // now past the page's right edge

  // Scale 0,5 in x (the comma is a decimal point) halves the width from the
  // page's left edge.
  const QRect half = Ink(renderGrey(print("half.pdf", [](TForm_printconf& d) { d.Edit_scalex->setText("0,5"); })));
  EXPECT_NEAR(half.right(), pageX(vp.right) / 2, 2);
  EXPECT_EQ(half.top(), plain.top());
}

TEST_F(Printing, MonochromePrintsBlackAndColourKeepsColours) {
  REQUIRE_POPPLER();
  const QImage mono = render(print("mono.pdf"), 150);
  const QImage colour = render(print("colour.pdf", [](TForm_printconf& d) { d.printmonoItems->button(1)->click(); }), 150);
  EXPECT_EQ(Settings.WindowsPrintMode, 2);
  EXPECT_EQ(Coloured(mono), 0);
  EXPECT_GT(Coloured(colour), 1000);
  // The text "PRINT" (x 600 to about 700, y 20 to 52) prints, black in
  // monochrome and red in colour.
  const auto textBox = [&](const QImage& page) {
    const GraphWindow& g = hh->graph();
    const double k = 150.0 / 600;
    return page.copy(QRect(QPoint(int(pageX(g.X(600)) * k), int(pageY(g.Y(60)) * k)),
                           QPoint(int(pageX(g.X(800)) * k), int(pageY(g.Y(10)) * k))));
  };
  EXPECT_FALSE(Ink(textBox(mono)).isEmpty());
  EXPECT_GT(Coloured(textBox(colour)), 20);
}

TEST_F(Printing, BorderAndFitFrameTheWholePageAfterAZoom) {
  REQUIRE_POPPLER();
  const QRect plain = Ink(render(print("plain.pdf"), 150));
  // Zoom into the left half: without "ajuster" the print shows the zoom.
  GraphWindow& g = hh->graph();
  const Rect32 vp = g.ViewportPixels();
  g.SetScale(vp.left, vp.top, (vp.left + vp.right) / 2, vp.bottom);
  const QRect zoomed = Ink(render(print("zoomed.pdf"), 150));
  EXPECT_GT(zoomed.height(), plain.height() * 3 / 2);

  // "ajuster" prints the whole drawing again and the zoom stays reset.
  const QRect fitted = Ink(render(print("fitted.pdf", [](TForm_printconf& d) { d.CheckBox_anpassen->setChecked(true); }), 150));
  EXPECT_NEAR(fitted.left(), plain.left(), 2);
  EXPECT_NEAR(fitted.right(), plain.right(), 2);
  EXPECT_EQ(g.ZoomRect(), g.ViewportPixels());

  // The border after "ajuster" frames the whole viewport: the page's edges.
  const QImage framed = render(print("framed.pdf", [](TForm_printconf& d) {
                                 d.CheckBox_anpassen->setChecked(true);
                                 d.CheckBox_umrandung->setChecked(true);
                               }),
                               150);
  const QRect frame = Ink(framed);
  EXPECT_LE(frame.left(), 1);
  EXPECT_LE(frame.top(), 1);
  EXPECT_GE(frame.bottom(), framed.height() - 3);
  EXPECT_FALSE(Ink(framed.copy(0, framed.height() / 4, 3, framed.height() / 2)).isEmpty());
}

TEST_F(Printing, EveryOpeningStartsFromTheStartValues) {
  print("first.pdf", [](TForm_printconf& d) {
    d.Edit_scalex->setText("2");
    d.Edit_scaley->setText("abc");
    d.Edit_xorigin->setText("5");
    d.CheckBox_umrandung->setChecked(true);
  });
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Settings.ScreendumpScale, 2.0);
  EXPECT_EQ(Settings.PrintScaleVertical, 0.0);  // not a number
  EXPECT_EQ(Settings.ScreendumpOriginX, 5);
  EXPECT_TRUE(Settings.ScreendumpBorder);
  struct stat st;
  EXPECT_EQ(stat(dir.file("first.pdf").c_str(), &st), 0);
  EXPECT_NE(stat(dir.file("first.pdf.part").c_str(), &st), 0);

  Settings.WindowsPrintMode = 2;
  onModal([](QWidget* w) {
    auto* d = qobject_cast<TForm_printconf*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Impression");
    EXPECT_EQ(d->Edit_scalex->text(), "1");
    EXPECT_EQ(d->Edit_scaley->text(), "1");
    EXPECT_EQ(d->Edit_xorigin->text(), "0");
    EXPECT_EQ(d->Edit_yorigin->text(), "0");
    EXPECT_FALSE(d->CheckBox_umrandung->isChecked());
    EXPECT_EQ(d->hochquerItems->checkedId(), 1);  // landscape
    EXPECT_EQ(d->printmonoItems->checkedId(), 1);  // the colour mode is kept
    EXPECT_EQ(d->Label_scalex->text(), QString::fromUtf8("échelle x"));
    EXPECT_LE(d->Label_printer->text().size(), 40);
    d->Button_cancel->click();
  });
  hh->item("mi_print")->trigger();
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Settings.ScreendumpScale, 1.0);
}

TEST_F(Printing, PreviewShowsWhatOkPrints) {
  REQUIRE_POPPLER();
  bool previewed = false;
  onModal([&](QWidget* w) {
    auto* d = qobject_cast<TForm_printconf*>(w);
    ASSERT_NE(d, nullptr);
    onModal([&](QWidget* p) {
      previewed = qobject_cast<QPrintPreviewDialog*>(p) != nullptr;
      p->close();
    });
    d->Button_preview->click();
    d->Button_cancel->click();
  });
  hh->item("mi_print")->trigger();
  EXPECT_TRUE(previewed);

  // The preview's page replay and the print job draw the same page, also
  // with "ajuster" after a zoom (which the preview leaves undone).
  GraphWindow& g = hh->graph();
  const Rect32 vp = g.ViewportPixels();
  g.SetScale(vp.left, vp.top, (vp.left + vp.right) / 2, vp.bottom);
  Session.AbortFlag = false;
  Settings.ScreendumpBorder = true;
  Settings.ScreendumpOriginX = 7;
  QPrinter previewPage, printedPage;
  ToPdf(previewPage, dir.file("preview.pdf"));
  ToPdf(printedPage, dir.file("printed.pdf"));
  previewPage.setResolution(150);
  printedPage.setResolution(150);
  EXPECT_TRUE(ReplayPage(*hh, previewPage, true));
  EXPECT_NE(g.ZoomRect(), g.ViewportPixels());
  g.RestoreLimit();
  g.ResetZoom();
  g.ReSetWindow();
  PrintWindow(*hh, printedPage);
  ASSERT_FALSE(Session.AbortFlag);
  EXPECT_EQ(render(dir.file("preview.pdf"), 75), render(dir.file("printed.pdf"), 75));
}

TEST_F(Printing, BatchPrintWithoutPrinterWritesThePdfAndSaysSo) {
  REQUIRE_POPPLER();
  // No print server answers at this address, so no printer is installed.
  const std::vector<std::string> env = {"CUPS_SERVER=" + dir.file("no-server"), "QT_QPA_PLATFORM=offscreen"};
  auto r = test::RunProgram({test::ProgramPath(), "T.dxf", "/G"}, dir.path(), env);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("T.pdf"), std::string::npos) << r.err;
  const QRect ink = Ink(render(dir.file("T.pdf"), 50));
  EXPECT_FALSE(ink.isEmpty());

  // With a conversion target both happen.
  std::remove(dir.file("T.pdf").c_str());
  r = test::RunProgram({test::ProgramPath(), "T.dxf", "/CPS", "/G"}, dir.path(), env);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  struct stat st;
  EXPECT_EQ(stat(dir.file("T.pdf").c_str(), &st), 0);
  EXPECT_EQ(stat(dir.file("T.ps").c_str(), &st), 0) << r.err;
}

// ---------------------------------------------------------------------------
// Export

// The SVG's drawn elements by name.
std::map<std::string, int> SvgElements(const std::string& file) {
  QFile f(QString::fromStdString(file));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&f);
  std::map<std::string, int> n;
  while (!xml.atEnd())
    if (xml.readNext() == QXmlStreamReader::StartElement) ++n[xml.name().toString().toStdString()];
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return n;
}

TEST_F(Printing, ExportWritesTheViewAsSvgPdfAndPng) {
  REQUIRE_POPPLER();
  ExportView(*hh, dir.file("view.svg"));
  ASSERT_FALSE(Session.AbortFlag);
  auto svg = SvgElements(dir.file("view.svg"));
  // One element per drawn segment: the rectangle, the diagonal, the green
  // line; the text's glyphs are one path.
  EXPECT_EQ(svg["polyline"] + svg["line"], 6);
  EXPECT_EQ(svg["path"], 1);

  // The window's look: its background, the drawing where the window has it.
  const QRgb ground = qRgb(1, 0, 0);
  const GraphWindow& g = hh->graph();
  const QRect expected(QPoint(g.X(0), g.Y(100)), QPoint(g.X(1000), g.Y(0)));
  ExportView(*hh, dir.file("view.png"));
  const QImage png(QString::fromStdString(dir.file("view.png")));
  EXPECT_EQ(png.size(), QSize(1014, 708));
  const QRect pngInk = Ink(png.convertToFormat(QImage::Format_RGB32), ground);
  EXPECT_NEAR(pngInk.left(), expected.left(), 1);
  EXPECT_NEAR(pngInk.right(), expected.right(), 1);
  EXPECT_NEAR(pngInk.top(), expected.top(), 1);
  EXPECT_NEAR(pngInk.bottom(), expected.bottom(), 1);

  ExportView(*hh, dir.file("view.pdf"));
  ASSERT_FALSE(Session.AbortFlag);
  const QImage pdf = render(dir.file("view.pdf"), 72);  // one point a window pixel
  EXPECT_EQ(pdf.size(), QSize(1014, 708));
  const QRect pdfInk = Ink(pdf, ground);
  EXPECT_NEAR(pdfInk.left(), expected.left(), 2);
  EXPECT_NEAR(pdfInk.right(), expected.right(), 2);
  EXPECT_NEAR(pdfInk.bottom(), expected.bottom(), 2);

  // Another shape of image keeps the proportions and centres the view.
  ExportView(*hh, dir.file("wide.png"), QSize(1014, 354));
  const QRect wide = Ink(QImage(QString::fromStdString(dir.file("wide.png"))).convertToFormat(QImage::Format_RGB32), ground);
  EXPECT_NEAR(wide.width(), expected.width() / 2, 2);
  EXPECT_NEAR(wide.center().x(), 507, 2);

  // A name without a known type, or a folder that is not there: a message,
  // AbortFlag, no file.
  ExportView(*hh, dir.file("view.bmp"));
  EXPECT_TRUE(Session.AbortFlag);
  Session.AbortFlag = false;
  ExportView(*hh, dir.file("missing/view.svg"));
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_GE(ui.records.size(), 2u);
}

TEST_F(Printing, ExportFromTheMenu) {
  ui.answerText(dir.file("menu.png"));
  ui.answerText("200x100");  // the image size
  hh->item("mi_fileExport")->trigger();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(QImage(QString::fromStdString(dir.file("menu.png"))).size(), QSize(200, 100));
  for (const char* size : {"200", "0x100"}) {
    ui.answerText(dir.file("bad.png"));
    ui.answerText(size);
    hh->item("mi_fileExport")->trigger();
    EXPECT_TRUE(Session.AbortFlag) << size;
  }
  ui.answerText(dir.file("menu.doc"));
  hh->item("mi_fileExport")->trigger();
  EXPECT_TRUE(Session.AbortFlag);
  struct stat st;
  EXPECT_NE(stat(dir.file("bad.png").c_str(), &st), 0);
  EXPECT_NE(stat(dir.file("menu.doc").c_str(), &st), 0);
}

TEST_F(Printing, ExportFromTheCommandLine) {
  const std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen"};
  auto r = test::RunProgram({test::ProgramPath(), "--export", "out.svg", "T.dxf"}, dir.path(), env);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto svg = SvgElements(dir.file("out.svg"));
  EXPECT_EQ(svg["polyline"] + svg["line"], 6);

  r = test::RunProgram({test::ProgramPath(), "T.dxf", "--size", "300x200", "--export", "out.png"}, dir.path(), env);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(QImage(QString::fromStdString(dir.file("out.png"))).size(), QSize(300, 200));

  r = test::RunProgram({test::ProgramPath(), "--export", "out.pdf", "none.dxf"}, dir.path(), env);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("none.dxf"), std::string::npos) << r.err;
  struct stat st;
  EXPECT_NE(stat(dir.file("out.pdf").c_str(), &st), 0);

  r = test::RunProgram({test::ProgramPath(), "--export", "out.txt", "T.dxf"}, dir.path(), env);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("--export"), std::string::npos) << r.err;

  r = test::RunProgram({test::ProgramPath(), "--help"}, dir.path(), env);
  EXPECT_NE(r.out.find("--export"), std::string::npos);
}

// ---------------------------------------------------------------------------
// The menu

TEST_F(Printing, MenuItemsOpenTheirDialogs) {
  const std::pair<const char*, const char*> items[] = {{"mi_print", "planox::TForm_printconf"},
                                                       {"mi_optionsDirectories", "planox::TConfDir"},
                                                       {"mi_optionsPrinter", "planox::Tconfprin"},
                                                       {"mi_optionsGraphics", "planox::Tconfgraf"},
                                                       {"mi_optionsColours", "planox::TConfColor"}};
  for (auto [item, cls] : items) {
    std::string shown;
    onModal([&](QWidget* w) {
      shown = w->metaObject()->className();
      qobject_cast<QDialog*>(w)->reject();
    });
    hh->item(item)->trigger();
    EXPECT_EQ(shown, cls) << item;
    EXPECT_TRUE(Session.AbortFlag) << item;
  }

  // Ctrl+P in the window.
  hh->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(hh.get()));
  std::string shown;
  onModal([&](QWidget* w) {
    shown = w->metaObject()->className();
    qobject_cast<QDialog*>(w)->reject();
  });
  QTest::keyClick(hh->view(), Qt::Key_P, Qt::ControlModifier);
  QTest::qWait(100);
  EXPECT_EQ(shown, "planox::TForm_printconf");
}

TEST_F(Printing, GraphicsSettingsRepaintTheWindowInTheBackgroundColour) {
  onModal([](QWidget* w) {
    auto* d = qobject_cast<Tconfgraf*>(w);
    ASSERT_NE(d, nullptr);
    onModal([](QWidget* c) {
      auto* colours = qobject_cast<QColorDialog*>(c);
      ASSERT_NE(colours, nullptr);
      colours->setCurrentColor(QColor(0, 0, 255));
      colours->accept();
    });
    d->Button_colour->click();
    d->Button_cancel->click();  // the colour stays chosen
  });
  hh->item("mi_optionsGraphics")->trigger();
  EXPECT_EQ(Settings.BackgroundColour, 0xff0000);
  QTest::qWait(50);
  EXPECT_EQ(hh->image().pixel(0, 0), qRgb(0, 0, 255));
}

}  // namespace
}  // namespace planox
