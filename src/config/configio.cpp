#include "config/configio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "base/fileio.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/textconv.h"
#include "base/textfile.h"

namespace planox {

namespace {

// CNC dialects 1..4 are what older versions know; the ISO dialect (5) is
// stored for them as DIN 66025. Targets they do not know are stored as the
// target row says (TargetRow::olderNumber).
constexpr uint16_t kDialects = 5;
uint16_t OlderTarget(uint16_t code) {
  const TargetRow* t = FindTarget(code);
  return t && t->olderNumber ? static_cast<uint16_t>(t->olderNumber) : code;
}
uint16_t OlderDialect(uint16_t code) { return code == 5 ? 1 : code; }

const char* const kPostscriptFonts[35] = {
    "Times-Roman",           "Times-Italic",           "Times-Bold",
    "Times-BoldItalic",      "Helvetica",              "Helvetica-Oblique",
    "Helvetica-Bold",        "Helvetica-BoldOblique",  "Helvetica-Narrow",
    "Helvetica-Narrow-Oblique", "Helvetica-Narrow-Bold", "Helvetica-Narrow-BoldOblique",
    "Courier",               "Courier-Oblique",        "Courier-Bold",
    "Courier-BoldOblique",   "Palatino-Roman",         "Palatino-Italic",
    "Palatino-Bold",         "Palatino-BoldItalic",    "AvantGarde-Book",
    "AvantGarde-Demi",       "AvantGarde-BookOblique", "AvantGarde-DemiOblique",
    "Bookman-Light",         "Bookman-Demi",           "Bookman-LightItalic",
    "Bookman-DemiItalic",    "NewCenturySchlbk-Roman", "NewCenturySchlbk-Bold",
    "NewCenturySchlbk-Italic", "NewCenturySchlbk-BoldItalic", "ZapfChancery-MediumItalic",
    "Symbol",                "andere Schriften"};

constexpr const char* kPenTableRule = "---------------------------";
constexpr int32_t kWhite = 16777215;

void defaultScreenSize(int& width, int& height) {
  width = 1024;
  height = 768;
}
ScreenSizeHook screenSizeHook = defaultScreenSize;

int screenWidth() {
  int w = 0, h = 0;
  screenSizeHook(w, h);
  return w;
}
int screenHeight() {
  int w = 0, h = 0;
  screenSizeHook(w, h);
  return h;
}

// A derived screen dimension as a stored pixel count (never 0 or 65535,
// which would mean "derive" again).
uint16_t screenDimension(int pixels) {
  if (pixels < 1) return 1;
  if (pixels > 65534) return 65534;
  return static_cast<uint16_t>(pixels);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A value line that is no number gives 0.
double configReal(std::string_view line) {
  double x = 0;
  return ParseTypedReal(line, x) ? x : 0;
}

std::string format(const char* fmt, int width, int decimals, long double x) {
  char buf[64];
  int n = std::snprintf(buf, sizeof buf, fmt, width, decimals, x);
  if (n < 0) return "0";
  if (static_cast<size_t>(n) < sizeof buf) return std::string(buf, n);
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), fmt, width, decimals, x);
  big.resize(static_cast<size_t>(n));
  return big;
}

// fix(w:d): d decimals with a point, right-aligned in at least w
// characters, independent of DecimalPlaces and DecimalSeparator.
std::string fixText(long double x, int width, int decimals) {
  if (std::fabs(x) < 0.5L * std::pow(10.0L, -decimals)) x = 0;  // no "-0.00"
  return format("%*.*Lf", width, decimals, x);
}

// sci: blank or "-", one digit, ".", 14 digits, "E", sign, 4 exponent
// digits (23 characters).
std::string sciText(long double x) {
  if (!std::isfinite(x)) return x != x ? "NAN" : (x > 0 ? "+INF" : "-INF");
  std::string t = format("%*.*Le", 0, 14, std::fabs(x));  // d.ddddddddddddddde[+-]xx
  size_t e = t.find('e');
  if (e == std::string::npos) return t;
  int exponent = std::atoi(t.c_str() + e + 1);
  if (x == 0) exponent = 0;
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return std::string(1, std::signbit(x) && x != 0 ? '-' : ' ') + t.substr(0, e) + exp;
}

// real7: the compact form for values below 1 that are whole, else seven
// decimals.
std::string real7Text(long double x) {
  double v = static_cast<double>(x);
  if (v < 1 && std::fabs(v - std::round(v)) < 0.0000000001) return RealToText(v);
  return RealToTextDecimals(v, 7);
}

// A line that must stay one line in the file.
std::string oneLine(std::string s) {
  for (char& c : s) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return s;
}

// The configuration file's lines: a line longer than kMaxLine keeps its
// first kMaxLine bytes. A read error is sticky: every later read fails as
// well.
class LineReader {
 public:
  static constexpr size_t kMaxLine = 65536;
  explicit LineReader(std::FILE* f) { in_.Attach(f); }

