// The batch run's options and file search, and whole batch runs of the
// built program in console form.
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/batch.h"
#include "base/session.h"
#include "convert/targets.h"
#include "drawing/drawing_support.h"
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

TEST_F(BatchOptions, ScaleOutsideTheOfferedRangeIsRefused) {
  BatchFlags f;
  for (const char* bad : {"/M*", "/M0", "/M1000", "/M0.001", "/Mabc", "/M-1"})
    EXPECT_FALSE(ApplyBatchOption(bad, f)) << bad;
  EXPECT_EQ(Settings.PlotScale, 1);
  for (const char* good : {"/M0.01", "/M100", "/M2,5"}) EXPECT_TRUE(ApplyBatchOption(good, f)) << good;
  EXPECT_DOUBLE_EQ(static_cast<double>(Settings.PlotScale), 2.5);
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

// Drawings for whole runs: lines on layer 0 (white, pen 7) and on a layer
// whose colour 8 selects no pen, and texts.
std::string Drawing(const std::string& entities) {
  using namespace test;
  return Section("TABLES", G(0, "TABLE") + G(2, "LAYER") + LayerEntry("0", 7) + LayerEntry("GREY", 8) +
                               G(0, "ENDTAB")) +
         Section("ENTITIES", entities) + Eof();
}
std::string Lines() { return Drawing(test::Line(0, 0, 10, 0) + test::Line(10, 0, 10, 10)); }

TEST_F(BatchRun, AnUnreadableDrawingDoesNotStopTheRun) {
  WriteFile(dir.file("a.dxf"), Lines());
  WriteFile(dir.file("m.dxf"), std::string("AutoCAD Binary DXF\r\n\x1a\0", 22));
  WriteFile(dir.file("z.dxf"), Lines());
  auto r = run({"*.dxf", "/CPLT"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.err.find("Quitter PLANOX ?"), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir.file("a.plt")));
  EXPECT_TRUE(std::filesystem::exists(dir.file("z.plt"))) << r.err;
  // Every drawing readable: exit code 0.
  std::filesystem::remove(dir.file("m.dxf"));
  EXPECT_EQ(run({"*.dxf", "/CPLT"}).exitCode, 0);
}

TEST_F(BatchRun, EveryOutputTakesItsDrawingsName) {
  WriteFile(dir.file("t.dxf"), Lines());
  auto r = run({"t.dxf", "/CPLT"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir.file("t.plt")));
  EXPECT_FALSE(std::filesystem::exists(dir.file(".plt")));
  // /F names the output of one drawing; with several, it is joined to each
  // drawing's name so that none overwrites another.
  EXPECT_EQ(run({"t.dxf", "/CPLT", "/Fone"}).exitCode, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("one.plt")));
  WriteFile(dir.file("u.dxf"), Lines());
  for (const char* target : {"/CPLT", "/CCNC"}) {
    EXPECT_EQ(run({"*.dxf", target, "/Fall"}).exitCode, 0) << target;
  }
  for (const char* name : {"all_t.plt", "all_u.plt", "all_t.cnc", "all_u.cnc"})
    EXPECT_TRUE(std::filesystem::exists(dir.file(name))) << name;
}

TEST_F(BatchRun, ScaleStarIsAnInvalidOption) {
  WriteFile(dir.file("t.dxf"), Lines());
  for (const char* bad : {"/M*", "/M0", "/M1000"}) {
    auto r = run({"t.dxf", "/CPLT", bad});
    EXPECT_EQ(r.exitCode, 1) << bad;
    EXPECT_NE(r.err.find(std::string(bad) + " : invalid option !"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("t.plt"))) << bad;
  }
}

TEST_F(BatchRun, OnlyTheProgramsOwnLinesOnStandardError) {
  WriteFile(dir.file("t.dxf"), Lines());
  auto r = test::RunProgram({test::ProgramPath(), "t.dxf", "/CPLT"}, dir.path(),
                            {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "XDG_RUNTIME_DIR=",
                             "TEMP=" + dir.path()});
  EXPECT_EQ(r.exitCode, 0);
  // One line: the report of the one drawing.
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(r.err.find("QStandardPaths"), std::string::npos) << r.err;
}

