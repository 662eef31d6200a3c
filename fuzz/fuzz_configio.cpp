// Loads arbitrary bytes as a configuration file, saves what was loaded and
// loads that again.
#include "config/configio.h"

#include "base/session.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::SilentUi ui;
  const std::string& dir = fuzz::RunDir();
  planox::SetUi(&ui);
  planox::SetStartDir(dir);
  planox::ResetSession();
  planox::ResetSettings();
  planox::Settings.TempDir = dir;
  planox::Settings.PltDir = dir;

  fuzz::WriteBytes(dir + "in.cfg", fuzz::Bytes(data, size));
  planox::LoadConfiguration("in");
  planox::SaveConfiguration("out");
  planox::LoadConfiguration("out");
  return 0;
}
