// What a conversion leaves on disk when it succeeds, fails to write or is
// broken off: a file output appears under its name only when complete, a
// failed one keeps the previous file, and a port is written as it goes.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <limits>
#include <filesystem>

#include "convert/plot.h"
#include "convert/targets.h"
#include "plottest.h"

namespace planox::test {
namespace {

namespace fs = std::filesystem;

// The names in a directory, hidden ones included.
using test::FileNames;

using test::FileSizeLimit;

class Output : public Defaults {
 protected:
  void SetUp() override {
    Defaults::SetUp();
    ASSERT_TRUE(getcwd(old_, sizeof old_));
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    Session.PlotFile = "T";
  }
  void TearDown() override {
    PlotAbort();
    EXPECT_EQ(chdir(old_), 0);
    Defaults::TearDown();
  }
  // A drawing of n lines, enough for several buffers of output.
  static void Lines(int n) {
    PlotSelectPen(1);
    for (int i = 0; i < n && !Session.AbortFlag; ++i) PlotLine(i, 0, i, 100);
  }
  std::vector<std::string> errors() const { return ui.boxTexts(); }
  TempDir dir;
  char old_[4096];
};

TEST_F(Output, AFullDiskFailsTheConversionAndKeepsThePreviousFile) {
  WriteFile(dir.file("T.plt"), "the previous plot");
  {
    FileSizeLimit limit(64 * 1024);
    PlotBegin(TargetHpgl, 3);
    ASSERT_FALSE(Session.AbortFlag);
    Lines(20000);
    EXPECT_TRUE(Session.AbortFlag);
    PlotEnd();
  }
  EXPECT_EQ(errors(), std::vector<std::string>{"Erreur d'\x82" "criture : T.plt"});
  EXPECT_EQ(ReadFile(dir.file("T.plt")), "the previous plot");
  EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"T.plt"});
  // Without a previous file nothing is left at all, for every target.
  fs::remove(dir.file("T.plt"));
  for (int target : {TargetHpgl, TargetCnc, TargetDxf, TargetIges, TargetPostscript, TargetPascal}) {
    Session.AbortFlag = false;
    FileSizeLimit limit(4096);
    PlotBegin(target, 3);
    Lines(5000);
    PlotEnd();
    EXPECT_TRUE(Session.AbortFlag) << target;
    EXPECT_TRUE(FileNames(dir.path()).empty()) << target;
  }
}

TEST_F(Output, TheFileTakesItsNameOnlyWhenComplete) {
  WriteFile(dir.file("T.ps"), "old");
  fs::permissions(dir.file("T.ps"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  PlotBegin(TargetPostscript, 3);
  Lines(30000);  // more than one buffer has gone to disk
  EXPECT_EQ(ReadFile(dir.file("T.ps")), "old");
  EXPECT_EQ(FileNames(dir.path()).size(), 2u);  // the old file and the one being written
  PlotEnd();
  std::string out = ReadFile(dir.file("T.ps"));
  EXPECT_NE(out.find("%%EOF"), std::string::npos);
  EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"T.ps"});
  // The new file has the old one's permissions.
  EXPECT_EQ(fs::status(dir.file("T.ps")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(Output, AConversionBrokenOffLeavesNothing) {
  WriteFile(dir.file("T.cnc"), "old program");
  PlotBegin(TargetCnc, 3);
  Lines(100);
  PlotAbort();
  EXPECT_EQ(ReadFile(dir.file("T.cnc")), "old program");
  EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"T.cnc"});
  // A conversion that failed on its way keeps nothing either when it ends.
  PlotBegin(TargetCnc, 3);
  Lines(10);
  Session.AbortFlag = true;
  PlotEnd();
  EXPECT_EQ(ReadFile(dir.file("T.cnc")), "old program");
  EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"T.cnc"});
}

TEST_F(Output, ALinkedOutputReplacesTheFileItPointsAt) {
  fs::create_directory(dir.file("real"));
  WriteFile(dir.file("real/T.plt"), "old");
  fs::create_symlink(dir.file("real/T.plt"), dir.file("T.plt"));
  PlotBegin(TargetHpgl, 3);
  Lines(1);
  PlotEnd();
  EXPECT_TRUE(fs::is_symlink(dir.file("T.plt")));
  EXPECT_NE(ReadFile(dir.file("real/T.plt")).find("PA0,0;"), std::string::npos);
}

TEST_F(Output, SomethingOtherThanAFileUnderTheNameIsNotReplaced) {
  fs::create_directory(dir.file("T.plt"));
  PlotBegin(TargetHpgl, 3);
  EXPECT_TRUE(Session.AbortFlag);
  ASSERT_EQ(mkfifo(dir.file("T.cnc").c_str(), 0600), 0);
  Session.AbortFlag = false;
  PlotBegin(TargetCnc, 3);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(FileNames(dir.path()), (std::vector<std::string>{"T.cnc", "T.plt"}));
}

TEST_F(Output, APortIsWrittenAsItGoes) {
  std::string port = dir.file("port");
  setenv("PLANOX_LPT1", port.c_str(), 1);
  Settings.LptPort = 1;
  PlotBegin(TargetHpgl, 2);
  Lines(3);
  EXPECT_NE(ReadFile(port).find("SP1;"), std::string::npos);  // before the end
  PlotEnd();
  EXPECT_NE(ReadFile(port).find("PA0,0;"), std::string::npos);
  // A device that takes nothing fails the probe.
  setenv("PLANOX_LPT1", "/dev/full", 1);
  PlotBegin(TargetHpgl, 2);
  unsetenv("PLANOX_LPT1");
  EXPECT_TRUE(Session.AbortFlag);
}

