// Number formats, parsers, string and path rules, transliterations and the
// display code page conversion.
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <regex>
#include <set>

#include "base/session.h"
#include "base/textconv.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using TextConv = test::Defaults;

TEST_F(TextConv, CompactRealForm) {
  EXPECT_EQ(RealToText(0.000009), "0");
  EXPECT_EQ(RealToText(-0.000009), "0");
  EXPECT_EQ(RealToText(0), "0");
  EXPECT_EQ(RealToText(-0.5), "-0.5");
  EXPECT_EQ(RealToText(12.5), "12.5");
  EXPECT_EQ(RealToText(12), "12");
  EXPECT_EQ(RealToText(0.5), "0.5");
  EXPECT_EQ(RealToText(1234.6), "1235");
  EXPECT_EQ(RealToText(0.12345), "0.123");
  EXPECT_EQ(RealToText(0.01), "0.01");       // log10 exactly -2
  EXPECT_EQ(RealToText(0.00001), "0.00001");  // the smallest value written
  EXPECT_EQ(RealToText(100), "100");
  EXPECT_EQ(RealToText(1000), "1000");
  EXPECT_EQ(RealToText(3.14159), "3.142");
  EXPECT_EQ(RealToText(-273.16), "-273.2");
  EXPECT_EQ(RealToText(0.9999999), "1");
  EXPECT_EQ(RealToText(999.99999), "1000");
  EXPECT_EQ(RealToText(0.24), "0.24");
  // Halves go to the even neighbour.
  EXPECT_EQ(RealToText(1234.5), "1234");
  EXPECT_EQ(RealToText(1235.5), "1236");
}

TEST_F(TextConv, DecimalPlacesAndSeparator) {
  Settings.DecimalPlaces = 5;
  EXPECT_EQ(RealToText(12.5), "12.500");
  EXPECT_EQ(RealToText(1234.6), "1234.60");
  EXPECT_EQ(RealToText(0.000009), "0");
  EXPECT_EQ(RealToTextDecimals(12.5, 3), "12.50000");
  Settings.DecimalPlaces = 0;
  EXPECT_EQ(RealToText(12.7), "13");
  EXPECT_EQ(RealToText(0.123), "0");
  EXPECT_EQ(RealToTextField(2.75, 0, 2), "3");
  Settings.DecimalPlaces = 40;  // the shift stops at 10 decimals
  EXPECT_EQ(RealToText(0.5), "0.5000000000");
  Settings.DecimalPlaces = 3;
  Settings.DecimalSeparator = 2;
  EXPECT_EQ(RealToText(1.25), "1,25");
  EXPECT_EQ(RealToTextField(-1234.5678, 0, 2), "-1234,57");
  EXPECT_EQ(RealToTextDecimals(0.3, 3), "0,300");
}

TEST_F(TextConv, FixedFields) {
  EXPECT_EQ(RealToTextField(3.14159, 8, 2), "       3.14");  // width + decimals + 1
  EXPECT_EQ(RealToTextField(5, 3, 0), "  5");
  EXPECT_EQ(RealToTextField(-1.5, 0, 1), "-1.5");
  EXPECT_EQ(RealToTextField(123456.0, 2, 0), "123456");
  EXPECT_EQ(RealToTextField(0.000000001, 0, 2), "0.00");
  EXPECT_EQ(RealToTextField(-0.000000001, 0, 2), "0.00");
  EXPECT_EQ(RealToTextField(1.5, -3, -2), "2");  // nonsense widths and decimals count as 0
  EXPECT_EQ(RealToTextZeroFill(7.5, 2, 5), "07.50000");
  EXPECT_EQ(RealToTextZeroFill(59.999999, 2, 5), "60.00000");
  EXPECT_EQ(RealToTextDecimals(12.5, 3), "12.500");
  EXPECT_EQ(RealToTextDecimals(-0.3, 3), "-0.300");
  EXPECT_EQ(RealToTextDecimals(1234.5678, 3), "1234.568");
  EXPECT_EQ(RealToTextDecimals(0, 3), "0.000");
  EXPECT_EQ(RealToTextDecimals(0.05, 6), "0.050000");
}

