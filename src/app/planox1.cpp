#include "app/planox1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMenuBar>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QStatusBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>

#include <algorithm>

#include "app/batch.h"
#include "base/prompts.h"
#include "app/recent.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/textconv.h"
#include "app/blocksel.h"
#include "app/dialogs.h"
#include "app/infodialog.h"
#include "app/limitsdialog.h"
#include "base/fileio.h"
#include "config/configio.h"
#include "convert/confpen.h"
#include "convert/plot.h"
#include "convert/plotkonv.h"
#include "config/confdlg.h"
#include "print/printconf.h"
#include "print/exportargs.h"
#include "print/printer.h"
#include "display/shpin.h"
#include "drawing/dxfin.h"
#include "drawing/report.h"
#include "drawing/sinks.h"
#include "app/usage.h"
#include "display/hpglin.h"
#include "help/hbild.h"
#include "help/helperr.h"
#include "help/helpforms.h"
#include "help/helptext.h"
#include "help/vmenu1.h"
#include "help/vmenuhp.h"
#include "display/qtform.h"

namespace planox {

namespace {

// Splits a full name as the session expects it.
void takeDrawingName(const std::string& fullName) {
  Session.DrawingName = BaseName(fullName);
  Session.InPath = DirectoryPart(fullName);
  Session.DrawingDir = Session.InPath;
  Session.FileExtension = UpperText(DrawingExtension(fullName));
}

void screenSize(int& width, int& height) {
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    width = s->availableGeometry().width();
    height = s->availableGeometry().height();
  }
}

}  // namespace

Thh::Thh(std::vector<std::string> args, QWidget* parent) : TFquorgra(parent), args_(std::move(args)) {
  setObjectName("hh");
  setWindowTitle("PLANOX");
  resize(580, 375);
  setAcceptDrops(true);
  buildMenus();
  quor_.H_Init();
  SetGraphicsSink(&quor_);
  // Conversions reach the output driver; the configuration derives sizes
  // from the real screen.
  InstallPlotDriver();
  SetScreenSizeHook(screenSize);
  // Help pictures are drawn in this window; the prompts' help buttons and
  // the help windows are shown over it.
  SetHelpGraphics(&quor_);
  InstallHelpHooks();
  InstallHelpWindows(this);
}

Thh::~Thh() {
  // FormDestroy: the recent-file list survives the run. A run that ended
  // during start-up never loaded it and must not overwrite it.
  if (started_) SaveSession();
  SetGraphicsSink(nullptr);
  SetPlotSink(nullptr);
  SetScreenSizeHook(nullptr);
  SetHelpGraphics(nullptr);
  SetHelpHooks(nullptr, nullptr);
  InstallHelpWindows(nullptr);
  quor_.H_Done();
}

QMenu* Thh::addMenu(const char* name, const char* caption) {
  QMenu* m = menuBar()->addMenu(QString::fromUtf8(caption));
  m->setObjectName(name);
  m->menuAction()->setObjectName(name);
  menus_[name] = m;
  items_[name] = m->menuAction();
  return m;
}

QAction* Thh::addItem(QMenu* m, const char* name, const char* caption, void (Thh::*handler)()) {
  QAction* a = m->addAction(QString::fromUtf8(caption));
  a->setObjectName(name);
  items_[name] = a;
  if (handler) connect(a, &QAction::triggered, this, handler);
  return a;
}

