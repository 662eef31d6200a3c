// The batch run's options and file search, and whole batch runs of the
// built program in console form.
#include <cstdlib>
#include <filesystem>

#include "app/batch.h"
#include "app/session.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using test::TempDir;
using test::WriteFile;

class BatchOptions : public test::Defaults {};

TEST_F(BatchOptions, TargetsChannelsAndNumbers) {
  BatchFlags f;
  EXPECT_TRUE(ApplyBatchOption("/CHPL", f));
  EXPECT_EQ(Settings.SyntaxCode, 11);
  EXPECT_TRUE(f.targetGiven);
  EXPECT_TRUE(ApplyBatchOption("/cps", f));
  EXPECT_EQ(Settings.SyntaxCode, 10);
  EXPECT_TRUE(ApplyBatchOption("/Cc", f));
  EXPECT_EQ(Settings.SyntaxCode, 8);
  EXPECT_TRUE(ApplyBatchOption("/CSVG", f));
  EXPECT_EQ(Settings.SyntaxCode, 13);
  EXPECT_TRUE(ApplyBatchOption("/L5", f));
  EXPECT_EQ(Settings.NcSyntax, 5);
  EXPECT_FALSE(ApplyBatchOption("/Cxyz", f));
  for (auto [opt, code] : {std::pair{"/D2", 2}, {"/D7", 3}, {"/D0", 3}, {"/D1", 1}, {"/Dx", 3}}) {
    EXPECT_TRUE(ApplyBatchOption(opt, f));
    EXPECT_EQ(Settings.DeviceCode, code) << opt;
  }
  EXPECT_TRUE(ApplyBatchOption("/M0,5", f));
  EXPECT_DOUBLE_EQ(static_cast<double>(Settings.PlotScale), 0.5);
  EXPECT_TRUE(ApplyBatchOption("/Xabc", f));
  EXPECT_EQ(Settings.PlotOriginX, 0);
  EXPECT_TRUE(ApplyBatchOption("/Fout", f));
  EXPECT_EQ(Session.PlotFile, "out");
  EXPECT_TRUE(ApplyBatchOption("/r", f));
  EXPECT_EQ(Settings.Rotate90, 'J');
  EXPECT_TRUE(ApplyBatchOption("/H12", f));
  EXPECT_TRUE(ApplyBatchOption("/I1.5", f));
  EXPECT_FALSE(ApplyBatchOption("/Q", f));  // listed in the usage text, but not accepted
  EXPECT_FALSE(ApplyBatchOption("/E", f));
  EXPECT_FALSE(ApplyBatchOption("CHPL", f));
  EXPECT_TRUE(ApplyBatchOption("/G", f));
  EXPECT_TRUE(f.print);
  EXPECT_TRUE(ApplyBatchOption("/?", f));
  EXPECT_TRUE(f.usage);
}

TEST_F(BatchOptions, PenNumbers) {
  BatchFlags f;
  EXPECT_TRUE(ApplyBatchOption("/V*=3", f));
  EXPECT_EQ(Settings.PenNumbers[0], 0);
  for (int i = 1; i <= 15; ++i) EXPECT_EQ(Settings.PenNumbers[i], 3);
  EXPECT_TRUE(ApplyBatchOption("/V2=9", f));
  EXPECT_EQ(Settings.PenNumbers[2], 9);
  auto before = Settings.PenNumbers;
  EXPECT_TRUE(ApplyBatchOption("/V16=3", f));
  EXPECT_TRUE(ApplyBatchOption("/V0=3", f));
  EXPECT_TRUE(ApplyBatchOption("/V5", f));
  EXPECT_EQ(Settings.PenNumbers, before);
}

TEST(BatchFiles, MaskMatchesOrdinaryFilesWhateverTheCase) {
  TempDir dir;
  for (const char* n : {"A1.DXF", "a2.dxf", "b.dxf", ".A3.DXF", "A4.txt"}) WriteFile(dir.file(n), "x");
  std::filesystem::create_directory(dir.file("A5.DXF"));
  auto found = FindMaskFiles(dir.path() + "/A*.DXF");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], dir.file("A1.DXF"));
  EXPECT_EQ(found[1], dir.file("a2.dxf"));
  EXPECT_TRUE(FindMaskFiles(dir.path() + "/nothing*.dxf").empty());
  EXPECT_TRUE(FindMaskFiles(dir.file("missing") + "/*.dxf").empty());
}

