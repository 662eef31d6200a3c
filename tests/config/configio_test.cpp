#include "config/configio.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/session.h"
#include "base/textconv.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> SplitLines(const std::string& text, const std::string& end = "\r\n") {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t e = text.find(end, pos);
    if (e == std::string::npos) e = text.size();
    lines.push_back(text.substr(pos, e - pos));
    pos = e + end.size();
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, size_t count, const std::string& end = "\r\n") {
  std::string s;
  for (size_t i = 0; i < count && i < lines.size(); ++i) s += lines[i] + end;
  return s;
}

class ConfigFile : public test::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    Settings.TempDir.clear();  // the files are about the start values
  }
  void TearDown() override {
    SetScreenSizeHook(nullptr);
    unsetenv("VISUAL");
    InTempDir::TearDown();
  }

  // The lines of the file that saving the current settings writes.
  std::vector<std::string> SavedLines(const std::string& name = "base") {
    SaveConfiguration(name);
    return SplitLines(ReadFile(dir.file(name + ".cfg")));
  }
  // Index of the value line that follows the given key line.
  static size_t ValueOf(const std::vector<std::string>& lines, const std::string& key, int nth = 1) {
    for (size_t i = 0; i + 1 < lines.size(); ++i)
      if (lines[i] == key && --nth == 0) return i + 1;
    ADD_FAILURE() << "no key " << key;
    return 0;
  }
  void Load(const std::string& content) {
    WriteFile(dir.file("hand.cfg"), content);
    LoadConfiguration("hand");
  }
};

TEST_F(ConfigFile, DefaultsGiveTheFixedLayout) {
  SaveConfiguration("planox");
  std::string text = ReadFile(dir.file("planox.cfg"));
  EXPECT_FALSE(Session.AbortFlag);
  std::vector<std::string> lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 260u);
  EXPECT_EQ(text.size(), JoinLines(lines, 260).size());  // every line ends in CR LF
  EXPECT_EQ(lines[0], "PLANOX  Configuration");
  EXPECT_EQ(lines[1], "Version 8.3");
  EXPECT_EQ(lines[2], "SyntaxCode (Postscript)");
  EXPECT_EQ(lines[3], "10");
  EXPECT_EQ(lines[4], "DeviceCode (File)");
  EXPECT_EQ(lines[5], "3");
  EXPECT_EQ(lines[7], "1.000");
  EXPECT_EQ(lines[9], "0.00");
  EXPECT_EQ(lines[32], "Fraestiefe");
  EXPECT_EQ(lines[33], " 3.00000000000000E-0001");
  EXPECT_EQ(lines[39], " 1.02000000000000E+0000");
  EXPECT_EQ(lines[44], "Begin of Pen Table");
  EXPECT_EQ(lines[45], std::string(27, '-'));
  EXPECT_EQ(lines[47], "1");
  EXPECT_EQ(lines[51], "500");
  EXPECT_EQ(lines[131], "15");
  EXPECT_EQ(lines[133], "7");  // pen number of colour 15
  EXPECT_EQ(lines[136], "End of Pen Table");
  EXPECT_EQ(lines[142], "Densit\x82 d'impression");
  EXPECT_EQ(lines[144], "Rotation de l'image \x82" "cran?");
  EXPECT_EQ(lines[153], "1");
  EXPECT_EQ(lines[156], "Grains horizontals de l'\x82" "cran");
  EXPECT_EQ(lines[168], "Nombre de d\x82" "cimales");
  EXPECT_EQ(lines[173], "TRUE");
  EXPECT_EQ(lines[192], "Couleur de l'arri\x8A" "re plan");
  EXPECT_EQ(lines[197], "0.8000000");
  EXPECT_EQ(lines[200], "Couleur Layer 16");
  EXPECT_EQ(lines[230], "Couleur Layer 31");
  EXPECT_EQ(lines[231], "16");
  EXPECT_EQ(lines[237], "1.0000000");
  EXPECT_EQ(lines[247], "FALSE");
  // Appended by this version.
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 248, lines.end()),
            (std::vector<std::string>{"SyntaxCode SVG (Postscript)", "10", "NC-Syntax ISO", "1",
                                      "Vitesse de broche [1/min]", "1000", "Avance de plong\x82" "e [mm/min]", "300",
                                      "Num\x82ros de ligne NC ?", "N", "Largeur du trait SVG [mm]", "0.1000000"}));

  // Negative and large reals in the fixed and scientific forms.
  Settings.PlotOriginX = -12.345;
  Settings.Zoom = -1234.5;
  Settings.Panorama = 0;
  lines = SavedLines();
  EXPECT_EQ(lines[9], "-12.35");
  EXPECT_EQ(lines[39], "-1.23450000000000E+0003");
  EXPECT_EQ(lines[41], " 0.00000000000000E+0000");
}

