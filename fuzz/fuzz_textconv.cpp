// Number parsers and formats, path rules and the code page conversions on
// arbitrary bytes: nothing may crash, and what is written must read back.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/session.h"
#include "base/textconv.h"

using namespace planox;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool IsPrefix(const std::string& p, std::string_view s) { return s.substr(0, p.size()) == p; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  ResetSettings();

  // Parsers and the compact form: the text written for a value reads back
  // close to it (about three significant digits, "0" below 0.00001).
  double x = TextToReal(in);
  Check(std::isfinite(x));
  std::string t = RealToText(x);
  double y = TextToReal(t);
  Check(std::fabs(y - x) <= 0.011 * std::fabs(x) + 0.00001);
  // The same for any double the first eight bytes spell, NaN and infinity
  // included (those only must not crash).
  if (size >= 8) {
    double d;
    std::memcpy(&d, data, sizeof d);
    std::string dt = RealToText(d);
    if (std::isfinite(d)) Check(std::fabs(TextToReal(dt) - d) <= 0.011 * std::fabs(d) + 0.00001);
    RealToTextDecimals(d, data[0] % 12);
  }
  long long n = TextToInt(in);
  Check(TextToInt(IntToText(n)) == n);

  // Fixed fields with widths, decimals and settings from the input.
  if (size >= 3) {
    int width = static_cast<int8_t>(data[0]);
    int decimals = static_cast<int8_t>(data[1]);
    Settings.DecimalPlaces = static_cast<int8_t>(data[2]);
    Settings.DecimalSeparator = (data[2] & 1) ? 2 : 1;
    // Rounded to at least 0 decimals: never more than a half off.
    std::string f = RealToTextField(x, width, decimals);
    Check(std::fabs(TextToReal(f) - x) <= 0.5 + std::fabs(x) * 1e-15);
    RealToTextDecimals(x, decimals);
    RealToTextZeroFill(x, width, decimals);
    IntToTextZero(n, width);
    ResetSettings();
  }

  // Path rules work on the text alone and keep to it.
  std::string dir = DirectoryPart(in);
  Check(IsPrefix(dir, in));
  Check(in.find(BaseName(in)) != std::string_view::npos);
  Check(NameWithoutExtension(in) == BaseName(in));
  std::string ws = WithSeparator(in);
  Check(WithSeparator(ws) == ws);
  WithoutSeparator(in);
  ExtensionAfterFirstDot(in);
  PadLeft(in, size % 300);
  PadRight(in, size % 300);
  TrimText(in);

  // Code page 850 -> UTF-8 -> code page 850 is lossless; any UTF-8 (or
  // garbage) converts without harm.
  Check(Utf8ToCp850(Cp850ToUtf8(in)) == in);
  Utf8ToCp850(in);
  FromDisplayText(in);
  ToDisplayText(in);
  PlotterText(in);
  AsciiText(in);
  for (int mode = 1; mode <= 3; ++mode) {
    Settings.TextOutputMode = mode;
    ConvertOutputText(in);
  }
  Settings.DisplayTransliteration = 1;
  ToDisplayText(in);
  ResetSettings();
  return 0;
}
