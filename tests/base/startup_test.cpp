// Start-up state on disk: the directory checks, the session file with the
// recent-file list, the private work folder, and the command-line switches
// of the built program in console form.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/recent.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/textconv.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class Startup : public test::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
  }
  void TearDown() override {
    RemoveWorkDir();
    InTempDir::TearDown();
  }
  std::vector<std::string> errors() const { return ui.boxTexts(); }
};

TEST_F(Startup, EmptyDirectoriesFallBackToTempAndStartDir) {
  std::string oldTemp = getenv("TEMP") ? getenv("TEMP") : "";
  setenv("TEMP", dir.path().c_str(), 1);
  CheckDirectories();
  EXPECT_EQ(Settings.TempDir, dir.path() + "/");
  unsetenv("TEMP");
  unsetenv("TMPDIR");
  Settings.TempDir = "   ";
  CheckDirectories();
  EXPECT_EQ(Settings.TempDir, dir.path() + "/");
  EXPECT_EQ(Settings.DbfDir, dir.path() + "/");
  EXPECT_EQ(Settings.PltDir, dir.path() + "/");
  EXPECT_EQ(Settings.EdiDir, dir.path() + "/");
  EXPECT_TRUE(errors().empty());
  // The probe file is gone again.
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.$$$")));
  if (!oldTemp.empty()) setenv("TEMP", oldTemp.c_str(), 1);
}

TEST_F(Startup, InvalidDirectoriesAreReportedAndStartUpGoesOn) {
  if (geteuid() == 0) {
    // root writes everywhere; a missing directory stands in for a read-only one.
  }
  Settings.CadDir = dir.file("missing-cad");
  Settings.DbfDir = dir.file("missing-dbf");
  Settings.PltDir = dir.file("missing-plt");
  Settings.TempDir = dir.file("missing-temp");
  Settings.EdiDir = dir.file("missing-edi");
  ui.answerText(dir.path());  // the new temporary directory
  CheckDirectories();
  std::vector<std::string> expected = {
      "non valide CAD Annuaire configur\x82", "non valide DBF Annuaire configur\x82",
      "non valide PLT Annuaire configur\x82", "non valide Annuaire provisoire configur\x82",
      "non valide EDI Annuaire configur\x82"};
  EXPECT_EQ(errors(), expected);
  EXPECT_EQ(Settings.TempDir, dir.path());
  bool asked = false;
  for (const auto& r : ui.records)
    if (r.kind == "text") asked = r.text == "Annuaire provisoire";
  EXPECT_TRUE(asked);
}

TEST_F(Startup, SessionFileKeepsFiveLines) {
  Session.DrawingDir = "/d/";
  Session.RecentFiles = {"/d/A.DXF", "/d/B.DXF", "", ""};
  SaveSession();
  EXPECT_EQ(ReadFile(dir.file("planox.cff")), "planox Session /d/\r\n/d/A.DXF\r\n/d/B.DXF\r\n\r\n\r\n");
  Session.RecentFiles = {"x", "y", "z", "w"};
  LoadSession();
  EXPECT_EQ(Session.RecentFiles[0], "/d/A.DXF");
  EXPECT_EQ(Session.RecentFiles[1], "/d/B.DXF");
  EXPECT_EQ(Session.RecentFiles[2], "");
}

TEST_F(Startup, DamagedOrMissingSessionFileGivesEmptyEntries) {
  Session.RecentFiles = {"x", "y", "z", "w"};
  LoadSession();  // no file
  for (const auto& e : Session.RecentFiles) EXPECT_EQ(e, "");

  // LF and CR line ends, binary bytes, a line of megabytes, a short file.
  std::string garbage = "head\n/a/one.dxf\r/a/t\x01wo.dxf\n" + std::string(3'000'000, 'Q');
  WriteFile(dir.file("planox.cff"), garbage);
  LoadSession();
  EXPECT_EQ(Session.RecentFiles[0], "/a/one.dxf");
  EXPECT_EQ(Session.RecentFiles[1], "/a/two.dxf");
  EXPECT_EQ(Session.RecentFiles[2].size(), 4096u);
  EXPECT_EQ(Session.RecentFiles[3], "");
  EXPECT_TRUE(errors().empty());
}

TEST_F(Startup, WorkFilesLiveInAPrivateFolderThatIsRemoved) {
  Settings.TempDir = dir.path() + "/";
  std::string work = WorkDir();
  ASSERT_NE(work, Settings.TempDir);
  EXPECT_EQ(work.compare(0, Settings.TempDir.size(), Settings.TempDir), 0);
  EXPECT_EQ(WorkDir(), work);  // the same folder for the whole run
  WriteFile(work + "$BLOCK1.dx$", "x");
  WriteFile(work + "$B2.dx$", "x");
  WriteFile(work + "keep.txt", "x");
  WriteFile(dir.file("$OTHER.dx$"), "another program's file");
  RemoveTempFiles();
  EXPECT_FALSE(std::filesystem::exists(work + "$BLOCK1.dx$"));
  EXPECT_FALSE(std::filesystem::exists(work + "$B2.dx$"));
  EXPECT_TRUE(std::filesystem::exists(work + "keep.txt"));
  EXPECT_TRUE(std::filesystem::exists(dir.file("$OTHER.dx$")));
  RemoveWorkDir();
  EXPECT_FALSE(std::filesystem::exists(work));
}

