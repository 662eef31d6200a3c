// Numbers to text and back, small string and path operations and the
// character transliterations shared by every output writer. Texts are byte
// strings in code page 850. The look of every real number in every output
// comes from here; DecimalPlaces and DecimalSeparator of Settings act on it.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace planox {

// Numbers to text.
std::string IntToText(long long n);
std::string IntToTextZero(long long n, int width);
std::string IntToTextBlank(long long n, int width);
std::string RealToText(double x);                                  // compact form
std::string RealToTextDecimals(double x, int decimals);            // compact width, fixed decimals
std::string RealToTextField(double x, int width, int decimals);    // fixed field
std::string RealToTextZeroFill(double x, int width, int decimals); // field, blanks -> "0"
// The same texts appended to one being built (a writer's line), without a
// string of their own; with point the decimal separator is "." whatever
// the setting, for outputs read by programs to which "," separates values.
void AppendInt(std::string& out, long long n);
void AppendIntPadded(std::string& out, long long n, int width, char fill);  // IntToTextZero, IntToTextBlank
void AppendRealText(std::string& out, double x, bool point = false);
void AppendRealDecimals(std::string& out, double x, int decimals, bool point = false);
// The plain fixed notation with exactly `decimals` (0 to 32) decimals and a
// point, whatever the settings, as std::to_chars writes it ("-0.000" for
// -0.0001 included); "Nan", "+Inf" or "-Inf" for a value that is not finite.
void AppendFixed(std::string& out, double x, int decimals);

struct Date {
  int year = 1, month = 1, day = 1;
};
std::string DateToText(const Date& date);
std::string TodayText();
std::string NowTimeText();
// The local date and time now.
std::tm LocalNow();

// Text to numbers: a text that is not entirely a number gives 0.
// The program's rule for numbers in drawings, command-line options and
// settings texts: leading blanks, a sign, the first "," read as ".", and
// nothing after the number (as the files it reads were written); any other
// text is 0.
double TextToReal(std::string_view s);
long long TextToInt(std::string_view s);
// The rule for group values of a drawing file: the program's rule, with
// blanks and tabs after the number dropped, as some programs pad values;
// the common form is converted directly, the reader's hottest path.
long double GroupValueToReal(std::string_view s);
// The same for whole numbers; 0 outside the int32 range.
int32_t GroupValueToInt32(std::string_view s);
// The rule for numbers a person types (prompts) or edits (configuration
// value lines): blanks and tabs around the number and a leading "+" are
// allowed, and for reals the first "," is read as "."; false, with value
// unchanged, when the text is no finite number.
bool ParseTypedReal(std::string_view s, double& value);
bool ParseTypedInteger(std::string_view s, long long& value);

// String operations.
std::string UpperText(std::string_view s);  // a..z only
std::string LowerText(std::string_view s);  // A..Z only
std::string TrimText(std::string_view s);
std::string RemoveBlanks(std::string_view s);
std::string LeftText(std::string_view s, int n);
std::string RightText(std::string_view s, int n);
std::string PadRight(std::string_view s, int n);
std::string PadLeft(std::string_view s, int n);
std::string ReplaceChar(std::string_view s, char from, char to);
std::string PointToComma(std::string_view s);
std::string CommaToPoint(std::string_view s);
// True when any command-line argument equals s, both upper-cased.
bool HasSwitch(std::string_view s);
void SetCommandLine(const std::vector<std::string>& args);  // without the program name
const std::vector<std::string>& CommandLine();

// Path operations on the text alone. The separator is "/"; "\" is accepted
// when splitting so that names from other systems still split.
std::string WithSeparator(std::string_view dir);
std::string WithoutSeparator(std::string_view dir);
std::string DirectoryPart(std::string_view path);
// The name after the last separator (all of path when it has none).
std::string FileNamePart(std::string_view path);
std::string BaseName(std::string_view path);
std::string NameWithoutExtension(std::string_view path);
std::string ExtensionAfterFirstDot(std::string_view name);
// The extension of a drawing file as the reader wants it: the text after
// the first dot of the file's name (not of its directories), at most 3
// characters.
std::string DrawingExtension(std::string_view path);

// Control characters (codes 0 to 31 and 127) replaced by blanks: the form
// names and texts take in headers, comments and labels, where a line end
// or a terminator would end them early.
std::string BlankControls(std::string_view s);

// Transliterations.
std::string PlotterText(std::string_view s);
std::string AsciiText(std::string_view s);
std::string ConvertOutputText(std::string_view s);  // by Settings.TextOutputMode
// Code page 850 to Windows-1252 bytes, the form texts take in files that
// want the ANSI code page ("?" where it has no such character); with
// Settings.DisplayTransliteration 1 the program's own table instead.
std::string OemToAnsi(std::string_view oem);

// Display boundary: code page 850 <-> UTF-8 (what Qt is given). A text of
// 255 bytes or more becomes empty, as on every dialog field. A character
// that code page 850 cannot hold becomes "?".
std::string ToDisplayText(std::string_view oem);
std::string FromDisplayText(std::string_view utf8);
// Plain conversions without the length rule.
std::string Cp850ToUtf8(std::string_view oem);
std::string Utf8ToCp850(std::string_view utf8);

}  // namespace planox
