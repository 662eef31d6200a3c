// Texts of drawings: encodings into code page 850, special codes, MTEXT
// formatting, and where aligned texts and MTEXT lines are placed.
#include <cmath>

#include "drawing/dxftext.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using V = std::vector<std::string>;

double D(long double x) { return static_cast<double>(x); }

TEST(DxfText, EncodingsIntoCodePage850) {
  EXPECT_EQ(EncodingOf("AC1021", "ANSI_1252"), TextEncoding::Utf8);
  EXPECT_EQ(EncodingOf("AC1032", ""), TextEncoding::Utf8);
  EXPECT_EQ(EncodingOf("AC1018", "ansi_1252"), TextEncoding::Ansi1252);
  EXPECT_EQ(EncodingOf("AC1009", ""), TextEncoding::Cp850);
  EXPECT_EQ(EncodingOf("", "ANSI_1251"), TextEncoding::Unknown);

  // "Übersicht", "é", "ß" from each encoding.
  EXPECT_EQ(DecodeText("\xC3\x9C" "bersicht \xC3\xA9 \xC3\x9F", TextEncoding::Utf8),
            "\x9A" "bersicht \x82 \xE1");
  EXPECT_EQ(DecodeText("\xDC" "bersicht \xE9 \xDF", TextEncoding::Ansi1252),
            "\x9A" "bersicht \x82 \xE1");
  EXPECT_EQ(DecodeText("\x9A" "bersicht", TextEncoding::Cp850), "\x9A" "bersicht");
  // What code page 850 cannot hold, and bytes of an unknown code page, are "?".
  EXPECT_EQ(DecodeText("\xCE\xA9 \xE2\x82\xAC", TextEncoding::Utf8), "? ?");
  EXPECT_EQ(DecodeText("a\xC0", TextEncoding::Unknown), "a?");
  EXPECT_EQ(DecodeText("\xC3", TextEncoding::Utf8), "?");  // cut short
  // Escapes in any encoding: \U+XXXX, and control characters as "^" letter.
  EXPECT_EQ(DecodeText("Tsch\\U+00FCss \\u+00e9 \\U+03A9 \\U+12", TextEncoding::Cp850),
            "Tsch\x81ss \x82 ? \\U+12");
  EXPECT_EQ(DecodeText("a^Ib^ c^Jd", TextEncoding::Ansi1252), "a b^cd");
}

TEST(DxfText, SpecialCodes) {
  const auto enc = TextEncoding::Ansi1252;
  EXPECT_EQ(DecodeText("%%c12", enc), "\x9D" "12");
  EXPECT_EQ(DecodeText("%%C12 %%c13", enc), "\x9D" "12 \x9D" "13");
  EXPECT_EQ(DecodeText("45%%d %%p0.05 %%P1", enc), "45\xF8 \xF1" "0.05 \xF1" "1");
  EXPECT_EQ(DecodeText("100%%% %%uunder%%u %%Oover", enc), "100% under over");
  EXPECT_EQ(DecodeText("%%176 %%", enc), "\xF8 %%");
  EXPECT_EQ(DecodeText("50% %%x", enc), "50% %%x");
}

TEST(DxfText, MTextFormatting) {
  const auto enc = TextEncoding::Utf8;
  EXPECT_EQ(MTextLines("\\fArial|b1|i0|c0|p34;Hello", enc), V{"Hello"});
  EXPECT_EQ(MTextLines("{\\H2.5x;\\C1;red} and {\\W0.8;\\Q15;\\T1.1;\\A1;narrow}", enc),
            V{"red and narrow"});
  EXPECT_EQ(MTextLines("one\\Ptwo\\P\\Pfour", enc), (V{"one", "two", "", "four"}));
  EXPECT_EQ(MTextLines("\\S1^2; \\S3/4; \\S5#6; \\S7^ 8;", enc), V{"1/2 3/4 5/6 7/8"});
  EXPECT_EQ(MTextLines("a\\~b \\\\ \\{c\\} \\Lund\\l \\Oover\\o \\Kx\\k", enc),
            V{"a b \\ {c} und over x"});
  EXPECT_EQ(MTextLines("\\pxi-3,l3,t4;item\\U+00B0 %%c5", enc), V{"item\xF8 \x9D" "5"});
  EXPECT_EQ(MTextLines("caret^Jsplits", enc), (V{"caret", "splits"}));
  // Unfinished codes end the text without harm.
  EXPECT_EQ(MTextLines("x\\H2", enc), V{"x"});
  EXPECT_EQ(MTextLines("x\\", enc), V{"x\\"});
  EXPECT_EQ(MTextLines("x\\U+00", enc), V{"x\\U+00"});
  EXPECT_EQ(MTextLines("", enc), V{""});
}

