// The picture index and the error help file on arbitrary bytes: the index
// read into the picture list, and a logged message looked up and saved.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/prompts.h"
#include "base/session.h"
#include "base/vektor.h"
#include "help/hbild.h"
#include "help/helperr.h"

namespace {

// The work folder's name lives in plain storage, so the exit handler that
// removes the folder can still read it after the static strings are gone.
char dirName[64];

std::string workDir() {
  if (!dirName[0]) {
    std::snprintf(dirName, sizeof dirName, "/tmp/fuzz_hbild-XXXXXX");
    if (!mkdtemp(dirName)) std::snprintf(dirName, sizeof dirName, "/tmp");
    std::atexit([] {
      for (const char* f : {"/planox.dbh", "/planox.err"}) std::remove((std::string(dirName) + f).c_str());
      ::rmdir(dirName);
    });
  }
  return dirName;
}

void write(const std::string& name, const uint8_t* data, size_t size) {
  if (std::FILE* f = std::fopen(name.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static planox::ScriptedUi ui;
  planox::SetUi(&ui);
  ui.records.clear();
  planox::ResetSession();
  planox::Settings.PltDir = workDir();
  planox::Settings.TempDir = workDir();
  write(workDir() + "/planox.dbh", data, size);
  planox::FillPictureList(planox::ReadPictureIndex(workDir() + "/planox.dbh"));
  write(workDir() + "/planox.err", data, size);
  planox::ClearErrorLog();
  planox::LogError(std::string(reinterpret_cast<const char*>(data), size < 20 ? size : 20));
  planox::SetErrorHelpDialog([](const std::string& m, const std::string& c, const std::string& r) {
    planox::SaveErrorHelp(m, c + "!", r);
  });
  planox::ShowErrorHelp(1);
  planox::ClearErrorLog();
  return 0;
}
