#include "base/startup.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/fileio.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/terminate.h"
#include "base/textconv.h"
#include "base/textfile.h"

namespace planox {

namespace {

bool blankOnly(const std::string& s) { return TrimText(s).empty(); }

std::string startDirWithSeparator() { return WithSeparator(StartDir()); }

std::string sessionFileName() { return startDirWithSeparator() + ProgramName + ".cff"; }

std::string& workDirStorage() {
  static std::string dir;
  return dir;
}

// Every private folder made during this run (TempDir may change when a
// configuration is loaded); all are removed at exit.
std::vector<std::string>& createdWorkDirs() {
  static std::vector<std::string> dirs;
  return dirs;
}

// Reads one line of at most 4096 bytes. False at end of file.
bool readLine(TextReader& in, std::string& line) { return ReadLimitedLine(in, line, 4096); }

}  // namespace

bool DirectoryWritable(const std::string& dir) {
  std::string probe = dir + "x.$$$";
  // Only a file the probe makes itself is opened: a FIFO or a link planted
  // under the probe's name is never followed.
  int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    // An old probe file left behind by a crash does not make the directory
    // unwritable.
    return errno == EEXIST && access(dir.empty() ? "." : dir.c_str(), W_OK) == 0;
  }
  bool ok = ::close(fd) == 0;
  return std::remove(probe.c_str()) == 0 && ok;
}

bool DirectoryExists(const std::string& dir) {
  // Only "not found" fails; any other outcome (no permission, a path that
  // is not a directory at all further up) passes.
  struct stat st;
  if (stat(dir.empty() ? "." : dir.c_str(), &st) == 0) return true;
  return errno != ENOENT;
}

std::string ExistingFileName(const std::string& dir, const std::string& name) {
  const std::string full = dir + name;
  struct stat st {};
  if (::stat(full.c_str(), &st) == 0) return full;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return full;
  std::string found;
  const std::string want = UpperText(name);
  while (dirent* e = ::readdir(d)) {
    if (UpperText(e->d_name) == want) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found.empty() ? full : dir + found;
}

void CheckDirectories() {
  if (blankOnly(Settings.TempDir)) {
    const char* env = std::getenv("TEMP");
    if (!env || !*env) env = std::getenv("TMPDIR");
    Settings.TempDir = (env && *env) ? WithSeparator(env) : startDirWithSeparator();
  }
  if (blankOnly(Settings.DbfDir)) Settings.DbfDir = startDirWithSeparator();
  if (blankOnly(Settings.PltDir)) Settings.PltDir = startDirWithSeparator();
  if (blankOnly(Settings.EdiDir)) Settings.EdiDir = startDirWithSeparator();

  // An empty CAD directory is the current one.
  if (!DirectoryWritable(WithSeparator(Settings.CadDir))) ReportError("non valide CAD Annuaire configur\x82");
  if (!DirectoryExists(WithSeparator(Settings.DbfDir))) ReportError("non valide DBF Annuaire configur\x82");
  if (!DirectoryExists(WithSeparator(Settings.PltDir))) ReportError("non valide PLT Annuaire configur\x82");
  if (!DirectoryWritable(WithSeparator(Settings.TempDir))) {
    ReportError("non valide Annuaire provisoire configur\x82");
    Settings.TempDir = AskText("Annuaire provisoire", 60, Settings.TempDir);
  }
  if (!DirectoryWritable(WithSeparator(Settings.EdiDir))) ReportError("non valide EDI Annuaire configur\x82");
  if (!DirectoryWritable(startDirWithSeparator())) ReportError("non valide Data Annuaire configur\x82");
}

void LoadSession() {
  for (auto& e : Session.RecentFiles) e.clear();
  TextReader f;
  if (!f.Open(sessionFileName())) return;
  std::string line;
  if (readLine(f, line)) {
    for (auto& e : Session.RecentFiles) {
      if (!readLine(f, line)) break;
      // A recent-file entry is a file name: drop control bytes that a
      // damaged file may hold.
      std::string clean;
      for (char c : line)
        if (static_cast<unsigned char>(c) >= 32) clean.push_back(c);
      e = clean;
    }
  }
}

// Written beside the old file and renamed over it, so that a failed save
// keeps the previous recent-file list.
void SaveSession() {
  Session.AbortFlag = false;
  std::string text = std::string(ProgramName) + " Session " + Session.DrawingDir + "\r\n";
  for (const auto& e : Session.RecentFiles) text += e + "\r\n";
  ReplacingFile f;
  if (!f.Create(sessionFileName())) {
    ReportIoFailure(errno, "erreur d'\x82" "criture");
    return;
  }
  if (!f.Write(text) || !f.Commit()) ReportIoFailure(errno, "erreur d'acc\x8as au fichier");
}

namespace {

constexpr const char* kWorkFolderPrefix = "planox-";

// The owner of a work folder named "planox-<pid>-XXXXXX", 0 for any
// other name.
pid_t WorkFolderOwner(const char* name) {
  size_t n = std::strlen(kWorkFolderPrefix);
  if (std::strncmp(name, kWorkFolderPrefix, n) != 0) return 0;
  char* end = nullptr;
  long pid = std::strtol(name + n, &end, 10);
  if (end == name + n || *end != '-' || std::strlen(end + 1) != 6 || pid <= 0) return 0;
  return static_cast<pid_t>(pid);
}

}  // namespace

void RemoveStaleWorkFolders(const std::string& tempDir) {
  DIR* d = opendir(tempDir.empty() ? "." : tempDir.c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    pid_t owner = WorkFolderOwner(e->d_name);
    // Only folders of this user whose program no longer runs.
    if (owner == 0 || owner == getpid() || kill(owner, 0) == 0 || errno != ESRCH) continue;
    std::string path = tempDir + e->d_name;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) continue;
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  closedir(d);
}

std::string WorkDir() {
  std::string& dir = workDirStorage();
  std::string base = WithSeparator(Settings.TempDir.empty() ? StartDir() : Settings.TempDir);
  if (!dir.empty() && dir.compare(0, base.size(), base) == 0 && DirectoryExists(dir)) return dir;
  // The owner's process number is part of the name, so that a later run
  // can tell the folder of a program that died from one still in use.
  if (createdWorkDirs().empty()) RemoveStaleWorkFolders(base);
  std::string tmpl = base + kWorkFolderPrefix + std::to_string(getpid()) + "-XXXXXX";
  SignalsHeld held;
  if (mkdtemp(tmpl.data())) {
    dir = WithSeparator(tmpl);
    createdWorkDirs().push_back(dir);
    TrackWorkFolder(dir);
  } else {
    // No private folder can be made: fall back to the temporary directory.
    dir = base;
  }
  return dir;
}

void RemoveTempFiles() {
  Session.AbortFlag = false;
  std::string dir = workDirStorage();
  if (dir.empty()) return;
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  bool first = true;
  while (dirent* e = readdir(d)) {
    if (fnmatch("$*.dx$", e->d_name, 0) != 0) continue;
    bool ok = std::remove((dir + e->d_name).c_str()) == 0;
    if (!ok && !first) break;
    first = false;
  }
  closedir(d);
}

void RemoveWorkDir() {
  for (const auto& d : createdWorkDirs()) {
    std::error_code ec;
    std::filesystem::remove_all(d, ec);
  }
  createdWorkDirs().clear();
  ForgetWorkFolders();
  workDirStorage().clear();
}

}  // namespace planox
