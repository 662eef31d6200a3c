#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class Prompts : public test::Defaults {
 protected:
  void TearDown() override {
    SetOverwriteConfirmation(true);
    Defaults::TearDown();
  }
  std::vector<ScriptedUi::Record> boxes() const {
    std::vector<ScriptedUi::Record> r;
    for (const auto& rec : ui.records)
      if (rec.kind == "box") r.push_back(rec);
    return r;
  }
};

TEST_F(Prompts, AskRealRetriesUntilValid) {
  ui.answerText("12");
  ui.answerText("abc");
  ui.answerText("7,5");
  EXPECT_EQ(AskReal("Hauteur", 5, 0, 10), 7.5);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(ui.beeps, 2);
  auto b = boxes();
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].caption, "Erreur : ");
  EXPECT_EQ(b[0].text, "Donn\x82" "e valide: " + RealToText(0) + " .. " + RealToText(10) + " !");
  EXPECT_EQ(b[1].text, "Pr\x82sentation non valide \"abc\" !");
  ASSERT_EQ(ui.records.size(), 5u);
  EXPECT_EQ(ui.records[0].kind, "text");
  EXPECT_EQ(ui.records[0].text, "Hauteur");
  // Every retry starts again from the last valid value.
  EXPECT_EQ(ui.records[0].preset, RealToText(5));
  EXPECT_EQ(ui.records[2].preset, RealToText(5));
  EXPECT_EQ(ui.records[4].preset, RealToText(5));

  // An unchanged text keeps the value exactly, even where the text rounds it.
  ui.answers.clear();
  ui.answerText(RealToText(1.23456789));
  EXPECT_EQ(AskReal("x", 1.23456789, 0, 10), 1.23456789);

  // A value with a blank around it and a leading plus is still a number.
  ui.answerText(" +3 ");
  EXPECT_EQ(AskReal("x", 1, 0, 10), 3);
}

TEST_F(Prompts, AskRealCancelKeepsTheOldValue) {
  ui.answerText("12");  // out of range, then Cancel
  ui.answerCancel();
  EXPECT_EQ(AskReal("x", 4, 0, 10), 4);
  EXPECT_TRUE(Session.AbortFlag);

  // An empty queue cancels as well.
  Session.AbortFlag = false;
  EXPECT_EQ(AskReal("x", 2.5, 0, 10), 2.5);
  EXPECT_TRUE(Session.AbortFlag);
}

TEST_F(Prompts, AskIntegerSwapsBoundsAndRejectsReals) {
  ui.answerText("11");
  ui.answerText("2.5");
  ui.answerText("3");
  EXPECT_EQ(AskInteger("n", 5, 10, 1), 3);
  auto b = boxes();
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].text, "Donn\x82" "e valide: 1 .. 10 !");
  EXPECT_EQ(b[1].text, "Pr\x82sentation non valide \"2.5\" !");
  ui.answerText("-4");
  EXPECT_EQ(AskInteger("n", 0, 10, -10), -4);
}

TEST_F(Prompts, AskChoiceClampsCurrentAndKeepsValueOnCancel) {
  ChoiceList = {"un", "deux", "trois", "quatre"};
  ui.answerChoice(0);  // OK without a new choice: the preselected one
  EXPECT_EQ(AskChoice("Couleur", 3, 0), 1);
  ui.answerChoice(0);
  EXPECT_EQ(AskChoice("Couleur", 3, 9), 1);
  ui.answerChoice(3);
  EXPECT_EQ(AskChoice("Couleur", 3, 2), 3);
  ASSERT_EQ(ui.records.size(), 3u);
  EXPECT_EQ(ui.records[0].caption, "Choisir");
  EXPECT_EQ(ui.records[0].choices, (std::vector<std::string>{"un", "deux", "trois"}));
  EXPECT_EQ(ui.records[1].preset, "1");
  EXPECT_EQ(ui.records[2].preset, "2");

  ui.answerCancel();
  EXPECT_EQ(AskChoice("Couleur", 3, 7), 7);
  EXPECT_TRUE(Session.AbortFlag);
}

