#include "support/testsupport.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/reset.h"
#include "base/session.h"

namespace fs = std::filesystem;

namespace planox::test {

void Defaults::SetUp() {
  ResetProgramState();
  SetUi(&ui);
}

void Defaults::TearDown() { SetUi(nullptr); }

void InTempDir::SetUp() {
  Defaults::SetUp();
  oldStart_ = StartDir();
  SetStartDir(dir.path());
  Settings.TempDir = dir.path() + "/";
}

void InTempDir::TearDown() {
  SetStartDir(oldStart_);
  Defaults::TearDown();
}

TempDir::TempDir() {
  std::string tmpl = (fs::temp_directory_path() / "planox-test-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::vector<std::string> FileNames(const std::string& dir) {
  std::vector<std::string> n;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec)) n.push_back(e.path().filename().string());
  std::sort(n.begin(), n.end());
  return n;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
  getrlimit(RLIMIT_FSIZE, &old_);
  oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit l = old_;
  l.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &l);
}

FileSizeLimit::~FileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &old_);
  std::signal(SIGXFSZ, oldHandler_);
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& name, const std::string& content) {
  std::ofstream out(name, std::ios::binary);
  out << content;
}

std::string CorpusDir() {
  for (const char* rel : {"/../shared/dxf-corpus", "/../../shared/dxf-corpus"}) {
    fs::path p = fs::path(SourceDir() + rel);
    std::error_code ec;
    if (fs::is_directory(p, ec)) return fs::weakly_canonical(p).string();
  }
  return "";
}

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  std::string dir = CorpusDir();
  if (dir.empty()) return files;
  for (auto& e : fs::recursive_directory_iterator(dir)) {
    std::string ext = e.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (e.is_regular_file() && ext == ".dxf") files.push_back(e.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

namespace {
std::string drain(int fd) {
  std::string s;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) s.append(buf, n);
  return s;
}
}  // namespace

pid_t StartProgram(const std::vector<std::string>& args, const std::string& dir,
                   const std::vector<std::string>& env, int out, int err) {
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(out >= 0 ? out : null, 1);
    dup2(err >= 0 ? err : null, 2);
    if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(127);
    for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

RunResult RunProgram(const std::vector<std::string>& args, const std::string& dir,
                     const std::vector<std::string>& env) {
  RunResult r;
  char outName[] = "/tmp/planox-out-XXXXXX";
  char errName[] = "/tmp/planox-err-XXXXXX";
  int outFd = mkstemp(outName), errFd = mkstemp(errName);
  pid_t pid = StartProgram(args, dir, env, outFd, errFd);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  lseek(outFd, 0, SEEK_SET);
  lseek(errFd, 0, SEEK_SET);
  r.out = drain(outFd);
  r.err = drain(errFd);
  close(outFd);
  close(errFd);
  unlink(outName);
  unlink(errName);
  return r;
}

}  // namespace planox::test
