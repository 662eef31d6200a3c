#include "base/session.h"

#include <climits>
#include <unistd.h>

namespace planox {

SessionRecord Session;
SettingsRecord Settings;

namespace {
std::string& startDirStorage() {
  static std::string dir = [] {
    char buf[PATH_MAX];
    std::string d = getcwd(buf, sizeof buf) ? buf : ".";
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    return d;
  }();
  return dir;
}
}  // namespace

const std::string& StartDir() { return startDirStorage(); }

void SetStartDir(const std::string& dir) {
  std::string d = dir;
  while (d.size() > 1 && d.back() == '/') d.pop_back();
  startDirStorage() = d;
}

void ResetSession() { Session = SessionRecord{}; }
void ResetSettings() { Settings = SettingsRecord{}; }

}  // namespace planox