TEST_F(ConfigFile, SaveThenLoadKeepsEveryValue) {
  // Every value differs from its default, so saving what was loaded writes
  // the same bytes only when every value came back.
  SettingsRecord& s = Settings;
  s.SyntaxCode = 4, s.DeviceCode = 1, s.SerialPort = 2, s.BaudRateCode = 5, s.DataBitsCode = 1;
  s.StopBits = 2, s.ParityCode = 3, s.MaxFileElements = 123456, s.LptPort = 3, s.HelpLevel = 3;
  s.PrintDensity = 4, s.PrinterType = 5, s.NcSyntax = 3, s.ScreenWidth = 1279, s.ScreenHeight = 1023;
  s.DecimalPlaces = 4, s.PrintDensityVertical = 6, s.GraphicsMode = 7, s.GraphicsDriver = -2;
  s.ScreenPrinterPort = 2, s.PageLayout = 4, s.LinesPerPage = 72, s.BackgroundColour = 0x123456;
  s.WindowsPrintMode = 2, s.ScreendumpOriginX = -5, s.ScreendumpOriginY = 17, s.InputWindowScale = 150;
  for (int i = 0; i < 16; ++i) s.PenNumbers[i] = 100 + i, s.PenSpeeds[i] = 200 + i, s.LayerColours[i] = 40 + i;
  s.PlotScale = 2.5, s.PlotOriginX = -10.25, s.PlotOriginY = 33.5;                    // fixed
  s.MillingDepth = 0.123456789012345, s.ToolDistance = 12.75, s.Zoom = 1.5, s.Panorama = 0.125;  // sci
  s.TextWidthRatio = 0.75, s.TextAngle = 45, s.HorizontalScaleCorrection = 1.25;      // compact
  s.ScreenTextRatio = 0.6, s.ScreendumpScale = 2.25, s.TextHeightFactor = 1.75, s.PrintScaleVertical = 0.5;
  s.Rotate90 = 'J', s.UseShapeFont = 'J', s.LoadShapeFont = 'J', s.ScreenRotation = 'N';
  s.ScreendumpBorder = true, s.PenWidthToPenNumber = true;
  s.SpindleSpeed = 24000, s.PlungeFeed = 150, s.NcLineNumbers = 'J', s.SvgStrokeWidth = 0.05;
  Session.PlotFile = "OUTFILE", Session.FileExtension = "DWG", Session.InPath = "/home/user/plans/";
  s.TempDir = s.PltDir = s.EdiDir = dir.path() + "/";
  s.TextStyle = "Times-Roman", s.CadDir = "/cad/", s.DbfDir = "/dbf/", s.HomeDir = "/home/planox/";
  s.PlotCommand = "plot -x %1", s.ScreenTextStyle = "Liberation \x82t\x82";

  const SettingsRecord saved = s;
  const SessionRecord savedSession = Session;
  SaveConfiguration("one");
  ASSERT_FALSE(Session.AbortFlag);
  const std::string first = ReadFile(dir.file("one.cfg"));

  ResetSettings();
  ResetSession();
  LoadConfiguration("one");
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_TRUE(ui.records.empty());
  EXPECT_EQ(Session.PlotFile, "OUTFILE");
  EXPECT_EQ(s.PlotFile, "OUTFILE");
  EXPECT_EQ(s.FileExtension, "DWG");
  EXPECT_EQ(s.InPath, savedSession.InPath);
  EXPECT_NEAR(static_cast<double>(s.MillingDepth), 0.123456789012345, 1e-15);
  EXPECT_EQ(s.PenNumbers[15], 115);
  EXPECT_EQ(s.PenNumbers[0], 0);  // colour 0 is not in the file
  EXPECT_EQ(s.ScreenTextStyle, "Liberation \x82t\x82");
  EXPECT_EQ(s.EdiDir, saved.TempDir);
  // Saving what was loaded writes the same bytes again.
  SaveConfiguration("two");
  EXPECT_EQ(ReadFile(dir.file("two.cfg")), first);
  // No work file is left beside the configuration.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 2);
}