void Thh::buildMenus() {
  QMenu* file = addMenu("mi_file", "&File");
  addItem(file, "mi_fileOpen", "&Open...", &Thh::mi_fileOpenClick);
  addItem(file, "mi_FileOpenLimit", "Open &Limit...", &Thh::mi_FileOpenLimitClick);
  addItem(file, "mi_FileSaveAs", "Save &As...", &Thh::mi_FileSaveAsClick);
  file->addSeparator();
  addItem(file, "mi_print", "&Print", &Thh::mi_printClick)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  addItem(file, "mi_fileExport", "Exporter…", &Thh::mi_fileExportClick);
  file->addSeparator();
  for (int n = 1; n <= 4; ++n) {
    std::string name = "mi_file" + std::to_string(n);
    recent_[n - 1] = addItem(file, name.c_str(), "");
    connect(recent_[n - 1], &QAction::triggered, this, [this, n] { OpenRecentFile(n); });
  }
  recentSeparator_ = file->addSeparator();
  addItem(file, "mi_fileexit", "E&xit", &Thh::mi_fileexitClick);

  QMenu* view = addMenu("mi_View", "&View");
  addItem(view, "mi_ViewInfo", "&Info", &Thh::mi_ViewInfoClick);
  addItem(view, "mi_ViewClear", "&Clear", &Thh::mi_ViewClearClick);
  addItem(view, "mi_ViewRedraw", "Re&draw", &Thh::mi_ViewRedrawClick);
  addItem(view, "mi_ViewRegen", "&Regen", &Thh::mi_ViewRegenClick);
  addItem(view, "mi_viewblocks", "&Blocks", &Thh::mi_viewblocksClick);

  QMenu* convert = addMenu("mi_convert", "Convert");
  addItem(convert, "mi_convertCurFile", "Current File", &Thh::mi_convertCurFileClick);
  addItem(convert, "mi_ConvertnewFile", "NewFile", &Thh::mi_ConvertnewFileClick);

  QMenu* options = addMenu("mi_options", "Options");
  addItem(options, "mi_optionsConverter", "Converter", &Thh::mi_optionsConverterClick);
  addItem(options, "mi_optionsPenTable", "Pen Table", &Thh::mi_optionsPenTableClick);
  addItem(options, "mi_optionsDirectories", "Directories", &Thh::mi_optionsDirectoriesClick);
  addItem(options, "mi_optionsPrinter", "Printer", &Thh::mi_optionsPrinterClick);
  addItem(options, "mi_optionsGraphics", "Graphics", &Thh::mi_optionsGraphicsClick);
  addItem(options, "mi_optionsColours", "Colours", &Thh::mi_optionsColoursClick);
  options->addSeparator();
  addItem(options, "mi_optionsSave", "Save", &Thh::mi_optionsSaveClick);
  addItem(options, "mi_optionsLoad", "Load", &Thh::mi_optionsLoadClick);

  QMenu* help = addMenu("mi_help", "&Help");
  addItem(help, "Mi_Hilfebild", "&Hilfebild", &Thh::Mi_HilfebildClick);
  addItem(help, "mi_helperror", "Error Messages", &Thh::mi_helperrorClick);
  QMenu* language = help->addMenu("Language");
  language->setObjectName("mi_helplanguage");
  language->menuAction()->setObjectName("mi_helplanguage");
  menus_["mi_helplanguage"] = language;
  items_["mi_helplanguage"] = language->menuAction();
  addItem(language, "mi_helplanguageDeutsch", "&Deutsch", &Thh::mi_helplanguageDeutschClick);
  addItem(language, "mi_helplanguageEnglish", "&English", &Thh::mi_helplanguageEnglishClick);
  addItem(language, "mi_helplanguageFrancais", "&Francais", &Thh::mi_helplanguageFrancaisClick);
  addItem(language, "mi_helplanguageKorea", "&Korea", &Thh::mi_helplanguageKoreaClick);
  help->addSeparator();
  addItem(help, "mi_helpwww", "", &Thh::mi_helpwwwClick);
  addItem(help, "mi_helpemail", "", &Thh::mi_helpemailClick);
  help->addSeparator();
  addItem(help, "mi_infoPlanox", "&PLANOX", &Thh::mi_infoPlanoxClick);
}

QAction* Thh::item(const std::string& name) const {
  auto it = items_.find(name);
  return it == items_.end() ? nullptr : it->second;
}

QMenu* Thh::menu(const std::string& name) const {
  auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second;
}

void Thh::ApplyMenuCaptions() {
  for (const auto& [name, caption] : MenuCaptionTable())
    if (QAction* a = item(name)) a->setText(QString::fromStdString(caption));
}

void Thh::SetMenuLanguage(int code) {
  FillGeneralCaptions(code);
  FillProgramCaptions(code);
  ApplyMenuCaptions();
  UpdateFileMenu();
}

