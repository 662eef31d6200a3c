// Help texts: the record format, the two help files, ShowHelp's boxes and
// pictures, and where the help files are found.
#include "help/helptext.h"

#include <unistd.h>

#include "base/session.h"
#include "display/hpglin.h"
#include "display/quorgraf.h"
#include "support/testsupport.h"

namespace planox {
namespace {

class HelpTexts : public test::Defaults {
 protected:
  void SetUp() override {
    test::Defaults::SetUp();
    ResetHpglState();
    Settings.PltDir = dir.path();
    // A help file of its own makes PltDir the help folder.
    test::WriteFile(dir.file("planox.err"), "");
    quor.H_Init();
    SetHelpGraphics(&quor);
  }
  void TearDown() override {
    SetHelpGraphics(nullptr);
    SetHelpHooks(nullptr, nullptr);
    quor.H_Done();
    test::Defaults::TearDown();
  }
  void family(const std::string& text) { test::WriteFile(dir.file("quorvel.hlp"), text); }
  HelpEntry entry(int n) { return ReadHelpEntry(dir.file("quorvel.hlp"), n); }
  size_t lines() {
    size_t n = 0;
    for (size_t i = 0; i < quor.list().size(); ++i) n += quor.list().code(i) == RecLine;
    return n;
  }

  test::TempDir dir;
  GraphWindow window;
  QuorGraf quor{window};
};

TEST_F(HelpTexts, EntriesHoldUpToFiveLines) {
  family("1085\r\nother\r\n1090\r\none\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\n1095\r\nnext\r\n");
  HelpEntry e = entry(1090);
  EXPECT_TRUE(e.found);
  EXPECT_EQ(HelpMessage(e), "one two three four five ");
  EXPECT_EQ(e.picture, "");
  // The next header ends an entry; its own text is read when it is asked for.
  family("1090\none\n1095\nnext\n");
  e = entry(1090);
  EXPECT_EQ(HelpMessage(e), "one     ");
  EXPECT_TRUE(e.endedAtHeader);
  EXPECT_EQ(entry(1095).texts[0], "next");
  // Numbered continuation lines fill their own slot; one out of place is
  // dropped.
  family("1090:ABC \rone\r1091\rtwo\r1093\rlost\r");
  e = entry(1090);
  EXPECT_EQ(e.picture, "ABC");
  EXPECT_EQ(HelpMessage(e), "one two    ");
}

TEST_F(HelpTexts, MissingFilesAndEntriesSaySo) {
  HelpEntry e = entry(1090);
  EXPECT_FALSE(e.found);
  EXPECT_EQ(e.texts[0], "Fichier " + dir.file("quorvel.hlp") + " pas trouvers !");
  family("1000\ntext\n");
  e = entry(1090);
  EXPECT_FALSE(e.found);
  EXPECT_EQ(e.texts[0], "Texte d'aide No 1090: Aucune Aide est disponible.");
  // A header as the last line has no text: no entry.
  family("1090");
  EXPECT_FALSE(entry(1090).found);
}

TEST_F(HelpTexts, NumbersFrom4000AreTheProgramsOwn) {
  EXPECT_EQ(HelpFileName(3995), dir.path() + "/quorvel.hlp");
  EXPECT_EQ(HelpFileName(4005), dir.path() + "/planox.hlp");
  family("3995\nfamily\n");
  test::WriteFile(dir.file("planox.hlp"), "4005\nown\n");
  ShowHelp(3995, 1);
  ShowHelp(4005, 1);
  ASSERT_EQ(ui.records.size(), 2u);
  EXPECT_EQ(ui.records[0].caption, "TEXTE D'AIDE No.3995");
  EXPECT_EQ(ui.records[0].text, "family     ");
  EXPECT_EQ(ui.records[1].text, "own     ");
}

TEST_F(HelpTexts, KindsShowTextPictureOrBoth) {
  family("1090:ABC\nsee the picture\n");
  test::WriteFile(dir.file("ABC.plt"), "SP1;PU0,0;PD400,0;");
  ShowHelp(1090, 2);
  EXPECT_TRUE(ui.records.empty());
  EXPECT_EQ(lines(), 1u);
  EXPECT_EQ(window.World().xmax, 160);
  EXPECT_EQ(window.World().ymax, 120);
  ShowHelp(1090, 0);
  EXPECT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(lines(), 1u);  // cleared and drawn again
  // 0 is the current help number; the prompts' buttons reach ShowHelp
  // through the hooks.
  InstallHelpHooks();
  HelpNumber = 1090;
  ShowHelpText(0);
  ASSERT_EQ(ui.records.size(), 2u);
  EXPECT_EQ(ui.records[1].caption, "TEXTE D'AIDE No.1090");
  quor.H_Clear();
  ShowHelpPicture(1090);
  EXPECT_EQ(lines(), 1u);
}

TEST_F(HelpTexts, WithoutAnEntryNoPictureIsLookedFor) {
  // Before the mend, both failures went on to draw "null.plt" and showed
  // its "pas trouver" message after the text.
  quor.H_Line(0, 0, 1, 1);
  ShowHelp(1090, 0);
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_NE(ui.records[0].text.find("pas trouvers"), std::string::npos);
  family("1000\ntext\n");
  ShowHelp(1090, 2);
  ASSERT_EQ(ui.records.size(), 2u);
  EXPECT_NE(ui.records[1].text.find("Aucune Aide"), std::string::npos);
  EXPECT_EQ(lines(), 1u);  // the window keeps what it showed
  EXPECT_FALSE(Session.AbortFlag);
}

TEST_F(HelpTexts, TheInstalledHelpServesWhenPltDirHasNone) {
  ::unlink(dir.file("planox.err").c_str());
  const std::string installed = InstalledHelpDirectory();
  ASSERT_EQ(installed, test::SourceDir() + "/data/help/");
  EXPECT_EQ(HelpDirectory(), installed);
  EXPECT_EQ(HelpFileName(5100), installed + "planox.hlp");
  // Any one help file in PltDir makes it the help directory.
  test::WriteFile(dir.file("planox.err"), "");
  EXPECT_EQ(HelpDirectory(), dir.path() + "/");
}

TEST_F(HelpTexts, HugeBinaryAndOddFilesEndQuickly) {
  // 100 MB of zero bytes: one long line, held to its first 4096 bytes.
  test::WriteFile(dir.file("quorvel.hlp"), "1");
  ASSERT_EQ(::truncate(dir.file("quorvel.hlp").c_str(), 100L << 20), 0);
  EXPECT_FALSE(entry(1090).found);
  std::string binary;
  for (int i = 0; i < 100000; ++i) binary += static_cast<char>((i * 131) % 256);
  family(binary + "\n1090\nfound\n");
  EXPECT_EQ(entry(1090).texts[0], "found");
  HelpLines lines(dir.file("quorvel.hlp"));
  std::string line;
  size_t longest = 0;
  while (lines.next(line)) longest = std::max(longest, line.size());
  EXPECT_LE(longest, HelpLines::MaxLength);
  // A directory in the file's place is no help file.
  ::unlink(dir.file("quorvel.hlp").c_str());
  ASSERT_EQ(::mkdir(dir.file("quorvel.hlp").c_str(), 0700), 0);
  EXPECT_FALSE(entry(1090).found);
}

}  // namespace
}  // namespace planox
