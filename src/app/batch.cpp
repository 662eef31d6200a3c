#include "app/batch.h"

#include <dirent.h>
#include <fnmatch.h>

#include <algorithm>
#include <cstdio>

#include "app/usage.h"
#include "base/fileio.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/terminate.h"
#include "base/textconv.h"
#include "config/configio.h"
#include "convert/plot.h"
#include "convert/targets.h"
#include "display/shpin.h"
#include "drawing/dxfin.h"
#include "drawing/report.h"
#include "drawing/sinks.h"

namespace planox {

namespace {

[[noreturn]] void showUsageAndEnd() {
  PrintUsage();
  throw ProgramExit{0};
}

[[noreturn]] void invalidOption(const std::string& arg) {
  ReportError(arg + " : invalid option !");
  throw ProgramExit{1};
}

// Reads, converts and prints one drawing as the flags say. False when the
// drawing could not be read, converted or printed; a Yes to the quit
// question after an unreadable drawing ends the run.
bool processFile(const std::string& dir, const std::string& path, const BatchFlags& flags,
                 const BatchActions& actions) {
  Session.InPath = dir;
  Session.DrawingName = BaseName(FileNamePart(path));
  Session.FileExtension = DrawingExtension(path);
  Session.AbortFlag = false;
  // Every read of this drawing reports on one progress line.
  ProgressReport progress(FileNamePart(path));
  ReadDrawing(ReadHeaderOnly);
  if (Session.AbortFlag) {
    HelpNumber = 3090;
    Session.AbortFlag = false;
    const char answer = AskYesNo(std::string("Quitter ") + ProgramTitleUpper + " ?", 'N');
    if (answer != 'N' || Session.AbortFlag) throw ProgramExit{1};
    return false;
  }
  bool done = true;
  if (flags.targetGiven) {
    if (ConvertDrawing())
      ShowReport(FileNamePart(path) + " -> " + (Settings.DeviceCode == 3 ? PlotFileName() : "port") + " : ");
    else
      done = false;
    Session.AbortFlag = false;
  }
  if (flags.print) {
    if (actions.print) {
      actions.print();
    } else {
      ReportError("printing is not available yet");
      Session.AbortFlag = true;
    }
    if (Session.AbortFlag) done = false;
    Session.AbortFlag = false;
  }
  return done;
}

// /I and /CAD as the second argument show the drawing in the window.
bool showsDrawing(const std::string& second) {
  return second == "/I" || second == "/i" || UpperText(LeftText(second, 4)) == "/CAD";
}

// The start-up routine proper: the directory checks and the name given on
// the command line.
void startupRoutine(const std::vector<std::string>& args, const StartupWindow& window) {
  Session.AbortFlag = false;
  Session.ShowErrors = true;
  CheckDirectories();
  if (!args.empty() && args[0] != "?" && args[0] != "/?") {
    Session.DrawingName = args[0];
    Session.DrawingDir.clear();
    std::string second = args.size() > 1 ? args[1] : "";
    if (second == "/E" || second == "/e" || second == "/G") {
      // accepted here; the batch run reads its own options
    } else if (showsDrawing(second)) {
      if (window.openDrawing) window.openDrawing(args[0]);
      if (Session.AbortFlag) throw ProgramExit{1};
      Session.DrawingName = BaseName(args[0]);
      throw ProgramExit{0};
    } else if (args.size() == 1 || !second.empty()) {
      if (Session.DrawingName.find('.') == std::string::npos) {
        ReportError("Agrandissement ." + Session.FileExtension + " Indiquer");
        throw ProgramExit{0};
      }
      Session.DrawingName = Session.DrawingName.substr(0, Session.DrawingName.find('.'));
      Session.NameFromCommandLine = true;
      if (Session.AbortFlag) {
        Session.AbortFlag = false;
        CheckOutputFile(Session.DrawingName);
        if (Session.AbortFlag) throw ProgramExit{0};
      }
    }
  }
  if (Session.NameFromCommandLine) {
    Session.DrawingDir.clear();
  } else {
    WaitCursorOn();
    Session.DrawingDir = WithSeparator(StartDir()) + Session.DrawingDir;
    if (window.drawLogo) window.drawLogo();
  }
  Session.AbortFlag = false;
}

}  // namespace

std::vector<std::string> FindMaskFiles(const std::string& mask) {
  std::vector<std::string> found;
  std::string dir = DirectoryPart(mask);
  std::string pattern = FileNamePart(mask);
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return found;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] == '.') continue;  // hidden files, "." and ".."
    if (fnmatch(pattern.c_str(), e->d_name, FNM_CASEFOLD | FNM_NOESCAPE) != 0) continue;
    std::string full = dir + e->d_name;
    if (IsRegularFile(full)) found.push_back(full);
  }
  closedir(d);
  std::sort(found.begin(), found.end());
  return found;
}

