#include "base/textconv.h"
#include "base/textconv_utf8.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <utility>

#include "base/session.h"

namespace planox {

namespace {

// Upper bounds that keep garbage arguments from asking for huge texts.
constexpr int kMaxWidth = 4096;
constexpr int kMaxDecimals = 30;

std::string PadLeftWith(std::string s, int width, char fill) {
  width = std::clamp(width, 0, kMaxWidth);
  if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), fill);
  return s;
}

// 10^0 to 10^15, each exact.
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The fixed text of a finite x below 2^53 with at most 9 decimals, worked
// out exactly: x is m * 2^-shift, so x * 10^decimals is m * 10^decimals
// shifted right, and the bits shifted out round it, halves to even, as
// std::to_chars rounds the exact value. False (nothing appended) outside
// that range.
bool AppendFixedExact(std::string& out, double x, int decimals) {
  static constexpr uint64_t powers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
  if (decimals < 0 || decimals > 9) return false;
  const auto bits = std::bit_cast<uint64_t>(x);
  const int biased = static_cast<int>(bits >> 52 & 0x7ff);
  uint64_t m = bits & ((uint64_t{1} << 52) - 1);
  int shift = 1074;  // subnormal numbers and zero
  if (biased != 0) {
    m |= uint64_t{1} << 52;
    shift = 1075 - biased;
  }
  if (shift < 0) return false;
  using u128 = unsigned __int128;
  const u128 n = static_cast<u128>(m) * powers[decimals];  // below 2^83
  u128 q = 0;  // from a shift of 128 on the value is below half a unit
  if (shift == 0) {
    q = n;
  } else if (shift < 128) {
    q = n >> shift;
    const u128 rest = n - (q << shift), half = u128{1} << (shift - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  }
  if (q >> 64 != 0) return false;
  char buf[32];
  char* p = buf + sizeof buf;
  auto v = static_cast<uint64_t>(q);
  for (int i = 0; i < decimals; ++i, v /= 10) *--p = static_cast<char>('0' + v % 10);
  if (decimals > 0) *--p = '.';
  do {
    *--p = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  if (bits >> 63) *--p = '-';
  out.append(p, buf + sizeof buf);
  return true;
}

}  // namespace

void AppendFixed(std::string& out, double x, int decimals) {
  if (std::isnan(x)) {
    out += "Nan";
  } else if (std::isinf(x)) {
    out += x > 0 ? "+Inf" : "-Inf";
  } else if (!AppendFixedExact(out, x, decimals)) {
    char buf[400];  // 309 integer digits, sign, point and kMaxDecimals
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, std::clamp(decimals, 0, 32));
    if (res.ec != std::errc()) out += '0';
    else out.append(buf, res.ptr);
  }
}

