// The help-picture browser and its index, and the error help, with the
// windows replaced by scripted answers.
#include "help/hbild.h"

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <deque>
#include <filesystem>

#include "base/session.h"
#include "base/textconv.h"
#include "display/hpglin.h"
#include "display/quorgraf.h"
#include "base/vektor.h"
#include "help/helperr.h"
#include "help/helptext.h"
#include "support/testsupport.h"

namespace planox {
namespace {

std::deque<PictureWindowAnswer> windowAnswers;
std::vector<std::pair<std::vector<std::string>, int>> windowsShown;

PictureWindowAnswer scriptedWindow(const std::vector<std::string>& entries, int pictures, int selected) {
  windowsShown.push_back({std::vector<std::string>(entries.begin(), entries.begin() + pictures), selected});
  if (windowAnswers.empty()) return {true, 0, 0};
  PictureWindowAnswer a = windowAnswers.front();
  windowAnswers.pop_front();
  return a;
}

struct Shown {
  std::string message, cause, remedy;
};
std::vector<Shown> errorDialogs;

class HelpFiles : public test::Defaults {
 protected:
  void SetUp() override {
    test::Defaults::SetUp();
    ResetHpglState();
    ClearErrorLog();
    SetCommandLine({});
    Settings.PltDir = dir.path();
    Settings.TempDir = temp.path();
    quor.H_Init();
    SetHelpGraphics(&quor);
    windowAnswers.clear();
    windowsShown.clear();
    errorDialogs.clear();
    SetPictureWindow(scriptedWindow);
    SetErrorHelpDialog([](const std::string& m, const std::string& c, const std::string& r) {
      errorDialogs.push_back({m, c, r});
    });
  }
  void TearDown() override {
    SetPictureWindow(nullptr);
    SetErrorHelpDialog(nullptr);
    SetHelpGraphics(nullptr);
    ClearErrorLog();
    quor.H_Done();
    test::Defaults::TearDown();
  }
  std::string index() const { return test::ReadFile(dir.file("planox.dbh")); }
  // Files in the help folder other than the given ones.
  std::vector<std::string> strayFiles(std::initializer_list<std::string> known) const {
    std::vector<std::string> v;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      const std::string n = e.path().filename().string();
      if (std::find(known.begin(), known.end(), n) == known.end()) v.push_back(n);
    }
    return v;
  }
  size_t lines() {
    size_t n = 0;
    for (size_t i = 0; i < quor.list().size(); ++i) n += quor.list().code(i) == RecLine;
    return n;
  }
  void pictures() {
    test::WriteFile(dir.file("planox.dbh"), "\"one\",\"first\"\r\n\"two\",\"second\"\r\n\"three\",\"third\"\r\n");
    test::WriteFile(dir.file("one.plt"), "SP1;PU0,0;PD400,0;");
    test::WriteFile(dir.file("two.plt"), "SP1;PU0,0;PD400,0,400,400;");
    test::WriteFile(dir.file("three.plt"), "SP1;PU0,0;PD400,0,400,400,0,0;");
  }

