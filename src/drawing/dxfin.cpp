#include "drawing/dxfin.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "app/prompts.h"
#include "app/session.h"
#include "app/startup.h"
#include "app/textconv.h"
#include "config/configio.h"
#include "display/lstyle.h"
#include "display/vektor.h"
#include "drawing/dxfout.h"
#include "drawing/sinks.h"

namespace planox {

int32_t GroupCode = 0;
std::string GroupValue;
int32_t LineNumber = 0;
std::string SectionName;

// ------------------------------------------------------------ text lines

namespace {
constexpr size_t BufferSize = 1 << 18;


// The first CR or LF in [p, end), or end. DXF lines are a few bytes long,
// so eight bytes are tested at a time rather than calling library searches.
const char* FindLineEnd(const char* p, const char* end) {
  constexpr uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
  while (end - p >= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    uint64_t lf = w ^ (ones * '\n'), cr = w ^ (ones * '\r');
    uint64_t hit = ((lf - ones) & ~lf & highs) | ((cr - ones) & ~cr & highs);
    if (hit) {
      // The lowest flagged byte is exact; flags above it may be false ones.
      if constexpr (std::endian::native == std::endian::little)
        return p + (std::countr_zero(hit) >> 3);
      break;
    }
    p += 8;
  }
  while (p < end && *p != '\n' && *p != '\r') ++p;
  return p;
}

}  // namespace

TextReader::TextReader() = default;
TextReader::~TextReader() { Close(); }

bool TextReader::Open(const std::string& name) {
  Close();
  file_ = std::fopen(name.c_str(), "rb");
  if (!file_) return false;
  std::setvbuf(file_, nullptr, _IONBF, 0);  // the reader buffers itself
  struct stat st {};
  size_ = fstat(fileno(file_), &st) == 0 && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  read_ = 0;
  buffer_.resize(BufferSize);
  data_ = buffer_.data();
  pos_ = len_ = 0;
  eof_ = error_ = false;
  open_ = true;
  return true;
}

void TextReader::OpenMemory(std::string_view bytes) {
  Close();
  data_ = bytes.data();
  pos_ = 0;
  len_ = bytes.size();
  eof_ = true;
  error_ = false;
  open_ = true;
}

void TextReader::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  open_ = false;
  data_ = nullptr;
  pos_ = len_ = 0;
  eof_ = true;
  if (spill_.capacity() > 4096) std::string().swap(spill_);  // after a very long line
}

bool TextReader::Fill() {
  if (eof_ || !file_) return false;
  if (pos_ > 0 && pos_ < len_) std::memmove(buffer_.data(), buffer_.data() + pos_, len_ - pos_);
  len_ -= pos_;
  pos_ = 0;
  if (len_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);  // one very long line
  data_ = buffer_.data();
  size_t n = std::fread(buffer_.data() + len_, 1, buffer_.size() - len_, file_);
  if (n == 0) {
    if (std::ferror(file_)) error_ = true;
    eof_ = true;
    return false;
  }
  len_ += n;
  read_ += n;
  if (progress_) progress_->Step(read_, size_);
  return true;
}

bool TextReader::AtEnd() {
  if (pos_ < len_) return false;
  return !Fill();
}

std::string_view TextReader::Peek(size_t n) {
  while (len_ - pos_ < n && Fill()) {
  }
  return std::string_view(data_ + pos_, std::min(n, len_ - pos_));
}

void TextReader::ReadTextLine(std::string& line) {
  line.clear();
  for (;;) {
    if (pos_ >= len_ && !Fill()) return;
    const char* start = data_ + pos_;
    const char* end = data_ + len_;
    const char* p = FindLineEnd(start, end);
    if (p == end) {  // the line goes on in the next buffer
      line.append(start, end);
      pos_ = len_;
      continue;
    }
    line.append(start, static_cast<size_t>(p - start));
    pos_ += static_cast<size_t>(p - start) + 1;
    if (*p == '\r') {
      // A line feed directly after the carriage return belongs to it.
      if (pos_ >= len_) Fill();
      if (pos_ < len_ && data_[pos_] == '\n') ++pos_;
    }
    return;
  }
}

std::string_view TextReader::ReadLine() {
  const char* start = data_ + pos_;
  const char* end = data_ + len_;
  const char* p = FindLineEnd(start, end);
  // A carriage return at the end of the buffer may have its line feed in
  // the next one.
  if (p < end && (*p == '\n' || p + 1 < end)) {
    pos_ += static_cast<size_t>(p - start) + 1;
    if (*p == '\r' && p[1] == '\n') ++pos_;
    return std::string_view(start, static_cast<size_t>(p - start));
  }
  ReadTextLine(spill_);
  return spill_;
}

void ReadTextLine(TextReader& file, std::string& line) { file.ReadTextLine(line); }

// ---------------------------------------------------------------- helpers

