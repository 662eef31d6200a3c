// Loads arbitrary bytes as a configuration file, saves what was loaded and
// loads that again.
#include "config/configio.h"

#include "base/session.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& dir = fuzz::PrepareRun();
  fuzz::WriteBytes(dir + "in.cfg", fuzz::Bytes(data, size));
  planox::LoadConfiguration("in");
  planox::SaveConfiguration("out");
  planox::LoadConfiguration("out");
  return 0;
}