  // Next line; at end of file an empty line. False once reading failed.
  bool read(std::string& line) {
    line.clear();
    if (in_.ReadError()) return false;
    in_.ReadTextLine(line);
    if (line.size() > kMaxLine) line.resize(kMaxLine);
    return !in_.ReadError();
  }

  bool atEnd() { return in_.ReadError() || in_.AtEnd(); }

  bool failed() const { return in_.ReadError(); }

 private:
  TextReader in_;
};

// One pass over the file layout, either writing every line or reading the
// values back by position (key lines are skipped, not compared). Reading
// leaves a value as it was once a read has failed.
class ConfigPass {
 public:
  explicit ConfigPass(LineReader* in) : in_(in) {}
  explicit ConfigPass(std::FILE* out) : out_(out) {}

  bool loading() const { return in_ != nullptr; }
  bool failed() const { return in_ && in_->failed(); }
  // A checkpoint: reading stops when the file ended or a read failed.
  bool atEnd() const { return in_ && in_->atEnd(); }

  // A line without value (title, key, table rule).
  void line(const std::string& text) {
    if (in_) {
      std::string skipped;
      in_->read(skipped);
    } else {
      GuardedWriteLine(out_, oneLine(text));
    }
  }

  template <class T>
  void integer(const std::string& key, T& v) {
    line(key);
    std::string s;
    if (!value(std::to_string(static_cast<long long>(v)), s)) return;
    long long n = 0;
    bool ok = ParseTypedInteger(s, n);
    // A number that the field cannot hold counts as unreadable.
    v = (ok && n >= static_cast<long long>(std::numeric_limits<T>::min()) &&
         n <= static_cast<long long>(std::numeric_limits<T>::max()))
            ? static_cast<T>(n)
            : T{0};
  }

  void character(const std::string& key, char& v) {
    line(key);
    std::string s;
    // An empty line has no first character: the setting stays.
    if (value(std::string(1, v), s) && !s.empty()) v = s[0];
  }

  void text(const std::string& key, std::string& v, size_t maxLength = std::string::npos) {
    line(key);
    textValue(v, maxLength);
  }
  // A text value line whose key line was handled by the caller.
  void textValue(std::string& v, size_t maxLength = std::string::npos) {
    std::string s;
    if (value(v, s)) v = s.substr(0, maxLength);
  }

  template <class T>
  void real(const std::string& key, T& v, const std::string& written) {
    line(key);
    std::string s;
    if (value(written, s)) v = static_cast<T>(configReal(s));
  }

  void boolean(const std::string& key, bool& v) {
    line(key);
    std::string s;
    if (value(v ? "TRUE" : "FALSE", s)) v = UpperText(s) == "TRUE";
  }

 private:
  // Writes the value line, or reads it into s; false when nothing was read.
  bool value(const std::string& written, std::string& s) {
    if (!in_) {
      GuardedWriteLine(out_, oneLine(written));
      return false;
    }
    return in_->read(s);
  }

