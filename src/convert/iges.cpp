#include "convert/iges.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstdio>

#include "base/prompts.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/textconv.h"
#include "convert/oututil.h"

namespace planox {

int IgesColour(int pen) {
  static const int colours[] = {2, 5, 3, 7, 4, 6, 0, 8, 10, 11, 12, 13, 14, 15, 1, 0};
  return pen >= 1 && pen <= 16 ? colours[pen - 1] : 0;
}

std::string IgesRecord(const std::string& data, char section, int sequence) {
  return PadRight(data, 72) + section + IntToTextZero(sequence, 7);
}

std::vector<std::string_view> IgesSplitParameters(std::string_view text) {
  std::vector<std::string_view> lines;
  std::string_view rest = text;
  while (rest.size() > 64) {
    size_t comma = rest.rfind(',', 63);
    if (comma == std::string_view::npos) return {};
    lines.push_back(rest.substr(0, comma + 1));
    rest.remove_prefix(comma + 1);
  }
  lines.push_back(rest);
  return lines;
}

std::string IgesHollerith(const std::string& text) { return IntToText(static_cast<long long>(text.size())) + "H" + text; }

namespace {

// Texts inside fixed records: a control character would break the record.
std::string Coord(double v) { return PointRealDecimals(v, 3); }
void AppendCoord(std::string& out, double v) { AppendRealDecimals(out, v, 3, true); }

// The approximate maximum coordinate of the Global section; a value too
// long for a record is written with an exponent.
std::string MaxCoordinateText(double v) {
  std::string s = PointRealText(v);
  if (s.size() <= 20) return s;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.6E", v);
  return buf;
}

// The Global section's date with a fixed time: YYMMDD.081107, and from
// 2000 on YYYYMMDD.081107 (years since 1900 in three digits, "1261208",
// are not a date that IGES readers accept).
std::string DateText() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  int year = t.tm_year + 1900;
  std::string y = year < 2000 ? IntToTextZero(year - 1900, 2) : IntToText(year);
  return y + IntToTextZero(t.tm_mon + 1, 2) + IntToTextZero(t.tm_mday, 2) + ".081107";
}

class IgesWriter final : public PlotWriter {
 public:
  ~IgesWriter() override { CloseWorkFile(); }

  void header() override {
    zero_ = Coord(0);
    if (!OpenWorkFile()) return;
    const std::string outputName = Session.PlotFile + ".igs";
    const std::string title = ProgramTitle;
    for (const std::string& s : {"IGES-Datei generiert von " + title,
                                 std::string("Uebersetzer von QUORVEL GMBH, Uebersetzerversion 3.1"), std::string()})
      PlotWriteLine(IgesRecord(s, 'S', ++sCount_));

    PlotExtents e = PlotterExtents();
    std::string name = IgesHollerith(BlankControls(outputName));
    std::vector<std::string> global = {
        ",," + IgesHollerith("FILE") + "," + name + "," + IgesHollerith(title + " V" + VersionText) + "," +
            IgesHollerith(title + " " + VersionText) + ",",
        "16,38,6,99,15,",
        name + ",1.0,2," + IgesHollerith("MM") + ",32767,3.2767D1,",
        IgesHollerith(DateText()) + ",1.0D-8," + MaxCoordinateText(std::max(e.xMax, e.yMax)) + ",",
        IgesHollerith(title) + "," + IgesHollerith("QUORVEL Industriesoftware GmbH") + ",4,0;",
    };
    // The Global section is one stream of fields: a record longer than the
    // data columns goes on in the next record.
    for (const std::string& g : global)
      for (size_t i = 0; i == 0 || i < g.size(); i += 72) PlotWriteLine(IgesRecord(g.substr(i, 72), 'G', ++gCount_));
  }

