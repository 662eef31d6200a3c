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
