// The picture index and the error help file on arbitrary bytes: the index
// read into the picture list, and a logged message looked up and saved.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/prompts.h"
#include "base/session.h"
#include "base/vektor.h"
#include "help/hbild.h"
#include "help/helperr.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static planox::ScriptedUi ui;
  planox::SetUi(&ui);
  ui.records.clear();
  planox::ResetSession();
  planox::Settings.PltDir = fuzz::RunDir();
  planox::Settings.TempDir = fuzz::RunDir();
  fuzz::WriteBytes(fuzz::RunDir() + "planox.dbh", fuzz::Bytes(data, size));
  planox::FillPictureList(planox::ReadPictureIndex(fuzz::RunDir() + "planox.dbh"));
  fuzz::WriteBytes(fuzz::RunDir() + "planox.err", fuzz::Bytes(data, size));
  planox::ClearErrorLog();
  planox::LogError(std::string(reinterpret_cast<const char*>(data), size < 20 ? size : 20));
  planox::SetErrorHelpDialog([](const std::string& m, const std::string& c, const std::string& r) {
    planox::SaveErrorHelp(m, c + "!", r);
  });
  planox::ShowErrorHelp(1);
  planox::ClearErrorLog();
  return 0;
}