namespace {

TextReader drawingFile;
DxfWriter blockWriter;
std::vector<DxfGroup> blockCopy;
std::string blockPath;

int layerEntry = 0;
int lineTypeEntry = 0;
bool headerExtentsFound = false;
bool outputStarted = false;

// One group pair of a block work file, with its value read as a number once.
struct WorkPair {
  int code = 0;
  std::string value;
  long double number = 0;
};
using WorkFile = std::vector<WorkPair>;
std::unordered_map<std::string, std::unique_ptr<WorkFile>> workFiles;
// Work files by block name for the current work folder, so that a replay
// does not build the file name every time; emptied whenever workFiles
// changes.
std::unordered_map<std::string, const WorkFile*> workFilesByName;

bool IsKeyword(std::string_view value, std::string_view upper) {
  if (value.size() != upper.size()) return false;
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

// A value as TextToReal reads it. The common form (blanks, sign, at most 15
// digits with one "." or ",") is converted here exactly: an integer below
// 2^53 divided by an exact power of ten rounds correctly in one step.
long double Real(std::string_view s) {
  static const double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end && *p == ' ') ++p;
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  // The digits before and after the decimal point; a mantissa of more than
  // 15 digits may wrap, but is then not used.
  uint64_t mantissa = 0;
  const char* first = p;
  while (p < end && static_cast<unsigned char>(*p - '0') < 10)
    mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
  long digits = p - first, decimals = 0;
  if (p < end && (*p == '.' || *p == ',')) {
    const char* point = ++p;
    while (p < end && static_cast<unsigned char>(*p - '0') < 10)
      mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
    decimals = p - point;
    digits += decimals;
  }
  if (p != end || digits == 0 || digits > 15) return TextToReal(s);
  double x = static_cast<double>(mantissa);
  if (decimals > 0) x /= powers[decimals];
  return negative ? -x : x;
}

int32_t Int32(std::string_view s) {
  long long n = TextToInt(s);
  if (n < INT32_MIN || n > INT32_MAX) return 0;
  return static_cast<int32_t>(n);
}

// What the sinks are given must be a finite double.
// A group code: the common form (blanks, then up to nine digits) directly,
// everything else through TextToInt.
int32_t CodeValue(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  size_t digits = s.size() - i;
  if (digits == 0 || digits > 9) return Int32(s);
  int32_t n = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c < '0' || c > '9') return Int32(s);
    n = n * 10 + (c - '0');
  }
  return n;
}

bool Finite(long double v) { return std::isfinite(static_cast<double>(v)); }

int NormalSlot(int slot) { return (slot < 1 || slot > MaxLayers) ? 1 : slot; }

const Layer& LayerOf(int slot) { return LayerTable[NormalSlot(slot)]; }

const std::string& LineTypeNameOf(const Layer& l) {
  int t = l.LineType;
  if (t < 0 || t > MaxLineTypes) t = 0;
  return LineTypeTable[t];
}

bool NotDrawn(const Layer& l) { return l.Flags == 65; }

double PlotX(long double x) {
  return static_cast<double>(x * Settings.PlotScale + Settings.PlotOriginX);
}
double PlotY(long double y) {
  return static_cast<double>(y * Settings.PlotScale + Settings.PlotOriginY);
}
double PlotLength(long double l) { return static_cast<double>(l * Settings.PlotScale); }

void SelectScreenStyle(const Layer& l) {
  GraphicsSink& g = CurrentGraphicsSink();
  g.H_SetLineStyleName(LineTypeNameOf(l));
  g.H_SetColor(ScreenColour(l.Colour));
}

void SelectPen(const Layer& l) {
  CurrentPlotSink().PlotSelectPen(Settings.PenNumbers[PenColour(l.Colour)]);
}

void SelectPlotLineType(const Layer& l) {
  CurrentPlotSink().PlotLineType(OutputLineType(LineTypeNameOf(l)));
}

void SetBlockLayer(int slot) { blockWriter.DxfSetLayer(IntToText(slot - 1)); }

// True when the conversion's output file is the drawing file itself: the
// same file on disk, however either name is spelt.
bool OutputIsDrawing(const std::string& drawing) {
  if (Settings.DeviceCode != 3) return false;
  struct stat a {};
  if (::stat(drawing.c_str(), &a) != 0) return false;
  std::vector<std::string> extensions{TargetExtension(Settings.SyntaxCode)};
  if (Settings.SyntaxCode == 12) extensions = {"WPT", "TRK", "GRM", "grm"};  // by file type
  for (const std::string& ext : extensions) {
    struct stat b {};
    std::string out = Session.PlotFile + "." + ext;
    if (::stat(out.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino) return true;
  }
  return false;
}

}  // namespace

// ------------------------------------------------------------ group pairs

void ReadGroupPair() {
  ++LineNumber;
  std::string_view code = drawingFile.ReadLine();
  if (drawingFile.ReadError()) {
    ReportError("Error in DXF-File Line : " + IntToText(LineNumber));
    Session.AbortFlag = true;
    drawingFile.ClearReadError();
    return;
  }
  GroupCode = CodeValue(code);
  if (drawingFile.AtEnd()) Session.AbortFlag = true;
  GroupValue.assign(drawingFile.ReadLine());
  ++LineNumber;
}

// ------------------------------------------------------------ names