// SVG and the ISO dialect are unknown to older versions: their slots hold
// the nearest target and dialect those know, and the true codes follow in
// the appended lines, which a file of an older version does not have.
TEST_F(ConfigFile, NewerTargetsStayReadableForOlderVersions) {
  Settings.SyntaxCode = 13;
  Settings.NcSyntax = 5;
  std::vector<std::string> lines = SavedLines();
  ASSERT_EQ(lines.size(), 260u);
  EXPECT_EQ(lines[2], "SyntaxCode (Postscript)");
  EXPECT_EQ(lines[3], "10");
  EXPECT_EQ(lines[150], "NC-Syntax");
  EXPECT_EQ(lines[151], "1");
  EXPECT_EQ(lines[248], "SyntaxCode SVG (SVG)");
  EXPECT_EQ(lines[249], "13");
  EXPECT_EQ(lines[251], "5");
  ResetSettings();
  LoadConfiguration("base");
  EXPECT_EQ(Settings.SyntaxCode, 13);
  EXPECT_EQ(Settings.NcSyntax, 5);

  // Saved again by an older version, which chose HP-GL and dialect 3 and
  // wrote only the lines it knows.
  lines[3] = "1";
  lines[151] = "3";
  WriteFile(dir.file("old.cfg"), JoinLines(lines, 248));
  Settings.SpindleSpeed = 12000;
  Settings.WindowsPrintMode = 0;
  LoadConfiguration("old");
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Settings.SyntaxCode, 1);
  EXPECT_EQ(Settings.NcSyntax, 3);
  EXPECT_EQ(Settings.SpindleSpeed, 12000);  // not in the file: kept
  EXPECT_EQ(Settings.WindowsPrintMode, 1);  // the file was read to its end
  // The appended lines do not overrule an older slot changed by hand.
  WriteFile(dir.file("edited.cfg"), JoinLines(lines, 260));
  LoadConfiguration("edited");
  EXPECT_EQ(Settings.SyntaxCode, 1);
  EXPECT_EQ(Settings.NcSyntax, 3);
  // Unusable values of the appended lines fall back to the defaults.
  lines[3] = "10";
  lines[253] = "0";
  lines[255] = "-5";
  lines[259] = "abc";
  WriteFile(dir.file("bad.cfg"), JoinLines(lines, 260));
  LoadConfiguration("bad");
  EXPECT_EQ(Settings.SyntaxCode, 13);
  EXPECT_EQ(Settings.SpindleSpeed, 1000);
  EXPECT_EQ(Settings.PlungeFeed, 300);
  EXPECT_DOUBLE_EQ(static_cast<double>(Settings.SvgStrokeWidth), 0.1);
}

TEST_F(ConfigFile, ValuesAreCheckedAsTheyArrive) {
  std::vector<std::string> lines = SavedLines();
  lines[ValueOf(lines, "PlotScale")] = "0,5";
  lines[ValueOf(lines, "Plotursprung x")] = "  -1,25  ";
  lines[ValueOf(lines, "Fraestiefe")] = "abc";
  lines[ValueOf(lines, "LPT")] = "7";
  lines[ValueOf(lines, "Serial Port")] = "12abc";
  lines[ValueOf(lines, "Baud Rate Code")] = "70000";  // more than the field holds
  lines[ValueOf(lines, "Rotate 90 degrees ?")] = "Ja";
  lines[ValueOf(lines, "Use Extern TextFont TXT.SHP ?")] = "";
  lines[ValueOf(lines, "FileExtension")] = "abcdef";
  lines[ValueOf(lines, "Largeur/hauteur du texte")] = "1000";
  lines[ValueOf(lines, "Style de texte")] = std::string(40, 'S');
  lines[ValueOf(lines, "Grains horizontals de l'\x82" "cran")] = "0";
  lines[ValueOf(lines, "Grains verticals de l'\x82" "cran")] = "65535";
  lines[ValueOf(lines, "Couleur des graphiques")] = "false";
  lines[ValueOf(lines, "Mode d'impression Windows (1=mono 2=couleur)")] = "0";
  lines[ValueOf(lines, "Largeur/hauteur du texte Graphique")] = "0.001";
  lines[ValueOf(lines, "Style de texte Graphique")] = std::string(70, 'G');
  lines[ValueOf(lines, "Couleur Layer 20")] = "0";
  lines[ValueOf(lines, "Couleur Layer 21")] = "x";
  lines[ValueOf(lines, "Windows Screendump Scale")] = "0";
  lines[ValueOf(lines, "Windows Screendump Border ?")] = "true";
  lines[ValueOf(lines, "Text Height Factor")] = "0.05";
  lines[ValueOf(lines, "Input Window Scale %")] = "5";
  lines[ValueOf(lines, "Print Scale Vertical")] = "0";
  lines[ValueOf(lines, "Pen Number", 3)] = "42";
  Settings.UseShapeFont = 'J';
  Load(JoinLines(lines, lines.size()));

  const SettingsRecord& s = Settings;
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.PlotScale), 0.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.PlotOriginX), -1.25);
  EXPECT_EQ(s.MillingDepth, 0);
  EXPECT_EQ(s.LptPort, 1);
  EXPECT_EQ(s.SerialPort, 0);
  EXPECT_EQ(s.BaudRateCode, 0);
  EXPECT_EQ(s.Rotate90, 'J');
  EXPECT_EQ(s.UseShapeFont, 'J');  // an empty line leaves a character setting as it was
  EXPECT_EQ(Session.FileExtension, "abc");
  EXPECT_EQ(s.TextWidthRatio, 1.0);
  EXPECT_EQ(s.TextStyle, std::string(32, 'S'));
  EXPECT_EQ(s.ScreenWidth, 1023);
  EXPECT_EQ(s.ScreenHeight, 767);
  EXPECT_FALSE(s.ColourGraphics);
  EXPECT_EQ(s.BackgroundColour, 16777215);
  EXPECT_EQ(s.WindowsPrintMode, 1);
  EXPECT_EQ(s.ScreenTextRatio, 1.0);
  EXPECT_EQ(s.ScreenTextStyle, std::string(60, 'G'));
  EXPECT_EQ(s.LayerColours[4], 5);
  EXPECT_EQ(s.LayerColours[5], 6);
  EXPECT_EQ(s.LayerColours[6], 7);
  EXPECT_EQ(s.ScreendumpScale, 1.0);
  EXPECT_TRUE(s.ScreendumpBorder);
  EXPECT_EQ(s.TextHeightFactor, 1.0);
  EXPECT_EQ(s.InputWindowScale, 100);
  EXPECT_EQ(s.PrintScaleVertical, 1.0);
  EXPECT_EQ(s.PenNumbers[3], 42);

  // The other bounds, a derived screen size from the installed screen, and
  // a vertical print scale that falls back to the screendump scale.
  lines[ValueOf(lines, "LPT")] = "0";
  lines[ValueOf(lines, "Input Window Scale %")] = "1001";
  lines[ValueOf(lines, "Windows Screendump Scale")] = "3.5";
  lines[ValueOf(lines, "Largeur/hauteur du texte")] = "0.001";
  SetScreenSizeHook([](int& w, int& h) { w = 800, h = 600; });
  Load(JoinLines(lines, lines.size()));
  EXPECT_EQ(s.LptPort, 1);
  EXPECT_EQ(s.InputWindowScale, 100);
  EXPECT_EQ(s.PrintScaleVertical, 3.5);
  EXPECT_EQ(s.TextWidthRatio, 1.0);
  EXPECT_EQ(s.ScreenWidth, 799);
  EXPECT_EQ(s.ScreenHeight, 599);

  // LF and CR line ends read the same as CR LF.
  for (const char* end : {"\n", "\r"}) {
    ResetSettings();
    Load(JoinLines(lines, lines.size(), end));
    EXPECT_EQ(s.PenNumbers[3], 42) << "line end " << int(end[0]);
    EXPECT_EQ(s.ScreenTextStyle, std::string(60, 'G'));
  }
}