  LineReader* in_ = nullptr;
  std::FILE* out_ = nullptr;
};

template <class T>
void fixValue(ConfigPass& p, const std::string& key, T& v, int width, int decimals) {
  p.real(key, v, p.loading() ? std::string() : fixText(v, width, decimals));
}
template <class T>
void sciValue(ConfigPass& p, const std::string& key, T& v) {
  p.real(key, v, p.loading() ? std::string() : sciText(v));
}
template <class T>
void compactValue(ConfigPass& p, const std::string& key, T& v) {
  p.real(key, v, p.loading() ? std::string() : RealToText(static_cast<double>(v)));
}
template <class T>
void real7Value(ConfigPass& p, const std::string& key, T& v) {
  p.real(key, v, p.loading() ? std::string() : real7Text(v));
}

// Every line of the file in order. Returns false when reading stopped at
// a checkpoint (the file ended there or a read failed).
bool RunPass(ConfigPass& p) {
  SettingsRecord& s = Settings;
  const bool load = p.loading();

  p.line(std::string(ProgramTitleUpper) + "  Configuration");
  p.line(std::string("Version ") + VersionText);
  // A target or dialect that older versions do not know is stored here as
  // the nearest one they know; the true value follows at the end.
  uint16_t target = load ? s.SyntaxCode : OlderTarget(s.SyntaxCode);
  p.integer("SyntaxCode (" + TargetName(target) + ")", target);
  if (load) s.SyntaxCode = target;
  p.integer("DeviceCode (" + ChannelName(s.DeviceCode) + ")", s.DeviceCode);
  fixValue(p, "PlotScale", s.PlotScale, 5, 3);
  fixValue(p, "Plotursprung x", s.PlotOriginX, 4, 2);
  fixValue(p, "Plotursprung y", s.PlotOriginY, 4, 2);
  p.character("Rotate 90 degrees ?", s.Rotate90);
  p.character("Use Extern TextFont TXT.SHP ?", s.UseShapeFont);
  p.integer("Serial Port", s.SerialPort);
  p.integer("Baud Rate Code", s.BaudRateCode);
  p.integer("DataBitsCode", s.DataBitsCode);
  p.integer("Stop Bits", s.StopBits);
  p.integer("ParityCode", s.ParityCode);
  p.text("PlotFile", Session.PlotFile);
  p.integer("MaxFileElements", s.MaxFileElements);
  p.text("FileExtension", Session.FileExtension, 3);
  sciValue(p, "Fraestiefe", s.MillingDepth);
  sciValue(p, "WerkzeugAbstand", s.ToolDistance);
  p.text("InPath", Session.InPath);
  if (load) {
    s.PlotFile = Session.PlotFile;
    s.FileExtension = Session.FileExtension;
    s.InPath = Session.InPath;
  }
  sciValue(p, "Zoom", s.Zoom);
  sciValue(p, "Panorama", s.Panorama);
  p.integer("LPT", s.LptPort);
  if (load && (s.LptPort == 0 || s.LptPort > 4)) s.LptPort = 1;

  p.line("Begin of Pen Table");
  p.line(kPenTableRule);
  for (int n = 1; n <= 15; ++n) {
    int32_t colour = n;
    p.integer("Color", colour);  // the colour number itself is not kept
    p.integer("Pen Number", s.PenNumbers[n]);
    p.integer("Pen Speed", s.PenSpeeds[n]);
  }
  p.line("End of Pen Table");
  p.line(kPenTableRule);

  p.character("SHP laden ?", s.LoadShapeFont);
  p.integer("Niveau d'aide", s.HelpLevel);
  p.integer("Densit\x82 d'impression", s.PrintDensity);
  p.character("Rotation de l'image \x82" "cran?", s.ScreenRotation);
  p.integer("Type d'imprimante", s.PrinterType);
  p.line("Annuaire provisoire");
  if (p.failed()) return false;
  p.textValue(s.TempDir);
  uint16_t dialect = load ? s.NcSyntax : OlderDialect(s.NcSyntax);
  p.integer("NC-Syntax", dialect);
  if (load) s.NcSyntax = dialect;
  compactValue(p, "Largeur/hauteur du texte", s.TextWidthRatio);
  if (load && (s.TextWidthRatio < 0.01 || s.TextWidthRatio > 100)) s.TextWidthRatio = 1.0;
  p.text("Style de texte", s.TextStyle, 32);
  if (p.atEnd()) return false;
  p.integer("Grains horizontals de l'\x82" "cran", s.ScreenWidth);
  p.integer("Grains verticals de l'\x82" "cran", s.ScreenHeight);
  if (load && (s.ScreenWidth == 0 || s.ScreenWidth == 65535)) s.ScreenWidth = screenDimension(screenWidth() - 1);
  if (load && (s.ScreenHeight == 0 || s.ScreenHeight == 65535)) s.ScreenHeight = screenDimension(screenHeight() - 1);
  if (load) s.PltDir.clear();
  p.text("PLT Annuaire", s.PltDir);
  if (p.atEnd()) return false;
  compactValue(p, "Angle du texte", s.TextAngle);
  p.text("CAD Annuaire", s.CadDir);
  p.text("DBF Annuaire", s.DbfDir);
  p.integer("Nombre de d\x82" "cimales", s.DecimalPlaces);
  p.integer("Densit\x82 d'impression verticale", s.PrintDensityVertical);
  p.boolean("Couleur des graphiques", s.ColourGraphics);
  compactValue(p, "Correcteur d'agrandissement horizontal", s.HorizontalScaleCorrection);
  p.integer("Mode Graphique", s.GraphicsMode);
  p.integer("Lecteur de Graphique", s.GraphicsDriver);
  p.integer("Interface-imprimante de l'image \x82" "cran", s.ScreenPrinterPort);
  p.text("EDI Annuaire", s.EdiDir);
  p.integer("Mise en page", s.PageLayout);
  p.integer("Nombres de lignes par page", s.LinesPerPage);
  p.text("Annuaire QUORVEL ", s.HomeDir);
  p.text("KESTREL commande", s.PlotCommand);
  p.integer("Couleur de l'arri\x8A" "re plan", s.BackgroundColour);
  p.integer("Mode d'impression Windows (1=mono 2=couleur)", s.WindowsPrintMode);
  real7Value(p, "Largeur/hauteur du texte Graphique", s.ScreenTextRatio);
  if (load && (s.ScreenTextRatio < 0.01 || s.ScreenTextRatio > 100)) s.ScreenTextRatio = 1.0;
  p.text("Style de texte Graphique", s.ScreenTextStyle, 60);
  for (int n = 1; n <= 16; ++n) {
    p.integer("Couleur Layer " + std::to_string(n + 15), s.LayerColours[n - 1]);
    if (load && s.LayerColours[n - 1] == 0) s.LayerColours[n - 1] = n;
  }
  p.integer("Windows Screendump Origin X", s.ScreendumpOriginX);
  p.integer("Windows Screendump Origin Y", s.ScreendumpOriginY);
  real7Value(p, "Windows Screendump Scale", s.ScreendumpScale);
  if (load && s.ScreendumpScale == 0) s.ScreendumpScale = 1.0;
  p.boolean("Windows Screendump Border ?", s.ScreendumpBorder);
  real7Value(p, "Text Height Factor", s.TextHeightFactor);
  if (load && s.TextHeightFactor < 0.1) s.TextHeightFactor = 1.0;
  p.integer("Input Window Scale %", s.InputWindowScale);
  if (load && (s.InputWindowScale < 10 || s.InputWindowScale > 1000)) s.InputWindowScale = 100;
  real7Value(p, "Print Scale Vertical", s.PrintScaleVertical);
  if (load && s.PrintScaleVertical < 0.0001) s.PrintScaleVertical = s.ScreendumpScale;
  p.boolean("SelectPen = PenWidth * 20", s.PenWidthToPenNumber);

  // Appended by later versions: a file of an older version ends above
  // and keeps the defaults of what follows.
  if (p.atEnd()) return !p.failed();
  uint16_t trueTarget = load ? 0 : s.SyntaxCode, trueDialect = load ? 0 : s.NcSyntax;
  p.integer("SyntaxCode SVG (" + TargetName(trueTarget) + ")", trueTarget);
  p.integer("NC-Syntax ISO", trueDialect);
  // Only a known code that matches the older slot's stand-in counts: a
  // file saved again by an older version keeps what that version chose.
  if (load && FindTarget(trueTarget) && OlderTarget(trueTarget) == s.SyntaxCode)
    s.SyntaxCode = trueTarget;
  if (load && trueDialect >= 1 && trueDialect <= kDialects && OlderDialect(trueDialect) == s.NcSyntax)
    s.NcSyntax = trueDialect;
  p.integer("Vitesse de broche [1/min]", s.SpindleSpeed);
  p.integer("Avance de plong\x82" "e [mm/min]", s.PlungeFeed);
  p.character("Num\x82ros de ligne NC ?", s.NcLineNumbers);
  real7Value(p, "Largeur du trait SVG [mm]", s.SvgStrokeWidth);
  if (load && s.SpindleSpeed <= 0) s.SpindleSpeed = 1000;
  if (load && s.PlungeFeed <= 0) s.PlungeFeed = 300;
  if (load && !(s.SvgStrokeWidth > 0)) s.SvgStrokeWidth = 0.1;
  return !p.failed();
}

std::string configFileName(const std::string& name) { return WithSeparator(StartDir()) + name + ".cfg"; }

}  // namespace

