// Loads arbitrary bytes as a configuration file, saves what was loaded and
// loads that again.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/prompts.h"
#include "base/session.h"
#include "config/configio.h"

namespace {

class SilentUi : public planox::ConsoleUi {
 public:
  void messageBox(const std::string&, const std::string&) override {}
};

const std::string& workDir() {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/fuzz_configio-XXXXXX";
    const char* d = mkdtemp(tmpl);
    return std::string(d ? d : "/tmp");
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static SilentUi ui;
  planox::SetUi(&ui);
  planox::SetStartDir(workDir());
  planox::ResetSession();
  planox::ResetSettings();
  planox::Settings.TempDir = workDir() + "/";
  planox::Settings.PltDir = workDir() + "/";

  const std::string in = workDir() + "/in.cfg";
  if (std::FILE* f = std::fopen(in.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  planox::LoadConfiguration("in");
  planox::SaveConfiguration("out");
  planox::LoadConfiguration("out");
  return 0;
}
