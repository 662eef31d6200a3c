// The help-file reader on arbitrary bytes: the entry of the number the
// file begins with, and of a number it does not hold.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/prompts.h"
#include "base/session.h"
#include "help/helptext.h"

namespace {

// The work folder's name lives in plain storage, so the exit handler that
// removes the folder can still read it after the static strings are gone.
char workDir[64];

std::string workFile() {
  if (!workDir[0]) {
    std::snprintf(workDir, sizeof workDir, "/tmp/fuzz_helptext-XXXXXX");
    if (!mkdtemp(workDir)) std::snprintf(workDir, sizeof workDir, "/tmp");
    std::atexit([] {
      std::remove((std::string(workDir) + "/quorvel.hlp").c_str());
      ::rmdir(workDir);
    });
  }
  return std::string(workDir) + "/quorvel.hlp";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static planox::ScriptedUi ui;
  planox::SetUi(&ui);
  ui.records.clear();
  if (std::FILE* f = std::fopen(workFile().c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  int first = 0;
  for (size_t i = 0; i < 4 && i < size && data[i] >= '0' && data[i] <= '9'; ++i) first = first * 10 + (data[i] - '0');
  for (int n : {first, first + 1, 1090}) planox::HelpMessage(planox::ReadHelpEntry(workFile(), n));
  return 0;
}