void Thh::UpdateFileMenu() {
  recentSeparator_->setVisible(!Session.RecentFiles[0].empty());
  for (int n = 1; n <= 4; ++n) {
    const std::string& entry = Session.RecentFiles[n - 1];
    recent_[n - 1]->setVisible(!entry.empty());
    // "&" in a file name is a literal character, not an accelerator mark.
    QString caption = QtText(RecentFileCaption(n));
    caption = "&" + caption.mid(1).replace("&", "&&");
    recent_[n - 1]->setText(caption);
  }
}

void Thh::RefreshMenuAndTitle() {
  UpdateFileMenu();
  QApplication::setApplicationDisplayName(QString());
  setWindowTitle(QtText(shownPlot_.empty() ? TitleText() : std::string(ProgramTitle) + "  -  " + shownPlot_));
  WaitCursorOff();
}

void Thh::applyWindowGeometry() {
  QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                  : QRect(0, 0, 1024, 768);
  // Without a stored size the window takes the screen less a margin.
  if (Settings.ScreenWidth == 0 || Settings.ScreenWidth == 65535)
    Settings.ScreenWidth = static_cast<uint16_t>(std::max(100, screen.width() - 10));
  if (Settings.ScreenHeight == 0 || Settings.ScreenHeight == 65535)
    Settings.ScreenHeight = static_cast<uint16_t>(std::max(100, screen.height() - 60));
  // The client area paints itself in BackgroundColour; the menu bar keeps
  // the desktop's colours.
  move(0, 0);
  ApplyDrawingArea();
  // The client area is what the menu bar and the status line leave of the
  // window.
  resize(Settings.ScreenWidth + 1,
         Settings.ScreenHeight + 1 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

void ShowUsage() { PrintUsage(); }

void Thh::FormCreate() {
  ApplyMenuCaptions();
  StartupWindow window;
  window.openDrawing = [this](const std::string& fullName) { OpenDrawing(fullName); };
  window.drawLogo = [this] {
    quor_.H_SetWindow(0.1, 0.05, 0.95, 0.95, 0, 0, 36.9, 32, true, true);
    quor_.H_DrawLogo();
  };
  StartProgram(args_, window);

  if (args_.size() == 1 && (args_[0] == "?" || args_[0] == "/?")) {
    ShowUsage();
    throw ProgramExit{0};
  }
  if (args_.size() == 1 && IsHpglFileName(args_[0])) {
    Session.NameFromCommandLine = false;
    Session.DrawingName.clear();
    Session.FileExtension = "dxf";
    OpenPlotFile(args_[0]);
    if (Session.AbortFlag) throw ProgramExit{0};
  } else if (args_.size() == 1) {
    Session.AbortFlag = false;
    Session.NameFromCommandLine = false;
    takeDrawingName(args_[0]);
    Session.ShowErrors = true;
    WaitCursorOn();
    ReadDrawing(ReadHeaderOnly);
    if (Session.AbortFlag && WorkCancelled()) {
      // The user stopped the first read: the window opens without a drawing.
      Session.DrawingName.clear();
      Session.AbortFlag = false;
    } else {
      if (Session.AbortFlag) throw ProgramExit{0};
      ShowAndSize();
      Session.PlotFile = Session.DrawingName;
    }
  } else if (args_.size() >= 2) {
    RunBatch(args_, BatchActions{[this] { PrintBatchDrawing(); }});
  }

  applyWindowGeometry();
  LoadSession();
  Session.AbortFlag = false;
  RefreshMenuAndTitle();
  started_ = true;
}

void Thh::OpenDrawing(const std::string& fullName) {
  Session.AbortFlag = false;
  Session.NameFromCommandLine = false;
  takeDrawingName(fullName);
  Session.ShowErrors = true;
  WaitCursorOn();
  ReadDrawing(ReadHeaderOnly);
  if (Session.AbortFlag) return;
  ShowAndSize();
  Session.PlotFile = Session.DrawingName;
}

void Thh::OpenPlotFile(const std::string& fullName) {
  Session.AbortFlag = false;
  CheckInputFile(fullName);
  if (Session.AbortFlag) return;
  HpglBox b;
  if (!HpglFileExtents(fullName, b)) {
    ShowInfo(fullName + " : aucun trait HP-GL");
    Session.AbortFlag = true;
    return;
  }
  // A file that draws one point or one straight line still gets a window.
  const double margin = std::max({b.xmax - b.xmin, b.ymax - b.ymin, 1.0}) * 0.01;
  quor_.H_SetWaitCursor();
  quor_.H_SetWindow(0, 0, 1, 1, b.xmin - margin, b.ymin - margin, b.xmax + margin, b.ymax + margin, true, true);
  quor_.H_SaveLimit();
  quor_.H_Clear();
  const WorldWindow& l = quor_.DrawingLimits();
  quor_.H_Header(l.xmin, l.ymin, l.xmax, l.ymax);
  const HpglState kept = HpglPictureState;
  ResetHpglState();
  InterpretHpglFile(fullName, quor_);
  HpglPictureState = kept;
  quor_.H_ClearViewPort();
  shownPlot_ = fullName.substr(DirectoryPart(fullName).size());
  // The recent-file list takes it like a drawing; the drawing's own
  // directory and extension stay as they were.
  const std::string dir = Session.DrawingDir, extension = Session.FileExtension;
  Session.DrawingDir = DirectoryPart(fullName);
  Session.FileExtension = shownPlot_.substr(shownPlot_.rfind('.') + 1);
  AddRecentFile(shownPlot_.substr(0, shownPlot_.rfind('.')));
  Session.DrawingDir = dir;
  Session.FileExtension = extension;
  RefreshMenuAndTitle();
}

void Thh::ShowAndSize() {
  shownPlot_.clear();
  quor_.H_SetWaitCursor();
  Extents& e = Session.DrawingExtents;
  for (int pass = 0; pass < 2; ++pass) {
    quor_.H_SetWindow(0, 0, 1, 1, static_cast<double>(e.XMin), static_cast<double>(e.YMin),
                      static_cast<double>(e.XMax), static_cast<double>(e.YMax), true, true);
    quor_.H_SaveLimit();
    if (Session.AbortFlag) return;
    quor_.H_Clear();
    const WorldWindow& l = quor_.DrawingLimits();
    quor_.H_Header(l.xmin, l.ymin, l.xmax, l.ymax);
    ReadDrawing(ReadForDisplay);
    // Header extents can be stale: a drawing that reaches beyond them is
    // shown again in a window that holds all of it, which zoom-all keeps.
    const Box d = DrawnBox;
    const long double slack = 1e-6L * std::max(e.XMax - e.XMin, e.YMax - e.YMin);
    if (Session.AbortFlag || !(d.XMin <= d.XMax && d.YMin <= d.YMax) ||
        (d.XMin >= e.XMin - slack && d.YMin >= e.YMin - slack && d.XMax <= e.XMax + slack &&
         d.YMax <= e.YMax + slack))
      return;
    e.XMin = std::min(e.XMin, d.XMin);
    e.YMin = std::min(e.YMin, d.YMin);
    e.XMax = std::max(e.XMax, d.XMax);
    e.YMax = std::max(e.YMax, d.YMax);
  }
}

void Thh::mi_fileOpenClick() {
  Session.AbortFlag = false;
  // Drawings and the HP-GL files a conversion wrote are offered together.
  std::string name;
  const std::string extension = Session.FileExtension;
  const std::string dir =
      ChooseFile("*." + extension + " *.plt *.pl2 *.hpg *.hpl *.hgl", Session.InPath, name, true, true);
  if (Session.AbortFlag) return;
  if (IsHpglFileName("." + Session.FileExtension)) {
    const std::string full = dir + name + "." + Session.FileExtension;
    Session.FileExtension = extension;
    Session.InPath = dir;
    OpenPlotFile(full);
    return;
  }
  Session.InPath = dir;
  Session.DrawingName = name;
  Session.PlotFile = Session.DrawingName;
  ReadDrawing(ReadHeaderOnly);
  if (Session.AbortFlag) return;
  ShowAndSize();
  Session.PlotFile = Session.DrawingName;
  Session.DrawingDir = Session.InPath;
  AddRecentFile(Session.DrawingName);
  RefreshMenuAndTitle();
}

void Thh::mi_ViewClearClick() {
  Session.AbortFlag = false;
  quor_.H_Clear();
  quor_.H_ResetZoom();
}

void Thh::mi_ViewRedrawClick() { quor_.H_Regen(); }

void Thh::mi_ViewRegenClick() {
  Session.AbortFlag = false;
  RefreshMenuAndTitle();
  quor_.H_SetWaitCursor();
  ReadDrawing(ReadHeaderOnly);
  if (Session.AbortFlag) return;
  ShowAndSize();
  RefreshMenuAndTitle();
}

void Thh::OpenRecentFile(int n) {
  Session.AbortFlag = false;
  std::string entry = Session.RecentFiles[n - 1];
  // The entry's file, or the one whose name matches it but for case.
  const std::string file = ExistingFileName(DirectoryPart(entry), FileNamePart(entry));
  if (IsRegularFile(file) && IsHpglFileName(file)) {
    OpenPlotFile(file);
  } else if (IsRegularFile(file)) {
    entry = file;
    Session.DrawingName = BaseName(entry);
    Session.DrawingDir = DirectoryPart(entry);
    OpenDrawing(entry);
    if (!Session.AbortFlag) AddRecentFile(Session.DrawingName);
    RefreshMenuAndTitle();
  } else {
    RemoveRecentFile(n);
    RefreshMenuAndTitle();
    ShowInfo("File " + entry + " not found !");
  }
}

std::string Thh::DroppedDrawing(const QMimeData& data) {
  for (const QUrl& url : data.urls()) {
    const QFileInfo file(url.toLocalFile());
    if (!url.isLocalFile() || !file.isFile()) continue;
    const std::string path = Utf8ToCp850(file.filePath().toStdString());
    if (IsHpglFileName(path) || file.suffix().toLower() == "dxf") return path;
  }
  return "";
}

void Thh::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedDrawing(*event->mimeData()).empty()) event->acceptProposedAction();
}

