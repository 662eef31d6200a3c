#include "display/shpin.h"

#include <cmath>
#include <cstdio>

#include "base/fileio.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "base/vektor.h"

namespace planox {

ShapeFontRecord ShapeFont;

namespace {

// Reads the font text token by token.
class ShapeReader {
 public:
  explicit ShapeReader(std::string_view t) : text_(t) {}

  bool atEnd() const { return pos_ >= text_.size(); }

  // The rest of the current line, line end included.
  std::string restOfLine() {
    std::string s;
    while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') s += text_[pos_++];
    skipLineEnd();
    return s;
  }

  void skipLineEnd() {
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  }

  void skipEmptyLines() {
    while (pos_ < text_.size() && (text_[pos_] == '\n' || text_[pos_] == '\r')) ++pos_;
  }

  int nextChar() { return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_++]) : -1; }

  // One number: characters up to a comma; a line break ends the token only
  // when it begins with "0" (the closing 0 of a definition), otherwise the
  // token goes on in the next line.
  long long number() {
    std::string token;
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == ',') {
        ++pos_;
        break;
      }
      if (c == '\n' || c == '\r') {
        std::string t = TrimText(token);
        if (!t.empty() && t[0] == '0') {
          skipLineEnd();
          return 0;
        }
        ++pos_;
        continue;
      }
      token += c;
      ++pos_;
    }
    return value(TrimText(token));
  }

 private:
  static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    LogError(std::string("Fehlerhafter Hex-Code \"") + c + "\" ! (Procedure HexCharToDez)");
    return 0;
  }

  static long long value(std::string t) {
    if (!t.empty() && t.front() == '(') t.erase(0, 1);
    if (!t.empty() && t.back() == ')') t.pop_back();
    if (t.size() > 1 && t[0] == '0') return HexDigit(t[t.size() - 2]) * 16 + HexDigit(t[t.size() - 1]);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
    bool digits = i < t.size();
    long long v = 0;
    for (; i < t.size(); ++i) {
      if (t[i] < '0' || t[i] > '9') {
        digits = false;
        break;
      }
      if (v < 100000000) v = v * 10 + (t[i] - '0');
    }
    if (!digits) {
      ReportError("Ung\x81ltiges Zeichen " + t + " !");  // code page 850
      return 0;
    }
    return negative ? -v : v;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

uint8_t AsByte(long long v) { return static_cast<uint8_t>(v & 0xFF); }

const double dirX[16] = {1, 1, 1, 0.5, 0, -0.5, -1, -1, -1, -1, -1, -0.5, 0, 0.5, 1, 1};
const double dirY[16] = {0, 0.5, 1, 1, 1, 1, 1, 0.5, 0, -0.5, -1, -1, -1, -1, -1, -0.5};

}  // namespace

void ClearShapeFont() { ShapeFont = ShapeFontRecord{}; }

bool LoadShapeFontText(std::string_view text) {
  ClearShapeFont();
  ShapeReader r(text);
  std::string first = r.restOfLine();
  if (first.compare(0, 5, "*0,4,") != 0) {
    ReportError("Invalid SHP file !");
    Session.AbortFlag = true;
  } else {
    ShapeFont.above = AsByte(r.number());
    ShapeFont.below = AsByte(r.number());
    ShapeFont.modes = AsByte(r.number());
    r.restOfLine();
  }
  for (;;) {
    r.skipEmptyLines();
    int c = r.nextChar();
    if (c < 0) break;  // the file ended before the last shape
    if (c != '*') {
      ReportError(std::string("Invalid SHP Char ") + static_cast<char>(c) + " !");
      return false;
    }
    int shape = AsByte(r.number());
    int count = AsByte(r.number());
    r.restOfLine();
    if (count > ShapeGlyphBytes) {
      ReportError("TXT.SHP: more than " + IntToText(ShapeGlyphBytes) + " Bytes/character");
      return false;
    }
    bool stored = shape >= ShapeFirstCode && shape <= ShapeLastCode;
    for (int i = 0; i < count && !r.atEnd(); ++i) {
      uint8_t b = AsByte(r.number());
      if (stored) ShapeFont.glyphs[shape - ShapeFirstCode][i] = b;
    }
    if (shape >= ShapeLastCode) break;
  }
  // The scale of a stroked text is height / above: a font without a
  // height above the base line cannot be drawn.
  if (ShapeFont.above == 0) {
    ReportError("TXT.SHP: the height above the base line is 0, the font cannot be used !");
    Session.AbortFlag = true;
    ClearShapeFont();
    return false;
  }
  ShapeFont.loaded = true;
  return true;
}

bool LoadShapeFont(const std::string& fileName) {
  CheckInputFile(fileName);
  std::FILE* in = Session.AbortFlag ? nullptr : OpenRegularStream(fileName);
  if (!in) {
    Session.AbortFlag = true;
    std::fputs("TXT.SHP not found.\n", stdout);
    std::fflush(stdout);
    return false;
  }
  std::string text;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) text.append(buffer, n);
  std::fclose(in);
  return LoadShapeFontText(text);
}

std::string FindShapeFontFile() {
  std::string here = WithSeparator(StartDir()) + "TXT.SHP";
  if (IsRegularFile(here)) return here;
  std::string shipped = ProgramDataDir() + "TXT.SHP";
  return !ProgramDataDir().empty() && IsRegularFile(shipped) ? shipped : "";
}

void StrokeShapeText(std::string_view text, double x, double y, double height, double angle,
                     ShapeStrokeSink& sink) {
  if (!ShapeFont.loaded || ShapeFont.above == 0) return;
  double s = height / ShapeFont.above;
  double t = angle * M_PI / 180.0;
  double cs = std::cos(t), sn = std::sin(t);
  bool skip = false;
  auto step = [&](double n, double dx, double dy) {
    double l = n * s;
    x += l * (dx * cs - dy * sn);
    y += l * (dx * sn + dy * cs);
    if (sink.penIsDown())
      sink.drawTo(x, y);
    else
      sink.moveTo(x, y);
  };
  for (unsigned char code : text) {
    if (code < ShapeFirstCode || code > ShapeLastCode) continue;
    const auto& g = ShapeFont.glyphs[code - ShapeFirstCode];
    size_t i = 0;
    auto next = [&](int& v) {
      if (i >= g.size()) return false;
      v = static_cast<int8_t>(g[i++]);
      return true;
    };
    while (i < g.size()) {
      uint8_t b = g[i++];
      int L = b >> 4, d = b & 15;
      if (L != 0) {
        if (skip)
          skip = false;
        else
          step(L, dirX[d], dirY[d]);
        continue;
      }
      if (d == 0) break;
      int dx = 0, dy = 0;
      switch (d) {
        case 1:
          if (skip) skip = false; else sink.penDown();
          break;
        case 2:
          if (skip) skip = false; else sink.penUp();
          break;
        case 3:
          skip = false;
          break;
        case 8:
          if (!next(dx) || !next(dy)) i = g.size();
          else if (skip) skip = false;
          else step(1, dx, dy);
          break;
        case 9:
          while (next(dx) && next(dy) && (dx != 0 || dy != 0)) step(1, dx, dy);
          break;
        case 14:
          skip = true;
          break;
        default:
          break;
      }
    }
  }
}

}  // namespace planox