namespace {

// k of the compact rule: the integer part of log10 |x| when that is not
// negative, the integer part minus 1 otherwise (0.01 gives -3). Between
// two powers of ten the comparison with them gives it; near one, where
// log10 may round onto the power, and from 1e15 on log10 decides.
int CompactExponent(double b) {
  static const double powers[] = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1,  1e2,  1e3,  1e4, 1e5,
                                  1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  constexpr int count = sizeof powers / sizeof powers[0];
  if (b > powers[0] * (1 + 1e-9) && b < powers[count - 1]) {
    int i = 1;
    while (b >= powers[i]) ++i;
    if (b > powers[i - 1] * (1 + 1e-9) && b < powers[i] * (1 - 1e-9)) return i - 6;
  }
  double l = std::log10(b);
  if (!std::isfinite(l)) return l > 0 ? 400 : -400;
  double k = std::trunc(l);
  if (l < 0) k -= 1;
  return static_cast<int>(k);
}

// 10^n for the scales of the compact layout (n is 2 to 8 there).
double PowerOfTen(int n) {
  return n >= 0 && n <= 15 ? kPowersOfTen[n] : std::pow(10.0, n);
}

// Integer width and decimals of the compact form of a value whose absolute
// value b is at least 0.00001 and finite.
std::pair<int, int> CompactLayout(double b) {
  int k = CompactExponent(b);
  int d = k + 1;
  if (k >= 3) return {d, 0};
  int width, q;
  double e;
  if (k < 0) {
    width = 0;
    q = 2 - k;
    e = std::nearbyint(b * PowerOfTen(3 - k));  // halves to even
  } else {
    width = d;
    q = 4 - d;
    e = std::nearbyint(b * PowerOfTen(5 - d));
  }
  // Trailing-zero removal: the first division drops the guard digit, every
  // further zero digit costs one decimal.
  long long n = static_cast<long long>(e);
  do {
    n /= 10;
    if (n % 10 == 0) --q;
  } while (n != 0 && n % 10 == 0);
  return {width, std::max(q, 0)};
}

// The integer width the compact rule gives for x (0 below 1).
int CompactWidth(double x) {
  double b = std::fabs(x);
  if (!std::isfinite(b) || b < 0.00001) return 0;
  return CompactLayout(b).first;
}

// True when the compact width of x cannot lengthen its fixed text, so that
// it need not be computed: below 1 the width is 0, and between two powers
// of ten it is at most the number of integer digits, which the fixed text
// has at least. Just below a power of ten, where log10 may round up to it,
// and from 1e15 on, it is computed.
bool CompactWidthNeverPads(double x) {
  const double b = std::fabs(x);
  if (b < 1) return true;
  for (double p : kPowersOfTen)
    if (b < p) return b < p * (1 - 1e-12);
  return false;  // also not finite
}

// The text of RealToTextField appended to out; with point "." whatever the
// separator setting.
void AppendField(std::string& out, double x, int width, int decimals, bool point = false) {
  if (Settings.DecimalPlaces != 3)
    decimals = std::clamp(decimals + Settings.DecimalPlaces - 3, 0, 10);
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  width = std::clamp(width, 0, kMaxWidth);
  if (std::fabs(x) < 0.00000001) x = 0;  // also turns -0 into 0
  const std::size_t start = out.size();
  AppendFixed(out, x, decimals);
  const std::size_t length = out.size() - start;
  const auto field = static_cast<std::size_t>(std::min(decimals == 0 ? width : width + decimals + 1, kMaxWidth));
  if (length < field) out.insert(start, field - length, ' ');
  if (!point && Settings.DecimalSeparator == 2) std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '.', ',');
}

// Lets the blanks of a text count as the only thing trimmed.
bool IsBlank(char c) { return c == ' '; }
bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Position after the last separator ("/" or "\"), 0 when there is none.
std::size_t NameStart(std::string_view path) {
  std::size_t p = path.find_last_of("/\\");
  return p == std::string_view::npos ? 0 : p + 1;
}

std::string_view SkipLeadingBlanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  return s.substr(i);
}

// A decimal real: sign, digits with at most one ".", at least one digit,
// then an optional exponent. Nothing else (no "inf", "nan" or hex forms).
bool IsRealSyntax(std::string_view s) {
  std::size_t i = 0, n = s.size();
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == n;
}

std::vector<std::string>& CommandLineArgs() {
  static std::vector<std::string> args;
  return args;
}

// Code page 850, bytes 128..255, as Unicode code points.
constexpr std::array<char16_t, 128> kCp850High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C,
    0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6,
    0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

// Windows-1252, bytes 128..159 (0: not assigned); 160..255 equal Latin-1.
constexpr std::array<char16_t, 32> kCp1252Low = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char32_t Cp850Char(unsigned char b) { return b < 128 ? b : kCp850High[b - 128]; }

char32_t Cp1252Char(unsigned char b) {
  if (b < 128 || b >= 160) return b;
  return kCp1252Low[b - 128];
}

