// The command-line batch run: a file mask (or the file names a shell made
// of it) followed by options; every matching drawing is converted and, with
// /G, printed, without a window. The options act for this run only.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace planox {

// What the batch run needs from the layers above the core: printing a
// drawing that the run has just read (Qt), and the conversion itself.
struct BatchActions {
  // Prints the current drawing (Session) on the default printer.
  std::function<void()> print;
};

// The window's part in the start-up. A run without a window leaves both
// empty.
struct StartupWindow {
  // Shows a drawing in the window (the /I and /CAD options).
  std::function<void(const std::string& fullName)> openDrawing;
  // Shows the logo while no drawing is named on the command line.
  std::function<void()> drawLogo;
};

// The start-up common to the window and the batch run: the command line,
// the configuration (read again after the directory checks), the name
// given on the command line, the shape font. Throws ProgramExit when the
// program must end here.
void StartProgram(const std::vector<std::string>& args, const StartupWindow& window);

// True when the command line (without the program name) is a batch run
// that needs no window: two or more arguments, no printing (/G) and no
// drawing to be shown (/I, /CAD as the second argument).
bool BatchNeedsNoWindow(const std::vector<std::string>& args);

// The whole batch run without a window, in console form: start-up, run,
// clean-up. Returns the exit code.
int RunConsoleBatch(const std::vector<std::string>& args);

// args: the whole command line without the program name. Never returns
// normally: throws ProgramExit with 0 after the last file when every
// drawing was converted (and printed), 1 when no file matches, an option is
// invalid, or any drawing could not be read, converted or printed.
[[noreturn]] void RunBatch(const std::vector<std::string>& args, const BatchActions& actions);

// The files a mask names: ordinary, not hidden, matched case-insensitively,
// sorted by name. A mask without a directory part searches the current
// directory.
std::vector<std::string> FindMaskFiles(const std::string& mask);

// Applies one option ("/C..." etc.) to Settings and Session. Returns false
// for an invalid option. Sets targetGiven for a valid /C, print for /G and
// usage for /?.
struct BatchFlags {
  bool targetGiven = false;
  bool print = false;
  bool usage = false;
};
bool ApplyBatchOption(const std::string& option, BatchFlags& flags);

}  // namespace planox