std::string DrawingFileName() {
  std::string dir = WithSeparator(Session.InPath);
  std::string file = Session.DrawingName + "." + Session.FileExtension;
  std::string full = dir + file;
  struct stat st {};
  if (::stat(full.c_str(), &st) == 0) return full;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return full;
  std::string found;
  std::string want = UpperText(file);
  while (dirent* e = ::readdir(d)) {
    if (UpperText(e->d_name) == want) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found.empty() ? full : dir + found;
}

namespace {

// The work folder of the current read.
std::string readWorkDir;

std::string SafeBlockName(std::string_view storedName) {
  std::string safe(storedName);
  for (char& c : safe) {
    unsigned char u = static_cast<unsigned char>(c);
    bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
              u == '-' || u == '_' || u == '$' || u == '#' || u >= 128;
    if (!ok) c = '_';
  }
  return safe;
}

std::string BlockPath(std::string_view storedName) {
  if (readWorkDir.empty()) readWorkDir = WorkDir();
  return readWorkDir + "$" + SafeBlockName(storedName) + ".dx$";
}

}  // namespace

std::string BlockFileName(std::string_view storedName) {
  return WorkDir() + "$" + SafeBlockName(storedName) + ".dx$";
}

void ForgetBlockFiles() {
  workFiles.clear();
  workFilesByName.clear();
}

namespace {

// Deletes the block work files ("$*.dx$") of this program's work folder.
void DeleteWorkFiles() {
  ForgetBlockFiles();
  const std::string& dir = readWorkDir;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  while (dirent* e = ::readdir(d))
    if (::fnmatch("$*.dx$", e->d_name, 0) == 0) std::remove((dir + e->d_name).c_str());
  ::closedir(d);
}

}  // namespace

namespace {

// The work file of a block, from memory when this program wrote it, else
// read from disk once. nullptr when there is none.
const WorkFile* LoadWorkFile(const std::string& path) {
  auto it = workFiles.find(path);
  if (it != workFiles.end()) return it->second.get();
  TextReader in;
  if (!in.Open(path)) return nullptr;
  auto w = std::make_unique<WorkFile>();
  std::string line;
  while (!in.AtEnd()) {
    in.ReadTextLine(line);
    // The code is the integer at the start of its line; the rest is skipped.
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t j = i;
    if (j < line.size() && (line[j] == '-' || line[j] == '+')) ++j;
    while (j < line.size() && line[j] >= '0' && line[j] <= '9') ++j;
    WorkPair p;
    p.code = Int32(std::string_view(line).substr(i, j - i));
    in.ReadTextLine(p.value);
    p.number = Real(p.value);
    w->push_back(std::move(p));
    if (in.ReadError()) break;
  }
  const WorkFile* result = w.get();
  workFiles[path] = std::move(w);
  workFilesByName.clear();
  return result;
}

void KeepWorkFile(const std::string& path, const std::vector<DxfGroup>& groups) {
  auto w = std::make_unique<WorkFile>();
  w->reserve(groups.size());
  for (const DxfGroup& g : groups) w->push_back({g.code, g.value, Real(g.value)});
  workFiles[path] = std::move(w);
  workFilesByName.clear();
}

}  // namespace

// ------------------------------------------------------------ colours

int ScreenColour(int colour) {
  static const int light[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  // Numbers outside 0..15 are folded into the palette first (PenColour).
  int c = PenColour(colour);
  return c >= 1 && c <= 7 ? light[c] : c;
}

int PenColour(int colour) {
  // A negative colour marks a layer that is switched off; its colour is the
  // positive value. Numbers above 15 wrap around the 16 pens.
  long long c = colour;
  if (c < 0) c = -c;
  return static_cast<int>(c % 16);
}

// ------------------------------------------------------------ emitters

void EmitLine(int mode, int slot, long double x1, long double y1, long double x2, long double y2) {
  if (!Finite(x1) || !Finite(y1) || !Finite(x2) || !Finite(y2)) return;
  slot = NormalSlot(slot);
  WidenBoundingBox(x1, y1);
  WidenBoundingBox(x2, y2);
  if (InBlockDefinition) {
    SetBlockLayer(slot);
    blockWriter.DxfLine(double(x1), double(y1), double(x2), double(y2));
    return;
  }
  const Layer& l = LayerOf(slot);
  if (mode == ReadForConversion) {
    if (NotDrawn(l)) return;
    SelectPlotLineType(l);
    SelectPen(l);
    CurrentPlotSink().PlotLine(PlotX(x1), PlotY(y1), PlotX(x2), PlotY(y2));
  } else if (mode == ReadForDisplay) {
    ++ElementCount;
    if (NotDrawn(l)) return;
    SelectScreenStyle(l);
    CurrentGraphicsSink().H_Line(double(x1), double(y1), double(x2), double(y2));
  }
}

void EmitCircle(int mode, int slot, long double cx, long double cy, long double r) {
  if (!Finite(cx) || !Finite(cy) || !Finite(r)) return;
  slot = NormalSlot(slot);
  WidenBoundingBox(cx + r, cy + r);
  WidenBoundingBox(cx - r, cy - r);
  if (InBlockDefinition) {
    SetBlockLayer(slot);
    blockWriter.DxfCircle(double(cx), double(cy), double(r));
    return;
  }
  const Layer& l = LayerOf(slot);
  if (mode == ReadForConversion) {
    if (NotDrawn(l)) return;
    SelectPlotLineType(l);
    SelectPen(l);
    CurrentPlotSink().PlotCircle(PlotX(cx), PlotY(cy), PlotLength(r));
  } else if (mode == ReadForDisplay) {
    ++ElementCount;
    if (NotDrawn(l)) return;
    SelectScreenStyle(l);
    CurrentGraphicsSink().H_Circle(double(cx), double(cy), double(r));
  }
}

void EmitArc(int mode, int slot, long double cx, long double cy, long double r, long double start,
             long double end, long double sweep) {
  if (!Finite(cx) || !Finite(cy) || !Finite(r) || !Finite(start) || !Finite(end) ||
      !Finite(sweep))
    return;
  slot = NormalSlot(slot);
  WidenBoundingBox(cx + r, cy + r);
  WidenBoundingBox(cx - r, cy - r);
  if (InBlockDefinition) {
    SetBlockLayer(slot);
    blockWriter.DxfArc(double(cx), double(cy), double(start), double(end), double(r));
    return;
  }
  const Layer& l = LayerOf(slot);
  if (mode == ReadForConversion) {
    if (NotDrawn(l)) return;
    SelectPlotLineType(l);
    SelectPen(l);
    CurrentPlotSink().PlotArc(PlotX(cx), PlotY(cy), double(start), double(end), PlotLength(r),
                              double(sweep));
  } else if (mode == ReadForDisplay) {
    ++ElementCount;
    if (NotDrawn(l)) return;
    SelectScreenStyle(l);
    CurrentGraphicsSink().H_Arc(double(cx), double(cy), double(start), double(end), double(r));
  }
}

void EmitText(int mode, int slot, const std::string& text, long double x, long double y,
              long double height, long double widthFactor, long double rotation,
              long double oblique) {
  (void)oblique;  // slanted text is not drawn slanted
  if (!Finite(x) || !Finite(y) || !Finite(height) || !Finite(widthFactor) || !Finite(rotation))
    return;
  slot = NormalSlot(slot);
  long double n = static_cast<long double>(text.size());
  double a = static_cast<double>(DegToRad(rotation));
  WidenBoundingBox(x + n * height * widthFactor * std::cos(a),
                   y + n * height * widthFactor * std::sin(a));
  if (InBlockDefinition) {
    SetBlockLayer(slot);
    blockWriter.DxfTextStyle(double(height * widthFactor), double(height), double(rotation));
    blockWriter.DxfText(text, double(x), double(y));
    return;
  }
  const Layer& l = LayerOf(slot);
  if (mode == ReadForConversion) {
    if (NotDrawn(l)) return;
    PlotSink& p = CurrentPlotSink();
    SelectPen(l);
    p.PlotTextStyle(0, double(rotation), PlotLength(height),
                    PlotLength(height * widthFactor * Settings.TextWidthRatio));
    p.PlotTextAlign(0, 0);
    p.PlotText(text, PlotX(x), PlotY(y));
  } else if (mode == ReadForDisplay) {
    ++TextCount;
    if (NotDrawn(l)) return;
    GraphicsSink& g = CurrentGraphicsSink();
    SelectScreenStyle(l);
    g.H_SetTextStyle(2, double(rotation), double(height),
                     double(height * widthFactor * Settings.ScreenTextRatio * 0.8L));
    g.H_SetTextJustify(0, 0);
    g.H_OutTextXY(double(x), double(y), text);
  }
}

void EmitSolid(int mode, int slot, const long double (&x)[4], const long double (&y)[4]) {
  for (int i = 0; i < 4; ++i)
    if (!Finite(x[i]) || !Finite(y[i])) return;
  slot = NormalSlot(slot);
  for (int i = 0; i < 4; ++i) WidenBoundingBox(x[i], y[i]);
  if (InBlockDefinition) {
    SetBlockLayer(slot);
    blockWriter.DxfSolid(double(x[0]), double(y[0]), double(x[1]), double(y[1]), double(x[2]),
                         double(y[2]), double(x[3]), double(y[3]));
    return;
  }
  const Layer& l = LayerOf(slot);
  if (mode == ReadForConversion) {
    if (NotDrawn(l)) return;
    SelectPen(l);
    CurrentPlotSink().PlotSolid(PlotX(x[0]), PlotY(y[0]), PlotX(x[1]), PlotY(y[1]), PlotX(x[2]),
                                PlotY(y[2]), PlotX(x[3]), PlotY(y[3]));
  } else if (mode == ReadForDisplay) {
    ++ElementCount;
    if (NotDrawn(l)) return;
    SelectScreenStyle(l);
    CurrentGraphicsSink().H_Solid(double(x[0]), double(y[0]), double(x[1]), double(y[1]),
                                  double(x[2]), double(y[2]), double(x[3]), double(y[3]));
  }
}

// ------------------------------------------------------------ entity readers

std::string DecodeTextCodes(std::string_view text) {
  std::string s(text);
  if (!s.empty() && s[0] == '\\') {
    size_t semi = s.find(';');
    if (semi != std::string::npos) s.erase(0, semi + 1);
  }
  size_t p = s.find("%%p");
  if (p != std::string::npos) s.replace(p, 3, 1, '\xF1');
  size_t c = s.find("%%c");
  if (c != std::string::npos) s.replace(c, 3, 1, ' ');
  return s;
}

namespace {

// Where an entity reader takes its group pairs from: the drawing file, or
// a block work file being replayed (coordinates then go through the
// insertion transform and layers are the slot numbers the file carries).
class PairSource {
 public:
  virtual ~PairSource() = default;
  // False when the read ended: AbortFlag set, or the work file ran out.
  virtual bool Next() = 0;
  virtual long double Number() const = 0;
  virtual int Layer() = 0;
  virtual bool Replay() const = 0;
  int code = 0;
  std::string_view value;
};

class FileSource final : public PairSource {
 public:
  bool Next() override {
    ReadGroupPair();
    code = GroupCode;
    value = GroupValue;
    return !Session.AbortFlag;
  }
  long double Number() const override { return Real(value); }
  int Layer() override { return FindLayer(value); }
  bool Replay() const override { return false; }
  // The current pair of the reader, without reading.
  void Sync() {
    code = GroupCode;
    value = GroupValue;
  }
};

class WorkSource final : public PairSource {
 public:
  explicit WorkSource(const WorkFile& f) : file_(f) {}
  bool Next() override {
    if (Session.AbortFlag || i_ >= file_.size()) {
      ended_ = true;
      return false;
    }
    const WorkPair& p = file_[i_++];
    code = p.code;
    value = p.value;
    number_ = p.number;
    return true;
  }
  long double Number() const override { return number_; }
  // Work files carry the layer as slot number minus one; a name that is not
  // such a number is looked up like a drawing's layer name.
  int Layer() override {
    int n = 0;
    bool digits = !value.empty() && value.size() <= 3;
    for (char c : value) {
      if (c < '0' || c > '9') {
        digits = false;
        break;
      }
      n = n * 10 + (c - '0');
    }
    if (digits && n < MaxLayers) return n + 1;
    return FindLayer(value);
  }
  bool Replay() const override { return true; }
  bool Ended() const { return ended_; }
  int levelLayer = 1;

 private:
  const WorkFile& file_;
  size_t i_ = 0;
  long double number_ = 0;
  bool ended_ = false;
};

// Cosine and sine of BlockTransform.Angle, worked out once per level.
long double transformCos = 1, transformSin = 0;

void TransformAngleChanged() {
  double a = static_cast<double>(DegToRad(BlockTransform.Angle));
  transformCos = std::cos(a);
  transformSin = std::sin(a);
}

Point TransformPoint(long double x, long double y) {
  const Transform& t = BlockTransform;
  const long double c = transformCos, s = transformSin;
  return {t.OriginX + x * t.ScaleX * c - y * t.ScaleY * s,
          t.OriginY + x * t.ScaleX * s + y * t.ScaleY * c};
}

// A layer slot as the entity reader starts it: the given default for the
// drawing file, the layer last read at this level for a replay.
int StartLayer(FileSource&, int fileDefault) { return fileDefault; }
int StartLayer(WorkSource& s, int) { return s.levelLayer; }
int ReadLayer(FileSource& s) { return s.Layer(); }
int ReadLayer(WorkSource& s) { return s.levelLayer = s.Layer(); }

// The entity readers are written once for both sources and made for each,
// so that taking a pair costs no virtual call.

template <class Source>
void ReadLineEntity(Source& s, int mode) {
  int slot = StartLayer(s, 1);
  long double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  for (;;) {
    if (!s.Next()) return;
    if (s.code == 0) break;
    switch (s.code) {
      case 8: slot = ReadLayer(s); break;
      case 10: x1 = s.Number(); break;
      case 20: y1 = s.Number(); break;
      case 11: x2 = s.Number(); break;
      case 21: y2 = s.Number(); break;
      default: break;
    }
  }
  if (s.Replay()) {
    Point a = TransformPoint(x1, y1), b = TransformPoint(x2, y2);
    x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
  }
  EmitLine(mode, slot, x1, y1, x2, y2);
}

template <class Source>
void ReadCircleOrArc(Source& s, int mode, bool arc) {
  int slot = StartLayer(s, 1);
  long double cx = 0, cy = 0, r = 0, start = 0, end = 0;
  for (;;) {
    if (!s.Next()) return;
    if (s.code == 0) break;
    switch (s.code) {
      case 8: slot = ReadLayer(s); break;
      case 10: cx = s.Number(); break;
      case 20: cy = s.Number(); break;
      case 40: r = s.Number(); break;
      case 50: start = s.Number(); break;
      case 51: end = s.Number(); break;
      default: break;
    }
  }
  if (s.Replay()) {
    Point c = TransformPoint(cx, cy);
    cx = c.x, cy = c.y;
    r *= BlockTransform.ScaleX;
    start += BlockTransform.Angle;
    end += BlockTransform.Angle;
  }
  if (arc)
    EmitArc(mode, slot, cx, cy, r, start, end, 1);
  else
    EmitCircle(mode, slot, cx, cy, r);
}

template <class Source>
void ReadText(Source& s, int mode) {
  int slot = StartLayer(s, 1);
  std::string text;
  long double x = 0, y = 0, h = 3.5L, w = 1, rot = 0, oblique = 0;
  for (;;) {
    if (!s.Next()) return;
    if (s.code == 0) break;
    switch (s.code) {
      case 1: text = DecodeTextCodes(s.value); break;
      case 8: slot = ReadLayer(s); break;
      case 10: x = s.Number(); break;
      case 20: y = s.Number(); break;
      case 40: h = s.Number(); break;
      case 41: w = s.Number(); break;
      case 50: rot = s.Number(); break;
      case 51: oblique = s.Number(); break;
      default: break;
    }
  }
  if (w == 0) w = 1;
  if (s.Replay()) {
    Point p = TransformPoint(x, y);
    x = p.x, y = p.y;
    h *= BlockTransform.ScaleY;
  }
  EmitText(mode, slot, text, x, y, h, w, rot, oblique);
}

template <class Source>
void ReadSolid(Source& s, int mode) {
  int slot = StartLayer(s, 0);
  long double x[4] = {0, 0, 0, 0}, y[4] = {0, 0, 0, 0};
  for (;;) {
    if (!s.Next()) return;
    if (s.code == 0) break;
    if (s.code == 8) {
      slot = ReadLayer(s);
    } else if (s.code >= 10 && s.code <= 13) {
      x[s.code - 10] = s.Number();
    } else if (s.code >= 20 && s.code <= 23) {
      y[s.code - 20] = s.Number();
    }
  }
  if (s.Replay()) {
    // Work files hold the corners in outline order already.
    for (int i = 0; i < 4; ++i) {
      Point p = TransformPoint(x[i], y[i]);
      x[i] = p.x, y[i] = p.y;
    }
  } else {
    std::swap(x[2], x[3]);  // DXF order 1, 2, 3, 4 to the outline 1, 2, 4, 3
    std::swap(y[2], y[3]);
  }
  EmitSolid(mode, slot, x, y);
}

struct Vertex {
  long double x = 0, y = 0, angle = 0;
  int layer = 0;
  bool hasLayer = false;
};

// Reads one vertex (the current pair is its code-0 pair); false on abort.
template <class Source>
bool ReadVertex(Source& s, Vertex& v) {
  v = Vertex{};
  for (;;) {
    if (!s.Next()) return false;
    if (s.code == 0) return true;
    switch (s.code) {
      case 8:
        v.layer = s.Layer();
        v.hasLayer = true;
        break;
      case 10: v.x = s.Number(); break;
      case 20: v.y = s.Number(); break;
      case 42: v.angle = RadToDeg(4 * std::atan(static_cast<double>(s.Number()))); break;
      default: break;
    }
  }
}

// One polyline segment from p to q with the included angle a (degrees).
void EmitSegment(int mode, int slot, Point p, Point q, long double a) {
  if (a == 0) {
    EmitLine(mode, slot, p.x, p.y, q.x, q.y);
    return;
  }
  ArcGeometry arc;
  arc.centre = {(p.x + q.x) / 2, (p.y + q.y) / 2};
  GetArcCenter(p, q, DegToRad(a), arc);
  EmitArc(mode, slot, arc.centre.x, arc.centre.y, arc.radius, RadToDeg(arc.startAngle),
          RadToDeg(arc.endAngle), a);
}

template <class Source>
void ReadPolyline(Source& s, int mode) {
  int polyLayer = StartLayer(s, 0);
  int flags = 0;
  for (;;) {
    if (!s.Next()) return;
    if (s.code == 0) break;
    if (s.code == 8) polyLayer = ReadLayer(s);
    if (s.code == 70) flags = Int32(s.value);
  }
  if (!IsKeyword(s.value, "VERTEX")) {
    ReportError("Fehler in DXF-Datei Zeile " + IntToText(LineNumber));
    return;
  }
  bool replay = s.Replay();
  // A mirroring insertion turns the bulges round.
  long double turn =
      replay && BlockTransform.ScaleX * BlockTransform.ScaleY < 0 ? -1.0L : 1.0L;
  auto place = [&](const Vertex& v) {
    return replay ? TransformPoint(v.x, v.y) : Point{v.x, v.y};
  };
  Vertex v;
  if (!ReadVertex(s, v)) return;
  Point p0 = place(v), p = p0;
  long double a = v.angle * turn;
  int layer = replay ? polyLayer : 0;
  for (;;) {
    if (s.code != 0 || IsKeyword(s.value, "SEQEND")) break;
    // Without SEQEND the vertex list ends at the next entity.
    if (!IsKeyword(s.value, "VERTEX")) break;
    if (!ReadVertex(s, v)) return;
    if (v.hasLayer) layer = v.layer;
    Point q = place(v);
    EmitSegment(mode, layer, p, q, a);
    p = q;
    a = v.angle * turn;
  }
  if (flags == 1) EmitSegment(mode, polyLayer, p, p0, a);
}

template <class Source>
void ReadInsert(Source& s, int mode, bool dimension) {
  int slot = StartLayer(s, 1);
  std::string name;
  long double x = 0, y = 0, sx = 1, sy = 1, rot = 0;
  const int xCode = dimension ? 12 : 10, yCode = dimension ? 22 : 20;
  const int rotCode = dimension ? 52 : 50;
  for (;;) {
    if (!s.Next()) return;
    if (s.code == 0) break;
    if (s.code == 2)
      name = StoredBlockName(s.value);
    else if (s.code == 8)
      slot = ReadLayer(s);
    else if (s.code == xCode)
      x = s.Number();
    else if (s.code == yCode)
      y = s.Number();
    else if (s.code == 41)
      sx = s.Number();
    else if (s.code == 42)
      sy = s.Number();
    else if (s.code == rotCode)
      rot = s.Number();
  }
  if (s.Replay())
    ReplayBlock(mode, name, x, y, rot, sx, sy);
  else
    InsertBlock(mode, slot, name, x, y, rot, sx, sy);
}

// Hands the current code-0 pair to its entity reader; false when it names
// no entity.
template <class Source>
bool ReadEntity(Source& s, int mode) {
  std::string_view v = s.value;
  if (v.size() < 3 || v.size() > 9) return false;
  switch (v[0]) {  // most code-0 values name no entity at all
    case 'L': case 'l': case 'P': case 'p': case 'C': case 'c': case 'A': case 'a':
    case 'T': case 't': case 'M': case 'm': case 'S': case 's': case 'I': case 'i':
    case 'D': case 'd':
      break;
    default:
      return false;
  }
  if (IsKeyword(v, "LINE"))
    ReadLineEntity(s, mode);
  else if (IsKeyword(v, "POLYLINE"))
    ReadPolyline(s, mode);
  else if (IsKeyword(v, "CIRCLE"))
    ReadCircleOrArc(s, mode, false);
  else if (IsKeyword(v, "ARC"))
    ReadCircleOrArc(s, mode, true);
  else if (IsKeyword(v, "TEXT") || IsKeyword(v, "MTEXT"))
    ReadText(s, mode);
  else if (IsKeyword(v, "SOLID") || IsKeyword(v, "TRACE"))
    ReadSolid(s, mode);
  else if (IsKeyword(v, "INSERT"))
    ReadInsert(s, mode, false);
  else if (IsKeyword(v, "DIMENSION"))
    ReadInsert(s, mode, true);
  else
    return false;
  return true;
}

}  // namespace

// ------------------------------------------------------------ blocks

void InsertBlock(int mode, int slot, const std::string& name, long double x, long double y,
                 long double rotation, long double xScale, long double yScale) {
  (void)slot;  // a block's contents keep their own layers
  if (InBlockDefinition) {
    blockWriter.DxfInsert(name, double(x), double(y), double(xScale), double(yScale),
                          double(rotation));
    return;
  }
  BlockTransform = Transform{};
  TransformAngleChanged();
  InsertDepth = 0;
  ReplayBlock(mode, name, x, y, rotation, xScale, yScale);
}

void ReplayBlock(int mode, const std::string& name, long double x, long double y,
                 long double rotation, long double xScale, long double yScale) {
  const Transform saved = BlockTransform;
  const long double savedCos = transformCos, savedSin = transformSin;
  ++InsertDepth;
  Point origin = TransformPoint(x, y);
  BlockTransform.OriginX = origin.x;
  BlockTransform.OriginY = origin.y;
  BlockTransform.ScaleX *= xScale;
  BlockTransform.ScaleY *= yScale;
  if (rotation != 0) {
    BlockTransform.Angle += rotation;
    TransformAngleChanged();
  }
  auto leave = [&] {
    BlockTransform = saved;
    transformCos = savedCos;
    transformSin = savedSin;
    --InsertDepth;
  };
  if (InsertDepth > 4) {
    // Too deep (a block that inserts itself, for one): end the read.
    const bool show = Session.ShowErrors;
    Session.ShowErrors = true;
    ReportError("Error blocknr " + IntToText(InsertDepth));
    Session.ShowErrors = show;
    Session.AbortFlag = true;
    leave();
    return;
  }
  const WorkFile* file = nullptr;
  auto known = workFilesByName.find(name);
  if (known != workFilesByName.end()) {
    file = known->second;
  } else {
    file = LoadWorkFile(BlockPath(name));
    if (file) workFilesByName.emplace(name, file);
  }
  if (!file) {
    ReportError("Invalid temp dir " + Settings.TempDir);
    Session.AbortFlag = true;
    leave();
    return;
  }
  WorkSource s(*file);
  if (s.Next()) {
    for (;;) {
      if (s.code != 0) {
        if (!s.Next()) break;
        continue;
      }
      if (IsKeyword(s.value, "EOF")) break;
      if (!ReadEntity(s, mode) && !s.Next()) break;
      if (Session.AbortFlag || s.Ended()) break;
    }
  }
  leave();
}

// ------------------------------------------------------------ the read

namespace {

void ReadHeaderPoint(long double& x, long double& y) {
  ReadGroupPair();
  if (Session.AbortFlag) return;
  if (GroupCode == 10) x = Real(RemoveBlanks(GroupValue));
  ReadGroupPair();
  if (Session.AbortFlag) return;
  if (GroupCode == 20) y = Real(RemoveBlanks(GroupValue));
}

// The HEADER section; true when the read is complete after it.
bool HeaderLoop(int mode) {
  Extents& e = Session.DrawingExtents;
  do {
    ReadGroupPair();
    if (Session.AbortFlag) return false;
    if (IsKeyword(GroupValue, "$LIMMAX")) {
      if (e.XMax == 999) {
        headerExtentsFound = true;
        ReadHeaderPoint(e.XMax, e.YMax);
      }
    } else if (IsKeyword(GroupValue, "$LIMMIN")) {
      if (e.XMin == -999) ReadHeaderPoint(e.XMin, e.YMin);
    } else if (IsKeyword(GroupValue, "$EXTMAX")) {
      headerExtentsFound = true;
      ReadHeaderPoint(e.XMax, e.YMax);
      if (std::fabs(e.XMax) > 1e10L) e.XMax = 1e7L;
      if (std::fabs(e.YMax) > 1e10L) e.YMax = 1e7L;
    } else if (IsKeyword(GroupValue, "$EXTMIN")) {
      ReadHeaderPoint(e.XMin, e.YMin);
      if (std::fabs(e.XMin) > 1e10L) e.XMin = -1e7L;
      if (std::fabs(e.YMin) > 1e10L) e.YMin = -1e7L;
    }
    if (Session.AbortFlag) return false;
  } while (GroupCode != 0);
  return mode == ReadHeaderOnly && headerExtentsFound;
}

void StartOutput() {
  if (outputStarted) return;  // one output per read, however many sections
  PlotSink& p = CurrentPlotSink();
  p.PlotBegin(Settings.SyntaxCode, Settings.DeviceCode);
  if (Session.AbortFlag) {
    Session.ShowErrors = true;
    ReportError(Settings.DeviceCode == 3 ? "Ung\x81ltiger Dateiname oder kein Schreibrecht"
                                         : "Angesprochene Schnittstelle nicht bereit");
    return;
  }
  outputStarted = true;
  p.PlotRotate(Settings.Rotate90 == 'N' ? 0 : 90);
}

// Closes the block work file of an unfinished definition.
void EndBlock() {
  InBlockDefinition = false;
  if (!blockWriter.IsOpen()) return;
  blockWriter.DxfEnd();
  blockWriter.SetCopy(nullptr);
  if (!blockWriter.Failed()) KeepWorkFile(blockPath, blockCopy);
  blockCopy.clear();
}

void ReadBlockHeader() {
  std::string name;
  for (;;) {
    ReadGroupPair();
    if (Session.AbortFlag) return;
    if (GroupCode == 0) break;
    if (GroupCode == 2)
      name = GroupValue.substr(0, BlockNameLength);
    else if (GroupCode == 8)
      FindLayer(GroupValue);
  }
  name = StoredBlockName(name);
  if (BlockCount < MaxBlocks) BlockTable[++BlockCount] = name;
  blockPath = BlockPath(name);
  workFiles.erase(blockPath);
  workFilesByName.clear();
  blockCopy.clear();
  if (!blockWriter.Create(blockPath)) {
    Session.ShowErrors = true;
    ReportError("Invalid temp Directory or File System");
    Session.AbortFlag = true;
    return;
  }
  blockWriter.SetCopy(&blockCopy);
}

void ReadLayerEntry() {
  if (++layerEntry > MaxLayers) {
    layerEntry = LayerCount;
    ReportError("Too many Layers !");
  }
  Layer& l = LayerTable[NormalSlot(layerEntry)];
  for (;;) {
    ReadGroupPair();
    if (Session.AbortFlag) return;
    if (GroupCode == 0) break;
    switch (GroupCode) {
      case 2: l.Name = GroupValue.substr(0, LayerNameLength); break;
      case 6: l.LineType = FindLineType(GroupValue); break;
      case 62: l.Colour = static_cast<int32_t>(TextToInt(GroupValue) % 256); break;
      case 70: l.Flags = static_cast<uint8_t>(TextToInt(GroupValue) & 0xFF); break;
      default: break;
    }
  }
  LayerCount = NormalSlot(layerEntry);
  LayerTableChanged();
}

void ReadLineTypeEntry() {
  if (++lineTypeEntry > MaxLineTypes) {
    lineTypeEntry = LineTypeCount;
    ReportError("Too many Linetypes !");
  }
  int slot = lineTypeEntry < 1 ? 1 : lineTypeEntry;
  for (;;) {
    ReadGroupPair();
    if (Session.AbortFlag) return;
    if (GroupCode == 0) break;
    if (GroupCode == 2) LineTypeTable[slot] = GroupValue.substr(0, LineTypeNameLength);
  }
  LineTypeCount = slot;
}

// Extents without width or height get the range 0 to 100 in that
// direction, so that no window is ever fitted to a line or a point.
void WidenFlatExtents() {
  Extents& e = Session.DrawingExtents;
  if (e.XMin == e.XMax) {
    e.XMin = 0;
    e.XMax = 100;
  }
  if (e.YMin == e.YMax) {
    e.YMin = 0;
    e.YMax = 100;
  }
}

void Finish(int mode) {
  if (mode == ReadForConversion) {
    StartOutput();  // a drawing without ENTITIES still gives a whole output
    if (Session.AbortFlag) return;
    CurrentPlotSink().PlotEnd();
  }
  drawingFile.Close();
  Extents& e = Session.DrawingExtents;
  if (mode == ReadHeaderOnly) {
    e.XMin = BoundingBox.XMin;
    e.YMin = BoundingBox.YMin;
    e.XMax = BoundingBox.XMax;
    e.YMax = BoundingBox.YMax;
  }
  WidenFlatExtents();
  Session.ShowErrors = true;
}

void MainLoop(int mode) {
  FileSource src;
  for (;;) {
    if (GroupCode != 0) {
      ReadGroupPair();
      if (Session.AbortFlag) return;
    } else if (IsKeyword(GroupValue, "SECTION")) {
      ReadGroupPair();
      if (Session.AbortFlag) return;
      SectionName = UpperText(GroupValue);
      if (SectionName == "HEADER") {
        if (HeaderLoop(mode)) {
          WidenFlatExtents();  // header extents of an empty drawing are one point
          return;
        }
      } else if (SectionName == "ENTITIES" && mode == ReadForConversion) {
        StartOutput();
      }
    } else {
      src.Sync();
      if (ReadEntity(src, mode)) {
      } else if (IsKeyword(GroupValue, "BLOCK")) {
        if (InBlockDefinition) EndBlock();  // the previous one lacked ENDBLK
        InBlockDefinition = true;
        ReadBlockHeader();
      } else if (IsKeyword(GroupValue, "LAYER")) {
        ReadLayerEntry();
      } else if (IsKeyword(GroupValue, "LTYPE")) {
        ReadLineTypeEntry();
      } else {
        if (IsKeyword(GroupValue, "ENDBLK")) EndBlock();
        ReadGroupPair();
      }
    }
    if (Session.AbortFlag) return;
    if (GroupCode == 0 && IsKeyword(GroupValue, "EOF")) {
      Finish(mode);
      return;
    }
  }
}

}  // namespace

void ReadDrawing(int mode, const std::string& blockName) {
  std::string dir = WorkDir();
  if (dir != readWorkDir) {
    readWorkDir = dir;
    workFilesByName.clear();
  }
  const std::string name = DrawingFileName();
  if (mode == ReadForConversion && OutputIsDrawing(name)) {
    Session.ShowErrors = true;
    ReportError("Noms des fichiers d'origine et de destination identiques !");
    return;
  }
  ResetBoundingBox();
  Session.DrawingExtents = Extents{-999, -999, 999, 999};
  if (mode != ShowBlock) DeleteWorkFiles();
  Session.ShowErrors = false;
  if (mode == ReadForDisplay) {
    ElementCount = 0;
    TextCount = 0;
    BlockCount = 0;
  }
  layerEntry = 0;
  lineTypeEntry = 0;
  LineNumber = 0;
  InBlockDefinition = false;
  headerExtentsFound = false;
  outputStarted = false;
  GroupCode = 0;
  GroupValue.clear();

  CheckInputFile(name);
  if (Session.AbortFlag) {
    Session.ShowErrors = true;
    ReportError("pas de fichier ouvert");
    return;
  }
  if (mode == ReadForDisplay) CurrentGraphicsSink().H_ClearViewPort();
  if (mode == ShowBlock) {
    InsertBlock(ReadForDisplay, 1, StoredBlockName(blockName), 0, 0, 0, 1, 1);
    return;
  }

  WaitCursorOn();
  if (!drawingFile.Open(name)) {
    Session.ShowErrors = true;
    ReportError("pas de fichier ouvert");
    Session.AbortFlag = true;
    return;
  }
  if (drawingFile.Peek(18) == "AutoCAD Binary DXF") {
    drawingFile.Close();
    Session.ShowErrors = true;
    ReportError("Fichier DXF binaire : lecture impossible");
    Session.AbortFlag = true;
    return;
  }
  ProgressReport progress(name.substr(name.find_last_of("/\\") + 1));
  drawingFile.SetProgress(&progress);
  ReadGroupPair();
  if (!Session.AbortFlag) MainLoop(mode);
  drawingFile.SetProgress(nullptr);
  if (!Session.AbortFlag) progress.Step(1, 1);
  drawingFile.Close();
  if (InBlockDefinition) EndBlock();  // the file ended inside a definition
  // Give back the memory a very long line may have taken.
  if (GroupValue.capacity() > 4096) std::string().swap(GroupValue);
}

void ChooseAndReadDrawing(int mode) {
  std::string name;
  std::string dir = ChooseFile("*." + Session.FileExtension, Session.InPath, name, true, true);
  if (Session.AbortFlag) return;
  Session.InPath = dir;
  Session.DrawingName = name;
  Session.PlotFile = Session.DrawingName;
  ReadDrawing(mode);
}

}  // namespace planox