// Code point -> code page 850 byte; -1 when the code page has none.
int Cp850Byte(char32_t c) {
  if (c < 128) return static_cast<int>(c);
  static const auto table = [] {
    std::array<std::pair<char32_t, unsigned char>, 128> t{};
    for (int i = 0; i < 128; ++i) t[i] = {kCp850High[i], static_cast<unsigned char>(128 + i)};
    std::sort(t.begin(), t.end());
    return t;
  }();
  auto it = std::lower_bound(table.begin(), table.end(), std::make_pair(c, static_cast<unsigned char>(0)));
  if (it != table.end() && it->first == c) return it->second;
  return -1;
}

// Code point -> Windows-1252 byte; -1 when the code page has none.
int Cp1252Byte(char32_t c) {
  if (c < 128 || (c >= 160 && c < 256)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i)
    if (kCp1252Low[i] != 0 && kCp1252Low[i] == c) return 128 + i;
  return -1;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

namespace {

// Decodes UTF-8; every malformed or truncated sequence gives one U+FFFD
// (which no single-byte code page holds, so it ends up as "?").
template <class Fn>
void ForEachUtf8(std::string_view s, Fn fn) {
  std::size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      fn(static_cast<char32_t>(b));
      ++i;
      continue;
    }
    int len;
    char32_t c, min;
    if ((b & 0xE0) == 0xC0) {
      len = 2, c = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3, c = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4, c = b & 0x07, min = 0x10000;
    } else {
      fn(char32_t{0xFFFD});
      ++i;
      continue;
    }
    int got = 1;
    while (got < len && i + got < n && (static_cast<unsigned char>(s[i + got]) & 0xC0) == 0x80) {
      c = (c << 6) | (static_cast<unsigned char>(s[i + got]) & 0x3F);
      ++got;
    }
    if (got < len || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      fn(char32_t{0xFFFD});
      i += got;
      continue;
    }
    fn(c);
    i += len;
  }
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 2);
  for (char ch : ansi) {
    char32_t c = Cp1252Char(static_cast<unsigned char>(ch));
    AppendUtf8(out, c == 0 ? U'?' : c);
  }
  return out;
}

namespace {

// The program's own OEM-to-ANSI table for display: code page 850 byte to a
// Windows-1252 byte; 0 leaves the byte as it is.
constexpr std::array<unsigned char, 256> kOwnDisplayTable = [] {
  std::array<unsigned char, 256> t{};
  t[124] = 0xE3;  // ã
  t[129] = 0xFC;  // ü
  t[130] = 0xE9;  // é
  t[132] = 0xE4;  // ä
  t[134] = 0xE5;  // å
  t[142] = 0xC4;  // Ä
  t[143] = 0xC5;  // Å
  t[148] = 0xF6;  // ö
  t[153] = 0xD6;  // Ö
  t[154] = 0xDC;  // Ü
  t[160] = 0xE1;  // á
  t[161] = 0xED;  // í
  t[162] = 0xF3;  // ó
  t[163] = 0xFA;  // ú
  t[164] = 0xF1;  // ñ
  t[225] = 0xDF;  // ß
  t[230] = 0xB5;  // µ
  t[241] = 0xB1;  // ±
  t[248] = 0xB0;  // °
  t[252] = 0xB3;  // ³
  t[253] = 0xB2;  // ²
  for (int b : {179, 180, 181, 182, 185, 186, 195, 197, 198, 199, 204, 209, 215}) t[b] = '|';
  for (int b : {184, 187, 188, 190, 191, 192, 200, 201, 206, 211, 214, 217, 218}) t[b] = '+';
  for (int b : {196, 205}) t[b] = '-';
  return t;
}();

// AsciiText followed by the own table: Windows-1252 bytes.
std::string OwnDisplayTransliteration(std::string_view oem) {
  std::string s = AsciiText(oem);
  for (char& ch : s) {
    unsigned char m = kOwnDisplayTable[static_cast<unsigned char>(ch)];
    if (m != 0) ch = static_cast<char>(m);
  }
  return s;
}

// The length rule of every dialog field.
constexpr std::size_t kDisplayLimit = 255;

}  // namespace

// ---------------------------------------------------------------- numbers

std::string IntToText(long long n) {
  std::string s;
  AppendInt(s, n);
  return s;
}