void Thh::dropEvent(QDropEvent* event) {
  const std::string name = DroppedDrawing(*event->mimeData());
  if (name.empty()) return;
  event->acceptProposedAction();
  // The drop ends before the drawing is read, so the file manager is not
  // kept waiting.
  QTimer::singleShot(0, this, [this, name] { OpenFromDesktop(name); });
}

void Thh::OpenFromDesktop(const std::string& fullName) {
  if (IsHpglFileName(fullName)) {
    OpenPlotFile(fullName);  // joins the recent files itself
    return;
  }
  OpenDrawing(fullName);
  if (!Session.AbortFlag) AddRecentFile(Session.DrawingName);
  RefreshMenuAndTitle();
}

void Thh::closeEvent(QCloseEvent* event) {
  RemoveTempFiles();
  event->accept();
}

void Thh::mi_fileexitClick() { close(); }

void Thh::mi_helpwwwClick() { QDesktopServices::openUrl(QUrl("https://planox.example.org/")); }

void Thh::mi_helpemailClick() {
  QDesktopServices::openUrl(QUrl(QString("mailto:support@planox.example.org?subject=%1 V%2")
                                     .arg(ProgramTitleUpper, VersionText)));
}

void Thh::Mi_HilfebildClick() { ShowHelpPictures(); }