  test::TempDir dir, temp;
  GraphWindow window;
  QuorGraf quor{window};
};

TEST_F(HelpFiles, TheIndexListsPicturesAndFiveActions) {
  pictures();
  const auto l = ReadPictureIndex(dir.file("planox.dbh"));
  ASSERT_EQ(l.size(), 3u);
  EXPECT_EQ(FillPictureList(l), 3);
  ASSERT_EQ(ChoiceList.size(), 8u);
  EXPECT_EQ(ChoiceList[0], "one     : first");
  EXPECT_EQ(ChoiceList[3], "-----  Elargir  -----");
  EXPECT_EQ(ChoiceList[4], "-----  Eteindre  -----");
  EXPECT_EQ(ChoiceList[5], "-----  Modifier  ------");
  EXPECT_EQ(ChoiceList[6], "-----  Ins\x82rer ------");
  EXPECT_EQ(ChoiceList[7], "-----  imprime/tracer HP-GL/2  ------");
  EXPECT_EQ(PictureIndexText(l[1]), "\"two\",\"second\"");
  // A field without its quotation mark is reported and reading goes on.
  test::WriteFile(dir.file("bad.dbh"), "\"a\",\"x\"\nb,\"y\"\n\"c\";\"z\"\n\"d\",\"w\"\n");
  EXPECT_EQ(ReadPictureIndex(dir.file("bad.dbh")).size(), 4u);
  ASSERT_EQ(ui.records.size(), 2u);
  EXPECT_EQ(ui.records[0].text, "Fichier DBH erreur");
  // At most 130 lines.
  std::string many;
  for (int i = 0; i < 200; ++i) many += "\"p" + std::to_string(i) + "\",\"d\"\n";
  test::WriteFile(dir.file("many.dbh"), many);
  EXPECT_EQ(ReadPictureIndex(dir.file("many.dbh")).size(), 130u);
}

TEST_F(HelpFiles, TheBrowserDrawsTheFirstPictureThenWhatIsChosen) {
  pictures();
  windowAnswers = {{false, 3, 0}, {false, 2, 0}};
  ShowHelpPictures();
  // First pass: picture 1 at once; then three, then two, then OK.
  ASSERT_EQ(windowsShown.size(), 3u);
  EXPECT_EQ(windowsShown[0].first.size(), 3u);
  EXPECT_EQ(windowsShown[0].second, 1);
  EXPECT_EQ(windowsShown[1].second, 3);
  EXPECT_EQ(windowsShown[2].second, 2);
  EXPECT_EQ(lines(), 2u);
  EXPECT_EQ(window.World().xmax, 160);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(HelpNumber, 2300);
}

TEST_F(HelpFiles, WithoutAnIndexAnyPlotFileIsShown) {
  test::TempDir other;
  test::WriteFile(other.file("x.plt"), "SP1;PU0,0;PD400,0;PD400,400;");
  // The installed help has an index: help files without one make the
  // folders the help folder.
  test::WriteFile(dir.file("quorvel.hlp"), "");
  test::WriteFile(other.file("quorvel.hlp"), "");
  ui.answerText(other.file("x.plt"));
  ShowHelpPictures();
  EXPECT_EQ(lines(), 2u);
  EXPECT_EQ(Settings.PltDir, other.path() + "/");
  ASSERT_EQ(ui.records.size(), 2u);  // the second file dialog was cancelled
  EXPECT_EQ(ui.records[0].text, "*.plt");
}

TEST_F(HelpFiles, AddChangeInsertAndDeleteRewriteTheIndex) {
  pictures();
  test::WriteFile(dir.file("four.plt"), "");
  // New: a file and its description, appended.
  windowAnswers = {{false, 1, 1}};
  ui.answerText(dir.file("four.plt"));
  ui.answerText("fourth");
  ShowHelpPictures();
  EXPECT_EQ(index(), "\"one\",\"first\"\r\n\"two\",\"second\"\r\n\"three\",\"third\"\r\n\"four\",\"fourth\"\r\n");
  EXPECT_EQ(ui.records[1].helpNumber, 2310);
  // Change line 2: name, then description preset with the old one.
  ui.records.clear();
  windowAnswers = {{false, 2, 9}};
  ui.answerText("deux");
  ui.answerText("second one");
  ShowHelpPictures();
  ASSERT_GE(ui.records.size(), 2u);
  EXPECT_EQ(ui.records[0].preset, "two");
  EXPECT_EQ(ui.records[0].helpNumber, 2340);
  EXPECT_EQ(ui.records[1].preset, "second");
  EXPECT_EQ(index(), "\"one\",\"first\"\r\n\"deux\",\"second one\"\r\n\"three\",\"third\"\r\n\"four\",\"fourth\"\r\n");
  // Insert before line 1.
  windowAnswers = {{false, 1, 2}};
  ui.answerText(dir.file("four.plt"));
  ui.answerText("again");
  ShowHelpPictures();
  EXPECT_EQ(index().substr(0, 18), "\"four\",\"again\"\r\n\"o");
  // Delete, confirmed.
  windowAnswers = {{false, 1, 3}};
  ui.answerYesNo('J');
  ShowHelpPictures();
  EXPECT_EQ(index(), "\"one\",\"first\"\r\n\"deux\",\"second one\"\r\n\"three\",\"third\"\r\n\"four\",\"fourth\"\r\n");
  // No work file is left beside the index.
  EXPECT_EQ(strayFiles({"planox.dbh", "one.plt", "two.plt", "three.plt", "four.plt"}), std::vector<std::string>{});
}

TEST_F(HelpFiles, DeletingTheOnlyLineLeavesAnEmptyIndex) {
  test::WriteFile(dir.file("planox.dbh"), "\"one\",\"first\"\r\n");
  test::WriteFile(dir.file("one.plt"), "");
  windowAnswers = {{false, 1, 3}};
  ui.answerYesNo('J');
  ShowHelpPictures();
  EXPECT_EQ(index(), "");
  EXPECT_TRUE(std::filesystem::exists(dir.file("planox.dbh")));
}

TEST_F(HelpFiles, APictureGoesToThePortWithTheLaserSequences) {
  pictures();
  setenv("PLANOX_LPT2", dir.file("port").c_str(), 1);
  test::WriteFile(dir.file("port"), "");
  // The print entry of the list, then which picture, the port, the laser
  // question.
  windowAnswers = {{false, 8, 0}};
  ui.answerChoice(2);
  ui.answerText("2");
  ui.answerYesNo('J');
  ShowHelpPictures();
  unsetenv("PLANOX_LPT2");
  EXPECT_EQ(test::ReadFile(dir.file("port")),
            "\x1b" "E" "\x1b" "%0BSP1;PU0,0;PD400,0,400,400;\x1b%0A\x1b" "E");
  ASSERT_EQ(ui.records.size(), 3u);
  EXPECT_EQ(ui.records[0].text, "Imprimer quelles images ?");
  EXPECT_EQ(ui.records[0].helpNumber, 2360);
  EXPECT_EQ(ui.records[1].text, "Printer Interface (max = 3, default=1)");
  EXPECT_EQ(ui.records[1].helpNumber, 2365);
  EXPECT_EQ(ui.records[2].helpNumber, 2370);
  // Without the laser question's Yes the file goes alone.
  setenv("PLANOX_LPT1", dir.file("port").c_str(), 1);
  windowAnswers = {{false, 8, 0}};
  ui.answerChoice(1);
  ui.answerText("1");
  ui.answerYesNo('N');
  ShowHelpPictures();
  unsetenv("PLANOX_LPT1");
  EXPECT_EQ(test::ReadFile(dir.file("port")), "SP1;PU0,0;PD400,0;");
}

class ErrorHelp : public HelpFiles {
 protected:
  void SetUp() override {
    HelpFiles::SetUp();
    test::WriteFile(dir.file("planox.err"),
                    "GetArcCenter l12=0\r\nold cause\r\nold remedy\r\n"
                    "Error: function tan in Unit math\r\ntan cause\r\ntan remedy\r\n");
  }
};

TEST_F(ErrorHelp, AnEmptyLogSaysSo) {
  ShowErrorLog();
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, "Aucune erreur dans les calculs");
  LogError("GetArcCenter l12=0");
  SetCommandLine({"a.dxf", "/NOGUI"});
  ShowErrorLog();
  EXPECT_EQ(ui.records.size(), 1u);
}

