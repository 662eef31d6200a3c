// Shared by the fuzz targets: a user interface that shows nothing, and a
// private folder for the files a target writes, on a memory file system
// where there is one, removed when the run ends.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/prompts.h"
#include "base/session.h"
#include "convert/plot.h"

namespace fuzz {

class SilentUi : public planox::ConsoleUi {
 public:
  void messageBox(const std::string&, const std::string&) override {}
  void setWaitCursor(bool) override {}
  void beep() override {}
};

// The folder of this run, with separator. The name outlives every static,
// so the exit handler can still remove it.
inline const std::string& RunDir() {
  static char made[64];
  static const std::string dir = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::snprintf(made, sizeof made, "%s/planox-fuzz-XXXXXX", base);
    if (!mkdtemp(made)) return std::string("/tmp/");
    std::atexit([] { std::filesystem::remove_all(made); });
    return std::string(made) + "/";
  }();
  return dir;
}

inline void WriteBytes(const std::string& name, std::string_view bytes) {
  if (std::FILE* f = std::fopen(name.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

// A silent user interface, the run's folder as the start directory, the
// temporary folder and the help folder, and fresh session and settings.
// Returns the folder.
inline const std::string& PrepareRun() {
  static SilentUi ui;
  const std::string& dir = RunDir();
  planox::SetUi(&ui);
  planox::SetStartDir(dir);
  planox::ResetSession();
  planox::ResetSettings();
  planox::Settings.TempDir = dir;
  planox::Settings.PltDir = dir;
  return dir;
}

// PrepareRun for reading the drawing "in.dxf" of the run's folder and
// converting it into "out.*" there.
inline void PrepareConversion() {
  const std::string& dir = PrepareRun();
  planox::InstallPlotDriver();
  planox::Settings.DeviceCode = 3;
  planox::Session.InPath = dir;
  planox::Session.DrawingName = "in";
  planox::Session.FileExtension = "dxf";
  planox::Session.PlotFile = dir + "out";
}

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace fuzz
