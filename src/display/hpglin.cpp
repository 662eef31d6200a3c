#include "display/hpglin.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "base/fileio.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "display/quorgraf.h"
#include "base/vektor.h"

namespace planox {

HpglState HpglPictureState;

void ResetHpglState() { HpglPictureState = HpglState{}; }

int HpglPenColour(int pen) {
  static constexpr std::array<int, 7> colours{12, 14, 10, 11, 9, 13, 15};
  return pen >= 1 && pen <= 7 ? colours[pen - 1] : pen;
}

namespace {

constexpr double Unit = 0.025;  // millimetres per plotter unit
constexpr int Eof = -1;
constexpr char Etx = 3;
constexpr char Esc = 27;

// The bytes of the picture, from memory or from a file read in blocks.
class Source {
 public:
  explicit Source(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}
  explicit Source(int fd) : fd_(fd) {}

  // The next byte, or Eof.
  int raw() {
    if (back_ != Eof) {
      int c = back_;
      back_ = Eof;
      return c;
    }
    if (p_ == end_ && !refill()) return Eof;
    return static_cast<unsigned char>(*p_++);
  }
  void unget(int c) { back_ = c; }

 private:
  bool refill() {
    if (fd_ < 0) return false;
    ssize_t n;
    do n = ::read(fd_, buffer_.data(), buffer_.size());
    while (n < 0 && errno == EINTR);
    if (n <= 0) return false;
    p_ = buffer_.data();
    end_ = p_ + n;
    return true;
  }
  const char* p_ = nullptr;
  const char* end_ = nullptr;
  int fd_ = -1;
  int back_ = Eof;
  std::array<char, 65536> buffer_{};
};

bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Skipped commands whose parameters are numbers only: besides ";", the
// next command's letter ends them. This program's HP-GL/2 output writes
// "PM0", "PM2FPEP" without separators.
bool NumericOnly(int a, int b) {
  static constexpr std::string_view names[] = {"AC", "CT", "DF", "EA", "EP", "ER", "ES", "EW", "FP",
                                               "FT", "IN", "IP", "IR", "IW", "LA", "LT", "MC", "NP",
                                               "PM", "PR", "PS", "PW", "RA", "RO", "RR", "SC", "SD",
                                               "SS", "SA", "SR", "SL", "TR", "UL", "VS", "WG", "WU"};
  const char n[2] = {static_cast<char>(a), static_cast<char>(b)};
  return std::find(std::begin(names), std::end(names), std::string_view(n, 2)) != std::end(names);
}

class Interpreter {
 public:
  Interpreter(Source& src, GraphicsSink& sink, HpglState& st) : in_(src), sink_(sink), st_(st) {}

  void run() {
    st_.x = st_.y = -1000;
    for (;;) {
      eoc_ = false;
      int a = next();
      if (a == ';') a = next();
      if (a == Eof) break;
      if (a == Esc) {
        printerCommand();
      } else {
        int b = next();
        if (b == Eof) break;
        command(upper(a), upper(b));
      }
      if (eof_) break;
    }
    Session.AbortFlag = false;
    if (cut_)
      ReportError("Image HP-GL incompl\x8ate : plus de " + IntToText(HpglElementLimit) + " \x82l\x82ments");
  }

