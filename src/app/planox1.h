// The main window: the menu bar with every command, the recent-file list,
// the title, and the start-up and shutdown sequence around them. It is the
// graphics window as well (it derives from TFquorgra), so the drawing fills
// its client area.
#pragma once

#include <QAction>
#include <QMenu>

class QMimeData;

#include <array>
#include <map>
#include <string>
#include <vector>

#include "display/tfquorgra.h"

namespace planox {

class Thh : public TFquorgra {
  Q_OBJECT
 public:
  // args: the command line without the program name.
  explicit Thh(std::vector<std::string> args, QWidget* parent = nullptr);
  ~Thh() override;  // FormDestroy

  // The start-up sequence. Throws ProgramExit when the program must end
  // without showing the window (usage text, batch run, a start-up error).
  void FormCreate();

  // Language switch: fills both caption tables for the code (1 German,
  // 2 English, 3 French, 8 Korean) and applies them.
  void SetMenuLanguage(int code);
  void ApplyMenuCaptions();
  void UpdateFileMenu();
  // UpdateFileMenu, then the title rule (also restores the default cursor).
  void RefreshMenuAndTitle();

  void OpenDrawing(const std::string& fullName);
  // An HP-GL file drawn by the interpreter in a window that fits it; the
  // current drawing stays the current one for conversion and Regen.
  void OpenPlotFile(const std::string& fullName);
  // The common tail of every load: the world window from DrawingExtents,
  // remembered for zoom-all, then header and drawing.
  void ShowAndSize();

  QuorGraf& quorGraf() { return quor_; }

  // A file from the desktop (dropped on the window): opened as File > Open
  // opens a drawing, and added to the recent files.
  void OpenFromDesktop(const std::string& fullName);
  // The first local file in dropped data that the window opens (a DXF or
  // HP-GL file, by its extension); "" when there is none.
  static std::string DroppedDrawing(const QMimeData& data);

  // The load and convert commands.
  void OpenWithLimits();
  void SaveDrawingAs();
  void ConvertCurrent();
  void ConvertOther();

  // A menu, menu item or separator by its name ("mi_fileOpen").
  QAction* item(const std::string& name) const;
  QMenu* menu(const std::string& name) const;

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildMenus();
  QMenu* addMenu(const char* name, const char* caption);
  QAction* addItem(QMenu* menu, const char* name, const char* caption, void (Thh::*handler)() = nullptr);
  void applyWindowGeometry();
  // Converts the current drawing; a finished conversion shows its report
  // (on the file channel after PlotFile + " OK").
  void convertAndReport();
  // The batch run's print of the drawing it has just read.
  void PrintBatchDrawing();
  // Shows a settings dialog placed over the window.
  template <class Dialog>
  void showSettings();

  // Command handlers.
  void mi_fileOpenClick();
  void mi_FileOpenLimitClick();
  void mi_FileSaveAsClick();
  void mi_printClick();
  void mi_fileExportClick();
  void mi_ViewInfoClick();
  void mi_viewblocksClick();
  void mi_convertCurFileClick();
  void mi_ConvertnewFileClick();
  void mi_optionsConverterClick();
  void mi_optionsPenTableClick();
  void mi_optionsDirectoriesClick();
  void mi_optionsPrinterClick();
  void mi_optionsGraphicsClick();
  void mi_optionsColoursClick();
  void mi_optionsSaveClick();
  void mi_optionsLoadClick();
  void mi_fileexitClick();
  void mi_ViewClearClick();
  void mi_ViewRedrawClick();
  void mi_ViewRegenClick();
  void mi_helplanguageDeutschClick() { SetMenuLanguage(1); }
  void mi_helplanguageEnglishClick() { SetMenuLanguage(2); }
  void mi_helplanguageFrancaisClick() { SetMenuLanguage(3); }
  void mi_helplanguageKoreaClick() { SetMenuLanguage(8); }
  void mi_helpwwwClick();
  void mi_helpemailClick();
  void mi_infoPlanoxClick();
  void Mi_HilfebildClick();
  void mi_helperrorClick();
  void OpenRecentFile(int n);

  QuorGraf quor_{graph()};
  std::vector<std::string> args_;
  std::string shownPlot_;  // the HP-GL file the window shows, "" for the drawing
  bool started_ = false;  // FormCreate ran to the end: save the session at exit
  std::map<std::string, QAction*> items_;
  std::map<std::string, QMenu*> menus_;
  std::array<QAction*, 4> recent_{};
  QAction* recentSeparator_ = nullptr;
};

// Prints the usage text on standard output.
void ShowUsage();

}  // namespace planox