void SetScreenSizeHook(ScreenSizeHook hook) { screenSizeHook = hook ? hook : defaultScreenSize; }

void LoadConfiguration(const std::string& name) {
  Session.AbortFlag = false;
  std::string path;
  if (name.empty()) {
    std::string chosen;
    ChooseFile("*.cfg", StartDir(), chosen, false, false);
    if (Session.AbortFlag) return;
    path = chosen;
  } else {
    path = configFileName(name);
  }

  SettingsRecord& s = Settings;
  std::FILE* f = OpenRegularStream(path);
  if (!f) {
    Session.AbortFlag = true;
    if (s.ScreenWidth == 0 || s.ScreenWidth == 65535) s.ScreenWidth = screenDimension(screenWidth() - 10);
    if (s.ScreenHeight == 0 || s.ScreenHeight == 65535) s.ScreenHeight = screenDimension(screenHeight() - 60);
    return;
  }
  LineReader reader(f);
  ConfigPass pass(&reader);
  bool complete = RunPass(pass);
  if (reader.failed()) Session.AbortFlag = true;
  if (complete) {
    if (s.WindowsPrintMode == 0) s.WindowsPrintMode = 1;
    if (!s.ColourGraphics) s.BackgroundColour = kWhite;
  }
  std::fclose(f);
  if (!complete) return;

  if (TrimText(s.TempDir).empty()) s.TempDir = WithSeparator(StartDir());
  if (TrimText(s.PltDir).empty()) s.PltDir = WithSeparator(StartDir());
  if (!DirectoryExists(WithSeparator(s.PltDir))) ReportError("non valide HLP Annuaire configur\x82");
  if (!DirectoryWritable(WithSeparator(s.TempDir))) ReportError("non valide Annuaire provisoire configur\x82");
  s.EdiDir = s.TempDir;
}