TEST_F(Startup, RecentFilesMoveToTheTopWithoutDuplicates) {
  Session.DrawingDir = "/d/";
  Session.FileExtension = "DXF";
  for (const char* n : {"A", "B", "C", "D", "E"}) AddRecentFile(n);
  EXPECT_EQ(Session.RecentFiles, (std::array<std::string, 4>{"/d/E.DXF", "/d/D.DXF", "/d/C.DXF", "/d/B.DXF"}));
  Session.FileExtension = "dxf";
  AddRecentFile("c");  // the same file as entry 3, written another way
  EXPECT_EQ(Session.RecentFiles, (std::array<std::string, 4>{"/d/c.dxf", "/d/E.DXF", "/d/D.DXF", "/d/B.DXF"}));
  RemoveRecentFile(2);
  EXPECT_EQ(Session.RecentFiles, (std::array<std::string, 4>{"/d/c.dxf", "/d/D.DXF", "/d/B.DXF", ""}));
  EXPECT_EQ(RecentFileCaption(1), "&1 /d/c.dxf");
}

TEST(RecentFiles, ShortenPathKeepsShortPathsAndCutsLongOnes) {
  std::string p49 = "/" + std::string(40, 'a') + "/PLAN.DX";  // 49 characters
  ASSERT_EQ(p49.size(), 49u);
  EXPECT_EQ(ShortenPath(p49), p49);
  std::string p50 = "/home/" + std::string(35, 'b') + "/PLAN.DXF";
  ASSERT_EQ(p50.size(), 50u);
  EXPECT_EQ(ShortenPath(p50), "/.../PLAN.DXF");
  std::string longNoDir = std::string(60, 'c');
  EXPECT_EQ(ShortenPath(longNoDir), longNoDir);
  EXPECT_EQ(ShortenPath("C:\\" + std::string(50, 'd') + "\\PLAN.DXF"), "C:\\...\\PLAN.DXF");
}

// The built program, in console form (no display, standard input not a
// terminal), in a fresh start directory.
class CommandLine : public ::testing::Test {
 protected:
  test::RunResult run(std::vector<std::string> args) {
    args.insert(args.begin(), test::ProgramPath());
    return test::RunProgram(args, dir.path(),
                            {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "TEMP=" + dir.path()});
  }
  TempDir dir;
};

TEST_F(CommandLine, UsageAndVersion) {
  for (const char* a : {"?", "/?", "--help", "-h"}) {
    auto r = run({a});
    EXPECT_EQ(r.exitCode, 0) << a;
    EXPECT_EQ(r.out.rfind("ordre:  planox fichier DXF [/Cxxx] [/Mx]", 0), 0u) << a << r.out;
    EXPECT_NE(r.out.find("/L : CNC-Mode ( 1=DIN 66025  2=SM  3=Deckel  4=drill  5=ISO)"), std::string::npos);
  }
  auto v = run({"--version"});
  EXPECT_EQ(v.exitCode, 0);
  EXPECT_EQ(v.out, "PLANOX 8.3\n");
}

TEST_F(CommandLine, NameWithoutDotAsksForTheExtension) {
  auto r = run({"plan"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.err.find("Erreur :  Agrandissement .dxf Indiquer"), std::string::npos) << r.err;
  // A run that ended during start-up leaves no session file behind.
  EXPECT_FALSE(std::filesystem::exists(dir.file("planox.cff")));
}

TEST_F(CommandLine, LoadSwitchEndsWithTheLoadResult) {
  WriteFile(dir.file("PLAN.DXF"), ReadFile(test::SourceDir() + "/samples/flange.dxf"));
  EXPECT_EQ(run({dir.file("PLAN.DXF"), "/I"}).exitCode, 0);
  EXPECT_EQ(run({dir.file("PLAN.DXF"), "/CADX"}).exitCode, 0);
  EXPECT_EQ(run({dir.file("MISSING.DXF"), "/i"}).exitCode, 1);
  EXPECT_EQ(run({dir.file("MISSING.DXF"), "/CAD"}).exitCode, 1);
  // A drawing that cannot be read ends a plain start with code 0.
  EXPECT_EQ(run({dir.file("MISSING.DXF")}).exitCode, 0);
}

}  // namespace
}  // namespace planox