TEST_F(ConfigFile, ReadingStopsAtTheCheckpoints) {
  std::vector<std::string> lines = SavedLines();
  lines[ValueOf(lines, "NC-Syntax")] = "3";
  lines[ValueOf(lines, "Style de texte")] = "ABC";
  lines[ValueOf(lines, "Grains horizontals de l'\x82" "cran")] = "640";
  lines[ValueOf(lines, "Nombre de d\x82" "cimales")] = "2";
  lines[ValueOf(lines, "Couleur des graphiques")] = "FALSE";
  const size_t afterTextStyle = ValueOf(lines, "Style de texte") + 1;
  const size_t afterPltDir = ValueOf(lines, "PLT Annuaire") + 1;
  SettingsRecord& s = Settings;

  // Cut right after the text style: everything later keeps its value.
  s.EdiDir = "/edi/";
  s.PltDir = "/plt/";
  s.DecimalPlaces = 5;
  Load(JoinLines(lines, afterTextStyle));
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(s.NcSyntax, 3);
  EXPECT_EQ(s.TextStyle, "ABC");
  EXPECT_EQ(s.ScreenWidth, 0);
  EXPECT_EQ(s.PltDir, "/plt/");
  EXPECT_EQ(s.DecimalPlaces, 5);
  EXPECT_EQ(s.EdiDir, "/edi/");
  EXPECT_EQ(s.TempDir, "");  // no post-processing

  // Cut right after the help-picture directory: it was emptied and read.
  Load(JoinLines(lines, afterPltDir - 1));
  EXPECT_EQ(s.ScreenWidth, 640);
  EXPECT_EQ(s.PltDir, "");
  EXPECT_EQ(s.DecimalPlaces, 5);
  EXPECT_EQ(s.EdiDir, "/edi/");

  // Cut after the last checkpoint: the missing lines read as empty lines,
  // pass the range checks and the post-processing runs.
  Load(JoinLines(lines, afterPltDir + 4));
  EXPECT_EQ(s.DecimalPlaces, 0);
  EXPECT_FALSE(s.ColourGraphics);
  EXPECT_EQ(s.BackgroundColour, 16777215);
  EXPECT_EQ(s.WindowsPrintMode, 1);
  EXPECT_EQ(s.LayerColours[15], 16);
  EXPECT_EQ(s.InputWindowScale, 100);
  EXPECT_EQ(s.ScreendumpScale, 1.0);
  EXPECT_EQ(s.PrintScaleVertical, 1.0);
  EXPECT_EQ(s.ScreenTextStyle, "");
  EXPECT_EQ(s.TempDir, WithSeparator(dir.path()));
  EXPECT_EQ(s.PltDir, WithSeparator(dir.path()));
  EXPECT_EQ(s.EdiDir, s.TempDir);
  EXPECT_TRUE(ui.records.empty());

  // Cut early: lines before the first end-of-file checkpoint read as empty.
  ResetSettings();
  Load(JoinLines(lines, 30));
  EXPECT_EQ(Session.PlotFile, "PLOT");
  EXPECT_EQ(s.MaxFileElements, 500000);
  EXPECT_EQ(Session.FileExtension, "");
  EXPECT_EQ(s.Zoom, 0);
  EXPECT_EQ(s.LptPort, 1);
  EXPECT_EQ(s.PenSpeeds[1], 0);
  EXPECT_EQ(s.TextWidthRatio, 1.0);
  EXPECT_EQ(s.TextStyle, "");
  EXPECT_EQ(s.DecimalPlaces, 3);

  // An empty file and a missing file.
  ResetSettings();
  Load("");
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(s.SyntaxCode, 0);
  EXPECT_EQ(s.ScreenTextStyle, "Arial");
  ResetSettings();
  s.Zoom = 2;
  LoadConfiguration("missing");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(s.Zoom, 2);
  EXPECT_EQ(s.ScreenWidth, 1014);
  EXPECT_EQ(s.ScreenHeight, 708);
  EXPECT_TRUE(ui.records.empty());
  // A directory under the name counts as missing.
  std::filesystem::create_directory(dir.file("folder.cfg"));
  LoadConfiguration("folder");
  EXPECT_TRUE(Session.AbortFlag);
}

