// Reads arbitrary bytes as a drawing in every read mode: header only,
// display, conversion, and the display of each stored block.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/prompts.h"
#include "base/session.h"
#include "drawing/dxfin.h"
#include "drawing/sinks.h"

namespace {

class SilentUi : public planox::ConsoleUi {
 public:
  void messageBox(const std::string&, const std::string&) override {}
  void setWaitCursor(bool) override {}
};

// The run's own folder, removed at exit (the name outlives every static).
char madeDir[] = "/tmp/fuzz_dxfin-XXXXXX";

const std::string& workDir() {
  static const std::string dir = [] {
    const char* d = mkdtemp(madeDir);
    if (d) std::atexit([] { std::filesystem::remove_all(madeDir); });
    return std::string(d ? d : "/tmp");
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace planox;
  static SilentUi ui;
  SetUi(&ui);
  SetGraphicsSink(nullptr);
  SetPlotSink(nullptr);
  ResetSession();
  ResetSettings();
  Settings.TempDir = workDir() + "/";
  Session.InPath = workDir() + "/";
  Session.DrawingName = "in";
  Session.FileExtension = "dxf";
  Session.PlotFile = "out";

  if (std::FILE* f = std::fopen((workDir() + "/in.dxf").c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  for (int mode : {ReadHeaderOnly, ReadForDisplay, ReadForConversion}) {
    Session.AbortFlag = false;
    ReadDrawing(mode);
  }
  for (int i = 1; i <= BlockCount && i <= 4; ++i) {
    Session.AbortFlag = false;
    ReadDrawing(ShowBlock, BlockTable[i]);
  }
  return 0;
}