void AppendInt(std::string& out, long long n) {
  char buf[24];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, n).ptr);
}

std::string IntToTextZero(long long n, int width) {
  std::string s;
  AppendIntPadded(s, n, width, '0');
  return s;
}

std::string IntToTextBlank(long long n, int width) {
  std::string s;
  AppendIntPadded(s, n, width, ' ');
  return s;
}

void AppendIntPadded(std::string& out, long long n, int width, char fill) {
  char buf[24];
  const char* end = std::to_chars(buf, buf + sizeof buf, n).ptr;
  const int length = static_cast<int>(end - buf);
  width = std::clamp(width, 0, kMaxWidth);
  if (length < width) out.append(static_cast<std::size_t>(width - length), fill);
  out.append(buf, static_cast<std::size_t>(length));
}

std::string RealToText(double x) {
  std::string s;
  AppendRealText(s, x);
  return s;
}

void AppendRealText(std::string& out, double x, bool point) {
  double b = std::fabs(x);
  if (!std::isfinite(x)) return AppendField(out, x, 0, 0, point);
  if (b < 0.00001) {
    out += '0';
    return;
  }
  auto [width, decimals] = CompactLayout(b);
  AppendField(out, x, width, decimals, point);
}

std::string RealToTextDecimals(double x, int decimals) {
  std::string s;
  AppendRealDecimals(s, x, decimals);
  return s;
}

void AppendRealDecimals(std::string& out, double x, int decimals, bool point) {
  AppendField(out, x, CompactWidthNeverPads(x) ? 0 : CompactWidth(x), decimals, point);
}

std::string RealToTextField(double x, int width, int decimals) {
  std::string s;
  AppendField(s, x, width, decimals);
  return s;
}

std::string RealToTextZeroFill(double x, int width, int decimals) {
  std::string s = RealToTextField(x, width, decimals);
  std::replace(s.begin(), s.end(), ' ', '0');
  return s;
}

std::string DateToText(const Date& date) {
  std::string d = IntToTextZero(date.day, 2);
  std::string m = IntToTextZero(date.month, 2);
  std::string y = IntToTextZero(date.year, 4);
  switch (Settings.DateFormat) {
    case 2: return m + "/" + d + "/" + y;
    case 3: return y + "/" + m + "/" + d;
    case 4: return d + "/" + m + "/" + y;
    default: return d + "." + m + "." + y;
  }
}

std::tm LocalNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

std::string TodayText() {
  std::tm tm = LocalNow();
  return DateToText(Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday});
}

std::string NowTimeText() {
  std::tm tm = LocalNow();
  return IntToText(tm.tm_hour) + ":" + IntToTextZero(tm.tm_min, 2);
}

double TextToReal(std::string_view s) {
  std::string_view v = SkipLeadingBlanks(s);
  std::string copy;  // only for a "," read as "."
  if (std::size_t comma = v.find(','); comma != std::string_view::npos) {
    copy.assign(v);
    copy[comma] = '.';
    v = copy;
  }
  if (!IsRealSyntax(v)) return 0;
  if (v.front() == '+') v.remove_prefix(1);
  double x = 0;
  auto res = std::from_chars(v.data(), v.data() + v.size(), x);
  // Out of range: an overflow has no value to give, an underflow is 0.
  if (res.ec != std::errc() || res.ptr != v.data() + v.size() || !std::isfinite(x)) return 0;
  return x;
}

long long TextToInt(std::string_view s) {
  std::string_view v = SkipLeadingBlanks(s);
  if (!v.empty() && v.front() == '+') {
    v.remove_prefix(1);
    if (!v.empty() && v.front() == '-') return 0;
  }
  if (v.empty()) return 0;
  long long n = 0;
  auto res = std::from_chars(v.data(), v.data() + v.size(), n);
  if (res.ec != std::errc() || res.ptr != v.data() + v.size()) return 0;
  return n;
}

namespace {
std::string_view TrimBlanksAndTabs(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}
}  // namespace