// The compact width of RealToTextDecimals counts the integer digits through
// log10, which rounds up to the next power of ten just below it: only there
// (and for huge values) does it add a blank in front of the fixed text. An
// appended text is the returned one.
TEST_F(TextConv, CompactWidthJustBelowAPowerOfTen) {
  Settings.DecimalPlaces = 10;
  EXPECT_EQ(RealToTextDecimals(std::nextafter(1e6, 0), 3), " 999999.9999999999");
  EXPECT_EQ(RealToTextDecimals(-std::nextafter(1e6, 0), 3), "-999999.9999999999");
  EXPECT_EQ(RealToTextDecimals(999999.99999, 3), "999999.9999900000");
  Settings.DecimalPlaces = 3;
  EXPECT_EQ(RealToTextDecimals(99999999999999991611392.0, 0), " 99999999999999991611392");
  EXPECT_EQ(RealToTextDecimals(1e15, 3), "1000000000000000.000");
  for (double x : {0.5, 1.0, 9.9995, 10.0, 123.4567, -98765.4321, 1e14 - 0.25}) {
    std::string line = "G01 X";
    AppendRealDecimals(line, x, 3);
    EXPECT_EQ(line, "G01 X" + RealToTextDecimals(x, 3)) << x;
    EXPECT_EQ(RealToTextDecimals(x, 3).find(' '), std::string::npos) << x;
  }
}

// Values that stress number formatting: exact halves at every decimal
// count, both zeros, the neighbours of every power of ten, the edges of
// the exact fixed form (2^53, 2^64 units), tiny and huge values and random
// bit patterns of every magnitude and sign.
std::vector<double> HardValues() {
  std::vector<double> v = {0.0, -0.0, 0.5, -0.5, 1.5, 2.5, 0.125, 0.375, -0.625, 0.0625, 1.0625, 1e-8, -1e-8,
                           5e-9, 0.00001, 0.000005, 1e300, -1e300, std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::max(), 9007199254740992.0, 9007199254740991.0,
                           18446744073709551615.0 / 1000, 18446744073709551615.0 / 1e9};
  for (int e = -8; e <= 22; ++e) {
    const double p = std::pow(10.0, e);
    for (double q : {p, std::nextafter(p, 0), std::nextafter(p, 1e308), p * (1 + 1e-9), p * (1 - 1e-9)}) {
      v.push_back(q);
      v.push_back(-q);
    }
  }
  // Ties: k + j / 2^b for small b are exact halves at b decimals.
  for (int k = 0; k < 40; ++k)
    for (int b = 1; b <= 10; ++b) v.push_back((k * 7 + 1) / std::ldexp(1.0, b) + k);
  std::mt19937_64 rng(18);
  for (int i = 0; i < 20000; ++i) {
    v.push_back(std::bit_cast<double>(rng()));  // any magnitude
    const double mantissa = std::ldexp(static_cast<double>(rng() >> 11), -53);
    v.push_back((i % 2 ? -1 : 1) * std::ldexp(mantissa, static_cast<int>(rng() % 80) - 40));
    v.push_back(std::nearbyint(mantissa * 4e6) / 8000 - 250);  // many ties at three decimals
  }
  return v;
}

// AppendFixed works most values out itself; its texts are those of
// std::to_chars.
TEST_F(TextConv, FixedFormMatchesToChars) {
  for (double x : HardValues()) {
    if (!std::isfinite(x)) continue;
    for (int d = 0; d <= 12; ++d) {
      char buf[400];
      auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, d);
      std::string s = "X";
      AppendFixed(s, x, d);
      ASSERT_EQ(s, "X" + std::string(buf, r.ptr)) << x << " " << d;
    }
  }
}