bool ApplyBatchOption(const std::string& option, BatchFlags& flags) {
  if (option.size() < 2 || option[0] != '/') return false;
  char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(option[1])));
  std::string value = option.substr(2);
  switch (letter) {
    case 'C': {
      const TargetRow* target = TargetOfBatchCode(value);
      if (!target) return false;
      Settings.SyntaxCode = static_cast<uint16_t>(target->number);
      flags.targetGiven = true;
      return true;
    }
    case 'D': {
      long long d = TextToInt(value);
      Settings.DeviceCode = static_cast<uint16_t>(d >= 1 && d <= 3 ? d : 3);
      return true;
    }
    case 'F': Session.PlotFile = value; Settings.PlotFile = value; return true;
    case 'M': {
      // The scale the usage text offers; "/M*" (fit to the page) is not
      // offered by the converter and is refused like any other bad value.
      const double scale = TextToReal(value);
      if (!(scale >= 0.01 && scale <= 100)) return false;
      Settings.PlotScale = scale;
      return true;
    }
    case 'X': Settings.PlotOriginX = TextToReal(value); return true;
    case 'Y': Settings.PlotOriginY = TextToReal(value); return true;
    case 'Z': Settings.Zoom = TextToReal(value); return true;
    case 'P': Settings.Panorama = TextToReal(value); return true;
    case 'N': Settings.MaxFileElements = static_cast<int32_t>(std::clamp<long long>(TextToInt(value), INT32_MIN, INT32_MAX)); return true;
    case 'T': Settings.MillingDepth = TextToReal(value); return true;
    case 'A': Settings.ToolDistance = TextToReal(value); return true;
    case 'B': Settings.TextWidthRatio = TextToReal(value); return true;
    case 'L': Settings.NcSyntax = static_cast<uint16_t>(std::clamp<long long>(TextToInt(value), 0, 65535)); return true;
    case 'R': Settings.Rotate90 = 'J'; return true;
    case 'V': {
      auto eq = value.find('=');
      if (eq == std::string::npos) return true;
      int32_t v = static_cast<int32_t>(std::clamp<long long>(TextToInt(value.substr(eq + 1)), INT32_MIN, INT32_MAX));
      std::string n = value.substr(0, eq);
      if (n == "*") {
        for (int i = 1; i <= 15; ++i) Settings.PenNumbers[i] = v;
      } else {
        long long i = TextToInt(n);
        if (i >= 1 && i <= 15) Settings.PenNumbers[i] = v;
      }
      return true;
    }
    case 'G': flags.print = true; return true;
    case 'H':
    case 'I': return true;
    case '?': flags.usage = true; return true;
    default: return false;
  }
}

void StartProgram(const std::vector<std::string>& args, const StartupWindow& window) {
  Session.FileExtension = "dxf";
  Session.InPath.clear();
  Session.DrawingDir.clear();
  SetCommandLine(args);
  // A missing configuration file is no error for the user: the defaults
  // stay and nothing is shown.
  LoadConfiguration(ProgramName);
  Session.AbortFlag = false;
  startupRoutine(args, window);
  Session.AbortFlag = false;
  if (Session.InPath.empty()) Session.InPath = WithSeparator(StartDir());
  // The file's values replace what the start-up routine set.
  LoadConfiguration(ProgramName);
  Session.AbortFlag = false;
  if (Settings.LoadShapeFont == 'J') {
    std::string font = FindShapeFontFile();
    if (!LoadShapeFont(font.empty() ? "TXT.SHP" : font)) throw ProgramExit{0};
  }
}

bool BatchNeedsNoWindow(const std::vector<std::string>& args) {
  if (args.size() < 2 || showsDrawing(args[1])) return false;
  for (const std::string& a : args)
    if (a.size() >= 2 && a[0] == '/' && (a[1] == 'G' || a[1] == 'g')) return false;
  return true;
}

int RunConsoleBatch(const std::vector<std::string>& args) {
  ConsoleUi ui;
  SetUi(&ui);
  InstallTerminationHandlers(false);
  InstallPlotDriver();
  int code = 0;
  try {
    StartProgram(args, StartupWindow{});
    RunBatch(args, BatchActions{});
  } catch (const ProgramExit& e) {
    code = e.code;
    RemoveTempFiles();
  }
  SetPlotSink(nullptr);
  SetUi(nullptr);
  return code;
}

void RunBatch(const std::vector<std::string>& args, const BatchActions& actions) {
  Session.FileExtension = args.empty() ? "" : UpperText(DrawingExtension(args[0]));
  Session.PlotFile.clear();
  // A shell turns an unquoted mask into the file names it matches: the
  // leading arguments that name existing files are the drawings.
  std::vector<std::string> files;
  size_t first = 0;
  while (first < args.size() && IsRegularFile(args[first])) files.push_back(args[first++]);
  std::string mask;
  if (files.empty()) {
    mask = args.empty() ? "" : args[0];
    if (FileNamePart(mask).find('.') == std::string::npos) mask += "." + Session.FileExtension;
    files = FindMaskFiles(mask);
    first = 1;
    if (files.empty()) {
      ReportError(mask + " : pas de fichiers !");
      throw ProgramExit{1};
    }
  }
  BatchFlags flags;
  for (size_t i = first; i < args.size(); ++i) {
    if (!ApplyBatchOption(args[i], flags)) invalidOption(args[i]);
    if (flags.usage) showUsageAndEnd();
  }
  // Without /F every output takes its drawing's name; with /F and several
  // drawings the /F name is joined to each drawing's name, so that no
  // output overwrites another.
  const std::string given = Session.PlotFile;
  bool allDone = true;
  for (const std::string& file : files) {
    const std::string name = BaseName(FileNamePart(file));
    Session.PlotFile = given.empty() ? name : files.size() == 1 ? given : given + "_" + name;
    if (!processFile(DirectoryPart(file), file, flags, actions)) allDone = false;
  }
  throw ProgramExit{allDone ? 0 : 1};
}

}  // namespace planox