// from_chars does not depend on the C locale, which the Qt layer sets from
// the environment.
namespace {

// Some programs pad a value with blanks after the number: they are not
// part of it.
std::string_view WithoutTrailingBlanks(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

// A value as TextToReal reads it. The common form (blanks, sign, digits
// with one "." or ",") is converted here: up to 15 digits exactly in one
// step (an integer below 2^53 divided by an exact power of ten rounds
// correctly), longer ones with a "." or none, as today's programs write
// them, by the library's correctly rounded conversion.
long double GroupValueToReal(std::string_view s) {
  s = WithoutTrailingBlanks(s);
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
    if (decimals > 0) x /= kPowersOfTen[decimals];
  }
  return negative ? -x : x;
}

int32_t GroupValueToInt32(std::string_view s) {
  long long n = TextToInt(WithoutTrailingBlanks(s));
  if (n < INT32_MIN || n > INT32_MAX) return 0;
  return static_cast<int32_t>(n);
}

bool ParseTypedReal(std::string_view s, double& value) {
  std::string t(TrimBlanksAndTabs(s));
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty() || t[0] == '+') return false;
  if (auto c = t.find(','); c != std::string::npos) t[c] = '.';
  double v = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ParseTypedInteger(std::string_view s, long long& value) {
  std::string t(TrimBlanksAndTabs(s));
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty() || t[0] == '+') return false;
  long long v = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) return false;
  value = v;
  return true;
}

// ---------------------------------------------------------------- strings

