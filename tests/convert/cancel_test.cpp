// A conversion the user cancels part-way: no output, no partial file, and
// an output of an earlier run stays as it was. (The run's work folder,
// planox-<pid>-..., is not an output.)
#include <dirent.h>

#include <cstring>

#include "base/textconv.h"
#include "drawing/dxfin.h"
#include "drawing/sinks.h"
#include "writertest.h"

namespace planox::test {
namespace {

using CancelledConversion = WriterTest;

std::vector<std::string> FilesIn(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* d = opendir(path.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.' && std::strncmp(e->d_name, "planox-", 7) != 0) names.push_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(CancelledConversion, LeavesNoPartialOutput) {
  InstallPlotDriver();
  std::string dxf = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
  for (int i = 0; i < 40000; ++i)
    dxf += "0\r\nLINE\r\n8\r\n0\r\n10\r\n" + std::to_string(i) + "\r\n20\r\n0\r\n11\r\n" + std::to_string(i) +
           "\r\n21\r\n100\r\n";
  dxf += "0\r\nENDSEC\r\n0\r\nEOF\r\n";
  WriteFile(dir.file("IN.dxf"), dxf);
  Session.InPath = dir.path() + "/";
  Session.DrawingName = "IN";
  Session.FileExtension = "dxf";
  Session.PlotFile = "BIG";
  Settings.DeviceCode = 3;
  for (int target : {TargetHpgl, TargetPostscript, TargetDxf}) {
    SCOPED_TRACE(target);
    Settings.SyntaxCode = static_cast<uint16_t>(target);
    ui.cancelAtPercent = 50;
    Session.AbortFlag = false;
    ReadDrawing(ReadForConversion);
    EXPECT_TRUE(Session.AbortFlag);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"IN.dxf"});
    // A whole output first; a cancelled second run keeps it.
    ui.cancelAtPercent = 1000;
    Session.AbortFlag = false;
    ReadDrawing(ReadForConversion);
    ASSERT_FALSE(Session.AbortFlag);
    const std::string out = dir.file(PlotFileName());
    const std::string whole = ReadFile(out);
    EXPECT_GT(whole.size(), 100000u);
    ui.cancelAtPercent = 30;
    Session.AbortFlag = false;
    ReadDrawing(ReadForConversion);
    EXPECT_TRUE(Session.AbortFlag);
    EXPECT_EQ(ReadFile(out), whole);
    EXPECT_EQ(FilesIn(dir.path()).size(), 2u);
    std::remove(out.c_str());
  }
}

}  // namespace
}  // namespace planox::test