TEST_F(Prompts, YesNoTextAndYesNoCancel) {
  ui.answerYesNo('N');
  EXPECT_EQ(AskYesNo("Continuer", 'j'), 'N');
  ui.answerYesNo('J');
  EXPECT_TRUE(AskYesNoBool("Continuer", false));
  EXPECT_EQ(ui.records[0].caption, "Donn\x82" "e");
  EXPECT_EQ(ui.records[0].preset, "J");  // 'j' preselects yes
  EXPECT_EQ(ui.records[1].preset, "N");
  ui.answerCancel();
  EXPECT_FALSE(AskYesNoBool("Continuer", false));
  EXPECT_TRUE(Session.AbortFlag);

  Session.AbortFlag = false;
  ui.answerText("abcdefgh");
  EXPECT_EQ(AskText("Nom", 5, "x"), "abcde");
  ui.answerCancel();
  EXPECT_EQ(AskText("Nom", 5, "x"), "x");
  EXPECT_TRUE(Session.AbortFlag);

  Session.AbortFlag = false;
  ui.answerYesNoCancel(1);
  EXPECT_TRUE(AskYesNoCancel("Q ?"));
  ui.answerYesNoCancel(0);
  EXPECT_FALSE(AskYesNoCancel("Q ?"));
  EXPECT_FALSE(Session.AbortFlag);
  ui.answerYesNoCancel(-1);
  EXPECT_FALSE(AskYesNoCancel("Q ?"));
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(ui.records.back().kind, "yesnocancel");
  EXPECT_EQ(ui.records.back().caption, "Planox");
}

TEST_F(Prompts, MessageCaptionsAndShowErrors) {
  ShowBox("a", BoxError);
  ShowBox("b", BoxHelp);
  ShowInfo("c");
  ShowTitledBox("Titre", "d");
  HelpNumber = 77;
  ReportError("e");
  Session.ShowErrors = false;
  ReportError("hidden");
  ShowError("f");
  auto b = boxes();
  ASSERT_EQ(b.size(), 6u);
  EXPECT_EQ(b[0].caption, "Erreur : ");
  EXPECT_EQ(b[1].caption, "Aide");
  EXPECT_EQ(b[2].caption, "Message:");
  EXPECT_EQ(b[3].caption, "Titre");
  EXPECT_EQ(b[4].text, "e");
  EXPECT_EQ(b[4].helpNumber, 77);
  EXPECT_EQ(b[5].text, "f");
  EXPECT_FALSE(Session.AbortFlag);  // reporting alone does not fail anything

  // A failing operation still sets the flag while its message stays hidden.
  CheckInputFile("/nonexistent/planox.dxf");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(boxes().size(), 6u);
}

TEST_F(Prompts, GuardedWritesOnRealFiles) {
  TempDir dir;
  std::FILE* f = nullptr;
  ASSERT_TRUE(GuardedRewrite(f, dir.file("out.txt")));
  GuardedWriteLine(f, "IN;");
  GuardedWriteLine(f, "SP1;", "\n");
  EXPECT_EQ(ReadFile(dir.file("out.txt")), "IN;\r\nSP1;\n");  // flushed at every line
  Session.AbortFlag = true;
  GuardedWriteLine(f, "PU;");
  GuardedClose(f);
  EXPECT_EQ(f, nullptr);
  EXPECT_EQ(ReadFile(dir.file("out.txt")), "IN;\r\nSP1;\n");
  EXPECT_TRUE(boxes().empty());

  Session.AbortFlag = false;
  EXPECT_FALSE(GuardedRewrite(f, dir.file("missing/out.txt")));
  EXPECT_TRUE(Session.AbortFlag);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].text, "erreur d'\x82" "criture");

  // A full device: the write fails and reports, the close stays quiet.
  if (access("/dev/full", W_OK) == 0) {
    Session.AbortFlag = false;
    ASSERT_TRUE(GuardedRewrite(f, "/dev/full"));
    GuardedWriteLine(f, "IN;");
    EXPECT_TRUE(Session.AbortFlag);
    GuardedWriteLine(f, "PU;");
    GuardedClose(f);
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[1].text, "disquette pleine");
  }

  Session.AbortFlag = false;
  GuardedWriteLine(nullptr, "x");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(boxes().back().text, "erreur d'acc\x8as au fichier");
}

TEST_F(Prompts, CheckInputFile) {
  TempDir dir;
  WriteFile(dir.file("a.dxf"), "0\nEOF\n");
  CheckInputFile(dir.file("a.dxf"));
  EXPECT_FALSE(Session.AbortFlag);
  CheckInputFile(dir.path());  // a directory is not an input file
  EXPECT_TRUE(Session.AbortFlag);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].text, "fichier " + dir.path() + " introuvable ou acc\x8as impossible !");
}