// The compact form as first built: log10 for the exponent and pow for the
// scale, which the faster lookup must match everywhere, also next to the
// powers of ten where log10 rounds onto them.
std::string CompactAsFirstBuilt(double x) {
  const double b = std::fabs(x);
  if (!std::isfinite(x)) return RealToTextField(x, 0, 0);
  if (b < 0.00001) return "0";
  const double l = std::log10(b);
  int k = std::isfinite(l) ? static_cast<int>(std::trunc(l) - (l < 0 ? 1 : 0)) : 400;
  int d = k + 1;
  if (k >= 3) return RealToTextField(x, d, 0);
  int width = k < 0 ? 0 : d, q = k < 0 ? 2 - k : 4 - d;
  auto n = static_cast<long long>(std::nearbyint(b * std::pow(10.0, k < 0 ? 3 - k : 5 - d)));
  do {
    n /= 10;
    if (n % 10 == 0) --q;
  } while (n != 0 && n % 10 == 0);
  return RealToTextField(x, width, std::max(q, 0));
}

TEST_F(TextConv, CompactFormMatchesTheFirstBuilt) {
  for (int places : {3, 0, 6}) {
    Settings.DecimalPlaces = places;
    for (double x : HardValues()) ASSERT_EQ(RealToText(x), CompactAsFirstBuilt(x)) << x << " " << places;
  }
  Settings.DecimalPlaces = 3;
  std::string s = "H_Line(";
  AppendRealText(s, -12.5);
  AppendRealDecimals(s, 0.25, 3);
  EXPECT_EQ(s, "H_Line(-12.50.250");
  Settings.DecimalSeparator = 2;
  s.clear();
  AppendRealText(s, 1.25, true);
  s += ' ';
  AppendRealDecimals(s, -0.5, 2, true);
  s += ' ';
  AppendRealText(s, 1.25);
  EXPECT_EQ(s, "1.25 -0.50 1,25");
}

TEST_F(TextConv, RealsThatAreNotOrdinary) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(RealToText(nan), "Nan");
  EXPECT_EQ(RealToText(inf), "+Inf");
  EXPECT_EQ(RealToText(-inf), "-Inf");
  EXPECT_EQ(RealToTextDecimals(nan, 3), " Nan");  // padded like any 3-decimal field
  EXPECT_EQ(RealToTextField(inf, 6, 0), "  +Inf");
  std::string big = RealToText(1e300);
  EXPECT_EQ(big.size(), 301u);
  EXPECT_EQ(big.substr(0, 15), "100000000000000");
  EXPECT_EQ(RealToText(-1e300).size(), 302u);
  EXPECT_EQ(RealToText(std::numeric_limits<double>::max()).size(), 309u);
  EXPECT_EQ(RealToText(std::numeric_limits<double>::denorm_min()), "0");
  EXPECT_EQ(RealToTextField(1e300, 1000000000, 30).size(), 4096u);  // fill stops at 4096
}

TEST_F(TextConv, IntegersAndDates) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-42), "-42");
  EXPECT_EQ(IntToTextZero(5, 3), "005");
  EXPECT_EQ(IntToTextZero(1234, 2), "1234");
  EXPECT_EQ(IntToTextZero(-5, 4), "00-5");  // the fill goes in front of everything
  EXPECT_EQ(IntToTextBlank(-5, 4), "  -5");
  EXPECT_EQ(IntToText(std::numeric_limits<long long>::min()), "-9223372036854775808");

  const Date d{2024, 3, 7};
  EXPECT_EQ(DateToText(d), "07.03.2024");
  Settings.DateFormat = 2;
  EXPECT_EQ(DateToText(d), "03/07/2024");
  Settings.DateFormat = 3;
  EXPECT_EQ(DateToText(d), "2024/03/07");
  Settings.DateFormat = 4;
  EXPECT_EQ(DateToText(d), "07/03/2024");
  Settings.DateFormat = 1;
  EXPECT_EQ(DateToText(Date{987, 12, 31}), "31.12.0987");
  EXPECT_TRUE(std::regex_match(TodayText(), std::regex(R"(\d\d\.\d\d\.\d{4})")));
  EXPECT_TRUE(std::regex_match(NowTimeText(), std::regex(R"([12]?\d:[0-5]\d)")));
}