std::string UpperText(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string LowerText(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

std::string TrimText(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

std::string RemoveBlanks(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (char c : s)
    if (!IsBlank(c)) r += c;
  return r;
}

std::string LeftText(std::string_view s, int n) {
  if (n <= 0) return {};
  return std::string(s.substr(0, static_cast<std::size_t>(n)));
}

std::string RightText(std::string_view s, int n) {
  if (n <= 0) return {};
  std::size_t k = std::min(s.size(), static_cast<std::size_t>(n));
  return std::string(s.substr(s.size() - k));
}

std::string PadRight(std::string_view s, int n) {
  if (n <= 0) return {};
  std::string r = LeftText(s, n);
  std::size_t want = static_cast<std::size_t>(std::min(n, kMaxWidth));
  if (r.size() < want) r.resize(want, ' ');
  return r;
}

std::string PadLeft(std::string_view s, int n) {
  if (n <= 0) return {};
  std::string r = LeftText(TrimText(s), n);
  return PadLeftWith(std::move(r), n, ' ');
}

std::string ReplaceChar(std::string_view s, char from, char to) {
  std::string r(s);
  std::replace(r.begin(), r.end(), from, to);
  return r;
}

std::string PointToComma(std::string_view s) { return ReplaceChar(s, '.', ','); }
std::string CommaToPoint(std::string_view s) { return ReplaceChar(s, ',', '.'); }

bool HasSwitch(std::string_view s) {
  std::string want = UpperText(s);
  for (const std::string& a : CommandLineArgs())
    if (UpperText(a) == want) return true;
  return false;
}

void SetCommandLine(const std::vector<std::string>& args) { CommandLineArgs() = args; }

const std::vector<std::string>& CommandLine() { return CommandLineArgs(); }

// ---------------------------------------------------------------- paths

std::string WithSeparator(std::string_view dir) {
  std::string d = TrimText(dir);
  if (d.empty()) return d;
  char last = d.back();
  // A name that already ends in a separator (or in ":", which ended a drive
  // name where these names were made) gets nothing; every other character
  // can end a directory name here, "." and "-" and accented letters too.
  if (IsSeparator(last) || last == ':') return d;
  return d + "/";
}

std::string WithoutSeparator(std::string_view dir) {
  std::string d = TrimText(dir);
  // The root directory keeps its only character.
  if (d.size() > 1 && IsSeparator(d.back())) d.pop_back();
  return d;
}

std::string FileNamePart(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string DirectoryPart(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string BaseName(std::string_view path) {
  // The extension is looked for in the name alone, so that a dot in a
  // directory name does not cut the path there. ":" is an ordinary
  // character of a name here and is kept.
  std::string_view name = path.substr(NameStart(path));
  std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

std::string NameWithoutExtension(std::string_view path) { return BaseName(path); }

std::string ExtensionAfterFirstDot(std::string_view name) {
  std::string_view n = name.substr(NameStart(name));
  std::size_t dot = n.find('.');
  if (dot == std::string_view::npos) return {};
  return std::string(n.substr(dot + 1));
}

std::string DrawingExtension(std::string_view path) { return LeftText(ExtensionAfterFirstDot(FileNamePart(path)), 3); }

// ---------------------------------------------------------------- transliterations

std::string BlankControls(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
  return out;
}

std::string PlotterText(std::string_view s) {
  std::string r;
  r.reserve(s.size() + 8);
  for (char ch : s) {
    switch (static_cast<unsigned char>(ch)) {
      case 40: r += '{'; break;
      case 41: r += '}'; break;
      case 129: r += "ue"; break;
      case 132: r += "ae"; break;
      case 142: r += "Ae"; break;
      case 148: r += "oe"; break;
      case 153: r += "Oe"; break;
      case 154: r += "Ue"; break;
      case 225: r += "ss"; break;
      case 241: r += "+/-"; break;
      case 248: r += static_cast<char>(202); break;
      case 253: r += '2'; break;
      default: r += ch;
    }
  }
  return r;
}

std::string AsciiText(std::string_view s) {
  std::string r;
  r.reserve(s.size() + 8);
  for (char ch : s) {
    switch (static_cast<unsigned char>(ch)) {
      case 129: r += "ue"; break;
      case 130: r += 'e'; break;
      case 132: r += "ae"; break;
      case 142: r += "Ae"; break;
      case 148: r += "oe"; break;
      case 153: r += "Oe"; break;
      case 154: r += "Ue"; break;
      case 160: r += 'a'; break;
      case 163: r += 'u'; break;
      case 164: r += 'n'; break;
      case 196:
      case 205: r += '-'; break;
      case 225: r += "ss"; break;
      case 230: r += 'u'; break;
      case 241: r += "+/-"; break;
      case 248: r += "deg"; break;
      case 253: r += '2'; break;
      default: r += ch;
    }
  }
  return r;
}

std::string OemToAnsi(std::string_view oem) {
  if (Settings.DisplayTransliteration == 1) return OwnDisplayTransliteration(oem);
  std::string out;
  out.reserve(oem.size());
  for (char ch : oem) {
    int b = Cp1252Byte(Cp850Char(static_cast<unsigned char>(ch)));
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

std::string ConvertOutputText(std::string_view s) {
  switch (Settings.TextOutputMode) {
    case 2: return OemToAnsi(s);
    case 3: return AsciiText(s);
    default: return std::string(s);
  }
}

// ---------------------------------------------------------------- display boundary

std::string Cp850ToUtf8(std::string_view oem) {
  std::string out;
  out.reserve(oem.size() + oem.size() / 2);
  for (char ch : oem) AppendUtf8(out, Cp850Char(static_cast<unsigned char>(ch)));
  return out;
}

std::string Utf8ToCp850(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  ForEachUtf8(utf8, [&](char32_t c) {
    int b = Cp850Byte(c);
    out += b < 0 ? '?' : static_cast<char>(b);
  });
  return out;
}

std::string ToDisplayText(std::string_view oem) {
  if (oem.size() >= kDisplayLimit) return {};
  if (Settings.DisplayTransliteration == 1) return Cp1252ToUtf8(OwnDisplayTransliteration(oem));
  return Cp850ToUtf8(oem);
}

std::string FromDisplayText(std::string_view utf8) {
  // The limit counts characters, as the code page 850 text will hold them.
  std::string oem = Utf8ToCp850(utf8);
  if (oem.size() >= kDisplayLimit) return {};
  return oem;
}

}  // namespace planox