TEST_F(Prompts, CheckOutputFileAsksAndNeverDamagesAnExistingFile) {
  TempDir dir;
  const std::string name = dir.file("plot.plt");
  WriteFile(name, "IN;PU;");

  ui.answerYesNoCancel(0);
  CheckOutputFile(name);
  EXPECT_TRUE(Session.AbortFlag);
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].kind, "yesnocancel");
  EXPECT_EQ(ui.records[0].helpNumber, 3055);
  EXPECT_EQ(ui.records[0].text, name + " Existe d\x82j\x85.   Titre ?");
  EXPECT_EQ(ReadFile(name), "IN;PU;");

  // Yes: the probe runs on the existing file and leaves its content.
  Session.AbortFlag = false;
  ui.answerYesNoCancel(1);
  CheckOutputFile(name);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(ReadFile(name), "IN;PU;");

  Session.AbortFlag = false;
  ui.answerYesNoCancel(-1);
  CheckOutputFile(name);
  EXPECT_TRUE(Session.AbortFlag);

  // No question for names with "actuel" or with the confirmation off.
  Session.AbortFlag = false;
  ui.records.clear();
  WriteFile(dir.file("actuel.plt"), "x");
  CheckOutputFile(dir.file("actuel.plt"));
  SetOverwriteConfirmation(false);
  CheckOutputFile(name);
  EXPECT_TRUE(ui.records.empty());
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(ReadFile(name), "IN;PU;");

  // A new name is probed and leaves no file behind.
  CheckOutputFile(dir.file("new.plt"));
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_FALSE(std::filesystem::exists(dir.file("new.plt")));
}

TEST_F(Prompts, CheckOutputFileProbeFailures) {
  TempDir dir;
  // /proc takes no new files, not even from root.
  for (const std::string& name : {dir.file("missing/x.plt"), std::string("/proc/planox-probe.plt"), dir.path()}) {
    Session.AbortFlag = false;
    ui.records.clear();
    ui.answers.clear();
    ui.answerYesNoCancel(1);  // the directory exists: replace it
    CheckOutputFile(name);
    EXPECT_TRUE(Session.AbortFlag) << name;
    auto b = boxes();
    ASSERT_EQ(b.size(), 1u) << name;
    EXPECT_EQ(b[0].text, "Nom de fichier non valide \"" + name + "\" !");
  }
  if (geteuid() != 0) {
    std::filesystem::create_directory(dir.file("ro"));
    chmod(dir.file("ro").c_str(), 0555);
    Session.AbortFlag = false;
    CheckOutputFile(dir.file("ro/x.plt"));
    EXPECT_TRUE(Session.AbortFlag);
  }
}

TEST_F(Prompts, ChooseFileModes) {
  ui.answerText("/data/plans/Plan.Dxf");
  std::string name;
  EXPECT_EQ(ChooseFile("*.dxf", "/data", name, true, true), "/data/plans/");
  EXPECT_EQ(name, "Plan");
  EXPECT_EQ(Session.FileExtension, "Dxf");
  EXPECT_EQ(ui.records[0].kind, "open");
  EXPECT_EQ(ui.records[0].text, "*.dxf");

  ui.answerText("/data/plans/Plan.dxfx");
  EXPECT_EQ(ChooseFile("*.*", "/data", name, false, true), "/data/plans/");
  EXPECT_EQ(name, "/data/plans/Plan.dxfx");
  EXPECT_EQ(Session.FileExtension, "dxf");

  ui.answerText("/data/other.cfg");
  ChooseFile("*.cfg", "/data", name, true, false);
  EXPECT_EQ(name, "other");
  EXPECT_EQ(Session.FileExtension, "dxf");
  EXPECT_FALSE(Session.AbortFlag);

  ui.answerCancel();
  EXPECT_EQ(ChooseFile("*.cfg", "/data", name, true, false), "");
  EXPECT_EQ(name, "other");
  EXPECT_TRUE(Session.AbortFlag);
}

TEST_F(Prompts, TitleAndWaitCursor) {
  EXPECT_EQ(TitleText(), "Planox");
  Session.DrawingName = "PLAN";
  Session.FileExtension = "DXF";
  EXPECT_EQ(TitleText(), "Planox  -  PLAN.DXF");
  Session.DrawingName = "plan.old";
  EXPECT_EQ(TitleText(), "Planox  -  plan.old");
  WaitCursorOn();
  EXPECT_EQ(ui.waitCursorOn, 1);
  WaitCursorOff();
  EXPECT_EQ(ui.waitCursorOn, 0);
}