TEST_F(ConfigFile, GarbageLoadsWithoutHarm) {
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary.push_back(static_cast<char>((i * 37) & 0xFF));
  Load(binary);
  EXPECT_FALSE(Session.AbortFlag);

  // A line of megabytes keeps its start; the lines after it are in place.
  ResetSettings();
  std::vector<std::string> lines = SavedLines();
  lines[ValueOf(lines, "PlotFile")] = std::string(3 << 20, 'A');
  lines[ValueOf(lines, "Pen Speed", 15)] = "77";
  Load(JoinLines(lines, lines.size()));
  EXPECT_EQ(Session.PlotFile.size(), 65536u);
  EXPECT_EQ(Settings.PenSpeeds[15], 77);

  // Another program's configuration: keys and values at the wrong places.
  ResetSettings();
  Load("[section]\nkey=value\nnan\ninf\n1e999999\n-\n+\n.\n0x10\n\x1a\x00\xff\n");
  EXPECT_EQ(Settings.PlotScale, 0);
  EXPECT_EQ(Settings.PlotOriginX, 0);
  EXPECT_EQ(Settings.PlotOriginY, 0);
  EXPECT_EQ(Settings.SerialPort, 0);
  // Saving after any of this writes a full file that loads again.
  SaveConfiguration("again");
  EXPECT_EQ(SplitLines(ReadFile(dir.file("again.cfg"))).size(), 260u);
}

TEST_F(ConfigFile, LoadedDirectoriesAreChecked) {
  std::vector<std::string> lines = SavedLines();
  lines[ValueOf(lines, "Annuaire provisoire")] = "   ";
  lines[ValueOf(lines, "PLT Annuaire")] = dir.file("nowhere");
  Load(JoinLines(lines, lines.size()));
  EXPECT_EQ(Settings.TempDir, WithSeparator(dir.path()));
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].caption, "Erreur : ");
  EXPECT_EQ(ui.records[0].text, "non valide HLP Annuaire configur\x82");

  ui.records.clear();
  lines[ValueOf(lines, "Annuaire provisoire")] = dir.file("nowhere");
  lines[ValueOf(lines, "PLT Annuaire")] = "";
  Load(JoinLines(lines, lines.size()));
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, "non valide Annuaire provisoire configur\x82");
  EXPECT_EQ(Settings.EdiDir, dir.file("nowhere"));
}

TEST_F(ConfigFile, LoadAndSaveWithoutNameAskTheUser) {
  TempDir other;
  Settings.HelpLevel = 4;
  SaveConfiguration("x");
  std::filesystem::rename(dir.file("x.cfg"), other.file("mine.cfg"));
  ResetSettings();

  // The file is read from the directory it was picked in.
  ui.answerText(other.file("mine.cfg"));
  LoadConfiguration("");
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Settings.HelpLevel, 4);
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].kind, "open");
  EXPECT_EQ(ui.records[0].text, "*.cfg");
  EXPECT_EQ(ui.records[0].choices.at(0), dir.path());
  ui.answerCancel();
  Settings.HelpLevel = 1;
  LoadConfiguration("");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Settings.HelpLevel, 1);

  // Save: the full name is asked for, an existing file is confirmed.
  ui.records.clear();
  ui.answerText(other.file("new.cfg"));
  SaveConfiguration("");
  EXPECT_FALSE(Session.AbortFlag);
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].kind, "text");
  EXPECT_EQ(ui.records[0].text, "Filename: ");
  EXPECT_EQ(ui.records[0].helpNumber, 5050);
  EXPECT_EQ(SplitLines(ReadFile(other.file("new.cfg"))).size(), 260u);

  const std::string before = ReadFile(other.file("mine.cfg"));
  ui.answerText(other.file("mine.cfg"));
  ui.answerYesNoCancel(0);
  SaveConfiguration("");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(ui.records.back().kind, "yesnocancel");
  EXPECT_EQ(ReadFile(other.file("mine.cfg")), before);

  ui.answerCancel();
  SaveConfiguration("");
  EXPECT_TRUE(Session.AbortFlag);

  ui.records.clear();
  ui.answerText(other.file("no/such/dir.cfg"));
  SaveConfiguration("");
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(ui.records.back().text.rfind("Nom de fichier non valide", 0), 0u);
}

