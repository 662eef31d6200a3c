// Helpers of the conversion tests: run one conversion into a file in a
// fresh directory and return what was written.
#pragma once

#include <unistd.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "base/session.h"
#include "convert/plot.h"
#include "support/testsupport.h"

namespace planox::test {

// Runs PlotBegin (target, file channel), PlotRotate (0 or 90 by Rotate90),
// the body and PlotEnd in a temporary current directory and returns the
// output file's bytes ("" when none was written).
inline std::string Convert(int target, const std::function<void()>& body, bool rotate = true) {
  TempDir dir;
  char old[4096];
  if (!getcwd(old, sizeof old)) return "";
  if (chdir(dir.path().c_str()) != 0) return "";
  Session.PlotFile = "T";
  PlotBegin(target, 3);
  if (!Session.AbortFlag) {
    if (rotate) PlotRotate(Settings.Rotate90 == 'N' ? 0 : 90);
    body();
    PlotEnd();
  }
  std::string out;
  if (!PlotFileName().empty()) out = ReadFile(dir.file(PlotFileName()));
  if (chdir(old) != 0) return "";
  return out;
}

// Puts a test on tools that the dependency script installs: a missing one
// fails the test.
inline bool HaveTool(const std::string& name) {
  std::string cmd = "command -v " + name + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

// Runs a shell command, returns its exit code and its standard output and
// error in out.
inline int Shell(const std::string& cmd, std::string& out) {
  out.clear();
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  if (!p) return -1;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int rc = pclose(p);
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

}  // namespace planox::test