// Runs f with standard input from /dev/null and standard error into a file;
// returns what was written to standard error.
template <typename F>
std::string captureConsole(F f) {
  TempDir dir;
  std::fflush(stderr);
  int savedErr = dup(2), savedIn = dup(0);
  int err = open(dir.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  int in = open("/dev/null", O_RDONLY);
  dup2(err, 2);
  dup2(in, 0);
  f();
  std::fflush(stderr);
  dup2(savedErr, 2);
  dup2(savedIn, 0);
  for (int fd : {savedErr, savedIn, err, in}) close(fd);
  return ReadFile(dir.file("err"));
}

TEST_F(Prompts, ConsoleFormNeverWaitsWithoutATerminal) {
  SetUi(nullptr);  // the console form is the default
  double real = 0;
  bool yes = false;
  long long integer = 0;
  std::string text, file;
  std::string out = captureConsole([&] {
    ShowError("Donn\x82" "e fausse");
    ShowInfo("fin");
    Ui().beep();
    real = AskReal("Hauteur", 2.5, 0, 10);
    integer = AskInteger("Nombre", 12, 1, 10);
    text = AskText("Nom", 10, "PLOT");
    yes = AskYesNoCancel("Remplacer ?");
    ChoiceList = {"a", "b"};
    AskChoice("Choix", 2, 2);
    file = Ui().openFileDialog("*.dxf", "/");
  });
  EXPECT_EQ(real, 2.5);
  EXPECT_EQ(integer, 12);  // the preset is taken even outside the range
  EXPECT_EQ(text, "PLOT");
  EXPECT_TRUE(yes);
  EXPECT_EQ(file, "");
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_NE(out.find("Erreur :  Donnée fausse\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Message: fin\n"), std::string::npos);
  EXPECT_NE(out.find('\a'), std::string::npos);
  EXPECT_NE(out.find("Planox Remplacer ?\nPlanox -> Oui\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Choisir -> 2\n"), std::string::npos) << out;
}

// Standard error on a pseudo-terminal while f runs; what the terminal got.
std::string onTerminal(const std::function<void()>& f) {
  int master = -1, slave = -1;
  termios raw{};
  cfmakeraw(&raw);
  if (openpty(&master, &slave, nullptr, &raw, nullptr) != 0) return "<no pty>";
  std::fflush(stderr);
  const int saved = dup(STDERR_FILENO);
  dup2(slave, STDERR_FILENO);
  f();
  std::fflush(stderr);
  dup2(saved, STDERR_FILENO);
  close(saved);
  close(slave);
  std::string got;
  fcntl(master, F_SETFL, O_NONBLOCK);
  char buf[4096];
  for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;) got.append(buf, static_cast<size_t>(n));
  close(master);
  return got;
}

TEST_F(Prompts, ConsoleProgressIsOneLinePerPieceOfWorkOnATerminal) {
  ConsoleUi console;
  SetUi(&console);
  console.progressDelay = std::chrono::milliseconds(0);
  std::string got = onTerminal([] {
    {
      ProgressReport drawing("PL\x8aN.DXF");
      drawing.Step(0, 200);
      {
        ProgressReport read("inner");  // nested: the same line goes on
        read.Step(100, 200);
        read.Step(101, 200);  // still 50 %: nothing new
      }
      drawing.Step(200, 200);
    }
    ProgressReport next("B.DXF");
    next.Step(1, 3);
    ShowInfo("fin");  // a message starts on a line of its own
  });
  EXPECT_EQ(got,
            "\rPlanox PL\xc3\xa8N.DXF   0 %\rPlanox PL\xc3\xa8N.DXF  50 %\rPlanox PL\xc3\xa8N.DXF 100 %\n"
            "\rPlanox B.DXF  33 %\nMessage: fin\n");
  // Quick work shows nothing, and nothing goes to a file or a pipe.
  console.progressDelay = std::chrono::hours(1);
  EXPECT_EQ(onTerminal([] { ProgressReport("C.DXF").Step(1, 2); }), "");
  console.progressDelay = std::chrono::milliseconds(0);
  std::string piped = captureConsole([] { ProgressReport("D.DXF").Step(1, 2); });
  EXPECT_EQ(piped, "");
  EXPECT_FALSE(Session.AbortFlag);
}

}  // namespace
}  // namespace planox