 private:
  static int upper(int c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

  // The next byte that is not a blank or a line end.
  int next() {
    if (eof_) return Eof;
    for (;;) {
      int c = in_.raw();
      if (c == Eof) {
        eof_ = true;
        return Eof;
      }
      if (c != '\n' && c != '\r' && c != ' ') return c;
    }
  }

  // A parameter: the text up to "," or ";" (which ends the command). With
  // stopAtLetter a letter ends it too and is left for the next command.
  // Returns false when nothing at all was there (end of the command or of
  // the file before the parameter).
  bool param(std::string& text, bool coordinate) {
    text.clear();
    if (eoc_ || eof_) return false;
    for (;;) {
      int c = next();
      if (c == Eof) return false;
      if (c == ',') return true;
      if (c == ';') {
        eoc_ = true;
        return true;
      }
      if (coordinate && (c == 'P' || c == 'A' || c == 'p' || c == 'a')) continue;
      if (text.size() < 64) text += static_cast<char>(c);
    }
  }
  static double real(const std::string& t) {
    const char* b = t.data();
    const char* e = b + t.size();
    if (b != e && *b == '+') ++b;
    double v = 0;
    auto r = std::from_chars(b, e, v);
    if (r.ec != std::errc() || !std::isfinite(v)) return 0;
    return v;
  }
  static int integer(const std::string& t) {
    double v = real(t);
    return static_cast<int>(std::clamp(std::trunc(v), -1e9, 1e9));
  }
  // Reads one number parameter into v; false when it was not there.
  bool number(double& v, bool coordinate = false) {
    std::string t;
    if (!param(t, coordinate)) return false;
    v = real(t);
    return true;
  }

  // The rest of a command up to and including ";"; for numeric commands
  // also up to (not including) the next letter.
  void skip(bool numeric) {
    while (!eoc_ && !eof_) {
      int c = next();
      if (c == ';') eoc_ = true;
      if (c == Eof || c == ';') return;
      if (numeric && IsLetter(c)) {
        in_.unget(c);
        return;
      }
    }
  }

  void colour() { sink_.H_SetColor(HpglPenColour(st_.pen)); }
  // Counts a drawn element; past the limit the picture ends as at the end
  // of the file.
  bool room() {
    if (elements_ < HpglElementLimit) {
      ++elements_;
      return true;
    }
    cut_ = eof_ = true;
    return false;
  }
  void line(double x, double y) {
    if (!room()) return;
    colour();
    sink_.H_Line(st_.x, st_.y, x, y);
  }

  void command(int a, int b) {
    const int m = a << 8 | b;
    auto is = [m](const char* s) { return m == (s[0] << 8 | s[1]); };
    if (is("PU") || is("PD") || is("PA")) {
      if (a == 'P' && b == 'U') st_.penDown = false;
      if (a == 'P' && b == 'D') st_.penDown = true;
      pairs();
    } else if (is("IN")) {
      // A plotter starts at its origin with the pen up: the first line of
      // a plot file begins there, not at the help pictures' start point.
      st_.x = st_.y = 0;
      st_.penDown = false;
      skip(true);
    } else if (is("LT")) {
      // Line types as this program's writers choose them: 1 dotted, 4 to 6
      // dash-dot, other numbers dashed, none solid.
      std::string t;
      param(t, false);
      const int n = t.empty() ? 0 : integer(t);
      sink_.H_SetLineStyleName(n == 0 ? "CONTINUOUS" : n == 1 ? "DOTTED" : n >= 4 && n <= 6 ? "DASHDOT" : "DASHED");
    } else if (is("SP")) {
      // Without a number the first pen is taken.
      std::string t;
      param(t, false);
      st_.pen = t.empty() ? 1 : integer(t);
    } else if (is("CI")) {
      double r;
      if (number(r) && room()) {
        colour();
        sink_.H_Circle(st_.x, st_.y, r * Unit);
      }
    } else if (is("SI")) {
      number(st_.charWidth);
      number(st_.charHeight);
    } else if (is("DI")) {
      double run = 0, rise = 0;
      number(run);
      number(rise);
      st_.run = run;
      st_.rise = rise;
    } else if (is("CS")) {
      std::string t;
      if (param(t, false)) st_.charSet = integer(t);
    } else if (is("LB")) {
      label();
    } else if (is("AA")) {
      arc();
    } else if (is("PE")) {
      encoded();
    } else {
      skip(NumericOnly(a, b));
    }
    skip(true);
  }

  void pairs() {
    for (;;) {
      double x, y;
      if (!number(x, true) || eoc_) return;  // a pair without its second value ends the list
      if (!number(y, true)) return;
      x *= Unit;
      y *= Unit;
      if (st_.penDown) line(x, y);
      st_.x = x;
      st_.y = y;
      if (eoc_) return;
    }
  }

  void label() {
    std::string text;
    for (;;) {
      int c = in_.raw();
      if (c == Eof) {
        eof_ = true;
        return;
      }
      if (c == Etx) break;
      if (c == '\n' || c == '\r') continue;
      if (text.size() >= 255) continue;
      // Character set 3 writes the umlauts as the letter followed by "}".
      if (st_.charSet == 3 && c == '}' && !text.empty()) {
        static constexpr std::string_view plain = "AOUaou";
        static constexpr char umlaut[] = {'\x8e', '\x99', '\x9a', '\x84', '\x94', '\x81'};
        auto k = plain.find(text.back());
        if (k != std::string_view::npos) {
          text.back() = umlaut[k];
          continue;
        }
      }
      text += static_cast<char>(c);
    }
    eoc_ = true;
    if (!room()) return;
    colour();
    const double angle = static_cast<double>(RadToDeg(VectorAngle(st_.run, st_.rise)));
    sink_.H_SetTextStyle(2, angle, st_.charHeight * 10, st_.charWidth * 10);
    sink_.H_SetTextJustify(0, 0);
    sink_.H_OutTextXY(st_.x, st_.y, text);
  }

  void arc() {
    double cx, cy, sweep;
    if (!number(cx) || !number(cy) || !number(sweep)) return;
    const Point c{cx * Unit, cy * Unit};
    const Point p{st_.x, st_.y};
    const Point e = RotateAbout(p, c, DegToRad(sweep));
    if (st_.penDown && sweep != 0 && room()) {
      const double r = static_cast<double>(Distance(p.x - c.x, p.y - c.y));
      const double a1 = static_cast<double>(RadToDeg(VectorAngle(p.x - c.x, p.y - c.y)));
      const double a2 = static_cast<double>(RadToDeg(VectorAngle(e.x - c.x, e.y - c.y)));
      colour();
      // A sweep of a whole turn or more ends where it started: the circle
      // (an arc from an angle to itself would be recorded as a point).
      if (std::fabs(sweep) >= 360 || std::fabs(a2 - a1) < 1e-9)
        sink_.H_Circle(static_cast<double>(c.x), static_cast<double>(c.y), r);
      else if (sweep > 0)
        sink_.H_Arc(static_cast<double>(c.x), static_cast<double>(c.y), a1, a2, r);
      else
        sink_.H_Arc(static_cast<double>(c.x), static_cast<double>(c.y), a2, a1, r);
    }
    st_.x = static_cast<double>(e.x);
    st_.y = static_cast<double>(e.y);
  }

  // One encoded number starting with the byte c; false at ";" or the end.
  bool decode(int c, bool sevenBit, double& value) {
    uint64_t n = 0;
    int shift = 0;
    for (;; c = next()) {
      if (c == Eof) return false;
      if (c == ';') {
        eoc_ = true;
        return false;
      }
      int digit = -1;
      bool last = false;
      if (sevenBit) {
        if (c >= 63 && c <= 94) digit = c - 63;
        else if (c >= 95 && c <= 126) digit = c - 95, last = true;
      } else {
        if (c >= 63 && c <= 126) digit = c - 63;
        else if (c >= 191 && c <= 254) digit = c - 191, last = true;
      }
      if (digit < 0) continue;
      if (shift < 58) n |= static_cast<uint64_t>(digit) << shift;
      shift += sevenBit ? 5 : 6;
      if (last) break;
    }
    const double v = (n % 2 == 0) ? static_cast<double>(n / 2) : -static_cast<double>((n - 1) / 2);
    value = v * Unit;
    return true;
  }

  void encoded() {
    st_.penDown = true;
    bool sevenBit = false, absolute = false;
    for (;;) {
      int c = next();
      if (c == Eof || c == ';') break;
      if (c == '7') {
        sevenBit = true;
      } else if (c == ':') {
        int p = next();
        if (p == Eof) break;
        st_.pen = std::clamp(p, 1, 15);
      } else if (c == '<') {
        st_.penDown = false;
      } else if (c == '=') {
        absolute = true;
      } else if (c == '>') {
        if (next() == Eof) break;
      } else if (c >= 63 && c <= 254) {
        double dx, dy;
        if (!decode(c, sevenBit, dx) || eoc_) break;
        int d = next();
        if (d == Eof || d == ';' || !decode(d, sevenBit, dy)) break;
        const double x = absolute ? dx : st_.x + dx;
        const double y = absolute ? dy : st_.y + dy;
        if (st_.penDown) line(x, y);
        st_.x = x;
        st_.y = y;
        st_.penDown = true;
        absolute = false;
      }
    }
    eoc_ = true;
  }

  // The printer's own commands around and before HP-GL: ESC E (reset),
  // ESC %0B and ESC %0A (into HP-GL/2 and back), and a plotter's device
  // control ESC .( and ESC .) or ESC . letter ... ":".
  void printerCommand() {
    int c = in_.raw();
    if (c == Eof) {
      eof_ = true;
      return;
    }
    if (c == '.') {
      int d = in_.raw();
      if (d == '(' || d == ')' || d == Eof) return;
      for (int k = 0; k < 256 && (d = in_.raw()) != Eof && d != ':';) ++k;
      return;
    }
    if (c >= 33 && c <= 47) {
      // Parameterised: ends with an upper-case letter or "@".
      for (int d = in_.raw(); d != Eof && !(d >= 64 && d <= 94); d = in_.raw()) {
      }
    }
  }

  Source& in_;
  GraphicsSink& sink_;
  HpglState& st_;
  bool eoc_ = false;
  bool eof_ = false;
  bool cut_ = false;  // the element limit was reached
  long elements_ = 0;
};

// Collects the extents of what is drawn.
class BoxSink : public GraphicsSink {
 public:
  bool any = false;
  HpglBox box;

