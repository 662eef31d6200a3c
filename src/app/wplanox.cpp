// Program entry: the application object, the main window, the message loop.
// Batch runs and machines without a display use the console form of the
// prompts and never show a window.
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/batch.h"
#include "app/dialogs.h"
#include "app/planox1.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/terminate.h"
#include "base/textconv.h"
#include "print/exportargs.h"
#include "print/printer.h"

using namespace planox;

namespace {

bool hasDisplay(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-platform") == 0) return true;
  auto set = [](const char* v) { return std::getenv(v) && *std::getenv(v); };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToCp850(argv[i]));

  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    ShowUsage();
    return 0;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::printf("%s %s\n", ProgramTitleUpper, VersionText);
    return 0;
  }

  // --export writes the drawing's view to a file without showing a window.
  ExportRequest exportRequest;
  std::string exportError;
  const bool exporting = ParseExportArgs(args, exportRequest, exportError);
  if (exporting && !exportError.empty()) {
    std::fprintf(stderr, "%s\n", Cp850ToUtf8(exportError).c_str());
    return 1;
  }

  // A batch run that prints nothing and shows nothing needs no Qt at all.
  if (!exporting && BatchNeedsNoWindow(args)) {
    const int code = RunConsoleBatch(args);
    RemoveWorkDir();
    return code;
  }

  bool console = exporting || args.size() >= 2 || !hasDisplay(argc, argv);
  // The console form prints only the program's own lines: what Qt has to
  // say about the desktop session nobody sees is dropped.
  if (console) qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  // An export never shows anything: it needs no display connection.
  if (!hasDisplay(argc, argv) || (exporting && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(ProgramTitleUpper);

  int code = 0;
  {
    Thh hh(exporting ? std::vector<std::string>{} : args);
    QtUi qtUi(&hh);
    ConsoleUi consoleUi;
    SetUi(console ? static_cast<UserInterface*>(&consoleUi) : &qtUi);
    // A signal removes the partial output and the work folders and ends
    // the program with 128 + the signal; the window closes the normal way.
    InstallTerminationHandlers(!console);
    try {
      hh.FormCreate();
      if (exporting) {
        hh.OpenDrawing(exportRequest.drawing);
        if (Session.AbortFlag)
          ShowError(exportRequest.drawing + " : le dessin n'a pas pu " "\x88" "tre lu");
        else
          ExportView(hh, exportRequest.output, QSize(exportRequest.width, exportRequest.height));
        code = Session.AbortFlag ? 1 : 0;
      } else if (console) {
        // Nobody could see the window: the start-up has run (and said what
        // went wrong), the viewer itself needs a display.
        std::fprintf(stderr, "%s: no display is available to show the window\n", ProgramTitle);
      } else {
        QTimer stopCheck;
        QObject::connect(&stopCheck, &QTimer::timeout, &hh, [&hh] {
          if (TerminationRequested()) hh.close();
        });
        stopCheck.start(200);
        hh.show();
        code = app.exec();
        if (int sig = TerminationRequested()) code = 128 + sig;
      }
    } catch (const ProgramExit& e) {
      // Ended during start-up: the window was never shown.
      code = e.code;
      RemoveTempFiles();
    }
    SetUi(nullptr);
  }
  RemoveWorkDir();
  return code;
}
