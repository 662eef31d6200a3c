// The state of the running program (Session) and every value the
// configuration file stores (Settings). Both are module-level records that
// every subsystem reads; ResetSession and ResetSettings bring them back to
// the start-up defaults (tests start from there).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace planox {

// Program identity.
inline constexpr const char* ProgramTitle = "Planox";
inline constexpr const char* ProgramTitleUpper = "PLANOX";
inline constexpr const char* ProgramName = "planox";
inline constexpr const char* VersionText = "8.3";

// The four corners of a drawing window in world units.
struct Extents {
  long double XMin = 0, YMin = 0, XMax = 180, YMax = 180;
};

struct SessionRecord {
  bool AbortFlag = false;
  bool ShowErrors = true;
  std::string DrawingName;
  std::string DrawingDir;
  std::string FileExtension = "dxf";
  std::string InPath;
  std::string PlotFile = "PLOT";
  std::array<std::string, 4> RecentFiles{};  // entries 1..4 at index 0..3
  bool NameFromCommandLine = false;
  Extents DrawingExtents;
};

// Yes/no settings are the characters 'J' and 'N'.
struct SettingsRecord {
  uint16_t SyntaxCode = 10;
  uint16_t DeviceCode = 3;
  long double PlotScale = 1.0;
  long double PlotOriginX = 0, PlotOriginY = 0;
  char Rotate90 = 'N';
  char UseShapeFont = 'N';
  uint16_t SerialPort = 1;
  uint16_t BaudRateCode = 8;
  uint16_t DataBitsCode = 2;
  uint16_t StopBits = 1;
  uint16_t ParityCode = 1;
  std::string PlotFile = "PLOT";
  int32_t MaxFileElements = 500000;
  std::string FileExtension = "dxf";
  long double MillingDepth = 0.3;
  long double ToolDistance = 1.0;
  std::string InPath;
  long double Zoom = 1.02;
  long double Panorama = 0.02;
  uint16_t LptPort = 1;
  std::array<int32_t, 16> PenNumbers{0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7};
  std::array<int32_t, 16> PenSpeeds{500, 500, 500, 500, 500, 500, 500, 500,
                                    500, 500, 500, 500, 500, 500, 500, 500};
  char LoadShapeFont = 'N';
  uint16_t HelpLevel = 1;
  uint16_t PrintDensity = 1;
  char ScreenRotation = 'J';
  uint16_t PrinterType = 3;
  std::string TempDir;
  uint16_t NcSyntax = 1;
  // ISO G-code (NcSyntax 5): spindle speed in 1/min, plunge feed in
  // mm/min, and 'J' for numbered lines.
  int32_t SpindleSpeed = 1000;
  int32_t PlungeFeed = 300;
  char NcLineNumbers = 'N';
  long double SvgStrokeWidth = 0.1;  // mm, the SVG target's line width
  uint16_t GarminFileType = 1;  // 1 WPT, 2 TRK, 3 GRM (Garmin output file)
  long double TextWidthRatio = 1.0;
  std::string TextStyle = "TXT8";
  uint16_t ScreenWidth = 0, ScreenHeight = 0;
  std::string PltDir;
  long double TextAngle = 0;
  std::string CadDir;
  std::string DbfDir;
  int32_t DecimalPlaces = 3;
  uint16_t PrintDensityVertical = 1;
  bool ColourGraphics = true;
  long double HorizontalScaleCorrection = 1.0;
  int32_t GraphicsMode = 0, GraphicsDriver = 0;
  uint16_t ScreenPrinterPort = 1;
  std::string EdiDir;
  uint16_t PageLayout = 2;
  int32_t LinesPerPage = 66;
  std::string HomeDir;
  std::string PlotCommand = "plot.exe /F%1 /P%2";
  int32_t BackgroundColour = 1;
  uint16_t WindowsPrintMode = 1;
  long double ScreenTextRatio = 0.8;
  std::string ScreenTextStyle = "Arial";
  std::array<int32_t, 16> LayerColours{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  int32_t ScreendumpOriginX = 0, ScreendumpOriginY = 0;
  double ScreendumpScale = 1.0;  // a 48-bit real in the original files
  bool ScreendumpBorder = false;
  long double TextHeightFactor = 1.0;
  int32_t InputWindowScale = 102;
  double PrintScaleVertical = 1.0;  // a 48-bit real in the original files
  bool PenWidthToPenNumber = false;

  // Text and number rules (not stored in the configuration file).
  int32_t DecimalSeparator = 1;        // 1 point, 2 comma
  int32_t DateFormat = 1;              // 1 d.m.y, 2 m/d/y, 3 y/m/d, 4 d/m/y
  int32_t DisplayTransliteration = 0;  // 1: the program's own display table
  int32_t TextOutputMode = 1;          // 1 unchanged, 2 display form, 3 ASCII
  int32_t DxfDecimals = 6;             // decimals of real values in DXF output
  int32_t FontScale = 100;             // percent, for prompts and dialogs
};

extern SessionRecord Session;
extern SettingsRecord Settings;

// The directory the program was started from, without trailing separator.
const std::string& StartDir();
void SetStartDir(const std::string& dir);

// The folder of the data the program ships (shape font, help content), with
// separator: share/planox beside the folder that holds the program, as the
// installation lays it out and the build folder mirrors it, else data/ in a
// folder above the program (a build folder inside the source tree). ""
// when there is none.
const std::string& ProgramDataDir();
// The same for a program file at exePath.
std::string ProgramDataDirOf(const std::string& exePath);

void ResetSession();
void ResetSettings();

}  // namespace planox