class BatchRun : public ::testing::Test {
 protected:
  test::RunResult run(std::vector<std::string> args) {
    args.insert(args.begin(), test::ProgramPath());
    return test::RunProgram(args, dir.path(), {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "TEMP=" + dir.path()});
  }
  TempDir dir;
};

TEST_F(BatchRun, FailuresEndWithCodeOne) {
  auto none = run({"Z*.DXF", "/CHPL"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.err.find("Z*.DXF : pas de fichiers !"), std::string::npos) << none.err;

  WriteFile(dir.file("PLAN.DXF"), "  0\nEOF\n");
  auto e = run({"PLAN.DXF", "/E"});
  EXPECT_EQ(e.exitCode, 1);
  EXPECT_NE(e.err.find("/E : invalid option !"), std::string::npos) << e.err;
  auto q = run({"P*.DXF", "/Q"});
  EXPECT_EQ(q.exitCode, 1);
  EXPECT_NE(q.err.find("/Q : invalid option !"), std::string::npos);
  auto noSlash = run({"P*.DXF", "CHPL"});
  EXPECT_EQ(noSlash.exitCode, 1);
}

TEST_F(BatchRun, UsageAmongTheOptions) {
  WriteFile(dir.file("PLAN.DXF"), "  0\nEOF\n");
  auto r = run({"P*.DXF", "/M2", "/?"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.rfind("ordre:  planox fichier DXF", 0), 0u);
}

TEST_F(BatchRun, SamplesToPostScriptRenderInGhostscript) {
  auto r = run({test::SourceDir() + "/samples/*.dxf", "/CPS"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  for (const char* name : {"floorplan.ps", "flange.ps"}) {
    ASSERT_TRUE(std::filesystem::exists(dir.file(name))) << name;
    std::string cmd = "gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=nullpage " + dir.file(name) + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << name;
  }
}

// The bundled drawings for a cutter and for a mill run by GRBL or
// LinuxCNC: rsvg-convert renders the SVG files, rs274 reads the program.
TEST_F(BatchRun, SamplesToSvgAndIsoGcode) {
  auto r = run({test::SourceDir() + "/samples/*.dxf", "/CSVG"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  for (const char* name : {"floorplan.svg", "flange.svg"}) {
    ASSERT_TRUE(std::filesystem::exists(dir.file(name))) << name;
    std::string cmd = "rsvg-convert -o " + dir.file("out.png") + " " + dir.file(name) + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << name;
  }
  r = run({test::SourceDir() + "/samples/flange.dxf", "/CCNC", "/L5"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::string program = test::ReadFile(dir.file("flange.cnc"));
  EXPECT_EQ(program.find("G21 G90 G17 G94\r\n"), program.find("\r\n") + 2) << program.substr(0, 200);
  std::string table = dir.file("pens.tbl");
  WriteFile(table, "T1 P1\nT2 P2\nT3 P3\nT4 P4\nT5 P5\nT6 P6\nT7 P7\n");
  std::string cmd = "rs274 -t " + table + " -g " + dir.file("flange.cnc") + " /dev/null >/dev/null 2>&1";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
}

// Every drawing of the corpus, converted to every target by the batch run:
// no crash, and each run ends normally.
TEST_F(BatchRun, CorpusConvertsToEveryTarget) {
  SKIP_WITHOUT_CORPUS();
  const char* targets[] = {"plt", "art", "hpg", "cnc", "dxf", "pas", "igs", "c", "pl2", "ps", "hpl", "grm", "svg"};
  for (const char* folder : {"ezdxf", "dxf-parser", "librecad"}) {
    for (const char* t : targets) {
      auto r = run({test::CorpusDir() + "/" + folder + "/*.dxf", std::string("/C") + t});
      EXPECT_EQ(r.exitCode, 0) << folder << " /C" << t << "\n" << r.err.substr(0, 2000);
    }
  }
  size_t outputs = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) outputs += e.is_regular_file();
  EXPECT_GT(outputs, 500u);
}

}  // namespace
}  // namespace planox