TEST_F(TextConv, TextToNumbers) {
  EXPECT_DOUBLE_EQ(TextToReal("1,5"), 1.5);
  EXPECT_DOUBLE_EQ(TextToReal("1,5,7"), 0);  // only the first comma becomes a point
  EXPECT_DOUBLE_EQ(TextToReal("12abc"), 0);
  EXPECT_DOUBLE_EQ(TextToReal("abc"), 0);
  EXPECT_DOUBLE_EQ(TextToReal("  12.5"), 12.5);
  EXPECT_DOUBLE_EQ(TextToReal("12.5 "), 0);
  EXPECT_DOUBLE_EQ(TextToReal("-3e2"), -300);
  EXPECT_DOUBLE_EQ(TextToReal("+.5"), 0.5);
  EXPECT_DOUBLE_EQ(TextToReal("1."), 1);
  EXPECT_DOUBLE_EQ(TextToReal("2.5E-1"), 0.25);
  for (const char* bad : {"", " ", ".", "-", "e5", "1e", "1e+", "inf", "nan", "0x10", "1.2.3", "--1", "1 2"})
    EXPECT_DOUBLE_EQ(TextToReal(bad), 0) << bad;
  EXPECT_DOUBLE_EQ(TextToReal("1e999"), 0);  // too large for a real
  EXPECT_DOUBLE_EQ(TextToReal("1e-999"), 0);
  EXPECT_DOUBLE_EQ(TextToReal(std::string(5000, '9')), 0);

  EXPECT_EQ(TextToInt("  42"), 42);
  EXPECT_EQ(TextToInt("-7"), -7);
  EXPECT_EQ(TextToInt("+7"), 7);
  EXPECT_EQ(TextToInt("007"), 7);
  for (const char* bad : {"", "-", "+", "4.2", "42 ", "1e3", "+-1", "0x1F", "99999999999999999999"})
    EXPECT_EQ(TextToInt(bad), 0) << bad;
  EXPECT_EQ(TextToInt("-9223372036854775808"), std::numeric_limits<long long>::min());
}

TEST_F(TextConv, StringOperations) {
  EXPECT_EQ(UpperText("abz\x84Q"), "ABZ\x84Q");  // a..z only, not the umlaut
  EXPECT_EQ(LowerText("ABZ\x8Eq"), "abz\x8Eq");
  EXPECT_EQ(TrimText("  a b  "), "a b");
  EXPECT_EQ(TrimText("    "), "");
  EXPECT_EQ(RemoveBlanks(" 1 2. 5 "), "12.5");
  EXPECT_EQ(LeftText("abc", 2), "ab");
  EXPECT_EQ(LeftText("abc", 9), "abc");
  EXPECT_EQ(LeftText("abc", -1), "");
  EXPECT_EQ(RightText("abcdef", 2), "ef");
  EXPECT_EQ(RightText("ab", 5), "ab");
  EXPECT_EQ(PadLeft("  ab ", 4), "  ab");
  EXPECT_EQ(PadLeft(" abcdef", 3), "abc");
  EXPECT_EQ(PadRight("abcdef", 3), "abc");
  EXPECT_EQ(PadRight("ab", 4), "ab  ");
  EXPECT_EQ(PadRight("ab", 0), "");
  EXPECT_EQ(ReplaceChar("a-b-c", '-', '+'), "a+b+c");
  EXPECT_EQ(PointToComma("1.2.3"), "1,2,3");
  EXPECT_EQ(CommaToPoint("1,2,3"), "1.2.3");
}

TEST_F(TextConv, CommandLineSwitches) {
  SetCommandLine({"plan.dxf", "/e", "/Cad"});
  EXPECT_TRUE(HasSwitch("/E"));
  EXPECT_TRUE(HasSwitch("/e"));
  EXPECT_TRUE(HasSwitch("/CAD"));
  EXPECT_FALSE(HasSwitch("/I"));
  EXPECT_FALSE(HasSwitch("/C"));
  EXPECT_EQ(CommandLine().size(), 3u);
  SetCommandLine({});
  EXPECT_FALSE(HasSwitch("/E"));
}

