// The help-file reader on arbitrary bytes: the entry of the number the
// file begins with, and of a number it does not hold.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/prompts.h"
#include "app/session.h"
#include "help/helptext.h"

namespace {

const std::string& workFile() {
  static const std::string name = [] {
    char tmpl[] = "/tmp/fuzz_helptext-XXXXXX";
    const char* d = mkdtemp(tmpl);
    std::string dir(d ? d : "/tmp");
    std::atexit([] {
      std::remove(workFile().c_str());
      ::rmdir(workFile().substr(0, workFile().rfind('/')).c_str());
    });
    return dir + "/quorvel.hlp";
  }();
  return name;
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