  void trailer() override {
    // The parameter lines (whole records with their line ends) follow the
    // directory entries.
    if (!ConversionFailed() && work_) {
      WriteParameters();
      if (!CopyWorkFile(work_)) WorkFailed();
    }
    CloseWorkFile();
    if (ConversionFailed()) return;
    std::string counts = "S" + IntToTextZero(sCount_, 7) + "G" + IntToTextZero(gCount_, 7) + "D" +
                         IntToTextZero(dCount_, 7) + "P" + IntToTextZero(pCount_, 7);
    PlotWriteLine(IgesRecord(counts, 'T', 1));
  }

  void selectPen(int pen) override { colour_ = IgesColour(pen); }
  void lineType(int code) override { lineFont_ = code; }

  void drawTo(double x, double y) override {
    params_.assign("110,");
    const Span a = point(PlotState.curX, PlotState.curY);
    params_ += ",0.0,";
    const Span b = point(x, y);
    if (at(a) == at(b)) return;  // nothing left of it at three decimals
    params_ += ",0.0;";
    Entity(110, 0, false, params_);
  }

  // A closed outline p1, p4, p3, p2, p1; the area is not filled.
  void solid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4) override {
    params_.assign("106,1,5,0.0");
    bool collapsed = true;  // every corner on one point at three decimals
    params_ += ',';
    const Span first = point(p1.x, p1.y);
    for (const PlotPoint* p : {&p4, &p3, &p2, &p1}) {
      params_ += ',';
      const Span xy = point(p->x, p->y);
      collapsed = collapsed && at(xy) == at(first);
    }
    params_ += ';';
    if (!collapsed) Entity(106, 11, true, params_);
  }

  void circle(double cx, double cy, double r) override {
    if (IsZero(r)) return;  // a point, not a circle
    params_.assign("100,0.0,");
    point(cx, cy);
    for (int i = 0; i < 2; ++i) {
      params_ += ',';
      point(cx + r, cy);
    }
    params_ += ';';
    Entity(100, 0, true, params_);
  }

  void arc(double cx, double cy, double a1, double a2, double r, double) override {
    if (IsZero(r)) return;
    double p1 = a1 * M_PI / 180, p2 = a2 * M_PI / 180;
    params_.assign("100,0.0,");
    point(cx, cy);
    params_ += ',';
    point(cx + r * std::cos(p1), cy + r * std::sin(p1));
    params_ += ',';
    point(cx + r * std::cos(p2), cy + r * std::sin(p2));
    params_ += ';';
    Entity(100, 0, true, params_);
  }

  void textStyle(int, double angle, double height, double width) override {
    height_ = height;
    widthFactor_ = height > 0 ? width / height : 1;
    angle_ = angle;
  }

  bool text(const std::string& text) override {
    std::string t = BlankControls(ConvertOutputText(text));
    if (t.empty()) return true;
    double n = static_cast<double>(t.size());
    std::string first = "212,1," + IntToText(static_cast<long long>(t.size())) + "," + Coord(n * height_ * widthFactor_) +
                        "," + Coord(height_) + ",1,," + PointRealDecimals(angle_ * M_PI / 180, 6) + ",0,0," +
                        Coord(PlotState.textX) + "," + Coord(PlotState.textY) + ",0.0,";
    Entity(212, 0, true, first, IgesHollerith(t) + ";");
    return true;
  }

 private:
  // The parameter lines wait in a work file for the directory entries.
  bool OpenWorkFile() {
    std::string pattern;
    work_ = planox::OpenWorkFile("QUORIGES", pattern);
    if (!work_) {
      ReportError("Fichier de travail IGES impossible \x85 cr\x82" "er : " + pattern);
      Session.AbortFlag = true;
      return false;
    }
    return true;
  }

  // The parameters of an entity are built in params_: point appends "x,y"
  // and returns where that text stands in it.
  struct Span {
    std::size_t pos, size;
  };
  Span point(double x, double y) {
    const std::size_t start = params_.size();
    AppendCoord(params_, x);
    params_ += ',';
    AppendCoord(params_, y);
    return {start, params_.size() - start};
  }
  std::string_view at(Span s) const { return std::string_view(params_).substr(s.pos, s.size); }
  // True when v is written as 0 at three decimals.
  bool IsZero(double v) {
    scratch_.clear();
    AppendCoord(scratch_, v);
    return scratch_ == zero_;
  }