TEST_F(TextConv, PathRules) {
  EXPECT_EQ(WithSeparator("  /home/u  "), "/home/u/");
  EXPECT_EQ(WithSeparator("/home/u/"), "/home/u/");
  EXPECT_EQ(WithSeparator("dwg\\"), "dwg\\");
  EXPECT_EQ(WithSeparator("C:"), "C:");
  EXPECT_EQ(WithSeparator(""), "");
  EXPECT_EQ(WithSeparator("   "), "");
  // Characters that end ordinary directory names get the separator too.
  EXPECT_EQ(WithSeparator("."), "./");
  EXPECT_EQ(WithSeparator("old-"), "old-/");
  EXPECT_EQ(WithSeparator("Caf\x82"), "Caf\x82/");
  EXPECT_EQ(WithSeparator("x~"), "x~/");

  EXPECT_EQ(WithoutSeparator(" /home/u/ "), "/home/u");
  EXPECT_EQ(WithoutSeparator("/home/u//"), "/home/u/");
  EXPECT_EQ(WithoutSeparator("dwg\\"), "dwg");
  EXPECT_EQ(WithoutSeparator("/"), "/");
  EXPECT_EQ(WithoutSeparator("/home"), "/home");

  EXPECT_EQ(DirectoryPart("/home/u/plan.dxf"), "/home/u/");
  EXPECT_EQ(DirectoryPart("C:\\dwg\\plan.dxf"), "C:\\dwg\\");
  EXPECT_EQ(DirectoryPart("sub/win\\plan.dxf"), "sub/win\\");
  EXPECT_EQ(DirectoryPart("plan.dxf"), "");
  EXPECT_EQ(DirectoryPart("a:plan.dxf"), "");  // ":" is part of the name

  EXPECT_EQ(BaseName("/home/u/plan.v2.dxf"), "plan.v2");
  EXPECT_EQ(BaseName("C:\\dwg\\plan.dxf"), "plan");
  EXPECT_EQ(BaseName("/d.old/plan"), "plan");
  EXPECT_EQ(BaseName("a:plan.dxf"), "a:plan");
  EXPECT_EQ(BaseName(""), "");
  EXPECT_EQ(NameWithoutExtension("/x/y/plan.dxf"), "plan");
  EXPECT_EQ(NameWithoutExtension("plan"), "plan");

  EXPECT_EQ(ExtensionAfterFirstDot("plan.v2.dxf"), "v2.dxf");
  EXPECT_EQ(ExtensionAfterFirstDot("plan..dxf"), ".dxf");
  EXPECT_EQ(ExtensionAfterFirstDot("plan"), "");
  EXPECT_EQ(ExtensionAfterFirstDot("/d.x/plan.dxf"), "dxf");
}

TEST_F(TextConv, PlotterAndAsciiTransliterations) {
  // "Maß (ä)" in code page 850.
  EXPECT_EQ(PlotterText("Ma\xE1 (\x84)"), "Mass {ae}");
  EXPECT_EQ(PlotterText("\x81\x8E\x94\x99\x9A"), "ueAeoeOeUe");
  EXPECT_EQ(PlotterText("\xF1\xFD"), "+/-2");
  EXPECT_EQ(PlotterText("\xF8"), "\xCA");
  EXPECT_EQ(PlotterText("\x82\xA0\xA3\xA4\xC4\xCD\xE6"), "\x82\xA0\xA3\xA4\xC4\xCD\xE6");
  EXPECT_EQ(PlotterText(std::string("a\0b", 3)), std::string("a\0b", 3));

  EXPECT_EQ(AsciiText("Ma\xE1 (\x84)"), "Mass (ae)");
  EXPECT_EQ(AsciiText("\x81\x8E\x94\x99\x9A"), "ueAeoeOeUe");
  EXPECT_EQ(AsciiText("\x82\xA0\xA3\xA4\xC4\xCD\xE6"), "eaun--u");
  EXPECT_EQ(AsciiText("45\xF8 \xF1" "1 m\xFD"), "45deg +/-1 m2");
  EXPECT_EQ(AsciiText("\x87\xB3"), "\x87\xB3");  // not in the table: unchanged
}

