// Helpers of the conversion tests: run one conversion into a file in a
// fresh directory and return what was written.
#pragma once

#include <unistd.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <vector>
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

// Debian's Python, which has what the test scripts import, before any
// other on the path.
inline std::string Python3() { return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3"; }

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

// A move of a G-code program as a consumer reads it.
struct Move {
  std::string kind;
  double x1, y1, z1, x2, y2, z2, i = 0, j = 0;
  std::string motion;  // arcs: G2 clockwise, G3 counter-clockwise
};

inline std::vector<Move> Toolpath(const std::string& file, std::string& log) {
  std::string script = SourceDir() + "/tests/convert/node/toolpath.js";
  std::vector<Move> moves;
  if (Shell("node " + script + " " + file, log) != 0) return moves;
  std::istringstream in(log);
  Move m;
  while (in >> m.kind) {
    in >> m.x1 >> m.y1 >> m.z1 >> m.x2 >> m.y2 >> m.z2;
    if (m.kind == "arc") in >> m.i >> m.j >> m.motion;
    moves.push_back(m);
  }
  return moves;
}

// The stand-alone interpreter of a machine controller: the canonical
// machining calls it makes of a program, as moves. Tools 1 to 16 are in
// its tool table, as on a machine set up for the pens.
inline std::vector<Move> Rs274Moves(const std::string& file, std::string& log) {
  TempDir dir;
  std::string table;
  for (int t = 1; t <= 16; ++t) table += "T" + std::to_string(t) + " P" + std::to_string(t) + " D1.0 Z0\n";
  WriteFile(dir.file("pens.tbl"), table);
  std::vector<Move> moves;
  if (Shell("rs274 -t " + dir.file("pens.tbl") + " -g " + file + " " + dir.file("canon"), log) != 0) return moves;
  if (log.find("executing") == std::string::npos) return moves;
  std::istringstream canon(ReadFile(dir.file("canon")));
  double x = 0, y = 0, z = 0;
  for (std::string line; std::getline(canon, line);) {
    size_t open = line.find('('), name = line.find_last_of(' ', open);
    if (open == std::string::npos || name == std::string::npos) continue;
    std::string call = line.substr(name + 1, open - name - 1);
    if (call != "STRAIGHT_TRAVERSE" && call != "STRAIGHT_FEED" && call != "ARC_FEED") continue;
    std::vector<double> v;
    std::string args = line.substr(open + 1);
    for (char& c : args) c = c == ',' || c == ')' ? ' ' : c;
    std::istringstream in(args);
    for (double d; in >> d;) v.push_back(d);
    Move m{"line", x, y, z, 0, 0, 0, 0, 0, ""};
    if (call == "ARC_FEED") {
      // end x, end y, centre x, centre y, turns (+ counter-clockwise), end z
      if (v.size() < 6) continue;
      m = {"arc", x, y, z, v[0], v[1], v[5], v[2], v[3], v[4] > 0 ? "G3" : "G2"};
    } else {
      if (v.size() < 3) continue;
      m.x2 = v[0];
      m.y2 = v[1];
      m.z2 = v[2];
    }
    x = m.x2;
    y = m.y2;
    z = m.z2;
    moves.push_back(m);
  }
  return moves;
}

}  // namespace planox::test