namespace {

// Writes the whole file beside the target and renames it over the target,
// so that a failed save never destroys the previous configuration. The new
// file is always one the save made itself, never a name planted for it.
void writeConfiguration(const std::string& path) {
  ReplacingFile out;
  if (!out.Create(path)) {
    ReportIoFailure(errno, "erreur d'\x82" "criture");
    return;
  }
  int fd = dup(out.Fd());
  std::FILE* f = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  if (!f) {
    if (fd >= 0) ::close(fd);
    ReportIoFailure(errno, "erreur d'\x82" "criture");
    return;
  }
  ConfigPass pass(f);
  RunPass(pass);
  GuardedClose(f);
  if (Session.AbortFlag) return;
  if (!out.Commit()) ReportIoFailure(errno, "erreur d'\x82" "criture");
}

// One AskChoice over the given texts; false when the user cancelled.
template <class T>
bool choose(T& field, int help, const std::string& prompt, const std::vector<std::string>& choices, int current) {
  HelpNumber = help;
  ChoiceList = choices;
  int answer = AskChoice(prompt, static_cast<int>(choices.size()), current);
  if (Session.AbortFlag) return false;
  field = static_cast<T>(answer);
  return true;
}

template <class T>
bool askReal(T& field, int help, const std::string& prompt, double low, double high) {
  HelpNumber = help;
  double answer = AskReal(prompt, static_cast<double>(field), low, high);
  if (Session.AbortFlag) return false;
  field = static_cast<T>(answer);
  return true;
}

template <class T>
bool askInteger(T& field, int help, const std::string& prompt, long long low, long long high) {
  HelpNumber = help;
  long long answer = AskInteger(prompt, field, low, high);
  if (Session.AbortFlag) return false;
  field = static_cast<T>(answer);
  return true;
}

bool askYesNo(char& field, int help, const std::string& prompt) {
  HelpNumber = help;
  char answer = AskYesNo(prompt, field);
  if (Session.AbortFlag) return false;
  field = answer;
  return true;
}

bool askText(std::string& field, int help, const std::string& prompt, int maxLength) {
  HelpNumber = help;
  std::string answer = AskText(prompt, maxLength, field);
  if (Session.AbortFlag) return false;
  field = answer;
  return true;
}

std::vector<std::string> numbered(const std::string& prefix, int n, const std::string& suffix) {
  std::vector<std::string> v;
  for (int i = 1; i <= n; ++i) v.push_back(prefix + std::to_string(i) + suffix);
  return v;
}

bool editChannel() {
  SettingsRecord& s = Settings;
  switch (s.DeviceCode) {
    case 1: {
      std::vector<std::string> rates;
      for (const char* r : {"110", "150", "300", "600", "1200", "2400", "4800", "9600"})
        rates.push_back(std::string(r) + " Baud");
      return choose(s.SerialPort, 5140, "Serial Port", numbered("COM", 4, ""), s.SerialPort) &&
             choose(s.BaudRateCode, 5150, "Baud Rate", rates, s.BaudRateCode) &&
             choose(s.DataBitsCode, 5160, "Data Bits", {"7 Data Bits", "8 Data Bits"}, s.DataBitsCode) &&
             choose(s.StopBits, 5170, "Stop Bits", {"1 Stopbit", "2 Stopbits"}, s.StopBits) &&
             choose(s.ParityCode, 5180, "Parity", {"no parity", "odd", "even"}, s.ParityCode);
    }
    case 2:
      return choose(s.LptPort, 5190, "parallel Port", numbered("LPT", 3, ""), s.LptPort);
    case 3: {
      const std::string ext = TargetExtension(s.SyntaxCode);
      std::string answer = Session.PlotFile;
      do {
        if (!askText(answer, 5200, "Nom de fichier (sans Extention ." + ext + ") ", 30)) return false;
      } while (answer.find('.') != std::string::npos);
      Session.PlotFile = s.PlotFile = UpperText(answer);
      // Names are compared without regard to case: on the systems the
      // drawings come from, PLAN.DXF and plan.dxf are the same file.
      if (UpperText(ext) == UpperText(Session.FileExtension) &&
          UpperText(Session.PlotFile) == UpperText(Session.DrawingName)) {
        ReportError("Le fichier source et le fichier de destination ne doivent pas \x88tre identiques !");
        Session.PlotFile = s.PlotFile = "XXXXXXXX";
        Session.AbortFlag = true;
        return false;
      }
      return true;
    }
    default:
      return true;
  }
}

bool editTargetValues() {
  SettingsRecord& s = Settings;
  switch (s.SyntaxCode) {
    case TargetCnc:
      if (!(askReal(s.MillingDepth, 5260, "Profondeur de coupe [mm] ", 0, 100) &&
            askReal(s.ToolDistance, 5270, "Distance d'outil \x85 la surface de la pi\x8A" "ce [mm] ", 0, 100) &&
            choose(s.NcSyntax, 5350, "NC - Code",
                   {"DIN 66025", "SM - Code", "Deckel", "DIN 66025 (circle->hole)", "ISO / GRBL / LinuxCNC"},
                   s.NcSyntax)))
        return false;
      if (s.NcSyntax != 5) return true;
      return askInteger(s.SpindleSpeed, 5360, "Vitesse de broche [1/min] ", 1, 100000) &&
             askInteger(s.PlungeFeed, 5360, "Avance de plong\x82" "e [mm/min] ", 1, 100000) &&
             askYesNo(s.NcLineNumbers, 5360, "Num\x82roter les lignes ?");
    case TargetSvg:
      return askReal(s.SvgStrokeWidth, 5370, "Largeur du trait [mm] ", 0.001, 10);
    case TargetPostscript: {
      std::vector<std::string> fonts(std::begin(kPostscriptFonts), std::end(kPostscriptFonts));
      int font = 35;
      if (!choose(font, 5280, "Utiliser jeu de charact\x8A" "res Postscript", fonts, 35)) return false;
      if (font == 35) return askText(s.TextStyle, 5280, "Entrer font de texte Postscript", 28);
      s.TextStyle = fonts[font - 1];
      return true;
    }
    case TargetDxf:
      return askText(s.TextStyle, 5280, "Entrer font de texte", 28);
    case TargetGarmin:
      if (!choose(s.NcSyntax, 5500, "Select",
                  {"Glob. Coordinate System (unchanged)", "Areal Coordinat System (convert x coords)"}, s.NcSyntax))
        return false;
      if (s.NcSyntax == 2 && !choose(ConverterChoices.GarminXReference, 5500, "X Reference",
                                     {"x min (left)", "x max (right)"}, ConverterChoices.GarminXReference))
        return false;
      return choose(s.GarminFileType, 5500, "File Type", {"WPT", "TRK", "GRM"}, s.GarminFileType);
    default:
      return true;
  }
}

}  // namespace