void Thh::mi_helperrorClick() { ShowErrorLog(); }

void Thh::mi_infoPlanoxClick() {
  quor_.H_Clear();
  quor_.H_DrawLogo();
  QMessageBox box(this);
  box.setObjectName("TAboutBox");
  box.setWindowTitle(ProgramTitleUpper);
  box.setText(QString("%1\nVersion %2\nDXF viewer and converter").arg(ProgramTitle, VersionText));
  box.exec();
}

// ---- Open Limit, Save As ----

void Thh::mi_FileOpenLimitClick() {
  Session.AbortFlag = false;
  OpenWithLimits();
}

void Thh::OpenWithLimits() {
  quor_.H_SetWaitCursor();
  ChooseAndReadDrawing(ReadHeaderOnly);
  Session.DrawingDir = Session.InPath;
  if (Session.AbortFlag) {
    WaitCursorOff();
    return;
  }
  {
    Tw32plotg d(this);
    d.SetFields(quor_.DrawingLimits());
    PlaceDialog(&d, this);
    WaitCursorOff();  // the dialog waits for the user
    d.exec();
    if (Session.AbortFlag) return;  // the drawing is read but not drawn
    // A window without width or height cannot be shown: the drawing stays
    // undrawn and the window as it was, as after Cancel.
    const Extents typed = d.Values();
    if (!(typed.XMax != typed.XMin) || !(typed.YMax != typed.YMin)) {
      Session.AbortFlag = true;
      return;
    }
    Session.DrawingExtents = typed;
  }
  const Extents& e = Session.DrawingExtents;
  quor_.window().DrawingLimits = WorldWindow{e.XMin, e.YMin, e.XMax, e.YMax};
  quor_.H_SetWaitCursor();
  quor_.H_Header(static_cast<double>(e.XMin), static_cast<double>(e.YMin), static_cast<double>(e.XMax),
                 static_cast<double>(e.YMax));
  ShowAndSize();
  if (Session.AbortFlag) {
    WaitCursorOff();
    return;
  }
  Session.PlotFile = Session.DrawingName;
  Session.DrawingDir = Session.InPath;
  AddRecentFile(Session.DrawingName);
  RefreshMenuAndTitle();
}

