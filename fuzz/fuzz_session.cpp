// Reads arbitrary bytes as the session file with the recent-file list,
// saves the list and reads it back: what was saved reads back the same.
#include <cstdlib>

#include "base/session.h"
#include "base/startup.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& dir = fuzz::PrepareRun();
  fuzz::WriteBytes(dir + "planox.cff", fuzz::Bytes(data, size));
  planox::LoadSession();
  const auto loaded = planox::Session.RecentFiles;
  planox::SaveSession();
  planox::LoadSession();
  if (planox::Session.RecentFiles != loaded) std::abort();
  return 0;
}