void SaveConfiguration(const std::string& name) {
  Session.AbortFlag = false;
  std::string path;
  if (name.empty()) {
    HelpNumber = 5050;
    path = AskText("Filename: ", 60, WithSeparator(StartDir()) + ProgramName + ".cfg");
    if (Session.AbortFlag) return;
    CheckOutputFile(path);
    if (Session.AbortFlag) return;
  } else {
    path = configFileName(name);
  }
  writeConfiguration(path);
}

void EditConfiguration() {
  Session.AbortFlag = false;
  SettingsRecord& s = Settings;
  std::vector<std::string> targets, channels;
  for (const TargetRow& t : Targets()) targets.push_back(t.name);
  for (int c = 1; c <= 3; ++c) channels.push_back(ChannelName(c));
  if (!choose(s.SyntaxCode, 5130, "Plot-Syntax", targets, s.SyntaxCode)) return;
  if (!choose(s.DeviceCode, 5140, "appareil de sortie", channels, s.DeviceCode)) return;
  if (!editChannel()) return;
  if (!askReal(s.PlotScale, 5220, "Echelle \xAEtracer\xAF", 0.00001, 10000)) return;
  if (!askReal(s.PlotOriginX, 5230, "Coin gauche en bas du dessin X [mm]", -10000, 10000)) return;
  if (!askReal(s.PlotOriginY, 5230, "Coin gauche en bas du dessin Y [mm]", -10000, 10000)) return;

  const int target = s.SyntaxCode;
  const TargetRow* row = FindTarget(target);
  const ShapeFontUse shapeFont = row ? row->shapeFont : ShapeFontUse::Never;
  if (row && row->asksRotation) {
    if (!askYesNo(s.Rotate90, 5240, "Tourner le tracion en 90 degr\x82" "e ?")) return;
  } else {
    s.Rotate90 = 'N';
  }
  if (target == TargetLasercomb) s.NcSyntax = 1;
  if (shapeFont == ShapeFontUse::Always) {
    s.UseShapeFont = 'J';
  } else if (shapeFont == ShapeFontUse::Asked) {
    if (s.LoadShapeFont == 'N') {
      s.UseShapeFont = 'N';
    } else if (!askYesNo(s.UseShapeFont, 5250, "Utiliser le font de texte externe TXT.SHP ?")) {
      return;
    }
  } else {
    s.UseShapeFont = 'N';
  }
  if (!editTargetValues()) return;
  if (!askReal(s.TextWidthRatio, 5290, "Coefficient de correction de la largeur du texte  (0.1..10)  ", 0.01, 100))
    return;

  if (target == TargetAristo) {
    bool yes = AskYesNoCancel("R\x82viser le file d'initialisation ?");
    if (Session.AbortFlag || !yes) return;
    WaitCursorOn();
    StartTextEditor(WithSeparator(s.PltDir) + "ARISTO.TXT");
    WaitCursorOff();
  }
}