TEST(DxfText, AlignedTexts) {
  TextEntity t;
  t.text = "ABCD";  // width 4 x 2 x CharAdvance
  t.height = 2;
  t.first = {1, 1};
  t.second = {10, 5};
  t.hasSecond = true;
  const double w = 4 * 2 * D(CharAdvance);

  PlacedText left = PlaceText(t);  // left: the first point, the second ignored
  EXPECT_AT(left.at, 1, 1);
  t.horizontal = 1;  // centre on the second point
  EXPECT_AT(PlaceText(t).at, 10 - w / 2, 5);
  t.horizontal = 2;
  EXPECT_AT(PlaceText(t).at, 10 - w, 5);
  t.horizontal = 4;  // middle: centred both ways
  EXPECT_AT(PlaceText(t).at, 10 - w / 2, 4);
  t.horizontal = 0;
  t.vertical = 3;  // top left
  EXPECT_AT(PlaceText(t).at, 10, 3);
  t.vertical = 2;
  t.horizontal = 2;
  t.rotation = 90;  // middle right, turned: the offsets turn too
  EXPECT_AT(PlaceText(t).at, 11, 5 - w);

  // Aligned: the height scales so the text fills the base line; fit: the
  // width factor does.
  t = TextEntity{};
  t.text = "ABCD";
  t.height = 2;
  t.first = {0, 0};
  t.second = {0, 2 * w};
  t.hasSecond = true;
  t.horizontal = 3;
  PlacedText aligned = PlaceText(t);
  EXPECT_AT(aligned.at, 0, 0);
  EXPECT_NEAR(D(aligned.rotation), 90, 1e-9);
  EXPECT_NEAR(D(aligned.height), 4, 1e-9);
  EXPECT_NEAR(D(aligned.widthFactor), 1, 1e-9);
  t.horizontal = 5;
  PlacedText fit = PlaceText(t);
  EXPECT_NEAR(D(fit.height), 2, 1e-9);
  EXPECT_NEAR(D(fit.widthFactor), 2, 1e-9);
  // Without a second point they fall back to left.
  t.hasSecond = false;
  EXPECT_NEAR(D(PlaceText(t).rotation), 0, 1e-9);

  // Backwards: drawn readable where the mirrored text lies, to the left;
  // upside down and backwards: turned half round.
  t = TextEntity{};
  t.text = "ABCD";
  t.height = 2;
  t.first = {20, 0};
  t.flags = 2;
  EXPECT_AT(PlaceText(t).at, 20 - w, 0);
  t.flags = 4;
  EXPECT_AT(PlaceText(t).at, 20, -2);
  t.flags = 6;
  PlacedText turned = PlaceText(t);
  EXPECT_AT(turned.at, 20, 0);
  EXPECT_NEAR(D(turned.rotation), 180, 1e-9);
  // Codes out of range are left alignment.
  t.flags = 0;
  t.horizontal = 17;
  t.vertical = -1;
  EXPECT_AT(PlaceText(t).at, 20, 0);
}

TEST(DxfText, MTextLinesPlaced) {
  MTextEntity m;
  m.lines = {"AB", "", "ABCD"};
  m.height = 3;
  m.at = {0, 0};
  const double step = 5.0, c = 3 * D(CharAdvance);
  // Top left: the first base line one height below the point, the empty
  // line keeps its place.
  auto tl = PlaceMText(m);
  ASSERT_EQ(tl.size(), 2u);
  EXPECT_EQ(tl[0].text, "AB");
  EXPECT_AT(tl[0].at, 0, -3);
  EXPECT_AT(tl[1].at, 0, -3 - 2 * step);
  // Bottom right: the last line's base line... the block ends on the point.
  m.attachment = 9;
  auto br = PlaceMText(m);
  EXPECT_AT(br[1].at, -4 * c, 0);
  EXPECT_AT(br[0].at, -2 * c, 2 * step);
  // Middle centre, double spacing, turned by 90 degrees.
  m.attachment = 5;
  m.spacing = 2;
  m.rotation = 90;
  auto mc = PlaceMText(m);
  double total = 3 + 4 * step;
  EXPECT_AT(mc[0].at, -(total / 2 - 3), -c);
  EXPECT_NEAR(D(mc[0].rotation), 90, 1e-9);
  // A box width wraps at blanks; a word longer than the box stays whole.
  MTextEntity box;
  box.lines = {"one two three fourfourfour"};
  box.height = 1;
  box.boxWidth = 9 * D(CharAdvance);
  auto wrapped = PlaceMText(box);
  ASSERT_EQ(wrapped.size(), 3u);
  EXPECT_EQ(wrapped[0].text, "one two");
  EXPECT_EQ(wrapped[1].text, "three");
  EXPECT_EQ(wrapped[2].text, "fourfourfour");
  // Group 41 never stretches the text.
  EXPECT_NEAR(D(wrapped[0].widthFactor), 1, 1e-12);
}

}  // namespace
}  // namespace planox