TEST_F(TextConv, OutputTextModes) {
  const std::string text = "Ma\xE1 \x84 \xC4 \x9F";  // ß ä, a box line, ƒ
  EXPECT_EQ(ConvertOutputText(text), text);
  Settings.TextOutputMode = 3;
  EXPECT_EQ(ConvertOutputText(text), "Mass ae - \x9F");
  Settings.TextOutputMode = 2;
  EXPECT_EQ(ConvertOutputText(text), "Ma\xDF \xE4 ? \x83");  // Windows-1252
  EXPECT_EQ(ConvertOutputText(std::string(300, 'x')).size(), 300u);  // no length rule in files
  Settings.DisplayTransliteration = 1;
  EXPECT_EQ(ConvertOutputText(text), "Mass ae - \x9F");
}

TEST_F(TextConv, DisplayCodePage) {
  EXPECT_EQ(ToDisplayText("Ma\xE1 (\x84)"), "Maß (ä)");
  EXPECT_EQ(ToDisplayText("45\xF8 \xC9\xCD\xBB"), "45° ╔═╗");
  EXPECT_EQ(FromDisplayText("Maß (ä) 45°"), "Ma\xE1 (\x84) 45\xF8");
  EXPECT_EQ(FromDisplayText("€ 中"), "? ?");

  // Every byte has its own character and comes back unchanged.
  std::set<std::string> seen;
  for (int b = 0; b < 256; ++b) {
    std::string one(1, static_cast<char>(b));
    std::string u = Cp850ToUtf8(one);
    EXPECT_TRUE(seen.insert(u).second) << b;
    EXPECT_EQ(Utf8ToCp850(u), one) << b;
  }

  // Malformed UTF-8 gives "?" per broken sequence, never reads past the end.
  EXPECT_EQ(Utf8ToCp850("a\xC3"), "a?");
  EXPECT_EQ(Utf8ToCp850("\xE2\x82x"), "?x");
  EXPECT_EQ(Utf8ToCp850("\xC0\xAF"), "?");          // overlong "/"
  EXPECT_EQ(Utf8ToCp850("\xED\xA0\x80"), "?");      // a surrogate
  EXPECT_EQ(Utf8ToCp850("\xFF\x80z"), "??z");

  // Texts of 255 characters or more do not reach a field.
  EXPECT_EQ(ToDisplayText(std::string(254, 'a')).size(), 254u);
  EXPECT_EQ(ToDisplayText(std::string(255, 'a')), "");
  std::string e254, e255;
  for (int i = 0; i < 254; ++i) e254 += "é";
  e255 = e254 + "é";
  EXPECT_EQ(FromDisplayText(e254), std::string(254, '\x82'));
  EXPECT_EQ(FromDisplayText(e255), "");
}

TEST_F(TextConv, OwnDisplayTable) {
  Settings.DisplayTransliteration = 1;
  // Umlauts go through AsciiText first; what is left takes the own table.
  EXPECT_EQ(ToDisplayText("\x84\x86\x8F\xA1\xA2\xFC"), "aeåÅíó³");
  EXPECT_EQ(ToDisplayText("|"), "ã");
  EXPECT_EQ(ToDisplayText("\xB3\xBA\xC5\xDA\xBF\xC9\xC4\xCD"), "|||+++--");
  EXPECT_EQ(ToDisplayText("\x87"), "‡");  // left as the byte, which is ‡ in Windows-1252
  EXPECT_EQ(ToDisplayText("\x81"), "ue");
  EXPECT_EQ(ToDisplayText(std::string(255, '\x84')), "");
}

}  // namespace
}  // namespace planox