// A conversion shows nothing and needs nothing of the desktop: it runs
// where no Qt platform can be loaded at all.
TEST_F(BatchRun, ConvertsWithoutAnyQtPlatform) {
  WriteFile(dir.file("t.dxf"), Lines());
  auto r = test::RunProgram({test::ProgramPath(), "t.dxf", "/CPLT"}, dir.path(),
                            {"QT_QPA_PLATFORM=no-such-platform", "TEMP=" + dir.path()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir.file("t.plt")));
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_F(BatchRun, TheReportNamesWhatWasLeftOut) {
  WriteFile(dir.file("t.dxf"), Drawing(test::Line(0, 0, 10, 0) + test::Line(0, 0, 5, 5, "GREY")));
  auto r = run({"t.dxf", "/CPLT"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.err.find("t.dxf -> t.plt : 1 \xc3\xa9l\xc3\xa9ment de dessin \xc3\xa9" "crit ; omis : 1 d'une couleur sans plume"),
            std::string::npos)
      << r.err;
  // Entities of types the reader does not read, named with their counts.
  const std::string solid = test::G(0, "3DSOLID") + test::G(8, "0");
  WriteFile(dir.file("t.dxf"), Drawing(test::Line(0, 0, 10, 0) + solid + solid + test::G(0, "IMAGE") + test::G(8, "0")));
  r = run({"t.dxf", "/CPLT"});
  EXPECT_NE(r.err.find("omis : 3 entit\xc3\xa9s de types non lus (3DSOLID 2 IMAGE 1)"), std::string::npos) << r.err;
  // Nothing written at all: a warning.
  WriteFile(dir.file("t.dxf"), Drawing(test::Line(0, 0, 5, 5, "GREY")));
  r = run({"t.dxf", "/CPLT"});
  EXPECT_EQ(r.err.rfind("Attention :  t.dxf -> t.plt : aucun \xc3\xa9l\xc3\xa9ment de dessin \xc3\xa9" "crit !", 0), 0u)
      << r.err;
}

TEST_F(BatchRun, TextsWithoutATextCommandBeepOncePerConversion) {
  std::string texts;
  for (int i = 0; i < 100; ++i)
    texts += test::G(0, "TEXT") + test::G(8, "0") + test::G(10, i) + test::G(20, 0.0) + test::G(40, 2.0) +
             test::G(1, "T" + std::to_string(i));
  WriteFile(dir.file("t.dxf"), Drawing(test::Line(0, 0, 10, 0) + texts));
  auto r = run({"t.dxf", "/CCNC"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\a'), 1) << r.err;
  EXPECT_NE(r.err.find("100 textes sans commande texte de la cible"), std::string::npos) << r.err;
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

TEST_F(BatchRun, ARefusedConversionFailsTheRun) {
  WriteFile(dir.file("plan.dxf"), Lines());
  auto r = run({"plan.dxf", "/CDXF"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Noms des fichiers d'origine et de destination identiques !"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("->"), std::string::npos) << r.err;
}

// A LINE, an INSERT of a block the file never defines, another LINE.
TEST_F(BatchRun, AnUndefinedBlockIsLeftOutAndTheReadGoesOn) {
  WriteFile(dir.file("t.dxf"), Drawing(test::Line(0, 0, 10, 0) + test::Insert("NOPE", 5, 5) + test::Line(0, 5, 10, 5)));
  auto r = run({"t.dxf", "/CPLT"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string plt = test::ReadFile(dir.file("t.plt"));
  EXPECT_NE(plt.find("PA400,200;"), std::string::npos) << plt;  // the second line
  EXPECT_EQ(plt.substr(plt.size() - 12), "IW;PU;PA0,0;") << plt;
  EXPECT_NE(r.err.find("omis : 1 insertion d'un bloc non d\xc3\xa9" "fini"), std::string::npos) << r.err;
}

TEST_F(BatchRun, NestingTooDeepIsLeftOutOnceSaidAndTheReadGoesOn) {
  using namespace test;
  const std::string dxf = Section("BLOCKS", Block("SELF", Line(0, 0, 1, 0) + Insert("SELF", 1, 1))) +
                          Section("ENTITIES", Insert("SELF", 0, 0) + Insert("SELF", 10, 0) + Line(0, 5, 10, 5)) + Eof();
  WriteFile(dir.file("t.dxf"), dxf);
  auto r = run({"t.dxf", "/CPLT"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string plt = ReadFile(dir.file("t.plt"));
  EXPECT_EQ(plt.substr(plt.size() - 12), "IW;PU;PA0,0;") << plt;
  EXPECT_NE(plt.find("PA400,200;"), std::string::npos) << plt;  // the line after the insertions
  size_t said = 0;
  for (size_t p = r.err.find("Error blocknr 5"); p != std::string::npos; p = r.err.find("Error blocknr 5", p + 1)) ++said;
  EXPECT_EQ(said, 1u) << r.err;
  EXPECT_NE(r.err.find("2 insertions trop imbriqu\xc3\xa9" "es"), std::string::npos) << r.err;
}

TEST_F(BatchRun, ADrawingWithoutEofIsConvertedWithAWarning) {
  std::string cut = Lines();
  cut.resize(cut.size() - std::string("0\nENDSEC\n0\nEOF\n").size());
  WriteFile(dir.file("t.dxf"), cut);
  auto r = run({"t.dxf", "/CPLT"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string plt = test::ReadFile(dir.file("t.plt"));
  EXPECT_EQ(plt.substr(plt.size() - 12), "IW;PU;PA0,0;") << plt;
  EXPECT_NE(plt.find("PA400,400;"), std::string::npos) << plt;  // the last line is there
  EXPECT_NE(r.err.find("Fin du fichier DXF sans EOF"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("2 \xc3\xa9l\xc3\xa9ments de dessin"), std::string::npos) << r.err;
}

// Every drawing of the corpus, converted to every target by the batch run:
// no crash; each drawing gets its report line (what was written and left
// out) or, when it cannot be read, the quit question; the exit code says
// whether any drawing was not converted.
TEST_F(BatchRun, CorpusConvertsToEveryTarget) {
  SKIP_WITHOUT_CORPUS();
  auto count = [](const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
  };
  for (const char* folder : {"ezdxf", "dxf-parser", "librecad"}) {
    const size_t drawings = FindMaskFiles(test::CorpusDir() + "/" + folder + "/*.dxf").size();
    for (const TargetRow& row : Targets()) {
      const std::string t = row.batchCode;
      auto r = run({test::CorpusDir() + "/" + folder + "/*.dxf", "/C" + t});
      const size_t reports = count(r.err, ".dxf -> ");  // "drawing -> output : …"
      const size_t unread = count(r.err, "Quitter PLANOX ?");
      EXPECT_LE(reports + unread, drawings) << folder << " /C" << t << "\n" << r.err.substr(0, 3000);
      EXPECT_GT(reports, drawings / 2) << folder << " /C" << t;
      EXPECT_EQ(r.exitCode, reports < drawings ? 1 : 0) << folder << " /C" << t;
    }
  }
  size_t outputs = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) outputs += e.is_regular_file();
  EXPECT_GT(outputs, 500u);
}

}  // namespace
}  // namespace planox