TEST_F(ConfigFile, FailedSaveLeavesTheOldFile) {
  // The name is taken by a directory: the new file cannot replace it.
  std::filesystem::create_directory(dir.file("busy.cfg"));
  WriteFile(dir.file("busy.cfg/keep"), "x");
  SaveConfiguration("busy");
  EXPECT_TRUE(Session.AbortFlag);
  ASSERT_FALSE(ui.records.empty());
  EXPECT_EQ(ui.records.back().caption, "Erreur : ");
  EXPECT_EQ(ReadFile(dir.file("busy.cfg/keep")), "x");
  auto entries = std::distance(std::filesystem::directory_iterator(dir.path()), {});
  EXPECT_EQ(entries, 1);  // the work file is gone again

  // A start directory that does not exist: nothing can be created.
  ui.records.clear();
  SetStartDir(dir.file("gone"));
  SaveConfiguration("planox");
  EXPECT_TRUE(Session.AbortFlag);
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, "erreur d'\x82" "criture");

  // A link to the configuration stays a link.
  SetStartDir(dir.path());
  WriteFile(dir.file("real.cfg"), "old");
  std::filesystem::create_symlink(dir.file("real.cfg"), dir.file("link.cfg"));
  SaveConfiguration("link");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.cfg")));
  EXPECT_EQ(SplitLines(ReadFile(dir.file("real.cfg"))).size(), 260u);
}

// The prompts of the converter settings editor in order: kind, text, help.
std::vector<std::string> Prompts(const ScriptedUi& ui) {
  std::vector<std::string> v;
  for (const auto& r : ui.records) v.push_back(r.kind + "|" + r.text + "|" + std::to_string(r.helpNumber));
  return v;
}

TEST_F(ConfigFile, EditorChainForAFileTarget) {
  ui.answerChoice(10);     // Postscript
  ui.answerChoice(3);      // File
  ui.answerText("a.b");    // a dot: asked again
  ui.answerText("out1");
  ui.answerText("2,5");    // scale
  ui.answerText("-20");    // origin x
  ui.answerText("30");     // origin y
  ui.answerYesNo('J');     // rotate
  ui.answerChoice(35);     // another font
  ui.answerText("MyFont");
  ui.answerText("0.5");    // text width ratio
  EditConfiguration();
  EXPECT_FALSE(Session.AbortFlag);
  const SettingsRecord& s = Settings;
  EXPECT_EQ(s.SyntaxCode, 10);
  EXPECT_EQ(s.DeviceCode, 3);
  EXPECT_EQ(Session.PlotFile, "OUT1");
  EXPECT_EQ(s.PlotFile, "OUT1");
  EXPECT_DOUBLE_EQ(static_cast<double>(s.PlotScale), 2.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.PlotOriginX), -20);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.PlotOriginY), 30);
  EXPECT_EQ(s.Rotate90, 'J');
  EXPECT_EQ(s.UseShapeFont, 'N');
  EXPECT_EQ(s.TextStyle, "MyFont");
  EXPECT_DOUBLE_EQ(static_cast<double>(s.TextWidthRatio), 0.5);
  EXPECT_EQ(Prompts(ui), (std::vector<std::string>{
                             "choice|Plot-Syntax|5130",
                             "choice|appareil de sortie|5140",
                             "text|Nom de fichier (sans Extention .ps) |5200",
                             "text|Nom de fichier (sans Extention .ps) |5200",
                             "text|Echelle \xAEtracer\xAF|5220",
                             "text|Coin gauche en bas du dessin X [mm]|5230",
                             "text|Coin gauche en bas du dessin Y [mm]|5230",
                             "yesno|Tourner le tracion en 90 degr\x82" "e ?|5240",
                             "choice|Utiliser jeu de charact\x8A" "res Postscript|5280",
                             "text|Entrer font de texte Postscript|5280",
                             "text|Coefficient de correction de la largeur du texte  (0.1..10)  |5290",
                         }));
  EXPECT_EQ(ui.records[0].choices.size(), 13u);
  EXPECT_EQ(ui.records[0].choices[10], "HP-GL Laser");
  EXPECT_EQ(ui.records[0].choices[12], "SVG");
  EXPECT_EQ(ui.records[8].choices.size(), 35u);
  EXPECT_EQ(ui.records[8].choices[33], "Symbol");

  // A named PostScript font becomes the text style; other targets force
  // the rotation off.
  ui.records.clear();
  ui.answerChoice(10);
  ui.answerChoice(2);  // parallel
  ui.answerChoice(3);  // LPT3
  for (int i = 0; i < 3; ++i) ui.answerText("1");
  ui.answerYesNo('N');
  ui.answerChoice(5);  // Helvetica
  ui.answerText("1");
  EditConfiguration();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(s.LptPort, 3);
  EXPECT_EQ(s.Rotate90, 'N');
  EXPECT_EQ(s.TextStyle, "Helvetica");
  EXPECT_EQ(ui.records[2].text, "parallel Port");
  EXPECT_EQ(ui.records[2].helpNumber, 5190);
  EXPECT_EQ(ui.records[2].choices, (std::vector<std::string>{"LPT1", "LPT2", "LPT3"}));
}