  void H_ClearViewPort() override {}
  void H_SetLineStyleName(const std::string&) override {}
  void H_SetColor(int) override {}
  void H_Line(double x1, double y1, double x2, double y2) override {
    add(x1, y1);
    add(x2, y2);
  }
  void H_Circle(double x, double y, double r) override {
    add(x - r, y - r);
    add(x + r, y + r);
  }
  void H_Arc(double x, double y, double a1, double a2, double r) override {
    auto at = [&](double a) { add(x + r * std::cos(a * M_PI / 180), y + r * std::sin(a * M_PI / 180)); };
    at(a1);
    at(a2);
    double sweep = std::fmod(a2 - a1, 360.0);
    if (sweep < 0) sweep += 360;
    // The axis points the arc passes.
    for (int q = 0; q < 4; ++q) {
      double d = std::fmod(q * 90.0 - a1, 360.0);
      if (d < 0) d += 360;
      if (d <= sweep) at(q * 90.0);
    }
  }
  void H_Solid(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) override {
    H_Line(x1, y1, x2, y2);
    H_Line(x3, y3, x4, y4);
  }
  void H_SetTextStyle(int, double, double h, double) override { height_ = h; }
  void H_SetTextJustify(int, int) override {}
  void H_OutTextXY(double x, double y, const std::string&) override {
    add(x, y);
    add(x, y + height_);
  }

