// The batch run's /G through a real print queue: a private print server
// (cupsd) with its own configuration folder and socket, a cups-pdf queue as
// its default printer, and the PDF that queue writes, rendered by pdftoppm.
// Where the server or the queue cannot run, the test says why it skipped.
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <thread>

#include "drawing/drawing_support.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using namespace std::chrono_literals;

constexpr const char* kCupsd = "/usr/sbin/cupsd";
constexpr const char* kBackend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char* kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

test::RunResult Tool(std::vector<std::string> args) {
  args.insert(args.begin(), "/usr/bin/env");
  return test::RunProgram(args, ".");
}

// The folder cups-pdf writes into for this user: "Out" of its
// configuration, ${HOME}/PDF unless it says otherwise.
std::string CupsPdfFolder() {
  std::string out = "${HOME}/PDF", line;
  std::ifstream conf("/etc/cups/cups-pdf.conf");
  while (std::getline(conf, line))
    if (line.rfind("Out ", 0) == 0) out = line.substr(4);
  const passwd* pw = getpwuid(getuid());
  const std::string home = pw ? pw->pw_dir : "/root";
  if (auto p = out.find("${HOME}"); p != std::string::npos) out.replace(p, 7, home);
  return out;
}

std::set<std::string> PdfFiles(const std::string& folder) {
  std::set<std::string> files;
  const auto r = Tool({"find", folder, "-maxdepth", "1", "-name", "*.pdf"});
  size_t start = 0;
  for (size_t end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1)
    files.insert(r.out.substr(start, end - start));
  return files;
}

// A print server of its own in a folder: configuration, spool, logs and the
// socket it listens on. Stopped when the object goes.
class PrivateCups {
 public:
  explicit PrivateCups(const std::string& dir) : dir_(dir), socket_(dir + "/cups.sock") {}
  ~PrivateCups() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& socket() const { return socket_; }

  // Starts the server; false (with the reason) when it does not answer.
  bool start(std::string& why) {
    for (const char* sub : {"conf", "spool", "cache", "state", "log"}) mkdir((dir_ + "/" + sub).c_str(), 0755);
    // Filters run as the server's own user and need a temporary folder.
    mkdir((dir_ + "/tmp").c_str(), 01777);
    chmod((dir_ + "/tmp").c_str(), 01777);
    chmod(dir_.c_str(), 0755);
    test::WriteFile(dir_ + "/conf/cupsd.conf", "Listen " + socket_ +
                                                  "\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                                                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                                  "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                                  "  </Limit>\n</Policy>\n");
    test::WriteFile(dir_ + "/conf/cups-files.conf",
                    "ServerRoot " + dir_ + "/conf\nRequestRoot " + dir_ + "/spool\nCacheDir " + dir_ +
                        "/cache\nStateDir " + dir_ + "/state\nTempDir " + dir_ + "/tmp\nErrorLog " + dir_ +
                        "/log/error_log\nAccessLog " + dir_ + "/log/access_log\nPageLog " + dir_ +
                        "/log/page_log\n");
    pid_ = fork();
    if (pid_ == 0) {
      const std::string log = dir_ + "/log/cupsd.out";
      if (!freopen(log.c_str(), "w", stdout) || !freopen(log.c_str(), "a", stderr)) _exit(127);
      execl(kCupsd, kCupsd, "-f", "-c", (dir_ + "/conf/cupsd.conf").c_str(), "-s",
            (dir_ + "/conf/cups-files.conf").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100; ++i) {
      if (Exists(socket_) && Tool({"lpstat", "-h", socket_, "-r"}).out.find("is running") != std::string::npos)
        return true;
      std::this_thread::sleep_for(100ms);
    }
    why = "the private cupsd did not start: " + test::ReadFile(dir_ + "/log/cupsd.out");
    return false;
  }

 private:
  std::string dir_, socket_;
  pid_t pid_ = -1;
};

TEST(PrintQueue, BatchPrintGoesThroughACupsPdfQueue) {
  if (!Exists(kCupsd)) GTEST_SKIP() << "cupsd is not installed (Debian package cups)";
  if (!Exists(kBackend) || !Exists(kPpd)) GTEST_SKIP() << "cups-pdf is not installed (printer-driver-cups-pdf)";
  if (getuid() != 0) GTEST_SKIP() << "cups-pdf runs only as root, and a private cupsd runs its backends as root only when it runs as root itself";
  test::TempDir dir;
  PrivateCups cups(dir.path());
  std::string why;
  if (!cups.start(why)) GTEST_SKIP() << why;
  auto r = Tool({"lpadmin", "-h", cups.socket(), "-p", "planox-pdf", "-E", "-v", "cups-pdf:/", "-P", kPpd});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = Tool({"lpadmin", "-h", cups.socket(), "-d", "planox-pdf"});
  ASSERT_EQ(r.exitCode, 0) << r.err;

  const std::string folder = CupsPdfFolder();
  const auto before = PdfFiles(folder);
  test::WriteFile(dir.file("Q.dxf"), test::Section("ENTITIES", test::Line(0, 0, 100, 100) + test::Line(0, 100, 100, 0)) +
                                         test::Eof());
  r = test::RunProgram({test::ProgramPath(), "Q.dxf", "/G"}, dir.path(),
                       {"CUPS_SERVER=" + cups.socket(), "QT_QPA_PLATFORM=offscreen"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(Exists(dir.file("Q.pdf"))) << "a printer is installed: no PDF beside the drawing";
  EXPECT_EQ(r.err.find("Q.pdf"), std::string::npos) << r.err;

  // The queue converts the job and cups-pdf writes it as a PDF.
  std::string written;
  for (int i = 0; i < 600 && written.empty(); ++i) {
    if (Tool({"lpstat", "-h", cups.socket(), "-W", "completed", "-o", "planox-pdf"}).out.find("planox-pdf-") !=
        std::string::npos)
      for (const auto& f : PdfFiles(folder))
        if (!before.count(f)) written = f;
    if (written.empty()) std::this_thread::sleep_for(100ms);
  }
  ASSERT_FALSE(written.empty()) << "no PDF from the queue in " << folder << "\n"
                                << test::ReadFile(dir.file("log/error_log"));
  r = Tool({"pdftoppm", "-r", "20", "-gray", "-singlefile", written, dir.file("page")});
  std::remove(written.c_str());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // Dark pixels on the page (after the three header lines "P5", size and
  // 255): the two crossing lines.
  const std::string pgm = test::ReadFile(dir.file("page.pgm"));
  size_t start = 0;
  for (int line = 0; line < 3 && start != std::string::npos; ++line) start = pgm.find('\n', start + (line > 0));
  ASSERT_NE(start, std::string::npos);
  size_t dark = 0;
  for (size_t i = start + 1; i < pgm.size(); ++i) dark += static_cast<unsigned char>(pgm[i]) < 128;
  EXPECT_GT(dark, 20u);
}

}  // namespace
}  // namespace planox