TEST_F(ConfigFile, EditorRefusesTheSourceAsDestination) {
  Session.DrawingName = "PLAN";
  Session.FileExtension = "dxf";
  ui.answerChoice(5);  // DXF
  ui.answerChoice(3);  // File
  ui.answerText("plan");
  EditConfiguration();
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Session.PlotFile, "XXXXXXXX");
  ASSERT_EQ(ui.records.size(), 4u);
  EXPECT_EQ(ui.records[2].text, "Nom de fichier (sans Extention .dxf) ");
  EXPECT_EQ(ui.records[3].kind, "box");
  EXPECT_EQ(ui.records[3].caption, "Erreur : ");
  EXPECT_EQ(ui.records[3].text, "Le fichier source et le fichier de destination ne doivent pas \x88tre identiques !");

  // Another extension is no clash.
  ui.records.clear();
  Session.FileExtension = "DXF";
  ui.answerChoice(10);
  ui.answerChoice(3);
  ui.answerText("plan");
  ui.answerCancel();
  EditConfiguration();
  EXPECT_EQ(Session.PlotFile, "PLAN");
  EXPECT_EQ(ui.records.size(), 4u);
}

TEST_F(ConfigFile, EditorSerialChannelAndCancel) {
  ui.answerChoice(1);  // HP-GL
  ui.answerChoice(1);  // serial
  ui.answerChoice(2);  // COM2
  ui.answerChoice(7);  // 4800 Baud
  ui.answerChoice(1);  // 7 data bits
  ui.answerChoice(2);  // 2 stop bits
  ui.answerChoice(3);  // even
  ui.answerText("4");  // scale
  ui.answerCancel();   // origin x
  Settings.PlotOriginX = 9;
  EditConfiguration();
  const SettingsRecord& s = Settings;
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(s.SyntaxCode, 1);
  EXPECT_EQ(s.DeviceCode, 1);
  EXPECT_EQ(s.SerialPort, 2);
  EXPECT_EQ(s.BaudRateCode, 7);
  EXPECT_EQ(s.DataBitsCode, 1);
  EXPECT_EQ(s.StopBits, 2);
  EXPECT_EQ(s.ParityCode, 3);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.PlotScale), 4);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.PlotOriginX), 9);
  ASSERT_EQ(ui.records.size(), 9u);
  EXPECT_EQ(ui.records[2].choices, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4"}));
  EXPECT_EQ(ui.records[3].choices.front(), "110 Baud");
  EXPECT_EQ(ui.records[3].choices.back(), "9600 Baud");
  EXPECT_EQ(ui.records[3].helpNumber, 5150);
  EXPECT_EQ(ui.records[4].choices, (std::vector<std::string>{"7 Data Bits", "8 Data Bits"}));
  EXPECT_EQ(ui.records[5].choices, (std::vector<std::string>{"1 Stopbit", "2 Stopbits"}));
  EXPECT_EQ(ui.records[6].choices, (std::vector<std::string>{"no parity", "odd", "even"}));
  EXPECT_EQ(ui.records[6].helpNumber, 5180);

  // Cancel at the very first prompt changes nothing.
  ui.records.clear();
  EditConfiguration();
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(s.SyntaxCode, 1);
  EXPECT_EQ(ui.records.size(), 1u);
}

TEST_F(ConfigFile, EditorTargetSpecificValues) {
  const SettingsRecord& s = Settings;
  // CNC: shape font forced on, depth, distance and dialect.
  ui.answerChoice(4);
  ui.answerChoice(2);
  ui.answerChoice(1);
  for (int i = 0; i < 3; ++i) ui.answerText("1");
  ui.answerText("0.5");
  ui.answerText("2");
  ui.answerChoice(3);
  ui.answerText("1");
  EditConfiguration();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(s.UseShapeFont, 'J');
  EXPECT_DOUBLE_EQ(static_cast<double>(s.MillingDepth), 0.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.ToolDistance), 2);
  EXPECT_EQ(s.NcSyntax, 3);
  auto p = Prompts(ui);
  ASSERT_EQ(p.size(), 10u);
  EXPECT_EQ(p[6], "text|Profondeur de coupe [mm] |5260");
  EXPECT_EQ(p[7], "text|Distance d'outil \x85 la surface de la pi\x8A" "ce [mm] |5270");
  EXPECT_EQ(p[8], "choice|NC - Code|5350");

  // Lasercomb: dialect 1 and the shape font without asking.
  ui.records.clear();
  ui.answerChoice(3);
  ui.answerChoice(2);
  ui.answerChoice(1);
  for (int i = 0; i < 4; ++i) ui.answerText("1");
  EditConfiguration();
  EXPECT_EQ(s.NcSyntax, 1);
  EXPECT_EQ(s.UseShapeFont, 'J');
  EXPECT_EQ(ui.records.size(), 7u);

  // Garmin: coordinate mode, x reference and file type.
  ui.records.clear();
  ui.answerChoice(12);
  ui.answerChoice(2);
  ui.answerChoice(1);
  for (int i = 0; i < 3; ++i) ui.answerText("1");
  ui.answerChoice(2);
  ui.answerChoice(2);
  ui.answerChoice(3);
  ui.answerText("1");
  EditConfiguration();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(s.NcSyntax, 2);
  EXPECT_EQ(s.UseShapeFont, 'N');
  EXPECT_EQ(s.Rotate90, 'N');
  EXPECT_EQ(ConverterChoices.GarminXReference, 2);
  EXPECT_EQ(Settings.GarminFileType, 3);
  p = Prompts(ui);
  ASSERT_EQ(p.size(), 10u);
  EXPECT_EQ(p[6], "choice|Select|5500");
  EXPECT_EQ(p[7], "choice|X Reference|5500");
  EXPECT_EQ(p[8], "choice|File Type|5500");
}