 private:
  void add(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (!any) box = {x, y, x, y};
    any = true;
    box.xmin = std::min(box.xmin, x);
    box.ymin = std::min(box.ymin, y);
    box.xmax = std::max(box.xmax, x);
    box.ymax = std::max(box.ymax, y);
  }
  double height_ = 0;
};

}  // namespace

void InterpretHpgl(std::string_view text, GraphicsSink& sink) {
  Source src(text);
  Interpreter(src, sink, HpglPictureState).run();
}

bool InterpretHpglFile(const std::string& fileName, GraphicsSink& sink) {
  int fd = OpenRegularFile(fileName);
  if (fd < 0) {
    Session.AbortFlag = false;
    return false;
  }
  auto src = std::make_unique<Source>(fd);
  Interpreter(*src, sink, HpglPictureState).run();
  ::close(fd);
  return true;
}

void DrawHpglPicture(QuorGraf& quor, const std::string& fileName) {
  quor.H_SetWaitCursor();
  quor.H_CheckFile(fileName);
  if (!Session.AbortFlag) InterpretHpglFile(fileName, quor);
  Session.AbortFlag = false;
  quor.H_SetOldCursor();
}

bool HpglFileExtents(const std::string& fileName, HpglBox& box) {
  const HpglState kept = HpglPictureState;
  ResetHpglState();
  BoxSink sink;
  const bool ok = InterpretHpglFile(fileName, sink);
  HpglPictureState = kept;
  box = sink.box;
  return ok && sink.any;
}

bool IsHpglFileName(const std::string& name) {
  auto slash = name.find_last_of("/\\");
  auto dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  const std::string ext = LowerText(name.substr(dot + 1));
  return ext == "plt" || ext == "pl2" || ext == "hpg" || ext == "hpl" || ext == "hgl";
}

}  // namespace planox