  void CloseWorkFile() {
    if (work_) std::fclose(work_);
    work_ = nullptr;
  }

  void WorkFailed() {
    if (!workReported_) ReportError("Erreur d'\x82" "criture du fichier de travail IGES");
    workReported_ = true;
    Session.AbortFlag = true;
  }

  // Two directory records to the output, the parameter lines to the work
  // file; text is the entity's parameters, tail (a note's string) goes on
  // lines of its own.
  void Entity(int type, int form, bool matrix, std::string_view parameters, std::string_view tail = {}) {
    if (!work_) return;
    std::vector<std::string_view> lines = IgesSplitParameters(parameters);
    if (lines.empty()) {
      if (!sizeReported_) ReportError("Valeur trop longue pour un enregistrement IGES, \x82l\x82ment ignor\x82");
      sizeReported_ = true;
      PlotCountSkipped();
      return;
    }
    for (size_t i = 0; i < tail.size(); i += 64) lines.push_back(tail.substr(i, 64));
    // Sequence numbers have seven columns.
    if (dCount_ + 2 > 9999999 || pCount_ + static_cast<long long>(lines.size()) > 9999999) {
      if (!sizeReported_) ReportError("Fichier IGES plein, \x82l\x82ments suivants ignor\x82s");
      sizeReported_ = true;
      return;
    }
    int d = dNumber_ += 2;
    // The two directory records: fields of eight columns, numbers to the
    // right, empty fields blank.
    auto field = [this](long long n) { AppendIntPadded(record_, n, 8, ' '); };
    auto blank = [this](int fields) { record_.append(8 * static_cast<std::size_t>(fields), ' '); };
    record_.clear();
    field(type), field(pPointer_), field(1), field(lineFont_), field(colour_), blank(1);
    matrix ? field(0) : blank(1);
    blank(1);
    record_ += "00000000";
    EndRecord('D', ++dCount_);
    PlotWriteLine(record_);
    record_.clear();
    field(type), blank(1), field(colour_), field(static_cast<long long>(lines.size()));
    form ? field(form) : blank(1);
    blank(4);
    EndRecord('D', ++dCount_);
    PlotWriteLine(record_);
    // The parameter records go to the work file a megabyte at a time.
    for (std::string_view l : lines) {
      record_.assign(l);
      record_.append(64 - l.size(), ' ');
      record_ += ' ';
      AppendIntPadded(record_, d, 7, ' ');
      EndRecord('P', ++pCount_);
      record_ += "\r\n";
      parameters_ += record_;
    }
    if (parameters_.size() >= 1 << 20) WriteParameters();
    pPointer_ += static_cast<int>(lines.size());
  }

  // The section letter and the sequence number in seven digits.
  void EndRecord(char section, int sequence) {
    record_ += section;
    AppendIntPadded(record_, sequence, 7, '0');
  }

  void WriteParameters() {
    if (std::fwrite(parameters_.data(), 1, parameters_.size(), work_) != parameters_.size()) WorkFailed();
    parameters_.clear();
  }

  std::FILE* work_ = nullptr;
  std::string params_, record_, parameters_, scratch_, zero_;
  int sCount_ = 0, gCount_ = 0, dCount_ = 0, pCount_ = 0;
  int dNumber_ = -1, pPointer_ = 1;
  int colour_ = 0, lineFont_ = 1;
  double height_ = 5, widthFactor_ = 1, angle_ = 0;
  bool workReported_ = false, sizeReported_ = false;
};

}  // namespace

std::unique_ptr<PlotWriter> MakeIgesWriter() { return std::make_unique<IgesWriter>(); }

}  // namespace planox
