// Texts of a drawing as the program holds them: the drawing's character
// encoding turned into code page 850, the control codes of TEXT and the
// formatting of MTEXT resolved, and every line of text placed at the left
// end of its base line, which is where the text output starts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/vektor.h"

namespace planox {

// How the bytes of a drawing's texts are to be read.
enum class TextEncoding {
  Cp850,    // taken as they are: drawings that name no code page
  Ansi1252, // Windows Latin-1 (ANSI_1252, ISO 8859-1)
  Utf8,     // drawings from AutoCAD 2007 on
  Unknown,  // another code page: only ASCII is trusted
};

// The encoding a drawing's header gives: $ACADVER AC1021 and later are
// UTF-8, else $DWGCODEPAGE decides (either may be empty when absent).
TextEncoding EncodingOf(std::string_view acadVersion, std::string_view codePage);

// A TEXT, ATTRIB or ATTDEF value as code page 850: encoding, "\U+XXXX",
// control characters written as "^" and a letter, and the special codes
// %%c (diameter), %%d (degree), %%p (plus-minus), %%% (percent) and the
// underline and overline switches %%u and %%o (removed).
std::string DecodeText(std::string_view raw, TextEncoding encoding);

// The lines of an MTEXT value (its chunks already joined) as code page 850,
// with every formatting code and brace removed: "\P" starts a new line,
// stacked fractions read "a/b".
std::vector<std::string> MTextLines(std::string_view raw, TextEncoding encoding);

// How wide a text of n characters is drawn, per unit of height and width
// factor; used to place centred and right-aligned texts and to wrap MTEXT.
inline constexpr long double CharAdvance = 0.85L;

// One line of text as the text output draws it: from its left base-line
// point, readable, at a height, width factor and rotation (degrees).
struct PlacedText {
  std::string text;
  Point at;
  long double height = 0, widthFactor = 1, rotation = 0;
};

// A TEXT entity: first and second alignment points, height, width factor,
// rotation (degrees), generation flags (71) and the horizontal (72) and
// vertical (73) justification.
struct TextEntity {
  std::string text;
  Point first, second;
  bool hasSecond = false;
  long double height = 3.5L, widthFactor = 1, rotation = 0;
  int flags = 0, horizontal = 0, vertical = 0;
};
PlacedText PlaceText(const TextEntity& t);

// An MTEXT entity: insertion point, character height, box width (0: no
// wrapping), attachment point 1..9, rotation (degrees), line spacing factor.
struct MTextEntity {
  std::vector<std::string> lines;
  Point at;
  long double height = 3.5L, boxWidth = 0, rotation = 0, spacing = 1;
  int attachment = 1;
};
std::vector<PlacedText> PlaceMText(const MTextEntity& m);

}  // namespace planox