bool StartTextEditor(const std::string& file) {
  std::vector<std::string> args;
  const char* editor = std::getenv("VISUAL");
  if (!editor || !*editor) editor = std::getenv("EDITOR");
  if (editor) {
    std::string word;
    for (const char* c = editor;; ++c) {
      if (*c == '\0' || isBlank(*c)) {
        if (!word.empty()) args.push_back(word);
        word.clear();
        if (*c == '\0') break;
      } else {
        word.push_back(*c);
      }
    }
  }
  if (args.empty()) args.push_back("xdg-open");
  args.push_back(file);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  // The grandchild runs the editor in its own session, so it outlives this
  // program and is never left as a zombie; the pipe reports a failed exec.
  int pipefd[2];
  if (pipe2(pipefd, O_CLOEXEC) != 0) return false;
  pid_t child = fork();
  if (child == 0) {
    setsid();
    pid_t editorPid = fork();
    if (editorPid == 0) {
      ::close(pipefd[0]);
      execvp(argv[0], argv.data());
      int e = errno;
      ssize_t ignored = ::write(pipefd[1], &e, sizeof e);
      (void)ignored;
      _exit(127);
    }
    _exit(editorPid < 0 ? 1 : 0);
  }
  ::close(pipefd[1]);
  if (child < 0) {
    ::close(pipefd[0]);
    return false;
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int execError = 0;
  ssize_t n;
  while ((n = ::read(pipefd[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
  }
  ::close(pipefd[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

}  // namespace planox
