// Files where the program expects a regular file, and files it replaces:
// FIFOs, devices and directories under a file's name are refused at once,
// saves go through a new file that a failure never puts in place, and the
// work folders of runs that died are cleared away.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "base/fileio.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/textconv.h"
#include "config/configio.h"
#include "support/testsupport.h"

namespace planox {
namespace {

namespace fs = std::filesystem;
using namespace test;

// A test that would hang on a FIFO ends the test program instead.
class Watchdog {
 public:
  Watchdog() { alarm(20); }
  ~Watchdog() { alarm(0); }
};

class Files : public test::InTempDir {
 protected:
  void TearDown() override {
    RemoveWorkDir();
    InTempDir::TearDown();
  }
};

TEST_F(Files, OnlyRegularFilesAreOpenedForReading) {
  Watchdog watchdog;
  WriteFile(dir.file("plan.dxf"), "0\nEOF\n");
  ASSERT_EQ(mkfifo(dir.file("pipe.dxf").c_str(), 0600), 0);
  fs::create_directory(dir.file("folder.dxf"));
  fs::create_symlink("/dev/zero", dir.file("zero.dxf"));
  std::FILE* f = OpenRegularStream(dir.file("plan.dxf"));
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  for (const char* n : {"pipe.dxf", "folder.dxf", "zero.dxf", "missing.dxf"}) {
    EXPECT_EQ(OpenRegularStream(dir.file(n)), nullptr) << n;
    Session.AbortFlag = false;
    CheckInputFile(dir.file(n));
    EXPECT_TRUE(Session.AbortFlag) << n;
  }
  // Session and configuration files planted as FIFOs count as missing.
  ASSERT_EQ(mkfifo(dir.file("planox.cff").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(dir.file("planox.cfg").c_str(), 0600), 0);
  LoadSession();
  LoadConfiguration("planox");
  EXPECT_TRUE(Session.AbortFlag);
  // A FIFO planted as the directory probe does not hang the check.
  ASSERT_EQ(mkfifo(dir.file("x.$$$").c_str(), 0600), 0);
  EXPECT_TRUE(DirectoryWritable(dir.path() + "/"));
}

TEST_F(Files, AFailedSessionSaveKeepsThePreviousList) {
  Session.DrawingDir = "/d/";
  Session.RecentFiles = {"/d/A.DXF", "", "", ""};
  SaveSession();
  const std::string before = ReadFile(dir.file("planox.cff"));
  Session.RecentFiles = {"/d/" + std::string(3000, 'B') + ".DXF", "/d/C.DXF", "", ""};
  {
    FileSizeLimit limit(1000);
    SaveSession();
  }
  EXPECT_TRUE(Session.AbortFlag);
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, "disquette pleine");
  EXPECT_EQ(ReadFile(dir.file("planox.cff")), before);
  EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"planox.cff"});
}

TEST_F(Files, TheConfigurationSaveNeverFollowsAPlantedName) {
  // The names an earlier save wrote through before it renamed them.
  WriteFile(dir.file("victim"), "not yours");
  for (const std::string& planted :
       {dir.file("planox.cfg." + std::to_string(getpid()) + ".$$$"), dir.file("planox.cfg.$$$")})
    fs::create_symlink(dir.file("victim"), planted);
  SaveConfiguration("planox");
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(ReadFile(dir.file("victim")), "not yours");
  EXPECT_EQ(ReadFile(dir.file("planox.cfg")).rfind("PLANOX", 0), 0u);
}

TEST_F(Files, ReplacingKeepsTheOldFileUntilTheNewOneIsComplete) {
  const std::string name = dir.file("out.txt");
  WriteFile(name, "old");
  {
    ReplacingFile f;
    ASSERT_TRUE(f.Create(name));
    ASSERT_TRUE(f.Write("new"));
    EXPECT_EQ(ReadFile(name), "old");
    // Not committed: the new file goes with the object.
  }
  EXPECT_EQ(ReadFile(name), "old");
  EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"out.txt"});
  EXPECT_TRUE(ReplaceFileContent(name, "new"));
  EXPECT_EQ(ReadFile(name), "new");
  // A new file gets the permissions a plain create would give it.
  mode_t mask = umask(027);
  EXPECT_TRUE(ReplaceFileContent(dir.file("fresh.txt"), "x"));
  umask(mask);
  EXPECT_EQ(fs::status(dir.file("fresh.txt")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // In a folder that does not exist nothing can be made.
  EXPECT_FALSE(ReplaceFileContent(dir.file("gone/out.txt"), "x"));
}

TEST_F(Files, WorkFoldersOfRunsThatDiedAreRemoved) {
  // A process number that no longer runs: a child that has ended.
  pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  const std::string stale = dir.file("planox-" + std::to_string(dead) + "-AbC123");
  const std::string alive = dir.file("planox-" + std::to_string(getppid()) + "-XyZ789");
  const std::string other = dir.file("planox-notes");
  for (const auto& d : {stale, alive, other}) {
    fs::create_directory(d);
    WriteFile(d + "/$DOOR.dx$", "x");
  }
  Settings.TempDir = dir.path() + "/";
  std::string work = WorkDir();
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(alive));
  EXPECT_TRUE(fs::exists(other));
  // This run's own folder carries its process number.
  EXPECT_EQ(fs::path(WithoutSeparator(work)).filename().string().rfind("planox-" + std::to_string(getpid()) + "-", 0),
            0u);
}

}  // namespace
}  // namespace planox
