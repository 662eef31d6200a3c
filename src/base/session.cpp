#include "base/session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

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

namespace {
// A data folder is known by the shape font that is always shipped in it.
bool isDataDir(const std::string& dir) {
  struct stat st {};
  return stat((dir + "/TXT.SHP").c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
}  // namespace

std::string ProgramDataDirOf(const std::string& exePath) {
  std::string dir = exePath;
  for (int up = 0; up < 4; ++up) {
    auto slash = dir.rfind('/');
    if (slash == std::string::npos) break;
    dir.erase(slash);
    // The installed layout first (bin/ and share/planox/ side by side).
    for (const char* sub : {"/share/planox", "/data"}) {
      if (!isDataDir(dir + sub)) continue;
      // Its real name: the build folder's share/planox is a link.
      char real[PATH_MAX];
      return (realpath((dir + sub).c_str(), real) ? std::string(real) : dir + sub) + "/";
    }
  }
  return "";
}

const std::string& ProgramDataDir() {
  static const std::string dir = [] {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? ProgramDataDirOf(std::string(buf, static_cast<size_t>(n))) : std::string();
  }();
  return dir;
}

void ResetSession() { Session = SessionRecord{}; }
void ResetSettings() { Settings = SettingsRecord{}; }

}  // namespace planox
