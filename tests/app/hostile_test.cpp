// The built program under faults and hostile files: signals in the middle
// of a batch conversion, a full disk, FIFOs where files are expected.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "support/testsupport.h"

namespace planox {
namespace {

namespace fs = std::filesystem;
using namespace test;

// A drawing with a block and enough lines that converting it takes a while.
std::string BigDrawing(int lines) {
  std::string d =
      "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nDOOR\n10\n0\n20\n0\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n"
      "0\nENDBLK\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nINSERT\n2\nDOOR\n8\n0\n10\n5\n20\n5\n";
  d.reserve(d.size() + static_cast<size_t>(lines) * 60);
  for (int i = 0; i < lines; ++i) {
    std::string x = std::to_string(i % 1000);
    d += "0\nLINE\n8\n0\n10\n" + x + "\n20\n0\n11\n" + x + "\n21\n" + std::to_string(i % 700) + "\n";
  }
  return d + "0\nENDSEC\n0\nEOF\n";
}

// The program in console form in a start directory of its own, with its
// temporary directory beside it.
class Hostile : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir.file("run"));
    fs::create_directory(dir.file("temp"));
  }
  std::vector<std::string> env() const {
    return {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "TEMP=" + dir.file("temp")};
  }
  test::RunResult run(std::vector<std::string> args) {
    args.insert(args.begin(), test::ProgramPath());
    return test::RunProgram(args, dir.file("run"), env());
  }
  TempDir dir;
};

TEST_F(Hostile, SignalsRemoveThePartialOutputAndTheWorkFolder) {
  WriteFile(dir.file("run/big.dxf"), BigDrawing(300000));
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    pid_t pid = test::StartProgram({test::ProgramPath(), "big.dxf", "/CPLT", "/Fout"}, dir.file("run"), env());
    // Wait until the output is being written, then end the run.
    bool writing = false;
    for (int i = 0; i < 20000 && !writing; ++i) {
      for (const auto& n : FileNames(dir.file("run")))
        if (n.rfind(".planox-", 0) == 0) writing = true;
      if (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(writing) << "the conversion never started writing";
    ASSERT_FALSE(FileNames(dir.file("temp")).empty());  // the work folder
    kill(pid, sig);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << sig << " ended the program without its handler";
    EXPECT_EQ(WEXITSTATUS(status), 128 + sig);
    EXPECT_EQ(FileNames(dir.file("run")), std::vector<std::string>{"big.dxf"}) << sig;
    EXPECT_TRUE(FileNames(dir.file("temp")).empty()) << sig;
  }
}

TEST_F(Hostile, TheWindowClosesOnASignalAndSaysWhichOne) {
  WriteFile(dir.file("run/a.dxf"), BigDrawing(3));
  pid_t pid = test::StartProgram({test::ProgramPath(), "a.dxf"}, dir.file("run"),
                                 {"QT_QPA_PLATFORM=offscreen", "TEMP=" + dir.file("temp")});
  // The drawing is being shown once its block has gone to a work folder
  // (a folder the start-up makes may come and go before).
  auto blockWritten = [&] {
    for (const std::string& folder : FileNames(dir.file("temp")))
      for (const std::string& f : FileNames(dir.file("temp/" + folder)))
        if (f.ends_with(".dx$")) return true;
    return false;
  };
  for (int i = 0; i < 30000 && !blockWritten(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(blockWritten());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
  EXPECT_TRUE(FileNames(dir.file("temp")).empty());
}

TEST_F(Hostile, AFullDiskIsAFailedConversion) {
  WriteFile(dir.file("run/big.dxf"), BigDrawing(20000));
  WriteFile(dir.file("run/out.plt"), "the previous plot");
  // Files may not grow beyond 64 KiB: writes fail as on a full disk.
  std::string cmd = "trap '' XFSZ; ulimit -f 64; exec '" + test::ProgramPath() + "' big.dxf /CPLT /Fout";
  auto r = test::RunProgram({"/bin/sh", "-c", cmd}, dir.file("run"), env());
  EXPECT_NE(r.err.find("Erreur d'\xc3\xa9" "criture : out.plt"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(dir.file("run/out.plt")), "the previous plot");
  EXPECT_EQ(FileNames(dir.file("run")), (std::vector<std::string>{"big.dxf", "out.plt"}));
}

TEST_F(Hostile, FifosWhereFilesBelongNeverHang) {
  WriteFile(dir.file("run/a.dxf"), BigDrawing(3));
  for (const char* n : {"run/pipe.dxf", "run/planox.cfg", "run/planox.cff", "run/ARISTO.TXT", "run/x.$$$"})
    ASSERT_EQ(mkfifo(dir.file(n).c_str(), 0600), 0) << n;
  // Each run ends by itself; a hang ends the test program by its alarm.
  alarm(120);
  auto drawing = run({"pipe.dxf"});
  EXPECT_EQ(drawing.exitCode, 0);
  EXPECT_NE(drawing.err.find("pas de fichier ouvert"), std::string::npos) << drawing.err;
  auto aristo = run({"a.dxf", "/CART"});
  alarm(0);
  std::string art = ReadFile(dir.file("run/a.art"));
  EXPECT_EQ(art.rfind("%a\r\n\r\nG90\r\n", 0), 0u) << art;
  EXPECT_NE(art.find("M02"), std::string::npos);
}

}  // namespace
}  // namespace planox