// SVG: rotation, the shape font where it is loaded, the line width. The
// ISO dialect: spindle, plunge feed and line numbers.
TEST_F(ConfigFile, EditorForTodaysMachines) {
  const SettingsRecord& s = Settings;
  Settings.LoadShapeFont = 'J';
  ui.answerChoice(13);
  ui.answerChoice(3);
  ui.answerText("cut");
  for (int i = 0; i < 3; ++i) ui.answerText("1");
  ui.answerYesNo('J');
  ui.answerYesNo('J');
  ui.answerText("0,25");
  ui.answerText("1");
  EditConfiguration();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(s.SyntaxCode, 13);
  EXPECT_EQ(s.Rotate90, 'J');
  EXPECT_EQ(s.UseShapeFont, 'J');
  EXPECT_DOUBLE_EQ(static_cast<double>(s.SvgStrokeWidth), 0.25);
  auto p = Prompts(ui);
  ASSERT_EQ(p.size(), 10u);
  EXPECT_EQ(p[2], "text|Nom de fichier (sans Extention .svg) |5200");
  EXPECT_EQ(p[6], "yesno|Tourner le tracion en 90 degr\x82" "e ?|5240");
  EXPECT_EQ(p[7], "yesno|Utiliser le font de texte externe TXT.SHP ?|5250");
  EXPECT_EQ(p[8], "text|Largeur du trait [mm] |5370");

  ui.records.clear();
  ui.answerChoice(4);
  ui.answerChoice(3);
  ui.answerText("mill");
  for (int i = 0; i < 3; ++i) ui.answerText("1");
  ui.answerText("0.5");
  ui.answerText("3");
  ui.answerChoice(5);
  ui.answerText("12000");
  ui.answerText("80");
  ui.answerYesNo('J');
  ui.answerText("1");
  EditConfiguration();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(s.NcSyntax, 5);
  EXPECT_EQ(s.SpindleSpeed, 12000);
  EXPECT_EQ(s.PlungeFeed, 80);
  EXPECT_EQ(s.NcLineNumbers, 'J');
  EXPECT_EQ(s.Rotate90, 'N');
  p = Prompts(ui);
  ASSERT_EQ(p.size(), 13u);
  EXPECT_EQ(ui.records[8].choices.back(), "ISO / GRBL / LinuxCNC");
  EXPECT_EQ(p[9], "text|Vitesse de broche [1/min] |5360");
  EXPECT_EQ(p[10], "text|Avance de plong\x82" "e [mm/min] |5360");
  EXPECT_EQ(p[11], "yesno|Num\x82roter les lignes ?|5360");
}

TEST_F(ConfigFile, EditorOffersTheAristoFile) {
  // A stand-in editor that writes the file name it was given.
  const std::string marker = dir.file("edited");
  const std::string script = dir.file("editor.sh");
  WriteFile(script, "#!/bin/sh\necho \"$2\" > " + marker + ".tmp && mv " + marker + ".tmp " + marker + "\n");
  chmod(script.c_str(), 0755);
  setenv("VISUAL", (script + " -flag").c_str(), 1);
  Settings.PltDir = dir.path();
  Settings.LoadShapeFont = 'J';

  ui.answerChoice(2);  // ARISTO
  ui.answerChoice(2);
  ui.answerChoice(1);
  for (int i = 0; i < 3; ++i) ui.answerText("1");
  ui.answerYesNo('N');  // rotate
  ui.answerYesNo('J');  // shape font
  ui.answerText("1");
  ui.answerYesNoCancel(1);
  EditConfiguration();
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Settings.UseShapeFont, 'J');
  auto p = Prompts(ui);
  ASSERT_EQ(p.size(), 10u);
  EXPECT_EQ(p[7], "yesno|Utiliser le font de texte externe TXT.SHP ?|5250");
  EXPECT_EQ(ui.records[9].kind, "yesnocancel");
  EXPECT_EQ(ui.records[9].text, "R\x82viser le file d'initialisation ?");
  for (int i = 0; i < 500 && !std::filesystem::exists(marker); ++i) usleep(10000);
  EXPECT_EQ(ReadFile(marker), dir.path() + "/ARISTO.TXT\n");

  setenv("VISUAL", dir.file("no-such-editor").c_str(), 1);
  EXPECT_FALSE(StartTextEditor("x"));
}

}  // namespace
}  // namespace planox