void Thh::mi_FileSaveAsClick() {
  Session.AbortFlag = false;
  SaveDrawingAs();
}

namespace {

// Copies a file in blocks of 2048 bytes. A file that cannot be opened
// fails silently; a failed write is reported and keeps the old copy.
bool copyFile(const std::string& from, const std::string& to) {
  struct stat a {}, b {};
  // The same file under another name: it is already there, and opening it
  // for writing would destroy it.
  if (::stat(from.c_str(), &a) == 0 && ::stat(to.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
      a.st_ino == b.st_ino)
    return true;
  std::FILE* in = OpenRegularStream(from);
  if (!in) return false;
  ReplacingFile out;
  bool ok = out.Create(to);
  char buffer[2048];
  while (ok) {
    size_t n = std::fread(buffer, 1, sizeof buffer, in);
    if (n > 0 && !out.Write(std::string_view(buffer, n))) ok = false;
    if (n < sizeof buffer) break;
  }
  if (std::ferror(in)) ok = false;
  std::fclose(in);
  if (!ok || !out.Commit()) {
    ReportError("Erreur d'\x82" "criture : " + to);
    return false;
  }
  return true;
}

}  // namespace

void Thh::SaveDrawingAs() {
  const std::string remembered = Session.DrawingName;
  // The reader's file: its name is matched without regard to case.
  const std::string source = Session.DrawingName.empty() ? std::string() : DrawingFileName();
  Session.ShowErrors = false;
  CheckInputFile(source);
  Session.ShowErrors = true;
  if (Session.AbortFlag) {
    ReportError("Aucun fichier ouvert");
    return;
  }
  const std::string chosen = Ui().saveFileDialog("*." + Session.FileExtension, Session.DrawingDir);
  Session.NameFromCommandLine = false;
  if (chosen.empty()) {
    Session.AbortFlag = true;
    return;
  }
  Session.DrawingDir = DirectoryPart(chosen);
  const std::string name = BaseName(chosen);
  const std::string destination = WithSeparator(Session.DrawingDir) + name + "." + Session.FileExtension;
  CheckOutputFile(destination);
  if (Session.AbortFlag) return;
  if (!copyFile(source, destination)) {
    Session.AbortFlag = true;
    return;
  }
  Session.DrawingName = remembered;
  // The list names the file that was written.
  AddRecentFile(name);
  RefreshMenuAndTitle();
}

// ---- View Info, View Blocks ----

void Thh::mi_ViewInfoClick() {
  Session.AbortFlag = false;
  TForm_hpvinfo d(this, quor_.DrawingLimits());
  PlaceDialog(&d, this);
  d.exec();
}

void Thh::mi_viewblocksClick() {
  Session.AbortFlag = false;
  SelectBlock(quor_);
  WaitCursorOff();
}

// ---- Convert ----

void Thh::convertAndReport() {
  const bool converted = ConvertDrawing();
  WaitCursorOff();
  // A refused or failed conversion has said why; only a finished one
  // reports what it wrote and left out.
  if (converted) ShowReport(Settings.DeviceCode == 3 ? Session.PlotFile + " OK\n" : std::string());
}

void Thh::mi_convertCurFileClick() {
  Session.AbortFlag = false;
  ConvertCurrent();
}

void Thh::ConvertCurrent() {
  ConverterResult = 1;
  {
    Tplotkonvert d(this);
    PlaceDialog(&d, this);
    d.exec();
  }
  if (ConverterResult == ConverterRunSettings) EditConfiguration();
  if (Session.AbortFlag) return;
  convertAndReport();
}

void Thh::mi_ConvertnewFileClick() {
  Session.AbortFlag = false;
  ConvertOther();
}

void Thh::ConvertOther() {
  std::string chosen;
  const std::string dir = ChooseFile("*." + Session.FileExtension, Session.InPath, chosen, true, false);
  if (Session.AbortFlag) return;
  // The displayed drawing stays the current one: its name and directory
  // come back after the conversion, whatever happens.
  const std::string oldName = Session.DrawingName, oldPath = Session.InPath;
  const Extents shownExtents = Session.DrawingExtents;
  auto restore = [&] {
    Session.DrawingName = oldName;
    Session.InPath = oldPath;
  };
  Session.InPath = dir;
  Session.DrawingName = chosen;
  Session.PlotFile = Session.DrawingName;
  ConverterResult = 1;
  {
    Tplotkonvert d(this);
    PlaceDialog(&d, this);
    d.exec();
  }
  if (Session.AbortFlag) return restore();
  if (ConverterResult == ConverterRunSettings) EditConfiguration();
  if (Session.AbortFlag) return restore();
  convertAndReport();
  restore();
  Session.PlotFile = Session.DrawingName;
  // The conversion read another drawing's extents and blocks: the drawing
  // on screen is drawn again in its window, so that its block list and
  // block files are its own.
  Session.DrawingExtents = shownExtents;
  if (!oldName.empty()) {
    Session.AbortFlag = false;
    ShowAndSize();
    Session.DrawingExtents = shownExtents;
  }
}

// ---- Options ----

void Thh::mi_optionsConverterClick() {
  Session.AbortFlag = false;
  EditConfiguration();
}

void Thh::mi_optionsPenTableClick() {
  Session.AbortFlag = false;
  TForm_confPentable d(this);
  PlaceDialog(&d, this);
  d.exec();
}

template <class Dialog>
void Thh::showSettings() {
  Session.AbortFlag = false;
  Dialog d(this);
  PlaceDialog(&d, this);
  d.exec();
}

void Thh::mi_optionsDirectoriesClick() { showSettings<TConfDir>(); }
void Thh::mi_optionsPrinterClick() { showSettings<Tconfprin>(); }
void Thh::mi_optionsColoursClick() { showSettings<TConfColor>(); }

void Thh::mi_optionsGraphicsClick() {
  showSettings<Tconfgraf>();
  // The window takes the background colour (also one chosen before Cancel).
  invalidateWindow();
}

void Thh::mi_optionsSaveClick() {
  Session.AbortFlag = false;
  SaveConfiguration("");
}

void Thh::mi_optionsLoadClick() {
  Session.AbortFlag = false;
  LoadConfiguration("");
}

// ---- Print and export ----

void Thh::mi_printClick() {
  Session.AbortFlag = false;
  TForm_printconf d(*this, this);
  PlaceDialog(&d, this);
  d.exec();
}

void Thh::PrintBatchDrawing() {
  WaitCursorOn();
  ApplyDrawingArea();
  ShowAndSize();
  if (!Session.AbortFlag) PrintOnDefaultPrinter(*this);
  WaitCursorOff();
}

void Thh::mi_fileExportClick() {
  Session.AbortFlag = false;
  const std::string name = Ui().saveFileDialog("*.pdf *.svg *.png", Session.DrawingDir);
  if (name.empty()) {
    Session.AbortFlag = true;  // cancelled
    return;
  }
  QSize size;
  if (ExportType(name) == "png") {
    HelpNumber = 0;
    const std::string typed = AskText("Taille de l'image (largeur x hauteur)", 20,
                                      std::to_string(graph().W()) + "x" + std::to_string(graph().H()));
    if (Session.AbortFlag) return;
    int w = 0, h = 0;
    if (!ParseImageSize(typed, w, h)) {
      ReportError(typed + " : taille d'image non valide");
      Session.AbortFlag = true;
      return;
    }
    size = QSize(w, h);
  }
  CheckOutputFile(name);
  if (Session.AbortFlag) return;
  ExportView(*this, name, size);
}

}  // namespace planox