TEST_F(ErrorHelp, TheLogIsListedAndEachMessageExplained) {
  LogError("Error: function tan in Unit math");
  LogError("GetArcCenter l12=0");
  LogError("Fehler in GetArcCenter (dphi = 0 ! ");
  ui.answerChoice(1);
  ui.answerChoice(3);
  ShowErrorLog();
  ASSERT_EQ(errorDialogs.size(), 1u);
  EXPECT_EQ(errorDialogs[0].message, "Error: function tan in Unit math");
  EXPECT_EQ(errorDialogs[0].cause, "tan cause");
  EXPECT_EQ(errorDialogs[0].remedy, "tan remedy");
  ASSERT_EQ(ui.records.size(), 3u);
  EXPECT_EQ(ui.records[0].choices.back(), "Continuer...");
  EXPECT_EQ(ui.records[0].preset, "4");  // "Continuer..." first
  EXPECT_EQ(ui.records[0].helpNumber, 1210);
  EXPECT_EQ(ui.records[1].preset, "2");  // then the next message
  EXPECT_EQ(ui.records[2].kind, "box");
  EXPECT_EQ(ui.records[2].caption, "Message");
  EXPECT_EQ(ui.records[2].text, "Aucune description de l'aide n'est disponible pour ce message d'erreur.");
}

TEST_F(ErrorHelp, SavingReplacesCauseAndRemedyOnlyWhenComplete) {
  SaveErrorHelp("GetArcCenter l12=0 (again)", "new cause", "new remedy");
  EXPECT_EQ(test::ReadFile(dir.file("planox.err")),
            "GetArcCenter l12=0\r\nnew cause\r\nnew remedy\r\n"
            "Error: function tan in Unit math\r\ntan cause\r\ntan remedy\r\n");
  // The temporary folder is the help folder: saved all the same (it used
  // to save nothing and say nothing).
  Settings.TempDir = dir.path();
  SaveErrorHelp("Error: function tan in Unit math", "c", "r");
  EXPECT_NE(test::ReadFile(dir.file("planox.err")).find("math\r\nc\r\nr\r\n"), std::string::npos);
  EXPECT_TRUE(ui.records.empty());
  // A message without entry changes nothing.
  const std::string before = test::ReadFile(dir.file("planox.err"));
  SaveErrorHelp("Unknown message here", "c", "r");
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, "Unknown message here not found.");
  EXPECT_EQ(test::ReadFile(dir.file("planox.err")), before);
  // A save that cannot be written completely keeps the old file.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 64;
  setrlimit(RLIMIT_FSIZE, &small);
  SaveErrorHelp("GetArcCenter l12=0", std::string(200, 'x'), "r");
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(test::ReadFile(dir.file("planox.err")), before);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(strayFiles({"planox.err"}), std::vector<std::string>{});
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
}

}  // namespace
}  // namespace planox
