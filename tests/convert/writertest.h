// Helpers of the exchange and source-code writer tests: a conversion run
// through the driver in a temporary directory, the output read back, small
// text utilities and the golden-file comparison.
#pragma once

#include <unistd.h>

#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "base/session.h"
#include "base/textconv.h"
#include "config/configio.h"
#include "convert/dxfwrite.h"
#include "convert/plot.h"
#include "drawing/dxfin.h"
#include "support/testsupport.h"

namespace planox::test {

// Defaults plus a temporary current directory.
class WriterTest : public Defaults {
 protected:
  void SetUp() override {
    Defaults::SetUp();
    Settings.TempDir = dir.path();  // block work files of the reader
    char buf[4096];
    old_ = getcwd(buf, sizeof buf) ? buf : "/";
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
  }
  void TearDown() override {
    if (chdir(old_.c_str()) != 0) ADD_FAILURE() << "cannot go back to " << old_;
    Defaults::TearDown();
  }

  // PlotBegin (file channel), PlotRotate (0), the drawing, PlotEnd; the
  // content of the output file ("" when there is none).
  std::string Convert(int target, const std::function<void()>& drawing) {
    Session.AbortFlag = false;
    PlotBegin(target, 3);
    EXPECT_FALSE(Session.AbortFlag) << "PlotBegin failed";
    PlotRotate(0);
    drawing();
    PlotEnd();
    outputName = Session.PlotFile + "." + TargetExtension(target);
    if (target == TargetGarmin) outputName = Session.PlotFile + "." + std::vector<std::string>{"WPT", "TRK", "GRM"}[ConverterChoices.GarminFileType - 1];
    return access(outputName.c_str(), F_OK) == 0 ? ReadFile(outputName) : std::string();
  }

  std::string path(const std::string& name) const { return dir.file(name); }

  TempDir dir;
  std::string outputName;

 private:
  std::string old_;
};

// Reads a drawing file with the program's reader and converts it to the
// target into the current directory; false when the reader refused it.
inline bool ConvertDrawing(const std::string& file, int target, const std::string& plotFile) {
  Session.InPath = DirectoryPart(file);
  Session.DrawingName = BaseName(file);
  Session.FileExtension = file.substr(file.rfind('.') + 1);
  Session.PlotFile = plotFile;
  Settings.SyntaxCode = static_cast<uint16_t>(target);
  Settings.DeviceCode = 3;
  Session.AbortFlag = false;
  ReadDrawing(ReadHeaderOnly);
  Session.AbortFlag = false;
  ReadDrawing(ReadForConversion);
  return !Session.AbortFlag;
}

// The lines of a CR LF text; a line end other than CR LF is a failure.
inline std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end with CR LF";
      lines.push_back(text.substr(start));
      break;
    }
    std::string line = text.substr(start, end - start);
    if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos)
      ADD_FAILURE() << "bare line end in: " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

inline bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

inline int CountOf(const std::vector<std::string>& lines, const std::string& line) {
  int n = 0;
  for (const std::string& l : lines) n += l == line;
  return n;
}

// Compares a text with tests/convert/golden/<name>; with PLANOX_UPDATE_GOLDEN
// set in the environment the golden file is written instead.
inline void ExpectGolden(const std::string& name, const std::string& actual) {
  std::string file = SourceDir() + "/tests/convert/golden/" + name;
  if (getenv("PLANOX_UPDATE_GOLDEN")) {
    WriteFile(file, actual);
    return;
  }
  EXPECT_EQ(ReadFile(file), actual) << "output differs from golden file " << file;
}

inline std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs a shell command line; its standard output, and the exit code in rc.
inline std::string Shell(const std::string& command, int& rc) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) {
    rc = -1;
    return out;
  }
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int status = pclose(p);
  rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

}  // namespace planox::test

namespace planox::test {

// A small drawing through the driver: a chain of two lines, a circle, a
// full arc, a part arc, a solid, a text and a line with pen 9.
inline void SampleDrawing() {
  PlotSelectPen(1);
  PlotLine(1, 2, 3, 4);
  PlotDrawTo(false, 5, 0);
  PlotSelectPen(2);
  PlotCircle(10, 10, 5);
  PlotArc(20, 20, 0, 360, 3, 1);
  PlotArc(20, 20, 30, 120, 3, 1);
  PlotSolid({0, 0}, {10, 0}, {10, 10}, {0, 10});
  PlotLineType(3);
  PlotTextStyle(0, 0, 2.5, 2.0);
  PlotTextAlign(0, 0);
  PlotText("Hello", 30, 40);
  PlotSelectPen(9);
  PlotLine(-1.5, 0.25, 100, 200);
}

// Values a corrupt drawing can hand the driver.
inline void BadDrawing() {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  PlotSelectPen(3);
  PlotLine(nan, 1, 2, 3);
  PlotLine(1e300, -1e300, 0, 0);
  PlotCircle(5, 5, -2);
  PlotCircle(5, 5, 0);
  PlotArc(5, 5, -30, 1e300, 2, -1);
  PlotArc(5, 5, nan, 10, 2, 1);
  PlotSolid({1, 1}, {1, 1}, {1, 1}, {1, 1});
  PlotTextStyle(0, 1e300, 0, 0);
  PlotText("a\"b'c\\d\r\ne\x01\x84\xe1", 1, 1);
  PlotTextStyle(0, 90, 3, 3);
  PlotText(std::string(300, 'X') + ",;", 2, 2);
  PlotText("", 3, 3);
  for (int pen = 0; pen <= 255; ++pen) {
    PlotSelectPen(pen);
    PlotLine(pen, 0, pen, 1);
  }
  PlotSelectPen(1);
  PlotLine(1, 1, 1.0001, 1.0001);
}

}  // namespace planox::test
