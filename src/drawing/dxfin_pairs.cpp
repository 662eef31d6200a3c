// The drawing file read as group pairs: the reader's current pair, and
// group values read as numbers.
#include <charconv>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "drawing/dxfin_parts.h"

namespace planox {

int32_t GroupCode = 0;
std::string GroupValue;
int32_t LineNumber = 0;
std::string SectionName;

namespace dxfin {

TextReader& DrawingFile() {
  static TextReader file;
  return file;
}

bool IsKeyword(std::string_view value, std::string_view upper) {
  if (value.size() != upper.size()) return false;
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

// Some programs pad a value with blanks after the number: they are not
// part of it.
std::string_view WithoutTrailingBlanks(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A value as TextToReal reads it. The common form (blanks, sign, digits
// with one "." or ",") is converted here: up to 15 digits exactly in one
// step (an integer below 2^53 divided by an exact power of ten rounds
// correctly), longer ones with a "." or none, as today's programs write
// them, by the library's correctly rounded conversion.
long double Real(std::string_view s) {
  s = WithoutTrailingBlanks(s);
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
  bool comma = false;
  if (p < end && (*p == '.' || *p == ',')) {
    comma = *p == ',';
    const char* point = ++p;
    while (p < end && static_cast<unsigned char>(*p - '0') < 10)
      mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
    decimals = p - point;
    digits += decimals;
  }
  if (p != end || digits == 0 || (digits > 15 && comma)) return TextToReal(s);
  double x;
  if (digits > 15) {
    auto res = std::from_chars(first, end, x);
    if (res.ec != std::errc() || res.ptr != end) return TextToReal(s);
  } else {
    x = static_cast<double>(mantissa);
    if (decimals > 0) x /= powers[decimals];
  }
  return negative ? -x : x;
}

int32_t Int32(std::string_view s) {
  long long n = TextToInt(WithoutTrailingBlanks(s));
  if (n < INT32_MIN || n > INT32_MAX) return 0;
  return static_cast<int32_t>(n);
}

namespace {

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

}  // namespace

}  // namespace dxfin

namespace {

// A line beyond the reader's limit ends the read, said even while the read
// is quiet.
bool LineTooLong(const TextReader& file) {
  if (!file.LineTooLong()) return false;
  const bool show = Session.ShowErrors;
  Session.ShowErrors = true;
  ReportError("Ligne " + IntToText(LineNumber) + " trop longue (plus de " +
              IntToText(TextReader::MaxLineLength >> 20) + " Mo) : lecture interrompue");
  Session.ShowErrors = show;
  Session.AbortFlag = true;
  return true;
}

}  // namespace

namespace dxfin {
bool endReached = false;
bool EndReached() { return endReached; }
}  // namespace dxfin

void ReadGroupPair() {
  TextReader& drawingFile = dxfin::DrawingFile();
  dxfin::endReached = false;
  ++LineNumber;
  std::string_view code = drawingFile.ReadLine();
  if (LineTooLong(drawingFile)) return;
  if (drawingFile.ReadError()) {
    ReportError("Error in DXF-File Line : " + IntToText(LineNumber));
    Session.AbortFlag = true;
    drawingFile.ClearReadError();
    return;
  }
  GroupCode = dxfin::CodeValue(code);
  if (drawingFile.AtEnd()) {
    dxfin::endReached = !Session.AbortFlag;
    Session.AbortFlag = true;
  }
  GroupValue.assign(drawingFile.ReadLine());
  ++LineNumber;
  LineTooLong(drawingFile);
}

}  // namespace planox