// Values a target cannot write: the element is left out and counted, and
// no output ever holds an infinity, a nan or a number wider than a field.
class OutOfRange : public Defaults {};

// The longest run of digits in a text.
size_t LongestNumber(const std::string& s) {
  size_t best = 0, run = 0;
  for (char c : s) {
    run = (c >= '0' && c <= '9') ? run + 1 : 0;
    best = std::max(best, run);
  }
  return best;
}

TEST_F(OutOfRange, EveryTargetLeavesOutWhatItCannotWrite) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  for (const TargetRow& row : Targets()) {
    const int target = row.number;
    std::string out = Convert(target, [&] {
      PlotSelectPen(1);
      PlotLine(0, 0, 10, 10);
      PlotArc(1.7e308, 0, 0, 90, 1e308, 1);
      PlotArc(1e7, 0, 0, 90, 1e7, -1);
      PlotCircle(0, 0, inf);
      PlotLine(nan, 0, 5, 5);
      PlotLine(0, 0, 3e9, 5);
      PlotSolid({0, 0}, {1, 0}, {1, 1e300}, {0, 1});
      PlotMoveTo(false, 20, 20);
      PlotDrawTo(false, 1e300, 20);  // the stroke goes on from the next point
      PlotDrawTo(false, 30, 30);
      PlotDrawTo(false, 40, 30);
      PlotTextStyle(0, 0, 1e300, 1e300);
      PlotText("BIG", 0, 0);
      PlotTextStyle(0, 0, 5, 5);
      PlotText("FAR", 1e300, 0);
      PlotText(std::string(100, 'W'), 1e6, 0);
    });
    EXPECT_FALSE(Session.AbortFlag) << target;
    EXPECT_GE(PlotSkippedValues(), 7) << target;
    EXPECT_FALSE(out.empty()) << target;
    std::string lower;
    for (char c : out) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(lower.find("inf"), std::string::npos) << target << "\n" << out;
    EXPECT_EQ(lower.find("nan"), std::string::npos) << target << "\n" << out;
    EXPECT_LE(LongestNumber(out), 20u) << target << "\n" << out;
  }
}

TEST_F(OutOfRange, StrokesResumeAfterAPointThatWasLeftOut) {
  std::string out = Convert(TargetHpgl, [] {
    PlotSelectPen(1);
    PlotMoveTo(false, 1, 1);
    PlotDrawTo(false, 2, 1);
    PlotDrawTo(false, 1e300, 1);
    PlotDrawTo(false, 3, 1);
    PlotDrawTo(false, 4, 1);
  });
  // From (2, 1) the pen does not draw to (3, 1): it lifts and goes there.
  EXPECT_NE(out.find("SP1;PA40,40;PD;PA80,40;PU;PA120,40;PD;PA160,40;"), std::string::npos) << out;
  EXPECT_EQ(PlotSkippedValues(), 1);
  // A CNC program takes six digits before the point.
  Convert(TargetCnc, [] {
    PlotSelectPen(1);
    PlotLine(0, 0, 999999, 0);
    PlotLine(0, 0, 1000001, 0);
  });
  EXPECT_EQ(PlotSkippedValues(), 1);
}

// Names and texts that would break out of their header line, comment or
// label: control characters become blanks.
class ControlCharacters : public Defaults {};

TEST_F(ControlCharacters, NamesAndTextsStayOnTheirLine) {
  auto convert = [](int target, const std::string& name, const std::string& text) {
    std::string out;
    TempDir dir;
    char old[4096];
    EXPECT_TRUE(getcwd(old, sizeof old));
    EXPECT_EQ(chdir(dir.path().c_str()), 0);
    Session.PlotFile = name;
    PlotBegin(target, 3);
    PlotRotate(0);
    PlotSelectPen(1);
    PlotText(text, 1, 1);
    PlotEnd();
    out = ReadFile(dir.file(PlotFileName()));
    EXPECT_EQ(chdir(old), 0);
    return out;
  };
  const std::string name = "inj\nG00 Z-50\r%!\x1b";
  std::string cnc = convert(TargetCnc, name, "x");
  EXPECT_EQ(cnc.find("\nG00 Z-50"), std::string::npos) << cnc;
  EXPECT_EQ(cnc.rfind("%inj G00 Z-50 %! \r\n", 0), 0u) << cnc;
  Settings.NcSyntax = 2;
  EXPECT_EQ(convert(TargetCnc, name, "x").rfind("; inj G00 Z-50 %! \r\n", 0), 0u);
  Settings.NcSyntax = 1;
  EXPECT_NE(convert(TargetPostscript, name, "a\n) show (b").find("% Dateiname: inj G00 Z-50 %! .PS\r\n"),
            std::string::npos);
  std::string art = convert(TargetAristo, name, "T\r\nG00");
  EXPECT_EQ(art.rfind("%inj G00 Z-50 %! \r\n", 0), 0u) << art;
  EXPECT_NE(art.find("$T  G00$\r\n"), std::string::npos) << art;
  std::string hpgl = convert(TargetHpgl, "T", "A\x03SP9;\nB");
  EXPECT_NE(hpgl.find("LBA SP9; B\x03"), std::string::npos) << hpgl;
  std::string c = convert(TargetC, name, "x");
  EXPECT_NE(c.find("/* Programm inj G00 Z-50 %!  */\r\n"), std::string::npos) << c;
}

}  // namespace
}  // namespace planox::test
